// What a user sees of a misbehaving device: the version box, the messages and
// the windows coming back to life, for each rogue device.

#include "support/RogueScenarios.h"
#include "support/WindowFixture.h"
#include "ui/ControlDevicesWindow.h"
#include "ui/DeviceLabelsWindow.h"
#include "ui/MainWindow.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace ovlix;
using namespace ovlix::test;

using RogueDeviceWindowsTest = WindowFixture;

TEST_F(RogueDeviceWindowsTest, EachMisbehaviourEndsInItsDefinedMessage)
{
    for (const RogueScenario& scenario : rogueScenarios()) {
        SCOPED_TRACE(scenario.name);
        ScriptedServer device(scenario.behaviour, scenario.response, scenario.tickMs);
        limits.deadline = scenario.deadline;
        messages.shown.clear();

        MainWindow* main = windows.openMain();
        find<QLineEdit>(main, "txtOvlixIP")->setText(device.address());
        find<QLineEdit>(main, "txtVersion")->setText(QStringLiteral("1.9"));
        QTest::mouseClick(find<QPushButton>(main, "cmdVerify"), Qt::LeftButton);
        ASSERT_TRUE(waitUntil([&] { return main->isEnabled(); }, 30000));
        EXPECT_EQ(find<QLineEdit>(main, "txtVersion")->text(), scenario.version.value_or("1.9"));
        const QStringList verifyMessages =
            scenario.version
                ? QStringList()
                : QStringList{QStringLiteral("Ovlix at IP: ") + device.address() + " not found"};
        EXPECT_EQ(messages.shown, verifyMessages);

        QTest::mouseClick(find<QPushButton>(main, "cmdDeviceLabels"), Qt::LeftButton);
        DeviceLabelsWindow* labels = windows.openDeviceLabels();
        QTest::mouseClick(find<QPushButton>(labels, "cmdSend"), Qt::LeftButton);
        ASSERT_TRUE(waitUntil([&] { return labels->isEnabled(); }, 30000));
        EXPECT_EQ(messages.shown.mid(verifyMessages.size()),
                  QStringList{scenario.commandSent ? QStringLiteral("Labels sent")
                                                   : QStringLiteral("Send Labels Failed\r\n"
                                                                    "Verify IP Address")});

        // The X10 window tells the user nothing either way.
        QTest::mouseClick(find<QPushButton>(main, "cmdX10"), Qt::LeftButton);
        ControlDevicesWindow* x10 = windows.openControlDevices();
        QTest::mouseClick(find<QPushButton>(x10, "cmdSend"), Qt::LeftButton);
        ASSERT_TRUE(waitUntil([&] { return x10->isEnabled(); }, 30000));
        EXPECT_EQ(messages.shown.size(), verifyMessages.size() + 1);

        for (QWidget* window : QList<QWidget*>{x10, labels, main})
            delete window;
    }
}
