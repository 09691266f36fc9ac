#include "FreshDevice.h"

// Watching an interface for raw packets is done the Linux way only.

namespace ovlix {

FreshDevice::~FreshDevice() = default;

bool FreshDevice::start()
{
    error_ = QStringLiteral("a factory-fresh device is simulated on Linux only");
    return false;
}

} // namespace ovlix
