#include "AddressAssignment.h"

#include "ArpEntries.h"
#include "core/CommandRunner.h"
#include "core/EventLog.h"
#include "device/DeviceRequests.h"
#include "FacingInterface.h"
#include "NetSettings.h"

namespace ovlix {

QString whyNoOvlixAnswered(const QString& ip, FetchResult::Failure failure,
                           const QList<NetworkCard>& cards)
{
    using Failure = FetchResult::Failure;
    if (!onSomeNetwork(ip, cards)) {
        const QString networks = networksOf(cards);
        return QStringLiteral("The address %1 is on none of this PC's networks (%2).")
            .arg(ip, networks.isEmpty() ? QStringLiteral("it has none but loopback") : networks);
    }
    switch (failure) {
    case Failure::NoAnswer:
    case Failure::Unreachable:
        return QStringLiteral("Nothing answered at %1: the device did not take the address; "
                              "check its cable and power, the MAC address, and that it was "
                              "reset or restarted just before.")
            .arg(ip);
    case Failure::None: // a page without a version
    case Failure::Refused:
    case Failure::Closed:
        return QStringLiteral("Something answered at %1, but not as an Ovlix: another device may "
                              "already use this address.")
            .arg(ip);
    case Failure::HostNotFound:
    case Failure::Other:
        break;
    }
    return {};
}

ArpCard AddressAssignment::press(const QString& ip, const QString& mac, const QString& hostIp)
{
    const FacingCard facing = cardFacing(ip, seams_.cards(), hostIp);
    seams_.log.WriteLog(facing.logLine);
    // The results only show in the log: the ping and the wait follow whatever
    // they are.
    DeleteArpEntry(seams_.log, seams_.launcher, ip);
    SetArpEntry(seams_.log, seams_.launcher, seams_.commands, ip, mac, facing.card);
    RunApp(seams_.log, seams_.launcher, seams_.commands.ping(ip));
    return facing.card;
}

void AddressAssignment::tick(const QString& ip, const QString& mac, const ArpCard& card,
                             std::function<void()> assigned, std::function<void(Outcome)> done)
{
    QString errors;
    if (!SetArpEntry(seams_.log, seams_.launcher, seams_.commands, ip, mac, card))
        errors += QStringLiteral("Failed to Set ARP table.\r\n");
    probeVersion(
        seams_.inet, seams_.log, ip,
        [this, ip, mac, errors, assigned = std::move(assigned),
         done = std::move(done)](const VersionProbe& probe) {
            const std::optional<QString>& version = probe.version;
            if (!version) {
                // Otherwise the user would retry for ever without learning why.
                QString why = seams_.arpTableRefusal();
                if (why.isEmpty())
                    why = whyNoOvlixAnswered(ip, probe.failure, seams_.cards());
                // Two blanks after the first full stop, as the documented message has.
                QString message = QStringLiteral("Error: ") + errors +
                                  QStringLiteral("Failed to ping Ovlix.  Please try again.\r\n");
                if (!why.isEmpty()) {
                    seams_.log.WriteLog(why);
                    message += why + QStringLiteral("\r\n");
                }
                done({false, std::nullopt, message});
                return;
            }
            if (!errors.isEmpty()) {
                done({false, version, QStringLiteral("Error: ") + errors});
                return;
            }
            // The device has the address whether or not it could be saved.
            const SaveResult saved = SaveNetSettings(seams_.log, seams_.netsetFile, ip, mac);
            // "Addess" is the documented message's own spelling.
            QString message = QStringLiteral("Ovlix Addess Setup Complete");
            if (!saved.ok)
                message += QStringLiteral("\r\nThe address could not be saved: ") + saved.error;
            assigned();
            // Asked once more so that the box shows what the device says now.
            PingOvlix(seams_.inet, seams_.log, ip,
                      [version, message, done](const std::optional<QString>& again) {
                          done({true, again ? again : version, message});
                      });
        });
}

} // namespace ovlix
