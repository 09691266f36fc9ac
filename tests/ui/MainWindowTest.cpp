#include "ui/MainWindow.h"
#include "support/WindowFixture.h"
#include "ui/AboutWindow.h"
#include "ui/ControlDevicesWindow.h"
#include "ui/DeviceLabelsWindow.h"
#include "ui/FindDevicesWindow.h"
#include "ui/NetworkWindow.h"

#include <QComboBox>
#include <QLabel>

using namespace ovlix;
using namespace ovlix::test;

using MainWindowTest = WindowFixture;

// Verify pressed by Return, by Enter and by a click; no other key presses a button.
TEST_F(MainWindowTest, VerifyShowsTheVersionOrSaysNotFound)
{
    files.write("netset", "lastmac, 00-03-75-aa-bb-cc\r\nlastip, 10.0.0.5\r\n");
    MainWindow* main = windows.openMain();
    EXPECT_EQ(text(main, "txtOvlixIP"), "10.0.0.5");
    QApplication::setActiveWindow(main);
    auto* verify = find<QPushButton>(main, "cmdVerify");
    type(main, "txtOvlixIP", "127.0.0.1:9");
    QTest::keyClick(find(main, "txtOvlixIP"), Qt::Key_Return); // not a button
    for (const Qt::Key key : {Qt::Key_Tab, Qt::Key_A, Qt::Key_Escape}) {
        verify->setFocus();
        QTest::keyClick(verify, key);
    }
    EXPECT_EQ(held.count(), 0); // none of them pressed it
    for (const auto& [reply, version, key] :
         {std::tuple<FetchResult, QString, Qt::Key>{versionPage("2.1a"), "2.1a", Qt::Key_Return},
          {kConnectionRefused, "1.9", Qt::Key_Enter},
          {{true, "<h1>hello</h1>", {}, {}}, "1.9", Qt::Key_unknown}}) {
        find(main, "txtVersion")->setText("1.9");
        // The focus comes back to where it was after the wait.
        QWidget* focused = key == Qt::Key_unknown ? find<QWidget>(main, "txtOvlixIP") : verify;
        focused->setFocus();
        if (key == Qt::Key_unknown)
            verify->click();
        else
            QTest::keyClick(verify, key);
        click(main, "cmdVerify"); // no second press while the probe waits
        EXPECT_FALSE(main->isEnabled());
        EXPECT_EQ(main->cursor().shape(), Qt::WaitCursor);
        answer(reply);
        EXPECT_EQ(main->cursor().shape(), Qt::ArrowCursor);
        EXPECT_EQ(QApplication::focusWidget(), focused);
        EXPECT_EQ(text(main, "txtVersion"), version);
    }
    EXPECT_EQ(held.count(), 3);
    EXPECT_EQ(lastUrl(), "http://127.0.0.1:9");
    EXPECT_EQ(context.DeviceIP, "127.0.0.1:9");
    EXPECT_EQ(messages.shown, QStringList(2, "Ovlix at IP: 127.0.0.1:9 not found"));
    EXPECT_EQ(files.logMessages(), QStringList(2, "PingOvlix: index.htm version not found"));
    // Enter presses a focused button that is no default button, too.
    QTest::keyClick(find<QPushButton>(main, "cmdNetork"), Qt::Key_Enter);
    const QWidgetList open = QApplication::topLevelWidgets();
    EXPECT_TRUE(std::any_of(open.begin(), open.end(), [](QWidget* w) {
        return qobject_cast<NetworkWindow*>(w) && w->isVisible();
    }));
}

// Every text of a box, button or label fits inside its frame, and within its
// window, with room for a font 5 % wider than the look's.
static void expectTextsFit(QWidget* control)
{
    const auto* label = qobject_cast<QLabel*>(control);
    const auto* list = qobject_cast<QLineEdit*>(control)
                           ? qobject_cast<QComboBox*>(control->parentWidget())
                           : nullptr;
    QStringList texts{control->property("text").toString().remove('&')};
    for (int i = 0; list && i < list->count(); ++i)
        texts << list->itemText(i);
    const int frame = control->style()->pixelMetric(QStyle::PM_DefaultFrameWidth);
    const int margin = label ? 0 : list ? 2 : frame + 2; // a line edit's, inside the frame
    QRect room = control->contentsRect().adjusted(margin, 0, -margin, 0) &
                 QRect(-control->pos(), control->parentWidget()->size());
    room.setWidth(room.width() * 100 / 105);
    const int wrap = label && label->wordWrap() ? Qt::TextWordWrap : 0;
    for (const QString& text : texts) {
        const QRect need = control->fontMetrics().boundingRect(room, wrap, text);
        const std::string what =
            (list ? list : control)->objectName().toStdString() + " '" + text.toStdString() + "'";
        EXPECT_LE(need.width(), room.width()) << what;
        EXPECT_LE(wrap ? need.height() : 0, room.height()) << what;
    }
}

// Types keys into a window, or into the menu that they opened.
static void pressKeys(QWidget* window, const QKeySequence& keys)
{
    for (int i = 0; i < keys.count(); ++i) {
        QWidget* menu = QApplication::activePopupWidget();
        QTest::keyClick(menu ? menu : window, keys[i].key(), keys[i].keyboardModifiers());
    }
}

