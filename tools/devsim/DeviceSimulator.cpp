#include "DeviceSimulator.h"

#include <QTcpSocket>
#include <QTimer>
#include <QUrl>

namespace ovlix {

namespace {

// A request head larger than this is not from a browser or the program.
constexpr qsizetype kMaxRequestHead = 64 * 1024;

QByteArray httpResponse(const QByteArray& status, const QByteArray& body)
{
    return "HTTP/1.1 " + status +
           "\r\nContent-Type: text/html\r\nConnection: close\r\nContent-Length: " +
           QByteArray::number(body.size()) + "\r\n\r\n" + body;
}

} // namespace

DeviceSimulator::DeviceSimulator(QObject* parent) : QObject(parent)
{
    connect(&server_, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket* socket = server_.nextPendingConnection()) {
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] {
                if (socket->property("answered").toBool())
                    return;
                QByteArray head = socket->peek(kMaxRequestHead);
                const qsizetype end = head.indexOf("\r\n\r\n");
                if (end < 0 && head.size() < kMaxRequestHead)
                    return; // wait for the rest of the head
                socket->setProperty("answered", true);
                const QList<QByteArray> requestLine = head.left(head.indexOf("\r\n")).split(' ');
                const QString target =
                    requestLine.size() >= 2 ? QString::fromLatin1(requestLine[1]) : QString();
                answer(socket, target);
            });
        }
    });
}

bool DeviceSimulator::listen(const QHostAddress& address, quint16 port)
{
    return server_.listen(address, port);
}

void DeviceSimulator::answer(QTcpSocket* socket, const QString& target)
{
    requests_.append(target);
    Q_EMIT requestReceived(target);

    const QUrl url(target);
    const QString page = url.path();
    QByteArray response;
    if (notOvlix_) {
        response = httpResponse("200 OK", "<html><body><h1>It works!</h1></body></html>");
    } else if (page == QLatin1String("/") || page == QLatin1String("/index.htm")) {
        response = httpResponse("200 OK", "<html><head><title>Ovlix</title></head><body>"
                                          "<h1>Ovlix</h1><p>Firmware <version>" +
                                              version_.toUtf8() + "</version></p></body></html>");
    } else if (page == QLatin1String("/label.spi")) {
        labels_ = QUrlQuery(url);
        response = httpResponse("200 OK", "<html><body>Labels stored</body></html>");
    } else if (page == QLatin1String("/x10.spi")) {
        x10Command_ = QUrlQuery(url);
        response = httpResponse("200 OK", "<html><body>X10 command sent</body></html>");
    } else {
        response = httpResponse("404 Not Found", "<html><body>Not found</body></html>");
    }
    QTimer::singleShot(answerDelay_, socket, [socket, response] {
        socket->write(response);
        socket->disconnectFromHost();
    });
}

} // namespace ovlix
