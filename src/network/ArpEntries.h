#pragma once

#include <functional>
#include <QString>

namespace ovlix {

class EventLog;
class ProcessLauncher;

// The command lines of one platform's arp and ping for the network setup. The
// delete lines are the same everywhere; setting an entry and pinging are not.
class NetworkCommands {
public:
    virtual ~NetworkCommands() = default;
    static QString deleteArpEntry(const QString& ip) { return QStringLiteral("arp -d ") + ip; }
    // The delete command with no address at all, trailing blank included.
    static QString deleteArpEntryBare() { return QStringLiteral("arp -d "); }
    virtual QString setArpEntry(const QString& ip, const QString& mac,
                                const QString& hostIp) const = 0;
    virtual QString ping(const QString& ip) const = 0;
};

// Windows arp takes the MAC with dashes and the PC's own address as the
// interface; its ping stops by itself.
class WindowsNetworkCommands final : public NetworkCommands {
public:
    QString setArpEntry(const QString& ip, const QString& mac,
                        const QString& hostIp) const override;
    QString ping(const QString& ip) const override;
};

// Linux arp takes colons only and names the interface instead of its address;
// its ping never stops unless told how often to ask.
class LinuxNetworkCommands final : public NetworkCommands {
public:
    // The name of the interface that holds an address; empty when none does.
    using InterfaceFinder = std::function<QString(const QString& address)>;
    explicit LinuxNetworkCommands(InterfaceFinder interfaceOf);

    QString setArpEntry(const QString& ip, const QString& mac,
                        const QString& hostIp) const override;
    QString ping(const QString& ip) const override;

private:
    InterfaceFinder interfaceOf_;
};

// The interface of this machine that holds the address, by name; empty when none.
QString interfaceHolding(const QString& address);

// This platform's command lines.
const NetworkCommands& systemNetworkCommands();

// Why this program may not change the PC's ARP table, in plain words; empty
// when it may.
QString arpTableRefusal();

// Removes the PC's entry for the address; false when the last delete command
// could not be started.
bool DeleteArpEntry(const EventLog& log, ProcessLauncher& launcher, const QString& ip);

// Adds the static entry; false when the command could not be started. The log
// shows the command line that is actually run.
bool SetArpEntry(const EventLog& log, ProcessLauncher& launcher, const NetworkCommands& commands,
                 const QString& ip, const QString& mac, const QString& hostIp);

} // namespace ovlix
