#include "ArpEntries.h"

#include <QCoreApplication>
#include <windows.h>

namespace ovlix {

const NetworkCommands& systemNetworkCommands()
{
    static const WindowsNetworkCommands commands;
    return commands;
}

namespace {

// Since Vista, arp -s is refused to a program that is not elevated.
bool isElevated()
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

} // namespace

QString arpTableRefusal()
{
    if (isElevated())
        return {};
    // Said by OvlixSetup and by ovlix alike.
    return QStringLiteral("%1 is not allowed to change the ARP table of this computer, which "
                          "giving the device its address needs. Start %1 with "
                          "\"Run as administrator\" and try again.")
        .arg(QCoreApplication::applicationName());
}

} // namespace ovlix
