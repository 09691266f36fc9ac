#include "NetSettings.h"

#include "core/EventLog.h"
#include "core/Settings.h"

namespace ovlix {

QString lastDeviceIp(const EventLog& log, const QString& netsetFile)
{
    const QString ip = ReadSetting(log, netsetFile, QStringLiteral("lastip"));
    return ip.isEmpty() ? kDefaultDeviceIp : ip;
}

SaveResult SaveNetSettings(const EventLog& log, const QString& netsetFile, const QString& ip,
                           const QString& mac)
{
    SaveResult saved = saveFileAtomically(netsetFile, toFileText(QStringLiteral("lastip, ") + ip +
                                                                 QStringLiteral("\r\nlastmac, ") +
                                                                 mac + QStringLiteral("\r\n")));
    if (!saved.ok)
        log.WriteLog(QStringLiteral("ERROR::SaveNetSettings: ") + saved.error);
    return saved;
}

} // namespace ovlix
