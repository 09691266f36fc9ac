#include "NetSettings.h"

#include "core/EventLog.h"
#include "core/Settings.h"
#include "core/TextFiles.h"

namespace ovlix {

QString lastDeviceIp(const EventLog& log, const QString& netsetFile)
{
    const QString ip = ReadSetting(log, netsetFile, QStringLiteral("lastip"));
    return ip.isEmpty() ? kDefaultDeviceIp : ip;
}

void SaveNetSettings(const EventLog& log, const QString& netsetFile, const QString& ip,
                     const QString& mac)
{
    const SaveResult saved = saveFileAtomically(
        netsetFile, toFileText(QStringLiteral("lastip, ") + ip + QStringLiteral("\r\nlastmac, ") +
                               mac + QStringLiteral("\r\n")));
    if (!saved.ok)
        log.WriteLog(QStringLiteral("ERROR::SaveNetSettings: ") + saved.error);
}

} // namespace ovlix
