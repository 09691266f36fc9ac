#include "EventLog.h"

#include "TextFiles.h"

#include <QFile>

namespace ovlix {

EventLog::EventLog(QString logFile, Clock clock, QLocale locale)
    : logFile_(std::move(logFile)), clock_(std::move(clock)), locale_(std::move(locale))
{
}

QString EventLog::timeStamp(const QDateTime& when, const QLocale& locale)
{
    const QString date = locale.toString(when.date(), QLocale::ShortFormat);
    const QTime time = when.time();
    if (time.hour() == 0 && time.minute() == 0 && time.second() == 0)
        return date;
    // The locale's long time format is the one with seconds; the time zone it may
    // carry has no place in a log line.
    QString timeFormat = locale.timeFormat(QLocale::LongFormat);
    timeFormat.remove(QLatin1Char('t'));
    return date + QLatin1Char(' ') + locale.toString(time, timeFormat.trimmed());
}

void EventLog::WriteLog(const QString& message) const
{
    QFile file(logFile_);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        return;
    file.write(toFileText(timeStamp(clock_(), locale_) + message + QStringLiteral("\r\n")));
}

} // namespace ovlix
