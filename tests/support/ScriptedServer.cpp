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

ScriptedServer::ScriptedServer(Behaviour behaviour, QByteArray response, int tickMs)
    : behaviour_(behaviour), response_(std::move(response)), tickMs_(tickMs)
{
    // Room for many connections at once, as from a sweep of a network.
    server_.setListenBacklogSize(1024);
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
    if (behaviour_ == Behaviour::Silent)
        return;
    if (behaviour_ == Behaviour::Endless) {
        bytesSent_ += socket->write("HTTP/1.1 200 OK\r\nContent-Type: text/html\r\n\r\n");
        auto* pump = new QTimer(socket);
        connect(pump, &QTimer::timeout, socket, [this, socket] {
            if (socket->bytesToWrite() < 256 * 1024)
                bytesSent_ += socket->write(QByteArray(64 * 1024, 'x'));
        });
        pump->start(1);
        return;
    }
    auto pending = std::make_shared<QByteArray>();
    connect(socket, &QTcpSocket::readyRead, socket, [this, socket, pending] {
        *pending += socket->readAll();
        // Every request head on the connection gets its answer.
        while (pending->contains("\r\n\r\n")) {
            lastRequest_ = pending->left(pending->indexOf("\r\n\r\n") + 4);
            pending->remove(0, lastRequest_.size());
            ++requests_;
            answer(socket);
        }
    });
}

void ScriptedServer::answer(QTcpSocket* socket)
{
    switch (behaviour_) {
    case Behaviour::Answer:
        bytesSent_ += socket->write(response_);
        socket->disconnectFromHost();
        break;
    case Behaviour::RedirectLoop:
        bytesSent_ +=
            socket->write("HTTP/1.1 302 Found\r\nLocation: /\r\nContent-Length: 0\r\n\r\n");
        break;
    case Behaviour::ReadAndClose:
        socket->disconnectFromHost();
        break;
    case Behaviour::CutMidBody:
        bytesSent_ += socket->write(response_.left(response_.size() / 2));
        socket->flush();
        socket->abort();
        break;
    case Behaviour::Trickle:
        sendInPieces(socket, 1, true);
        break;
    case Behaviour::InPieces:
        sendInPieces(socket, 3, false);
        break;
    case Behaviour::Silent:
    case Behaviour::Endless:
        break;
    }
}

void ScriptedServer::sendInPieces(QTcpSocket* socket, qsizetype pieceSize, bool forever)
{
    auto* pump = new QTimer(socket);
    auto sent = std::make_shared<qsizetype>(0);
    connect(pump, &QTimer::timeout, socket, [this, socket, pump, sent, pieceSize, forever] {
        if (*sent >= response_.size()) {
            if (!forever) {
                pump->stop();
                socket->disconnectFromHost();
                return;
            }
            *sent = 0;
        }
        const QByteArray piece = response_.mid(*sent, pieceSize);
        *sent += piece.size();
        bytesSent_ += socket->write(piece);
        socket->flush();
    });
    pump->start(tickMs_);
}

} // namespace ovlix::test
