#include "QtHttpFetcher.h"

#include <algorithm>
#include <QDeadlineTimer>
#include <QNetworkProxy>
#include <QTcpSocket>
#include <QTimer>
#include <utility>

namespace ovlix {

namespace {

using Failure = FetchResult::Failure;

// A status line and headers longer than this are not the device's.
constexpr qsizetype kMaxHeadSize = 64 * 1024;
constexpr qint64 kReadPiece = 64 * 1024;

// Reads one HTTP/1.x answer as its bytes arrive: the status line and headers,
// then the body as the headers frame it (a length, chunks, or the end of the
// connection). The status is not judged.
class AnswerReader {
public:
    explicit AnswerReader(qint64 bodyCap) : bodyCap_(bodyCap) {}

    void feed(const QByteArray& bytes)
    {
        started_ = started_ || !bytes.isEmpty();
        pending_ += bytes;
        qsizetype pos = 0;
        while (step(pos)) {
        }
        pending_.remove(0, pos);
        // Only lines wait in `pending_`; an endless one is not an answer.
        if (step_ != Step::Complete && pending_.size() > kMaxHeadSize)
            step_ = Step::NotHttp;
    }

    // The other side closed: a body without a length ends here.
    void connectionClosed()
    {
        if (step_ == Step::Body && bodyLeft_ < 0)
            step_ = Step::Complete;
    }

    bool started() const { return started_; }
    bool complete() const { return step_ == Step::Complete; }
    bool notHttp() const { return step_ == Step::NotHttp; }
    const QByteArray& body() const { return body_; }

private:
    enum class Step {
        StatusLine,
        Head,
        Body,
        ChunkSize,
        ChunkData,
        ChunkEnd,
        Trailer,
        Complete,
        NotHttp
    };

    // Handles what `pending_` holds from `pos`; false when more bytes are needed
    // or the answer has ended.
    bool step(qsizetype& pos)
    {
        switch (step_) {
        case Step::Body:
        case Step::ChunkData: {
            const qint64 available = pending_.size() - pos;
            if (available == 0)
                return false;
            const qint64 take = bodyLeft_ < 0 ? available : std::min(available, bodyLeft_);
            appendBody(pending_.mid(pos, take));
            pos += take;
            if (bodyLeft_ >= 0)
                bodyLeft_ -= take;
            // The cap ends the answer, even where the body or its chunk ends too.
            if (step_ == Step::Complete)
                return false;
            if (bodyLeft_ == 0)
                step_ = step_ == Step::Body ? Step::Complete : Step::ChunkEnd;
            return step_ != Step::Complete;
        }
        case Step::Complete:
        case Step::NotHttp:
            return false;
        default:
            break;
        }
        const qsizetype end = pending_.indexOf('\n', pos);
        if (end < 0)
            return false;
        QByteArray line = pending_.mid(pos, end - pos);
        pos = end + 1;
        if (line.endsWith('\r'))
            line.chop(1);
        takeLine(line);
        return step_ != Step::Complete && step_ != Step::NotHttp;
    }

    void takeLine(const QByteArray& line)
    {
        switch (step_) {
        case Step::StatusLine:
            step_ = isStatusLine(line) ? Step::Head : Step::NotHttp;
            break;
        case Step::Head:
            if (line.isEmpty())
                startBody();
            else
                takeHeader(line);
            break;
        case Step::ChunkSize: {
            bool ok = false;
            const qint64 size = line.split(';').first().trimmed().toLongLong(&ok, 16);
            if (!ok || size < 0)
                step_ = Step::NotHttp;
            else if (size == 0)
                step_ = Step::Trailer;
            else {
                bodyLeft_ = size;
                step_ = Step::ChunkData;
            }
            break;
        }
        case Step::ChunkEnd:
            step_ = line.isEmpty() ? Step::ChunkSize : Step::NotHttp;
            break;
        case Step::Trailer:
            if (line.isEmpty())
                step_ = Step::Complete;
            break;
        default:
            break;
        }
    }

