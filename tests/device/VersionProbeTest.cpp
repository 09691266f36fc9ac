#include "device/DeviceRequests.h"
#include "device/QtHttpFetcher.h"
#include "DeviceSimulator.h"
#include "support/ScriptedServer.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace ovlix;
using namespace ovlix::test;
using namespace std::chrono_literals;

TEST(FindVersion, CutsTheTextBetweenTheMarkersAnywhereInThePage)
{
    EXPECT_EQ(findVersion(QStringLiteral("<p><version>2.1a</version></p>")), "2.1a");
    EXPECT_EQ(findVersion(QStringLiteral("<VERSION>2.1a</VERSION>")), "2.1a");
    EXPECT_EQ(findVersion(QStringLiteral("<version></version>")), "");
    EXPECT_EQ(findVersion(QStringLiteral("no markers here")), std::nullopt);
    EXPECT_EQ(findVersion(QStringLiteral("<version>unfinished")), std::nullopt);
    // A stray end marker before the start does not count; the next one does.
    EXPECT_EQ(findVersion(QStringLiteral("</version> <version>3.0</version>")), "3.0");
    EXPECT_EQ(findVersion(QStringLiteral("</version> <version>3.0")), std::nullopt);
    // No position limits: markers far into a long page are found.
    const QString padding(70000, QLatin1Char('x'));
    EXPECT_EQ(findVersion(padding + "<version>" + padding + "</version>"), padding);
}

namespace {

struct ProbeRun {
    bool finished = false;
    std::optional<QString> version;
};

ProbeRun probe(HttpFetcher& inet, const EventLog& log, const QString& ip)
{
    ProbeRun run;
    PingOvlix(inet, log, ip, [&run](std::optional<QString> version) {
        run.finished = true;
        run.version = std::move(version);
    });
    waitUntil([&run] { return run.finished; });
    return run;
}

} // namespace

TEST(PingOvlix, ReportsTheVersionOfTheSimulatedDevice)
{
    FilesFolder folder;
    DeviceSimulator device;
    ASSERT_TRUE(device.listen());
    device.setVersion(QStringLiteral("2.1a"));
    QtHttpFetcher inet;

    const ProbeRun run =
        probe(inet, folder.log(), QStringLiteral("127.0.0.1:%1").arg(device.port()));
    EXPECT_TRUE(run.finished);
    EXPECT_EQ(run.version, "2.1a");
    EXPECT_EQ(device.requests(), QList<QString>{"/"});
    EXPECT_TRUE(folder.logMessages().isEmpty());
}

TEST(PingOvlix, EveryFailureIsLoggedAsNotFound)
{
    FilesFolder folder;
    QtHttpFetcher inet(FetchLimits{300ms});
    ScriptedServer otherServer(ScriptedServer::Behaviour::Answer, httpAnswer("<h1>It works</h1>"));
    ScriptedServer silent(ScriptedServer::Behaviour::Silent);

    for (const QString& ip :
         {otherServer.address(), ScriptedServer::refusingAddress(), silent.address()}) {
        const ProbeRun run = probe(inet, folder.log(), ip);
        EXPECT_TRUE(run.finished) << ip.toStdString();
        EXPECT_EQ(run.version, std::nullopt) << ip.toStdString();
    }
    EXPECT_EQ(folder.logMessages(),
              QStringList(3, QStringLiteral("PingOvlix: index.htm version not found")));
    EXPECT_EQ(silent.connections(), 1);
}

namespace {

FetchResult fetch(HttpFetcher& inet, const QString& address)
{
    std::optional<FetchResult> result;
    inet.get(QUrl(QStringLiteral("http://") + address),
             [&result](const FetchResult& r) { result = r; });
    waitUntil([&result] { return result.has_value(); });
    return result.value_or(FetchResult{false, {}, QStringLiteral("never finished")});
}

} // namespace

