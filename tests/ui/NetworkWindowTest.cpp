#include "ui/NetworkWindow.h"
#include "DeviceSimulator.h"
#include "support/ScriptedServer.h"
#include "support/WindowFixture.h"
#include "ui/MainWindow.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace ovlix;
using namespace ovlix::test;

using NetworkWindowTest = WindowFixture;

TEST_F(NetworkWindowTest, OpensOnceFromMainWithTheDefaultsAndTheDocumentedForm)
{
    MainWindow* main = windows.openMain();
    QTest::mouseClick(find<QPushButton>(main, "cmdNetork"), Qt::LeftButton);
    NetworkWindow* network = windows.openNetwork();
    QTest::mouseClick(find<QPushButton>(main, "cmdNetork"), Qt::LeftButton);
    EXPECT_EQ(windows.openNetwork(), network);
    EXPECT_EQ(network->windowTitle(), "Ovlix Network Setup");
    EXPECT_EQ(network->size(), QSize(215, 267));
    EXPECT_EQ(find<QGroupBox>(network, "Frame1")->title(), "Set Ovlix Static IP Address");
    EXPECT_EQ(find<QLineEdit>(network, "txtMAC")->text(), "00-03-75-10-01-55");
    EXPECT_EQ(find<QLineEdit>(network, "txtIP")->text(), "192.168.1.250");
    EXPECT_EQ(find<QLineEdit>(network, "txtHostIP")->text(), "192.168.1.10");
    EXPECT_EQ(find<QLineEdit>(network, "txtVersion")->text(), "");
    EXPECT_TRUE(find<QLineEdit>(network, "txtHostIP")->isReadOnly());
    EXPECT_FALSE(find<QLineEdit>(network, "txtVersion")->focusPolicy() & Qt::TabFocus);
    // Loaded once: the main window's missing lastip, then the missing lastmac.
    EXPECT_EQ(files.logMessages(),
              (QStringList{"System variable lastip missing in " + context.NetsetFile,
                           "System variable lastmac missing in " + context.NetsetFile}));

    QApplication::setActiveWindow(network);
    EXPECT_EQ(QApplication::focusWidget(), find<QLineEdit>(network, "txtMAC"));
    QStringList order;
    for (QWidget* widget = find<QLineEdit>(network, "txtMAC"); order.size() < 4;
         widget = widget->nextInFocusChain())
        if ((widget->focusPolicy() & Qt::TabFocus) && widget->isEnabled())
            order.append(widget->objectName());
    EXPECT_EQ(order, (QStringList{"txtMAC", "txtIP", "cmdSetIP", "txtMAC"}));
}

TEST_F(NetworkWindowTest, ASuccessfulRunUsesWhatWasTypedDuringTheWait)
{
    DeviceSimulator device;
    ASSERT_TRUE(device.listen());
    device.setVersion("3.0b");
    files.write("netset", "lastip, 127.0.0.1:9\r\nlastmac, 00-03-75-aa-bb-cc\r\n");
    MainWindow* main = windows.openMain();
    NetworkWindow* network = windows.openNetwork();
    EXPECT_EQ(find<QLineEdit>(network, "txtMAC")->text(), "00-03-75-aa-bb-cc");
    EXPECT_EQ(find<QLineEdit>(network, "txtIP")->text(), "127.0.0.1:9");
    auto* button = find<QPushButton>(network, "cmdSetIP");
    const QString ip = QStringLiteral("127.0.0.1:%1").arg(device.port());
    find<QLineEdit>(network, "txtIP")->setText(QStringLiteral("127.0.0.2:%1").arg(device.port()));

    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_FALSE(button->isEnabled());
    find<QLineEdit>(network, "txtIP")->setText(ip);
    find<QLineEdit>(network, "txtMAC")->setText("00-03-75-10-01-99");
    QTest::mouseClick(button, Qt::LeftButton); // disabled: no second run
    ASSERT_TRUE(waitUntil([&] { return !messages.shown.isEmpty(); }));

    EXPECT_EQ(messages.shown, QStringList{"Ovlix Addess Setup Complete"});
    EXPECT_TRUE(button->isEnabled()); // back once the message was closed
    EXPECT_EQ(launcher.commandLines.size(), 5);
    EXPECT_EQ(launcher.commandLines[3], QStringLiteral("ping 127.0.0.2:%1").arg(device.port()));
    EXPECT_EQ(launcher.commandLines[4], "arp -s " + ip + " 00-03-75-10-01-99 192.168.1.10");
    EXPECT_EQ(files.read("netset"),
              "lastip, " + ip.toLatin1() + "\r\nlastmac, 00-03-75-10-01-99\r\n");
    EXPECT_EQ(context.DeviceIP, ip);
    EXPECT_EQ(find<QLineEdit>(main, "txtOvlixIP")->text(), ip);
    EXPECT_EQ(find<QLineEdit>(network, "txtVersion")->text(), "3.0b");
}

TEST_F(NetworkWindowTest, AFailedRunKeepsEverythingAndTheButtonComesBackAfterTheMessage)
{
    hosts.named = QList<QHostAddress>{QHostAddress("127.0.1.1")};
    NetworkWindow* network = windows.openNetwork();
    EXPECT_EQ(find<QLineEdit>(network, "txtHostIP")->text(), ""); // never loopback
    const QString ip = ScriptedServer::refusingAddress();
    find<QLineEdit>(network, "txtIP")->setText(ip);
    auto* button = find<QPushButton>(network, "cmdSetIP");
    messages.leaveOpen = true;

    QTest::mouseClick(button, Qt::LeftButton);
    ASSERT_TRUE(waitUntil([&] { return !messages.shown.isEmpty(); }));
    EXPECT_EQ(messages.shown,
              QStringList{"Error: Failed to ping Ovlix.  Please try again.\r\nThe address " + ip +
                          " is on none of this PC's networks (it has none but loopback).\r\n"});
    EXPECT_FALSE(button->isEnabled()); // the message is still open
    messages.closeOpen();
    EXPECT_TRUE(button->isEnabled());
    EXPECT_EQ(context.DeviceIP, "");
    EXPECT_FALSE(QFile::exists(context.NetsetFile));
}

