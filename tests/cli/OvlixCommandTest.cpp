// The built ovlix, run as a user runs it, from a folder of its own with its
// own files, against the device simulator on loopback.

#include "DeviceSimulator.h"
#include "support/LabelsExample.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <QCryptographicHash>
#include <QProcess>
#include <QRegularExpression>
#include <QTcpServer>

using namespace ovlix::test;

namespace {

// A terminal session, one run after another. A run is "$ ARGUMENTS", split
// as QProcess::splitCommand splits them, and what came of it, whole, a line
// each: "> " a request the device received, "| " standard output ("| sha1 " and
// its hash for a help text: `ovlix ARGUMENTS | sha1sum`), "! " standard error,
// ": " the log's messages, "= " the exit code unless it is 0; "~ " lines set
// the run up. %DEVICE% stands for the simulator's address, which the netset
// of the program's folder %FOLDER% names, %REFUSED% for a port where nothing
// listens, %SILENT% for one that takes connections and never answers,
// %LABELS% for the request that sends the folder's labels, and N for the
// seconds a search took.
const char* const kSession = R"(
$ verify %DEVICE%
> /
| 2.1a
: ovlix 2.0.0: verify %DEVICE%
$ verify --json --timeout 86400
> /
| {"address":"%DEVICE%","found":true,"version":"2.1a"}
: ovlix 2.0.0: verify --json --timeout 86400
$ verify %REFUSED%
! Ovlix at IP: %REFUSED% not found
: ovlix 2.0.0: verify %REFUSED%
: PingOvlix: index.htm version not found
= 1
$ verify --json %REFUSED%
| {"address":"%REFUSED%","found":false,"version":null}
! Ovlix at IP: %REFUSED% not found
: ovlix 2.0.0: verify --json %REFUSED%
: PingOvlix: index.htm version not found
= 1
$ x10 a1 on
> /x10.spi?house=A&unit=1&cmd=2&x10event=1&userpass=731
: ovlix 2.0.0: x10 a1 on
$ x10 --device %DEVICE% --passcode-file nowhere "hall LAMP" OFF
~ OVLIX_PASSCODE=se cret&x
> /x10.spi?house=B&unit=16&cmd=3&x10event=1&userpass=se%20cret%26x
: ovlix 2.0.0: x10 --device %DEVICE% --passcode-file nowhere 'hall LAMP' OFF
$ x10 --passcode-file passcode --json p16 Query
> /x10.spi?house=P&unit=16&cmd=8&x10event=1&userpass=from%20file
| {"address":"%DEVICE%","command":"Query","house":"P","sent":true,"unit":"16"}
: ovlix 2.0.0: x10 --passcode-file passcode --json p16 Query
$ x10 --device %REFUSED% --json A1 on
| {"address":"%REFUSED%","command":"On","house":"A","sent":false,"unit":"1"}
! ovlix x10: the device at %REFUSED% did not answer: Connection refused
: ovlix 2.0.0: x10 --device %REFUSED% --json A1 on
: ERROR::SendHttp: Connection refused
= 1
$ x10 --device %SILENT% --timeout 1 A1 on
! ovlix x10: the device at %SILENT% did not answer: No complete answer within 1 second
: ovlix 2.0.0: x10 --device %SILENT% --timeout 1 A1 on
: ERROR::SendHttp: No complete answer within 1 second
= 1
$ x10 --passcode-file nowhere A1 on
! ovlix x10: cannot read the passcode file nowhere: No such file or directory
: ovlix 2.0.0: x10 --passcode-file nowhere A1 on
: ERROR::ovlix x10: cannot read the passcode file nowhere: No such file or directory
= 4
$ x10 Attic on
~ no labels file
! ovlix x10: "Attic" is no X10 address, and the labels file %FOLDER%/labels cannot be read: No such file or directory
: ovlix 2.0.0: x10 Attic on
: ERROR::frmDeviceLabels.ReadLabels: No such file or directory
= 4
$ find --network 127.0.0.2/32 --timeout 10
| 0 devices found, 1 address asked in N s
: ovlix 2.0.0: find --network 127.0.0.2/32 --timeout 10
: Find devices: searching 127.0.0.2/32, 1 address
: Find devices: done after N s, 1 of 1 address asked, 0 found
= 1
$ find --network 127.0.0.2/32 --json --timeout 86400000
| []
: ovlix 2.0.0: find --network 127.0.0.2/32 --json --timeout 86400000
: Find devices: searching 127.0.0.2/32, 1 address
: Find devices: done after N s, 1 of 1 address asked, 0 found
= 1
$ labels show
| 1  Porch             A  1
| 2  Garage            A  2
| 3  Hall lamp         B  16
| 4                    A  1
| 5                    A  1
| 6                    A  1
| 7                    A  1
| 8                    A  1
: ovlix 2.0.0: labels show
$ labels show --json
| {"file":"%FOLDER%/labels","slots":[{"house":"A","slot":1,"text":"Porch","unit":"1"},{"house":"A","slot":2,"text":"Garage","unit":"2"},{"house":"B","slot":3,"text":"Hall lamp","unit":"16"},{"house":"A","slot":4,"text":"","unit":"1"},{"house":"A","slot":5,"text":"","unit":"1"},{"house":"A","slot":6,"text":"","unit":"1"},{"house":"A","slot":7,"text":"","unit":"1"},{"house":"A","slot":8,"text":"","unit":"1"}]}
: ovlix 2.0.0: labels show --json
$ labels show
~ no labels file
! ovlix: cannot read the labels file %FOLDER%/labels: No such file or directory
: ovlix 2.0.0: labels show
: ERROR::frmDeviceLabels.ReadLabels: No such file or directory
= 4
$ labels send --device %DEVICE%
> %LABELS%
| Labels sent
: ovlix 2.0.0: labels send --device %DEVICE%
: frmDeviceLabels.SendHttp: URL=http://%DEVICE%%LABELS%
$ labels send --json
> %LABELS%
| {"address":"%DEVICE%","sent":true}
: ovlix 2.0.0: labels send --json
: frmDeviceLabels.SendHttp: URL=http://%DEVICE%%LABELS%
$ labels send --device %REFUSED%
! ovlix labels send: Send Labels Failed: Verify IP Address (Connection refused)
: ovlix 2.0.0: labels send --device %REFUSED%
: frmDeviceLabels.SendHttp: URL=http://%REFUSED%%LABELS%
: ERROR::frmDeviceLabels.SendHttp: Connection refused
: frmDeviceLabels.SetOvlixLabels: Http get failed
= 1
$ --version
| ovlix 2.0.0
$ --help
| sha1 d37753c64d8fb987892041821917b7c7b5fe4c80
$ -h
| sha1 d37753c64d8fb987892041821917b7c7b5fe4c80
$ verify --help
| sha1 01c67aca911488a6c3139f85f867d4ea253987af
$ x10 -h
| sha1 3b70fa940527214e9f360b8f2b7419aaa582e7e5
$ labels --help
| sha1 4dd826c1bbea028add3697edc0b6889a053a93ce
$ labels -h
| sha1 4dd826c1bbea028add3697edc0b6889a053a93ce
$ labels show --help
| sha1 bf864997aadc3cfbb3f471fcd49885e7bb24d7fe
$ labels send --help
| sha1 600bddb93f9fc8eda3d13f5e1afe481bfc4e1970
$ find --help
| sha1 b4750e7f66ec4d7d6231618d8407f20ec5d7d943
$ setup --help
| sha1 344d4aa27e17335f1e227a2ab8c77c17645a7cc3
$
! ovlix: no command given: use verify, x10, labels show, labels send, find, setup; options come after the command word (see ovlix --help)
= 2
$ bogus
! ovlix: unknown command "bogus": use verify, x10, labels show, labels send, find, setup; options come after the command word (see ovlix --help)
= 2
$ bogus --help
! ovlix: unknown command "bogus": use verify, x10, labels show, labels send, find, setup; options come after the command word (see ovlix --help)
= 2
$ --json verify
! ovlix: unknown command "--json": use verify, x10, labels show, labels send, find, setup; options come after the command word (see ovlix --help)
= 2
$ labels list
! ovlix: unknown command "labels list": use labels show, labels send; options come after the command word (see ovlix --help)
= 2
$ labels --help x
! ovlix: unknown command "labels --help": use labels show, labels send; options come after the command word (see ovlix --help)
= 2
$ labels
! ovlix: "labels" needs a command: use labels show, labels send; options come after the command word (see ovlix --help)
= 2
$ labels show --timeout 5
! ovlix labels show: Unknown option 'timeout'; usage: ovlix labels show [--json]
= 2
$ verify a b
! ovlix verify: too many arguments; usage: ovlix verify [--json] [ADDRESS]
= 2
$ x10 A1
! ovlix x10: missing arguments; usage: ovlix x10 [--device ADDRESS] [--passcode-file FILE] [--json] UNIT COMMAND
= 2
$ x10 A1 on x
! ovlix x10: too many arguments; usage: ovlix x10 [--device ADDRESS] [--passcode-file FILE] [--json] UNIT COMMAND
= 2
$ find x
! ovlix find: too many arguments; usage: ovlix find [--network CIDR]... [--timeout MS] [--json]
= 2
$ labels show x
! ovlix labels show: too many arguments; usage: ovlix labels show [--json]
= 2
$ setup --mac 00:03:75:10:01:55 --wait 0 127.0.0.1 x
! ovlix setup: too many arguments; usage: ovlix setup --mac MAC [--wait SECONDS] [--json] IP
= 2
$ verify --timeout 99999999999
! ovlix verify: --timeout takes a number of seconds above 0 and at most 86400, not "99999999999"
= 2
$ verify --timeout 0
! ovlix verify: --timeout takes a number of seconds above 0 and at most 86400, not "0"
= 2
$ find --timeout 1.5
! ovlix find: --timeout takes whole milliseconds, 10 or more and at most 86400000, not "1.5"
= 2
$ find --timeout 9
! ovlix find: --timeout takes whole milliseconds, 10 or more and at most 86400000, not "9"
= 2
$ find --timeout 86400001
! ovlix find: --timeout takes whole milliseconds, 10 or more and at most 86400000, not "86400001"
= 2
$ find --network 10.1.2/24
! ovlix find: --network takes an IPv4 network such as 192.168.1.0/24, not "10.1.2/24"
= 2
$ x10 A1 dim
! ovlix x10: unknown X10 command "dim": use on, off or query
= 2
$ x10 Q1 on
! ovlix x10: unknown unit "Q1": use a house letter A-P and a unit 1-16 (A1, p16) or a label of the labels file
: ovlix 2.0.0: x10 Q1 on
= 2
$ x10 A17 on
! ovlix x10: unknown unit "A17": use a house letter A-P and a unit 1-16 (A1, p16) or a label of the labels file
: ovlix 2.0.0: x10 A17 on
= 2
$ x10 "it's" on
! ovlix x10: unknown unit "it's": use a house letter A-P and a unit 1-16 (A1, p16) or a label of the labels file
: ovlix 2.0.0: x10 'it'\''s' on
= 2
$ setup --mac 00-03-75-10-01 127.0.0.1
! ovlix setup: --mac takes six pairs of hex digits joined by - or :, such as 00-03-75-10-01-55, not "00-03-75-10-01"
= 2
$ setup 127.0.0.1
! ovlix setup: --mac MAC is required: the device's MAC address, such as 00-03-75-10-01-55
= 2
$ setup --mac 00:03:75:10:01:55 %DEVICE%
! ovlix setup: IP takes an IPv4 address such as 192.168.1.250, not "%DEVICE%"
= 2
$ setup --mac 00:03:75:10:01:55 --wait 0 127.0.0.1
! ovlix setup: --wait takes a number of seconds above 0 and up to 3600, not "0"
= 2
$ setup --mac 00:03:75:10:01:55 --wait 3601 127.0.0.1
! ovlix setup: --wait takes a number of seconds above 0 and up to 3600, not "3601"
= 2
)";

