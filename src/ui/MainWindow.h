#pragma once

#include "ProgramLook.h"

#include <memory>
#include <QMainWindow>

namespace Ui {
class frmOvlix;
}

namespace ovlix {

class HttpFetcher;
struct WindowEnvironment;
class WindowRegistry;

// The window that start-up opens: it holds the device address, verifies it and
// opens every other window.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    MainWindow(WindowEnvironment& environment, WindowRegistry& windows);
    ~MainWindow() override;

    // A successful network setup hands its address over here.
    void showDeviceAddress(const QString& ip);

private:
    void Form_Load();
    void cmdVerify_Click();
    void cmdNetork_Click();
    void cmdDeviceLabels_Click();
    void cmdX10_Click();
    void mnuAbout_Click();
    void mnuFindDevices_Click();

    std::unique_ptr<Ui::frmOvlix> ui;
    WindowEnvironment& environment_;
    WindowRegistry& windows_;
    std::unique_ptr<HttpFetcher> Inet1;
    DeviceWait wait_{*this};
};

} // namespace ovlix
