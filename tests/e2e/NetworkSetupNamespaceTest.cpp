// The network setup against simulated devices with the real arp, ping and HTTP
// probe, inside the PC-side namespace that in-namespaces.sh makes: two cards,
// pc0 10.213.0.1/24 with a web server that is not an Ovlix at 10.213.0.7, and
// pc1 10.213.1.1/24 with factory-fresh devices 00:03:75:10:01:55 and :56,
// quick, and :57, which takes its address seven seconds late.

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

QString nothingAnswered(const QString& ip)
{
    return "Nothing answered at " + ip +
           ": the device did not take the address; check its cable and power, the MAC address, "
           "and that it was reset or restarted just before.";
}

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
    Command,     // ovlix setup, as root
    Unprivileged // ovlix setup, as a user without the right
};

struct Scenario {
    const char* what;
    Way way;
    QString ip;
    QString mac;
    QString refusal; // what the seam says of the right to change the ARP table
    QString message; // the window's message, or what ovlix setup printed on standard error
    QString card;    // where the static entry lands; empty: nowhere
    bool faces;      // whether that card's network holds the address
    int exitCode = 0;
};

class NetworkSetupInNamespaces : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (qEnvironmentVariableIsEmpty("OVLIX_NETNS"))
            GTEST_SKIP() << "runs inside the namespaces that in-namespaces.sh makes";
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
        hostBox = network->findChild<QLineEdit*>("txtHostIP")->text();
        // Each press starts from a fresh load.
        QPointer<NetworkWindow> closing = network;
        network->close();
        EXPECT_TRUE(waitUntil([&] { return closing.isNull(); }));
        return messages.shown.value(0);
    }

    // Runs the built ovlix from the test's folder, so that it shares its files.
    QString runCommand(const Scenario& s)
    {
        const QString program = files.path("ovlix");
        if (!QFile::exists(program)) {
            EXPECT_TRUE(QFile::copy(qEnvironmentVariable("OVLIX_CLI"), program));
        }
        // The user without the right runs it too, and writes to the log there.
        for (const QString& path : {files.path(QString()), files.path("OvlixSetup.log")})
            QFile::setPermissions(path, QFile::Permissions(0x7777));
        const QStringList setup{"setup",  "--mac", QString(s.mac).replace('-', ':'),
                                "--wait", "20",    s.ip};
        QProcess process;
        if (s.way == Way::Unprivileged)
            process.start("setpriv", QStringList{"--reuid=65534", "--regid=65534", "--clear-groups",
                                                 "--inh-caps=-all", program} +
                                         setup);
        else
            process.start(program, setup);
        EXPECT_TRUE(waitUntil([&] { return process.state() == QProcess::NotRunning; }, 25000));
        std::cout << process.readAllStandardOutput().toStdString();
        EXPECT_EQ(process.exitCode(), s.exitCode) << s.what;
        return QString::fromLocal8Bit(process.readAllStandardError()).trimmed();
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
    QString hostBox;
};

} // namespace

TEST_F(NetworkSetupInNamespaces, EachOutcomeOfTheSetupOnAPCWithTwoCards)
{
    const QString failed = "Error: Failed to ping Ovlix.  Please try again.\r\n";
    const Scenario scenarios[] = {
        {"the fresh device behind the second card", Way::Window, "10.213.1.5", "00-03-75-10-01-55",
         "", "Ovlix Addess Setup Complete", "pc1", true},
        {"an address on no network of the PC", Way::Window, "10.213.9.5", "00-03-75-10-01-55", "",
         failed + "The address 10.213.9.5 is on none of this PC's networks (10.213.0.0/24 on pc0, "
                  "10.213.1.0/24 on pc1).\r\n",
         "pc0", false},
        {"nothing at the address", Way::Window, "10.213.1.9", "00-03-75-10-01-55", "",
         failed + nothingAnswered("10.213.1.9") + "\r\n", "pc1", true},
        {"a web server without a version", Way::Window, "10.213.0.7", "00-03-75-20-00-07", "",
         failed + "Something answered at 10.213.0.7, but not as an Ovlix: another device may "
                  "already use this address.\r\n",
         "pc0", true},
        {"a user without the right", Way::Window, "10.213.1.9", "00-03-75-10-01-55", kRefusal,
         failed + kRefusal + "\r\n", "pc1", true},
        {"ovlix setup against a quick device", Way::Command, "10.213.1.6", "00-03-75-10-01-56", "",
         "", "pc1", true},
        {"ovlix setup against a device that takes its address late", Way::Command, "10.213.1.7",
         "00-03-75-10-01-57", "", "", "pc1", true},
        {"ovlix setup by a user without the right", Way::Unprivileged, "10.213.1.8",
         "00-03-75-10-01-57", "",
         "ovlix setup: ovlix is not allowed to change the ARP table of this computer, which giving "
         "the device its address needs. Start ovlix as root and try again.",
         "", false, 3},
    };
    for (const Scenario& s : scenarios) {
        std::cout << s.what << '\n';
        const QString message = s.way == Way::Window ? pressInWindow(s) : runCommand(s);
        EXPECT_EQ(message, s.message) << s.what;
        const QString entry = output("ip", {"neigh", "show", s.ip}).trimmed();
        const QString mac = QString(s.mac).replace('-', ':');
        EXPECT_EQ(entry, s.card.isEmpty()
                             ? QString()
                             : s.ip + " dev " + s.card + " lladdr " + mac + " PERMANENT")
            << s.what;
        // ovlix stamps its lines with the real time: compare what follows.
        const QStringList log = files.logMessages();
        const auto logged = [&log](const QString& text) {
            return std::any_of(log.begin(), log.end(),
                               [&](const QString& line) { return line.endsWith(text); });
        };
        if (s.card.isEmpty()) {
            // Said before anything was sent: what was asked, then why not.
            EXPECT_TRUE(log.value(log.size() - 2)
                            .endsWith("ovlix 2.0.0: setup --mac " + mac + " --wait 20 " + s.ip));
            EXPECT_TRUE(log.last().endsWith(s.message.mid(QString("ovlix setup: ").size())));
            continue;
        }
        // Where no card faces the device, the address found at load names it.
        const QString hostIp = s.card == "pc0" ? "10.213.0.1" : "10.213.1.1";
        const QString network = s.card == "pc0" ? "10.213.0.0/24" : "10.213.1.0/24";
        EXPECT_TRUE(logged(s.faces
                               ? "Network card " + s.card + " (" + hostIp + ") faces " + s.ip +
                                     ": its network " + network + " holds it"
                               : "No network card has " + s.ip +
                                     " on its network; the host address " + hostIp + " is used"))
            << s.what;
        EXPECT_TRUE(logged("Set ARP entry: arp -i " + s.card + " -s " + s.ip + ' ' + mac))
            << s.what;
        if (s.way == Way::Window) {
            EXPECT_EQ(hostBox, hostIp) << s.what;
        }
        if (s.message.isEmpty() || s.message == "Ovlix Addess Setup Complete") {
            EXPECT_EQ(files.read("netset"),
                      "lastip, " + s.ip.toLatin1() + "\r\nlastmac, " + s.mac.toLatin1() + "\r\n")
                << s.what;
        }
    }
}
