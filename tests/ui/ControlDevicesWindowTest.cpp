#include "ui/ControlDevicesWindow.h"
#include "DeviceSimulator.h"
#include "support/ScriptedServer.h"
#include "support/WindowFixture.h"
#include "ui/MainWindow.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace ovlix;
using namespace ovlix::test;

class ControlDevicesWindowTest : public WindowFixture {
protected:
    // What the user has in the window's four inputs.
    struct Inputs {
        QString house, unit, command, passcode;
    };

    void enter(QWidget* window, const Inputs& inputs)
    {
        typeInto(find<QComboBox>(window, "cboHouse")->lineEdit(), inputs.house);
        typeInto(find<QComboBox>(window, "cboUnit")->lineEdit(), inputs.unit);
        typeInto(find<QComboBox>(window, "cboCommand")->lineEdit(), inputs.command);
        typeInto(find<QLineEdit>(window, "txtPasscode"), inputs.passcode);
    }

    // As typed, but also for letters that have no key of their own.
    static void typeInto(QLineEdit* box, const QString& text)
    {
        box->clear();
        box->insert(text);
    }

    // One press, waited for; the window takes no input meanwhile.
    void press(QWidget* window)
    {
        QTest::mouseClick(find<QPushButton>(window, "cmdSend"), Qt::LeftButton);
        EXPECT_FALSE(window->isEnabled());
        EXPECT_TRUE(waitUntil([&] { return window->isEnabled(); }));
    }

