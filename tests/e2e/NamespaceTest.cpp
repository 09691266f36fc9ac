// The network setup and the device search end to end, through the windows and
// through ovlix, with the real arp, ping and sockets, inside the PC namespace
// that in-namespaces.sh makes (its header shows the network).

#include "core/StartUp.h"
#include "device/QtHttpFetcher.h"
#include "DeviceSimulator.h"
#include "network/ArpEntries.h"
#include "support/RecordingMessages.h"
#include "support/TerminalSession.h"
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

using namespace ovlix;
using namespace ovlix::test;

namespace {

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

// Lines with the seconds taken cut out, those between the first and the last
// sorted, since devices answer in any order.
QString transcript(QStringList lines)
{
    static const QRegularExpression seconds(QStringLiteral("\\b\\d+\\.\\d s\\b"));
    lines.replaceInStrings(seconds, QStringLiteral("N s"));
    if (lines.size() > 2)
        std::sort(lines.begin() + 1, lines.end() - 1);
    return lines.join('\n');
}

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
        if (qEnvironmentVariableIsEmpty("OVLIX_NETNS") || localIpv4Entries().size() != 3 ||
            localIpv4Entries()[0].ip() != QHostAddress("10.213.0.1"))
            GTEST_SKIP() << "runs inside the namespaces that in-namespaces.sh makes";
        ASSERT_TRUE(QFile::copy(qEnvironmentVariable("OVLIX_CLI"), files.path("ovlix")));
        // The user without the right runs it too, and writes to the log there.
        QFile::setPermissions(files.path(QString()), QFile::Permissions(0x7777));
        socketsBefore = openSockets();
    }

    // The log's messages since `from`, without the clock's stamps of ovlix's.
    QStringList logSince(qsizetype from)
    {
        static const QRegularExpression stamp("^\\?.*? \\d\\d?:\\d\\d:\\d\\d( [AP]M)?");
        QStringList log = files.logMessages().mid(from);
        log.replaceInStrings(stamp, QString());
        return log.replaceInStrings(files.path(QString()), "FOLDER");
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
    SystemProcessLauncher launcher;
    HostNameOnLoopback hosts;
    QString refusal;
    QList<QNetworkAddressEntry> localAddresses;
    WindowEnvironment environment{
        context,
        files.log(),
        messages,
        launcher,
        // Short, so that the addresses where nothing answers fail soon.
        [] { return std::make_unique<QtHttpFetcher>(FetchLimits{std::chrono::seconds(2)}); },
        {systemNetworkCommands(), hosts, [this] { return refusal; },
         std::chrono::milliseconds(2000)},
        {[this] { return localAddresses; },
         [] { return std::make_unique<QtHttpFetcher>(FetchLimits{std::chrono::seconds(1)}); }}};
    WindowRegistry windows{environment};
    int socketsBefore = 0;
};

// ---- The device search ----
// It runs first, as Google Test runs tests in the order of this file, while
// the factory-fresh devices have no address yet.

const FoundDevice kDevice1{"10.213.0.10", "find-1.0", "00-03-75-00-00-01"};
const FoundDevice kDevice2{"10.213.0.20", "find-2.0", "00-03-75-00-00-02"}; // answers late
const FoundDevice kDevice4{"10.214.0.7", "find-3.0", "00-03-75-00-00-04"};

struct Search {
    QString network;  // as the PC's own address with its prefix; none: the PC's own networks
    QString searched; // as the start line names it
    int addresses;
    QList<FoundDevice> found;
    QString error = {}; // what ovlix find says on standard error
};

const Search kSearches[] = {
    {{},
     "10.213.0.0/24, 10.214.0.0/24 (cut from 10.214.0.0/16), 10.213.1.0/28",
     519,
     {kDevice1, kDevice2, kDevice4},
     "ovlix find: 10.214.0.0/16 has more than 1024 addresses: only 10.214.0.0/24 is searched\n"},
    // With a web server at 10.213.0.7 that is no Ovlix.
    {"10.213.0.1/27", "10.213.0.0/27", 29, {kDevice1, kDevice2}},
    {"10.214.0.1/28", "10.214.0.0/28", 13, {kDevice4}},
};

QString expectedLog(const Search& s, const QString& end = "done", int asked = -1)
{
    QStringList lines{QStringLiteral("Find devices: searching %1, %2 addresses")
                          .arg(s.searched)
                          .arg(s.addresses)};
    for (const FoundDevice& device : s.found)
        lines.append(QStringLiteral("Find devices: Ovlix %1 at %2, MAC address %3")
                         .arg(device.version, device.address, device.macAddress));
    lines.append(QStringLiteral("Find devices: %1 after N s, %2 of %3 addresses asked, %4 found")
                     .arg(end)
                     .arg(asked < 0 ? s.addresses : asked)
                     .arg(s.addresses)
                     .arg(s.found.size()));
    return lines.join('\n');
}

