#pragma once

#include "network/NetworkCards.h"

#include <optional>
#include <QList>
#include <QString>

namespace ovlix {

// A search sweeps at most this many addresses per network; a larger network
// is cut to the /24 that holds the PC's own address.
inline constexpr quint64 kLargestSearchedNetwork = 1024;

struct SearchedNetwork {
    Ipv4Network network;
    // The network asked for, when it was larger than a search may sweep.
    std::optional<Ipv4Network> cutFrom;
};

// What one search sweeps.
struct SearchPlan {
    QList<SearchedNetwork> networks;
    // In network order; never a network's own or broadcast address, nor the PC's.
    QList<quint32> addresses;

    // "10.0.5.0/24 (cut from 10.0.0.0/16), 192.168.1.0/24", or "no network".
    QString networksText() const;
};

// "1 address", "253 addresses": a count as the search's texts give it.
QString addressCount(qsizetype count);

// The networks asked for, or when none is, the networks of the cards that face
// devices; each cut to size and listed once.
SearchPlan planSearch(const QList<Ipv4Network>& requested, const QList<NetworkCard>& cards);

} // namespace ovlix
