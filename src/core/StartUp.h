#pragma once

#include "AppContext.h"

#include <QString>

namespace ovlix {

class EventLog;

// The version text "major.minor.revision" of this build.
QString programVersion();

// Where the program keeps its three files: beside itself, or in the user's
// data folder when the program's own folder cannot be written.
struct DataFolder {
    QString path;
    QString programFolder;
    bool isFallback = false;
};

DataFolder chooseDataFolder(const QString& programFolder, const QString& userDataFolder);

// The run's first log line, followed by a note when the files are not beside
// the program.
void writeStartBanner(const EventLog& log, const AppContext& context, const DataFolder& folder);

} // namespace ovlix
