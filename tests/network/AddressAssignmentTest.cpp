#include "network/AddressAssignment.h"
#include "device/QtHttpFetcher.h"
#include "DeviceSimulator.h"
#include "network/ArpEntries.h"
#include "support/ScriptedServer.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <QDir>

using namespace ovlix;
using namespace ovlix::test;

namespace {

class AddressAssignmentTest : public ::testing::Test {
protected:
    AddressAssignment::Outcome run(const QString& ip, const QString& mac, const QString& hostIp)
    {
        assignment.press(ip, mac, hostIp);
        return tick(ip, mac, hostIp);
    }

    AddressAssignment::Outcome tick(const QString& ip, const QString& mac, const QString& hostIp)
    {
        return tickOn(assignment, ip, mac, hostIp);
    }

    AddressAssignment::Outcome tickOn(AddressAssignment& on, const QString& ip, const QString& mac,
                                      const QString& hostIp)
    {
        std::optional<AddressAssignment::Outcome> outcome;
        handedOver.reset();
        on.tick(
            ip, mac, hostIp,
            [&] {
                handedOver = HandOver{files.read("netset"), requests()};
            },
            [&outcome](AddressAssignment::Outcome o) { outcome = o; });
        EXPECT_TRUE(waitUntil([&] { return outcome.has_value(); }));
        return outcome.value_or(AddressAssignment::Outcome{});
    }

    // What the file and the device held when the address was handed on.
    struct HandOver {
        QByteArray netset;
        qsizetype deviceRequests;
    };
    std::optional<HandOver> handedOver;
    std::function<qsizetype()> requests = [] { return qsizetype(0); };

    FilesFolder files;
    RecordingLauncher launcher;
    WindowsNetworkCommands windows;
    QtHttpFetcher inet{FetchLimits{std::chrono::milliseconds(500)}};
    QString refusal;
    QString netset = files.path("netset");
    QList<CardAddress> cards{{"lo", QHostAddress("127.0.0.1"), 8, true},
                             {"eth0", QHostAddress("192.168.1.10"), 24, false}};
    AddressAssignment assignment{{files.log(), launcher, windows, inet, [this] { return refusal; },
                                  netset, [this] { return cards; }}};
};

// What the test's servers on loopback are for the fixture's cards.
QString onNoNetwork(const QString& ip)
{
    return "The address " + ip + " is on none of this PC's networks (192.168.1.0/24 on eth0).";
}

} // namespace

TEST_F(AddressAssignmentTest, ADeviceThatAnswersIsGivenTheAddressAndItIsSaved)
{
    DeviceSimulator device;
    ASSERT_TRUE(device.listen());
    device.setVersion("2.1a");
    const QString ip = QStringLiteral("127.0.0.1:%1").arg(device.port());
    const QString set = "arp -s " + ip + " 00-03-75-aa-bb-cc 192.168.1.10";
    requests = [&device] { return device.requests().size(); };

    assignment.press(ip, "00-03-75-aa-bb-cc", "192.168.1.10");
    EXPECT_EQ(launcher.commandLines, (QStringList{"arp -d " + ip, "arp -d ", set, "ping " + ip}));
    EXPECT_TRUE(device.requests().isEmpty()); // the device is asked only after the wait
    const AddressAssignment::Outcome outcome = tick(ip, "00-03-75-aa-bb-cc", "192.168.1.10");

    EXPECT_TRUE(outcome.assigned);
    EXPECT_EQ(outcome.message, "Ovlix Addess Setup Complete");
    EXPECT_EQ(outcome.version, "2.1a");
    EXPECT_EQ(launcher.commandLines.mid(4), QStringList{set});
    EXPECT_EQ(device.requests(), (QList<QString>{"/", "/"}));
    EXPECT_EQ(files.logMessages(),
              (QStringList{"No network card has " + ip +
                               " on its network; the host address 192.168.1.10 is used",
                           "Delete ARP table", "Run App:  arp -d " + ip, "Run App:  arp -d ",
                           "Set ARP entry: " + set, "Run App:  " + set, "Run App:  ping " + ip,
                           "Set ARP entry: " + set, "Run App:  " + set}));
    const QByteArray saved = "lastip, " + ip.toLatin1() + "\r\nlastmac, 00-03-75-aa-bb-cc\r\n";
    EXPECT_EQ(files.read("netset"), saved);
    // Saved and handed on before the device is asked once more.
    ASSERT_TRUE(handedOver.has_value());
    EXPECT_EQ(handedOver->netset, saved);
    EXPECT_EQ(handedOver->deviceRequests, 1);
}

