#include "core/EventLog.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <QDir>

using namespace ovlix;
using namespace ovlix::test;

TEST(EventLog, StampsEachLineAndAppendsWithCrLf)
{
    FilesFolder folder;
    folder.log().WriteLog(QStringLiteral("---- Ovlix Setup 2.0.0 Started ----"));
    folder.log().WriteLog(QString());
    folder.log().WriteLog(QStringLiteral("first\r\nsecond"));

    const QByteArray stamp = fixedStamp().toLocal8Bit();
    EXPECT_EQ(folder.read(QStringLiteral("OvlixSetup.log")),
              stamp + "---- Ovlix Setup 2.0.0 Started ----\r\n" + stamp + "\r\n" + stamp +
                  "first\r\nsecond\r\n");
}

TEST(EventLog, TimeStampIsShortDateAndTimeWithSecondsOrTheDateAloneAtMidnight)
{
    const QLocale us(QLocale::English, QLocale::UnitedStates);
    const QDate day(2026, 12, 6);
    EXPECT_EQ(EventLog::timeStamp(QDateTime(day, QTime(22, 20, 5)), us), "12/6/26 10:20:05 PM");
    EXPECT_EQ(EventLog::timeStamp(QDateTime(day, QTime(0, 0, 0)), us), "12/6/26");
    EXPECT_EQ(EventLog::timeStamp(QDateTime(day, QTime(0, 0, 1)), us), "12/6/26 12:00:01 AM");
    const QLocale german(QLocale::German, QLocale::Germany);
    EXPECT_EQ(EventLog::timeStamp(QDateTime(day, QTime(7, 5, 9)), german), "06.12.26 07:05:09");
}

TEST(EventLog, ALogThatCannotBeOpenedDropsTheLineQuietly)
{
    FilesFolder folder;
    ASSERT_TRUE(QDir().mkdir(folder.path(QStringLiteral("OvlixSetup.log"))));
    folder.log().WriteLog(QStringLiteral("lost"));
    EXPECT_TRUE(QFileInfo(folder.path(QStringLiteral("OvlixSetup.log"))).isDir());
}
