#include "QtHttpFetcher.h"

#include <memory>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QTimer>

namespace ovlix {

namespace {

struct Transfer {
    QByteArray body;
    bool deadlinePassed = false;
    bool capReached = false;
};

// A reply that failed only because of its HTTP status: the answer itself arrived.
bool isHttpErrorStatus(QNetworkReply* reply)
{
    if (!reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).isValid())
        return false;
    const auto error = reply->error();
    const bool contentError =
        error >= QNetworkReply::ContentAccessDenied && error <= QNetworkReply::UnknownContentError;
    const bool serverError =
        error >= QNetworkReply::InternalServerError && error <= QNetworkReply::UnknownServerError;
    return contentError || serverError;
}

FetchResult::Failure failureOf(QNetworkReply::NetworkError error)
{
    using Failure = FetchResult::Failure;
    switch (error) {
    case QNetworkReply::ConnectionRefusedError:
        return Failure::Refused;
    case QNetworkReply::RemoteHostClosedError:
        return Failure::Closed;
    case QNetworkReply::HostNotFoundError:
        return Failure::HostNotFound;
    case QNetworkReply::TimeoutError:
        return Failure::NoAnswer;
    case QNetworkReply::UnknownNetworkError:
    case QNetworkReply::TemporaryNetworkFailureError:
        return Failure::Unreachable;
    default:
        return Failure::Other;
    }
}

} // namespace

QtHttpFetcher::QtHttpFetcher(FetchLimits limits) : limits_(limits)
{
    // The device sits on the local network: a proxy from the environment must
    // not stand between the program and it.
    manager_.setProxy(QNetworkProxy::NoProxy);
}

QtHttpFetcher::~QtHttpFetcher()
{
    // Abandon what is still in flight without answering into a window that is
    // going away.
    const auto replies = manager_.findChildren<QNetworkReply*>();
    for (QNetworkReply* reply : replies) {
        reply->disconnect();
        reply->abort();
        delete reply;
    }
}

void QtHttpFetcher::get(const QUrl& url, Done done)
{
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                         QNetworkRequest::AlwaysNetwork);
    QNetworkReply* reply = manager_.get(request);
    reply->setReadBufferSize(64 * 1024);
    auto transfer = std::make_shared<Transfer>();
    const qint64 cap = limits_.bodyCap;

    QObject::connect(reply, &QNetworkReply::readyRead, reply, [reply, transfer, cap] {
        if (transfer->capReached)
            return;
        transfer->body += reply->read(cap - transfer->body.size());
        if (transfer->body.size() >= cap) {
            transfer->capReached = true;
            reply->abort();
        }
    });
    // A coarse timer may fire up to 5% early; the deadline is a promise to the user.
    QTimer::singleShot(limits_.deadline, Qt::PreciseTimer, reply, [reply, transfer] {
        transfer->deadlinePassed = true;
        reply->abort();
    });
    const auto seconds =
        std::chrono::duration_cast<std::chrono::duration<double>>(limits_.deadline).count();
    QObject::connect(reply, &QNetworkReply::finished, reply, [reply, transfer, seconds, done] {
        reply->deleteLater();
        if (!transfer->capReached && reply->bytesAvailable() > 0)
            transfer->body += reply->read(reply->bytesAvailable());
        FetchResult result;
        if (transfer->capReached || reply->error() == QNetworkReply::NoError ||
            isHttpErrorStatus(reply)) {
            // The status is not judged: an error page that arrived whole counts.
            result.ok = true;
            result.body = transfer->body;
        } else if (transfer->deadlinePassed) {
            result.error = QStringLiteral("No complete answer within %1 seconds").arg(seconds);
            result.failure = FetchResult::Failure::NoAnswer;
        } else {
            result.error = reply->errorString();
            result.failure = failureOf(reply->error());
        }
        done(result);
    });
}

} // namespace ovlix
