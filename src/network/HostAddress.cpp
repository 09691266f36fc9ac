#include "HostAddress.h"

#include "core/EventLog.h"

namespace ovlix {

namespace {

// Logs why when the sockets that were granted are not usable.
bool StartSockets(const EventLog& log, HostLookup& lookup)
{
    using Status = win32::SocketsStart::Status;
    const win32::SocketsStart start = lookup.startSockets();
    switch (start.status) {
    case Status::Started:
        return true;
    case Status::NotResponding:
        log.WriteLog(QStringLiteral("Windows Socket is not responding."));
        break;
    case Status::TooFewSockets:
        log.WriteLog(QStringLiteral("ERROR::This application requires a minimum of ") +
                     QStringLiteral("1") + QStringLiteral(" supported sockets."));
        break;
    case Status::VersionTooOld:
        log.WriteLog(QStringLiteral("Sockets version ") + QString::number(start.major) +
                     QLatin1Char('.') + QString::number(start.minor) +
                     QStringLiteral(" is not supported by 32-bit Windows Sockets."));
        break;
    }
    return false;
}

void StopSockets(const EventLog& log, HostLookup& lookup)
{
    if (!lookup.stopSockets())
        log.WriteLog(QStringLiteral("Socket error occurred in Cleanup."));
}

// The addresses that the resolver lists for this machine's name; nothing, with
// the documented line logged, when the name or its entry could not be had.
std::optional<QList<QHostAddress>> namedAddresses(const EventLog& log, HostLookup& lookup)
{
    const HostLookup::HostName host = lookup.hostName();
    if (host.error != 0) {
        log.WriteLog(QStringLiteral("ERROR::Windows Sockets error ") + QString::number(host.error) +
                     QStringLiteral(" has occurred. Unable to successfully get Host Name."));
        return std::nullopt;
    }
    std::optional<QList<QHostAddress>> found = lookup.addressesOf(host.name);
    if (!found)
        log.WriteLog(QStringLiteral("ERROR::Windows Sockets are not responding. ") +
                     QStringLiteral("Unable to successfully get Host Name."));
    return found;
}

std::optional<QString> firstNotLoopback(const QList<QHostAddress>& addresses)
{
    for (const QHostAddress& address : addresses)
        if (!address.isLoopback())
            return address.toString();
    return std::nullopt;
}

QString chosenAddress(const EventLog& log, HostLookup& lookup, const QList<NetworkCard>& cards)
{
    const std::optional<QList<QHostAddress>> named = namedAddresses(log, lookup);
    if (!named)
        return {};
    if (lookup.takesFirstNamedAddress())
        return named->isEmpty() ? QString() : named->first().toString();
    if (std::optional<QString> address = firstNotLoopback(*named))
        return *address;
    QList<QHostAddress> cardAddresses;
    for (const FacingAddress& facing : facingAddresses(cards))
        cardAddresses.append(facing.address.ip);
    if (std::optional<QString> address = firstNotLoopback(cardAddresses))
        return *address;
    // Otherwise the host box stays empty without a word of why.
    log.WriteLog(QStringLiteral("GetHostIP: no address of this PC but loopback"));
    return {};
}

} // namespace

QString GetHostIP(const EventLog& log, HostLookup& lookup, const QList<NetworkCard>& cards)
{
    if (!StartSockets(log, lookup))
        return {};
    QString address = chosenAddress(log, lookup, cards);
    StopSockets(log, lookup);
    return address;
}

} // namespace ovlix
