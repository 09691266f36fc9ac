#pragma once

#include <QHostAddress>
#include <QObject>
#include <QProcess>
#include <QString>

#include <chrono>

class QSocketNotifier;

namespace ovlix {

// A device straight after a reset to its factory defaults: it has no address
// until the first IPv4 packet sent to its MAC address arrives, and then takes
// that packet's destination address as its own.
class FreshDevice : public QObject {
    Q_OBJECT
public:
    FreshDevice(QString interfaceName, int prefixLength, QObject* parent = nullptr)
        : QObject(parent), interface_(std::move(interfaceName)), prefixLength_(prefixLength)
    {
    }
    ~FreshDevice() override;

    // How long after that first packet the address is taken: some devices
    // need seconds after a reset before they listen.
    void setTakeDelay(std::chrono::milliseconds delay) { takeDelay_ = delay; }

    // Starts watching the interface; false, with errorString(), when it cannot.
    bool start();
    QString errorString() const { return error_; }

Q_SIGNALS:
    void addressTaken(const QHostAddress& address);
    void failed(const QString& why);

private:
    QString interface_;
    int prefixLength_;
    std::chrono::milliseconds takeDelay_{0};
    int socket_ = -1;
    QSocketNotifier* notifier_ = nullptr;
    QProcess ip_;
    QHostAddress taken_;
    QString error_;
};

} // namespace ovlix
