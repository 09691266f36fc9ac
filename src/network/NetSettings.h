#pragma once

#include "core/TextFiles.h"

#include <QString>

namespace ovlix {

class EventLog;

// The address a device has before anyone gives it another.
inline const QString kDefaultDeviceIp = QStringLiteral("192.168.1.250");

// The device address a run starts with: "lastip" of the network settings file,
// else the default. A missing record is logged by the settings reader.
QString lastDeviceIp(const EventLog& log, const QString& netsetFile);

// Replaces the network settings file whole with the "lastip" and "lastmac"
// records; a failure is logged and returned, and the previous file is then kept.
SaveResult SaveNetSettings(const EventLog& log, const QString& netsetFile, const QString& ip,
                           const QString& mac);

} // namespace ovlix
