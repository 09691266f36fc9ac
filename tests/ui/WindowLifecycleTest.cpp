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

using WindowLifecycleTest = WindowFixture;

TEST_F(WindowLifecycleTest, AnAnswerAfterTheWindowClosedReachesNothingOfIt)
{
    // Each window with a request in flight.
    const auto askEveryWindow = [this](const QString& ip) {
        MainWindow* main = windows.openMain();
        context.DeviceIP = ip; // after the main window has loaded its own
        type(main, "txtOvlixIP", ip);
        click(main, "cmdVerify");
        click(windows.openDeviceLabels(), "cmdSend");
        click(windows.openControlDevices(), "cmdSend");
        NetworkWindow* network = windows.openNetwork();
        type(network, "txtIP", ip);
        QTest::mouseDClick(find(network, "txtVersion"), Qt::LeftButton);
        return QList<QWidget*>{main, windows.openDeviceLabels(), windows.openControlDevices(),
                               network};
    };
    for (QWidget* window : askEveryWindow("127.0.0.1:9")) {
        window->close(); // not yet deleted
        answer(versionPage("2.0"));
        EXPECT_FALSE(window->isEnabled()) << window->windowTitle().toStdString();
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    // Gone in mid-request, over real connections.
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
