#pragma once

#include "core/CommandRunner.h"
#include "core/EventLog.h"
#include "device/HttpFetcher.h"
#include "network/HostAddress.h"

#include <functional>
#include <memory>
#include <ostream>
#include <QByteArray>
#include <QDateTime>
#include <QMap>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

namespace ovlix {
class DeviceSimulator;
}

// Failures show Qt's strings as text on one line, line ends written as \n,
// which GoogleTest needs to show two texts' difference line by line.
inline void PrintTo(const QString& text, std::ostream* out)
{
    const QString escaped = QString(text).replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    *out << '"' << ovlix::withControlsVisible(escaped).toStdString() << '"';
}

namespace ovlix::test {

// A fixed moment for log time stamps, and the stamp the C locale gives it.
inline QDateTime fixedNow()
{
    return QDateTime(QDate(2026, 3, 14), QTime(9, 26, 53));
}
inline QString fixedStamp()
{
    return EventLog::timeStamp(fixedNow(), QLocale::c());
}

// A folder of the program's files with a log whose stamps are fixed.
class FilesFolder {
public:
    FilesFolder() : log_(dir_.filePath(QStringLiteral("OvlixSetup.log")), &fixedNow, QLocale::c())
    {
    }

    QString path(const QString& name) const { return dir_.filePath(name); }
    const EventLog& log() const { return log_; }

    // The log's lines with the fixed stamp taken off the front.
    QStringList logMessages() const;
    QByteArray read(const QString& name) const;
    void write(const QString& name, const QByteArray& bytes) const;

private:
    QTemporaryDir dir_;
    EventLog log_;
};

// Records command lines instead of starting them; can be told to fail.
class RecordingLauncher : public ProcessLauncher {
public:
    StartOutcome startDetached(const QString& commandLine) override
    {
        commandLines.append(commandLine);
        if (failing)
            return {false, 2, QStringLiteral("OvlixSetup"), QStringLiteral("No such file")};
        return {true, 0, {}, {}};
    }
    QStringList commandLines;
    bool failing = false;
};

// Answers as a PC with one network would, unless told to fail; Windows Sockets
// there never stop cleanly.
class FixedHostLookup : public HostLookup {
public:
    HostName hostName() override { return {QStringLiteral("office-pc"), nameError}; }
    std::optional<QList<QHostAddress>> addressesOf(const QString&) override { return named; }
    win32::SocketsStart startSockets() override { return start; }
    bool stopSockets() override { return !asOnWindows; }
    bool takesFirstNamedAddress() const override { return asOnWindows; }

    win32::SocketsStart start{win32::SocketsStart::Status::Started};
    bool asOnWindows = false;
    int nameError = 0;
    std::optional<QList<QHostAddress>> named =
        QList<QHostAddress>{QHostAddress(QStringLiteral("192.168.1.10"))};
};

// A device that answers only when the test says so: every window's requests
// wait here in the order they were made.
class HeldRequests {
public:
    std::unique_ptr<HttpFetcher> fetcher();
    qsizetype count() const { return urls_.size(); }
    QUrl url(qsizetype i) const { return urls_.value(i); }
    void answer(qsizetype i, const FetchResult& result) { done_.value(i)(result); }

private:
    QList<QUrl> urls_;
    QList<HttpFetcher::Done> done_;
};

inline FetchResult versionPage(const QByteArray& version)
{
    return {true, "<version>" + version + "</version>", {}, FetchResult::Failure::None};
}
inline const FetchResult kConnectionRefused{
    false, {}, QStringLiteral("Connection refused"), FetchResult::Failure::Refused};

// "ü" in the system's code page, as a file and the wire hold it, and what
// the code page keeps of the Polish "Łódź": UTF-8 holds all on Linux;
// Windows-1252, Wine's code page for English and French, has no Ł or ź.
#ifdef Q_OS_WIN
inline const QByteArray kUmlautInFile = "\xfc";
inline const QString kUmlautOnWire = QStringLiteral("%FC");
inline const QString kLodzAsTyped = QStringLiteral("ód");
#else
inline const QByteArray kUmlautInFile = "\xc3\xbc";
inline const QString kUmlautOnWire = QStringLiteral("%C3%BC");
inline const QString kLodzAsTyped = QStringLiteral("Łódź");
#endif

// Spins the event loop until the condition holds or the time is up.
inline bool waitUntil(const std::function<bool()>& condition, int milliseconds = 10000)
{
    return QTest::qWaitFor(condition, milliseconds);
}

// Runs the terminal session of `file` (tests/cli/ovlix-session.txt tells how
// to read one) in a folder of the program's files, a run at a time, and
// checks each run whole. `words` are the session's %WORDS% and what they stand
// for; `labelsFile` is the folder's labels file; the folder's netset names
// `device` when one is given, and the requests it receives are shown.
void runTerminalSession(const QString& file, QMap<QString, QString> words,
                        const QByteArray& labelsFile, DeviceSimulator* device = nullptr);

} // namespace ovlix::test
