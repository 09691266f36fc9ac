#include "WinSockets.h"

#include <winsock2.h>

namespace ovlix::win32 {

namespace {

constexpr WORD kRequestedVersion = 0x0101;
constexpr int kMinimumSockets = 1;

std::string trimmed(const std::string& text)
{
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

} // namespace

SocketsStart startSockets()
{
    WSADATA data{};
    if (WSAStartup(kRequestedVersion, &data) != 0)
        return {SocketsStart::Status::NotResponding, 0, 0};
    const int major = data.wVersion & 0xFF;
    const int minor = (data.wVersion >> 8) & 0xFF;
    SocketsStart::Status status = SocketsStart::Status::Started;
    if (data.iMaxSockets < kMinimumSockets)
        status = SocketsStart::Status::TooFewSockets;
    else if (major < 1 || (major == 1 && minor < 1))
        status = SocketsStart::Status::VersionTooOld;
    if (status != SocketsStart::Status::Started)
        WSACleanup();
    return {status, major, minor};
}

bool stopSockets()
{
    return WSACleanup() == 0;
}

HostName localHostName()
{
    char buffer[256] = {};
    if (gethostname(buffer, sizeof buffer) == SOCKET_ERROR)
        return {{}, WSAGetLastError()};
    buffer[sizeof buffer - 1] = '\0';
    return {trimmed(buffer), 0};
}

std::optional<std::vector<std::vector<std::uint8_t>>> ipv4AddressesOf(const std::string& name)
{
    const hostent* entry = gethostbyname(name.c_str());
    if (!entry)
        return std::nullopt;
    // The entry lives in memory of Windows Sockets: copy the addresses out now.
    std::vector<std::vector<std::uint8_t>> addresses;
    if (entry->h_addrtype == AF_INET && entry->h_length == 4) {
        for (char** item = entry->h_addr_list; *item; ++item)
            addresses.emplace_back(*item, *item + 4);
    }
    return addresses;
}

} // namespace ovlix::win32
