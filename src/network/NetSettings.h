#pragma once

#include <QString>

namespace ovlix {

class EventLog;

// Replaces the network settings file whole with the "lastip" and "lastmac"
// records; a failure is only logged, and the previous file is then kept.
void SaveNetSettings(const EventLog& log, const QString& netsetFile, const QString& ip,
                     const QString& mac);

} // namespace ovlix
