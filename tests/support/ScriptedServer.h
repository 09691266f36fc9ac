#pragma once

#include <QByteArray>
#include <QObject>
#include <QTcpServer>

namespace ovlix::test {

// A web server on loopback that misbehaves on purpose, for the failure paths.
class ScriptedServer : public QObject {
    Q_OBJECT
public:
    enum class Behaviour {
        Answer,  // sends the scripted response, then closes
        Silent,  // accepts and never answers
        Endless, // sends a response head and then body bytes for ever
    };

    explicit ScriptedServer(Behaviour behaviour, QByteArray response = {});

    quint16 port() const { return server_.serverPort(); }
    QString address() const { return QStringLiteral("127.0.0.1:%1").arg(port()); }
    int connections() const { return connections_; }
    qint64 bytesSent() const { return bytesSent_; }

    // A loopback address where nothing listens: connections are refused.
    static QString refusingAddress();

private:
    void serve(QTcpSocket* socket);

    Behaviour behaviour_;
    QByteArray response_;
    QTcpServer server_;
    int connections_ = 0;
    qint64 bytesSent_ = 0;
};

// A complete HTTP answer around a body.
QByteArray httpAnswer(const QByteArray& body, const QByteArray& status = "200 OK");

} // namespace ovlix::test
