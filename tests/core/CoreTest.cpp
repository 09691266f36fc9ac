#include "core/CommandRunner.h"
#include "core/Settings.h"
#include "core/StartUp.h"
#include "core/TextFiles.h"
#include "network/ArpEntries.h"
#include "support/TestSupport.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QDir>
#ifndef Q_OS_WIN
#include <sys/mount.h>
#endif

using namespace ovlix;
using namespace ovlix::test;

// "?" stands for a name that is missing: an empty value and the documented line.
TEST(ReadSetting, PairsFieldsInFileOrderAndLogsAMissingName)
{
    const std::array<QString, 3> cases[] = {
        {"lastip, 192.168.1.250\r\nlastmac, 00-03-75-10-01-55\r\n", "lastmac", "00-03-75-10-01-55"},
        {"lastip, 1.2.3.4\r\nlastip, 5.6.7.8\r\n", "lastip", "1.2.3.4"},
        {"lastip, 1.2.3.4\r\n", "LastIP", "?"},
        {"lastip\r\nlastmac, 00-03\r\nquoted, \"10.0.0.1\"\r\n", "lastip", "lastmac"},
        {"lastip\r\nlastmac, 00-03\r\nquoted, \"10.0.0.1\"\r\n", "00-03", "quoted"},
        {"lastip\r\nlastmac, 00-03\r\nquoted, \"10.0.0.1\"\r\n", "quoted", "?"},
        {"lastip", "lastip", ""}, // the last field: a name with an empty value
        {"lastmac, x\r\nlastip", "lastip", ""},
        {"a, lastip, lastip, 10.0.0.9", "lastip", "10.0.0.9"},
        {"a, lastip", "lastip", "?"},
        {"a, " + QString(1024 * 1024, u'b') + "\r\nlastip, 10.0.0.9", "lastip", "?"}, // past 1 MiB
    };
    for (const auto& [file, name, value] : cases) {
        FilesFolder folder;
        folder.write("netset", file.toLatin1());
        EXPECT_EQ(ReadSetting(folder.log(), folder.path("netset"), name),
                  value == "?" ? "" : value);
        EXPECT_EQ(folder.logMessages().join(""),
                  value == "?" ? "System variable " + name + " missing in " + folder.path("netset")
                               : "");
    }
    FilesFolder folder;
    QDir().mkdir(folder.path("dir"));
    EXPECT_EQ(ReadSetting(folder.log(), folder.path("dir"), "lastip"), "");
    EXPECT_EQ(folder.logMessages().size(), 1);
    EXPECT_FALSE(FileExists(folder.path("dir")) || FileExists(folder.path("netset")));
    EXPECT_TRUE(FileExists(folder.path("OvlixSetup.log")));
    EXPECT_EQ(settingFields("name, \"a, b\" \rnext,\n\r\nlast,"),
              (QStringList{"name", "a, b", "next", "", "last", ""}));
    EXPECT_EQ(settingFields("  lone \t\n\"q\"x,y\r\"unclosed, to the end"),
              (QStringList{"lone", "q", "y", "unclosed, to the end"}));
}

// A save that fails leaves the previous file whole, and says why.
TEST(SaveFileAtomically, AFullDiskLeavesThePreviousFileWhole)
{
    FilesFolder folder;
    QDir().mkdir(folder.path("small"));
#ifdef Q_OS_WIN
    GTEST_SKIP() << "mounts a small Linux file system";
#else
    if (mount("tmpfs", folder.path("small").toLocal8Bit().constData(), "tmpfs", 0, "size=256k"))
        GTEST_SKIP() << "cannot mount a small file system here";
    const QString file = folder.path("small/netset");
    ASSERT_TRUE(saveFileAtomically(file, "lastip, 10.0.0.5\r\n").ok);
    EXPECT_EQ(saveFileAtomically(file, QByteArray(1024 * 1024, 'x')).error,
              "No space left to write " + file);
    EXPECT_EQ(folder.read("small/netset"), "lastip, 10.0.0.5\r\n");
    EXPECT_EQ(QDir(folder.path("small")).entryList(QDir::Files | QDir::Hidden).size(), 1);
    umount(folder.path("small").toLocal8Bit().constData());
#endif
}

