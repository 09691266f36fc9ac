// Runs on Windows (or under Wine) without Qt or GoogleTest. Only "localhost"
// is resolved, from the hosts file: no name server is asked.

#include "network/win32/WinSockets.h"

#include "Check.h"

using namespace ovlix::win32;

int main()
{
    ovlix::win32::test::Checks check;
    const SocketsStart start = startSockets();
    check(start.status == SocketsStart::Status::Started, "Windows Sockets 1.1 starts");
    check(start.major == 1 && start.minor == 1, "version 1.1 is granted");

    const HostName host = localHostName();
    check(host.error == 0 && !host.name.empty(), "the host has a name");
    check(host.name.front() != ' ' && host.name.back() != ' ', "the name has no outer blanks");

    const auto loopback = ipv4AddressesOf("localhost");
    bool found = false;
    if (loopback) {
        for (const auto& bytes : *loopback)
            found = found || (bytes.size() == 4 && bytes[0] == 127 && bytes[1] == 0 &&
                              bytes[2] == 0 && bytes[3] == 1);
    }
    check(found, "localhost resolves to 127.0.0.1");

    check(stopSockets(), "Windows Sockets stops again");

    return check.summary();
}
