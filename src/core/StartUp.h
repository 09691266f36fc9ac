#pragma once

#include "AppContext.h"

#include <QString>
#include <QStringList>

namespace ovlix {

class EventLog;

// The version text "major.minor.revision" of this build.
QString programVersion();

// Where the program keeps its three files: beside itself, or in the user's
// data folder when the program's own folder cannot be written or is the
// system folder it was installed into.
struct DataFolder {
    enum class Reason { BesideProgram, ProgramFolderReadOnly, InstalledSystemWide };
    QString path;
    QString programFolder;
    Reason reason = Reason::BesideProgram;
};

// The folders an installed copy of this build lives in: the install prefix's
// and the Debian package's.
QStringList installedProgramFolders();

DataFolder chooseDataFolder(const QString& programFolder, const QString& userDataFolder,
                            const QStringList& installedFolders = installedProgramFolders());

// The per-user data folder of OvlixSetup, whichever program of the package asks:
// the windows and the command line share their files.
QString sharedUserDataFolder();

// chooseDataFolder for the running program's own folder.
DataFolder chooseProgramDataFolder();

// The run's first log line, followed by writeDataFolderNote's.
void writeStartBanner(const EventLog& log, const AppContext& context, const DataFolder& folder);

// A line saying where the files are and why, when they are not beside the
// program; nothing when they are.
void writeDataFolderNote(const EventLog& log, const AppContext& context, const DataFolder& folder);

} // namespace ovlix