// The devices between the brackets, a line each, sorted.
QString deviceList(const QList<FoundDevice>& devices, const QString& last = "]")
{
    QStringList lines{"["};
    for (const FoundDevice& device : devices)
        lines.append(device.address + "  " + device.version + "  " + device.macAddress);
    return transcript(lines << last);
}

class FindDevices : public InNamespaces {
protected:
    FindDevicesWindow* openWithCtrlF(MainWindow* main, const Search& s)
    {
        localAddresses = localIpv4Entries();
        if (!s.network.isEmpty()) {
            QNetworkAddressEntry entry;
            entry.setIp(QHostAddress(s.network.section('/', 0, 0)));
            entry.setPrefixLength(s.network.section('/', 1).toInt());
            localAddresses = {entry};
        }
        QApplication::setActiveWindow(main);
        QTest::keyClick(main, Qt::Key_F, Qt::ControlModifier);
        for (QWidget* open : QApplication::topLevelWidgets())
            if (auto* found = qobject_cast<FindDevicesWindow*>(open); found && found->isVisible())
                return found;
        return nullptr;
    }

    // The search's lines of the log since `from`, as a transcript.
    QString searchLog(qsizetype from)
    {
        QStringList lines;
        for (const QString& message : logSince(from))
            if (message.startsWith("Find devices: "))
                lines.append(message);
        return transcript(lines);
    }
};

TEST_F(FindDevices, TheWindowListsTheDevicesAndHandsTheFirstOn)
{
    MainWindow* main = windows.openMain();
    for (const Search& s : kSearches) {
        SCOPED_TRACE(s.searched.toStdString());
        const qsizetype logged = files.logMessages().size();
        FindDevicesWindow* window = openWithCtrlF(main, s);
        ASSERT_NE(window, nullptr) << "Ctrl+F opens the search window";
        EXPECT_EQ(windows.openFindDevices(), window); // at most one
        QPointer<FindDevicesWindow> stillOpen = window;
        auto* list = window->findChild<QTreeWidget*>("lstDevices");
        auto* bar = window->findChild<QProgressBar*>("prgSearch");
        EXPECT_TRUE(waitUntil([&] { return bar->value() == s.addresses; }, 10000));
        EXPECT_EQ(bar->maximum(), s.addresses);
        QList<FoundDevice> listed;
        for (int row = 0; row < list->topLevelItemCount(); ++row) {
            const QTreeWidgetItem* item = list->topLevelItem(row);
            listed.append({item->text(0), item->text(1), item->text(2)});
        }
        EXPECT_EQ(deviceList(listed), deviceList(s.found));
        EXPECT_EQ(searchLog(logged), expectedLog(s));

        // Enter uses the address of the row chosen, which is the first found.
        QTest::keyClick(list, Qt::Key_Return);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_EQ(main->findChild<QLineEdit*>("txtOvlixIP")->text(), listed.value(0).address);
        EXPECT_EQ(context.DeviceIP, listed.value(0).address);
        EXPECT_TRUE(stillOpen.isNull());
        expectNothingLeft();
    }
}

TEST_F(FindDevices, ClosingTheWindowMidwayStopsTheSearch)
{
    const Search nothing{"10.214.0.1/29", "10.214.0.0/29", 5, {}};
    QPointer<FindDevicesWindow> window = openWithCtrlF(windows.openMain(), nothing);
    ASSERT_FALSE(window.isNull());
    // A connection is on its way to every address.
    EXPECT_TRUE(waitUntil([&] { return openSockets() >= socketsBefore + nothing.addresses; }));
    window->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(window.isNull());
    EXPECT_EQ(searchLog(0), expectedLog(nothing, "stopped", 0));
    expectNothingLeft();
}

// ---- The network setup ----

const QString kRefusal = "OvlixSetup is not allowed to change the ARP table of this computer.";
const QString kNoNetwork =
    "The address 10.213.9.5 is on none of this PC's networks (10.213.0.0/24 on "
    "pc0, 10.214.0.0/16 on pc0, 10.213.1.0/28 on pc1).";
const QString kSomethingElse = "Something answered at 10.213.0.7, but not as an Ovlix: another "
                               "device may already use this address.";
const QString kNothingAnswered =
    "Nothing answered at 10.213.1.9: the device did not take the address; check its cable and "
    "power, the MAC address, and that it was reset or restarted just before.";

