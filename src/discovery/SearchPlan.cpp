#include "SearchPlan.h"

#include <algorithm>
#include <QSet>

namespace ovlix {

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
    const auto [first, last] = network.hostRange();
    for (quint64 address = first; address <= last; ++address)
        if (!own.contains(quint32(address)))
            addresses.append(quint32(address));
}

} // namespace

QString addressCount(qsizetype count)
{
    return count == 1 ? QStringLiteral("1 address") : QStringLiteral("%1 addresses").arg(count);
}

SearchPlan planSearch(const QList<Ipv4Network>& requested, const QList<NetworkCard>& cards)
{
    QList<quint32> own;
    QList<Ipv4Network> ownNetworks;
    for (const FacingAddress& facing : facingAddresses(cards))
        if (!facing.address.ip.isLoopback()) {
            own.append(facing.address.ip.toIPv4Address());
            ownNetworks.append(facing.address.network());
        }
    const QList<Ipv4Network> wanted = requested.isEmpty() ? ownNetworks : requested;

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
