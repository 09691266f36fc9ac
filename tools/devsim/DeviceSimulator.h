#pragma once

#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QString>
#include <QTcpServer>
#include <QUrlQuery>

namespace ovlix {

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

    // The text between the version markers of the root page.
    void setVersion(const QString& version) { version_ = version; }
    // Plays some other web server: its root page carries no version.
    void setNotOvlix(bool notOvlix) { notOvlix_ = notOvlix; }
    // A slow device: every answer is held back this long.
    void setAnswerDelay(int milliseconds) { answerDelay_ = milliseconds; }

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
    QString version_ = QStringLiteral("2.1a");
    bool notOvlix_ = false;
    int answerDelay_ = 0;
    QList<QString> requests_;
    QUrlQuery labels_;
    QUrlQuery x10Command_;
};

} // namespace ovlix
