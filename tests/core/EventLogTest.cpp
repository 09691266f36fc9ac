#include "core/EventLog.h"
#include "support/TestSupport.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <QDir>
#include <QRegularExpression>
#include <QTimeZone>

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

TEST(EventLog, NoLocaleLeavesAZoneOrStrayTextInTheStamp)
{
    const QDate day(2026, 12, 6);
    const QTimeZone zone = QTimeZone::systemTimeZone();
    const QDateTime when(day, QTime(22, 20, 5));
    const QStringList zoneTexts{"UTC", "GMT", zone.abbreviation(when),
                                zone.displayName(when, QTimeZone::LongName)};
    const QList<QLocale> locales =
        QLocale::matchingLocales(QLocale::AnyLanguage, QLocale::AnyScript, QLocale::AnyTerritory);
    ASSERT_GT(locales.size(), 300);
    static const QRegularExpression brackets(QStringLiteral("[()\\[\\]{}]"));
    static const QRegularExpression doubleBlank(QStringLiteral("\\s\\s"));
    int clean = 0;
    for (const QLocale& locale : locales) {
        const QString stamp = EventLog::timeStamp(when, locale);
        const QString date = locale.toString(day, QLocale::ShortFormat);
        const QString time = stamp.mid(date.size() + 1);
        const bool zoneFree =
            std::none_of(zoneTexts.begin(), zoneTexts.end(),
                         [&](const QString& z) { return !z.isEmpty() && time.contains(z); });
        // A second later is another stamp: the seconds are there.
        const bool ok = stamp.startsWith(date + " ") && time == time.trimmed() &&
                        !time.contains(doubleBlank) && zoneFree && !time.contains(brackets) &&
                        stamp != EventLog::timeStamp(when.addSecs(1), locale);
        EXPECT_TRUE(ok) << (locale.name() + ": " + stamp).toStdString();
        clean += ok;
    }
    std::printf("locales with a clean stamp: %d of %lld\n", clean,
                static_cast<long long>(locales.size()));
}

TEST(EventLog, ALogThatCannotBeOpenedDropsTheLineQuietly)
{
    FilesFolder folder;
    ASSERT_TRUE(QDir().mkdir(folder.path(QStringLiteral("OvlixSetup.log"))));
    folder.log().WriteLog(QStringLiteral("lost"));
    EXPECT_TRUE(QFileInfo(folder.path(QStringLiteral("OvlixSetup.log"))).isDir());
}
