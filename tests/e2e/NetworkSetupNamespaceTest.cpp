// The network setup through the window and through `ovlix setup`, with the
// real arp, ping and HTTP probe, inside the PC namespace that in-namespaces.sh
// makes: pc0 10.213.0.1/24 with a web server that is not an Ovlix at
// 10.213.0.7, pc1 10.213.1.1/24 facing factory-fresh devices 00:03:75:10:01:55
// and :56, quick, and :57, which takes its address seven seconds late.

#include "core/StartUp.h"
#include "device/QtHttpFetcher.h"
#include "network/ArpEntries.h"
#include "support/RecordingMessages.h"
#include "support/TestSupport.h"
#include "ui/NetworkWindow.h"
#include "ui/WindowEnvironment.h"
#include "ui/WindowRegistry.h"

#include <gtest/gtest.h>
#include <QLineEdit>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>

using namespace ovlix;
using namespace ovlix::test;

namespace {

QString output(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished();
    return QString::fromLocal8Bit(process.readAllStandardOutput());
}

const QString kRefusal = "OvlixSetup is not allowed to change the ARP table of this computer.";

const QString kNoNetwork =
    "The address 10.213.9.5 is on none of this PC's networks (10.213.0.0/24 on "
    "pc0, 10.214.0.0/16 on pc0, 10.213.1.0/24 on pc1).";
const QString kSomethingElse = "Something answered at 10.213.0.7, but not as an Ovlix: another "
                               "device may already use this address.";
const QString kCommandRefusal = "ovlix is not allowed to change the ARP table of this computer, "
                                "which giving the device its address needs. Start ovlix as root "
                                "and try again.";

// The log of a press up to the ping: the card that faces the address, the old
// entries gone and the new one set. The MAC address ends in macEnd.
QString arpSteps(const QString& card, const QString& ip, const QString& macEnd)
{
    const QString network = card == "pc1" ? "10.213.1." : "10.213.0.";
    const QString mac = QString("00:03:75:10:01:55").chopped(macEnd.size()) + macEnd;
    const QString entry = "arp -i " + card + " -s " + ip + ' ' + mac;
    return "Network card " + card + " (" + network + "1) faces " + ip + ": its network " + network +
           "0/24 holds it\nDelete ARP table\nRun App:  arp -d " + ip +
           "\nRun App:  arp -d \nSet ARP entry: " + entry + "\nRun App:  " + entry +
           "\nRun App:  ping -c 4 " + ip;
}

const QString kNothingAnswered =
    "Nothing answered at 10.213.1.9: the device did not take the address; check its cable and "
    "power, the MAC address, and that it was reset or restarted just before.";

// The host name as Debian maps it, to 127.0.1.1, whatever the resolver of the
// machine under the test says (a bare build root has no /etc/hosts at all);
// the cards are the namespace's own.
class HostNameOnLoopback final : public HostLookup {
public:
    HostName hostName() override { return {"ovlix-pc", 0}; }
    std::optional<QList<QHostAddress>> addressesOf(const QString&) override
    {
        return QList<QHostAddress>{QHostAddress("127.0.1.1")};
    }
    QList<QHostAddress> upInterfaceAddresses() override { return system.upInterfaceAddresses(); }

private:
    SystemHostLookup system;
};

enum class Way {
    Window,      // the network window's button
    Command,     // ovlix setup --json, as root
    Unprivileged // ovlix setup, as a user without the right
};

struct Scenario {
    Way way;
    QString ip;
    QString mac;
    QString message;      // the window's message, or what ovlix setup printed on standard error
    QString log;          // the whole log of the setup, each line once, without time stamps
    QString card;         // where the static entry lands; empty: nowhere
    QString refusal = {}; // what the seam says of the right to change the ARP table
    int exitCode = 0;
};

class NetworkSetupInNamespaces : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (qEnvironmentVariableIsEmpty("OVLIX_NETNS"))
            GTEST_SKIP() << "runs inside the namespaces that in-namespaces.sh makes";
        ASSERT_TRUE(QFile::copy(qEnvironmentVariable("OVLIX_CLI"), files.path("ovlix")));
        // The user without the right runs it too, and writes to the log there.
        QFile::setPermissions(files.path(QString()), QFile::Permissions(0x7777));
    }

    // Types the address and MAC, presses the button and waits for the message.
    QString pressInWindow(const Scenario& s)
    {
        NetworkWindow* network = windows.openNetwork();
        EXPECT_EQ(network->findChild<QLineEdit*>("txtHostIP")->text(), "10.213.0.1");
        network->findChild<QLineEdit*>("txtIP")->setText(s.ip);
        network->findChild<QLineEdit*>("txtMAC")->setText(s.mac);
        refusal = s.refusal;
        messages.shown.clear();
        QTest::mouseClick(network->findChild<QPushButton*>("cmdSetIP"), Qt::LeftButton);
        EXPECT_TRUE(waitUntil([&] { return !messages.shown.isEmpty(); }, 20000));
        EXPECT_EQ(network->findChild<QLineEdit*>("txtHostIP")->text(),
                  s.card == "pc1" ? "10.213.1.1" : "10.213.0.1");
        // Each press starts from a fresh load.
        QPointer<NetworkWindow> closing = network;
        network->close();
        EXPECT_TRUE(waitUntil([&] { return closing.isNull(); }));
        return messages.shown.value(0);
    }

    // Runs the built ovlix from the test's folder, so that it shares its files.
    QString runCommand(const Scenario& s, const QString& mac)
    {
        QFile::setPermissions(files.path("OvlixSetup.log"), QFile::Permissions(0x7777));
        QStringList setup{files.path("ovlix"), "setup", "--mac", mac, "--wait", "20", s.ip};
        if (s.way == Way::Unprivileged)
            setup =
                QStringList{"--reuid=65534", "--regid=65534", "--clear-groups", "--inh-caps=-all"} +
                setup;
        else
            setup.insert(2, "--json");
        QProcess process;
        process.start(s.way == Way::Unprivileged ? "setpriv" : setup.takeFirst(), setup);
        EXPECT_TRUE(waitUntil([&] { return process.state() == QProcess::NotRunning; }, 25000));
        EXPECT_EQ(process.exitCode(), s.exitCode);
        if (s.way == Way::Command) {
            EXPECT_EQ(QString::fromUtf8(process.readAllStandardOutput()),
                      R"({"address":")" + s.ip + R"(","done":true,"mac":")" + s.mac +
                          R"(","version":"e2e-1.7","why":""})" + "\n");
        }
        return QString::fromLocal8Bit(process.readAllStandardError());
    }

    FilesFolder files;
    AppContext context = makeAppContext(files.path(QString()), programVersion());
    RecordingMessages messages;
    SystemProcessLauncher launcher;
    HostNameOnLoopback hosts;
    QString refusal;
    WindowEnvironment environment{
        context,
        files.log(),
        messages,
        launcher,
        // Short, so that the addresses where nothing answers fail soon.
        [] { return std::make_unique<QtHttpFetcher>(FetchLimits{std::chrono::seconds(2)}); },
        {systemNetworkCommands(), hosts, [this] { return refusal; },
         std::chrono::milliseconds(2000)},
        {}};
    WindowRegistry windows{environment};
};

} // namespace

