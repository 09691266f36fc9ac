#pragma once

#include "DeviceWait.h"

#include <memory>
#include <QMainWindow>

namespace Ui {
class frmOvlix;
}

namespace ovlix {

class HttpFetcher;
struct WindowEnvironment;

// The window that start-up opens: it holds the device address, verifies it and
// asks for every other window; whoever wires the windows opens them.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(WindowEnvironment& environment);
    ~MainWindow() override;

    // A successful network setup hands its address over here.
    void showDeviceAddress(const QString& ip);

Q_SIGNALS:
    void networkSetupRequested();
    void deviceLabelsRequested();
    void controlDevicesRequested();
    void aboutRequested();
    void findDevicesRequested();

private:
    void Form_Load();
    void cmdVerify_Click();
    void cmdNetork_Click(); // the form's documented name, spelt as it is there
    void cmdDeviceLabels_Click();
    void cmdX10_Click();
    void mnuAbout_Click();
    void mnuFindDevices_Click();

    std::unique_ptr<Ui::frmOvlix> ui;
    WindowEnvironment& environment_;
    std::unique_ptr<HttpFetcher> Inet1;
    DeviceWait wait_{*this};
};

} // namespace ovlix
