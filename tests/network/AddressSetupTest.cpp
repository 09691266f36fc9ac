#include "network/AddressSetup.h"
#include "device/QtHttpFetcher.h"
#include "DeviceSimulator.h"
#include "network/ArpEntries.h"
#include "support/ScriptedServer.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace ovlix;
using namespace ovlix::test;

TEST(AddressSetup, ProbesUntilTheDeviceAnswersOrTheWaitIsOverAndSaysWhy)
{
    DeviceSimulator device;
    ASSERT_TRUE(device.listen());
    const QString answering = QStringLiteral("127.0.0.1:%1").arg(device.port());
    const QString refusing = ScriptedServer::refusingAddress();
    const QString refusalText = "OvlixSetup may not change the ARP table.";
    const struct {
        QString ip;
        QString refusal;
        AddressSetup::Result result;
        QString message;
        QStringList stages;
    } cases[] = {
        {answering,
         "",
         AddressSetup::Result::Done,
         "",
         {"static ARP entry for " + answering + " set (host address 192.168.1.10), ping started",
          "probe 1: version 2.1a; settings saved"}},
        {refusing,
         "",
         AddressSetup::Result::NoAnswer,
         // Loopback faces no device, whatever answers there.
         "The address " + refusing +
             " is on none of this PC's networks (it has none but "
             "loopback).",
         {"static ARP entry for " + refusing + " set (host address 192.168.1.10), ping started",
          "probe 1: the connection was refused"}},
        {answering, refusalText, AddressSetup::Result::NotAllowed, refusalText, {}},
    };
    for (const auto& c : cases) {
        FilesFolder files;
        RecordingLauncher launcher;
        WindowsNetworkCommands windows;
        FixedHostLookup hosts;
        QtHttpFetcher inet{FetchLimits{std::chrono::milliseconds(1000)}};
        AddressSetup setup({files.log(), launcher, windows, inet, [&c] { return c.refusal; },
                            files.path("netset"),
                            [] {
                                return QList<CardAddress>{{"lo", QHostAddress::LocalHost, 8, true}};
                            }},
                           hosts, std::chrono::milliseconds(900));
        QStringList stages;
        std::optional<AddressSetup::Outcome> outcome;
        setup.run(
            c.ip, "00-03-75-aa-bb-cc",
            [&stages](std::chrono::milliseconds, const QString& what) { stages.append(what); },
            [&outcome](AddressSetup::Outcome o) { outcome = o; });
        ASSERT_TRUE(waitUntil([&] { return outcome.has_value(); })) << c.ip.toStdString();
        EXPECT_EQ(outcome->result, c.result) << c.ip.toStdString();
        EXPECT_EQ(outcome->message, c.message);
        EXPECT_EQ(stages, c.stages);
        const QString set = "arp -s " + c.ip + " 00-03-75-aa-bb-cc 192.168.1.10";
        switch (c.result) {
        case AddressSetup::Result::Done:
            EXPECT_EQ(launcher.commandLines,
                      (QStringList{"arp -d " + c.ip, "arp -d ", set, "ping " + c.ip, set}));
            EXPECT_EQ(files.read("netset"),
                      "lastip, " + c.ip.toLatin1() + "\r\nlastmac, 00-03-75-aa-bb-cc\r\n");
            break;
        case AddressSetup::Result::NoAnswer:
            // The entry is set again for each probe, a quarter second apart.
            EXPECT_GE(launcher.commandLines.count(set), 4);
            EXPECT_EQ(files.logMessages().last(), c.message);
            EXPECT_FALSE(QFile::exists(files.path("netset")));
            break;
        case AddressSetup::Result::NotAllowed:
            EXPECT_TRUE(launcher.commandLines.isEmpty());
            EXPECT_EQ(files.logMessages(), QStringList{refusalText});
            break;
        }
    }

    EXPECT_EQ(macAddressForArp("00:03:75:AA:bb:cc"), "00-03-75-AA-bb-cc");
    EXPECT_EQ(macAddressForArp("00-03-75-10-01-55"), "00-03-75-10-01-55");
    for (const char* wrong :
         {"00-03-75-10-01", "00-03-75-10-01-55-66", "00:03-75:10:01:55", "00-03-75-10-01-5g", ""})
        EXPECT_EQ(macAddressForArp(wrong), std::nullopt) << wrong;
}
