#pragma once

#include "core/TextFiles.h"

#include <QString>

namespace ovlix {

class EventLog;

// Replaces the network settings file whole with the "lastip" and "lastmac"
// records; a failure is logged and returned, and the previous file is then kept.
SaveResult SaveNetSettings(const EventLog& log, const QString& netsetFile, const QString& ip,
                           const QString& mac);

} // namespace ovlix
