// The device search against simulated devices on a bridged network, inside the
// PC namespace that find-in-namespaces.sh makes: the finder itself, the window
// opened from the main window's menu, and `ovlix find`.
// Each scenario runs through each of them.

#include "discovery/DeviceFinder.h"
#include "support/WindowFixture.h"
#include "ui/FindDevicesWindow.h"
#include "ui/MainWindow.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QTreeWidget>

using namespace ovlix;
using namespace ovlix::test;
using namespace std::chrono_literals;

namespace {

const FoundDevice kDevice1{"10.213.1.10", "find-1.0", "00-03-75-00-00-01"};
const FoundDevice kDevice2{"10.213.1.20", "find-2.0", "00-03-75-00-00-02"}; // answers late
const FoundDevice kDevice4{"10.214.0.7", "find-3.0", "00-03-75-00-00-04"};

struct Scenario {
    const char* name;
    // As the PC's own address with its prefix; none: the PC's own networks.
    QString network;
    QString searched; // as the start line names it
    int addresses;
    QList<FoundDevice> found;
    bool stopEarly = false;
};

const Scenario kScenarios[] = {
    {"the PC's networks, the larger cut to a /24",
     {},
     "10.213.1.0/24, 10.214.0.0/24 (cut from 10.214.0.0/16)",
     506,
     {kDevice1, kDevice2, kDevice4}},
    {"a small network with a web server that is no Ovlix",
     "10.213.1.1/27",
     "10.213.1.0/27",
     29,
     {kDevice1, kDevice2}},
    {"a network where nothing answers", "10.214.0.1/29", "10.214.0.0/29", 5, {}},
    {"stopped in mid-search", "10.214.0.1/29", "10.214.0.0/29", 5, {}, true},
};

// The addresses of the devices found, in the order of the scenario's list.
QStringList addressesOf(const QList<FoundDevice>& devices)
{
    QStringList addresses;
    for (const FoundDevice& device : devices)
        addresses.append(device.address + ' ' + device.version + ' ' + device.macAddress);
    addresses.sort();
    return addresses;
}

// The sockets this process holds open.
int openSockets()
{
    int sockets = 0;
    const QDir fds(QStringLiteral("/proc/self/fd"));
    for (const QFileInfo& fd : fds.entryInfoList(QDir::Files | QDir::System))
        sockets += fd.symLinkTarget().contains(QStringLiteral("socket:"));
    return sockets;
}

class FindDevicesInNamespaces : public WindowFixture,
                                public ::testing::WithParamInterface<Scenario> {
protected:
    void SetUp() override
    {
        // A search sends to every address of a network: only to the test's own.
        const QList<QNetworkAddressEntry> local = localIpv4Entries();
        if (qEnvironmentVariableIsEmpty("OVLIX_FIND_NETNS") || local.size() != 2 ||
            local[0].ip() != QHostAddress("10.213.1.1") ||
            local[1].ip() != QHostAddress("10.214.0.1"))
            GTEST_SKIP() << "runs inside the namespaces that find-in-namespaces.sh makes";
        limits.deadline = 1000ms;
        const Scenario& scenario = GetParam();
        if (scenario.network.isEmpty()) {
            localAddresses = localIpv4Entries();
        } else {
            QNetworkAddressEntry entry;
            entry.setIp(QHostAddress(scenario.network.section('/', 0, 0)));
            entry.setPrefixLength(scenario.network.section('/', 1).toInt());
            localAddresses = {entry};
        }
        socketsBefore = openSockets();
    }

    // The start line, a line per device and the end line.
    void expectLog(const Scenario& scenario)
    {
        // The command line stamps its lines with the clock, not the fixture's.
        QStringList lines;
        for (const QString& line : files.logMessages())
            if (line.contains("Find devices: "))
                lines.append(line.mid(line.indexOf("Find devices: ")));
        ASSERT_EQ(lines.size(), scenario.found.size() + 2) << lines.join('\n').toStdString();
        EXPECT_EQ(lines.first(), QStringLiteral("Find devices: searching %1, %2 addresses")
                                     .arg(scenario.searched)
                                     .arg(scenario.addresses));
        for (const FoundDevice& device : scenario.found)
            EXPECT_TRUE(
                lines.contains(QStringLiteral("Find devices: Ovlix %1 at %2, MAC address %3")
                                   .arg(device.version, device.address, device.macAddress)));
        const QString end =
            scenario.stopEarly ? "Find devices: stopped after " : "Find devices: done after ";
        EXPECT_TRUE(lines.last().startsWith(end)) << lines.last().toStdString();
        if (!scenario.stopEarly) {
            EXPECT_TRUE(lines.last().endsWith(QStringLiteral(", %1 of %1 addresses asked, %2 found")
                                                  .arg(scenario.addresses)
                                                  .arg(scenario.found.size())))
                << lines.last().toStdString();
        }
    }

    // A connection is on its way to every address of the scenario.
    bool waitUntilAllAreAsked(const Scenario& scenario)
    {
        return waitUntil([&] { return openSockets() >= socketsBefore + scenario.addresses; });
    }

    // Nothing in flight and no socket left once the search has ended.
    void expectNothingLeft()
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(waitUntil([&] { return openSockets() <= socketsBefore; }, 2000))
            << openSockets() << " sockets open, " << socketsBefore << " before";
    }

