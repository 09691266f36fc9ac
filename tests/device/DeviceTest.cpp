#include "device/DeviceRequests.h"
#include "device/QtHttpFetcher.h"
#include "support/ScriptedServer.h"
#include "support/TestSupport.h"

#include <chrono>
#include <gtest/gtest.h>
#include <QEventLoop>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

using namespace ovlix;
using namespace ovlix::test;
using namespace std::chrono_literals;
using Behaviour = ScriptedServer::Behaviour;

TEST(FindVersion, CutsTheTextBetweenTheFirstMarkersWhateverTheirCase)
{
    const QString padding(70000, u'x');
    const std::pair<QString, std::optional<QString>> cases[] = {
        {"<p><version>2.1a</version></p>", "2.1a"},
        {"<VERSION>2.1a</Version>", "2.1a"},
        {"<version></version>", ""},
        {"no markers here", std::nullopt},
        {"<version>unfinished", std::nullopt},
        {"</version> <version>3.0</version>", "3.0"},
        {"</version> <version>3.0", std::nullopt},
        {padding + "<version>" + padding + "</version>", padding}};
    for (const auto& [page, version] : cases)
        EXPECT_EQ(findVersion(page), version) << page.left(40).toStdString();
    EXPECT_EQ(encodeQueryValue("a&b=c#d%e+f K\u00fcche\r\nAZaz09-._~"),
              "a%26b%3Dc%23d%25e%2Bf%20K" + kUmlautOnWire + "che%0D%0AAZaz09-._~");
}

namespace {

// Fetches from every address at once; each outcome as "ok: body" or "failure number: error".
QStringList fetchAll(HttpFetcher& inet, const QStringList& addresses)
{
    QStringList results(addresses.size());
    for (qsizetype i = 0; i < addresses.size(); ++i)
        inet.get(QUrl("http://" + addresses[i]), [&results, i](const FetchResult& r) {
            results[i] = r.ok ? "ok: " + QString::fromLatin1(r.body.left(40)) +
                                    QString::number(r.body.size())
                              : QString::number(int(r.failure)) + ": " + r.error;
        });
    waitUntil([&results] { return !results.contains(QString()); }, 20000);
    return results;
}

} // namespace

// Answers as a device may send them; the status is never judged, only its form.
TEST(QtHttpFetcher, ReadsEveryFramingAndStatusAndNamesEachFailureInItsOwnWords)
{
    const QByteArray head = "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\n";
    const QByteArray chunked = head + "Transfer-Encoding: Chunked\r\n\r\n";
    QList<std::tuple<Behaviour, QByteArray, QString>> cases = {
        {Behaviour::InPieces, head + "Content-Length: 5\r\n\r\nhello and more", "ok: hello5"},
        {Behaviour::InPieces, chunked + "5;x=1\r\nhello\r\nA\r\n, the rest\r\n0\r\nT: t\r\n\r\n",
         "ok: hello, the rest15"},
        {Behaviour::InPieces, "HTTP/1.0 200 OK\r\n\r\n<version>1.0</version>",
         "ok: <version>1.0</version>22"},
        {Behaviour::InPieces, "HTTP/1.1 204 No Content\nContent-Length: 0\n\n", "ok: 0"},
        {Behaviour::Endless, head + "\r\n" + QByteArray(64 * 1024, 'x'),
         "ok: " + QString(40, u'x') + "4096"},
        {Behaviour::Answer, "HTTP/1.1 302 Found\r\nLocation: /\r\nContent-Length: 0\r\n\r\n",
         "ok: 0"},
        {Behaviour::Answer, head + QByteArray(64 * 1024, 'h'),
         "5: Connection closed before the whole answer"},
        {Behaviour::Answer, head + "Transfer-Encoding: chunke\r\n\r\nA", "ok: A1"},
        {Behaviour::Silent, {}, "4: No complete answer within 1 second"},
        {Behaviour::Trickle, httpAnswer("<version>2.1a</version>"),
         "4: No complete answer within 1 second"},
        {Behaviour::Answer, {}, "5: Connection closed before an answer"},
        {Behaviour::Answer, head + "Content-Length: 4000\r\n\r\n" + QByteArray(3000, 'x'),
         "5: Connection closed before the whole answer"},
    };
    for (const QByteArray& wrong : QList<QByteArray>{
             "HTTP/1.1 2x0 OK\r\n\r\n", "HTTP/1.1 20 OK\r\n\r\n", "SSH-2.0-OpenSSH 200 \r\n\r\n",
             head + "Content-Length: -1\r\n\r\n", head + "Content-Length: many\r\n\r\n",
             head + ": no name\r\n\r\n", chunked + "zz\r\n", chunked + "-5\r\nhello\r\n",
             chunked + "5\r\nhelloX\r\n", chunked + "g\r\n", "\nHTTP/1.1 200 OK\r\n\r\n",
             head + QByteArray(64 * 1024 + 1, 'h')})
        cases.append({Behaviour::Answer, wrong, "6: The answer is not HTTP"});
    for (const char* status :
         {"100 Continue", "199 X", "299 X", "300 X", "399 X", "400 X", "599 X"})
        cases.append({Behaviour::Answer, httpAnswer("ok", status), "ok: ok2"});
    for (const qsizetype size : {4095, 4096, 4097, 4096 + 30000}) { // end and cap in one read
        const QByteArray body(size, 'x'), hex = QByteArray::number(size, 16);
        const QString cut =
            "ok: " + QString(40, u'x') + QString::number(std::min<qsizetype>(size, 4096));
        cases += {{Behaviour::Answer, httpAnswer(body), cut},
                  {Behaviour::Answer, chunked + hex + "\r\n" + body + "\r\n0\r\n\r\n", cut}};
    }
    std::vector<std::unique_ptr<ScriptedServer>> servers;
    QStringList addresses, expected;
    for (const auto& [behaviour, response, outcome] : cases) {
        servers.push_back(std::make_unique<ScriptedServer>(behaviour, response));
        addresses.append(servers.back()->address());
        expected.append(outcome);
    }
    addresses += {"127.0.0.1:1", "bad address", ""};
    expected += {"2: Connection refused", "1: Not a valid address", "1: Not a valid address"};
    QtHttpFetcher inet(FetchLimits{1s, 4096});
    EXPECT_EQ(fetchAll(inet, addresses).join('\n').toStdString(),
              expected.join('\n').toStdString());
    // The request is the path and query as the caller encoded them, and no more.
    fetchAll(inet, {servers[0]->address() + "/x10.spi?unit=1&userpass=a%26b%20c#top"});
    EXPECT_EQ(servers[0]->lastRequest(),
              "GET /x10.spi?unit=1&userpass=a%26b%20c HTTP/1.1\r\nHost: " +
                  servers[0]->address().toLatin1() + "\r\nConnection: close\r\n\r\n");
    EXPECT_EQ(servers[1]->lastRequest(),
              "GET / HTTP/1.1\r\nHost: " + servers[1]->address().toLatin1() +
                  "\r\nConnection: close\r\n\r\n");
    EXPECT_EQ(servers[5]->connections(), 1); // a redirect is the answer, not followed
}