TEST(EventLog, WritesEachMessageOnOneLineStampedInTheLocalesOwnWordsWithoutZone)
{
    FilesFolder folder;
    // A message's control characters are shown, so that no text from outside
    // can make a line of its own or reach a terminal as an escape sequence.
    folder.log().WriteLog(QString("1.0\r\n1 Jan 2026 00:00:00FORGED\x1b[2J\t\\é") + QChar(0) +
                          "\x7f\u0085");
    folder.log().WriteLog("");
    EXPECT_EQ(folder.logMessages(),
              QStringList({"1.0\\r\\n1 Jan 2026 00:00:00FORGED\\x1b[2J\\t\\é\\x00\\x7f\\x85", ""}));
    // Quoted words stay, the zone and what brackets it go, a day period is AM
    // or PM.
    const QDate day(2026, 12, 6);
    for (const auto& [locale, time, stamp] :
         {std::tuple{"en_US", QTime(22, 20, 5), "12/6/26 10:20:05 PM"},
          {"en_US", QTime(0, 0), "12/6/26"},
          {"en_US", QTime(0, 1), "12/6/26 12:01:00 AM"},
          {"en_US", QTime(0, 0, 1), "12/6/26 12:00:01 AM"},
          {"fr_CA", QTime(7, 5, 9), "2026-12-06 07 h 05 min 09 s"},
          {"nds_DE", QTime(7, 5, 9), "6.12.26 Klock 7.05:09"},
          {"bg_BG", QTime(7, 5, 9), "6.12.26 г. 7:05:09 ч."},
          {"zh_TW", QTime(7, 5, 9), "2026/12/6 上午7:05:09"}})
        EXPECT_EQ(EventLog::timeStamp(QDateTime(day, time), QLocale(locale)), stamp);
    const QDateTime when(day, QTime(22, 20, 5));
    for (const QLocale& locale : QLocale::matchingLocales(QLocale::AnyLanguage, QLocale::AnyScript,
                                                          QLocale::AnyTerritory)) {
        const QString date = locale.toString(day, QLocale::ShortFormat) + " ";
        const QString stamp = EventLog::timeStamp(when, locale), time = stamp.mid(date.size());
        // The locale's own texts: digits, AM and PM, and its time format but
        // for the pattern letters (those followed by an even count of quotes).
        const QString own = locale.toString(1234567890) + locale.amText() + locale.pmText() +
                            locale.timeFormat(QLocale::LongFormat)
                                .remove(QRegularExpression("[A-Za-z](?=([^']*'[^']*')*[^']*$)"));
        EXPECT_TRUE(stamp.startsWith(date) && time == time.trimmed() &&
                    std::all_of(time.begin(), time.end(),
                                [&](QChar c) { return own.contains(c, Qt::CaseInsensitive); }) &&
                    !time.contains(QRegularExpression("[()\\[\\]{}]|\\s\\s")) &&
                    stamp != EventLog::timeStamp(when.addSecs(1), locale))
            << (locale.name() + ": " + stamp).toStdString();
    }
}

