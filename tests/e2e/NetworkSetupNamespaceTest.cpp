// The network setup against a simulated factory-fresh device, with the real
// arp, ping and HTTP probe, inside the PC-side namespace that in-namespaces.sh
// makes; the device has the MAC address 00:03:75:10:01:55 and no address.

#include "core/StartUp.h"
#include "device/QtHttpFetcher.h"
#include "network/ArpEntries.h"
#include "support/TestSupport.h"
#include "ui/MainWindow.h"
#include "ui/NetworkWindow.h"
#include "ui/WindowEnvironment.h"
#include "ui/WindowRegistry.h"

#include <gtest/gtest.h>
#include <QElapsedTimer>
#include <QLineEdit>
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

class NetworkSetupInNamespaces : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (qEnvironmentVariableIsEmpty("OVLIX_NETNS_DEVICE"))
            GTEST_SKIP() << "runs inside the namespaces that in-namespaces.sh makes";
    }

    // Types the address, presses the button and waits for the outcome.
    QString assign(const QString& ip)
    {
        MainWindow* main = windows.openMain();
        NetworkWindow* network = windows.openNetwork();
        EXPECT_EQ(network->findChild<QLineEdit*>("txtHostIP")->text(),
                  qEnvironmentVariable("OVLIX_NETNS_PC"));
        network->findChild<QLineEdit*>("txtIP")->setText(ip);
        messages.shown.clear();
        QElapsedTimer clock;
        clock.start();
        QTest::mouseClick(network->findChild<QPushButton*>("cmdSetIP"), Qt::LeftButton);
        EXPECT_TRUE(waitUntil([&] { return !messages.shown.isEmpty(); }, 20000));
        std::cout << "press to message: " << clock.elapsed() << " ms\n";
        version = network->findChild<QLineEdit*>("txtVersion")->text();
        mainAddress = main->findChild<QLineEdit*>("txtOvlixIP")->text();
        return messages.shown.value(0);
    }

    FilesFolder files;
    AppContext context = makeAppContext(files.path(QString()), programVersion());
    RecordingMessages messages;
    SystemProcessLauncher launcher;
    SystemHostLookup hosts;
    WindowEnvironment environment{
        context,
        files.log(),
        messages,
        launcher,
        // Short, so that the address where nobody answers fails soon.
        [] { return std::make_unique<QtHttpFetcher>(FetchLimits{std::chrono::seconds(3)}); },
        {systemNetworkCommands(), hosts, &arpTableRefusal},
        {}};
    WindowRegistry windows{environment};
    QString version;
    QString mainAddress;
};

} // namespace

TEST_F(NetworkSetupInNamespaces, TheDeviceTakesTheTypedAddressAndNobodyElseAnswers)
{
    const QString device = qEnvironmentVariable("OVLIX_NETNS_DEVICE");
    EXPECT_EQ(assign(device), "Ovlix Addess Setup Complete");
    EXPECT_EQ(version, "e2e-1.7");
    EXPECT_EQ(mainAddress, device);
    EXPECT_EQ(context.DeviceIP, device);
    EXPECT_EQ(files.read("netset"),
              "lastip, " + device.toLatin1() + "\r\nlastmac, 00-03-75-10-01-55\r\n");
    EXPECT_TRUE(files.logMessages().contains("Set ARP entry: arp -i pc0 -s " + device +
                                             " 00:03:75:10:01:55"));
    const QString neighbour = output("ip", {"neigh", "show", device, "dev", "pc0"});
    EXPECT_TRUE(neighbour.contains("lladdr 00:03:75:10:01:55 PERMANENT"))
        << neighbour.toStdString();

    const QString nobody = qEnvironmentVariable("OVLIX_NETNS_NOBODY");
    EXPECT_EQ(assign(nobody), "Error: Failed to ping Ovlix.  Please try again.\r\n");
    EXPECT_EQ(context.DeviceIP, device);
    EXPECT_EQ(files.read("netset"),
              "lastip, " + device.toLatin1() + "\r\nlastmac, 00-03-75-10-01-55\r\n");
    // The static entry stays after a failure too.
    EXPECT_TRUE(output("arp", {"-n", nobody}).contains("CM"))
        << output("arp", {"-n", nobody}).toStdString();
}
