// Every window opened, closed in mid-request and during the network setup's
// wait, reopened and pressed twice, against a device that never answers: no
// crash, no answer delivered into a closed window, and the program's last
// window closing ends it. The suite also runs under the sanitizers.

#include "support/ScriptedServer.h"
#include "support/WindowFixture.h"
#include "ui/ControlDevicesWindow.h"
#include "ui/DeviceLabelsWindow.h"
#include "ui/MainWindow.h"
#include "ui/NetworkWindow.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace ovlix;
using namespace ovlix::test;
using namespace std::chrono_literals;

class WindowLifecycleTest : public WindowFixture {
protected:
    void click(QWidget* window, const char* button)
    {
        QTest::mouseClick(find<QPushButton>(window, button), Qt::LeftButton);
        ++steps;
    }

    void close(QWidget* window)
    {
        window->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        ++steps;
    }

    // Long enough for any abandoned request to have ended by its deadline.
    void outlastTheDeadline() { QTest::qWait(static_cast<int>(limits.deadline.count()) + 300); }

    static QWidgetList visibleWindows()
    {
        QWidgetList visible;
        for (QWidget* window : QApplication::topLevelWidgets())
            if (window->isVisible())
                visible.append(window);
        return visible;
    }

    ScriptedServer silent{ScriptedServer::Behaviour::Silent};
    int steps = 0;
};

TEST_F(WindowLifecycleTest, ClosingWindowsInMidRequestLeavesNoAnswerBehind)
{
    environment.network.arpWait = 1000ms;
    files.write(QStringLiteral("netset"), "lastip, 10.0.0.5\r\nlastmac, 00-03-75-aa-bb-cc\r\n");
    const QByteArray netsetBefore = files.read(QStringLiteral("netset"));

    MainWindow* main = windows.openMain();
    find<QLineEdit>(main, "txtOvlixIP")->setText(silent.address());
    click(main, "cmdX10");
    click(main, "cmdDeviceLabels");
    click(main, "cmdNetork");

    // X10 and labels: a request in flight when the window closes is abandoned.
    click(windows.openControlDevices(), "cmdSend");
    EXPECT_TRUE(waitUntil([&] { return silent.connections() == 1; }));
    close(windows.openControlDevices());
    click(windows.openDeviceLabels(), "cmdSend");
    EXPECT_TRUE(waitUntil([&] { return silent.connections() == 2; }));
    close(windows.openDeviceLabels());

    // Reopened afresh, a window takes one press while it waits, not two.
    auto* x10 = windows.openControlDevices();
    click(x10, "cmdSend");
    click(x10, "cmdSend");
    EXPECT_TRUE(waitUntil([&] { return silent.connections() == 3; }));

    // Network setup: closed during the wait, then during the probe after it.
    NetworkWindow* network = windows.openNetwork();
    find<QLineEdit>(network, "txtIP")->setText(silent.address());
    click(network, "cmdSetIP");
    close(network);
    network = windows.openNetwork();
    find<QLineEdit>(network, "txtIP")->setText(silent.address());
    click(network, "cmdSetIP");
    const int beforeProbe = silent.connections();
    EXPECT_TRUE(waitUntil([&] { return silent.connections() > beforeProbe; }));
    close(network);

    // The main window in mid-verify; the others stay open.
    click(main, "cmdVerify");
    close(main);
    EXPECT_EQ(windows.mainWindow(), nullptr);
    EXPECT_NE(windows.openControlDevices(), nullptr);
    EXPECT_FALSE(visibleWindows().isEmpty());

    outlastTheDeadline();
    outlastTheDeadline();

    // Only the reopened X10 window's one request was answered, by its deadline.
    const QStringList lines = files.logMessages();
    EXPECT_EQ(lines.filter(QStringLiteral("ERROR::SendHttp: ")).size(), 1);
    EXPECT_TRUE(lines.filter(QStringLiteral("frmDeviceLabels.SetOvlixLabels")).isEmpty());
    EXPECT_TRUE(lines.filter(QStringLiteral("PingOvlix")).isEmpty());
    EXPECT_TRUE(messages.shown.isEmpty());
    EXPECT_EQ(files.read(QStringLiteral("netset")), netsetBefore);
    // The network setup's commands ran for both presses, and only the second
    // press reached its tick.
    EXPECT_EQ(launcher.commandLines.filter(QStringLiteral("ping ")).size(), 2);

    // The program ends when its last window closes.
    close(windows.openControlDevices());
    EXPECT_TRUE(QApplication::quitOnLastWindowClosed());
    EXPECT_TRUE(visibleWindows().isEmpty());
    std::printf("lifecycle steps run: %d\n", steps);
}
