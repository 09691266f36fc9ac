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
        Answer,   // sends the scripted response, then closes
        Silent,   // accepts and never answers
        Endless,  // sends the scripted response every millisecond, for ever
        Trickle,  // sends the scripted response one byte every 100 ms, for ever
        InPieces, // sends the scripted response a few bytes a millisecond, then closes
    };

    explicit ScriptedServer(Behaviour behaviour, QByteArray response = {});

    quint16 port() const { return server_.serverPort(); }
    QString address() const { return QStringLiteral("127.0.0.1:%1").arg(port()); }
    int connections() const { return connections_; }
    // Connections that have ended, closed by either side.
    int endedConnections() const { return endedConnections_; }
    // The head of the last request, as it came over the wire.
    QByteArray lastRequest() const { return lastRequest_; }

private:
    void serve(QTcpSocket* socket);
    void sendInPieces(QTcpSocket* socket);

    Behaviour behaviour_;
    QByteArray response_;
    QTcpServer server_;
    int connections_ = 0;
    int endedConnections_ = 0;
    QByteArray lastRequest_;
};

// A complete HTTP answer around a body.
inline QByteArray httpAnswer(const QByteArray& body, const QByteArray& status = "200 OK")
{
    return "HTTP/1.1 " + status +
           "\r\nContent-Type: text/html\r\nContent-Length: " + QByteArray::number(body.size()) +
           "\r\nConnection: close\r\n\r\n" + body;
}

} // namespace ovlix::test
