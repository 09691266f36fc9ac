#include "CommandLine.h"

#include "core/StartUp.h"
#include "device/DeviceRequests.h"
#include "device/QtHttpFetcher.h"
#include "network/NetSettings.h"

#include <QCoreApplication>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QTextStream>

namespace ovlix::cli {

namespace {

const QString kHelp = QStringLiteral("help");
const QString kTimeout = QStringLiteral("timeout");
const QString kJson = QStringLiteral("json");
// A day is longer than any device takes to answer.
constexpr double kLongestTimeoutSeconds = 86400;
// Less than this gives no device on any network time to answer.
constexpr qint64 kShortestSearchMilliseconds = 10;

// How many milliseconds one unit of a command's --timeout is.
double millisecondsPer(TimeoutUnit unit)
{
    return unit == TimeoutUnit::Seconds ? 1000.0 : 1.0;
}

QString timeoutUnitName(TimeoutUnit unit)
{
    return unit == TimeoutUnit::Seconds ? QStringLiteral("SECONDS") : QStringLiteral("MS");
}

// Why --timeout's text is no deadline the command takes; empty when it is one.
// A search's milliseconds are whole and at least 10, so that someone who
// thought in seconds ("1.5") is told instead of searching for 1.5 ms.
QString timeoutProblem(TimeoutUnit unit, const QString& text)
{
    if (unit == TimeoutUnit::Milliseconds) {
        static const QRegularExpression digits(QStringLiteral("^[0-9]+$"));
        const qint64 milliseconds = text.toLongLong();
        if (digits.match(text).hasMatch() && milliseconds >= kShortestSearchMilliseconds &&
            milliseconds <= kLongestTimeoutSeconds * 1000)
            return {};
        return QStringLiteral("--timeout takes whole milliseconds, %1 or more and at most %2, "
                              "not \"%3\"")
            .arg(kShortestSearchMilliseconds)
            .arg(qint64(kLongestTimeoutSeconds * 1000))
            .arg(text);
    }
    bool number = false;
    const double seconds = text.toDouble(&number);
    if (number && seconds > 0 && seconds <= kLongestTimeoutSeconds)
        return {};
    return QStringLiteral("--timeout takes a number of seconds above 0 and at most %1, not \"%2\"")
        .arg(kLongestTimeoutSeconds)
        .arg(text);
}

// An argument as a shell would take it, for the log.
QString quoted(const QString& argument)
{
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z0-9_.:/=+,@%-]+$"));
    if (plain.match(argument).hasMatch())
        return argument;
    QString escaped = argument;
    escaped.replace(u'\'', QStringLiteral("'\\''"));
    return u'\'' + escaped + u'\'';
}

} // namespace

QString exitCodeHelp(bool contactsDevice)
{
    return QStringLiteral("Exit status:\n"
                          "  0  done\n") +
           (contactsDevice
                ? QStringLiteral("  1  the device did not answer, or the operation failed\n")
                : QString()) +
           QStringLiteral("  2  a mistake on the command line; nothing was sent\n") +
           (contactsDevice ? QStringLiteral("  3  not allowed (setup without the right to change "
                                            "the ARP table)\n")
                           : QString()) +
           QStringLiteral("  4  a local file could not be read or written\n");
}

QCommandLineOption deviceOption()
{
    return {kDeviceOption,
            QStringLiteral("The device's address, such as 192.168.1.10 or 127.0.0.1:8080 "
                           "(default: the last one set up, else 192.168.1.250)."),
            QStringLiteral("ADDRESS")};
}

Invocation::Invocation(const Command& command, QStringList arguments)
    : command_(command), arguments_(std::move(arguments))
{
    parser_.setApplicationDescription(command.summary);
}

Invocation::~Invocation() = default;

