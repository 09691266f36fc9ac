#include "FindDevicesWindow.h"

#include "ProgramLook.h"
#include "ui_FindDevicesWindow.h"
#include "WindowEnvironment.h"

#include <QHeaderView>
#include <QKeyEvent>

namespace ovlix {

FindDevicesWindow::FindDevicesWindow(WindowEnvironment& environment)
    : ui(std::make_unique<Ui::frmFindDevices>()), environment_(environment),
      finder_(environment.log, environment.makeSearchTransfer)
{
    ui->setupUi(this);
    useFixedBorder(*this);
    setFixedSize(size());
    ui->lstDevices->header()->resizeSection(0, 120);
    ui->lstDevices->header()->resizeSection(1, 100);
    ui->cmdUseAddress->setEnabled(false);
    // Room for the status in two lines, so that the list does not jump when it wraps.
    ui->LbStatus->setMinimumHeight(
        ui->LbStatus->fontMetrics().boundingRect(QRect(), 0, QStringLiteral("1\n2")).height());

    connect(ui->cmdSearchAgain, &QPushButton::clicked, this,
            &FindDevicesWindow::cmdSearchAgain_Click);
    connect(ui->cmdUseAddress, &QPushButton::clicked, this,
            &FindDevicesWindow::cmdUseAddress_Click);
    connect(ui->lstDevices, &QTreeWidget::itemDoubleClicked, this,
            &FindDevicesWindow::cmdUseAddress_Click);
    connect(ui->lstDevices, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* current) { ui->cmdUseAddress->setEnabled(current); });
    connect(&finder_, &DeviceFinder::deviceFound, this, &FindDevicesWindow::finder_DeviceFound);
    connect(&finder_, &DeviceFinder::progress, this, &FindDevicesWindow::finder_Progress);
    connect(&finder_, &DeviceFinder::finished, this, &FindDevicesWindow::finder_Finished);

    centreOnScreen(*this);
    ui->lstDevices->setFocus();
    cmdSearchAgain_Click();
}

FindDevicesWindow::~FindDevicesWindow() = default;

// Enter anywhere but on another button uses the chosen address: the window's
// default button, as in a dialog; Escape closes the window, which stops the search.
void FindDevicesWindow::keyPressEvent(QKeyEvent* event)
{
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        ui->cmdUseAddress->isEnabled())
        cmdUseAddress_Click();
    else if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier)
        close();
    else
        QWidget::keyPressEvent(event);
}

void FindDevicesWindow::closeEvent(QCloseEvent* event)
{
    finder_.cancel();
    QWidget::closeEvent(event);
}

void FindDevicesWindow::cmdSearchAgain_Click()
{
    finder_.cancel();
    ui->lstDevices->clear();
    plan_ = planSearch({}, environment_.cards());
    ui->LbStatus->setText(plan_.networks.isEmpty()
                              ? QStringLiteral("This PC is on no network to search but loopback.")
                              : QStringLiteral("Searching %1.").arg(plan_.networksText()));
    finder_.start(plan_);
}

void FindDevicesWindow::cmdUseAddress_Click()
{
    const QTreeWidgetItem* chosen = ui->lstDevices->currentItem();
    if (!chosen)
        return;
    environment_.context.DeviceIP = chosen->text(0);
    Q_EMIT addressChosen(chosen->text(0));
    close();
}

void FindDevicesWindow::finder_DeviceFound(const FoundDevice& device)
{
    auto* row =
        new QTreeWidgetItem(ui->lstDevices, {device.address, device.version, device.macAddress});
    if (!ui->lstDevices->currentItem())
        ui->lstDevices->setCurrentItem(row);
}

void FindDevicesWindow::finder_Progress(int done, int total)
{
    // An empty bar, not a busy one, when there is nothing to ask; its text
    // still tells the true total.
    ui->prgSearch->setRange(0, std::max(total, 1));
    ui->prgSearch->setValue(done);
    ui->prgSearch->setFormat(QStringLiteral("%v of %1 addresses").arg(total));
}

void FindDevicesWindow::finder_Finished(int devicesFound)
{
    const QString networks = plan_.networksText();
    if (plan_.networks.isEmpty())
        return;
    if (devicesFound == 0)
        ui->LbStatus->setText(QStringLiteral("No Ovlix device answered on %1.").arg(networks));
    else if (devicesFound == 1)
        ui->LbStatus->setText(QStringLiteral("One Ovlix device answered on %1.").arg(networks));
    else
        ui->LbStatus->setText(
            QStringLiteral("%1 Ovlix devices answered on %2.").arg(devicesFound).arg(networks));
}

} // namespace ovlix
