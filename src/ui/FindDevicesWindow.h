#pragma once

#include "discovery/DeviceFinder.h"

#include <memory>
#include <QWidget>

namespace Ui {
class frmFindDevices;
}

namespace ovlix {

struct WindowEnvironment;

// Lists the devices that answer on this PC's networks, as they answer, and
// hands the chosen address on. The search starts when the window opens and
// stops when it closes.
class FindDevicesWindow : public QWidget {
    Q_OBJECT
public:
    explicit FindDevicesWindow(WindowEnvironment& environment);
    ~FindDevicesWindow() override;

Q_SIGNALS:
    // The user chose this address for the device; DeviceIP already holds it.
    void addressChosen(const QString& ip);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void cmdSearchAgain_Click();
    void cmdUseAddress_Click();
    void finder_DeviceFound(const FoundDevice& device);
    void finder_Progress(int done, int total);
    void finder_Finished(int devicesFound);

    std::unique_ptr<Ui::frmFindDevices> ui;
    WindowEnvironment& environment_;
    DeviceFinder finder_;
    SearchPlan plan_;
};

} // namespace ovlix
