// Devices that misbehave: every request ends, within its deadline, with a
// defined outcome in the program's own words, and memory stays bounded.

#include "device/DeviceRequests.h"
#include "device/QtHttpFetcher.h"
#include "labels/LabelUpload.h"
#include "support/RogueScenarios.h"
#include "support/TestSupport.h"
#include "x10/X10Codes.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

using namespace ovlix;
using namespace ovlix::test;
using namespace std::chrono_literals;
using Behaviour = ScriptedServer::Behaviour;

namespace {

struct Outcome {
    std::optional<QString> version;
    bool probeFinished = false;
    std::optional<bool> labelsSent;
    std::optional<bool> x10Sent;
};

Outcome runAll(const RogueScenario& scenario, const EventLog& log)
{
    ScriptedServer server(scenario.behaviour, scenario.response, scenario.tickMs);
    QtHttpFetcher inet(FetchLimits{scenario.deadline});
    Outcome outcome;
    PingOvlix(inet, log, server.address(), [&](std::optional<QString> version) {
        outcome.probeFinished = true;
        outcome.version = std::move(version);
    });
    SendHttp(inet, log, kLabelsWindowSend, server.address(), QStringLiteral("/label.spi?a=1"),
             [&](const FetchResult& result) { outcome.labelsSent = result.ok; });
    SendHttp(inet, log, kX10WindowSend, server.address(), QStringLiteral("/x10.spi?userpass=731"),
             [&](const FetchResult& result) { outcome.x10Sent = result.ok; });
    waitUntil([&] { return outcome.probeFinished && outcome.labelsSent && outcome.x10Sent; },
              20000);
    return outcome;
}

// The three requests one after the other, as three presses would make them.
Outcome runOneByOne(const QString& address, const QString& x10Path, const EventLog& log)
{
    QtHttpFetcher inet(FetchLimits{std::chrono::seconds(5)});
    Outcome outcome;
    PingOvlix(inet, log, address, [&](std::optional<QString> version) {
        outcome.probeFinished = true;
        outcome.version = std::move(version);
    });
    waitUntil([&] { return outcome.probeFinished; });
    SendHttp(inet, log, kLabelsWindowSend, address, QStringLiteral("/label.spi?a=1"),
             [&](const FetchResult& result) { outcome.labelsSent = result.ok; });
    waitUntil([&] { return outcome.labelsSent.has_value(); });
    SendHttp(inet, log, kX10WindowSend, address, x10Path,
             [&](const FetchResult& result) { outcome.x10Sent = result.ok; });
    waitUntil([&] { return outcome.x10Sent.has_value(); });
    return outcome;
}

} // namespace

TEST(RogueDevice, AnyCompletedAnswerIsTheDevicesAnswerAndOnePressIsOneRequest)
{
    const QByteArray passcode = "s3cr3t-731";
    const QString x10Path = QStringLiteral("/x10.spi?house=A&unit=1&cmd=2&userpass=") + passcode;
    const QByteArray versionPage = "<html><version>2.1a</version></html>";
    const QByteArray statuses[] = {"200 OK",
                                   "301 Moved Permanently",
                                   "400 Bad Request",
                                   "401 Unauthorized",
                                   "403 Forbidden",
                                   "404 Not Found",
                                   "407 Proxy Authentication Required",
                                   "418 I'm a teapot",
                                   "500 Internal Server Error",
                                   "503 Service Unavailable"};
    for (const QByteArray& status : statuses) {
        SCOPED_TRACE(status.toStdString());
        ScriptedServer device(Behaviour::Answer, httpAnswer(versionPage, status));
        FilesFolder folder;
        const Outcome outcome = runOneByOne(device.address(), x10Path, folder.log());
        EXPECT_EQ(outcome.version, "2.1a");
        EXPECT_EQ(outcome.labelsSent, true);
        EXPECT_EQ(outcome.x10Sent, true);
        EXPECT_EQ(folder.logMessages(),
                  QStringList{QStringLiteral("frmDeviceLabels.SendHttp: URL=http://") +
                              device.address() + "/label.spi?a=1"});
        EXPECT_EQ(device.requests(), 3);
        EXPECT_FALSE(folder.read("OvlixSetup.log").contains(passcode));
    }

    // A device that takes the command and drops the connection has it once.
    ScriptedServer dropping(Behaviour::ReadAndClose);
    FilesFolder folder;
    const Outcome outcome = runOneByOne(dropping.address(), x10Path, folder.log());
    EXPECT_EQ(outcome.version, std::nullopt);
    EXPECT_EQ(outcome.labelsSent, false);
    EXPECT_EQ(outcome.x10Sent, false);
    EXPECT_EQ(dropping.requests(), 3);
    EXPECT_EQ(dropping.connections(), 3);
    EXPECT_EQ(folder.logMessages(),
              (QStringList{"PingOvlix: index.htm version not found",
                           "frmDeviceLabels.SendHttp: URL=http://" + dropping.address() +
                               "/label.spi?a=1",
                           "ERROR::frmDeviceLabels.SendHttp: Connection closed before an answer",
                           "ERROR::SendHttp: Connection closed before an answer"}));
    EXPECT_FALSE(folder.read("OvlixSetup.log").contains(passcode));
}