// Each answer arrives in small pieces, as from a slow device.
TEST(QtHttpFetcher, ReadsEveryWayOfFramingTheBodyAndCapsIt)
{
    using Behaviour = ScriptedServer::Behaviour;
    const QByteArray head = "HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n";
    struct Case {
        const char* name;
        QByteArray response;
        QByteArray body;
    };
    const Case cases[] = {
        {"length", head + "Content-Length: 5\r\n\r\nhello and more", "hello"},
        {"chunks",
         head + "Transfer-Encoding: chunked\r\n\r\n5;x=1\r\nhello\r\nA\r\n, the rest\r\n0\r\n"
                "Trailer: t\r\n\r\n",
         "hello, the rest"},
        {"end of connection", head + "\r\n<version>1.0</version>", "<version>1.0</version>"},
        {"bare line ends", "HTTP/1.1 204 No Content\nContent-Length: 0\n\n", ""},
    };
    QtHttpFetcher inet(FetchLimits{5s, 4096});
    for (const Case& c : cases) {
        ScriptedServer device(Behaviour::InPieces, c.response);
        const FetchResult result = fetch(inet, device.address());
        EXPECT_TRUE(result.ok) << c.name << ": " << result.error.toStdString();
        EXPECT_EQ(result.body, c.body) << c.name;
    }
    ScriptedServer endless(Behaviour::Endless);
    EXPECT_EQ(fetch(inet, endless.address()).body.size(), 4096);

    // The request is the path and query as the caller encoded them, and no more.
    const QString target = "/x10.spi?house=A&unit=1&userpass=a%26b%20c";
    ScriptedServer device(Behaviour::Answer, httpAnswer("ok"));
    EXPECT_EQ(fetch(inet, device.address() + target).body, "ok");
    EXPECT_EQ(device.lastRequest(), "GET " + target.toLatin1() +
                                        " HTTP/1.1\r\nHost: " + device.address().toLatin1() +
                                        "\r\nConnection: close\r\n\r\n");
}

TEST(QtHttpFetcher, NamesEachFailureInItsOwnWords)
{
    using Behaviour = ScriptedServer::Behaviour;
    using Failure = FetchResult::Failure;
    ScriptedServer silent(Behaviour::Silent);
    ScriptedServer dropping(Behaviour::ReadAndClose);
    ScriptedServer garbage(Behaviour::Answer, "SSH-2.0-OpenSSH\r\n\r\n");
    struct Case {
        QString address;
        Failure failure;
        QString error;
    };
    const Case cases[] = {
        {ScriptedServer::refusingAddress(), Failure::Refused, "Connection refused"},
        {silent.address(), Failure::NoAnswer, "No complete answer within 0.2 seconds"},
        {dropping.address(), Failure::Closed, "Connection closed before an answer"},
        {garbage.address(), Failure::Other, "The answer is not HTTP"},
        {"bad address", Failure::HostNotFound, "Not a valid address"},
    };
    QtHttpFetcher inet(FetchLimits{200ms});
    for (const Case& c : cases) {
        const FetchResult result = fetch(inet, c.address);
        EXPECT_FALSE(result.ok) << c.address.toStdString();
        EXPECT_EQ(result.failure, c.failure) << c.address.toStdString();
        EXPECT_EQ(result.error, c.error);
    }
}

TEST(QtHttpFetcher, ManyRequestsRunSideBySideAndADestroyedFetcherLeavesNoConnection)
{
    ScriptedServer device(ScriptedServer::Behaviour::Answer, httpAnswer("<version>1</version>"));
    ScriptedServer silent(ScriptedServer::Behaviour::Silent);
    constexpr int kRequests = 256;
    int answered = 0;
    {
        QtHttpFetcher inet(FetchLimits{10s});
        for (int i = 0; i < kRequests; ++i)
            inet.get(QUrl(QStringLiteral("http://") + device.address()),
                     [&answered](const FetchResult& r) { answered += r.ok; });
        ASSERT_TRUE(waitUntil([&answered] { return answered == kRequests; }, 20000));
        for (int i = 0; i < kRequests; ++i)
            inet.get(QUrl(QStringLiteral("http://") + silent.address()),
                     [&answered](const FetchResult&) { ++answered; });
        ASSERT_TRUE(waitUntil([&silent] { return silent.connections() == kRequests; }, 20000));
    }
    EXPECT_TRUE(waitUntil([&silent] { return silent.endedConnections() == kRequests; }));
    EXPECT_EQ(answered, kRequests);
    EXPECT_EQ(device.requests(), kRequests);
}
