#include "HostAddress.h"

#include "core/EventLog.h"

namespace ovlix {

std::optional<QList<QHostAddress>> namedAddresses(const EventLog& log, HostLookup& lookup)
{
    const HostLookup::HostName host = lookup.hostName();
    if (host.error != 0) {
        log.WriteLog(QStringLiteral("ERROR::Windows Sockets error ") + QString::number(host.error) +
                     QStringLiteral(" has occurred. Unable to successfully get Host Name."));
        return std::nullopt;
    }
    std::optional<QList<QHostAddress>> found = lookup.addressesOf(host.name);
    if (!found)
        log.WriteLog(QStringLiteral("ERROR::Windows Sockets are not responding. ") +
                     QStringLiteral("Unable to successfully get Host Name."));
    return found;
}

} // namespace ovlix