TEST_F(NetworkSetupInNamespaces, EachOutcomeOfTheSetupOnAPCWithTwoCards)
{
    const QString failed = "Error: Failed to ping Ovlix.  Please try again.\r\n";
    const QString notFound = "\nPingOvlix: index.htm version not found";
    const Scenario scenarios[] = {
        {Way::Window, "10.213.1.5", "00-03-75-10-01-55", "Ovlix Addess Setup Complete",
         "System variable lastmac missing in FOLDER/netset\n" + arpSteps("pc1", "10.213.1.5", "55"),
         "pc1"},
        {Way::Window, "10.213.9.5", "00-03-75-10-01-55", failed + kNoNetwork + "\r\n",
         "No network card has 10.213.9.5 on its network; the host address 10.213.0.1 is used\n" +
             arpSteps("pc0", "10.213.9.5", "55").section('\n', 1) + notFound + '\n' + kNoNetwork,
         "pc0"},
        {Way::Window, "10.213.1.9", "00-03-75-10-01-55", failed + kNothingAnswered + "\r\n",
         arpSteps("pc1", "10.213.1.9", "55") + notFound + '\n' + kNothingAnswered, "pc1"},
        {Way::Window, "10.213.0.7", "00-03-75-20-00-07", failed + kSomethingElse + "\r\n",
         arpSteps("pc0", "10.213.0.7", "20:00:07") + notFound + '\n' + kSomethingElse, "pc0"},
        {Way::Window, "10.213.1.9", "00-03-75-10-01-55", failed + kRefusal + "\r\n",
         arpSteps("pc1", "10.213.1.9", "55") + notFound + '\n' + kRefusal, "pc1", kRefusal},
        {Way::Command, "10.213.1.6", "00-03-75-10-01-56", "",
         "ovlix 2.0.0: setup --json --mac 00:03:75:10:01:56 --wait 20 10.213.1.6\n" +
             arpSteps("pc1", "10.213.1.6", "56"),
         "pc1"},
        {Way::Command, "10.213.1.7", "00-03-75-10-01-57", "",
         "ovlix 2.0.0: setup --json --mac 00:03:75:10:01:57 --wait 20 10.213.1.7\n" +
             arpSteps("pc1", "10.213.1.7", "57") + notFound,
         "pc1"},
        {Way::Unprivileged,
         "10.213.1.8",
         "00-03-75-10-01-57",
         "ovlix setup: " + kCommandRefusal + '\n',
         "ovlix 2.0.0: setup --mac 00:03:75:10:01:57 --wait 20 10.213.1.8\n" + kCommandRefusal,
         "",
         {},
         3},
    };
    // ovlix stamps its lines with the clock, not the test's.
    static const QRegularExpression stamp("^\\?.*? \\d\\d?:\\d\\d:\\d\\d( [AP]M)?");
    for (const Scenario& s : scenarios) {
        SCOPED_TRACE(s.ip.toStdString());
        const qsizetype logged = files.logMessages().size();
        const QString mac = QString(s.mac).replace('-', ':');
        EXPECT_EQ(s.way == Way::Window ? pressInWindow(s) : runCommand(s, mac), s.message);
        EXPECT_EQ(output("ip", {"neigh", "show", s.ip, "nud", "permanent"}).trimmed(),
                  s.card.isEmpty() ? QString()
                                   : s.ip + " dev " + s.card + " lladdr " + mac + " PERMANENT");
        QStringList log = files.logMessages().mid(logged);
        log.replaceInStrings(stamp, QString());
        log.replaceInStrings(files.path(QString()), "FOLDER");
        log.removeDuplicates();
        EXPECT_EQ(log.join('\n'), s.log);
        if (s.message.isEmpty() || s.message.startsWith("Ovlix Addess")) {
            EXPECT_EQ(files.read("netset"),
                      "lastip, " + s.ip.toLatin1() + "\r\nlastmac, " + s.mac.toLatin1() + "\r\n");
        }
    }
}