    static void closeNow(QWidget* window)
    {
        window->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
};

TEST_F(ControlDevicesWindowTest, OpensWithTheDefaultsInTheDocumentedForm)
{
    context.DeviceIP = "127.0.0.1:1";
    ControlDevicesWindow* window = windows.openControlDevices();
    EXPECT_EQ(window->windowTitle(), "Control X10 Devices");
    EXPECT_EQ(window->size(), QSize(227, 285));
    EXPECT_EQ(window->windowFlags() & Qt::WindowMinMaxButtonsHint, Qt::WindowMinMaxButtonsHint);

    const auto items = [](QComboBox* list) {
        QStringList texts;
        for (int i = 0; i < list->count(); ++i)
            texts.append(list->itemText(i));
        return texts;
    };
    auto* house = find<QComboBox>(window, "cboHouse");
    auto* unit = find<QComboBox>(window, "cboUnit");
    auto* command = find<QComboBox>(window, "cboCommand");
    EXPECT_EQ(items(house).join(""), "ABCDEFGHIJKLMNOP");
    EXPECT_EQ(items(unit).join(" "), "1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16");
    EXPECT_EQ(items(command), (QStringList{"On", "Off", "Query"}));
    EXPECT_EQ(house->currentText(), "A");
    EXPECT_EQ(unit->currentText(), "1");
    EXPECT_EQ(command->currentText(), "On");
    EXPECT_TRUE(house->isEditable() && unit->isEditable() && command->isEditable());
    EXPECT_EQ(find<QLineEdit>(window, "txtPasscode")->text(), "731");
    auto* ip = find<QLineEdit>(window, "txtOvlixIP");
    EXPECT_EQ(ip->text(), "127.0.0.1:1");
    EXPECT_TRUE(ip->isReadOnly());
    EXPECT_FALSE(ip->focusPolicy() & Qt::TabFocus);
    EXPECT_EQ(find<QWidget>(window, "Label6")->font().pointSizeF(), 9.75);
    EXPECT_EQ(house->font().pointSizeF(), 8.25);

    QStringList order;
    QWidget* widget = find<QPushButton>(window, "cmdSend");
    for (int i = 0; i < 5; ++i, widget = widget->nextInFocusChain()) {
        while (!(widget->focusPolicy() & Qt::TabFocus) || widget->focusProxy())
            widget = widget->nextInFocusChain();
        order.append(widget->objectName());
    }
    EXPECT_EQ(order, (QStringList{"cmdSend", "cboHouse", "cboUnit", "cboCommand", "txtPasscode"}));
}

TEST_F(ControlDevicesWindowTest, EachPressSendsOneRequestWithTheFieldsAsTypedAndEncoded)
{
    DeviceSimulator device;
    ASSERT_TRUE(device.listen());
    context.DeviceIP = QStringLiteral("127.0.0.1:%1").arg(device.port());
    ControlDevicesWindow* window = windows.openControlDevices();

    struct Case {
        Inputs inputs;
        QString target;
    };
    const Case cases[] = {
        {{"A", "1", "On", "731"}, "/x10.spi?house=A&unit=1&cmd=2&x10event=1&userpass=731"},
        {{"B", "12", "Off", "731"}, "/x10.spi?house=B&unit=12&cmd=3&x10event=1&userpass=731"},
        {{"P", "16", "Query", "731"}, "/x10.spi?house=P&unit=16&cmd=8&x10event=1&userpass=731"},
        {{"A", "1", "on", "731"}, "/x10.spi?house=A&unit=1&cmd=&x10event=1&userpass=731"},
        {{"A", "1", "OFF", "731"}, "/x10.spi?house=A&unit=1&cmd=&x10event=1&userpass=731"},
        {{"A", "1", " On", "731"}, "/x10.spi?house=A&unit=1&cmd=&x10event=1&userpass=731"},
        {{"A", "1", "Dim", "731"}, "/x10.spi?house=A&unit=1&cmd=&x10event=1&userpass=731"},
        {{"", "", "", ""}, "/x10.spi?house=&unit=&cmd=&x10event=1&userpass="},
        {{"q", "05", "On", "731"}, "/x10.spi?house=q&unit=05&cmd=2&x10event=1&userpass=731"},
        {{"Q", "17", "On", "731"}, "/x10.spi?house=Q&unit=17&cmd=2&x10event=1&userpass=731"},
        {{"A&unit=9", "1 2", "On", "7 3#1%+=\u00fc"},
         "/x10.spi?house=A%26unit%3D9&unit=1%202&cmd=2&x10event=1&userpass=7%203%231%25%2B%3D%C3%"
         "BC"},
    };
    QList<QString> expected;
    for (const Case& c : cases) {
        enter(window, c.inputs);
        press(window);
        expected.append(c.target);
        EXPECT_EQ(device.requests(), expected);
    }
    // The same request again on the next press; the lists are as they were.
    press(window);
    EXPECT_EQ(device.requests().size(), expected.size() + 1);
    EXPECT_EQ(device.requests().last(), expected.last());
    EXPECT_EQ(device.x10Command().queryItemValue("userpass", QUrl::FullyDecoded), "7 3#1%+=\u00fc");
    EXPECT_EQ(find<QComboBox>(window, "cboHouse")->count(), 16);
    EXPECT_EQ(find<QComboBox>(window, "cboCommand")->count(), 3);
    EXPECT_TRUE(files.logMessages().isEmpty());
    EXPECT_TRUE(messages.shown.isEmpty());
}

TEST_F(ControlDevicesWindowTest, AFailedSendLeavesOnlyTheErrorLineWithoutThePasscode)
{
    context.DeviceIP = ScriptedServer::refusingAddress();
    ControlDevicesWindow* window = windows.openControlDevices();
    enter(window, {"C", "3", "Off", "secret-code"});
    press(window);
    EXPECT_EQ(files.logMessages(), QStringList{"ERROR::SendHttp: Connection refused"});
    EXPECT_TRUE(messages.shown.isEmpty());
    EXPECT_EQ(find<QComboBox>(window, "cboHouse")->currentText(), "C");
}

TEST_F(ControlDevicesWindowTest, OpensOnceFromTheMainWindowAndAfreshAfterClosing)
{
    DeviceSimulator device;
    ASSERT_TRUE(device.listen());
    MainWindow* main = windows.openMain();
    auto* mainIp = find<QLineEdit>(main, "txtOvlixIP");
    auto* controlDevices = find<QPushButton>(main, "cmdX10");
    mainIp->setText("127.0.0.1:1");
    QTest::mouseClick(controlDevices, Qt::LeftButton);
    ControlDevicesWindow* window = windows.openControlDevices();
    EXPECT_EQ(find<QLineEdit>(window, "txtOvlixIP")->text(), "127.0.0.1:1");
    enter(window, {"D", "4", "Query", "99"});

    // Opened again: the same window with what was typed; the address box keeps
    // what it showed, while the request goes to the address now in the main window.
    const QString address = QStringLiteral("127.0.0.1:%1").arg(device.port());
    mainIp->setText(address);
    QTest::mouseClick(controlDevices, Qt::LeftButton);
    EXPECT_EQ(windows.openControlDevices(), window);
    EXPECT_EQ(find<QComboBox>(window, "cboHouse")->currentText(), "D");
    EXPECT_EQ(find<QLineEdit>(window, "txtOvlixIP")->text(), "127.0.0.1:1");
    press(window);
    EXPECT_EQ(device.requests(),
              QList<QString>{"/x10.spi?house=D&unit=4&cmd=8&x10event=1&userpass=99"});
    const QWidgetList tops = QApplication::topLevelWidgets();
    EXPECT_EQ(std::count_if(tops.begin(), tops.end(),
                            [](QWidget* w) { return qobject_cast<ControlDevicesWindow*>(w); }),
              1);

    closeNow(window);
    QTest::mouseClick(controlDevices, Qt::LeftButton);
    window = windows.openControlDevices();
    EXPECT_EQ(find<QComboBox>(window, "cboHouse")->currentText(), "A");
    EXPECT_EQ(find<QComboBox>(window, "cboUnit")->currentText(), "1");
    EXPECT_EQ(find<QComboBox>(window, "cboCommand")->currentText(), "On");
    EXPECT_EQ(find<QLineEdit>(window, "txtPasscode")->text(), "731");
    EXPECT_EQ(find<QLineEdit>(window, "txtOvlixIP")->text(), address);
}
