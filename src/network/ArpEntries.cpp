#include "ArpEntries.h"

#include "core/CommandRunner.h"
#include "core/EventLog.h"

#include <QNetworkInterface>

namespace ovlix {

QString WindowsNetworkCommands::setArpEntry(const QString& ip, const QString& mac,
                                            const QString& hostIp) const
{
    return QStringLiteral("arp -s ") + ip + QLatin1Char(' ') + mac + QLatin1Char(' ') + hostIp;
}

QString WindowsNetworkCommands::ping(const QString& ip) const
{
    return QStringLiteral("ping ") + ip;
}

LinuxNetworkCommands::LinuxNetworkCommands(InterfaceFinder interfaceOf)
    : interfaceOf_(std::move(interfaceOf))
{
}

QString LinuxNetworkCommands::setArpEntry(const QString& ip, const QString& mac,
                                          const QString& hostIp) const
{
    const QString card = hostIp.isEmpty() ? QString() : interfaceOf_(hostIp);
    const QString choice =
        card.isEmpty() ? QString() : QStringLiteral("-i ") + card + QLatin1Char(' ');
    return QStringLiteral("arp ") + choice + QStringLiteral("-s ") + ip + QLatin1Char(' ') +
           QString(mac).replace(QLatin1Char('-'), QLatin1Char(':'));
}

QString LinuxNetworkCommands::ping(const QString& ip) const
{
    return QStringLiteral("ping -c 4 ") + ip;
}

QString interfaceHolding(const QString& address)
{
    const QHostAddress wanted(address);
    for (const QNetworkInterface& card : QNetworkInterface::allInterfaces())
        for (const QNetworkAddressEntry& entry : card.addressEntries())
            if (entry.ip() == wanted)
                return card.name();
    return {};
}

bool DeleteArpEntry(const EventLog& log, ProcessLauncher& launcher, const QString& ip)
{
    log.WriteLog(QStringLiteral("Delete ARP table"));
    RunApp(log, launcher, NetworkCommands::deleteArpEntry(ip));
    // Only the second command's start decides the result.
    if (RunApp(log, launcher, NetworkCommands::deleteArpEntryBare()))
        return true;
    log.WriteLog(QStringLiteral("ERROR::Delete ARP entry. "));
    return false;
}

bool SetArpEntry(const EventLog& log, ProcessLauncher& launcher, const NetworkCommands& commands,
                 const QString& ip, const QString& mac, const QString& hostIp)
{
    const QString commandLine = commands.setArpEntry(ip, mac, hostIp);
    log.WriteLog(QStringLiteral("Set ARP entry: ") + commandLine);
    if (RunApp(log, launcher, commandLine))
        return true;
    log.WriteLog(QStringLiteral("ERROR::Set ARP entry failed.  "));
    return false;
}

} // namespace ovlix
