// What a screen reader and a keyboard user meet: every control that takes the
// focus has a name to speak, and every button a mnemonic of its own.

#include "support/WindowFixture.h"
#include "ui/AboutWindow.h"
#include "ui/ControlDevicesWindow.h"
#include "ui/DeviceLabelsWindow.h"
#include "ui/FindDevicesWindow.h"
#include "ui/MainWindow.h"
#include "ui/NetworkWindow.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QKeySequence>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QSet>
#include <QTest>
#include <QTreeWidget>

using namespace ovlix;
using namespace ovlix::test;

using AccessibilityTest = WindowFixture;

TEST_F(AccessibilityTest, EveryControlHasANameAndEveryButtonAMnemonic)
{
    MainWindow* main = windows.openMain();
    const QList<QWidget*> all{main,
                              windows.openAbout(),
                              windows.openNetwork(),
                              windows.openDeviceLabels(),
                              windows.openControlDevices(),
                              windows.openFindDevices()};
    int controls = 0;
    for (QWidget* window : all) {
        QSet<QString> mnemonics;
        for (QWidget* control : window->findChildren<QWidget*>()) {
            if (!(control->focusPolicy() & Qt::ClickFocus) || control->objectName().isEmpty() ||
                control->objectName().startsWith(QLatin1String("qt_")))
                continue;
            ++controls;
            QAccessibleInterface* spoken = QAccessible::queryAccessibleInterface(control);
            ASSERT_NE(spoken, nullptr);
            EXPECT_FALSE(spoken->text(QAccessible::Name).trimmed().isEmpty())
                << window->windowTitle().toStdString() << " "
                << control->objectName().toStdString();
            if (auto* button = qobject_cast<QAbstractButton*>(control)) {
                const QString key = QKeySequence::mnemonic(button->text()).toString();
                EXPECT_FALSE(key.isEmpty()) << control->objectName().toStdString();
                EXPECT_FALSE(mnemonics.contains(key)) << control->objectName().toStdString();
                mnemonics.insert(key);
                // The mnemonic marks a letter; it adds none to the caption.
                EXPECT_EQ(spoken->text(QAccessible::Name), QString(button->text()).remove('&'));
            }
        }
    }
    EXPECT_GE(controls, 45); // the forms' buttons, boxes and lists
}

template <class Window> static bool isOpen()
{
    for (QWidget* window : QApplication::topLevelWidgets())
        if (qobject_cast<Window*>(window) && window->isVisible())
            return true;
    return false;
}

TEST_F(AccessibilityTest, ButtonsAnswerTheirMnemonicsAndEnter)
{
    MainWindow* main = windows.openMain();
    QApplication::setActiveWindow(main);
    QTest::keyClick(main, Qt::Key_C, Qt::AltModifier);
    EXPECT_TRUE(waitUntil([] { return isOpen<ControlDevicesWindow>(); }));

    auto* labelsButton = find<QPushButton>(main, "cmdDeviceLabels");
    labelsButton->setFocus();
    QTest::keyClick(labelsButton, Qt::Key_Return);
    EXPECT_TRUE(isOpen<DeviceLabelsWindow>());
}

TEST_F(AccessibilityTest, TheFindWindowSaysWhenThereIsNoNetworkAndEscapeClosesIt)
{
    QPointer<FindDevicesWindow> window = windows.openFindDevices();
    EXPECT_EQ(find<QLabel>(window, "LbStatus")->text(),
              "This PC is on no network to search but loopback.");
    EXPECT_EQ(find<QProgressBar>(window, "prgSearch")->text(), "0 of 0 addresses");
    EXPECT_TRUE(files.logMessages().last().endsWith(", 0 of 0 addresses asked, 0 found"));
    QTest::keyClick(find<QTreeWidget>(window, "lstDevices"), Qt::Key_Escape);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(window.isNull());
}
