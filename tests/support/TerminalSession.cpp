#include "TestSupport.h"

#include "DeviceSimulator.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#ifndef Q_OS_WIN
#include <unistd.h>
#endif

namespace ovlix::test {

namespace {

// Each line of the text after the marker, seconds taken and probe numbers
// shown as "N", shaped as the run's "~ " lines ask, and as diff says it, a
// last line without its line end.
QString marked(const QString& marker, QString text, const QStringList& setup)
{
    static const QRegularExpression numbers(
        QStringLiteral("\\b\\d+\\.\\d+(?= s\\b)|(?<=probe )\\d+(?=:)"));
    if (text.isEmpty())
        return {};
    const bool ended = text.endsWith(QLatin1Char('\n'));
    text.chop(text.endsWith(QStringLiteral("\r\n")) ? 2 : int(ended));
    QStringList lines = text.split(QRegularExpression(QStringLiteral("\r?\n")));
    lines.replaceInStrings(numbers, QStringLiteral("N"));
    for (const QString& line : setup.filter(QRegularExpression(QStringLiteral("^~ ignore "))))
        lines.removeAll(line.section(QLatin1Char(' '), 2));
    if (setup.contains(QStringLiteral("~ first line")))
        lines.resize(1);
    if (setup.contains(QStringLiteral("~ once")))
        lines.removeDuplicates();
    if (setup.contains(QStringLiteral("~ sorted")))
        lines.sort();
    QString shown;
    for (const QString& line : lines)
        shown += (line.isEmpty() ? marker.trimmed() : marker + line) + QLatin1Char('\n');
    return ended ? shown : shown + QStringLiteral("\\ No newline at end\n");
}

} // namespace

void runTerminalSession(const QString& file, QMap<QString, QString> words,
                        const QByteArray& labelsFile, DeviceSimulator* device)
{
    FilesFolder folder;
    const QString built = qEnvironmentVariable("OVLIX_CLI");
    const QString program = folder.path(QFileInfo(built).fileName()); // ovlix, or ovlix.exe
    ASSERT_TRUE(QFile::copy(built, program)) << "OVLIX_CLI names the program under test";
    QFile session(file);
    ASSERT_TRUE(session.open(QIODevice::ReadOnly | QIODevice::Text)) << file.toStdString();
    // A user without a right runs some commands, and logs there too.
    const auto anyone = QFile::Permissions(0x7777);
    QFile::setPermissions(folder.path(QString()), anyone);
    words.insert(QStringLiteral("FOLDER"), folder.path(QString()));
    // %FOLDER%/bin/ovlix lies where that user cannot write; the per-user data
    // folder it then turns to, %FOLDER%/OvlixSetup, is the folder itself.
    QDir().mkdir(folder.path(QStringLiteral("bin")));
    ASSERT_TRUE(QFile::copy(program, folder.path(QStringLiteral("bin/ovlix"))) &&
                QFile::link(folder.path(QString()), folder.path(QStringLiteral("OvlixSetup"))));
    QFile::setPermissions(folder.path(QStringLiteral("bin")), QFile::Permissions(0x5555));
#ifndef Q_OS_WIN
    words.insert(QStringLiteral("NOBODY"),
                 getuid() == 0
                     ? QStringLiteral("setpriv --reuid=65534 --regid=65534 --clear-groups")
                     : QStringLiteral("env"));
#endif
    // The system's own words for a file that is not there.
    QFile missing(folder.path(QStringLiteral("missing")));
    missing.open(QIODevice::ReadOnly);
    words.insert(QStringLiteral("NO_SUCH_FILE"), missing.errorString());
    // The clock's stamp before each log message (12:05:09, 12 h 05 min 09 s).
    static const QRegularExpression stamp(
        QStringLiteral("^.*? \\d\\d?(:| h )\\d\\d(:| min )\\d\\d( [AP]M| s)?"),
        QRegularExpression::MultilineOption);

    static const QRegularExpression comment(QStringLiteral("^#[^\n]*\n"),
                                            QRegularExpression::MultilineOption);
    // Lines keep their trailing blanks, the last one too.
    static const QRegularExpression outerLineEnds(QStringLiteral("^\n+|\n+$"));
    const QString runs = QString::fromUtf8(session.readAll()).remove(comment).remove(outerLineEnds);
    const auto withWords = [&words](QString text) {
        for (auto word = words.cbegin(); word != words.cend(); ++word)
            text.replace(QLatin1Char('%') + word.key() + QLatin1Char('%'), word.value());
        return text;
    };
    for (const QString& run : runs.split(QRegularExpression(QStringLiteral("\n(?=\\$)")))) {
        // The command line shows its words, which may hold line ends, by name.
        const QString command = run.section(QLatin1Char('\n'), 0, 0);
        const QString expected = command + withWords(run.mid(command.size())) + QLatin1Char('\n');
        const QStringList setup =
            expected.split(QLatin1Char('\n')).filter(QRegularExpression(QStringLiteral("^~ ")));
        SCOPED_TRACE(command.toStdString());
#ifdef Q_OS_WIN
        if (!setup.filter(QStringLiteral("~ Linux only: ")).isEmpty())
            continue;
#endif
        if (device)
            folder.write(QStringLiteral("netset"),
                         "lastip, " + words.value(QStringLiteral("DEVICE")).toLatin1() + "\r\n");
        folder.write(QStringLiteral("passcode"), "from file\r\nsecond line\r\n");
        if (setup.contains(QStringLiteral("~ no labels file")))
            QFile::remove(folder.path(QStringLiteral("labels")));
        else
            folder.write(QStringLiteral("labels"), labelsFile);
        for (const char* written : {"OvlixSetup.log", "netset"})
            QFile::setPermissions(folder.path(QLatin1String(written)), anyone);
        const QString logBefore =
            QString::fromLocal8Bit(folder.read(QStringLiteral("OvlixSetup.log")));
        const qsizetype requestsBefore = device ? device->requests().size() : 0;

        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_DATA_HOME"), folder.path(QString()));
        // The log's stamps and the system's messages as in the session, whatever
        // the machine's locale.
        environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
        environment.insert(
            QStringLiteral("OVLIX_PASSCODE"),
            setup.filter(QStringLiteral("OVLIX_PASSCODE=")).value(0).section(QLatin1Char('='), 1));
        process.setProcessEnvironment(environment);
        process.setWorkingDirectory(folder.path(QString()));
        QStringList arguments = QProcess::splitCommand(withWords(command.mid(2)));
        arguments.replaceInStrings(QRegularExpression(QStringLiteral("^ovlix$")), program);
        process.start(arguments.takeFirst(), arguments);
        ASSERT_TRUE(waitUntil([&] { return process.state() == QProcess::NotRunning; }, 30000));

        QString actual =
            command + QLatin1Char('\n') +
            (setup.isEmpty() ? QString() : setup.join(QLatin1Char('\n')) + QLatin1Char('\n'));
        for (const QString& request :
             device ? device->requests().mid(requestsBefore) : QStringList())
            actual += QStringLiteral("> ") + request + QLatin1Char('\n');
        actual +=
            marked(QStringLiteral("| "), QString::fromUtf8(process.readAllStandardOutput()), setup);
        actual +=
            marked(QStringLiteral("! "), QString::fromUtf8(process.readAllStandardError()), setup);
        const QString log = QString::fromLocal8Bit(folder.read(QStringLiteral("OvlixSetup.log")));
        actual += marked(QStringLiteral(": "), log.mid(logBefore.size()).remove(stamp), setup);
        if (process.exitCode() != 0)
            actual += QStringLiteral("= %1\n").arg(process.exitCode());
#ifdef Q_OS_WIN
        // Windows shows a path with backslashes (doubled in JSON), the session with slashes.
        static const QRegularExpression windowsPath(QStringLiteral(R"([A-Z]:\\[^\s"]*)"));
        for (const QRegularExpressionMatch& path : windowsPath.globalMatch(QString(actual)))
            actual.replace(
                path.captured(),
                QString(path.captured())
                    .replace(QRegularExpression(QStringLiteral(R"(\\\\?)")), QStringLiteral("/")));
#endif
        EXPECT_EQ(actual, expected);
    }
}

} // namespace ovlix::test
