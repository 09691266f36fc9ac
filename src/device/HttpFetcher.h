#pragma once

#include <functional>
#include <QByteArray>
#include <QString>
#include <QUrl>

namespace ovlix {

// The end of one GET: the body (cut at the fetcher's cap) or why it failed.
// The HTTP status is not judged: a completed transfer is a success.
struct FetchResult {
    bool ok = false;
    QByteArray body;
    QString error;
};

// A window's transfer control. get() returns at once; `done` runs later on the
// same thread, exactly once, unless the fetcher is destroyed first, which
// abandons the request without calling it.
class HttpFetcher {
public:
    using Done = std::function<void(const FetchResult&)>;

    virtual ~HttpFetcher() = default;
    virtual void get(const QUrl& url, Done done) = 0;
};

} // namespace ovlix
