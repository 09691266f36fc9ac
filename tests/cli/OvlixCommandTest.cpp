// The built ovlix, run as a user runs it, from a folder of its own with its
// own files, against the device simulator on loopback: what the device
// received, what was printed, the exit code and the log.

#include "DeviceSimulator.h"
#include "support/LabelsExample.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <QJsonDocument>
#include <QProcess>
#include <QTcpServer>

using namespace ovlix::test;

namespace {

// %DEVICE% stands for the simulator's address, %REFUSED% for a port where
// nothing listens, %SILENT% for one that takes connections and never answers;
// the folder's netset names the simulator.
struct Case {
    const char* name;
    QStringList arguments;
    int exitCode;
    QStringList requests; // as the simulator received them
    QString output;       // standard output; with --json, the object it must parse to
    QString error;        // how standard error begins
    QStringList logged;   // the log's messages; one ending in * is a prefix
    QString passcodeVariable = {};
    bool labelsFile = true;
};

const QString kLabelsPath =
    "/label.spi?labelevent=1&label01=Porch&h01=A&u01=1&label02=Garage&h02=A&u02=2&label03=Hall%"
    "20lamp&h03=B&u03=16&label04=&h04=A&u04=1&label05=&h05=A&u05=1&label06=&h06=A&u06=1&label07=&"
    "h07=A&u07=1&label08=&h08=A&u08=1";

QString slotJson(int slot, const char* text, const char* house, const char* unit)
{
    return QStringLiteral(R"({"slot":%1,"text":"%2","house":"%3","unit":"%4"})")
        .arg(slot)
        .arg(text, house, unit);
}

const QString kSlotsJson =
    QStringList{slotJson(1, "Porch", "A", "1"),      slotJson(2, "Garage", "A", "2"),
                slotJson(3, "Hall lamp", "B", "16"), slotJson(4, "", "A", "1"),
                slotJson(5, "", "A", "1"),           slotJson(6, "", "A", "1"),
                slotJson(7, "", "A", "1"),           slotJson(8, "", "A", "1")}
        .join(u',');

const Case kCases[] = {
    {"verify", {"verify", "%DEVICE%"}, 0, {"/"}, "2.1a\n", "", {"ovlix 2.0.0: verify %DEVICE%"}},
    {"verify the saved address, as JSON",
     {"verify", "--json"},
     0,
     {"/"},
     R"({"address":"%DEVICE%","found":true,"version":"2.1a"})",
     "",
     {"ovlix 2.0.0: verify --json"}},
    {"verify where nothing answers",
     {"verify", "%REFUSED%"},
     1,
     {},
     "",
     "Ovlix at IP: %REFUSED% not found",
     {"ovlix 2.0.0: verify %REFUSED%", "PingOvlix: index.htm version not found"}},
    {"x10 with the initial passcode, lower case",
     {"x10", "a1", "on"},
     0,
     {"/x10.spi?house=A&unit=1&cmd=2&x10event=1&userpass=731"},
     "",
     "",
     {"ovlix 2.0.0: x10 a1 on"}},
    {"x10 to a label, passcode from the environment before the file",
     {"x10", "--device", "%DEVICE%", "--passcode-file", "nowhere", "hall LAMP", "OFF"},
     0,
     {"/x10.spi?house=B&unit=16&cmd=3&x10event=1&userpass=se%20cret%26x"},
     "",
     "",
     {"ovlix 2.0.0: x10 --device %DEVICE% --passcode-file nowhere 'hall LAMP' OFF"},
     "se cret&x"},
    {"x10 query, passcode from a file, as JSON",
     {"x10", "--passcode-file", "passcode", "--json", "p16", "Query"},
     0,
     {"/x10.spi?house=P&unit=16&cmd=8&x10event=1&userpass=from%20file"},
     R"({"address":"%DEVICE%","house":"P","unit":"16","command":"Query","sent":true})",
     "",
     {"ovlix 2.0.0: x10 --passcode-file passcode --json p16 Query"}},
    {"x10 where nothing answers",
     {"x10", "--device", "%REFUSED%", "A1", "on"},
     1,
     {},
     "",
     "ovlix x10: the device at %REFUSED% did not answer: ",
     {"ovlix 2.0.0: x10 --device %REFUSED% A1 on", "ERROR::SendHttp: *"}},
    {"x10 to a device that never answers",
     {"x10", "--device", "%SILENT%", "--timeout", "1", "A1", "on"},
     1,
     {},
     "",
     "ovlix x10: the device at %SILENT% did not answer: No complete answer within 1 second\n",
     {"ovlix 2.0.0: x10 --device %SILENT% --timeout 1 A1 on",
      "ERROR::SendHttp: No complete answer within 1 second"}},
    {"find on one loopback address, as JSON",
     {"find", "--network", "127.0.0.2/32", "--json"},
     1,
     {},
     "[]",
     "",
     {"ovlix 2.0.0: find --network 127.0.0.2/32 --json",
      "Find devices: searching 127.0.0.2/32, 1 address", "1 of 1 address asked, 0 found"}},
    {"x10 with an unreadable passcode file",
     {"x10", "--passcode-file", "nowhere", "A1", "on"},
     4,
     {},
     "",
     "ovlix x10: cannot read the passcode file nowhere: ",
     {"ovlix 2.0.0: x10 --passcode-file nowhere A1 on",
      "ERROR::ovlix x10: cannot read the passcode file nowhere: *"}},
    {"labels show",
     {"labels", "show"},
     0,
     {},
     "1  Porch             A  1\n2  Garage            A  2\n3  Hall lamp         B  16\n"
     "4                    A  1\n5                    A  1\n6                    A  1\n"
     "7                    A  1\n8                    A  1\n",
     "",
     {"ovlix 2.0.0: labels show"}},
    {"labels show as JSON",
     {"labels", "show", "--json"},
     0,
     {},
     R"({"file":"%FOLDER%/labels","slots":[)" + kSlotsJson + "]}",
     "",
     {"ovlix 2.0.0: labels show --json"}},
    {"labels show without a labels file",
     {"labels", "show"},
     4,
     {},
     "",
     "ovlix: cannot read the labels file %FOLDER%/labels: ",
     {"ovlix 2.0.0: labels show", "ERROR::frmDeviceLabels.ReadLabels: *"},
     "",
     false},
    {"labels send",
     {"labels", "send", "--device", "%DEVICE%"},
     0,
     {kLabelsPath},
     "Labels sent\n",
     "",
     {"ovlix 2.0.0: labels send --device %DEVICE%",
      "frmDeviceLabels.SendHttp: URL=http://%DEVICE%" + kLabelsPath}},
    {"labels send where nothing answers",
     {"labels", "send", "--device", "%REFUSED%"},
     1,
     {},
     "",
     "ovlix labels send: Send Labels Failed: Verify IP Address (Connection refused)\n",
     {"ovlix 2.0.0: labels send --device %REFUSED%",
      "frmDeviceLabels.SendHttp: URL=http://%REFUSED%" + kLabelsPath,
      "ERROR::frmDeviceLabels.SendHttp: Connection refused",
      "frmDeviceLabels.SetOvlixLabels: Http get failed"}},
    // Mistakes: one line saying what was wrong, exit 2, nothing sent.
    {"no command",
     {},
     2,
     {},
     "",
     "ovlix: no command given: use verify, x10, labels show, labels send",
     {}},
    {"unknown command", {"bogus"}, 2, {}, "", "ovlix: unknown command \"bogus\": use verify", {}},
    {"option before the command",
     {"--json", "verify"},
     2,
     {},
     "",
     "ovlix: unknown command \"--json\"",
     {}},
    {"unknown labels command",
     {"labels", "list"},
     2,
     {},
     "",
     "ovlix: unknown command \"labels list\"",
     {}},
    {"help of the labels commands",
     {"labels", "--help"},
     0,
     {},
     "Usage: ovlix labels COMMAND [OPTIONS]\n\nCommands:\n"
     "  ovlix labels show [--json]\n"
     "      Prints the eight slots of the labels file: slot, label, house, unit.\n"
     "  ovlix labels send [--device ADDRESS] [--json]\n"
     "      Sends the labels file's eight labels to the device.\n"
     "\nEach command takes --help for its options.\n",
     "",
     {}},
    {"labels without its command",
     {"labels"},
     2,
     {},
     "",
     "ovlix: \"labels\" needs a command: use labels show, labels send;",
     {}},
    {"labels show, which contacts no device, has no deadline",
     {"labels", "show", "--timeout", "5"},
     2,
     {},
     "",
     "ovlix labels show: Unknown option 'timeout'; usage: ovlix labels show [--json]\n",
     {}},
    {"unknown option",
     {"verify", "--bogus"},
     2,
     {},
     "",
     "ovlix verify: Unknown option 'bogus'; usage: ovlix verify",
     {}},
    {"bad timeout",
     {"verify", "--timeout", "99999999999"},
     2,
     {},
     "",
     "ovlix verify: --timeout takes a number of seconds above 0 and at most 86400, not "
     "\"99999999999\"",
     {}},
    {"find given seconds for milliseconds",
     {"find", "--timeout", "1.5"},
     2,
     {},
     "",
     "ovlix find: --timeout takes whole milliseconds, 10 or more",
     {}},
    {"find on a network that is none",
     {"find", "--network", "10.1.2/24"},
     2,
     {},
     "",
     "ovlix find: --network takes an IPv4 network such as 192.168.1.0/24, not \"10.1.2/24\"",
     {}},
    {"unknown X10 command",
     {"x10", "A1", "dim"},
     2,
     {},
     "",
     "ovlix x10: unknown X10 command \"dim\"",
     {}},
    {"house past P, without a labels file",
     {"x10", "Q1", "on"},
     2,
     {},
     "",
     "ovlix x10: unknown unit \"Q1\"",
     {"ovlix 2.0.0: x10 Q1 on"},
     "",
     false},
    {"unit past 16, without a labels file",
     {"x10", "A17", "on"},
     2,
     {},
     "",
     "ovlix x10: unknown unit \"A17\"",
     {"ovlix 2.0.0: x10 A17 on"},
     "",
     false},
    {"label that no slot has",
     {"x10", "Attic", "on"},
     2,
     {},
     "",
     "ovlix x10: unknown unit \"Attic\": use a house letter A-P",
     {"ovlix 2.0.0: x10 Attic on"}},
    {"setup with a MAC address cut short",
     {"setup", "--mac", "00-03-75-10-01", "127.0.0.1"},
     2,
     {},
     "",
     "ovlix setup: --mac takes six pairs of hex digits joined by - or :",
     {}},
    {"setup without a MAC address",
     {"setup", "127.0.0.1"},
     2,
     {},
     "",
     "ovlix setup: --mac MAC is required",
     {}},
    {"setup of an address with a port",
     {"setup", "--mac", "00:03:75:10:01:55", "%DEVICE%"},
     2,
     {},
     "",
     "ovlix setup: IP takes an IPv4 address",
     {}},
    {"setup without time to wait",
     {"setup", "--mac", "00:03:75:10:01:55", "--wait", "0", "127.0.0.1"},
     2,
     {},
     "",
     "ovlix setup: --wait takes a number of seconds above 0",
     {}},
};

QString filled(QString text, const QString& device, const QString& refused, const QString& silent,
               const QString& folder)
{
    return text.replace("%DEVICE%", device)
        .replace("%REFUSED%", refused)
        .replace("%SILENT%", silent)
        .replace("%FOLDER%", folder);
}

} // namespace

