#include "FreshDevice.h"

// Watching an interface for raw packets is done the Linux way only.

FreshDevice::FreshDevice(QString interface, int prefixLength, QObject* parent)
    : QObject(parent), interface_(std::move(interface)), prefixLength_(prefixLength)
{
}

FreshDevice::~FreshDevice() = default;

bool FreshDevice::start()
{
    error_ = QStringLiteral("a factory-fresh device is simulated on Linux only");
    return false;
}
