#pragma once

#include "HttpFetcher.h"

#include <functional>
#include <optional>
#include <QString>
#include <QUrl>

namespace ovlix {

class EventLog;

// The address text is used as typed, so "127.0.0.1:8080" reaches a simulator.
QUrl probeUrl(const QString& ip);
// Whether the text is a host with an optional port and nothing else, so that
// "http://" followed by it reaches that host's root page: no user part, path,
// query or fragment.
bool isDeviceAddress(const QString& text);

// `path` begins with "/" and carries a query whose values are already encoded.
QString commandUrlText(const QString& deviceIp, const QString& path);

// One query value as a URL component: the text in the system's code page, as
// the files hold it, with every byte but A-Z a-z 0-9 - . _ ~ as %XX, so typed
// text can never add, cut or change another field.
QString encodeQueryValue(const QString& value);

// The text between the first "<version>" and the first "</version>" after it,
// markers matched without regard to case; nothing when either is missing.
std::optional<QString> findVersion(const QString& page);

// What one look at the device's root page found: the version, or what stood in
// its way. No version with no failure is a page that carries none.
struct VersionProbe {
    std::optional<QString> version;
    FetchResult::Failure failure = FetchResult::Failure::None;
    QString error; // the fetch's words for the failure
};

// Fetches the device's root page and reports the version it carries; a page
// without one, or no page at all, is logged as not found.
void probeVersion(HttpFetcher& inet, const EventLog& log, const QString& ip,
                  std::function<void(VersionProbe probe)> done);

// probeVersion for those that need only the version.
void PingOvlix(HttpFetcher& inet, const EventLog& log, const QString& ip,
               std::function<void(std::optional<QString> version)> done);

// How one window's command request reports itself in the log.
struct SendHttpStyle {
    QString urlLinePrefix; // empty: the URL is not logged (it may carry a passcode)
    QString errorPrefix;
};

// Sends one command to the device; `done` learns whether the transfer completed,
// whatever the device answered, and if not, what was observed.
void SendHttp(HttpFetcher& inet, const EventLog& log, const SendHttpStyle& style,
              const QString& deviceIp, const QString& path,
              std::function<void(const FetchResult& result)> done);

} // namespace ovlix
