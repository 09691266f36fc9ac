#pragma once

#include <functional>
#include <QDateTime>
#include <QLocale>
#include <QString>

namespace ovlix {

// The text with each control character written out as C writes it: \r, \n, \t,
// else \x and two hex digits. Text from outside (a device's answer, a typed
// address, a labels file) can then neither start a line of its own in the log
// or on a terminal nor reach a terminal as an escape sequence. Text without
// control characters comes back as it is.
QString withControlsVisible(const QString& text);

// The program's one diagnostic channel: one time-stamped line per event,
// appended to the log file, which is opened and closed for every line.
class EventLog {
public:
    using Clock = std::function<QDateTime()>;

    explicit EventLog(QString logFile, Clock clock = &QDateTime::currentDateTime,
                      const QLocale& locale = QLocale::system());
    virtual ~EventLog() = default;

    // One line, whatever the message holds (withControlsVisible). Never fails
    // towards the caller: a line that cannot be written is dropped. A procedure
    // that repeats itself may hold its lines back (AddressSetup).
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
