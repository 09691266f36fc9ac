#include "ArpEntries.h"

#include "core/CommandRunner.h"
#include "core/EventLog.h"

#include <QCoreApplication>

namespace ovlix {

QString WindowsNetworkCommands::setArpEntry(const QString& ip, const QString& mac,
                                            const ArpCard& card) const
{
    return QStringLiteral("arp -s ") + ip + QLatin1Char(' ') + mac + QLatin1Char(' ') +
           card.address;
}

QString WindowsNetworkCommands::ping(const QString& ip) const
{
    return QStringLiteral("ping ") + ip;
}

QString LinuxNetworkCommands::setArpEntry(const QString& ip, const QString& mac,
                                          const ArpCard& card) const
{
    const QString choice =
        card.name.isEmpty() ? QString() : QStringLiteral("-i ") + card.name + QLatin1Char(' ');
    return QStringLiteral("arp ") + choice + QStringLiteral("-s ") + ip + QLatin1Char(' ') +
           QString(mac).replace(QLatin1Char('-'), QLatin1Char(':'));
}

QString LinuxNetworkCommands::ping(const QString& ip) const
{
    return QStringLiteral("ping -c 4 ") + ip;
}

QString arpTableRefusal()
{
    if (mayChangeArpTable())
        return {};
#ifdef Q_OS_WIN
    const QString startWithRights = QStringLiteral("with \"Run as administrator\"");
#else
    const QString startWithRights = QStringLiteral("as root");
#endif
    return QStringLiteral("%1 is not allowed to change the ARP table of this computer, which "
                          "giving the device its address needs. Start %1 %2 and try again.")
        .arg(QCoreApplication::applicationName(), startWithRights);
}

bool DeleteArpEntry(const EventLog& log, ProcessLauncher& launcher, const QString& ip)
{
    log.WriteLog(QStringLiteral("Delete ARP table"));
    RunApp(log, launcher, NetworkCommands::deleteArpEntry(ip));
    // Only the second command's start decides the result.
    if (RunApp(log, launcher, NetworkCommands::deleteArpEntryBare()))
        return true;
    // The documented line, its blank at the end included.
    log.WriteLog(QStringLiteral("ERROR::Delete ARP entry. "));
    return false;
}

bool SetArpEntry(const EventLog& log, ProcessLauncher& launcher, const NetworkCommands& commands,
                 const QString& ip, const QString& mac, const ArpCard& card)
{
    const QString commandLine = commands.setArpEntry(ip, mac, card);
    log.WriteLog(QStringLiteral("Set ARP entry: ") + commandLine);
    if (RunApp(log, launcher, commandLine))
        return true;
    // The documented line, its two blanks at the end included.
    log.WriteLog(QStringLiteral("ERROR::Set ARP entry failed.  "));
    return false;
}

} // namespace ovlix
