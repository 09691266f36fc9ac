// The built ovlix, run as a user runs it, through the terminal session of
// tests/cli/ovlix-session.txt, whose header tells how to read it.

#include "DeviceSimulator.h"
#include "support/LabelsExample.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <QTcpServer>

TEST(OvlixCommand, SendsExactlyWhatWasAskedAndSaysHowItWent)
{
    ovlix::DeviceSimulator device;
    ASSERT_TRUE(device.listen());
    QTcpServer closed;
    QTcpServer silent;
    ASSERT_TRUE(closed.listen(QHostAddress::LocalHost) && silent.listen(QHostAddress::LocalHost));
    const QString refused = QStringLiteral("127.0.0.1:%1").arg(closed.serverPort());
    closed.close();
    using namespace ovlix::test;
    runTerminalSession(
        OVLIX_TEST_DATA "/ovlix-session.txt",
        {{"DEVICE", QStringLiteral("127.0.0.1:%1").arg(device.port())},
         {"REFUSED", refused},
         {"FORGED", refused + "\r\n1 Jan 2026 00:00:00FORGED"},
         {"SILENT", QStringLiteral("127.0.0.1:%1").arg(silent.serverPort())},
         {"DEVSIM", qEnvironmentVariable("OVLIX_DEVSIM")},
         {"LABELS", "/label.spi?labelevent=1&label01=Porch&h01=A&u01=1&label02=Garage&h02=A&"
                    "u02=2&label03=Hall%20lamp&h03=B&u03=16&label04=&h04=A&u04=1&label05=&h05=A&"
                    "u05=1&label06=&h06=A&u06=1&label07=&h07=A&u07=1&label08=&h08=A&u08=1"}},
        kWorkedExampleFile, &device);
}