    int socketsBefore = 0;
};

} // namespace

TEST_P(FindDevicesInNamespaces, TheFinderReportsEveryDeviceAndItsEnd)
{
    const Scenario& scenario = GetParam();
    DeviceFinder finder(files.log(), environment.search.makeTransfer);
    QList<FoundDevice> found;
    int lastDone = -1;
    int total = -1;
    bool finished = false;
    QObject::connect(&finder, &DeviceFinder::deviceFound,
                     [&](const FoundDevice& device) { found.append(device); });
    QObject::connect(&finder, &DeviceFinder::progress, [&](int done, int all) {
        EXPECT_GT(done, lastDone);
        lastDone = done;
        total = all;
    });
    QObject::connect(&finder, &DeviceFinder::finished, [&] { finished = true; });
    QList<Ipv4Network> requested;
    if (!scenario.network.isEmpty())
        requested.append(*Ipv4Network::parse(scenario.network));
    finder.start(planSearch(requested, localIpv4Entries()));
    if (scenario.stopEarly) {
        EXPECT_TRUE(waitUntilAllAreAsked(scenario));
        finder.cancel();
    }
    EXPECT_TRUE(waitUntil([&] { return finished; }, 10000));
    EXPECT_EQ(addressesOf(found), addressesOf(scenario.found));
    EXPECT_EQ(total, scenario.addresses);
    EXPECT_EQ(lastDone, scenario.stopEarly ? 0 : scenario.addresses);
    expectLog(scenario);
    expectNothingLeft();
}

TEST_P(FindDevicesInNamespaces, TheWindowListsTheDevicesAndHandsOneOn)
{
    const Scenario& scenario = GetParam();
    MainWindow* main = windows.openMain();
    QApplication::setActiveWindow(main);
    QTest::keyClick(main, Qt::Key_F, Qt::ControlModifier);
    FindDevicesWindow* window = nullptr;
    for (QWidget* open : QApplication::topLevelWidgets())
        if (auto* found = qobject_cast<FindDevicesWindow*>(open); found && found->isVisible())
            window = found;
    ASSERT_NE(window, nullptr) << "Ctrl+F opens the search window";
    EXPECT_EQ(windows.openFindDevices(), window); // at most one
    QPointer<FindDevicesWindow> stillOpen = window;
    auto* list = find<QTreeWidget>(window, "lstDevices");
    auto* bar = find<QProgressBar>(window, "prgSearch");
    if (scenario.stopEarly) {
        EXPECT_TRUE(waitUntilAllAreAsked(scenario));
        window->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(stillOpen.isNull());
        expectLog(scenario);
        expectNothingLeft();
        return;
    }
    EXPECT_TRUE(waitUntil([&] { return bar->value() == scenario.addresses; }, 10000));
    EXPECT_EQ(bar->maximum(), scenario.addresses);
    QList<FoundDevice> listed;
    for (int row = 0; row < list->topLevelItemCount(); ++row) {
        const QTreeWidgetItem* item = list->topLevelItem(row);
        listed.append({item->text(0), item->text(1), item->text(2)});
    }
    EXPECT_EQ(addressesOf(listed), addressesOf(scenario.found));
    expectLog(scenario);

    // Enter uses the address of the row chosen, which is the first found.
    const QString before = find<QLineEdit>(main, "txtOvlixIP")->text();
    QTest::keyClick(list, Qt::Key_Return);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    const QString expected = scenario.found.isEmpty() ? before : listed.first().address;
    EXPECT_EQ(find<QLineEdit>(main, "txtOvlixIP")->text(), expected);
    EXPECT_EQ(context.DeviceIP, scenario.found.isEmpty() ? context.DeviceIP : expected);
    EXPECT_EQ(stillOpen.isNull(), !scenario.found.isEmpty());
    expectNothingLeft();
}

