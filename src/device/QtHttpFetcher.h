#pragma once

#include "HttpFetcher.h"

#include <chrono>
#include <QNetworkAccessManager>

namespace ovlix {

struct FetchLimits {
    // A total deadline, not an inactivity timer: a device that trickles bytes
    // cannot hold a window for longer than this.
    std::chrono::milliseconds deadline = std::chrono::seconds(60);
    // The device's pages are small; a longer body is cut here, never buffered whole.
    qint64 bodyCap = 1024 * 1024;
};

class QtHttpFetcher : public HttpFetcher {
public:
    explicit QtHttpFetcher(FetchLimits limits = {});
    ~QtHttpFetcher() override;

    void get(const QUrl& url, Done done) override;

private:
    FetchLimits limits_;
    QNetworkAccessManager manager_;
};

} // namespace ovlix
