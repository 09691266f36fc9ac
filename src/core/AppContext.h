#pragma once

#include <QString>

namespace ovlix {

// The process-wide values that start-up fixes and every window reads.
// DeviceIP is the only one that changes after start-up: the main window and a
// successful network setup set it.
struct AppContext {
    QString AppDir; // ends in the platform's directory separator
    QString LogFile;
    QString AppVersion;
    QString LabelsFile;
    QString NetsetFile;
    QString DeviceIP;
};

// The directory in native form with exactly one trailing separator: a root that
// already ends in one (C:\ or /) gets none added.
QString withTrailingSeparator(const QString& directory);

// Fills the file paths from the folder that holds the program's files.
AppContext makeAppContext(const QString& dataFolder, const QString& version);

} // namespace ovlix
