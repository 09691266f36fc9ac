#include "ui/DeviceLabelsWindow.h"
#include "DeviceSimulator.h"
#include "support/LabelsExample.h"
#include "support/ScriptedServer.h"
#include "support/WindowFixture.h"
#include "ui/MainWindow.h"

#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace ovlix;
using namespace ovlix::test;

namespace {

const QString kWorkedExampleUpload =
    "/label.spi?labelevent=1&label01=Porch&h01=A&u01=1&label02=Garage&h02=A&u02=2"
    "&label03=Hall%20lamp&h03=B&u03=16&label04=&h04=A&u04=1&label05=&h05=A&u05=1"
    "&label06=&h06=A&u06=1&label07=&h07=A&u07=1&label08=&h08=A&u08=1";

} // namespace

class DeviceLabelsWindowTest : public WindowFixture {
protected:
    QLineEdit* label(QWidget* window, int i)
    {
        return find<QLineEdit>(window, QStringLiteral("txtLabel%1").arg(i).toLatin1().constData());
    }
    QComboBox* house(QWidget* window, int i)
    {
        return find<QComboBox>(window, QStringLiteral("cboHouse%1").arg(i).toLatin1().constData());
    }
    QComboBox* unit(QWidget* window, int i)
    {
        return find<QComboBox>(window, QStringLiteral("cboUnit%1").arg(i).toLatin1().constData());
    }

    LabelSet shown(QWidget* window)
    {
        LabelSet slots;
        for (int i = 0; i < kLabelSlots; ++i)
            slots[i] = {label(window, i)->text(), house(window, i)->currentText(),
                        unit(window, i)->currentText()};
        return slots;
    }

    // Types every row as a user would, into the label boxes and the editable
    // lists; also letters that have no key of their own.
    void type(QWidget* window, const LabelSet& slots)
    {
        for (int i = 0; i < kLabelSlots; ++i) {
            for (QLineEdit* box :
                 {label(window, i), house(window, i)->lineEdit(), unit(window, i)->lineEdit()})
                box->clear();
            label(window, i)->insert(slots[i].text);
            house(window, i)->lineEdit()->insert(slots[i].house);
            unit(window, i)->lineEdit()->insert(slots[i].unit);
        }
    }

    void click(QWidget* window, const char* button)
    {
        QTest::mouseClick(find<QPushButton>(window, button), Qt::LeftButton);
    }

    void send(QWidget* window)
    {
        click(window, "cmdSend");
        EXPECT_FALSE(window->isEnabled()); // one request per press
        EXPECT_TRUE(waitUntil([&] { return window->isEnabled(); }));
    }