// A coarse timer may fire up to 5% early; the deadline is a promise to the user.
TEST(QtHttpFetcher, TheDeadlineIsNeverEarlyAndTellsHowLongItWas)
{
    ScriptedServer silent(Behaviour::Silent);
    QtHttpFetcher inet(FetchLimits{60ms});
    for (int i = 0; i < 10; ++i) {
        QEventLoop untilDone; // wakes as the timer fires, which polling in steps would hide
        const auto started = std::chrono::steady_clock::now();
        inet.get(QUrl("http://" + silent.address()), [&](const FetchResult& result) {
            EXPECT_EQ(result.error, "No complete answer within 0.06 seconds");
            untilDone.quit();
        });
        untilDone.exec();
        EXPECT_GE(std::chrono::steady_clock::now() - started, 60ms) << "round " << i;
    }
}

// Nothing takes the connection: the listener's queue is full, so its SYN is
// dropped. The socket's own give-up, a minute in, is hurried along; the
// request keeps trying to connect until its deadline.
TEST(QtHttpFetcher, AConnectionNothingAnswersWaitsForTheDeadline)
{
    QTcpServer full;
    full.setListenBacklogSize(0);
    full.listen(QHostAddress::LocalHost);
    full.pauseAccepting();
    QTcpSocket queued;
    queued.connectToHost(QHostAddress::LocalHost, full.serverPort());
    struct SocketsMade : QObject {
        bool eventFilter(QObject* watched, QEvent* event) override
        {
            if (event->type() == QEvent::ChildAdded && qobject_cast<QTcpSocket*>(watched))
                sockets.append(watched);
            return false;
        }
        QList<QPointer<QObject>> sockets;
    } made;
    qApp->installEventFilter(&made);
    int hurried = 0;
    QTimer hurry;
    QObject::connect(&hurry, &QTimer::timeout, [&] {
        for (const QPointer<QObject>& socket : std::as_const(made.sockets))
            for (QTimer* connecting : socket ? socket->findChildren<QTimer*>() : QList<QTimer*>())
                if (connecting->isActive() && connecting->interval() > 1000)
                    connecting->start(10), ++hurried;
    });
    hurry.start(5);
    QtHttpFetcher inet(FetchLimits{500ms});
    EXPECT_EQ(fetchAll(inet, {"127.0.0.1:" + QString::number(full.serverPort())}),
              QStringList{"4: No complete answer within 0.5 seconds"});
    qApp->removeEventFilter(&made);
    EXPECT_GT(hurried, 0) << "the connection was never left waiting";
}
