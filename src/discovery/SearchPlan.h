#pragma once

#include <optional>
#include <QList>
#include <QNetworkAddressEntry>
#include <QString>

namespace ovlix {

// An IPv4 network: its first address and its prefix length.
struct Ipv4Network {
    quint32 base = 0;
    int prefixLength = 32;

    // "10.0.0.0/24"; a host address with a prefix ("10.0.0.7/24") names its
    // network. Nothing for any other text.
    static std::optional<Ipv4Network> parse(const QString& cidr);
    static Ipv4Network holding(quint32 address, int prefixLength);

    quint64 size() const { return quint64(1) << (32 - prefixLength); }
    bool contains(quint32 address) const;
    QString toString() const;
    friend bool operator==(const Ipv4Network&, const Ipv4Network&) = default;
};

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

// This PC's IPv4 addresses, each with its network's prefix, on the interfaces
// that are up and not loopback.
QList<QNetworkAddressEntry> localIpv4Entries();

// The networks asked for, or when none is, the networks of the PC's own
// addresses; each cut to size and listed once.
SearchPlan planSearch(const QList<Ipv4Network>& requested,
                      const QList<QNetworkAddressEntry>& local);

} // namespace ovlix
