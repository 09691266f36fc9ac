#include "AddressAssignment.h"

#include "ArpEntries.h"
#include "core/CommandRunner.h"
#include "device/DeviceRequests.h"
#include "NetSettings.h"

namespace ovlix {

void AddressAssignment::press(const QString& ip, const QString& mac, const QString& hostIp)
{
    // The results only show in the log: the ping and the wait follow whatever
    // they are.
    DeleteArpEntry(seams_.log, seams_.launcher, ip);
    SetArpEntry(seams_.log, seams_.launcher, seams_.commands, ip, mac, hostIp);
    RunApp(seams_.log, seams_.launcher, seams_.commands.ping(ip));
}

void AddressAssignment::tick(const QString& ip, const QString& mac, const QString& hostIp,
                             std::function<void()> assigned, std::function<void(Outcome)> done)
{
    QString errors;
    if (!SetArpEntry(seams_.log, seams_.launcher, seams_.commands, ip, mac, hostIp))
        errors += QStringLiteral("Failed to Set ARP table.\r\n");
    PingOvlix(
        seams_.inet, seams_.log, ip,
        [this, ip, mac, errors, assigned, done = std::move(done)](std::optional<QString> version) {
            if (!version) {
                QString message = QStringLiteral("Error: ") + errors +
                                  QStringLiteral("Failed to ping Ovlix.  Please try again.\r\n");
                // Otherwise the user would retry for ever without learning why.
                if (const QString refusal = seams_.arpTableRefusal(); !refusal.isEmpty())
                    message += refusal + QStringLiteral("\r\n");
                done({false, std::nullopt, message});
                return;
            }
            if (!errors.isEmpty()) {
                done({false, version, QStringLiteral("Error: ") + errors});
                return;
            }
            // The device has the address whether or not it could be saved.
            const SaveResult saved = SaveNetSettings(seams_.log, seams_.netsetFile, ip, mac);
            QString message = QStringLiteral("Ovlix Addess Setup Complete");
            if (!saved.ok)
                message += QStringLiteral("\r\nThe address could not be saved: ") + saved.error;
            assigned();
            // Asked once more so that the box shows what the device says now.
            PingOvlix(seams_.inet, seams_.log, ip,
                      [version, message, done](std::optional<QString> again) {
                          done({true, again ? again : version, message});
                      });
        });
}

} // namespace ovlix
