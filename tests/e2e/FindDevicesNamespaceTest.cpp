// The device search against simulated devices on the bridged network of the
// PC namespace that in-namespaces.sh makes, through the window opened from the
// main window's menu and through `ovlix find`.

#include "support/WindowFixture.h"
#include "ui/FindDevicesWindow.h"
#include "ui/MainWindow.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLineEdit>
#include <QProcess>
#include <QProgressBar>
#include <QRegularExpression>
#include <QTreeWidget>

using namespace ovlix;
using namespace ovlix::test;

namespace {

const FoundDevice kDevice1{"10.213.0.10", "find-1.0", "00-03-75-00-00-01"};
const FoundDevice kDevice2{"10.213.0.20", "find-2.0", "00-03-75-00-00-02"}; // answers late
const FoundDevice kDevice4{"10.214.0.7", "find-3.0", "00-03-75-00-00-04"};

struct Scenario {
    QString network;  // as the PC's own address with its prefix; none: the PC's own networks
    QString searched; // as the start line names it
    int addresses;
    QList<FoundDevice> found; // in address order
    QString error = {};       // what ovlix find says on standard error
};

const Scenario kScenarios[] = {
    {{},
     "10.213.0.0/24, 10.214.0.0/24 (cut from 10.214.0.0/16), 10.213.1.0/24",
     759,
     {kDevice1, kDevice2, kDevice4},
     "ovlix find: 10.214.0.0/16 has more than 1024 addresses: only 10.214.0.0/24 is searched\n"},
    // With a web server at 10.213.0.7 that is no Ovlix.
    {"10.213.0.1/27", "10.213.0.0/27", 29, {kDevice1, kDevice2}},
    {"10.214.0.1/28", "10.214.0.0/28", 13, {kDevice4}},
};

// Lines with the seconds taken cut out, those between the first and the last sorted.
QString transcript(QStringList lines)
{
    static const QRegularExpression seconds(QStringLiteral("\\b\\d+\\.\\d s\\b"));
    lines.replaceInStrings(seconds, QStringLiteral("N s"));
    if (lines.size() > 2)
        std::sort(lines.begin() + 1, lines.end() - 1);
    return lines.join('\n');
}

// The search's lines of the log, as a transcript.
QString searchLog(const QStringList& messages)
{
    QStringList lines;
    for (const QString& message : messages)
        if (message.contains("Find devices: "))
            lines.append(message.mid(message.indexOf("Find devices: ")));
    return transcript(lines);
}

QString expectedLog(const Scenario& s, const QString& end = "done", int asked = -1)
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

QString deviceLine(const QString& address, const QString& version, const QString& mac)
{
    return address + "  " + version + "  " + mac;
}

int openSockets()
{
    int sockets = 0;
    for (const QFileInfo& fd : QDir("/proc/self/fd").entryInfoList(QDir::Files | QDir::System))
        sockets += fd.symLinkTarget().contains(QStringLiteral("socket:"));
    return sockets;
}

class FindDevicesInNamespaces : public WindowFixture {
protected:
    void SetUp() override
    {
        // A search sends to every address of a network: only to the test's own.
        if (qEnvironmentVariableIsEmpty("OVLIX_NETNS") || localIpv4Entries().size() != 3 ||
            localIpv4Entries()[0].ip() != QHostAddress("10.213.0.1"))
            GTEST_SKIP() << "runs inside the namespaces that in-namespaces.sh makes";
        limits.deadline = std::chrono::milliseconds(1000);
        socketsBefore = openSockets();
    }

    FindDevicesWindow* openWithCtrlF(const Scenario& s)
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

    // Nothing in flight and no socket left once the search has ended.
    void expectNothingLeft()
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(waitUntil([&] { return openSockets() <= socketsBefore; }, 2000))
            << openSockets() << " sockets open, " << socketsBefore << " before";
    }

    MainWindow* main = nullptr;
    int socketsBefore = 0;
};

// The command line's runs are compared as whole outputs, their devices sorted.
QString runFind(const QString& program, const QStringList& arguments, int exitCode,
                const QString& error)
{
    QProcess ovlix;
    ovlix.start(program, arguments);
    EXPECT_TRUE(ovlix.waitForFinished(10000));
    EXPECT_EQ(ovlix.exitCode(), exitCode);
    EXPECT_EQ(QString::fromUtf8(ovlix.readAllStandardError()), error);
    const QByteArray output = ovlix.readAllStandardOutput();
    if (!arguments.contains("--json"))
        return transcript(QStringList{"["} +
                          QString::fromUtf8(output).split('\n', Qt::SkipEmptyParts));
    QStringList devices{"["};
    for (const QJsonValue device : QJsonDocument::fromJson(output).array())
        devices.append(deviceLine(device["address"].toString(), device["version"].toString(),
                                  device["mac"].toString()));
    return transcript(devices + QStringList{"]"});
}

} // namespace

