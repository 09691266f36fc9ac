#include "FacingInterface.h"

#include <QStringList>
#include <QUrl>

namespace ovlix {

namespace {

// The address part of what was typed: "10.0.0.5:8080" is 10.0.0.5.
std::optional<quint32> hostOf(const QString& deviceAddress)
{
    const QHostAddress host(QUrl(QStringLiteral("http://") + deviceAddress).host());
    if (host.protocol() != QAbstractSocket::IPv4Protocol)
        return std::nullopt;
    return host.toIPv4Address();
}

// The address whose network holds the host, the narrowest first.
std::optional<FacingAddress> narrowestHolding(const QList<NetworkCard>& cards, const QString& typed)
{
    const std::optional<quint32> host = hostOf(typed);
    std::optional<FacingAddress> best;
    for (const FacingAddress& facing : facingAddresses(cards))
        if (host && facing.address.network().contains(*host) &&
            (!best || facing.address.prefixLength > best->address.prefixLength))
            best = facing;
    return best;
}

} // namespace

FacingCard cardFacing(const QString& deviceAddress, const QList<NetworkCard>& cards,
                      const QString& hostIp)
{
    if (const std::optional<FacingAddress> best = narrowestHolding(cards, deviceAddress)) {
        const QString address = best->address.ip.toString();
        return {{best->card, address},
                QStringLiteral("Network card %1 (%2) faces %3: its network %4 holds it")
                    .arg(best->card, address, deviceAddress, best->address.network().toString())};
    }
    ArpCard holdingHostIp{{}, hostIp};
    for (const FacingAddress& facing : facingAddresses(cards))
        if (holdingHostIp.name.isEmpty() && facing.address.ip == QHostAddress(hostIp))
            holdingHostIp.name = facing.card;
    const QString none =
        QStringLiteral("No network card has %1 on its network; ").arg(deviceAddress);
    return {holdingHostIp, hostIp.isEmpty()
                               ? none + QStringLiteral("no host address is known either")
                               : none + QStringLiteral("the host address %1 is used").arg(hostIp)};
}

bool onSomeNetwork(const QString& deviceAddress, const QList<NetworkCard>& cards)
{
    return narrowestHolding(cards, deviceAddress).has_value();
}

QString networksOf(const QList<NetworkCard>& cards)
{
    QStringList networks;
    for (const FacingAddress& facing : facingAddresses(cards))
        networks.append(facing.address.network().toString() + QStringLiteral(" on ") + facing.card);
    return networks.join(QStringLiteral(", "));
}

} // namespace ovlix
