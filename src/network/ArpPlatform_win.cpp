#include "ArpEntries.h"

#include <windows.h>

namespace ovlix {

const NetworkCommands& systemNetworkCommands()
{
    static const WindowsNetworkCommands commands;
    return commands;
}

// Since Vista, arp -s is refused to a program that is not elevated.
bool mayChangeArpTable()
{
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
        return false;
    TOKEN_ELEVATION elevation{};
    DWORD size = 0;
    const bool known =
        GetTokenInformation(token, TokenElevation, &elevation, sizeof elevation, &size);
    CloseHandle(token);
    return known && elevation.TokenIsElevated != 0;
}

} // namespace ovlix
