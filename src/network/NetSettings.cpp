#include "NetSettings.h"

#include "core/EventLog.h"

namespace ovlix {

SaveResult SaveNetSettings(const EventLog& log, const QString& netsetFile, const QString& ip,
                           const QString& mac)
{
    const SaveResult saved = saveFileAtomically(
        netsetFile, toFileText(QStringLiteral("lastip, ") + ip + QStringLiteral("\r\nlastmac, ") +
                               mac + QStringLiteral("\r\n")));
    if (!saved.ok)
        log.WriteLog(QStringLiteral("ERROR::SaveNetSettings: ") + saved.error);
    return saved;
}

} // namespace ovlix
