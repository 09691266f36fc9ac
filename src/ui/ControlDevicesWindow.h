#pragma once

#include "DeviceWait.h"

#include <memory>
#include <QWidget>

namespace Ui {
class frmControlDevices;
}

namespace ovlix {

class HttpFetcher;
struct WindowEnvironment;

// Sends one X10 command per press to an X10 address through the device. The
// request is fire-and-forget: a failure shows only in the log.
class ControlDevicesWindow : public QWidget {
    Q_OBJECT
public:
    explicit ControlDevicesWindow(WindowEnvironment& environment);
    ~ControlDevicesWindow() override;

private:
    void Form_Load();
    void cmdSend_Click();

    std::unique_ptr<Ui::frmControlDevices> ui;
    WindowEnvironment& environment_;
    std::unique_ptr<HttpFetcher> Inet1;
    DeviceWait wait_{*this};
};

} // namespace ovlix
