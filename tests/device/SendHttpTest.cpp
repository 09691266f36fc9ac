#include "device/DeviceRequests.h"
#include "device/QtHttpFetcher.h"
#include "DeviceSimulator.h"
#include "labels/LabelUpload.h"
#include "support/ScriptedServer.h"
#include "support/TestSupport.h"
#include "x10/X10Codes.h"

#include <gtest/gtest.h>

using namespace ovlix;
using namespace ovlix::test;

namespace {

std::optional<bool> send(const EventLog& log, const SendHttpStyle& style, const QString& ip,
                         const QString& path)
{
    QtHttpFetcher inet;
    std::optional<bool> ok;
    SendHttp(inet, log, style, ip, path, [&ok](const FetchResult& result) { ok = result.ok; });
    waitUntil([&ok] { return ok.has_value(); });
    return ok;
}

} // namespace

TEST(SendHttp, SendsThePathUnchangedAndLogsTheUrlOnlyForTheLabelsWindow)
{
    FilesFolder folder;
    DeviceSimulator device;
    ASSERT_TRUE(device.listen());
    const QString ip = QStringLiteral("127.0.0.1:%1").arg(device.port());
    const QString path = QStringLiteral("/label.spi?labelevent=1&label01=Hall%20lamp&h01=B");

    EXPECT_EQ(send(folder.log(), kLabelsWindowSend, ip, path), true);
    EXPECT_EQ(send(folder.log(), kX10WindowSend, ip, QStringLiteral("/x10.spi?userpass=731")),
              true);

    EXPECT_EQ(device.requests(), (QList<QString>{path, "/x10.spi?userpass=731"}));
    EXPECT_EQ(folder.logMessages(),
              QStringList{QStringLiteral("frmDeviceLabels.SendHttp: URL=http://") + ip + path});
}

TEST(SendHttp, AFailedTransferGivesTheWindowsErrorLine)
{
    FilesFolder folder;
    const QString refused = ScriptedServer::refusingAddress();
    EXPECT_EQ(send(folder.log(), kLabelsWindowSend, refused, QStringLiteral("/label.spi?x=1")),
              false);
    EXPECT_EQ(send(folder.log(), kX10WindowSend, refused, QStringLiteral("/x10.spi?userpass=731")),
              false);
    EXPECT_EQ(folder.logMessages(),
              (QStringList{QStringLiteral("frmDeviceLabels.SendHttp: URL=http://") + refused +
                               "/label.spi?x=1",
                           "ERROR::frmDeviceLabels.SendHttp: Connection refused",
                           "ERROR::SendHttp: Connection refused"}));
}

TEST(EncodeQueryValue, LeavesOnlyUnreservedCharactersAsTheyAre)
{
    EXPECT_EQ(encodeQueryValue(QStringLiteral("Hall lamp")), "Hall%20lamp");
    EXPECT_EQ(encodeQueryValue(QStringLiteral("a&b=c#d%e+f")), "a%26b%3Dc%23d%25e%2Bf");
    EXPECT_EQ(encodeQueryValue(QStringLiteral("AZaz09-._~")), "AZaz09-._~");
    EXPECT_EQ(encodeQueryValue(QStringLiteral("K\u00fcche\r\n")), "K%C3%BCche%0D%0A");
}
