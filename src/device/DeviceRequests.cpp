#include "DeviceRequests.h"

#include "core/EventLog.h"
#include "core/TextFiles.h"

namespace ovlix {

QUrl probeUrl(const QString& ip)
{
    return QUrl(QStringLiteral("http://") + ip);
}

bool isDeviceAddress(const QString& text)
{
    const QUrl url(QStringLiteral("http://") + text, QUrl::StrictMode);
    // "host:" parses with no port and would quietly mean port 80.
    return url.isValid() && !url.host().isEmpty() && url.userInfo().isEmpty() &&
           url.path().isEmpty() && !url.hasQuery() && !url.hasFragment() && !text.endsWith(u':');
}

QString commandUrlText(const QString& deviceIp, const QString& path)
{
    return QStringLiteral("http://") + deviceIp + path;
}

QString encodeQueryValue(const QString& value)
{
    return QString::fromLatin1(toFileText(value).toPercentEncoding());
}

std::optional<QString> findVersion(const QString& page)
{
    static const QString startMarker = QStringLiteral("<version>");
    static const QString endMarker = QStringLiteral("</version>");
    const qsizetype start = page.indexOf(startMarker, 0, Qt::CaseInsensitive);
    if (start < 0)
        return std::nullopt;
    const qsizetype versionBegin = start + startMarker.size();
    const qsizetype stop = page.indexOf(endMarker, versionBegin, Qt::CaseInsensitive);
    if (stop < 0)
        return std::nullopt;
    return page.mid(versionBegin, stop - versionBegin);
}

void probeVersion(HttpFetcher& inet, const EventLog& log, const QString& ip,
                  std::function<void(VersionProbe probe)> done)
{
    inet.get(probeUrl(ip), [&log, done = std::move(done)](const FetchResult& result) {
        // A failed fetch has an empty body, so it is reported as not found too.
        std::optional<QString> version = findVersion(fromFileText(result.body));
        // The documented line calls the root page index.htm.
        if (!version)
            log.WriteLog(QStringLiteral("PingOvlix: index.htm version not found"));
        done({std::move(version), result.failure, result.error});
    });
}

void PingOvlix(HttpFetcher& inet, const EventLog& log, const QString& ip,
               std::function<void(std::optional<QString> version)> done)
{
    probeVersion(inet, log, ip,
                 [done = std::move(done)](VersionProbe probe) { done(std::move(probe.version)); });
}

void SendHttp(HttpFetcher& inet, const EventLog& log, const SendHttpStyle& style,
              const QString& deviceIp, const QString& path,
              std::function<void(const FetchResult& result)> done)
{
    const QString url = commandUrlText(deviceIp, path);
    if (!style.urlLinePrefix.isEmpty())
        log.WriteLog(style.urlLinePrefix + url);
    inet.get(QUrl(url), [&log, errorPrefix = style.errorPrefix,
                         done = std::move(done)](const FetchResult& result) {
        if (!result.ok)
            log.WriteLog(errorPrefix + result.error);
        done(result);
    });
}

} // namespace ovlix
