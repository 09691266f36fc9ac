#include "StartUp.h"

#include "EventLog.h"

#include <QDir>
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

DataFolder chooseDataFolder(const QString& programFolder, const QString& userDataFolder)
{
    if (canCreateFilesIn(programFolder) || userDataFolder.isEmpty())
        return {programFolder, programFolder, false};
    QDir().mkpath(userDataFolder);
    return {userDataFolder, programFolder, true};
}

void writeStartBanner(const EventLog& log, const AppContext& context, const DataFolder& folder)
{
    log.WriteLog(QStringLiteral("---- Ovlix Setup ") + context.AppVersion +
                 QStringLiteral(" Started ----"));
    if (folder.isFallback)
        log.WriteLog(QStringLiteral("Program folder ") +
                     QDir::toNativeSeparators(folder.programFolder) +
                     QStringLiteral(" cannot be written: files are kept in ") + context.AppDir);
}

} // namespace ovlix
