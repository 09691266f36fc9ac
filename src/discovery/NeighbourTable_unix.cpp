#include "NeighbourTable.h"

#include <QFile>
#include <QHostAddress>

namespace ovlix {

// Reads the kernel's IPv4 neighbour table, one entry a line:
// "IP address  HW type  Flags  HW address  Mask  Device".
QString neighbourMacAddress(quint32 address)
{
    QFile table(QStringLiteral("/proc/net/arp"));
    if (!table.open(QIODevice::ReadOnly))
        return {};
    const QByteArray wanted = QHostAddress(address).toString().toLatin1();
    constexpr int kCompleteFlag = 0x2;
    // The kernel's tables report a size of 0, so atEnd() cannot be trusted.
    const QList<QByteArray> lines = table.readAll().split('\n');
    for (const QByteArray& line : lines) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() < 4 || fields[0] != wanted ||
            !(fields[2].toInt(nullptr, 16) & kCompleteFlag))
            continue;
        const QByteArray mac = QByteArray::fromHex(fields[3]);
        if (mac.size() == 6)
            return macAddressText(reinterpret_cast<const unsigned char*>(mac.constData()));
    }
    return {};
}

} // namespace ovlix