    static bool isStatusLine(const QByteArray& line)
    {
        // "HTTP/1.1 200 OK": a version, a blank and three digits.
        const qsizetype blank = line.indexOf(' ');
        const QByteArray code = line.mid(blank + 1, 3);
        return line.startsWith("HTTP/") && blank > 0 && code.size() == 3 &&
               std::all_of(code.begin(), code.end(), [](char c) { return c >= '0' && c <= '9'; });
    }

    void takeHeader(const QByteArray& line)
    {
        const qsizetype colon = line.indexOf(':');
        if (colon <= 0) {
            step_ = Step::NotHttp;
            return;
        }
        const QByteArray name = line.left(colon).trimmed().toLower();
        const QByteArray value = line.mid(colon + 1).trimmed();
        if (name == "content-length") {
            bool ok = false;
            contentLength_ = value.toLongLong(&ok);
            if (!ok || contentLength_ < 0)
                step_ = Step::NotHttp;
        } else if (name == "transfer-encoding") {
            chunked_ = value.toLower().contains("chunked");
        }
    }

    void startBody()
    {
        if (chunked_) {
            step_ = Step::ChunkSize;
        } else {
            bodyLeft_ = contentLength_;
            step_ = bodyLeft_ == 0 ? Step::Complete : Step::Body;
        }
    }

    void appendBody(const QByteArray& bytes)
    {
        body_ += bytes.left(bodyCap_ - body_.size());
        if (body_.size() >= bodyCap_)
            step_ = Step::Complete; // cut here: the rest is never read
    }

    qint64 bodyCap_;
    Step step_ = Step::StatusLine;
    QByteArray pending_;
    QByteArray body_;
    bool started_ = false;
    bool chunked_ = false;
    qint64 contentLength_ = -1; // none given: the body ends with the connection
    qint64 bodyLeft_ = -1;
};

// One request on its own connection, from the connect to the end of the answer.
class Exchange : public QObject {
public:
    Exchange(QObject& parent, const QUrl& url, const FetchLimits& limits, HttpFetcher::Done done)
        : QObject(&parent), reader_(limits.bodyCap), done_(std::move(done)),
          seconds_(std::chrono::duration<double>(limits.deadline).count())
    {
        // The deadline is a promise to the user, and timers may fire early: a
        // coarse one by up to 5%, Windows' by part of its clock tick. An early
        // one waits out the rest.
        deadline_.setSingleShot(true);
        deadline_.setTimerType(Qt::PreciseTimer);
        connect(&deadline_, &QTimer::timeout, this, [this] {
            if (!due_.hasExpired()) {
                deadline_.start(
                    std::chrono::ceil<std::chrono::milliseconds>(due_.remainingTimeAsDuration()));
                return;
            }
            fail(Failure::NoAnswer,
                 (seconds_ == 1
                      ? QStringLiteral("No complete answer within 1 second")
                      : QStringLiteral("No complete answer within %1 seconds").arg(seconds_)));
        });
        due_.setRemainingTime(limits.deadline, Qt::PreciseTimer);
        deadline_.start(limits.deadline);

        // Started from the event loop, so that `done` never runs inside get(),
        // not even for a connection refused at once.
        QMetaObject::invokeMethod(
            this, [this, url] { start(url); }, Qt::QueuedConnection);
    }

