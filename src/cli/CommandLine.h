#pragma once

#include "core/AppContext.h"
#include "core/EventLog.h"
#include "device/HttpFetcher.h"

#include <chrono>
#include <memory>
#include <optional>
#include <QCommandLineParser>
#include <QJsonArray>
#include <QJsonObject>
#include <QString>
#include <QStringList>

namespace ovlix::cli {

// The exit codes that --help and the README list.
enum class ExitCode {
    Done = 0,
    Failed = 1,     // the device did not answer, or the operation failed
    Usage = 2,      // a mistake on the command line; nothing was sent
    NotAllowed = 3, // no right to do what was asked (such as change the ARP table)
    FileError = 4,  // a local file could not be read or written
};

class Invocation;

// What --timeout counts in; NoDevice for a command that contacts no device,
// which then has no --timeout.
enum class TimeoutUnit { Seconds, Milliseconds, NoDevice };

// One row of the command table: the command's words ("labels send"), its
// arguments as --help shows them, a one-line summary and the function that
// runs it. The function ends the run by calling Invocation::finish.
struct Command {
    QString name;
    QString arguments;
    QString summary;
    void (*run)(Invocation& call);
    // --timeout's default: how long the device is given to answer, in
    // seconds, or in milliseconds where a search gives each address a moment.
    double timeoutDefault = 60;
    TimeoutUnit timeoutUnit = TimeoutUnit::Seconds;
};

// One run of one command: its arguments, the options every command has
// (--help, --timeout, --json), its output, the program's files and the device.
class Invocation {
public:
    Invocation(const Command& command, QStringList arguments);
    ~Invocation();

    // The command's own options; add them before parse().
    QCommandLineParser& options() { return parser_; }

    // Reads the arguments. --help prints the command's help and finishes; a
    // mistake prints one line and finishes with Usage. True when the command
    // should go on, with between `least` and `most` positional arguments.
    bool parse(qsizetype least, qsizetype most);
    QStringList positional() const { return parser_.positionalArguments(); }
    QString value(const QString& option) const { return parser_.value(option); }
    // The option's value when it was given, even empty; nothing when it was not.
    std::optional<QString> typed(const QString& option) const;
    bool json() const;

    // Opens the program's files, found as OvlixSetup finds them, and logs what
    // was asked. Call once the arguments are known to be sound.
    void start();
    const AppContext& context() const { return context_; }
    const EventLog& log() const { return *log_; }

    // Keeps the device address typed as `what` (--device, ADDRESS), when one
    // was. One that names no device (empty, with a user part or a path) is a
    // mistake: false, and the run is finished.
    bool takeAddress(const QString& what, const std::optional<QString>& typed);
    // The address kept, or the main window's: "lastip", else the default.
    // A saved one that names no device finishes the run (nothing is sent).
    std::optional<QString> deviceAddress();
    // --timeout: how long one request to the device may take.
    std::chrono::milliseconds timeout() const;
    // Requests to the device, each with that deadline.
    HttpFetcher& fetcher();

    // One line each, whatever it holds (withControlsVisible).
    void print(const QString& line) const;
    void printError(const QString& line) const;
    void printJson(const QJsonObject& object) const;
    void printJson(const QJsonArray& array) const;
    // One line saying what was wrong and what is accepted; nothing is sent.
    void mistake(const QString& what);
    // Ends the run; the program exits with `code`.
    void finish(ExitCode code);
    // Says what went wrong, after the command's name, and ends the run.
    void fail(ExitCode code, const QString& what);

private:
    const Command& command_;
    QStringList arguments_;
    QCommandLineParser parser_;
    AppContext context_;
    std::optional<EventLog> log_;
    std::unique_ptr<HttpFetcher> fetcher_;
    std::optional<QString> typedAddress_;
};

// The help texts share the exit code table. A command that contacts no device
// can neither find it silent nor be refused a right: its table leaves 1 and 3 out.
QString exitCodeHelp(bool contactsDevice = true);

// --device ADDRESS, for the commands that send to the device.
inline const QString kDeviceOption = QStringLiteral("device");
QCommandLineOption deviceOption();

} // namespace ovlix::cli
