#include "NetworkWindow.h"

#include "core/Settings.h"
#include "device/DeviceRequests.h"
#include "MessageBoxes.h"
#include "network/HostAddress.h"
#include "network/NetSettings.h"
#include "ProgramLook.h"
#include "ui_NetworkWindow.h"
#include "WindowEnvironment.h"

#include <QEvent>

namespace ovlix {

NetworkWindow::NetworkWindow(WindowEnvironment& environment)
    : ui(std::make_unique<Ui::frmNetwork>()), environment_(environment),
      Inet1(environment.makeTransfer()),
      assignment_({environment.log, environment.processes, environment.network.commands, *Inet1,
                   environment.network.arpTableRefusal, environment.context.NetsetFile,
                   environment.cards})
{
    ui->setupUi(this);
    useFixedBorder(*this);
    setFixedSize(size());
    showAsReadOnly(*ui->txtVersion);
    showAsReadOnly(*ui->txtHostIP);
    useLargeFont(*ui->txtMAC);
    useLargeFont(*ui->txtIP);

    // A child by its documented name, so that tests find it as they find controls.
    timerARP.setParent(this);
    timerARP.setObjectName(QStringLiteral("timerARP"));
    timerARP.setSingleShot(true);
    timerARP.setTimerType(Qt::PreciseTimer); // a coarse timer may end the wait early
    timerARP.setInterval(environment.network.arpWait);
    connect(ui->cmdSetIP, &QPushButton::clicked, this, &NetworkWindow::cmdSetIP_Click);
    connect(&timerARP, &QTimer::timeout, this, &NetworkWindow::timerARP_Timer);
    // A line edit has no double-click signal of its own.
    ui->txtVersion->installEventFilter(this);

    Form_Load();
    centreOnScreen(*this);
    ui->txtMAC->setFocus();
}

NetworkWindow::~NetworkWindow() = default;

bool NetworkWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == ui->txtVersion && event->type() == QEvent::MouseButtonDblClick)
        txtVersion_DblClick();
    return QWidget::eventFilter(watched, event);
}

void NetworkWindow::Form_Load()
{
    const AppContext& context = environment_.context;
    ui->txtMAC->setText(
        ReadSetting(environment_.log, context.NetsetFile, QStringLiteral("lastmac")));
    if (ui->txtMAC->text().isEmpty())
        ui->txtMAC->setText(QStringLiteral("00-03-75-10-01-55"));
    ui->txtIP->setText(context.DeviceIP);
    if (ui->txtIP->text().isEmpty())
        ui->txtIP->setText(kDefaultDeviceIp);
    HostIP = GetHostIP(environment_.log, environment_.network.hosts, environment_.cards());
    ui->txtHostIP->setText(HostIP);
}

void NetworkWindow::cmdSetIP_Click()
{
    ui->cmdSetIP->setEnabled(false);
    // The card that faces the device names the ARP entry from now on.
    arpCard_ = assignment_.press(ui->txtIP->text(), ui->txtMAC->text(), HostIP);
    ui->txtHostIP->setText(arpCard_.address);
    timerARP.start();
}

void NetworkWindow::timerARP_Timer()
{
    // Read now: what was typed during the wait is what the device is given.
    const QString ip = ui->txtIP->text();
    assignment_.tick(ip, ui->txtMAC->text(), arpCard_,
                     whileOpen(*this, [this, ip] { handOverAddress(ip); }),
                     wait_.forAnswer([this](const AddressAssignment::Outcome& outcome) {
                         showVersion(outcome.version);
                         environment_.messages.show(this, outcome.message,
                                                    [this] { ui->cmdSetIP->setEnabled(true); });
                     }));
}

void NetworkWindow::handOverAddress(const QString& ip)
{
    environment_.context.DeviceIP = ip;
    Q_EMIT addressAssigned(ip);
}

void NetworkWindow::txtVersion_DblClick()
{
    PingOvlix(
        *Inet1, environment_.log, ui->txtIP->text(),
        wait_.forAnswer([this](const std::optional<QString>& version) { showVersion(version); }));
}

void NetworkWindow::showVersion(const std::optional<QString>& version)
{
    // A failed probe leaves the last version found in the box.
    if (version)
        ui->txtVersion->setText(*version);
}

} // namespace ovlix