    ~Exchange() override
    {
        // Nothing the socket says while it closes may reach a half-destroyed request.
        socket_.disconnect();
        socket_.abort();
    }

private:
    void start(const QUrl& url)
    {
        if (!url.isValid() || url.host().isEmpty())
            return fail(Failure::HostNotFound, QStringLiteral("Not a valid address"));
        QByteArray target =
            url.toEncoded(QUrl::RemoveScheme | QUrl::RemoveAuthority | QUrl::RemoveFragment);
        if (!target.startsWith('/'))
            target.prepend('/');
        request_ = "GET " + target + " HTTP/1.1\r\nHost: " +
                   url.adjusted(QUrl::RemoveUserInfo).authority(QUrl::FullyEncoded).toLatin1() +
                   "\r\nConnection: close\r\n\r\n";

        // The device sits on the local network: a proxy from the environment
        // must not stand between the program and it.
        socket_.setProxy(QNetworkProxy::NoProxy);
        socket_.setReadBufferSize(kReadPiece);
        connect(&socket_, &QTcpSocket::connected, this, [this] {
            connected_ = true;
            socket_.write(request_);
        });
        connect(&socket_, &QTcpSocket::readyRead, this, &Exchange::readAnswer);
        connect(&socket_, &QTcpSocket::disconnected, this, &Exchange::connectionEnded);
        connect(&socket_, &QTcpSocket::errorOccurred, this, &Exchange::socketFailed);
        host_ = url.host();
        port_ = static_cast<quint16>(url.port(80));
        socket_.connectToHost(host_, port_);
    }

    void readAnswer()
    {
        while (done_ && socket_.bytesAvailable() > 0) {
            reader_.feed(socket_.read(kReadPiece));
            if (reader_.complete())
                return finish({true, reader_.body(), {}, Failure::None});
            if (reader_.notHttp())
                return fail(Failure::Other, QStringLiteral("The answer is not HTTP"));
        }
    }

    void connectionEnded()
    {
        readAnswer();
        if (!done_)
            return;
        reader_.connectionClosed();
        if (reader_.complete())
            finish({true, reader_.body(), {}, Failure::None});
        else if (reader_.started())
            fail(Failure::Closed, QStringLiteral("Connection closed before the whole answer"));
        else
            fail(Failure::Closed, QStringLiteral("Connection closed before an answer"));
    }

    void socketFailed(QAbstractSocket::SocketError error)
    {
        switch (error) {
        case QAbstractSocket::RemoteHostClosedError:
            return connectionEnded();
        case QAbstractSocket::HostNotFoundError:
            return fail(Failure::HostNotFound, QStringLiteral("Host not found"));
        case QAbstractSocket::ConnectionRefusedError:
            return fail(Failure::Refused, QStringLiteral("Connection refused"));
        case QAbstractSocket::SocketTimeoutError:
            // The socket gives up connecting by itself, sooner than a long deadline;
            // nothing was sent yet, so it tries again until the deadline says no answer.
            if (!connected_) {
                QMetaObject::invokeMethod(
                    this, [this] { socket_.connectToHost(host_, port_); }, Qt::QueuedConnection);
                return;
            }
            [[fallthrough]];
        case QAbstractSocket::NetworkError:
            if (!connected_)
                return fail(Failure::Unreachable, QStringLiteral("Network unreachable"));
            [[fallthrough]];
        default:
            return fail(Failure::Other,
                        QStringLiteral("Connection failed: ") + socket_.errorString());
        }
    }

    void fail(Failure failure, const QString& description)
    {
        finish({false, {}, description, failure});
    }

    // Ends the request once: the connection closes, this object goes, and only
    // then does the caller learn the outcome, so that it may even destroy the
    // fetcher from inside `done`.
    void finish(const FetchResult& result)
    {
        if (!done_)
            return;
        const HttpFetcher::Done done = std::exchange(done_, {});
        deadline_.stop();
        socket_.disconnect();
        socket_.abort();
        setParent(nullptr);
        deleteLater();
        done(result);
    }

    QTcpSocket socket_;
    QTimer deadline_;
    QDeadlineTimer due_;
    AnswerReader reader_;
    QByteArray request_;
    QString host_;
    quint16 port_ = 0;
    HttpFetcher::Done done_;
    double seconds_;
    bool connected_ = false;
};

} // namespace

QtHttpFetcher::QtHttpFetcher(FetchLimits limits) : limits_(limits) {}

QtHttpFetcher::~QtHttpFetcher() = default;

void QtHttpFetcher::get(const QUrl& url, Done done)
{
    new Exchange(inFlight_, url, limits_, std::move(done));
}

} // namespace ovlix
