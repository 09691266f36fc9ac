#pragma once

#include <optional>
#include <QHostAddress>
#include <QList>
#include <QString>

#include "NetworkCards.h"
#include "win32/WinSockets.h"

namespace ovlix {

class EventLog;

// The system's answers about this machine's own name and addresses, beneath
// GetHostIP so that its rule and its log lines can be tried with set answers.
class HostLookup {
public:
    struct HostName {
        QString name;
        int error = 0; // the system's error code when the name could not be had
    };

    virtual ~HostLookup() = default;
    virtual HostName hostName() = 0;
    // The IPv4 addresses that the resolver lists for the name, in its order;
    // nothing when it has no entry for the name.
    virtual std::optional<QList<QHostAddress>> addressesOf(const QString& name) = 0;

    // Windows Sockets has to be started before and stopped after the lookup;
    // elsewhere there is nothing to start.
    virtual win32::SocketsStart startSockets() { return {win32::SocketsStart::Status::Started}; }
    // False when stopping failed.
    virtual bool stopSockets() { return true; }
    // Windows gives the first address of the host name as it stands, loopback
    // included. Elsewhere the name may map to loopback (127.0.1.1 on Debian),
    // which is no use as the interface of an ARP entry and never the answer.
    virtual bool takesFirstNamedAddress() const { return false; }
};

// This platform's lookup.
class SystemHostLookup final : public HostLookup {
public:
    HostName hostName() override;
    std::optional<QList<QHostAddress>> addressesOf(const QString& name) override;
#ifdef Q_OS_WIN
    win32::SocketsStart startSockets() override;
    bool stopSockets() override;
    bool takesFirstNamedAddress() const override
    {
        return true;
    }
#endif
};

// The PC's own IPv4 address in dotted-decimal form, or empty text when it was
// not found; every failure is logged. Where the host name gives loopback
// only, the first address of the `cards` that face devices is taken.
QString GetHostIP(const EventLog& log, HostLookup& lookup, const QList<NetworkCard>& cards);

} // namespace ovlix
