#pragma once

#include "ArpEntries.h"
#include "device/HttpFetcher.h"
#include "NetworkCards.h"

#include <functional>
#include <optional>
#include <QString>

namespace ovlix {

class EventLog;
class NetworkCommands;
class ProcessLauncher;

// Gives a freshly reset device the address typed: a press sets a static ARP
// entry that maps the address to the device's MAC and pings it, so the device
// takes the address of those packets; the tick after the wait sets the entry
// again and asks the device for its version. The caller owns the wait.
class AddressAssignment {
public:
    struct Seams {
        const EventLog& log;
        ProcessLauncher& launcher;
        const NetworkCommands& commands;
        HttpFetcher& inet;
        // Why the ARP table may not be changed; empty when it may.
        std::function<QString()> arpTableRefusal;
        QString netsetFile;
        // This PC's cards, to find the one that faces the device.
        NetworkCards cards = &systemNetworkCards;
    };

    struct Outcome {
        bool assigned = false; // the device answered at the address
        std::optional<QString> version;
        QString message; // what the user is told
    };

    explicit AddressAssignment(Seams seams) : seams_(std::move(seams)) {}

    // Returns the card that the ARP entry names: the one that faces the device,
    // else the one that holds `hostIp`, the PC's address found at load.
    ArpCard press(const QString& ip, const QString& mac, const QString& hostIp);
    // Once the device has answered and the address is saved, `assigned` hands the
    // address on, before the device is asked once more; `done` runs at the end.
    // Neither runs when this object goes away first.
    void tick(const QString& ip, const QString& mac, const ArpCard& card,
              std::function<void()> assigned, std::function<void(Outcome)> done);

private:
    Seams seams_;
};

// One plain sentence saying why no Ovlix answered at the address, from where
// the address lies and what the probe met; empty when nothing tells.
QString whyNoOvlixAnswered(const QString& ip, FetchResult::Failure failure,
                           const QList<NetworkCard>& cards);

} // namespace ovlix
