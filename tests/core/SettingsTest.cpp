#include "core/Settings.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <QDir>

using namespace ovlix;
using namespace ovlix::test;

TEST(ReadSetting, FindsValuesAsTheNetworkWindowWritesThem)
{
    FilesFolder folder;
    folder.write(QStringLiteral("netset"),
                 "lastip, 192.168.1.250\r\nlastmac, 00-03-75-10-01-55\r\n");
    const QString netset = folder.path(QStringLiteral("netset"));

    EXPECT_EQ(ReadSetting(folder.log(), netset, QStringLiteral("lastip")), "192.168.1.250");
    EXPECT_EQ(ReadSetting(folder.log(), netset, QStringLiteral("lastmac")), "00-03-75-10-01-55");
    EXPECT_EQ(ReadSetting(folder.log(), netset, QStringLiteral("LastIP")), "");
    EXPECT_EQ(folder.logMessages(),
              QStringList{QStringLiteral("System variable LastIP missing in ") + netset});
}

TEST(ReadSetting, MissingFileOrDirectoryLogsOneLineAndGivesNothing)
{
    FilesFolder folder;
    const QString missing = folder.path(QStringLiteral("netset"));
    EXPECT_EQ(ReadSetting(folder.log(), missing, QStringLiteral("lastip")), "");
    QDir().mkdir(folder.path(QStringLiteral("dir")));
    EXPECT_EQ(
        ReadSetting(folder.log(), folder.path(QStringLiteral("dir")), QStringLiteral("lastip")),
        "");
    EXPECT_EQ(folder.logMessages(),
              (QStringList{QStringLiteral("System variable lastip missing in ") + missing,
                           QStringLiteral("System variable lastip missing in ") +
                               folder.path(QStringLiteral("dir"))}));
}

TEST(SettingFields, FollowTheFieldRules)
{
    // First pair wins, quotes hold commas, line ends of every kind end a field,
    // blanks around unquoted fields go, blank lines hold nothing.
    EXPECT_EQ(settingFields(QStringLiteral("lastip, 1.2.3.4\nlastip, 5.6.7.8\r\n")),
              (QStringList{"lastip", "1.2.3.4", "lastip", "5.6.7.8"}));
    EXPECT_EQ(settingFields(QStringLiteral("name, \"a, b\" \rnext,\n\r\nlast,")),
              (QStringList{"name", "a, b", "next", "", "last", ""}));
    EXPECT_EQ(settingFields(QStringLiteral("  lone\nlastip, x\n")),
              (QStringList{"lone", "lastip", "x"}));
    EXPECT_EQ(settingFields(QStringLiteral("\"unclosed, to the end")),
              (QStringList{"unclosed, to the end"}));
    EXPECT_TRUE(settingFields(QString()).isEmpty());
}

TEST(ReadSetting, PairsGoByFieldsNotLines)
{
    FilesFolder folder;
    folder.write(QStringLiteral("netset"), "lastip\r\nlastmac, 00-03\r\nquoted, \"10.0.0.1\"\r\n");
    const QString netset = folder.path(QStringLiteral("netset"));
    EXPECT_EQ(ReadSetting(folder.log(), netset, QStringLiteral("lastip")), "lastmac");
    EXPECT_EQ(ReadSetting(folder.log(), netset, QStringLiteral("quoted")), "");
    EXPECT_EQ(ReadSetting(folder.log(), netset, QStringLiteral("00-03")), "quoted");
}

TEST(FileExists, TrueOnlyForAReadableFile)
{
    FilesFolder folder;
    folder.write(QStringLiteral("labels"), "");
    QDir().mkdir(folder.path(QStringLiteral("dir")));
    EXPECT_TRUE(FileExists(folder.path(QStringLiteral("labels"))));
    EXPECT_FALSE(FileExists(folder.path(QStringLiteral("dir"))));
    EXPECT_FALSE(FileExists(folder.path(QStringLiteral("missing"))));
    EXPECT_TRUE(folder.logMessages().isEmpty());
}
