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

TEST(QtHttpFetcher, JudgesTheTransferNotTheStatusAndCapsTheBody)
{
    QtHttpFetcher inet(FetchLimits{5s, 4096});
    ScriptedServer errorPage(ScriptedServer::Behaviour::Answer,
                             httpAnswer("<version>1.0</version>", "500 Internal Server Error"));
    ScriptedServer endless(ScriptedServer::Behaviour::Endless);
    ScriptedServer silent(ScriptedServer::Behaviour::Silent);

    auto fetch = [&inet](const QString& address, FetchLimits) {
        std::optional<FetchResult> result;
        inet.get(QUrl(QStringLiteral("http://") + address),
                 [&result](const FetchResult& r) { result = r; });
        waitUntil([&result] { return result.has_value(); });
        return result.value_or(FetchResult{false, {}, QStringLiteral("never finished")});
    };

    const FetchResult error = fetch(errorPage.address(), {});
    EXPECT_TRUE(error.ok);
    EXPECT_EQ(error.body, "<version>1.0</version>");

    const FetchResult capped = fetch(endless.address(), {});
    EXPECT_TRUE(capped.ok);
    EXPECT_EQ(capped.body.size(), 4096);

    QtHttpFetcher quick(FetchLimits{200ms});
    std::optional<FetchResult> timedOut;
    quick.get(QUrl(QStringLiteral("http://") + silent.address()),
              [&timedOut](const FetchResult& r) { timedOut = r; });
    waitUntil([&timedOut] { return timedOut.has_value(); });
    ASSERT_TRUE(timedOut.has_value());
    EXPECT_FALSE(timedOut->ok);
    EXPECT_EQ(timedOut->error, "No complete answer within 0.2 seconds");
}

TEST(QtHttpFetcher, ADestroyedFetcherNeverAnswers)
{
    ScriptedServer silent(ScriptedServer::Behaviour::Silent);
    bool answered = false;
    {
        QtHttpFetcher inet;
        inet.get(QUrl(QStringLiteral("http://") + silent.address()),
                 [&answered](const FetchResult&) { answered = true; });
        waitUntil([&silent] { return silent.connections() == 1; });
    }
    QTest::qWait(100);
    EXPECT_FALSE(answered);
}