// The log of a press up to the ping: the card that faces the address, the old
// entries gone and the new one set. The MAC address ends in macEnd.
QString arpSteps(const QString& card, const QString& ip, const QString& macEnd)
{
    const QString network = card == "pc1" ? "10.213.1.0/28" : "10.213.0.0/24";
    const QString mac = QString("00:03:75:10:01:55").chopped(macEnd.size()) + macEnd;
    const QString entry = "arp -i " + card + " -s " + ip + ' ' + mac;
    return "Network card " + card + " (" + network.chopped(4) + "1) faces " + ip +
           ": its network " + network + " holds it\nDelete ARP table\nRun App:  arp -d " + ip +
           "\nRun App:  arp -d \nSet ARP entry: " + entry + "\nRun App:  " + entry +
           "\nRun App:  ping -c 4 " + ip;
}

struct SetupCase {
    QString ip;
    QString mac;
    QString message;    // the window's message
    QString log;        // the whole log of the setup
    QString card;       // where the static entry lands
    QString asked = {}; // why the window may not change the ARP table
};

class NetworkSetup : public InNamespaces {
protected:
    // Types the address and MAC, presses the button and waits for the message.
    QString pressInWindow(const SetupCase& s)
    {
        NetworkWindow* network = windows.openNetwork();
        EXPECT_EQ(network->findChild<QLineEdit*>("txtHostIP")->text(), "10.213.0.1");
        network->findChild<QLineEdit*>("txtIP")->setText(s.ip);
        network->findChild<QLineEdit*>("txtMAC")->setText(s.mac);
        refusal = s.asked;
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
};

TEST_F(NetworkSetup, EachOutcomeOnAPCWithTwoCards)
{
    const QString failed = "Error: Failed to ping Ovlix.  Please try again.\r\n";
    const QString notFound = "\nPingOvlix: index.htm version not found";
    const SetupCase setups[] = {
        {"10.213.1.5", "00-03-75-10-01-55", "Ovlix Addess Setup Complete",
         "System variable lastmac missing in FOLDER/netset\n" + arpSteps("pc1", "10.213.1.5", "55"),
         "pc1"},
        {"10.213.9.5", "00-03-75-10-01-55", failed + kNoNetwork + "\r\n",
         "No network card has 10.213.9.5 on its network; the host address 10.213.0.1 is used\n" +
             arpSteps("pc0", "10.213.9.5", "55").section('\n', 1) + notFound + '\n' + kNoNetwork,
         "pc0"},
        {"10.213.1.9", "00-03-75-10-01-55", failed + kNothingAnswered + "\r\n",
         arpSteps("pc1", "10.213.1.9", "55") + notFound + '\n' + kNothingAnswered, "pc1"},
        {"10.213.0.7", "00-03-75-20-00-07", failed + kSomethingElse + "\r\n",
         arpSteps("pc0", "10.213.0.7", "20:00:07") + notFound + '\n' + kSomethingElse, "pc0"},
        {"10.213.1.9", "00-03-75-10-01-55", failed + kRefusal + "\r\n",
         arpSteps("pc1", "10.213.1.9", "55") + notFound + '\n' + kRefusal, "pc1", kRefusal},
    };
    for (const SetupCase& s : setups) {
        SCOPED_TRACE(s.ip.toStdString());
        const qsizetype logged = files.logMessages().size();
        const QString mac = QString(s.mac).replace('-', ':');
        EXPECT_EQ(pressInWindow(s), s.message);
        QProcess neighbours;
        neighbours.start("ip", {"neigh", "show", s.ip, "nud", "permanent"});
        neighbours.waitForFinished();
        EXPECT_EQ(QString(neighbours.readAllStandardOutput()).trimmed(),
                  s.ip + " dev " + s.card + " lladdr " + mac + " PERMANENT");
        QStringList log = logSince(logged);
        log.removeDuplicates(); // the entry is set again after the wait
        EXPECT_EQ(log.join('\n'), s.log);
        if (s.message.startsWith("Ovlix Addess")) {
            EXPECT_EQ(files.read("netset"),
                      "lastip, " + s.ip.toLatin1() + "\r\nlastmac, " + s.mac.toLatin1() + "\r\n");
        }
    }
}

// ovlix's searches and setups, after the windows': the search finds the
// device the window set up, and the setups give the other fresh devices an
// address.
TEST_F(InNamespaces, TheCommandLineFindsAndSetsUpAsTheWindowsDo)
{
    DeviceSimulator loopback; // the neighbour table knows no MAC address for it
    ASSERT_TRUE(loopback.listen(QHostAddress::LocalHost, 80));
    runTerminalSession(OVLIX_TEST_DATA "/namespace-session.txt", {}, {});
}

} // namespace
