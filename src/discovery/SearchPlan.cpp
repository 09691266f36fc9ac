#include "SearchPlan.h"

#include "network/FacingInterface.h"

#include <algorithm>
#include <QSet>

namespace ovlix {

namespace {

quint32 maskOf(int prefixLength)
{
    return prefixLength == 0 ? 0 : ~quint32(0) << (32 - prefixLength);
}

} // namespace

std::optional<Ipv4Network> Ipv4Network::parse(const QString& cidr)
{
    const QStringList parts = cidr.trimmed().split(QLatin1Char('/'));
    if (parts.size() != 2)
        return std::nullopt;
    bool prefixOk = false;
    const int prefixLength = parts[1].toInt(&prefixOk);
    const QHostAddress address(parts[0]);
    // QHostAddress also takes "10.1" and a bare number; only the dotted quad is meant.
    if (!prefixOk || prefixLength < 0 || prefixLength > 32 ||
        address.protocol() != QAbstractSocket::IPv4Protocol || parts[0].count(u'.') != 3)
        return std::nullopt;
    return holding(address.toIPv4Address(), prefixLength);
}

Ipv4Network Ipv4Network::holding(quint32 address, int prefixLength)
{
    return {address & maskOf(prefixLength), prefixLength};
}

bool Ipv4Network::contains(quint32 address) const
{
    return (address & maskOf(prefixLength)) == base;
}

QString Ipv4Network::toString() const
{
    return QHostAddress(base).toString() + QLatin1Char('/') + QString::number(prefixLength);
}

QString SearchPlan::networksText() const
{
    if (networks.isEmpty())
        return QStringLiteral("no network");
    QStringList texts;
    for (const SearchedNetwork& searched : networks) {
        texts.append(searched.network.toString());
        if (searched.cutFrom)
            texts.last() +=
                QStringLiteral(" (cut from ") + searched.cutFrom->toString() + QLatin1Char(')');
    }
    return texts.join(QStringLiteral(", "));
}

QList<QNetworkAddressEntry> localIpv4Entries()
{
    QList<QNetworkAddressEntry> entries;
    for (const CardAddress& card : systemCardAddresses()) {
        if (card.loopback || card.address.isLoopback())
            continue;
        QNetworkAddressEntry entry;
        entry.setIp(card.address);
        entry.setPrefixLength(card.prefixLength); // -1, an unknown netmask, stays -1
        entries.append(entry);
    }
    return entries;
}

namespace {

// The /24 of the network that holds one of the PC's addresses, else its first.
Ipv4Network cutToSize(const Ipv4Network& network, const QList<quint32>& own)
{
    for (quint32 address : own)
        if (network.contains(address))
            return Ipv4Network::holding(address, 24);
    return {network.base, 24};
}

// Every address but the network's own and its broadcast address, which a
// network of one or two addresses does not have.
void appendHostAddresses(const Ipv4Network& network, const QSet<quint32>& own,
                         QList<quint32>& addresses)
{
    const quint64 size = network.size();
    const quint64 first = size > 2 ? 1 : 0;
    const quint64 last = size > 2 ? size - 2 : size - 1;
    for (quint64 offset = first; offset <= last; ++offset) {
        const quint32 address = network.base + quint32(offset);
        if (!own.contains(address))
            addresses.append(address);
    }
}

} // namespace

QString addressCount(qsizetype count)
{
    return count == 1 ? QStringLiteral("1 address") : QStringLiteral("%1 addresses").arg(count);
}

SearchPlan planSearch(const QList<Ipv4Network>& requested, const QList<QNetworkAddressEntry>& local)
{
    QList<quint32> own;
    for (const QNetworkAddressEntry& entry : local)
        own.append(entry.ip().toIPv4Address());
    QList<Ipv4Network> wanted = requested;
    if (wanted.isEmpty())
        for (const QNetworkAddressEntry& entry : local)
            // The system may not know an address's netmask (-1).
            if (entry.prefixLength() >= 0 && entry.prefixLength() <= 32)
                wanted.append(
                    Ipv4Network::holding(entry.ip().toIPv4Address(), entry.prefixLength()));

    // Two interfaces on one network, or a network inside another asked for,
    // are swept once.
    const auto within = [](const SearchedNetwork& inner, const SearchedNetwork& outer) {
        return outer.network.prefixLength <= inner.network.prefixLength &&
               outer.network.contains(inner.network.base);
    };
    SearchPlan plan;
    for (const Ipv4Network& network : wanted) {
        SearchedNetwork searched{network, std::nullopt};
        if (network.size() > kLargestSearchedNetwork)
            searched = {cutToSize(network, own), network};
        if (std::ranges::any_of(plan.networks,
                                [&](const auto& listed) { return within(searched, listed); }))
            continue;
        plan.networks.removeIf([&](const auto& listed) { return within(listed, searched); });
        plan.networks.append(searched);
    }
    const QSet<quint32> ownSet(own.begin(), own.end());
    for (const SearchedNetwork& searched : plan.networks)
        appendHostAddresses(searched.network, ownSet, plan.addresses);
    return plan;
}

} // namespace ovlix
