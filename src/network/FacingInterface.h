#pragma once

#include <optional>
#include <QHostAddress>
#include <QList>
#include <QString>

namespace ovlix {

// One IPv4 address of one of this PC's network cards, with its network.
struct CardAddress {
    QString card; // the interface's name, as Linux arp -i takes it
    QHostAddress address;
    int prefixLength = 0;
    bool loopback = false;
};

// The IPv4 addresses of the cards that are up, in the system's order.
QList<CardAddress> systemCardAddresses();

// The card whose network holds the device's address, and why it was chosen.
struct FacingCard {
    std::optional<CardAddress> card; // never a loopback card
    QString logLine;
};

// The card that packets to the device leave by: among the cards whose network
// holds the address (typed as in the address box, a port allowed), the one
// with the narrowest network. `hostIp` is what is used where none does.
FacingCard cardFacing(const QString& deviceAddress, const QList<CardAddress>& cards,
                      const QString& hostIp);

// Whether the address lies on the network of a card other than loopback.
bool onSomeNetwork(const QString& deviceAddress, const QList<CardAddress>& cards);

// The networks of the cards other than loopback, such as
// "10.0.0.0/24 on eth0, 192.168.1.0/24 on wlan0"; empty when there are none.
QString networksOf(const QList<CardAddress>& cards);

} // namespace ovlix
