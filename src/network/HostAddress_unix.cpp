#include "HostAddress.h"

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

} // namespace ovlix