const QString kLabelsPath =
    "/label.spi?labelevent=1&label01=Porch&h01=A&u01=1&label02=Garage&h02=A&u02=2&label03=Hall%"
    "20lamp&h03=B&u03=16&label04=&h04=A&u04=1&label05=&h05=A&u05=1&label06=&h06=A&u06=1&label07=&"
    "h07=A&u07=1&label08=&h08=A&u08=1";

// Each line of the text after the marker, and as diff says it, a last line
// without its line end.
QString marked(const char* marker, QString text)
{
    static const QRegularExpression seconds(QStringLiteral("\\b\\d+\\.\\d s\\b"));
    if (text.isEmpty())
        return {};
    const bool ended = text.endsWith('\n');
    text.chop(text.endsWith("\r\n") ? 2 : int(ended));
    QString lines;
    for (const QString& line : text.split(QRegularExpression("\r?\n")))
        lines += marker + QString(line).replace(seconds, QStringLiteral("N s")) + '\n';
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

    for (const QString& run : QString(kSession).trimmed().split(QRegularExpression("\n(?=\\$)"))) {
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
        actual += expected.contains("\n| sha1 ")
                      ? "| sha1 " +
                            QCryptographicHash::hash(output, QCryptographicHash::Sha1).toHex() +
                            '\n'
                      : marked("| ", QString::fromUtf8(output));
        actual += marked("! ", QString::fromUtf8(process.readAllStandardError()));
        actual += marked(": ", QString::fromLocal8Bit(folder.read("OvlixSetup.log")).remove(stamp));
        if (process.exitCode() != 0)
            actual += QStringLiteral("= %1\n").arg(process.exitCode());
        EXPECT_EQ(actual, expected);
    }
}
