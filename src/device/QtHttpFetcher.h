#pragma once

#include "HttpFetcher.h"

#include <chrono>
#include <QObject>

namespace ovlix {

struct FetchLimits {
    // A total deadline, not an inactivity timer: a device that trickles bytes
    // cannot hold a window for longer than this.
    std::chrono::milliseconds deadline = std::chrono::seconds(60);
    // The device's pages are small; a longer body is cut here, never buffered whole.
    qint64 bodyCap = 1024 * 1024;
};

// One plain HTTP/1.1 GET per request, each on a connection of its own: no
// proxy, no cache, no redirect followed and nothing ever sent twice, so a
// device that acts on a command and drops the connection gets it once. Any
// answer that arrives whole is the device's answer, whatever its status.
// Requests run side by side, each with its own deadline.
class QtHttpFetcher : public HttpFetcher {
public:
    explicit QtHttpFetcher(FetchLimits limits = {});
    ~QtHttpFetcher() override;

    void get(const QUrl& url, Done done) override;

private:
    FetchLimits limits_;
    // Parent of the requests in flight: going with it, they close their
    // connections without calling back.
    QObject inFlight_;
};

} // namespace ovlix
