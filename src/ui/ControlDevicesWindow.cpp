#include "ControlDevicesWindow.h"

#include "CodePageValidator.h"
#include "ProgramLook.h"
#include "ui_ControlDevicesWindow.h"
#include "WindowEnvironment.h"
#include "x10/X10Codes.h"

namespace ovlix {

ControlDevicesWindow::ControlDevicesWindow(WindowEnvironment& environment)
    : ui(std::make_unique<Ui::frmControlDevices>()), environment_(environment),
      Inet1(environment.makeTransfer())
{
    ui->setupUi(this);
    useHeadingFont(*ui->Label6);
    showAsReadOnly(*ui->txtOvlixIP);
    auto* anyText = new CodePageValidator(this);
    for (QComboBox* list : {ui->cboHouse, ui->cboUnit, ui->cboCommand})
        list->setValidator(anyText);
    ui->txtPasscode->setValidator(anyText);

    connect(ui->cmdSend, &QPushButton::clicked, this, &ControlDevicesWindow::cmdSend_Click);

    Form_Load();
    centreOnScreen(*this);
    ui->cmdSend->setFocus();
}

ControlDevicesWindow::~ControlDevicesWindow() = default;

void ControlDevicesWindow::Form_Load()
{
    ui->txtOvlixIP->setText(environment_.context.DeviceIP);
    fillCodeList(*ui->cboHouse, x10HouseCodes());
    fillCodeList(*ui->cboUnit, x10UnitCodes());
    fillCodeList(*ui->cboCommand, x10CommandNames());
    ui->txtPasscode->setText(kInitialX10Passcode);
}

void ControlDevicesWindow::cmdSend_Click()
{
    // The device's answer is not shown; a failure shows only in the log.
    sendX10Command(*Inet1, environment_.log, environment_.context.DeviceIP,
                   {ui->cboHouse->currentText(), ui->cboUnit->currentText(),
                    ui->cboCommand->currentText(), ui->txtPasscode->text()},
                   wait_.forAnswer([](const FetchResult&) {}));
}

} // namespace ovlix
