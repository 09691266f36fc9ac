#include "HostAddress.h"

#include "core/EventLog.h"

#include <cstring>
#include <winsock2.h>

namespace ovlix {

static constexpr WORD kRequestedVersion = 0x0101;
static constexpr int kMinimumSockets = 1;

// Starts Windows Sockets and checks that what was granted is usable.
static bool StartSockets(const EventLog& log)
{
    WSADATA data{};
    if (WSAStartup(kRequestedVersion, &data) != 0) {
        log.WriteLog(QStringLiteral("Windows Socket is not responding."));
        return false;
    }
    if (data.iMaxSockets < kMinimumSockets) {
        log.WriteLog(QStringLiteral("ERROR::This application requires a minimum of ") +
                     QString::number(kMinimumSockets) + QStringLiteral(" supported sockets."));
        WSACleanup();
        return false;
    }
    const int major = data.wVersion & 0xFF;
    const int minor = (data.wVersion >> 8) & 0xFF;
    if (major < 1 || (major == 1 && minor < 1)) {
        log.WriteLog(QStringLiteral("Sockets version ") + QString::number(major) +
                     QLatin1Char('.') + QString::number(minor) +
                     QStringLiteral(" is not supported by 32-bit Windows Sockets."));
        WSACleanup();
        return false;
    }
    return true;
}

static void StopSockets(const EventLog& log)
{
    if (WSACleanup() != 0)
        log.WriteLog(QStringLiteral("Socket error occurred in Cleanup."));
}

HostLookup::HostName SystemHostLookup::hostName()
{
    char buffer[256] = {};
    if (gethostname(buffer, sizeof buffer) == SOCKET_ERROR)
        return {{}, WSAGetLastError()};
    return {QString::fromLocal8Bit(buffer).trimmed(), 0};
}

std::optional<QList<QHostAddress>> SystemHostLookup::addressesOf(const QString& name)
{
    const hostent* entry = gethostbyname(name.toLocal8Bit().constData());
    if (!entry)
        return std::nullopt;
    // The entry lives in memory of Windows Sockets: copy the addresses out now.
    QList<QHostAddress> addresses;
    if (entry->h_addrtype == AF_INET && entry->h_length == 4) {
        for (char** item = entry->h_addr_list; *item; ++item) {
            in_addr address{};
            std::memcpy(&address, *item, sizeof address);
            addresses.append(QHostAddress(ntohl(address.s_addr)));
        }
    }
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
    const HostLookup::HostName host = lookup.hostName();
    if (host.error != 0) {
        log.WriteLog(hostNameFailedLine(host.error));
    } else if (std::optional<QList<QHostAddress>> found = lookup.addressesOf(host.name)) {
        if (!found->isEmpty())
            result = found->first().toString();
    } else {
        log.WriteLog(noHostEntryLine());
    }
    StopSockets(log);
    return result;
}

} // namespace ovlix