TEST_F(AddressAssignmentTest, NoDeviceGivesTheDocumentedErrorAndSavesNothing)
{
    files.write("netset", "lastip, 10.0.0.5\r\nlastmac, 00-03-75-aa-bb-cc\r\n");
    const QString ip = ScriptedServer::refusingAddress();
    // An empty host address leaves the blank after the MAC on the Windows line.
    const AddressAssignment::Outcome outcome = run(ip, "00-03-75-10-01-55", "");
    EXPECT_FALSE(outcome.assigned);
    // A refusal from loopback tells nothing of a device, which is on no card's network.
    EXPECT_EQ(outcome.message,
              "Error: Failed to ping Ovlix.  Please try again.\r\n" + onNoNetwork(ip) + "\r\n");
    EXPECT_EQ(outcome.version, std::nullopt);
    const QString set = "arp -s " + ip + " 00-03-75-10-01-55 ";
    EXPECT_EQ(files.logMessages().mid(4),
              (QStringList{"Set ARP entry: " + set, "Run App:  " + set, "Run App:  ping " + ip,
                           "Set ARP entry: " + set, "Run App:  " + set,
                           "PingOvlix: index.htm version not found", onNoNetwork(ip)}));
    EXPECT_EQ(files.read("netset"), "lastip, 10.0.0.5\r\nlastmac, 00-03-75-aa-bb-cc\r\n");
    EXPECT_FALSE(handedOver.has_value());

    // Without the right to change the ARP table the user is told so as well.
    refusal = "OvlixSetup may not change the ARP table.";
    EXPECT_EQ(tick(ip, "00-03-75-10-01-55", "").message,
              "Error: Failed to ping Ovlix.  Please try again.\r\n"
              "OvlixSetup may not change the ARP table.\r\n");
}

TEST_F(AddressAssignmentTest, CommandsThatCannotStartAreReportedOnTheTickOnly)
{
    DeviceSimulator device;
    ASSERT_TRUE(device.listen());
    const QString ip = QStringLiteral("127.0.0.1:%1").arg(device.port());
    launcher.failing = true;
    const AddressAssignment::Outcome outcome = run(ip, "00-03-75-10-01-55", "192.168.1.10");
    // The press goes on to the ping whatever the ARP commands gave.
    EXPECT_EQ(launcher.commandLines.size(), 5);
    EXPECT_EQ(launcher.commandLines[3], "ping " + ip);
    EXPECT_FALSE(outcome.assigned);
    EXPECT_EQ(outcome.message, "Error: Failed to Set ARP table.\r\n");
    EXPECT_EQ(outcome.version, "2.1a"); // the device did answer
    EXPECT_EQ(files.logMessages().last(), "ERROR::Set ARP entry failed.  ");
    EXPECT_FALSE(QFile::exists(netset));

    ScriptedServer otherServer(ScriptedServer::Behaviour::Answer, httpAnswer("<h1>hello</h1>"));
    EXPECT_EQ(tick(otherServer.address(), "00-03-75-10-01-55", "").message,
              "Error: Failed to Set ARP table.\r\nFailed to ping Ovlix.  Please try again.\r\n" +
                  onNoNetwork(otherServer.address()) + "\r\n");
}

TEST_F(AddressAssignmentTest, ASettingsFileThatCannotBeWrittenIsToldAfterTheSuccess)
{
    DeviceSimulator device;
    ASSERT_TRUE(device.listen());
    const QString ip = QStringLiteral("127.0.0.1:%1").arg(device.port());
    AddressAssignment elsewhere{{files.log(), launcher, windows, inet, [this] { return refusal; },
                                 files.path("missing-folder/netset")}};
    const AddressAssignment::Outcome outcome = tickOn(elsewhere, ip, "00-03-75-10-01-55", "");
    // The device has the address, so it is handed on all the same.
    EXPECT_TRUE(outcome.assigned);
    EXPECT_TRUE(handedOver.has_value());
    const QString error = files.logMessages().last();
    ASSERT_TRUE(error.startsWith("ERROR::SaveNetSettings: ")) << error.toStdString();
    EXPECT_EQ(outcome.message,
              "Ovlix Addess Setup Complete\r\nThe address could not be saved: " + error.mid(24));
}