TEST(RogueDevice, EachMisbehaviourHasItsDefinedOutcome)
{
    const std::vector<RogueScenario> scenarios = rogueScenarios();
    int passed = 0;
    for (const RogueScenario& scenario : scenarios) {
        FilesFolder folder;
        const Outcome outcome = runAll(scenario, folder.log());
        const QStringList lines = folder.logMessages();
        SCOPED_TRACE(scenario.name);
        ASSERT_TRUE(outcome.probeFinished && outcome.labelsSent && outcome.x10Sent);
        EXPECT_EQ(outcome.version, scenario.version);
        EXPECT_EQ(*outcome.labelsSent, scenario.commandSent);
        EXPECT_EQ(*outcome.x10Sent, scenario.commandSent);
        EXPECT_EQ(lines.contains(QStringLiteral("PingOvlix: index.htm version not found")),
                  !scenario.version.has_value());
        EXPECT_EQ(lines.filter(QStringLiteral("frmDeviceLabels.SendHttp: URL=")).size(), 1);
        if (!scenario.commandSent) {
            EXPECT_TRUE(lines.contains(scenario.commandError)) << lines.join('\n').toStdString();
            EXPECT_EQ(lines.filter(QStringLiteral("ERROR::frmDeviceLabels.SendHttp: ")).size(), 1);
        }
        EXPECT_EQ(lines.filter(QStringLiteral("ERROR::PingOvlix")).size(), 0);
        passed += !::testing::Test::HasFailure();
    }
    std::printf("rogue scenarios passed: %d of %zu\n", passed, scenarios.size());
}

TEST(RogueDevice, AnEndlessBodyIsCutAtTheCapAndMemoryStaysBounded)
{
    ScriptedServer endless(Behaviour::Endless);
    FilesFolder folder;
    rusage before{};
    getrusage(RUSAGE_SELF, &before);
    QtHttpFetcher inet;
    std::optional<FetchResult> result;
    inet.get(QUrl(QStringLiteral("http://") + endless.address()),
             [&result](const FetchResult& r) { result = r; });
    ASSERT_TRUE(waitUntil([&result] { return result.has_value(); }, 30000));
    rusage after{};
    getrusage(RUSAGE_SELF, &after);

    EXPECT_TRUE(result->ok);
    EXPECT_EQ(result->body.size(), 1024 * 1024);
    const long growthKiB = after.ru_maxrss - before.ru_maxrss;
    std::printf("endless body: %lld bytes sent by the server, peak resident memory grew by %ld KiB "
                "(to %ld KiB)\n",
                static_cast<long long>(endless.bytesSent()), growthKiB, after.ru_maxrss);
    // The cap is 1 MiB; a buffered endless body would run to gigabytes.
    EXPECT_LT(growthKiB, 64 * 1024);
}
