// The built ovlix, run as a user runs it, through the terminal session of
// tests/cli/ovlix-session.txt, whose header tells how to read it.

#include "DeviceSimulator.h"
#include "support/LabelsExample.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <QProcess>
#include <QRegularExpression>
#include <QTcpServer>

using namespace ovlix::test;

namespace {

const QString kLabelsPath =
    "/label.spi?labelevent=1&label01=Porch&h01=A&u01=1&label02=Garage&h02=A&u02=2&label03=Hall%"
    "20lamp&h03=B&u03=16&label04=&h04=A&u04=1&label05=&h05=A&u05=1&label06=&h06=A&u06=1&label07=&"
    "h07=A&u07=1&label08=&h08=A&u08=1";

// Each line of the text after the marker, and as diff says it, a last line
// without its line end.
QString marked(const QString& marker, QString text)
{
    static const QRegularExpression seconds(QStringLiteral("\\b\\d+\\.\\d s\\b"));
    if (text.isEmpty())
        return {};
    const bool ended = text.endsWith('\n');
    text.chop(text.endsWith("\r\n") ? 2 : int(ended));
    QString lines;
    for (QString line : text.split(QRegularExpression("\r?\n")))
        lines += (line.isEmpty() ? marker.trimmed() : marker + line.replace(seconds, "N s")) + '\n';
    return ended ? lines : lines + "\\ No newline at end\n";
}

} // namespace

TEST(OvlixCommand, SendsExactlyWhatWasAskedAndSaysHowItWent)
{
    const QString built = qEnvironmentVariable("OVLIX_CLI");
    ASSERT_FALSE(built.isEmpty()) << "OVLIX_CLI names the program under test";
    ovlix::DeviceSimulator device;
    ASSERT_TRUE(device.listen());
    QTcpServer closed;
    QTcpServer silent;
    ASSERT_TRUE(closed.listen(QHostAddress::LocalHost) && silent.listen(QHostAddress::LocalHost));
    const QString address = QStringLiteral("127.0.0.1:%1").arg(device.port());
    const QString refused = QStringLiteral("127.0.0.1:%1").arg(closed.serverPort());
    closed.close();
    // The clock's stamp before each log message.
    static const QRegularExpression stamp(QStringLiteral("^.*? \\d\\d?:\\d\\d:\\d\\d( [AP]M)?"),
                                          QRegularExpression::MultilineOption);

    QFile sessionFile(QStringLiteral(OVLIX_TEST_DATA "/ovlix-session.txt"));
    ASSERT_TRUE(sessionFile.open(QIODevice::ReadOnly | QIODevice::Text));
    const QString session =
        QString::fromUtf8(sessionFile.readAll())
            .remove(QRegularExpression("^#[^\n]*\n", QRegularExpression::MultilineOption));
    for (const QString& run : session.trimmed().split(QRegularExpression("\n(?=\\$)"))) {
        FilesFolder folder;
        const QString expected =
            QString(run + '\n')
                .replace("%DEVICE%", address)
                .replace("%REFUSED%", refused)
                .replace("%SILENT%", QStringLiteral("127.0.0.1:%1").arg(silent.serverPort()))
                .replace("%FOLDER%", folder.path(QString()))
                .replace("%LABELS%", kLabelsPath);
        const QString command = expected.section('\n', 0, 0);
        const QStringList setup = expected.split('\n').filter(QRegularExpression("^~ "));
        SCOPED_TRACE(command.toStdString());
        const QString program = folder.path(QStringLiteral("ovlix"));
        ASSERT_TRUE(QFile::copy(built, program));
        folder.write("netset", "lastip, " + address.toLatin1() + "\r\n");
        folder.write("passcode", "from file\r\nsecond line\r\n");
        if (!setup.contains("~ no labels file"))
            folder.write("labels", kWorkedExampleFile);

        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("OVLIX_PASSCODE",
                           setup.filter("OVLIX_PASSCODE=").value(0).section('=', 1));
        process.setProcessEnvironment(environment);
        process.setWorkingDirectory(folder.path(QString()));
        const qsizetype before = device.requests().size();
        process.start(program, QProcess::splitCommand(command.mid(2)));
        ASSERT_TRUE(waitUntil([&] { return process.state() == QProcess::NotRunning; }, 20000));

        const QByteArray output = process.readAllStandardOutput();
        QString actual = command + '\n' + (setup.isEmpty() ? QString() : setup.join('\n') + '\n');
        for (const QString& request : device.requests().mid(before))
            actual += "> " + request + '\n';
        actual += marked("| ", QString::fromUtf8(output));
        actual += marked("! ", QString::fromUtf8(process.readAllStandardError()));
        actual += marked(": ", QString::fromLocal8Bit(folder.read("OvlixSetup.log")).remove(stamp));
        if (process.exitCode() != 0)
            actual += QStringLiteral("= %1\n").arg(process.exitCode());
        EXPECT_EQ(actual, expected);
    }
}
