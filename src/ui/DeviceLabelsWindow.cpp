#include "DeviceLabelsWindow.h"

#include "CodePageValidator.h"
#include "core/Settings.h"
#include "labels/LabelsFile.h"
#include "labels/LabelUpload.h"
#include "MessageBoxes.h"
#include "ProgramLook.h"
#include "ui_DeviceLabelsWindow.h"
#include "WindowEnvironment.h"
#include "x10/X10Codes.h"

namespace ovlix {

namespace {

// A code read from the file selects its entry; a typed one stands as typed.
void showCode(QComboBox& list, const QString& code)
{
    const int entry = list.findText(code, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (entry >= 0)
        list.setCurrentIndex(entry);
    else
        list.setEditText(code);
}

} // namespace

DeviceLabelsWindow::DeviceLabelsWindow(WindowEnvironment& environment)
    : ui(std::make_unique<Ui::frmDeviceLabels>()), environment_(environment),
      Inet1(environment.makeTransfer())
{
    ui->setupUi(this);
    for (QWidget* heading : std::initializer_list<QWidget*>{ui->Label5, ui->Frame1, ui->Label1,
                                                            ui->Label2, ui->Label3, ui->Label4})
        useHeadingFont(*heading);
    // The X10 Code heading sits just below the line at the frame's top.
    runLineThroughTitle(*ui->Frame1);

    // The labels file has no escape for its delimiter or a line end, and drops
    // blanks in front of a field, and holds only what the code page can: a
    // text that held them would not come back as it was saved.
    auto* fieldText = new CodePageValidator(labelFieldPattern(), this);
    for (int i = 0; i < kLabelSlots; ++i) {
        txtLabel[i] = findChild<QLineEdit*>(QStringLiteral("txtLabel%1").arg(i));
        cboHouse[i] = findChild<QComboBox*>(QStringLiteral("cboHouse%1").arg(i));
        cboUnit[i] = findChild<QComboBox*>(QStringLiteral("cboUnit%1").arg(i));
        txtLabel[i]->setMaxLength(kMaxLabelLength);
        txtLabel[i]->setValidator(fieldText);
        cboHouse[i]->setValidator(fieldText);
        cboUnit[i]->setValidator(fieldText);
    }

    connect(ui->cmdSave, &QPushButton::clicked, this, &DeviceLabelsWindow::cmdSave_Click);
    connect(ui->cmdLoad, &QPushButton::clicked, this, &DeviceLabelsWindow::cmdLoad_Click);
    connect(ui->cmdClear, &QPushButton::clicked, this, &DeviceLabelsWindow::cmdClear_Click);
    connect(ui->cmdSend, &QPushButton::clicked, this, &DeviceLabelsWindow::cmdSend_Click);

    Form_Load();
    centreOnScreen(*this);
}

DeviceLabelsWindow::~DeviceLabelsWindow() = default;

void DeviceLabelsWindow::Form_Load()
{
    for (int i = 0; i < kLabelSlots; ++i) {
        fillCodeList(*cboHouse[i], x10HouseCodes());
        fillCodeList(*cboUnit[i], x10UnitCodes());
    }
    ClearLabels();
    if (FileExists(environment_.context.LabelsFile))
        ReadLabels();
}

void DeviceLabelsWindow::cmdSave_Click()
{
    SaveLabels();
}

void DeviceLabelsWindow::cmdLoad_Click()
{
    ReadLabels();
}

void DeviceLabelsWindow::cmdClear_Click()
{
    ClearLabels();
}

void DeviceLabelsWindow::cmdSend_Click()
{
    SetOvlixLabels();
}

void DeviceLabelsWindow::ClearLabels()
{
    showRows(clearedLabelSet());
}

void DeviceLabelsWindow::SaveLabels()
{
    const SaveResult saved =
        saveLabelsFile(environment_.log, environment_.context.LabelsFile, rows());
    if (!saved.ok)
        environment_.messages.show(this, QStringLiteral("Labels not saved\r\n") + saved.error);
}

void DeviceLabelsWindow::ReadLabels()
{
    LabelSet slots = rows();
    readLabelsFile(environment_.log, environment_.context.LabelsFile, slots);
    showRows(slots);
}

void DeviceLabelsWindow::SetOvlixLabels()
{
    sendLabels(*Inet1, environment_.log, environment_.context.DeviceIP, rows(),
               wait_.forAnswer([this](const FetchResult& result) {
                   environment_.messages.show(
                       this, result.ok ? QStringLiteral("Labels sent")
                                       : kSendLabelsFailedText.join(QStringLiteral("\r\n")));
               }));
}

LabelSet DeviceLabelsWindow::rows() const
{
    LabelSet slots;
    for (int i = 0; i < kLabelSlots; ++i)
        slots[i] = {txtLabel[i]->text(), cboHouse[i]->currentText(), cboUnit[i]->currentText()};
    return slots;
}

void DeviceLabelsWindow::showRows(const LabelSet& slots)
{
    for (int i = 0; i < kLabelSlots; ++i) {
        txtLabel[i]->setText(slots[i].text);
        showCode(*cboHouse[i], slots[i].house);
        showCode(*cboUnit[i], slots[i].unit);
    }
}

} // namespace ovlix
