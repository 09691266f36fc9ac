#include "ControlDevicesWindow.h"

#include "device/DeviceRequests.h"
#include "ui_ControlDevicesWindow.h"
#include "WindowEnvironment.h"
#include "x10/X10Codes.h"

namespace ovlix {

ControlDevicesWindow::ControlDevicesWindow(WindowEnvironment& environment, WindowRegistry&)
    : ui(std::make_unique<Ui::frmControlDevices>()), environment_(environment),
      Inet1(environment.makeTransfer())
{
    ui->setupUi(this);
    useHeadingFont(*ui->Label6);
    showAsReadOnly(*ui->txtOvlixIP);

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
}

void ControlDevicesWindow::cmdSend_Click()
{
    const QString path = x10RequestPath({ui->cboHouse->currentText(), ui->cboUnit->currentText(),
                                         ui->cboCommand->currentText(), ui->txtPasscode->text()});
    wait_.begin();
    // The device's answer is not shown; a failure is logged without the URL,
    // which carries the passcode.
    SendHttp(*Inet1, environment_.log, kX10WindowSend, environment_.context.DeviceIP, path,
             [this](bool) { wait_.end(); });
}

} // namespace ovlix
