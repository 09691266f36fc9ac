// The network setup and the device search end to end, through the windows and
// through ovlix, with the real arp, ping and sockets, inside the PC namespace
// that scripts/in-namespaces.sh makes (its header shows the network). Each
// test has namespaces of its own, where no fresh device has an address yet.

#include "core/StartUp.h"
#include "device/QtHttpFetcher.h"
#include "DeviceSimulator.h"
#include "network/ArpEntries.h"
#include "network/ArpHelper.h"
#include "support/RecordingMessages.h"
#include "support/TestSupport.h"
#include "ui/FindDevicesWindow.h"
#include "ui/MainWindow.h"
#include "ui/NetworkWindow.h"
#include "ui/WindowEnvironment.h"
#include "ui/WindowRegistry.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QPointer>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTreeWidget>
#include <unistd.h>

using namespace ovlix;
using namespace ovlix::test;

namespace {

int openSockets()
{
    int sockets = 0;
    for (const QFileInfo& fd : QDir("/proc/self/fd").entryInfoList(QDir::Files | QDir::System))
        sockets += fd.symLinkTarget().contains(QStringLiteral("socket:"));
    return sockets;
}

class InNamespaces : public ::testing::Test {
protected:
    void SetUp() override
    {
        // A search sends to every address of a network: only to the test's own.
        if (qEnvironmentVariableIsEmpty("OVLIX_NETNS") ||
            planSearch({}, cards).networksText() !=
                "10.213.0.0/24, 10.214.0.0/24 (cut from 10.214.0.0/16), 10.213.1.0/28")
            GTEST_SKIP() << "runs inside the namespaces that scripts/in-namespaces.sh makes";
        socketsBefore = openSockets();
        // The host name as Debian maps it, whatever the resolver of the machine
        // under the test says (a bare build root has no /etc/hosts).
        hosts.named = QList<QHostAddress>{QHostAddress("127.0.1.1")};
    }

    // The log's messages since `from`, each once, seconds taken cut out.
    QString logSince(qsizetype from)
    {
        static const QRegularExpression seconds(QStringLiteral("\\b\\d+\\.\\d s\\b"));
        QStringList log = files.logMessages().mid(from);
        log.removeDuplicates(); // the network setup sets the entry again after the wait
        return log.replaceInStrings(seconds, "N s").join('\n');
    }

    // Nothing in flight and no socket left once the search has ended.
    void expectNothingLeft()
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(waitUntil([&] { return openSockets() <= socketsBefore; }, 2000))
            << openSockets() << " sockets open, " << socketsBefore << " before";
    }

    FilesFolder files;
    AppContext context = makeAppContext(files.path(QString()), programVersion());
    RecordingMessages messages;
    SystemProcessLauncher programs;
    // As the program has it: arp itself as root, pkexec and the helper as a user.
    ArpHelperLauncher launcher{files.log(), programs};
    FixedHostLookup hosts;
    QList<NetworkCard> cards = systemNetworkCards(); // the namespace's own
    WindowEnvironment environment{
        context,
        files.log(),
        messages,
        launcher,
        // Short, so that the addresses where nothing answers fail soon.
        [] { return std::make_unique<QtHttpFetcher>(FetchLimits{std::chrono::seconds(2)}); },
        {systemNetworkCommands(), hosts, [this] { return launcher.refusal(); },
         std::chrono::milliseconds(2000)},
        [] { return std::make_unique<QtHttpFetcher>(FetchLimits{std::chrono::seconds(2)}); },
        [this] { return cards; }};
    WindowRegistry windows{environment};
    int socketsBefore = 0;
};

// ---- The device search ----

class FindDevices : public InNamespaces {
protected:
    // Ctrl+F in the main window, over the networks of `cards`.
    QPointer<FindDevicesWindow> openWithCtrlF()
    {
        QApplication::setActiveWindow(main);
        QTest::keyClick(main, Qt::Key_F, Qt::ControlModifier);
        for (QWidget* open : QApplication::topLevelWidgets())
            if (auto* found = qobject_cast<FindDevicesWindow*>(open); found && found->isVisible())
                return found;
        return nullptr;
    }

