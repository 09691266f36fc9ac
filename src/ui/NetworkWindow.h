#pragma once

#include "network/AddressAssignment.h"
#include "ProgramLook.h"

#include <memory>
#include <QTimer>
#include <QWidget>

namespace Ui {
class frmNetwork;
}

namespace ovlix {

class HttpFetcher;
struct WindowEnvironment;
class WindowRegistry;

// Where a freshly reset device is given its static address: shows the PC's own
// address and the device's version, and runs the assignment from its button.
class NetworkWindow : public QWidget {
    Q_OBJECT
public:
    NetworkWindow(WindowEnvironment& environment, WindowRegistry& windows);
    ~NetworkWindow() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Form_Load();
    void cmdSetIP_Click();
    void timerARP_Timer();
    void txtVersion_DblClick();
    void handOverAddress(const QString& ip);
    void showVersion(const std::optional<QString>& version);

    std::unique_ptr<Ui::frmNetwork> ui;
    WindowEnvironment& environment_;
    WindowRegistry& windows_;
    QString HostIP;
    QTimer timerARP;
    std::unique_ptr<HttpFetcher> Inet1;
    // Made after Inet1, through which it asks the device.
    AddressAssignment assignment_;
    DeviceWait wait_{*this};
};

} // namespace ovlix
