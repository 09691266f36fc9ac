#include "HostAddress.h"

#include "core/EventLog.h"
#include "win32/WinSockets.h"

namespace ovlix {

namespace {

// Starts Windows Sockets and logs why when what was granted is not usable.
bool StartSockets(const EventLog& log)
{
    using Status = win32::SocketsStart::Status;
    const win32::SocketsStart start = win32::startSockets();
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

void StopSockets(const EventLog& log)
{
    if (!win32::stopSockets())
        log.WriteLog(QStringLiteral("Socket error occurred in Cleanup."));
}

} // namespace

HostLookup::HostName SystemHostLookup::hostName()
{
    const win32::HostName host = win32::localHostName();
    return {QString::fromLocal8Bit(host.name.c_str()), host.error};
}

std::optional<QList<QHostAddress>> SystemHostLookup::addressesOf(const QString& name)
{
    const auto found = win32::ipv4AddressesOf(name.toLocal8Bit().toStdString());
    if (!found)
        return std::nullopt;
    QList<QHostAddress> addresses;
    for (const std::vector<std::uint8_t>& bytes : *found)
        addresses.append(QHostAddress((quint32(bytes[0]) << 24) | (quint32(bytes[1]) << 16) |
                                      (quint32(bytes[2]) << 8) | quint32(bytes[3])));
    return addresses;
}

QList<QHostAddress> SystemHostLookup::upInterfaceAddresses()
{
    return {}; // Windows Sockets lists the host's addresses through its name
}

QString GetHostIP(const EventLog& log, HostLookup& lookup)
{
    if (!StartSockets(log))
        return {};
    QString result;
    if (const std::optional<QList<QHostAddress>> named = namedAddresses(log, lookup);
        named && !named->isEmpty())
        result = named->first().toString();
    StopSockets(log);
    return result;
}

} // namespace ovlix
