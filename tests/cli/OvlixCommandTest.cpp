// The built ovlix, run as a user runs it, from a folder of its own with its
// own files, against the device simulator on loopback: what the device
// received, the whole standard output and error, the exit code and the log.

#include "DeviceSimulator.h"
#include "support/LabelsExample.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <QCryptographicHash>
#include <QJsonDocument>
#include <QProcess>
#include <QRegularExpression>
#include <QTcpServer>

using namespace ovlix::test;

namespace {

// %DEVICE% stands for the simulator's address, %REFUSED% for a port where
// nothing listens, %SILENT% for one that takes connections and never answers,
// %FOLDER% for the program's folder, whose netset names the simulator.
struct Case {
    QStringList arguments;
    int exitCode;
    QString output; // with --json, the JSON it must parse to; "sha1 " and the hex of a help text
    QString error;
    QString log;           // its messages, a line each
    QString requests = {}; // as the simulator received them, a line each
    QString passcode = {}; // OVLIX_PASSCODE
    bool labelsFile = true;
};

const QString kLabelsPath =
    "/label.spi?labelevent=1&label01=Porch&h01=A&u01=1&label02=Garage&h02=A&u02=2&label03=Hall%"
    "20lamp&h03=B&u03=16&label04=&h04=A&u04=1&label05=&h05=A&u05=1&label06=&h06=A&u06=1&label07=&"
    "h07=A&u07=1&label08=&h08=A&u08=1";
const QString kSeeHelp = "; options come after the command word (see ovlix --help)\n";
const QString kAll = ": use verify, x10, labels show, labels send, find, setup" + kSeeHelp;
const QString kNoFile = "No such file or directory";
const QString kSlot = R"({"slot":%1,"text":"%2","house":"%3","unit":"%4"},)";
const QString kEmptySlots = kSlot.arg(4).arg("", "A", "1") + kSlot.arg(5).arg("", "A", "1") +
                            kSlot.arg(6).arg("", "A", "1") + kSlot.arg(7).arg("", "A", "1") +
                            kSlot.arg(8).arg("", "A", "1").chopped(1);
const QString kSetupMac = "--mac 00:03:75:10:01:55 ";

// Help texts are compared by their SHA-1: `ovlix ARGUMENTS | sha1sum` gives the new one.
const Case kCases[] = {
    {{"verify", "%DEVICE%"}, 0, "2.1a\n", "", "ovlix 2.0.0: verify %DEVICE%", "/"},
    {{"verify", "--json", "--timeout", "86400"},
     0,
     R"({"address":"%DEVICE%","found":true,"version":"2.1a"})",
     "",
     "ovlix 2.0.0: verify --json --timeout 86400",
     "/"},
    {{"verify", "%REFUSED%"},
     1,
     "",
     "Ovlix at IP: %REFUSED% not found\n",
     "ovlix 2.0.0: verify %REFUSED%\nPingOvlix: index.htm version not found"},
    {{"verify", "--json", "%REFUSED%"},
     1,
     R"({"address":"%REFUSED%","found":false,"version":null})",
     "Ovlix at IP: %REFUSED% not found\n",
     "ovlix 2.0.0: verify --json %REFUSED%\nPingOvlix: index.htm version not found"},
    {{"x10", "a1", "on"},
     0,
     "",
     "",
     "ovlix 2.0.0: x10 a1 on",
     "/x10.spi?house=A&unit=1&cmd=2&x10event=1&userpass=731"},
    {{"x10", "--device", "%DEVICE%", "--passcode-file", "nowhere", "hall LAMP", "OFF"},
     0,
     "",
     "",
     "ovlix 2.0.0: x10 --device %DEVICE% --passcode-file nowhere 'hall LAMP' OFF",
     "/x10.spi?house=B&unit=16&cmd=3&x10event=1&userpass=se%20cret%26x",
     "se cret&x"},
    {{"x10", "--passcode-file", "passcode", "--json", "p16", "Query"},
     0,
     R"({"address":"%DEVICE%","house":"P","unit":"16","command":"Query","sent":true})",
     "",
     "ovlix 2.0.0: x10 --passcode-file passcode --json p16 Query",
     "/x10.spi?house=P&unit=16&cmd=8&x10event=1&userpass=from%20file"},
    {{"x10", "--device", "%REFUSED%", "--json", "A1", "on"},
     1,
     R"({"address":"%REFUSED%","house":"A","unit":"1","command":"On","sent":false})",
     "ovlix x10: the device at %REFUSED% did not answer: Connection refused\n",
     "ovlix 2.0.0: x10 --device %REFUSED% --json A1 on\nERROR::SendHttp: Connection refused"},
    {{"x10", "--device", "%SILENT%", "--timeout", "1", "A1", "on"},
     1,
     "",
     "ovlix x10: the device at %SILENT% did not answer: No complete answer within 1 second\n",
     "ovlix 2.0.0: x10 --device %SILENT% --timeout 1 A1 on\n"
     "ERROR::SendHttp: No complete answer within 1 second"},
    {{"x10", "--passcode-file", "nowhere", "A1", "on"},
     4,
     "",
     "ovlix x10: cannot read the passcode file nowhere: " + kNoFile + "\n",
     "ovlix 2.0.0: x10 --passcode-file nowhere A1 on\n"
     "ERROR::ovlix x10: cannot read the passcode file nowhere: " +
         kNoFile},
    {{"x10", "Attic", "on"},
     4,
     "",
     "ovlix x10: \"Attic\" is no X10 address, and the labels file %FOLDER%/labels cannot be "
     "read: " +
         kNoFile + "\n",
     "ovlix 2.0.0: x10 Attic on\nERROR::frmDeviceLabels.ReadLabels: *",
     {},
     {},
     false},
    {{"find", "--network", "127.0.0.2/32", "--timeout", "10"},
     1,
     "0 devices found, 1 address asked in N s\n",
     "",
     "ovlix 2.0.0: find --network 127.0.0.2/32 --timeout 10\n"
     "Find devices: searching 127.0.0.2/32, 1 address\n"
     "Find devices: done after N s, 1 of 1 address asked, 0 found"},
    {{"find", "--network", "127.0.0.2/32", "--json", "--timeout", "86400000"},
     1,
     "[]",
     "",
     "ovlix 2.0.0: find --network 127.0.0.2/32 --json --timeout 86400000\n"
     "Find devices: searching 127.0.0.2/32, 1 address\n"
     "Find devices: done after N s, 1 of 1 address asked, 0 found"},
    {{"labels", "show"},
     0,
     "1  Porch             A  1\n2  Garage            A  2\n3  Hall lamp         B  16\n"
     "4                    A  1\n5                    A  1\n6                    A  1\n"
     "7                    A  1\n8                    A  1\n",
     "",
     "ovlix 2.0.0: labels show"},
    {{"labels", "show", "--json"},
     0,
     R"({"file":"%FOLDER%/labels","slots":[)" + kSlot.arg(1).arg("Porch", "A", "1") +
         kSlot.arg(2).arg("Garage", "A", "2") + kSlot.arg(3).arg("Hall lamp", "B", "16") +
         kEmptySlots + "]}",
     "",
     "ovlix 2.0.0: labels show --json"},
    {{"labels", "show"},
     4,
     "",
     "ovlix: cannot read the labels file %FOLDER%/labels: " + kNoFile + "\n",
     "ovlix 2.0.0: labels show\nERROR::frmDeviceLabels.ReadLabels: *",
     {},
     {},
     false},
    {{"labels", "send", "--device", "%DEVICE%"},
     0,
     "Labels sent\n",
     "",
     "ovlix 2.0.0: labels send --device %DEVICE%\n"
     "frmDeviceLabels.SendHttp: URL=http://%DEVICE%" +
         kLabelsPath,
     kLabelsPath},
    {{"labels", "send", "--json"},
     0,
     R"({"address":"%DEVICE%","sent":true})",
     "",
     "ovlix 2.0.0: labels send --json\nfrmDeviceLabels.SendHttp: URL=http://%DEVICE%" + kLabelsPath,
     kLabelsPath},
    {{"labels", "send", "--device", "%REFUSED%"},
     1,
     "",
     "ovlix labels send: Send Labels Failed: Verify IP Address (Connection refused)\n",
     "ovlix 2.0.0: labels send --device %REFUSED%\n"
     "frmDeviceLabels.SendHttp: URL=http://%REFUSED%" +
         kLabelsPath +
         "\nERROR::frmDeviceLabels.SendHttp: Connection refused\n"
         "frmDeviceLabels.SetOvlixLabels: Http get failed"},
    {{"--version"}, 0, "ovlix 2.0.0\n", "", ""},
    {{"--help"}, 0, "sha1 d37753c64d8fb987892041821917b7c7b5fe4c80", "", ""},
    {{"-h"}, 0, "sha1 d37753c64d8fb987892041821917b7c7b5fe4c80", "", ""},
    {{"verify", "--help"}, 0, "sha1 01c67aca911488a6c3139f85f867d4ea253987af", "", ""},
    {{"x10", "-h"}, 0, "sha1 3b70fa940527214e9f360b8f2b7419aaa582e7e5", "", ""},
    {{"labels", "--help"}, 0, "sha1 4dd826c1bbea028add3697edc0b6889a053a93ce", "", ""},
    {{"labels", "-h"}, 0, "sha1 4dd826c1bbea028add3697edc0b6889a053a93ce", "", ""},
    {{"labels", "show", "--help"}, 0, "sha1 bf864997aadc3cfbb3f471fcd49885e7bb24d7fe", "", ""},
    {{"labels", "send", "--help"}, 0, "sha1 600bddb93f9fc8eda3d13f5e1afe481bfc4e1970", "", ""},
    {{"find", "--help"}, 0, "sha1 b4750e7f66ec4d7d6231618d8407f20ec5d7d943", "", ""},
    {{"setup", "--help"}, 0, "sha1 344d4aa27e17335f1e227a2ab8c77c17645a7cc3", "", ""},
    // Mistakes: one line saying what was wrong, exit 2, nothing sent or logged.
    {{}, 2, "", "ovlix: no command given" + kAll, ""},
    {{"bogus"}, 2, "", "ovlix: unknown command \"bogus\"" + kAll, ""},
    {{"--json", "verify"}, 2, "", "ovlix: unknown command \"--json\"" + kAll, ""},
    {{"labels", "list"},
     2,
     "",
     "ovlix: unknown command \"labels list\": use labels show, labels send" + kSeeHelp,
     ""},
    {{"labels", "--help", "x"},
     2,
     "",
     "ovlix: unknown command \"labels --help\": use labels show, labels send" + kSeeHelp,
     ""},
    {{"labels"},
     2,
     "",
     "ovlix: \"labels\" needs a command: use labels show, labels send" + kSeeHelp,
     ""},
    {{"labels", "show", "--timeout", "5"},
     2,
     "",
     "ovlix labels show: Unknown option 'timeout'; usage: ovlix labels show [--json]\n",
     ""},
    {{"verify", "a", "b"},
     2,
     "",
     "ovlix verify: too many arguments; usage: ovlix verify [--json] [ADDRESS]\n",
     ""},
    {{"x10", "A1"},
     2,
     "",
     "ovlix x10: missing arguments; usage: ovlix x10 [--device ADDRESS] [--passcode-file FILE] "
     "[--json] UNIT COMMAND\n",
     ""},
    {{"verify", "--timeout", "99999999999"},
     2,
     "",
     "ovlix verify: --timeout takes a number of seconds above 0 and at most 86400, not "
     "\"99999999999\"\n",
     ""},
    {{"verify", "--timeout", "0"},
     2,
     "",
     "ovlix verify: --timeout takes a number of seconds above 0 and at most 86400, not \"0\"\n",
     ""},
    {{"find", "--timeout", "1.5"},
     2,
     "",
     "ovlix find: --timeout takes whole milliseconds, 10 or more and at most 86400000, not "
     "\"1.5\"\n",
     ""},
    {{"find", "--timeout", "9"},
     2,
     "",
     "ovlix find: --timeout takes whole milliseconds, 10 or more and at most 86400000, not "
     "\"9\"\n",
     ""},
    {{"find", "--timeout", "86400001"},
     2,
     "",
     "ovlix find: --timeout takes whole milliseconds, 10 or more and at most 86400000, not "
     "\"86400001\"\n",
     ""},
    {{"find", "--network", "10.1.2/24"},
     2,
     "",
     "ovlix find: --network takes an IPv4 network such as 192.168.1.0/24, not \"10.1.2/24\"\n",
     ""},
    {{"x10", "A1", "dim"},
     2,
     "",
     "ovlix x10: unknown X10 command \"dim\": use on, off or query\n",
     ""},
    {{"x10", "Q1", "on"},
     2,
     "",
     "ovlix x10: unknown unit \"Q1\": use a house letter A-P and a unit 1-16 (A1, p16) or a "
     "label of the labels file\n",
     "ovlix 2.0.0: x10 Q1 on"},
    {{"x10", "A17", "on"},
     2,
     "",
     "ovlix x10: unknown unit \"A17\": use a house letter A-P and a unit 1-16 (A1, p16) or a "
     "label of the labels file\n",
     "ovlix 2.0.0: x10 A17 on"},
    {{"x10", "it's", "on"},
     2,
     "",
     "ovlix x10: unknown unit \"it's\": use a house letter A-P and a unit 1-16 (A1, p16) or a "
     "label of the labels file\n",
     "ovlix 2.0.0: x10 'it'\\''s' on"},
    {{"setup", "--mac", "00-03-75-10-01", "127.0.0.1"},
     2,
     "",
     "ovlix setup: --mac takes six pairs of hex digits joined by - or :, such as "
     "00-03-75-10-01-55, not \"00-03-75-10-01\"\n",
     ""},
    {{"setup", "127.0.0.1"},
     2,
     "",
     "ovlix setup: --mac MAC is required: the device's MAC address, such as 00-03-75-10-01-55\n",
     ""},
    {{"setup", "--mac", "00:03:75:10:01:55", "%DEVICE%"},
     2,
     "",
     "ovlix setup: IP takes an IPv4 address such as 192.168.1.250, not \"%DEVICE%\"\n",
     ""},
    {{"setup", "--mac", "00:03:75:10:01:55", "--wait", "0", "127.0.0.1"},
     2,
     "",
     "ovlix setup: --wait takes a number of seconds above 0 and up to 3600, not \"0\"\n",
     ""},
    {{"setup", "--mac", "00:03:75:10:01:55", "--wait", "3601", "127.0.0.1"},
     2,
     "",
     "ovlix setup: --wait takes a number of seconds above 0 and up to 3600, not \"3601\"\n",
     ""},
};

// Without the seconds a search took.
QString withoutTimes(QString text)
{
    static const QRegularExpression seconds(QStringLiteral("\\b\\d+\\.\\d s\\b"));
    return text.replace(seconds, QStringLiteral("N s"));
}

// The log's messages without their time stamps, which come from the clock.
QString messagesOf(const QByteArray& log)
{
    static const QRegularExpression stamp(
        QStringLiteral("^[^\\n]*? \\d\\d?:\\d\\d:\\d\\d( [AP]M)?"),
        QRegularExpression::MultilineOption);
    return withoutTimes(QString::fromLocal8Bit(log).remove(stamp).replace("\r\n", "\n").trimmed());
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
    const QString refused = QStringLiteral("127.0.0.1:%1").arg(closed.serverPort());
    closed.close();

    for (const Case& c : kCases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        FilesFolder folder;
        const auto fill = [&](QString text) {
            return text.replace("%DEVICE%", QStringLiteral("127.0.0.1:%1").arg(device.port()))
                .replace("%REFUSED%", refused)
                .replace("%SILENT%", QStringLiteral("127.0.0.1:%1").arg(silent.serverPort()))
                .replace("%FOLDER%", folder.path(QString()));
        };
        const QString program = folder.path(QStringLiteral("ovlix"));
        ASSERT_TRUE(QFile::copy(built, program));
        folder.write("netset", "lastip, " + fill("%DEVICE%").toLatin1() + "\r\n");
        folder.write("passcode", "from file\r\nsecond line\r\n");
        if (c.labelsFile)
            folder.write("labels", kWorkedExampleFile);

        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("OVLIX_PASSCODE"), c.passcode);
        process.setProcessEnvironment(environment);
        process.setWorkingDirectory(folder.path(QString()));
        QStringList arguments;
        for (const QString& argument : c.arguments)
            arguments.append(fill(argument));
        const qsizetype before = device.requests().size();
        process.start(program, arguments);
        ASSERT_TRUE(waitUntil([&] { return process.state() == QProcess::NotRunning; }, 20000));

        EXPECT_EQ(process.exitCode(), c.exitCode);
        EXPECT_EQ(device.requests().mid(before).join('\n'), c.requests);
        const QByteArray output = process.readAllStandardOutput();
        if (c.output.startsWith("sha1 "))
            EXPECT_EQ(QString("sha1 " +
                              QCryptographicHash::hash(output, QCryptographicHash::Sha1).toHex()),
                      c.output)
                << output.toStdString();
        else if (c.arguments.contains("--json"))
            EXPECT_EQ(QJsonDocument::fromJson(output),
                      QJsonDocument::fromJson(fill(c.output).toUtf8()))
                << output.toStdString();
        else
            EXPECT_EQ(withoutTimes(QString::fromUtf8(output)), c.output);
        EXPECT_EQ(QString::fromUtf8(process.readAllStandardError()), fill(c.error));
        const QString log = messagesOf(folder.read("OvlixSetup.log"));
        const QString expected = fill(c.log);
        if (expected.endsWith('*'))
            EXPECT_TRUE(log.startsWith(expected.chopped(1))) << log.toStdString();
        else
            EXPECT_EQ(log, expected);
        for (const char* secret : {"userpass", "se cret", "from file"})
            EXPECT_FALSE(log.contains(secret)) << secret;
    }
}
