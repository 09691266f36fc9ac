#include "network/FacingInterface.h"

#include <gtest/gtest.h>

using namespace ovlix;

namespace {

// A PC with loopback, a cable on 192.168.1.0/24 and Wi-Fi on 10.0.0.0/16,
// within which a virtual machine's adapter has 10.0.5.0/24.
const QList<CardAddress> kCards{
    {"lo", QHostAddress("127.0.0.1"), 8, true},
    {"eth0", QHostAddress("192.168.1.10"), 24, false},
    {"wlan0", QHostAddress("10.0.0.2"), 16, false},
    {"vboxnet0", QHostAddress("10.0.5.1"), 24, false},
};

} // namespace

TEST(CardFacing, PicksTheCardWhoseNetworkHoldsTheAddressAndSaysWhy)
{
    const struct {
        QString typed;
        QString card; // empty: none faces
        QString logLine;
    } cases[] = {
        {"192.168.1.250", "eth0",
         "Network card eth0 (192.168.1.10) faces 192.168.1.250: its network 192.168.1.0/24 "
         "holds it"},
        {"10.0.7.9", "wlan0",
         "Network card wlan0 (10.0.0.2) faces 10.0.7.9: its network 10.0.0.0/16 holds it"},
        // The narrower network wins, as the PC's routing would have it.
        {"10.0.5.20:8080", "vboxnet0",
         "Network card vboxnet0 (10.0.5.1) faces 10.0.5.20:8080: its network 10.0.5.0/24 holds "
         "it"},
        {"172.16.0.5", "",
         "No network card has 172.16.0.5 on its network; the host address 192.168.1.10 is used"},
        // Loopback never faces a device, and text that is no address faces nothing.
        {"127.0.0.1:9", "",
         "No network card has 127.0.0.1:9 on its network; the host address 192.168.1.10 is used"},
        {"ovlix.local", "",
         "No network card has ovlix.local on its network; the host address 192.168.1.10 is used"},
    };
    for (const auto& c : cases) {
        const FacingCard facing = cardFacing(c.typed, kCards, "192.168.1.10");
        EXPECT_EQ(facing.card ? facing.card->card : QString(), c.card) << c.typed.toStdString();
        EXPECT_EQ(facing.logLine, c.logLine);
    }
    EXPECT_EQ(cardFacing("172.16.0.5", kCards, "").logLine,
              "No network card has 172.16.0.5 on its network; no host address is known either");
    EXPECT_FALSE(onSomeNetwork("127.0.0.1:9", kCards));
    EXPECT_TRUE(onSomeNetwork("10.0.5.20:8080", kCards));
    EXPECT_FALSE(onSomeNetwork("172.16.0.5", kCards));
    EXPECT_EQ(networksOf(kCards),
              "192.168.1.0/24 on eth0, 10.0.0.0/16 on wlan0, 10.0.5.0/24 on vboxnet0");
}
