#pragma once

#include "core/AppContext.h"
#include "core/CommandRunner.h"
#include "core/EventLog.h"
#include "device/HttpFetcher.h"
#include "network/NetworkCards.h"

#include <chrono>
#include <functional>
#include <memory>

namespace ovlix {

class HostLookup;
class MessageBoxes;
class NetworkCommands;

// How the network setup reaches this PC's own network.
struct NetworkAccess {
    const NetworkCommands& commands;
    HostLookup& hosts;
    // Why the program may not change the ARP table; empty when it may.
    std::function<QString()> arpTableRefusal;
    // How long the device is given to take its address before it is asked.
    std::chrono::milliseconds arpWait = std::chrono::milliseconds(5000);
};

// What start-up hands to every window: the process-wide values and the seams
// through which the windows reach the world.
struct WindowEnvironment {
    AppContext& context;
    const EventLog& log;
    MessageBoxes& messages;
    ProcessLauncher& processes;
    // Each window that talks to the device owns its own transfer control.
    std::function<std::unique_ptr<HttpFetcher>()> makeTransfer;
    NetworkAccess network;
    // One transfer carries a whole device search, with the per-address deadline.
    std::function<std::unique_ptr<HttpFetcher>()> makeSearchTransfer;
    // This PC's cards: the networks to search, the card that faces a device.
    NetworkCards cards = &systemNetworkCards;
};

} // namespace ovlix
