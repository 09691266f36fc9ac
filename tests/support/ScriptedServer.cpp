#include "ScriptedServer.h"

#include <QTcpSocket>
#include <QTimer>

namespace ovlix::test {

QByteArray httpAnswer(const QByteArray& body, const QByteArray& status)
{
    return "HTTP/1.1 " + status +
           "\r\nContent-Type: text/html\r\nContent-Length: " + QByteArray::number(body.size()) +
           "\r\nConnection: close\r\n\r\n" + body;
}

ScriptedServer::ScriptedServer(Behaviour behaviour, QByteArray response)
    : behaviour_(behaviour), response_(std::move(response))
{
    server_.listen(QHostAddress::LocalHost, 0);
    connect(&server_, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket* socket = server_.nextPendingConnection()) {
            ++connections_;
            socket->setParent(this);
            serve(socket);
        }
    });
}

QString ScriptedServer::refusingAddress()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const quint16 port = probe.serverPort();
    probe.close();
    return QStringLiteral("127.0.0.1:%1").arg(port);
}

void ScriptedServer::serve(QTcpSocket* socket)
{
    switch (behaviour_) {
    case Behaviour::Answer:
        connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
            if (!socket->readAll().contains("\r\n\r\n"))
                return;
            bytesSent_ += socket->write(response_);
            socket->disconnectFromHost();
        });
        break;
    case Behaviour::Silent:
        break;
    case Behaviour::Endless: {
        bytesSent_ += socket->write("HTTP/1.1 200 OK\r\nContent-Type: text/html\r\n\r\n");
        auto* pump = new QTimer(socket);
        connect(pump, &QTimer::timeout, socket, [this, socket] {
            if (socket->bytesToWrite() < 256 * 1024)
                bytesSent_ += socket->write(QByteArray(64 * 1024, 'x'));
        });
        pump->start(1);
        break;
    }
    }
}

} // namespace ovlix::test
