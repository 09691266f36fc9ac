#include "ScriptedServer.h"

#include <memory>
#include <QTcpSocket>
#include <QTimer>

namespace ovlix::test {

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
    auto pending = std::make_shared<QByteArray>();
    connect(socket, &QTcpSocket::readyRead, socket, [this, socket, pending] {
        *pending += socket->readAll();
        // Every request head on the connection gets its answer.
        for (qsizetype end = 0; (end = pending->indexOf("\r\n\r\n")) >= 0;) {
            lastRequest_ = pending->left(end + 4);
            pending->remove(0, end + 4);
            if (behaviour_ != Behaviour::Answer) {
                sendInPieces(socket);
            } else {
                socket->write(response_);
                socket->disconnectFromHost();
            }
        }
    });
}

void ScriptedServer::sendInPieces(QTcpSocket* socket)
{
    const bool forever = behaviour_ != Behaviour::InPieces;
    const qsizetype size = behaviour_ == Behaviour::Trickle    ? 1
                           : behaviour_ == Behaviour::InPieces ? 3
                                                               : response_.size();
    auto* pump = new QTimer(socket);
    connect(socket, &QTcpSocket::disconnected, pump, &QTimer::stop);
    auto sent = std::make_shared<qsizetype>(0);
    connect(pump, &QTimer::timeout, socket, [this, socket, pump, sent, forever, size] {
        if (*sent >= response_.size() && !forever) {
            pump->stop();
            return socket->disconnectFromHost();
        }
        if (*sent >= response_.size())
            *sent = 0;
        const QByteArray piece = response_.mid(*sent, size);
        *sent += piece.size();
        socket->write(piece);
        socket->flush();
    });
    pump->start(behaviour_ == Behaviour::Trickle ? 100 : 1);
}

} // namespace ovlix::test
