#include "HostAddress.h"

#include "core/EventLog.h"
#include "FacingInterface.h"

#include <cerrno>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace ovlix {

HostLookup::HostName SystemHostLookup::hostName()
{
    char buffer[256] = {};
    if (gethostname(buffer, sizeof buffer - 1) != 0)
        return {{}, errno};
    return {QString::fromLocal8Bit(buffer).trimmed(), 0};
}

std::optional<QList<QHostAddress>> SystemHostLookup::addressesOf(const QString& name)
{
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(name.toLocal8Bit().constData(), nullptr, &hints, &found) != 0 || !found)
        return std::nullopt;
    QList<QHostAddress> addresses;
    for (const addrinfo* entry = found; entry; entry = entry->ai_next)
        addresses.append(QHostAddress(entry->ai_addr));
    freeaddrinfo(found);
    return addresses;
}

QList<QHostAddress> SystemHostLookup::upInterfaceAddresses()
{
    QList<QHostAddress> addresses;
    for (const CardAddress& card : systemCardAddresses())
        addresses.append(card.address);
    return addresses;
}

namespace {

std::optional<QString> firstNotLoopback(const QList<QHostAddress>& addresses)
{
    for (const QHostAddress& address : addresses)
        if (!address.isLoopback())
            return address.toString();
    return std::nullopt;
}

} // namespace

QString GetHostIP(const EventLog& log, HostLookup& lookup)
{
    // A name that does not resolve leaves the address unknown, as on Windows.
    const std::optional<QList<QHostAddress>> named = namedAddresses(log, lookup);
    if (!named)
        return {};
    // Debian maps the host name to 127.0.1.1, which is no use as the interface
    // of an ARP entry: look further, and never settle for loopback.
    if (std::optional<QString> address = firstNotLoopback(*named))
        return *address;
    if (std::optional<QString> address = firstNotLoopback(lookup.upInterfaceAddresses()))
        return *address;
    // Otherwise the host box stays empty without a word of why.
    log.WriteLog(QStringLiteral("GetHostIP: no address of this PC but loopback"));
    return {};
}

} // namespace ovlix
