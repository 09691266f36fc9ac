#pragma once

#include <functional>
#include <QByteArray>
#include <QString>
#include <QUrl>

namespace ovlix {

// The end of one GET: the body (cut at the fetcher's cap) or why it failed.
// The HTTP status is not judged: a completed transfer is a success.
struct FetchResult {
    // What the program observed when no answer arrived; a setup that failed
    // tells the user which of these it was.
    enum class Failure {
        None,         // an answer arrived, whatever its status
        HostNotFound, // the address could not be resolved or is malformed
        Refused,      // something at the address turned the connection down
        Unreachable,  // no route to the address
        NoAnswer,     // nothing answered within the deadline
        Closed,       // the connection closed before an answer arrived
        Other
    };

    bool ok = false;
    QByteArray body;
    QString error; // the program's own words, never a URL
    Failure failure = Failure::None;
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
