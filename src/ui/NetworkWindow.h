#pragma once

#include "DeviceWait.h"
#include "network/AddressAssignment.h"

#include <memory>
#include <QTimer>
#include <QWidget>

namespace Ui {
class frmNetwork;
}

namespace ovlix {

class HttpFetcher;
struct WindowEnvironment;

// Where a freshly reset device is given its static address: shows the PC's own
// address and the device's version, and runs the assignment from its button.
class NetworkWindow : public QWidget {
    Q_OBJECT
public:
    explicit NetworkWindow(WindowEnvironment& environment);
    ~NetworkWindow() override;

Q_SIGNALS:
    // The device has taken this address; DeviceIP already holds it.
    void addressAssigned(const QString& ip);

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
    QString HostIP;   // found at load, for where no card faces the device
    ArpCard arpCard_; // the card that the press chose
    QTimer timerARP;
    std::unique_ptr<HttpFetcher> Inet1;
    // Made after Inet1, through which it asks the device.
    AddressAssignment assignment_;
    DeviceWait wait_{*this};
};

} // namespace ovlix
