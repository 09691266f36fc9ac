#include "MainWindow.h"

#include "device/DeviceRequests.h"
#include "MessageBoxes.h"
#include "network/NetSettings.h"
#include "ProgramLook.h"
#include "ui_MainWindow.h"
#include "WindowEnvironment.h"

namespace ovlix {

MainWindow::MainWindow(WindowEnvironment& environment)
    : ui(std::make_unique<Ui::frmOvlix>()), environment_(environment),
      Inet1(environment.makeTransfer())
{
    ui->setupUi(this);
    useFixedBorder(*this);
    // The form's client area is the documented one; the menu bar comes on top.
    setFixedSize(ui->centralwidget->minimumSize() + QSize(0, menuBar()->sizeHint().height()));
    showAsReadOnly(*ui->txtVersion);

    connect(ui->cmdVerify, &QPushButton::clicked, this, &MainWindow::cmdVerify_Click);
    connect(ui->cmdNetork, &QPushButton::clicked, this, &MainWindow::cmdNetork_Click);
    connect(ui->cmdDeviceLabels, &QPushButton::clicked, this, &MainWindow::cmdDeviceLabels_Click);
    connect(ui->cmdX10, &QPushButton::clicked, this, &MainWindow::cmdX10_Click);
    connect(ui->mnuAbout, &QAction::triggered, this, &MainWindow::mnuAbout_Click);
    connect(ui->mnuFindDevices, &QAction::triggered, this, &MainWindow::mnuFindDevices_Click);

    Form_Load();
    centreOnScreen(*this);
    ui->cmdVerify->setFocus();
}

MainWindow::~MainWindow() = default;

void MainWindow::showDeviceAddress(const QString& ip)
{
    ui->txtOvlixIP->setText(ip);
}

void MainWindow::Form_Load()
{
    AppContext& context = environment_.context;
    context.DeviceIP = lastDeviceIp(environment_.log, context.NetsetFile);
    ui->txtOvlixIP->setText(context.DeviceIP);
    setWindowTitle(QStringLiteral("Ovlix ") + context.AppVersion);
}

void MainWindow::cmdVerify_Click()
{
    const QString ip = ui->txtOvlixIP->text();
    PingOvlix(*Inet1, environment_.log, ip,
              wait_.forAnswer([this, ip](std::optional<QString> version) {
                  if (version) {
                      ui->txtVersion->setText(*version);
                      environment_.context.DeviceIP = ip;
                      return;
                  }
                  environment_.messages.show(this, QStringLiteral("Ovlix at IP: ") + ip +
                                                       QStringLiteral(" not found"));
                  environment_.context.DeviceIP = ip;
              }));
}

void MainWindow::cmdNetork_Click()
{
    // DeviceIP stays as it is: an address typed here but not verified is not
    // carried over into the network setup.
    Q_EMIT networkSetupRequested();
}

void MainWindow::cmdDeviceLabels_Click()
{
    environment_.context.DeviceIP = ui->txtOvlixIP->text();
    Q_EMIT deviceLabelsRequested();
}

void MainWindow::cmdX10_Click()
{
    environment_.context.DeviceIP = ui->txtOvlixIP->text();
    Q_EMIT controlDevicesRequested();
}

void MainWindow::mnuAbout_Click()
{
    Q_EMIT aboutRequested();
}

void MainWindow::mnuFindDevices_Click()
{
    Q_EMIT findDevicesRequested();
}

} // namespace ovlix
