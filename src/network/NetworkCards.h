#pragma once

#include <functional>
#include <optional>
#include <QHostAddress>
#include <QList>
#include <QString>

namespace ovlix {

// An IPv4 network: its own (first) address and its prefix length.
struct Ipv4Network {
    quint32 base = 0;
    int prefixLength = 32;

    // "10.0.0.0/24"; a host address with a prefix ("10.0.0.7/24") names its
    // network. Nothing for any other text.
    static std::optional<Ipv4Network> parse(const QString& cidr);
    static Ipv4Network holding(quint32 address, int prefixLength);

    quint64 size() const { return quint64(1) << (32 - prefixLength); }
    quint32 broadcast() const { return base + quint32(size() - 1); }
    bool contains(quint32 address) const;
    // The first and last address a host may have: all but the network's own
    // and its broadcast address, which a /31 or /32 does not have.
    std::pair<quint32, quint32> hostRange() const;
    QString toString() const;
    friend bool operator==(const Ipv4Network&, const Ipv4Network&) = default;
};

// One IPv4 address of a network card, on its network.
struct CardAddress {
    QHostAddress ip;
    int prefixLength = 32;

    Ipv4Network network() const { return Ipv4Network::holding(ip.toIPv4Address(), prefixLength); }
};

// One of this PC's network cards.
struct NetworkCard {
    QString name;                 // as Linux arp -i takes it
    QList<CardAddress> addresses; // IPv4 only, in the system's order
    bool up = true;
    bool loopback = false;

    // Packets to a device may leave by it: nothing typed reaches one through loopback.
    bool facesDevices() const { return up && !loopback; }
};

// What lists this PC's cards: the system, or a fixed list in tests.
using NetworkCards = std::function<QList<NetworkCard>()>;

// This PC's cards, up or not, in the system's order.
QList<NetworkCard> systemNetworkCards();

// An address of a card that faces devices.
struct FacingAddress {
    QString card;
    CardAddress address;
};

// Every address of the cards that face devices, in the system's order.
QList<FacingAddress> facingAddresses(const QList<NetworkCard>& cards);

} // namespace ovlix
