#pragma once

#include "core/AppContext.h"
#include "core/CommandRunner.h"
#include "core/EventLog.h"
#include "device/HttpFetcher.h"

#include <functional>
#include <memory>

namespace ovlix {

class MessageBoxes;

// What start-up hands to every window: the process-wide values and the seams
// through which the windows reach the world.
struct WindowEnvironment {
    AppContext& context;
    const EventLog& log;
    MessageBoxes& messages;
    ProcessLauncher& processes;
    // Each window that talks to the device owns its own transfer control.
    std::function<std::unique_ptr<HttpFetcher>()> makeTransfer;
};

} // namespace ovlix
