#include "ui/NetworkWindow.h"
#include "support/WindowFixture.h"
#include "ui/MainWindow.h"

#include <QMessageBox>
#include <QTimer>

using namespace ovlix;
using namespace ovlix::test;

using NetworkWindowTest = WindowFixture;

TEST_F(NetworkWindowTest, ASuccessfulSetupUsesWhatWasTypedDuringTheWait)
{
    MainWindow* main = windows.openMain();
    NetworkWindow* network = windows.openNetwork();
    EXPECT_EQ(text(network, "txtMAC") + " " + text(network, "txtIP") + " " +
                  text(network, "txtHostIP"),
              "00-03-75-10-01-55 192.168.1.250 192.168.1.10");
    // The wait before the device is asked must not end early.
    EXPECT_EQ(find<QTimer>(network, "timerARP")->timerType(), Qt::PreciseTimer);
    type(network, "txtIP", "127.0.0.2");
    click(network, "cmdSetIP");
    type(network, "txtIP", "127.0.0.1:9");
    type(network, "txtMAC", "00-03-75-10-01-99");
    click(network, "cmdSetIP"); // disabled: no second run
    ASSERT_TRUE(waitUntil([&] { return held.count() > answered; }));
    answer(versionPage("3.0b"));
    // Saved and handed on before the device is asked once more.
    EXPECT_EQ(files.read("netset"), "lastip, 127.0.0.1:9\r\nlastmac, 00-03-75-10-01-99\r\n");
    EXPECT_EQ(text(main, "txtOvlixIP"), "127.0.0.1:9");
    EXPECT_EQ(context.DeviceIP, "127.0.0.1:9");
    EXPECT_TRUE(messages.shown.isEmpty());
    answer(versionPage("3.1"));
    EXPECT_EQ(held.count(), 2);
    EXPECT_EQ(lastUrl(), "http://127.0.0.1:9");
    EXPECT_EQ(messages.shown, QStringList{"Ovlix Addess Setup Complete"});
    EXPECT_EQ(text(network, "txtVersion"), "3.1");
    EXPECT_TRUE(find<QPushButton>(network, "cmdSetIP")->isEnabled());
    EXPECT_EQ(files.logMessages().join('|').replace(context.NetsetFile, "netset"),
              "System variable lastip missing in netset|System variable lastmac missing in netset|"
              "No network card has 127.0.0.2 on its network; the host address 192.168.1.10 is used"
              "|Delete ARP table|Run App:  arp -d 127.0.0.2|Run App:  arp -d |"
              "Set ARP entry: arp -s 127.0.0.2 00-03-75-10-01-55 192.168.1.10|"
              "Run App:  arp -s 127.0.0.2 00-03-75-10-01-55 192.168.1.10|Run App:  ping 127.0.0.2|"
              "Set ARP entry: arp -s 127.0.0.1:9 00-03-75-10-01-99 192.168.1.10|"
              "Run App:  arp -s 127.0.0.1:9 00-03-75-10-01-99 192.168.1.10");
}

TEST_F(NetworkWindowTest, AFailedSetupTellsWhyInTheProgramsOwnBox)
{
    files.write("netset", "lastmac, 00-03-75-aa-bb-cc\r\n");
    hosts.named = QList<QHostAddress>{QHostAddress("127.0.1.1")};
    messages.showReal = true;
    arpRefusal = "OvlixSetup is not allowed to change the ARP table of this computer.";
    NetworkWindow* network = windows.openNetwork();
    type(network, "txtIP", "127.0.0.1:9");
    click(network, "cmdSetIP");
    ASSERT_TRUE(waitUntil([&] { return held.count() > answered; }));
    EXPECT_EQ(text(network, "txtMAC"), "00-03-75-aa-bb-cc");
    EXPECT_EQ(text(network, "txtHostIP"), ""); // never loopback
    // Double-clicked during the probe after the wait: the window waits for both,
    // then the focus comes back to where it was before the press.
    QTest::mouseDClick(find(network, "txtVersion"), Qt::LeftButton);
    answer(kConnectionRefused);
    EXPECT_FALSE(network->isEnabled());
    answer(versionPage("2.2"));
    EXPECT_TRUE(network->isEnabled());
    ASSERT_NE(network->focusWidget(), nullptr);
    EXPECT_EQ(network->focusWidget()->objectName(), "txtMAC");
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->windowTitle(), "OvlixSetup");
    EXPECT_EQ(box->icon(), QMessageBox::NoIcon);
    EXPECT_EQ(box->text(),
              QString("Error: Failed to ping Ovlix.  Please try again.\r\n" + arpRefusal + "\r\n")
                  .replace("\r\n", "\n"));
    EXPECT_EQ(box->standardButtons(), QMessageBox::Ok);
    EXPECT_EQ(box->windowModality(), Qt::ApplicationModal);
    EXPECT_FALSE(find<QPushButton>(network, "cmdSetIP")->isEnabled()); // until it is closed
    QPointer<QMessageBox> closing = box;
    QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(closing.isNull());
    EXPECT_TRUE(find<QPushButton>(network, "cmdSetIP")->isEnabled());
    // A failed probe leaves the version found before.
    QTest::mouseDClick(find(network, "txtVersion"), Qt::LeftButton);
    answer(kConnectionRefused);
    EXPECT_EQ(text(network, "txtVersion"), "2.2");
    EXPECT_EQ(held.count(), 3);
    EXPECT_EQ(lastUrl(), "http://127.0.0.1:9");
    EXPECT_EQ(context.DeviceIP, "");
    EXPECT_EQ(files.read("netset"), "lastmac, 00-03-75-aa-bb-cc\r\n");
}