    MainWindow* main = windows.openMain();
    const qsizetype loaded = files.logMessages().size(); // the search's lines come after
};

// The web server at 10.213.0.7 is no Ovlix; the device at 10.214.9.9 lies
// outside the /24 that 10.214.0.0/16 is cut to, and scripts/in-namespaces.sh checks
// that it was not asked.
TEST_F(FindDevices, TheWindowListsTheDevicesAndHandsTheFirstOn)
{
    QPointer<FindDevicesWindow> window = openWithCtrlF();
    ASSERT_FALSE(window.isNull()) << "Ctrl+F opens the search window";
    auto* list = window->findChild<QTreeWidget*>("lstDevices");
    auto* bar = window->findChild<QProgressBar*>("prgSearch");
    EXPECT_TRUE(waitUntil([&] { return bar->value() == 519; }, 10000));
    EXPECT_EQ(bar->maximum(), 519);
    QStringList rows;
    for (int row = 0; row < list->topLevelItemCount(); ++row)
        rows.append(list->topLevelItem(row)->text(0) + "  " + list->topLevelItem(row)->text(1) +
                    "  " + list->topLevelItem(row)->text(2));
    const QString first = rows.value(0).section(' ', 0, 0);
    rows.sort(); // devices answer in any order
    EXPECT_EQ(rows.join('\n'), "10.213.0.10  find-1.0  00-03-75-00-00-01\n"
                               "10.213.0.20  find-2.0  00-03-75-00-00-02\n"
                               "10.214.0.7  find-3.0  00-03-75-00-00-04");

    // Enter uses the address of the row chosen, which is the first found.
    QTest::keyClick(list, Qt::Key_Return);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(main->findChild<QLineEdit*>("txtOvlixIP")->text(), first);
    EXPECT_EQ(context.DeviceIP, first);
    EXPECT_TRUE(window.isNull());
    expectNothingLeft();
}

TEST_F(FindDevices, ClosingTheWindowMidwayStopsTheSearch)
{
    cards = {{"pc0", {{QHostAddress("10.214.0.1"), 29}}}}; // nothing answers
    QPointer<FindDevicesWindow> window = openWithCtrlF();
    ASSERT_FALSE(window.isNull());
    // A connection is on its way to every address.
    EXPECT_TRUE(waitUntil([&] { return openSockets() >= socketsBefore + 5; }));
    window->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(window.isNull());
    EXPECT_EQ(logSince(loaded), "Find devices: searching 10.214.0.0/29, 5 addresses\n"
                                "Find devices: stopped after N s, 0 of 5 addresses asked, 0 found");
    expectNothingLeft();
}

// ---- The network setup through the window ----
// The device behind pc1 takes its address; the session below shows the entry
// on pc1 as ip prints it, and what ovlix meets where a setup fails.

class SetUpThroughTheWindow : public InNamespaces {
protected:
    // Set IP Address for the fresh device with this MAC address; returns the log.
    QString setUp(const QString& ip, const QString& mac)
    {
        NetworkWindow* network = windows.openNetwork();
        EXPECT_EQ(network->findChild<QLineEdit*>("txtHostIP")->text(), "10.213.0.1");
        network->findChild<QLineEdit*>("txtIP")->setText(ip);
        network->findChild<QLineEdit*>("txtMAC")->setText(mac);
        QTest::mouseClick(network->findChild<QPushButton*>("cmdSetIP"), Qt::LeftButton);
        EXPECT_TRUE(waitUntil([&] { return !messages.shown.isEmpty(); }, 20000));
        EXPECT_EQ(messages.shown, QStringList{"Ovlix Addess Setup Complete"});
        EXPECT_EQ(network->findChild<QLineEdit*>("txtHostIP")->text(), "10.213.1.1");
        EXPECT_EQ(files.read("netset"),
                  "lastip, " + ip.toLatin1() + "\r\nlastmac, " + mac.toLatin1() + "\r\n");
        return logSince(0);
    }
};