TEST_P(FindDevicesInNamespaces, TheCommandLinePrintsEveryDevice)
{
    const Scenario& scenario = GetParam();
    if (scenario.stopEarly)
        GTEST_SKIP() << "a command line search is not stopped half-way";
    const QString program = files.path("ovlix");
    ASSERT_TRUE(QFile::copy(qEnvironmentVariable("OVLIX_CLI"), program));
    QStringList arguments{"find", "--timeout", "1000"};
    if (!scenario.network.isEmpty())
        arguments << "--network" << scenario.network;
    const QString cut = scenario.network.isEmpty()
                            ? "ovlix find: 10.214.0.0/16 has more than 1024 addresses: only "
                              "10.214.0.0/24 is searched\n"
                            : "";
    for (const bool json : {true, false}) {
        QProcess ovlix;
        ovlix.start(program, json ? arguments + QStringList{"--json"} : arguments);
        ASSERT_TRUE(ovlix.waitForFinished(10000));
        EXPECT_EQ(ovlix.exitCode(), scenario.found.isEmpty() ? 1 : 0);
        EXPECT_EQ(QString::fromUtf8(ovlix.readAllStandardError()), cut);
        const QByteArray output = ovlix.readAllStandardOutput();
        QList<FoundDevice> printed;
        if (json) {
            const QJsonDocument answer = QJsonDocument::fromJson(output);
            EXPECT_TRUE(answer.isArray());
            for (const QJsonValue device : answer.array())
                printed.append({device["address"].toString(), device["version"].toString(),
                                device["mac"].toString()});
        } else {
            QStringList lines = QString::fromUtf8(output).split('\n', Qt::SkipEmptyParts);
            ASSERT_FALSE(lines.isEmpty());
            const QString summary = lines.takeLast();
            EXPECT_TRUE(
                summary.startsWith(QStringLiteral("%1 %2 found, %3 addresses asked in ")
                                       .arg(scenario.found.size())
                                       .arg(scenario.found.size() == 1 ? "device" : "devices")
                                       .arg(scenario.addresses)))
                << summary.toStdString();
            for (const QString& line : lines) {
                const QStringList fields = line.split("  ");
                ASSERT_EQ(fields.size(), 3) << line.toStdString();
                printed.append({fields[0], fields[1], fields[2]});
            }
        }
        EXPECT_EQ(addressesOf(printed), addressesOf(scenario.found)) << output.toStdString();
        expectLog(scenario);
        QFile::remove(files.path("OvlixSetup.log"));
    }
}

// In a network namespace of its own with only loopback, the PC is on no
// network: a program reading --json still gets an array, of no devices.
TEST(FindDevicesOnNoNetwork, TheCommandLineStillPrintsAnArray)
{
    if (qEnvironmentVariableIsEmpty("OVLIX_FIND_NETNS"))
        GTEST_SKIP() << "runs inside the namespaces that find-in-namespaces.sh makes";
    FilesFolder files;
    const QString program = files.path("ovlix");
    ASSERT_TRUE(QFile::copy(qEnvironmentVariable("OVLIX_CLI"), program));
    QProcess ovlix;
    ovlix.start("unshare", {"--net", program, "find", "--json"});
    ASSERT_TRUE(ovlix.waitForFinished(10000));
    EXPECT_EQ(ovlix.exitCode(), 1);
    EXPECT_EQ(ovlix.readAllStandardOutput(), "[]\n");
    EXPECT_TRUE(ovlix.readAllStandardError().startsWith("ovlix find: this PC is on no network"));
}

INSTANTIATE_TEST_SUITE_P(Scenarios, FindDevicesInNamespaces, ::testing::ValuesIn(kScenarios),
                         [](const auto& scenario) {
                             QString name = QString::fromLatin1(scenario.param.name);
                             name.replace(QRegularExpression("[^A-Za-z0-9]"), "_");
                             return name.toStdString();
                         });
