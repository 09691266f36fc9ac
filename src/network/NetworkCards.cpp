#include "NetworkCards.h"

#include <QNetworkInterface>
#include <QStringList>

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

std::pair<quint32, quint32> Ipv4Network::hostRange() const
{
    if (size() <= 2)
        return {base, broadcast()};
    return {base + 1, broadcast() - 1};
}

QString Ipv4Network::toString() const
{
    return QHostAddress(base).toString() + QLatin1Char('/') + QString::number(prefixLength);
}

QList<NetworkCard> systemNetworkCards()
{
    QList<NetworkCard> cards;
    for (const QNetworkInterface& listed : QNetworkInterface::allInterfaces()) {
        NetworkCard card{listed.name(),
                         {},
                         listed.flags().testFlag(QNetworkInterface::IsUp),
                         listed.flags().testFlag(QNetworkInterface::IsLoopBack)};
        for (const QNetworkAddressEntry& entry : listed.addressEntries())
            if (entry.ip().protocol() == QAbstractSocket::IPv4Protocol)
                // A netmask the system does not know (-1) leaves the address a
                // network of its own.
                card.addresses.append(
                    {entry.ip(), entry.prefixLength() < 0 ? 32 : entry.prefixLength()});
        cards.append(card);
    }
    return cards;
}

QList<FacingAddress> facingAddresses(const QList<NetworkCard>& cards)
{
    QList<FacingAddress> addresses;
    for (const NetworkCard& card : cards)
        if (card.facesDevices())
            for (const CardAddress& address : card.addresses)
                addresses.append({card.name, address});
    return addresses;
}

} // namespace ovlix