TEST_F(FindDevicesInNamespaces, TheWindowListsTheDevicesAndHandsTheFirstOn)
{
    main = windows.openMain();
    for (const Scenario& s : kScenarios) {
        SCOPED_TRACE(s.searched.toStdString());
        const qsizetype logged = files.logMessages().size();
        FindDevicesWindow* window = openWithCtrlF(s);
        ASSERT_NE(window, nullptr) << "Ctrl+F opens the search window";
        EXPECT_EQ(windows.openFindDevices(), window); // at most one
        QPointer<FindDevicesWindow> stillOpen = window;
        auto* list = find<QTreeWidget>(window, "lstDevices");
        auto* bar = find<QProgressBar>(window, "prgSearch");
        EXPECT_TRUE(waitUntil([&] { return bar->value() == s.addresses; }, 10000));
        EXPECT_EQ(bar->maximum(), s.addresses);
        QStringList listed;
        for (int row = 0; row < list->topLevelItemCount(); ++row) {
            const QTreeWidgetItem* item = list->topLevelItem(row);
            listed.append(deviceLine(item->text(0), item->text(1), item->text(2)));
        }
        QStringList found;
        for (const FoundDevice& device : s.found)
            found.append(deviceLine(device.address, device.version, device.macAddress));
        EXPECT_EQ(transcript(QStringList{"["} + listed + QStringList{"]"}),
                  transcript(QStringList{"["} + found + QStringList{"]"}));
        EXPECT_EQ(searchLog(files.logMessages().mid(logged)), expectedLog(s));

        // Enter uses the address of the row chosen, which is the first found.
        QTest::keyClick(list, Qt::Key_Return);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        const QString first = listed.value(0).section("  ", 0, 0);
        EXPECT_EQ(find<QLineEdit>(main, "txtOvlixIP")->text(), first);
        EXPECT_EQ(context.DeviceIP, first);
        EXPECT_TRUE(stillOpen.isNull());
        expectNothingLeft();
    }
}

TEST_F(FindDevicesInNamespaces, ClosingTheWindowMidwayStopsTheSearch)
{
    main = windows.openMain();
    const Scenario nothing{"10.214.0.1/29", "10.214.0.0/29", 5, {}};
    QPointer<FindDevicesWindow> window = openWithCtrlF(nothing);
    ASSERT_FALSE(window.isNull());
    // A connection is on its way to every address.
    EXPECT_TRUE(waitUntil([&] { return openSockets() >= socketsBefore + nothing.addresses; }));
    window->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(window.isNull());
    EXPECT_EQ(searchLog(files.logMessages()), expectedLog(nothing, "stopped", 0));
    expectNothingLeft();
}

TEST_F(FindDevicesInNamespaces, TheCommandLinePrintsEveryDevice)
{
    const QString program = files.path("ovlix");
    ASSERT_TRUE(QFile::copy(qEnvironmentVariable("OVLIX_CLI"), program));
    for (const Scenario& s : kScenarios) {
        SCOPED_TRACE(s.searched.toStdString());
        QStringList arguments{"find", "--timeout", "1000"};
        if (!s.network.isEmpty())
            arguments << "--network" << s.network;
        QStringList printed;
        for (const FoundDevice& device : s.found)
            printed.append(deviceLine(device.address, device.version, device.macAddress));
        const QString summary = QStringLiteral("%1 %2 found, %3 addresses asked in N s")
                                    .arg(s.found.size())
                                    .arg(s.found.size() == 1 ? "device" : "devices")
                                    .arg(s.addresses);
        EXPECT_EQ(runFind(program, arguments, 0, s.error),
                  transcript(QStringList{"["} + printed + QStringList{summary}));
        EXPECT_EQ(searchLog(files.logMessages()), expectedLog(s));
        QFile::remove(files.path("OvlixSetup.log"));
        EXPECT_EQ(runFind(program, arguments + QStringList{"--json"}, 0, s.error),
                  transcript(QStringList{"["} + printed + QStringList{"]"}));
        QFile::remove(files.path("OvlixSetup.log"));
    }
    // In a network namespace of its own with only loopback, the PC is on no
    // network: a program reading --json still gets an array, of no devices.
    EXPECT_EQ(runFind("unshare", {"--net", program, "find", "--json"}, 1,
                      "ovlix find: this PC is on no network to search; name one with --network\n"),
              "[\n]");
}
