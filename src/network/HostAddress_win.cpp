#include "HostAddress.h"

#include "win32/WinSockets.h"

namespace ovlix {

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

win32::SocketsStart SystemHostLookup::startSockets()
{
    return win32::startSockets();
}

bool SystemHostLookup::stopSockets()
{
    return win32::stopSockets();
}

} // namespace ovlix