TEST(OvlixCommand, SendsExactlyWhatWasAskedAndSaysHowItWent)
{
    const QString built = qEnvironmentVariable("OVLIX_CLI");
    ASSERT_FALSE(built.isEmpty()) << "OVLIX_CLI names the program under test";
    ovlix::DeviceSimulator device;
    ASSERT_TRUE(device.listen());
    const QString address = QStringLiteral("127.0.0.1:%1").arg(device.port());
    QTcpServer closed;
    ASSERT_TRUE(closed.listen(QHostAddress::LocalHost));
    const QString refused = QStringLiteral("127.0.0.1:%1").arg(closed.serverPort());
    closed.close();
    QTcpServer silent;
    ASSERT_TRUE(silent.listen(QHostAddress::LocalHost));
    const QString quiet = QStringLiteral("127.0.0.1:%1").arg(silent.serverPort());

    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        FilesFolder folder;
        const auto fill = [&](const QString& text) {
            return filled(text, address, refused, quiet, folder.path(QString()));
        };
        const QString program = folder.path(QStringLiteral("ovlix"));
        ASSERT_TRUE(QFile::copy(built, program));
        folder.write("netset", "lastip, " + address.toLatin1() + "\r\n");
        folder.write("passcode", "from file\r\nsecond line\r\n");
        if (c.labelsFile)
            folder.write("labels", kWorkedExampleFile);

        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove(QStringLiteral("OVLIX_PASSCODE"));
        if (!c.passcodeVariable.isEmpty())
            environment.insert(QStringLiteral("OVLIX_PASSCODE"), c.passcodeVariable);
        process.setProcessEnvironment(environment);
        process.setWorkingDirectory(folder.path(QString()));
        QStringList arguments;
        for (const QString& argument : c.arguments)
            arguments.append(fill(argument));
        const qsizetype before = device.requests().size();
        process.start(program, arguments);
        ASSERT_TRUE(waitUntil([&] { return process.state() == QProcess::NotRunning; }, 20000));

        EXPECT_EQ(process.exitCode(), c.exitCode);
        EXPECT_EQ(device.requests().mid(before), c.requests);
        const QByteArray output = process.readAllStandardOutput();
        if (c.arguments.contains("--json"))
            EXPECT_EQ(QJsonDocument::fromJson(output),
                      QJsonDocument::fromJson(fill(c.output).toUtf8()))
                << output.toStdString();
        else
            EXPECT_EQ(QString::fromUtf8(output), c.output);
        const QString error = QString::fromUtf8(process.readAllStandardError());
        EXPECT_TRUE(c.error.isEmpty() ? error.isEmpty() : error.startsWith(fill(c.error)))
            << error.toStdString();
        if (c.exitCode == 2) {
            EXPECT_EQ(error.count(u'\n'), 1) << error.toStdString();
        }

        const QString log = QString::fromLocal8Bit(folder.read("OvlixSetup.log"));
        const QStringList lines = log.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
        ASSERT_EQ(lines.size(), c.logged.size()) << log.toStdString();
        for (qsizetype i = 0; i < lines.size(); ++i) {
            const QString expected = fill(c.logged[i]);
            EXPECT_TRUE(expected.endsWith(u'*') ? lines[i].contains(expected.chopped(1))
                                                : lines[i].endsWith(expected))
                << lines[i].toStdString();
        }
        for (const char* secret : {"userpass", "se cret", "from file"})
            EXPECT_FALSE(log.contains(secret)) << secret;
    }
}
