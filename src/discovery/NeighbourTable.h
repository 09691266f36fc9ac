#pragma once

#include <QByteArray>
#include <QString>

namespace ovlix {

// The MAC address that the PC's neighbour table holds for an IPv4 address, as
// six two-digit groups joined by "-" ("00-03-75-10-01-55"); empty when the
// table has no complete entry for it.
QString neighbourMacAddress(quint32 address);

// "00-03-75-10-01-55" of six bytes.
inline QString macAddressText(const unsigned char* bytes)
{
    return QString::fromLatin1(QByteArray(reinterpret_cast<const char*>(bytes), 6).toHex('-'));
}

} // namespace ovlix
