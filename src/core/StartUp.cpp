#include "StartUp.h"

#include "EventLog.h"
#include "OvlixConfig.h"

#include <algorithm>
#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace ovlix {

namespace {

// Creating a file is the only honest test: permissions, read-only mounts and
// access lists all have their say in it.
bool canCreateFilesIn(const QString& folder)
{
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".ovlix-write-test-XXXXXX")));
    return probe.open();
}

} // namespace

QString programVersion()
{
    return QStringLiteral("%1.%2.%3")
        .arg(OVLIX_VERSION_MAJOR)
        .arg(OVLIX_VERSION_MINOR)
        .arg(OVLIX_VERSION_PATCH);
}

QStringList installedProgramFolders()
{
#ifdef Q_OS_WIN
    return {qEnvironmentVariable("ProgramFiles") + QStringLiteral("/" OVLIX_WINDOWS_FOLDER)};
#else
    return {QStringLiteral(OVLIX_INSTALLED_BINDIR), QStringLiteral(OVLIX_PACKAGED_BINDIR)};
#endif
}

DataFolder chooseDataFolder(const QString& programFolder, const QString& userDataFolder,
                            const QStringList& installedFolders)
{
    using Reason = DataFolder::Reason;
    Reason reason = Reason::BesideProgram;
    const bool installed =
        std::any_of(installedFolders.begin(), installedFolders.end(),
                    [&](const QString& folder) { return QDir(programFolder) == QDir(folder); });
    // Root may write into /usr/bin, but a log there would be out of place.
    if (installed)
        reason = Reason::InstalledSystemWide;
    else if (!canCreateFilesIn(programFolder))
        reason = Reason::ProgramFolderReadOnly;
    if (reason == Reason::BesideProgram || userDataFolder.isEmpty())
        return {programFolder, programFolder, Reason::BesideProgram};
    QDir().mkpath(userDataFolder);
    return {userDataFolder, programFolder, reason};
}

QString sharedUserDataFolder()
{
    // The folder is named after the application; ask under the windowed
    // program's name, so that every program of the package lands in it.
    const QString ownName = QCoreApplication::applicationName();
    QCoreApplication::setApplicationName(QStringLiteral("OvlixSetup"));
    QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QCoreApplication::setApplicationName(ownName);
    return folder;
}

DataFolder chooseProgramDataFolder()
{
    return chooseDataFolder(QCoreApplication::applicationDirPath(), sharedUserDataFolder());
}

void writeStartBanner(const EventLog& log, const AppContext& context, const DataFolder& folder)
{
    log.WriteLog(QStringLiteral("---- Ovlix Setup ") + context.AppVersion +
                 QStringLiteral(" Started ----"));
    writeDataFolderNote(log, context, folder);
}

void writeDataFolderNote(const EventLog& log, const AppContext& context, const DataFolder& folder)
{
    const QString programFolder = QDir::toNativeSeparators(folder.programFolder);
    switch (folder.reason) {
    case DataFolder::Reason::BesideProgram:
        break;
    case DataFolder::Reason::ProgramFolderReadOnly:
        log.WriteLog(QStringLiteral("Program folder ") + programFolder +
                     QStringLiteral(" cannot be written: files are kept in ") + context.AppDir);
        break;
    case DataFolder::Reason::InstalledSystemWide:
        log.WriteLog(QStringLiteral("Program installed in ") + programFolder +
                     QStringLiteral(": files are kept in ") + context.AppDir);
        break;
    }
}

} // namespace ovlix
