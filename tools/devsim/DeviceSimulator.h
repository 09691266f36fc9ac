#pragma once

#include <optional>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QString>
#include <QTcpServer>
#include <QUrlQuery>

// A stand-in for the device's web server: the root page carries the firmware
// version, and the label and X10 pages take what their queries carry. Every
// request is kept as it arrived on the wire.
class DeviceSimulator : public QObject {
    Q_OBJECT
public:
    explicit DeviceSimulator(QObject* parent = nullptr);

    bool listen(const QHostAddress& address = QHostAddress::LocalHost, quint16 port = 0);
    bool isListening() const { return server_.isListening(); }
    quint16 port() const { return server_.serverPort(); }
    QString errorString() const { return server_.errorString(); }

    // The text between the version markers of the root page; nothing serves a
    // root page without markers, as a web server that is not an Ovlix does.
    void setVersion(std::optional<QString> version) { version_ = std::move(version); }

    // Request targets exactly as received, such as "/x10.spi?house=A&unit=1...".
    const QList<QString>& requests() const { return requests_; }
    // The decoded fields of the last label and X10 requests.
    const QUrlQuery& labels() const { return labels_; }
    const QUrlQuery& x10Command() const { return x10Command_; }

Q_SIGNALS:
    void requestReceived(const QString& target);

private:
    void answer(QTcpSocket* socket, const QString& target);

    QTcpServer server_;
    std::optional<QString> version_ = QStringLiteral("2.1a");
    QList<QString> requests_;
    QUrlQuery labels_;
    QUrlQuery x10Command_;
};