TEST_F(SetUpThroughTheWindow, TheDeviceBehindTheSecondCardGetsItsAddress)
{
    const QString entry = "arp -i pc1 -s 10.213.1.5 00:03:75:10:01:55";
    EXPECT_EQ(setUp("10.213.1.5", "00-03-75-10-01-55"),
              "System variable lastmac missing in " + files.path("netset") +
                  "\nNetwork card pc1 (10.213.1.1) faces 10.213.1.5: its network "
                  "10.213.1.0/28 holds it\nDelete ARP table\nRun App:  arp -d "
                  "10.213.1.5\nRun App:  arp -d \nSet ARP entry: " +
                  entry + "\nRun App:  " + entry + "\nRun App:  ping -c 4 10.213.1.5");
}

// The ARP helper, run as root, refuses what it is not for and changes nothing.
TEST_F(InNamespaces, TheArpHelperRefusesWhatItIsNotFor)
{
    runTerminalSession(OVLIX_TEST_DATA "/helper-refusals.txt",
                       {{"HELPER", qEnvironmentVariable("OVLIX_INSTALLED_HELPER")}}, {});
}

// ovlix's searches and setups: the setups give the fresh devices an address.
TEST_F(InNamespaces, TheCommandLineFindsAndSetsUpAsTheWindowsDo)
{
    // The neighbour table knows no MAC address for it; its version would forge
    // a log line, were its line end not shown.
    DeviceSimulator loopback;
    loopback.setVersion("1.0\r\n1 Jan 2026 00:00:00FORGED");
    ASSERT_TRUE(loopback.listen(QHostAddress::LocalHost, 80));
    runTerminalSession(OVLIX_TEST_DATA "/namespace-session.txt",
                       {{"HELPER", qEnvironmentVariable("OVLIX_INSTALLED_HELPER")}}, {});
}

// A user's window asks polkit, which with-polkit.sh has say yes to nobody, and
// the helper sets the entry. Run as root, the test runs itself as nobody. It
// comes after the command line's session, whose search would find the device.
class AUsersWindow : public SetUpThroughTheWindow {};

TEST_F(AUsersWindow, SetsUpThroughPolkitAndTheHelper)
{
    if (geteuid() == 0) {
        QProcess asNobody;
        asNobody.setProcessChannelMode(QProcess::ForwardedChannels);
        asNobody.start("setpriv",
                       {"--reuid=nobody", "--regid=nogroup", "--clear-groups", "--inh-caps=-all",
                        QCoreApplication::applicationFilePath(), "--gtest_filter=AUsersWindow.*"});
        ASSERT_TRUE(asNobody.waitForFinished(60000));
        EXPECT_EQ(asNobody.exitCode(), 0);
        return;
    }
    // The documented lines are those of the test above; each change adds its line.
    const QString helper =
        "Through the ARP helper: pkexec " + qEnvironmentVariable("OVLIX_INSTALLED_HELPER");
    EXPECT_EQ(setUp("10.213.1.12", "00-03-75-10-01-5a").split('\n').filter("Through"),
              (QStringList{helper + " delete 10.213.1.12",
                           helper + " set pc1 10.213.1.12 00:03:75:10:01:5a"}));
    QProcess neighbours;
    neighbours.start("ip", {"neigh", "show", "10.213.1.12", "nud", "permanent"});
    ASSERT_TRUE(neighbours.waitForFinished());
    EXPECT_EQ(neighbours.readAll(), "10.213.1.12 dev pc1 lladdr 00:03:75:10:01:5a PERMANENT \n");
}

} // namespace
