#include "ScriptedServer.h"

#include <memory>
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
            connect(socket, &QTcpSocket::disconnected, this, [this] { ++endedConnections_; });
            // Small answers go out at once, as from the device's own web server.
            socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
            serve(socket);
        }
    });
}

void ScriptedServer::serve(QTcpSocket* socket)
{
    if (behaviour_ == Behaviour::Silent)
        return;
    if (behaviour_ == Behaviour::Endless) {
        socket->write("HTTP/1.1 200 OK\r\nContent-Type: text/html\r\n\r\n");
        auto* pump = new QTimer(socket);
        connect(pump, &QTimer::timeout, socket, [socket] {
            if (socket->bytesToWrite() < 256 * 1024)
                socket->write(QByteArray(64 * 1024, 'x'));
        });
        return pump->start(1);
    }
    auto pending = std::make_shared<QByteArray>();
    connect(socket, &QTcpSocket::readyRead, socket, [this, socket, pending] {
        *pending += socket->readAll();
        // Every request head on the connection gets its answer.
        for (qsizetype end = 0; (end = pending->indexOf("\r\n\r\n")) >= 0; ++requests_) {
            lastRequest_ = pending->left(end + 4);
            pending->remove(0, end + 4);
            if (behaviour_ != Behaviour::Answer) {
                sendInPieces(socket, behaviour_ == Behaviour::Trickle);
            } else {
                socket->write(response_);
                socket->disconnectFromHost();
            }
        }
    });
}

void ScriptedServer::sendInPieces(QTcpSocket* socket, bool forever)
{
    auto* pump = new QTimer(socket);
    auto sent = std::make_shared<qsizetype>(0);
    connect(pump, &QTimer::timeout, socket, [this, socket, pump, sent, forever] {
        if (*sent >= response_.size() && !forever) {
            pump->stop();
            return socket->disconnectFromHost();
        }
        if (*sent >= response_.size())
            *sent = 0;
        const QByteArray piece = response_.mid(*sent, forever ? 1 : 3);
        *sent += piece.size();
        socket->write(piece);
        socket->flush();
    });
    pump->start(forever ? 100 : 1);
}

} // namespace ovlix::test
