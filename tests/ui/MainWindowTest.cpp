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
}

// Every text of a box, button or label fits inside its frame, and within its
// window, with room for a font 5 % wider than the look's.
static void expectTextsFit(QWidget* control)
{
    const auto* label = qobject_cast<QLabel*>(control);
    const auto* list = qobject_cast<QComboBox*>(control->parentWidget());
    QStringList texts{control->property("text").toString().remove('&')};
    for (int i = 0; list && i < list->count(); ++i)
        texts << list->itemText(i);
    // Inside a box's frame, and a line edit's margin inside that.
    const int margin =
        label ? 0 : 2 + (list ? 0 : control->style()->pixelMetric(QStyle::PM_DefaultFrameWidth));
    QRect room = control->contentsRect().adjusted(margin, 0, -margin, 0) &
                 QRect(-control->pos(), control->parentWidget()->size());
    room.setWidth(room.width() * 100 / 105);
    const int wrap = label && label->wordWrap() ? Qt::TextWordWrap : 0;
    for (const QString& text : texts) {
        const QRect need = control->fontMetrics().boundingRect(room, wrap, text);
        const std::string what =
            (list ? list : control)->objectName().toStdString() + " " + text.toStdString();
        EXPECT_LE(need.width(), room.width()) << what;
        EXPECT_LE(wrap ? need.height() : 0, room.height()) << what;
    }
}

// Each window opens once, when its mnemonic is pressed twice. Its texts fit,
// each box that takes the focus has a name of its own to speak (a button
// speaks its caption), and each button's mnemonic presses it.
TEST_F(MainWindowTest, EachButtonAndMenuItemOpensItsWindowOnceInItsDocumentedForm)
{
    struct Form {
        QString keys, title, focus, greyBoxes, heading; // headings 9.75 points, the rest 8.25
        bool fixedBorder = false;
        QString deviceIp = "192.168.1.250"; // the labels and X10 windows take the typed address
    };
    const Form forms[] = {
        {"", "Ovlix 2.0.0", "cmdVerify", "txtVersion", "", true},
        {"Alt+N", "Ovlix Network Setup", "txtMAC", "txtVersion txtHostIP", "", true},
        {"Alt+C", "Control X10 Devices", "cmdSend", "txtOvlixIP", "Label6", false, "127.0.0.1:7"},
        {"Alt+E", "Device Labels", "txtLabel0", "", "Frame1", false, "127.0.0.1:7"},
        {"Alt+H, A", "Ovlix", "", "", "Label3"},
        {"Alt+T, F", "Find Ovlix Devices", "lstDevices", "", "", true},
    };
    ASSERT_EQ(QFontInfo(QApplication::font()).family(), "Liberation Sans")
        << "alone: ui/fonts.conf";
    MainWindow* main = windows.openMain();
    for (const Form& form : forms) {
        context.DeviceIP = "192.168.1.250";
        type(main, "txtOvlixIP", "127.0.0.1:7");
        QWidgetList opened;
        for (int press = 0; press < 2; ++press) {
            QApplication::setActiveWindow(main);
            const QKeySequence keys(form.keys); // into the menu once one is open
            for (int i = 0; i < keys.count(); ++i)
                QTest::keyClick(
                    QApplication::activePopupWidget() ? QApplication::activePopupWidget() : main,
                    keys[i].key(), keys[i].keyboardModifiers());
            ASSERT_TRUE(waitUntil([&] { // a mnemonic clicks when its key is let go
                opened = QApplication::topLevelWidgets();
                opened.removeIf([&](QWidget* w) { return w->windowTitle() != form.title; });
                return opened.size() == 1 && QApplication::activeWindow() == opened[0];
            })) << form.keys.toStdString()
                << ", press " << press << ": " << opened.size();
        }
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
        for (QPushButton* button : window->findChildren<QPushButton*>()) {
            EXPECT_EQ(button->font(), QApplication::font());
            QApplication::setActiveWindow(window);
            const QKeySequence mnemonic = QKeySequence::mnemonic(button->text());
            if (!mnemonic.isEmpty())
                QTest::keyClick(window, mnemonic[0].key(), mnemonic[0].keyboardModifiers());
            EXPECT_TRUE(button->isDown() || !button->isEnabled()) << button->text().toStdString();
            EXPECT_TRUE(waitUntil([&] { return !button->isDown(); }));
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