#ifdef Q_OS_WIN
// The network setup's command lines reach arp and ping whole, minimised and not
// activated (show 7), no shell between. Stand-ins in the current folder, where
// Windows looks before the system's own, record them: no ARP entry changes.
TEST(RunApp, StartsArpAndPingMinimisedWithoutFocusAndLogsWhyNot)
{
    FilesFolder folder;
    for (const QString name : {"arp.exe", "ping.exe"})
        ASSERT_TRUE(QFile::copy(OVLIX_STANDIN, folder.path(name)));
    const QString ownFolder = QDir::currentPath(),
                  set = "arp -s 127.0.0.9 00-03-75-10-01-55 127.0.0.1";
    QDir::setCurrent(folder.path("."));
    SystemProcessLauncher launcher;
    EXPECT_TRUE(DeleteArpEntry(folder.log(), launcher, "127.0.0.9") &&
                SetArpEntry(folder.log(), launcher, WindowsNetworkCommands(), "127.0.0.9",
                            "00-03-75-10-01-55", {"", "127.0.0.1"}) &&
                RunApp(folder.log(), launcher, "ping 127.0.0.9>>b") &&
                !RunApp(folder.log(), launcher, "ovlix-no-such-program -d 10.0.0.5") &&
                !RunApp(folder.log(), launcher, ""));
    EXPECT_TRUE(waitUntil([&] { return folder.read("commands.txt").count('\n') == 4; }));
    QDir::setCurrent(ownFolder);
    QStringList started = QString(folder.read("commands.txt")).split('\n', Qt::SkipEmptyParts);
    started.sort(); // they run side by side
    EXPECT_EQ(started, (QStringList{"arp -d  | show 7", "arp -d 127.0.0.9 | show 7",
                                    set + " | show 7", "ping 127.0.0.9>>b | show 7"}));
    // The error's words are the system's ("File not found." under Wine).
    EXPECT_EQ(folder.logMessages().join('\n').section(" OvlixSetup ", 0, 0),
              "Delete ARP table\nRun App:  arp -d 127.0.0.9\nRun App:  arp -d \nSet ARP entry: " +
                  set + "\nRun App:  " + set +
                  "\nRun App:  ping 127.0.0.9>>b\nRun App:  ovlix-no-such-program -d 10.0.0.5\n"
                  "Error in RunApp sub: could not Shell file: ovlix-no-such-program -d 10.0.0.5 "
                  "Error# 2 was generated by");
}
#else
TEST(RunApp, LogsTheLineStartsItWithoutAShellAndLogsWhyNot)
{
    FilesFolder folder;
    SystemProcessLauncher launcher;
    const QString target = folder.path("a>>b"); // a shell would redirect
    EXPECT_TRUE(RunApp(folder.log(), launcher, "touch " + target));
    EXPECT_TRUE(waitUntil([&] { return QFileInfo::exists(target); }));
    // The program's standard files are the null device, never the caller's.
    const QString fds = "sh -c \"echo $(readlink /proc/$$/fd/0 /proc/$$/fd/1 /proc/$$/fd/2) >" +
                        folder.path("fds") + "\"";
    EXPECT_TRUE(RunApp(folder.log(), launcher, fds));
    EXPECT_TRUE(waitUntil([&] { return folder.read("fds").endsWith('\n'); }));
    EXPECT_EQ(folder.read("fds"), "/dev/null /dev/null /dev/null\n");
    EXPECT_FALSE(RunApp(folder.log(), launcher, "ovlix-no-such-program -d 10.0.0.5"));
    EXPECT_FALSE(RunApp(folder.log(), launcher, ""));
    const QString cannot = "Error in RunApp sub: could not Shell file: ";
    EXPECT_EQ(
        folder.logMessages(),
        (QStringList{
            "Run App:  touch " + target, "Run App:  " + fds,
            "Run App:  ovlix-no-such-program -d 10.0.0.5",
            cannot + "ovlix-no-such-program -d 10.0.0.5 Error# 0 was generated by OvlixSetup "
                     "execv: No such file or directory",
            "Run App:  ", cannot + " Error# 0 was generated by OvlixSetup Empty command line"}));
    EXPECT_FALSE(QFileInfo::exists(folder.path("b")));
}
#endif

TEST(StartUp, FilesLieBesideTheProgramOrInTheUserDataFolderAndTheBannerSaysWhy)
{
    // Paths are shown with the system's own separators.
    const auto native = [](const QString& path) { return QDir::toNativeSeparators(path); };
    const AppContext context = makeAppContext("/opt/ovlix/", programVersion());
    EXPECT_EQ(QStringList({context.AppDir, context.LogFile, context.LabelsFile, context.NetsetFile,
                           context.AppVersion, context.DeviceIP, withTrailingSeparator("/")}),
              QStringList({"/opt/ovlix/", "/opt/ovlix/OvlixSetup.log", "/opt/ovlix/labels",
                           "/opt/ovlix/netset", "2.0.0", "", "/"})
                  .replaceInStrings("/", QDir::separator()));
    FilesFolder folder;
    const QString program = folder.path("program"), data = folder.path("user/data"),
                  gone = folder.path("gone");
    QDir().mkdir(program);
    const QString kept = native("files are kept in /opt/ovlix/");
    const std::tuple<QString, QStringList, QString, QString> cases[] = {
        {program, {"/usr/bin"}, program, ""},
        {gone, {}, data, "Program folder " + native(gone) + " cannot be written: " + kept},
        {program, QStringList{"/usr/bin", program + "/"}, data,
         "Program installed in " + native(program) + ": " + kept},
        {gone, {}, gone, ""},
    };
    for (const auto& [programFolder, installed, path, banner] : cases) {
        FilesFolder files;
        const DataFolder chosen =
            chooseDataFolder(programFolder, path == gone ? "" : data, installed);
        EXPECT_EQ(chosen.path, path);
        EXPECT_EQ(chosen.reason == DataFolder::Reason::BesideProgram, banner.isEmpty());
        writeStartBanner(files.log(), context, chosen);
        EXPECT_EQ(files.logMessages(), QStringList({"---- Ovlix Setup 2.0.0 Started ----", banner})
                                           .mid(0, banner.isEmpty() ? 1 : 2));
    }
    EXPECT_TRUE(QFileInfo(data).isDir());
    const QString testName = QCoreApplication::applicationName();
    QCoreApplication::setApplicationName("ovlix");
    EXPECT_TRUE(sharedUserDataFolder().endsWith("/OvlixSetup"));
    EXPECT_EQ(QCoreApplication::applicationName(), "ovlix");
    QCoreApplication::setApplicationName(testName);
}
