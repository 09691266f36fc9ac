#include "FreshDevice.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <linux/if_ether.h>
#include <linux/if_packet.h>
#include <net/if.h>
#include <optional>
#include <QSocketNotifier>
#include <QTimer>
#include <sys/socket.h>
#include <unistd.h>

namespace ovlix {

namespace {

// The destination of the IPv4 packet waiting on the socket, if it was sent to
// the interface's own MAC address.
std::optional<QHostAddress> destinationOfPacketForMe(int socket)
{
    unsigned char packet[2048];
    sockaddr_ll from{};
    socklen_t fromSize = sizeof from;
    const ssize_t size =
        recvfrom(socket, packet, sizeof packet, 0, reinterpret_cast<sockaddr*>(&from), &fromSize);
    constexpr ssize_t kIpv4HeaderSize = 20;
    if (size < kIpv4HeaderSize || from.sll_pkttype != PACKET_HOST || (packet[0] >> 4) != 4)
        return std::nullopt;
    quint32 destination = 0;
    std::memcpy(&destination, packet + 16, sizeof destination);
    return QHostAddress(ntohl(destination));
}

} // namespace

FreshDevice::~FreshDevice()
{
    if (socket_ >= 0)
        close(socket_);
}

bool FreshDevice::start()
{
    const unsigned index = if_nametoindex(interface_.toLocal8Bit().constData());
    if (index == 0) {
        error_ = QStringLiteral("no interface %1: %2")
                     .arg(interface_, QString::fromLocal8Bit(strerror(errno)));
        return false;
    }
    // Packets without their Ethernet header; the kernel tells for each whether
    // it was addressed to this interface's own MAC.
    socket_ = socket(AF_PACKET, SOCK_DGRAM | SOCK_CLOEXEC, htons(ETH_P_IP));
    if (socket_ < 0) {
        error_ = QStringLiteral("packet socket: %1").arg(QString::fromLocal8Bit(strerror(errno)));
        return false;
    }
    sockaddr_ll bound{};
    bound.sll_family = AF_PACKET;
    bound.sll_protocol = htons(ETH_P_IP);
    bound.sll_ifindex = static_cast<int>(index);
    if (bind(socket_, reinterpret_cast<sockaddr*>(&bound), sizeof bound) != 0) {
        error_ = QStringLiteral("bind to %1: %2")
                     .arg(interface_, QString::fromLocal8Bit(strerror(errno)));
        return false;
    }
    connect(&ip_, &QProcess::finished, this, [this](int exitCode) {
        if (exitCode == 0)
            Q_EMIT addressTaken(taken_);
        else
            Q_EMIT failed(QStringLiteral("ip addr add: ") +
                          QString::fromLocal8Bit(ip_.readAllStandardError()).trimmed());
    });
    notifier_ = new QSocketNotifier(socket_, QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] {
        const std::optional<QHostAddress> address = destinationOfPacketForMe(socket_);
        if (!address)
            return;
        notifier_->setEnabled(false); // only the first packet counts
        taken_ = *address;
        QTimer::singleShot(takeDelay_, this, [this] {
            ip_.start(QStringLiteral("ip"),
                      {QStringLiteral("addr"), QStringLiteral("add"),
                       taken_.toString() + QLatin1Char('/') + QString::number(prefixLength_),
                       QStringLiteral("dev"), interface_});
        });
    });
    return true;
}

} // namespace ovlix