bool Invocation::parse(qsizetype least, qsizetype most)
{
    parser_.addOptions(
        {{{QStringLiteral("h"), kHelp}, QStringLiteral("Shows this help.")},
         {kJson, QStringLiteral("Prints JSON instead of the text, for other programs.")}});
    if (command_.timeoutUnit != TimeoutUnit::NoDevice)
        parser_.addOption(
            {kTimeout,
             (command_.timeoutUnit == TimeoutUnit::Seconds
                  ? QStringLiteral("Gives up on the device after SECONDS (default %1).")
                  : QStringLiteral("Gives each address MS milliseconds to answer, a whole "
                                   "number of 10 or more (default %1)."))
                 .arg(command_.timeoutDefault),
             timeoutUnitName(command_.timeoutUnit), QString::number(command_.timeoutDefault)});
    const QString usage =
        QStringLiteral("usage: ovlix %1 %2").arg(command_.name, command_.arguments);
    if (!parser_.parse(QStringList{QStringLiteral("ovlix")} + arguments_)) {
        // The parser's text ends with a full stop; the usage follows after "; ".
        QString error = parser_.errorText();
        if (error.endsWith(u'.'))
            error.chop(1);
        mistake(error + QStringLiteral("; ") + usage);
        return false;
    }
    if (parser_.isSet(kHelp)) {
        // The parser's own usage line names the program by the path it was
        // started with; the command's words read better.
        QString help = parser_.helpText();
        help.replace(0, help.indexOf(u'\n'),
                     QStringLiteral("Usage: ovlix %1 %2").arg(command_.name, command_.arguments));
        QTextStream(stdout) << help << '\n'
                            << exitCodeHelp(command_.timeoutUnit != TimeoutUnit::NoDevice);
        finish(ExitCode::Done);
        return false;
    }
    const qsizetype count = positional().size();
    if (count < least || count > most) {
        mistake((count < least ? QStringLiteral("missing arguments; ")
                               : QStringLiteral("too many arguments; ")) +
                usage);
        return false;
    }
    if (command_.timeoutUnit == TimeoutUnit::NoDevice)
        return true;
    const QString problem = timeoutProblem(command_.timeoutUnit, parser_.value(kTimeout));
    if (!problem.isEmpty())
        mistake(problem);
    return problem.isEmpty();
}

bool Invocation::json() const
{
    return parser_.isSet(kJson);
}

void Invocation::start()
{
    const DataFolder folder = chooseProgramDataFolder();
    context_ = makeAppContext(folder.path, programVersion());
    log_.emplace(context_.LogFile);
    QStringList asked{QStringLiteral("ovlix %1: %2").arg(context_.AppVersion, command_.name)};
    for (const QString& argument : arguments_)
        asked.append(quoted(argument));
    log_->WriteLog(asked.join(u' '));
    writeDataFolderNote(*log_, context_, folder);
}

std::optional<QString> Invocation::typed(const QString& option) const
{
    return parser_.isSet(option) ? std::optional(parser_.value(option)) : std::nullopt;
}

bool Invocation::takeAddress(const QString& what, const std::optional<QString>& typed)
{
    if (typed && !isDeviceAddress(*typed)) {
        mistake(QStringLiteral("%1 takes a device address such as 192.168.1.10 or "
                               "127.0.0.1:8080, not \"%2\"")
                    .arg(what, *typed));
        return false;
    }
    typedAddress_ = typed;
    return true;
}

std::optional<QString> Invocation::deviceAddress()
{
    if (typedAddress_)
        return typedAddress_;
    // The saved address is held to the rule a typed one is: its text is the
    // host the user is shown, so it may not name another host or page.
    const QString saved = lastDeviceIp(*log_, context_.NetsetFile);
    if (isDeviceAddress(saved))
        return saved;
    fail(ExitCode::FileError, QStringLiteral("the address \"%1\" saved in %2 is no device "
                                             "address; give one on the command line")
                                  .arg(saved, context_.NetsetFile));
    return std::nullopt;
}

std::chrono::milliseconds Invocation::timeout() const
{
    return std::chrono::milliseconds(
        qRound64(parser_.value(kTimeout).toDouble() * millisecondsPer(command_.timeoutUnit)));
}

HttpFetcher& Invocation::fetcher()
{
    if (!fetcher_)
        fetcher_ = std::make_unique<QtHttpFetcher>(FetchLimits{timeout()});
    return *fetcher_;
}

void Invocation::print(const QString& line) const
{
    QTextStream(stdout) << withControlsVisible(line) << '\n';
}

void Invocation::printError(const QString& line) const
{
    QTextStream(stderr) << withControlsVisible(line) << '\n';
}

void Invocation::printJson(const QJsonObject& object) const
{
    QTextStream(stdout) << QJsonDocument(object).toJson(QJsonDocument::Compact) << '\n';
}

void Invocation::printJson(const QJsonArray& array) const
{
    QTextStream(stdout) << QJsonDocument(array).toJson(QJsonDocument::Compact) << '\n';
}

void Invocation::mistake(const QString& what)
{
    fail(ExitCode::Usage, what);
}

void Invocation::fail(ExitCode code, const QString& what)
{
    printError(QStringLiteral("ovlix %1: %2").arg(command_.name, what));
    finish(code);
}

void Invocation::finish(ExitCode code)
{
    QCoreApplication::exit(static_cast<int>(code));
}

} // namespace ovlix::cli