TEST_F(NetworkWindowTest, DoubleClickingTheVersionBoxAsksTheDeviceAgain)
{
    DeviceSimulator device;
    ASSERT_TRUE(device.listen());
    device.setVersion("2.2");
    NetworkWindow* network = windows.openNetwork();
    auto* version = find<QLineEdit>(network, "txtVersion");
    find<QLineEdit>(network, "txtIP")->setText(QStringLiteral("127.0.0.1:%1").arg(device.port()));
    QTest::mouseDClick(version, Qt::LeftButton);
    EXPECT_FALSE(network->isEnabled()); // no input while the device is asked
    ASSERT_TRUE(waitUntil([&] { return network->isEnabled(); }));
    EXPECT_EQ(version->text(), "2.2");

    find<QLineEdit>(network, "txtIP")->setText(ScriptedServer::refusingAddress());
    QTest::mouseDClick(version, Qt::LeftButton);
    ASSERT_TRUE(waitUntil([&] { return network->isEnabled(); }));
    EXPECT_EQ(version->text(), "2.2");
    EXPECT_EQ(files.logMessages().last(), "PingOvlix: index.htm version not found");
    EXPECT_TRUE(messages.shown.isEmpty());
}

namespace {

// The device answers when the test says so, to see the order of the steps.
class NetworkWindowHeldDeviceTest : public WindowFixture {
protected:
    NetworkWindowHeldDeviceTest()
    {
        environment.makeTransfer = [this] { return held.fetcher(); };
    }

    NetworkWindow* startRun(const QString& ip)
    {
        NetworkWindow* network = windows.openNetwork();
        find<QLineEdit>(network, "txtIP")->setText(ip);
        QTest::mouseClick(find<QPushButton>(network, "cmdSetIP"), Qt::LeftButton);
        return network;
    }

    HeldRequests held;
};

} // namespace

TEST_F(NetworkWindowHeldDeviceTest, TheAddressIsSavedAndHandedOnBeforeTheDeviceIsAskedAgain)
{
    MainWindow* main = windows.openMain();
    NetworkWindow* network = startRun("127.0.0.1:9");
    ASSERT_TRUE(waitUntil([&] { return held.count() == 1; }));
    held.answer(0, versionPage("2.1a"));
    ASSERT_EQ(held.count(), 2); // the second probe waits
    EXPECT_EQ(files.read("netset"), "lastip, 127.0.0.1:9\r\nlastmac, 00-03-75-10-01-55\r\n");
    EXPECT_EQ(context.DeviceIP, "127.0.0.1:9");
    EXPECT_EQ(find<QLineEdit>(main, "txtOvlixIP")->text(), "127.0.0.1:9");
    EXPECT_TRUE(messages.shown.isEmpty());
    // Closed during the second probe: nothing more happens, nothing is lost.
    delete network;
    held.answer(1, versionPage("2.1a"));
    EXPECT_TRUE(messages.shown.isEmpty());
    EXPECT_EQ(context.DeviceIP, "127.0.0.1:9");

    // A settings file that cannot be written does not turn the success into
    // silence about it; the device has the address all the same.
    context.NetsetFile = files.path("missing-folder/netset");
    startRun("127.0.0.1:10");
    ASSERT_TRUE(waitUntil([&] { return held.count() == 3; }));
    held.answer(2, versionPage("2.1a"));
    EXPECT_EQ(find<QLineEdit>(main, "txtOvlixIP")->text(), "127.0.0.1:10");
    held.answer(3, versionPage("2.1a"));
    ASSERT_EQ(messages.shown.size(), 1);
    const QString error = files.logMessages().last();
    ASSERT_TRUE(error.startsWith("ERROR::SaveNetSettings: ")) << error.toStdString();
    EXPECT_EQ(messages.shown[0],
              "Ovlix Addess Setup Complete\r\nThe address could not be saved: " + error.mid(24));
    EXPECT_EQ(context.DeviceIP, "127.0.0.1:10");
}

TEST_F(NetworkWindowHeldDeviceTest, TwoProbesAtOnceKeepTheWindowWaitingUntilBothHaveEnded)
{
    NetworkWindow* network = startRun("127.0.0.1:9");
    // Double-clicked during the wait; the tick's probe follows while it runs.
    QTest::mouseDClick(find<QLineEdit>(network, "txtVersion"), Qt::LeftButton);
    ASSERT_TRUE(waitUntil([&] { return held.count() == 2; }));
    held.answer(0, versionPage("2.0"));
    EXPECT_FALSE(network->isEnabled());
    held.answer(1, connectionRefused());
    EXPECT_TRUE(network->isEnabled());
    EXPECT_EQ(messages.shown,
              QStringList{"Error: Failed to ping Ovlix.  Please try again.\r\nThe address "
                          "127.0.0.1:9 is on none of this PC's networks (it has none but "
                          "loopback).\r\n"});
    EXPECT_EQ(find<QLineEdit>(network, "txtVersion")->text(), "2.0");
}
