#pragma once

#include <functional>
#include <QDateTime>
#include <QLocale>
#include <QString>

namespace ovlix {

// The program's one diagnostic channel: one time-stamped line per event,
// appended to the log file, which is opened and closed for every line.
class EventLog {
public:
    using Clock = std::function<QDateTime()>;

    explicit EventLog(QString logFile, Clock clock = &QDateTime::currentDateTime,
                      const QLocale& locale = QLocale::system());
    virtual ~EventLog() = default;

    // Never fails towards the caller: a line that cannot be written is dropped.
    // A procedure that repeats itself may hold its lines back (AddressSetup).
    virtual void WriteLog(const QString& message) const;

    const QString& file() const { return logFile_; }

    // The short date, a blank and the time with seconds; at exactly midnight the
    // date alone.
    static QString timeStamp(const QDateTime& when, const QLocale& locale);

private:
    QString logFile_;
    Clock clock_;
    QLocale locale_;
};

} // namespace ovlix
