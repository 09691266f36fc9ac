#pragma once

// Windows Sockets 1.1 as the host address lookup uses it. Windows only, and
// free of Qt so that it builds and is tested with a plain cross compiler.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace ovlix::win32 {

struct SocketsStart {
    enum class Status { Started, NotResponding, TooFewSockets, VersionTooOld };
    Status status = Status::NotResponding;
    int major = 0; // the version granted
    int minor = 0;
};

// WSAStartup for version 1.1 and the checks on what was granted. When a check
// fails, the use that WSAStartup began is ended again before returning.
SocketsStart startSockets();

// WSACleanup; false when it reports a failure.
bool stopSockets();

struct HostName {
    std::string name; // without leading and trailing blanks
    int error = 0;    // WSAGetLastError() when gethostname failed
};

HostName localHostName();

// The IPv4 addresses that gethostbyname lists for the name, in its order, as
// the four bytes of each in network order; nothing when it has no entry.
std::optional<std::vector<std::vector<std::uint8_t>>> ipv4AddressesOf(const std::string& name);

} // namespace ovlix::win32
