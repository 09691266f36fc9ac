#include "core/StartUp.h"
#include "core/AppContext.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QDir>

using namespace ovlix;
using namespace ovlix::test;

TEST(StartUp, FilePathsHaveExactlyOneSeparatorAfterTheFolder)
{
    EXPECT_EQ(withTrailingSeparator(QStringLiteral("/opt/ovlix")), "/opt/ovlix/");
    EXPECT_EQ(withTrailingSeparator(QStringLiteral("/opt/ovlix/")), "/opt/ovlix/");
    EXPECT_EQ(withTrailingSeparator(QStringLiteral("/")), "/");

    const AppContext context = makeAppContext(QStringLiteral("/opt/ovlix"), programVersion());
    EXPECT_EQ(context.AppDir, "/opt/ovlix/");
    EXPECT_EQ(context.LogFile, "/opt/ovlix/OvlixSetup.log");
    EXPECT_EQ(context.LabelsFile, "/opt/ovlix/labels");
    EXPECT_EQ(context.NetsetFile, "/opt/ovlix/netset");
    EXPECT_EQ(context.AppVersion, "2.0.0");
    EXPECT_TRUE(context.DeviceIP.isEmpty());
}

TEST(StartUp, FilesGoToTheUserDataFolderWhenTheProgramFolderCannotBeWritten)
{
    FilesFolder folder;
    const QString writable = folder.path(QStringLiteral("program"));
    QDir().mkdir(writable);
    const QString userData = folder.path(QStringLiteral("user/data"));

    const DataFolder beside = chooseDataFolder(writable, userData, {QStringLiteral("/usr/bin")});
    EXPECT_EQ(beside.path, writable);
    EXPECT_EQ(beside.reason, DataFolder::Reason::BesideProgram);

    // A folder that is not there cannot be written, whoever runs the test.
    const QString unwritable = folder.path(QStringLiteral("gone"));
    const DataFolder readOnly = chooseDataFolder(unwritable, userData, {});
    EXPECT_EQ(readOnly.reason, DataFolder::Reason::ProgramFolderReadOnly);
    EXPECT_EQ(readOnly.path, userData);
    EXPECT_TRUE(QFileInfo(userData).isDir());

    // Installed, the program keeps out of the system folder even where it may write.
    const DataFolder installed =
        chooseDataFolder(writable, userData, {QStringLiteral("/usr/bin"), writable + "/"});
    EXPECT_EQ(installed.reason, DataFolder::Reason::InstalledSystemWide);
    EXPECT_EQ(installed.path, userData);

    const AppContext context = makeAppContext(userData, programVersion());
    writeStartBanner(folder.log(), context, readOnly);
    writeStartBanner(folder.log(), context, installed);
    EXPECT_EQ(folder.logMessages(),
              (QStringList{"---- Ovlix Setup 2.0.0 Started ----",
                           QStringLiteral("Program folder ") + unwritable +
                               " cannot be written: files are kept in " + userData + "/",
                           "---- Ovlix Setup 2.0.0 Started ----",
                           QStringLiteral("Program installed in ") + writable +
                               ": files are kept in " + userData + "/"}));
}

TEST(StartUp, EveryProgramOfThePackageUsesOvlixSetupsUserDataFolder)
{
    const QString testName = QCoreApplication::applicationName();
    QCoreApplication::setApplicationName(QStringLiteral("ovlix"));
    EXPECT_TRUE(sharedUserDataFolder().endsWith(QStringLiteral("/OvlixSetup")))
        << sharedUserDataFolder().toStdString();
    EXPECT_EQ(QCoreApplication::applicationName(), "ovlix");
    QCoreApplication::setApplicationName(testName);
}
