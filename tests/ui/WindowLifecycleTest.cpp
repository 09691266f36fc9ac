// A window closed while it waits for the device: the answer, whether it comes
// before the window is gone or never, reaches nothing of it.

#include "support/ScriptedServer.h"
#include "support/WindowFixture.h"
#include "ui/ControlDevicesWindow.h"
#include "ui/DeviceLabelsWindow.h"
#include "ui/MainWindow.h"
#include "ui/NetworkWindow.h"

using namespace ovlix;
using namespace ovlix::test;

class WindowLifecycleTest : public WindowFixture {
protected:
    // Each window with a request in flight.
    QList<QWidget*> askEveryWindow(const QString& ip)
    {
        MainWindow* main = windows.openMain();
        context.DeviceIP = ip; // after the main window has loaded its own
        type(main, "txtOvlixIP", ip);
        click(main, "cmdVerify");
        click(windows.openDeviceLabels(), "cmdSend");
        click(windows.openControlDevices(), "cmdSend");
        NetworkWindow* network = windows.openNetwork();
        type(network, "txtIP", ip);
        QTest::mouseDClick(find(network, "txtVersion"), Qt::LeftButton);
        return {main, windows.openDeviceLabels(), windows.openControlDevices(), network};
    }
};

TEST_F(WindowLifecycleTest, AnAnswerAfterTheWindowClosedIsDropped)
{
    const QList<QWidget*> asking = askEveryWindow("127.0.0.1:9");
    for (QWidget* window : asking)
        window->close(); // not yet deleted
    for (int i = 0; i < asking.size(); ++i)
        answer(versionPage("2.0"));
    EXPECT_TRUE(messages.shown.isEmpty());
    for (QWidget* window : asking)
        EXPECT_FALSE(window->isEnabled()) << window->windowTitle().toStdString();
}

TEST_F(WindowLifecycleTest, AWindowGoneInMidRequestLeavesNoAnswerBehind)
{
    ScriptedServer silent(ScriptedServer::Behaviour::Silent);
    environment.makeTransfer = [this] { return std::make_unique<QtHttpFetcher>(limits); };
    const QList<QWidget*> asking = askEveryWindow(silent.address());
    ASSERT_TRUE(waitUntil([&] { return silent.connections() == 4; }));
    const QStringList logged = files.logMessages();
    for (QWidget* window : asking)
        window->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(waitUntil([&] { return silent.endedConnections() == 4; }));
    QTest::qWait(static_cast<int>(limits.deadline.count()) + 300);
    EXPECT_EQ(files.logMessages(), logged);
    EXPECT_TRUE(messages.shown.isEmpty());
}
