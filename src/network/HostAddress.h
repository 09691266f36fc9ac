#pragma once

#include <optional>
#include <QHostAddress>
#include <QList>
#include <QString>

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
    // The IPv4 addresses of the interfaces that are up, in the system's order.
    virtual QList<QHostAddress> upInterfaceAddresses() = 0;
};

// This platform's lookup.
class SystemHostLookup final : public HostLookup {
public:
    HostName hostName() override;
    std::optional<QList<QHostAddress>> addressesOf(const QString& name) override;
    QList<QHostAddress> upInterfaceAddresses() override;
};

// The PC's own IPv4 address in dotted-decimal form, or empty text when it was
// not found; every failure is logged.
QString GetHostIP(const EventLog& log, HostLookup& lookup);

// The addresses that the resolver lists for this machine's name; nothing, with
// the documented line logged, when the name or its entry could not be had.
std::optional<QList<QHostAddress>> namedAddresses(const EventLog& log, HostLookup& lookup);

} // namespace ovlix
