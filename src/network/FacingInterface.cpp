#include "FacingInterface.h"

#include <algorithm>
#include <QNetworkInterface>
#include <QStringList>
#include <QUrl>

namespace ovlix {

QList<CardAddress> systemCardAddresses()
{
    QList<CardAddress> addresses;
    for (const QNetworkInterface& card : QNetworkInterface::allInterfaces()) {
        if (!card.flags().testFlag(QNetworkInterface::IsUp))
            continue;
        for (const QNetworkAddressEntry& entry : card.addressEntries())
            if (entry.ip().protocol() == QAbstractSocket::IPv4Protocol)
                addresses.append({card.name(), entry.ip(), entry.prefixLength(),
                                  card.flags().testFlag(QNetworkInterface::IsLoopBack)});
    }
    return addresses;
}

namespace {

// The address part of what was typed: "10.0.0.5:8080" is 10.0.0.5.
QHostAddress hostOf(const QString& deviceAddress)
{
    const QHostAddress host(QUrl(QStringLiteral("http://") + deviceAddress).host());
    return host.protocol() == QAbstractSocket::IPv4Protocol ? host : QHostAddress();
}

// Loopback never faces a device: nothing typed reaches one through it.
bool holds(const CardAddress& card, const QHostAddress& host)
{
    return !card.loopback && !host.isNull() && host.isInSubnet(card.address, card.prefixLength);
}

QString networkText(const CardAddress& card)
{
    const QHostAddress network(card.address.toIPv4Address() &
                               (card.prefixLength == 0 ? 0u : ~0u << (32 - card.prefixLength)));
    return network.toString() + QLatin1Char('/') + QString::number(card.prefixLength);
}

} // namespace

FacingCard cardFacing(const QString& deviceAddress, const QList<CardAddress>& cards,
                      const QString& hostIp)
{
    const QHostAddress host = hostOf(deviceAddress);
    std::optional<CardAddress> best;
    for (const CardAddress& card : cards)
        if (holds(card, host) && (!best || card.prefixLength > best->prefixLength))
            best = card;
    if (best)
        return {best,
                QStringLiteral("Network card %1 (%2) faces %3: its network %4 holds it")
                    .arg(best->card, best->address.toString(), deviceAddress, networkText(*best))};
    const QString none =
        QStringLiteral("No network card has %1 on its network; ").arg(deviceAddress);
    return {std::nullopt, hostIp.isEmpty()
                              ? none + QStringLiteral("no host address is known either")
                              : none + QStringLiteral("the host address %1 is used").arg(hostIp)};
}

bool onSomeNetwork(const QString& deviceAddress, const QList<CardAddress>& cards)
{
    const QHostAddress host = hostOf(deviceAddress);
    return std::any_of(cards.begin(), cards.end(),
                       [&host](const CardAddress& card) { return holds(card, host); });
}

QString networksOf(const QList<CardAddress>& cards)
{
    QStringList networks;
    for (const CardAddress& card : cards)
        if (!card.loopback)
            networks.append(networkText(card) + QStringLiteral(" on ") + card.card);
    return networks.join(QStringLiteral(", "));
}

} // namespace ovlix
