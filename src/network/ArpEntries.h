#pragma once

#include <QString>

namespace ovlix {

class EventLog;
class ProcessLauncher;

// The card of this PC that an ARP entry is set on: Windows arp names it by its
// address, Linux arp by its name.
struct ArpCard {
    QString name;    // empty when no card is known
    QString address; // the PC's address on it; empty when none is known
};

// The command lines of one platform's arp and ping for the network setup. The
// delete lines are the same everywhere; setting an entry and pinging are not.
class NetworkCommands {
public:
    virtual ~NetworkCommands() = default;
    static QString deleteArpEntry(const QString& ip) { return QStringLiteral("arp -d ") + ip; }
    // The delete command with no address at all, trailing blank included.
    static QString deleteArpEntryBare() { return QStringLiteral("arp -d "); }
    virtual QString setArpEntry(const QString& ip, const QString& mac,
                                const ArpCard& card) const = 0;
    virtual QString ping(const QString& ip) const = 0;
};

// Windows arp takes the MAC with dashes and the PC's own address as the
// interface; its ping stops by itself.
class WindowsNetworkCommands final : public NetworkCommands {
public:
    QString setArpEntry(const QString& ip, const QString& mac, const ArpCard& card) const override;
    QString ping(const QString& ip) const override;
};

// Linux arp takes colons only and names the interface instead of its address;
// its ping never stops unless told how often to ask.
class LinuxNetworkCommands final : public NetworkCommands {
public:
    QString setArpEntry(const QString& ip, const QString& mac, const ArpCard& card) const override;
    QString ping(const QString& ip) const override;
};

// This platform's command lines.
const NetworkCommands& systemNetworkCommands();

// Whether this program may change the PC's ARP table (platform lookup).
bool mayChangeArpTable();

// Why this program may not change the PC's ARP table, in plain words; empty
// when it may. Said by OvlixSetup and by ovlix alike.
QString arpTableRefusal();

// Removes the PC's entry for the address; false when the last delete command
// could not be started.
bool DeleteArpEntry(const EventLog& log, ProcessLauncher& launcher, const QString& ip);

// Adds the static entry; false when the command could not be started. The log
// shows the command line that is actually run.
bool SetArpEntry(const EventLog& log, ProcessLauncher& launcher, const NetworkCommands& commands,
                 const QString& ip, const QString& mac, const ArpCard& card);

} // namespace ovlix
