#pragma once

#include "ArpEntries.h"
#include "NetworkCards.h"

#include <QList>
#include <QString>

namespace ovlix {

// The card that the ARP entry for the device is set on, and why it was chosen.
struct FacingCard {
    ArpCard card;
    QString logLine;
};

// The card that packets to the device leave by: among the cards whose network
// holds the address (typed as in the address box, a port allowed), the one
// with the narrowest network. Where none does, the card that holds `hostIp`,
// the PC's address found at load, with that address.
FacingCard cardFacing(const QString& deviceAddress, const QList<NetworkCard>& cards,
                      const QString& hostIp);

// Whether the address lies on the network of a card that faces devices.
bool onSomeNetwork(const QString& deviceAddress, const QList<NetworkCard>& cards);

// The networks of the cards that face devices, such as
// "10.0.0.0/24 on eth0, 192.168.1.0/24 on wlan0"; empty when there are none.
QString networksOf(const QList<NetworkCard>& cards);

} // namespace ovlix
