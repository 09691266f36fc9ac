// The labels and X10 windows: what they keep, send and tell.

#include "support/LabelsExample.h"
#include "support/WindowFixture.h"
#include "ui/ControlDevicesWindow.h"
#include "ui/DeviceLabelsWindow.h"

#include <QComboBox>

using namespace ovlix;
using namespace ovlix::test;

class DeviceWindowsTest : public WindowFixture {
protected:
    // Types into a box, or into the text box of a list.
    QLineEdit* box(QWidget* window, const QString& name)
    {
        auto* list = window->findChild<QComboBox*>(name);
        return list ? list->lineEdit() : find(window, name);
    }
    // One press of Send, answered; no second request while it waits.
    QString send(QWidget* window, const FetchResult& result = {true, "ok", {}, {}})
    {
        click(window, "cmdSend");
        click(window, "cmdSend");
        EXPECT_FALSE(window->isEnabled());
        answer(result);
        EXPECT_TRUE(window->isEnabled());
        EXPECT_EQ(held.count(), answered);
        return lastUrl().mid(QString("http://127.0.0.1:1/").size());
    }
    QString upload(const QStringList& rows)
    {
        QString path = "label.spi?labelevent=1";
        for (int i = 0; i < kLabelSlots; ++i) {
            const QStringList row = (rows.value(i) + ",A,1").split(',');
            path += QString("&label0%1=%2&h0%1=%3&u0%1=%4").arg(i + 1).arg(row[0], row[1], row[2]);
        }
        return path;
    }
};

TEST_F(DeviceWindowsTest, LabelsAreLoadedClearedSavedAndSentAsShown)
{
    context.DeviceIP = "127.0.0.1:1";
    files.write("labels", QByteArray(kWorkedExampleFile).replace(",B,16", ",B ,16 "));
    DeviceLabelsWindow* window = windows.openDeviceLabels();
    const QString example = upload({"Porch,A,1", "Garage,A,2", "Hall%20lamp,B,16"});
    EXPECT_EQ(send(window), example);
    click(window, "cmdClear");
    EXPECT_EQ(send(window), upload({}));
    for (const QComboBox* list : window->findChildren<QComboBox*>()) // every row, every code
        EXPECT_EQ(list->count(), 16) << list->objectName().toStdString();
    click(window, "cmdLoad");
    EXPECT_EQ(send(window), example);
    // Codes typed by hand go out as typed; no text can make a field of its own.
    box(window, "txtLabel0")->setText("a&h02=Z#%+\u00fc");
    box(window, "cboHouse0")->setText("q");
    EXPECT_EQ(send(window), upload({"a%26h02%3DZ%23%25%2B" + kUmlautOnWire + ",q,1", "Garage,A,2",
                                    "Hall%20lamp,B,16"}));
    click(window, "cmdSave");
    EXPECT_EQ(files.read("labels"),
              "a&h02=Z#%+" + kUmlautInFile + ",q,1\r\n" + kWorkedExampleFile.mid(11));
    // No box takes a comma or a blank in front, and a label no more than its length.
    for (const auto& [name, kept] : {std::pair<QString, QString>{"txtLabel1", "Porch front door"},
                                     {"cboHouse1", "Porch front door lamp"},
                                     {"cboUnit1", "Porch front door lamp"}}) {
        box(window, name)->clear();
        QTest::keyClicks(box(window, name), " Porch, front door lamp");
        EXPECT_EQ(box(window, name)->text(), kept);
    }
    for (const QChar typed : QString("\u0141\u00f3d\u017a")) // nor what the code page lacks
        QTest::sendKeyEvent(QTest::Click, box(window, "txtLabel2"), Qt::Key_unknown, typed, {});
    EXPECT_EQ(box(window, "txtLabel2")->text(), "Hall lamp" + kLodzAsTyped);
    context.LabelsFile = files.path("missing-folder/labels");
    click(window, "cmdSave");
    send(window, kConnectionRefused);
    const QString error = messages.shown.value(4).mid(18);
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(messages.shown, QStringList(4, "Labels sent")
                                  << "Labels not saved\r\n" + error
                                  << "Send Labels Failed\r\nVerify IP Address");
    const QString urlLine = "frmDeviceLabels.SendHttp: URL=";
    EXPECT_EQ(files.logMessages().first(), urlLine + "http://127.0.0.1:1/" + example);
    EXPECT_EQ(files.logMessages().mid(4),
              (QStringList{"ERROR::frmDeviceLabels.SaveLabels: " + error, urlLine + lastUrl(),
                           "ERROR::frmDeviceLabels.SendHttp: Connection refused",
                           "frmDeviceLabels.SetOvlixLabels: Http get failed"}));
}

TEST_F(DeviceWindowsTest, EachX10PressSendsOneCommandWithTheFieldsAsTypedAndEncoded)
{
    context.DeviceIP = "127.0.0.1:1";
    ControlDevicesWindow* window = windows.openControlDevices();
    EXPECT_EQ(text(window, "txtOvlixIP"), "127.0.0.1:1");
    EXPECT_EQ(send(window), "x10.spi?house=A&unit=1&cmd=2&x10event=1&userpass=731");
    for (const QString name : {"cboHouse", "cboUnit"}) {
        auto* list = find<QComboBox>(window, name);
        EXPECT_EQ(list->count(), 16);
        EXPECT_TRUE(!list->completer() && list->insertPolicy() == QComboBox::NoInsert);
    }
    for (const auto& [typed, path] :
         {std::pair<QString, QString>{"B|12|Off|", "house=B&unit=12&cmd=3&x10event=1&userpass="},
          {"P|16|Query|731", "house=P&unit=16&cmd=8&x10event=1&userpass=731"},
          {"q|05|on|731", "house=q&unit=05&cmd=&x10event=1&userpass=731"},
          {"A&unit=9|1 2|On|7 3#1%+=\u00fc",
           "house=A%26unit%3D9&unit=1%202&cmd=2&x10event=1&userpass=7%203%231%25%2B%3D" +
               kUmlautOnWire}}) {
        const QStringList names{"cboHouse", "cboUnit", "cboCommand", "txtPasscode"};
        for (int i = 0; i < names.size(); ++i)
            box(window, names[i])->setText(typed.section('|', i, i));
        EXPECT_EQ(send(window), "x10.spi?" + path);
    }
    // A failure shows only in the log, without the passcode.
    send(window, kConnectionRefused);
    EXPECT_EQ(files.logMessages(), QStringList{"ERROR::SendHttp: Connection refused"});
    EXPECT_TRUE(messages.shown.isEmpty());
}