// Each window opens once, by its mnemonic and by a click. Its texts fit, each
// box that takes the focus has a name of its own to speak (a button speaks its
// caption), and each mnemonic presses its button or focuses its box.
TEST_F(MainWindowTest, EachButtonAndMenuItemOpensItsWindowOnceInItsDocumentedForm)
{
    struct Form {
        // headings 9.75 points, the rest 8.25; mnemonics: keys, then what they press or focus
        QString control, keys, title, focus, greyBoxes, heading, mnemonics;
        bool fixedBorder = false;
        QString deviceIp = "192.168.1.250"; // the labels and X10 windows take the typed address
    };
    const Form forms[] = {
        {"", "", "Ovlix 2.0.0", "cmdVerify", "txtVersion", "", "Alt+V cmdVerify", true},
        {"cmdNetork", "Alt+N", "Ovlix Network Setup", "txtMAC", "txtVersion txtHostIP", "",
         "Alt+S cmdSetIP", true},
        {"cmdX10", "Alt+C", "Control X10 Devices", "cmdSend", "txtOvlixIP", "Label6",
         "Alt+S cmdSend", false, "127.0.0.1:7"},
        {"cmdDeviceLabels", "Alt+E", "Device Labels", "txtLabel0", "", "Frame1",
         "Alt+S cmdSave Alt+L cmdLoad Alt+C cmdClear Alt+O cmdSend", false, "127.0.0.1:7"},
        {"mnuAbout", "Alt+H, A", "Ovlix", "", "", "Label3", ""},
        {"mnuFindDevices", "Alt+T, F", "Find Ovlix Devices", "lstDevices", "", "",
         "Alt+S cmdSearchAgain Alt+D lstDevices", true},
    };
    ASSERT_EQ(QFontInfo(QApplication::font()).family(), "Liberation Sans")
        << "alone: ui/fonts.conf";
    MainWindow* main = windows.openMain();
    for (const Form& form : forms) {
        context.DeviceIP = "192.168.1.250";
        type(main, "txtOvlixIP", "127.0.0.1:7");
        QApplication::setActiveWindow(main);
        pressKeys(main, QKeySequence(form.keys)); // opens it as the clicks below do
        EXPECT_TRUE(waitUntil([&] {
            const QWidget* active = QApplication::activeWindow();
            return active && active->windowTitle() == form.title;
        })) << form.keys.toStdString();
        for (int press = 0; press < 2 && !form.control.isEmpty(); ++press)
            if (auto* button = main->findChild<QPushButton*>(form.control))
                QTest::mouseClick(button, Qt::LeftButton);
            else
                find<QAction>(main, form.control)->trigger();
        QWidgetList opened = QApplication::topLevelWidgets();
        opened.removeIf(
            [&](QWidget* w) { return w->windowTitle() != form.title || !w->isVisible(); });
        ASSERT_EQ(opened.size(), 1) << form.title.toStdString();
        QWidget* window = opened[0];
        QApplication::setActiveWindow(window);
        EXPECT_EQ(context.DeviceIP, form.deviceIp);
        EXPECT_EQ(window->focusWidget() ? window->focusWidget()->objectName() : "", form.focus);
        for (const QString& name : form.greyBoxes.split(' ', Qt::SkipEmptyParts))
            EXPECT_EQ(find(window, name)->palette().color(QPalette::Base),
                      window->palette().color(QPalette::Window).darker(110));
        for (const QString& name : form.heading.split(' ', Qt::SkipEmptyParts))
            EXPECT_DOUBLE_EQ(find<QWidget>(window, name)->font().pointSizeF() * 8.25,
                             QApplication::font().pointSizeF() * 9.75);
        EXPECT_EQ(!(window->windowFlags() & Qt::WindowMaximizeButtonHint), form.fixedBorder);
        for (const auto* button : window->findChildren<QPushButton*>())
            EXPECT_EQ(button->font(), QApplication::font());
        for (QWidget* control : window->findChildren<QWidget*>()) {
            expectTextsFit(control);
            const QString name = control->objectName();
            EXPECT_TRUE(control->focusPolicy() == Qt::NoFocus || name.isEmpty() ||
                        name.startsWith("qt_") || qobject_cast<QAbstractButton*>(control) ||
                        !control->accessibleName().isEmpty())
                << name.toStdString();
        }
        for (QLineEdit* box : window->findChildren<QLineEdit*>("txtIP"))
            box->setText("127.0.0.1:7"); // before Set IP Address
        const QStringList mnemonics = form.mnemonics.split(' ', Qt::SkipEmptyParts);
        for (qsizetype i = 0; i < mnemonics.size(); i += 2) {
            window->setFocus();
            pressKeys(window, QKeySequence(mnemonics[i]));
            auto* target = find<QWidget>(window, mnemonics[i + 1]);
            auto* button = qobject_cast<QAbstractButton*>(target);
            EXPECT_TRUE(button ? button->isDown() : target->hasFocus())
                << mnemonics[i].toStdString();
            EXPECT_TRUE(waitUntil([&] { return !button || !button->isDown(); }));
            while (answered < held.count())
                answer(kConnectionRefused);
        }
    }
    EXPECT_EQ(main->centralWidget()->size(), QSize(454, 264));
    EXPECT_EQ(windows.openNetwork()->size(), QSize(215, 267));
    EXPECT_EQ(find<QLabel>(windows.openAbout(), "LbVersion")->text(), "Ovlix 2.0.0");
    EXPECT_EQ(find<QLabel>(windows.openFindDevices(), "LbStatus")->text(),
              "This PC is on no network to search but loopback.");
}