    static void closeNow(QWidget* window)
    {
        window->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
};

TEST_F(DeviceLabelsWindowTest, OpensWithEightClearedRowsInTheDocumentedForm)
{
    DeviceLabelsWindow* window = windows.openDeviceLabels();
    EXPECT_EQ(window->windowTitle(), "Device Labels");
    EXPECT_EQ(window->size(), QSize(276, 414));
    EXPECT_EQ(shown(window), clearedLabelSet());
    for (int i = 0; i < kLabelSlots; ++i) {
        EXPECT_EQ(house(window, i)->count(), 16);
        EXPECT_EQ(unit(window, i)->itemText(15), "16");
        EXPECT_TRUE(house(window, i)->isEditable() && unit(window, i)->isEditable());
        EXPECT_EQ(label(window, i)->y(), QList<int>({47, 75, 103, 131, 159, 187, 215, 244})[i]);
    }
    EXPECT_EQ(find<QWidget>(window, "Label5")->font().pointSizeF(), 9.75);
    EXPECT_EQ(find<QGroupBox>(window, "Frame1")->font().pointSizeF(), 9.75);
    EXPECT_EQ(find<QWidget>(window, "Label2")->font().pointSizeF(), 9.75);
    EXPECT_EQ(label(window, 0)->font().pointSizeF(), 8.25);
    EXPECT_EQ(find<QPushButton>(window, "cmdSave")->font().pointSizeF(), 8.25);
    EXPECT_TRUE(files.logMessages().isEmpty());
}

TEST_F(DeviceLabelsWindowTest, OpensWithTheLabelsFileShownAtOnce)
{
    files.write("labels", kWorkedExampleFile);
    DeviceLabelsWindow* window = windows.openDeviceLabels();
    EXPECT_EQ(shown(window), workedExample());
    EXPECT_TRUE(files.logMessages().isEmpty());
}

TEST_F(DeviceLabelsWindowTest, NoBoxTakesACommaALineEndOrABlankInFront)
{
    DeviceLabelsWindow* window = windows.openDeviceLabels();
    QLineEdit* box = label(window, 0);
    QTest::keyClicks(box, " Porch, front door lamp");
    EXPECT_EQ(box->text(), "Porch front door");
    box->clear();
    QApplication::clipboard()->setText("Hall,lamp");
    box->paste();
    EXPECT_EQ(box->text(), "");
    QApplication::clipboard()->setText("Hall lamp");
    box->paste();
    EXPECT_EQ(box->text(), "Hall lamp");

    for (QComboBox* codes : {house(window, 1), unit(window, 1)}) {
        codes->lineEdit()->clear();
        QTest::keyClicks(codes->lineEdit(), " x,y");
        EXPECT_EQ(codes->currentText(), "xy");
        codes->lineEdit()->clear();
        for (const char* pasted : {"1,2", "1\r\n2", "\t3"}) {
            QApplication::clipboard()->setText(pasted);
            codes->lineEdit()->paste();
        }
        EXPECT_EQ(codes->currentText(), "");
    }
}

TEST_F(DeviceLabelsWindowTest, SaveWritesTheFileClearLeavesItAndLoadBringsItBack)
{
    DeviceLabelsWindow* window = windows.openDeviceLabels();
    type(window, workedExample());
    click(window, "cmdSave");
    EXPECT_EQ(files.read("labels"), kWorkedExampleFile);

    house(window, 7)->lineEdit()->setText("Q");
    click(window, "cmdClear");
    EXPECT_EQ(shown(window), clearedLabelSet());
    for (int i = 0; i < kLabelSlots; ++i) {
        EXPECT_EQ(house(window, i)->count(), 16);
        EXPECT_EQ(unit(window, i)->count(), 16);
    }
    EXPECT_EQ(files.read("labels"), kWorkedExampleFile);

    click(window, "cmdLoad");
    EXPECT_EQ(shown(window), workedExample());

    // Whatever the boxes take is saved as typed and comes back as it was.
    LabelSet typed = workedExample();
    typed[3] = {"Hall\tlamp ", "q", "+5"};
    typed[4] = {"Attic", "Bx", "05"};
    typed[5] = {"Cellar", "", ""};
    type(window, typed);
    EXPECT_EQ(shown(window), typed);
    click(window, "cmdSave");
    EXPECT_EQ(files.read("labels").split('\n').mid(3, 3),
              (QByteArrayList{"Hall\tlamp ,q,+5\r", "Attic,Bx,05\r", "Cellar,,\r"}));
    click(window, "cmdClear");
    click(window, "cmdLoad");
    EXPECT_EQ(shown(window), typed);
    EXPECT_TRUE(files.logMessages().isEmpty());
    EXPECT_TRUE(messages.shown.isEmpty());
}

TEST_F(DeviceLabelsWindowTest, AFailedSaveSaysSoAndLogsIt)
{
    QDir(files.path("")).mkdir("labels"); // a folder where the file belongs
    DeviceLabelsWindow* window = windows.openDeviceLabels();
    type(window, workedExample());
    click(window, "cmdSave");
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_TRUE(messages.shown[0].startsWith("Labels not saved\r\n"))
        << messages.shown[0].toStdString();
    const QString error = messages.shown[0].mid(18);
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(files.logMessages(), QStringList{"ERROR::frmDeviceLabels.SaveLabels: " + error});
    EXPECT_EQ(shown(window), workedExample());
}

TEST_F(DeviceLabelsWindowTest, OpensOnceFromTheMainWindowAndReopeningDropsUnsavedEdits)
{
    files.write("labels", kWorkedExampleFile);
    MainWindow* main = windows.openMain();
    find<QLineEdit>(main, "txtOvlixIP")->setText("127.0.0.1:1");
    QTest::mouseClick(find<QPushButton>(main, "cmdDeviceLabels"), Qt::LeftButton);
    EXPECT_EQ(context.DeviceIP, "127.0.0.1:1");
    DeviceLabelsWindow* window = windows.openDeviceLabels();
    label(window, 0)->setText("Edited");

    QTest::mouseClick(find<QPushButton>(main, "cmdDeviceLabels"), Qt::LeftButton);
    EXPECT_EQ(windows.openDeviceLabels(), window);
    EXPECT_EQ(label(window, 0)->text(), "Edited");
    const QWidgetList tops = QApplication::topLevelWidgets();
    EXPECT_EQ(std::count_if(tops.begin(), tops.end(),
                            [](QWidget* w) { return qobject_cast<DeviceLabelsWindow*>(w); }),
              1);

    closeNow(window);
    QTest::mouseClick(find<QPushButton>(main, "cmdDeviceLabels"), Qt::LeftButton);
    window = windows.openDeviceLabels();
    EXPECT_EQ(shown(window), workedExample());

    label(window, 1)->setText("Edited");
    closeNow(window);
    QFile::remove(files.path("labels"));
    window = windows.openDeviceLabels();
    EXPECT_EQ(shown(window), clearedLabelSet());
}

TEST_F(DeviceLabelsWindowTest, SendUploadsAllEightSlotsInOneRequestAsTheDeviceReceivesIt)
{
    DeviceSimulator device;
    ASSERT_TRUE(device.listen());
    context.DeviceIP = QStringLiteral("127.0.0.1:%1").arg(device.port());
    DeviceLabelsWindow* window = windows.openDeviceLabels();

    send(window);
    QString cleared = "/label.spi?labelevent=1";
    for (int n = 1; n <= 8; ++n)
        cleared += QStringLiteral("&label0%1=&h0%1=A&u0%1=1").arg(n);
    EXPECT_EQ(device.requests(), QList<QString>{cleared});

    type(window, workedExample());
    send(window);
    EXPECT_EQ(device.requests().value(1), kWorkedExampleUpload);
    EXPECT_EQ(device.labels().queryItemValue("label03", QUrl::FullyDecoded), "Hall lamp");

    // Codes typed by hand go out as typed; no text can make a field of its own.
    LabelSet odd = workedExample();
    odd[0] = {"a&h02=Z#%+\u00fc", "q", "05"};
    type(window, odd);
    send(window);
    EXPECT_TRUE(
        device.requests().value(2).startsWith("/label.spi?labelevent=1&label01=a%26h02%3DZ%23%25%"
                                              "2B%C3%BC&h01=q&u01=05&label02=Garage&h02=A"))
        << device.requests().value(2).toStdString();
    EXPECT_EQ(device.labels().queryItemValue("h02"), "A");

    EXPECT_EQ(messages.shown, QStringList(3, "Labels sent"));
    const QString urlLine = "frmDeviceLabels.SendHttp: URL=http://" + context.DeviceIP;
    EXPECT_EQ(files.logMessages(), (QStringList{urlLine + cleared, urlLine + kWorkedExampleUpload,
                                                urlLine + device.requests().value(2)}));
}

TEST_F(DeviceLabelsWindowTest, AFailedSendLogsBothLinesAndTellsTheUser)
{
    context.DeviceIP = ScriptedServer::refusingAddress();
    files.write("labels", kWorkedExampleFile);
    DeviceLabelsWindow* window = windows.openDeviceLabels();
    send(window);
    EXPECT_EQ(files.logMessages(),
              (QStringList{"frmDeviceLabels.SendHttp: URL=http://" + context.DeviceIP +
                               kWorkedExampleUpload,
                           "ERROR::frmDeviceLabels.SendHttp: Connection refused",
                           "frmDeviceLabels.SetOvlixLabels: Http get failed"}));
    EXPECT_EQ(messages.shown, QStringList{"Send Labels Failed\r\nVerify IP Address"});
    EXPECT_EQ(shown(window), workedExample());
}
