#include "NeighbourTable.h"

// In this order: the IP helper declares its neighbour table (netioapi.h)
// only when the socket address types came first.
#include <winsock2.h>

#include <ws2ipdef.h>

#include <iphlpapi.h>

namespace ovlix {

QString neighbourMacAddress(quint32 address)
{
    MIB_IPNET_TABLE2* table = nullptr;
    if (GetIpNetTable2(AF_INET, &table) != NO_ERROR)
        return {};
    QString mac;
    for (ULONG i = 0; i < table->NumEntries && mac.isEmpty(); ++i) {
        const MIB_IPNET_ROW2& row = table->Table[i];
        const bool complete = row.State != NlnsUnreachable && row.State != NlnsIncomplete;
        if (complete && row.PhysicalAddressLength == 6 &&
            ntohl(row.Address.Ipv4.sin_addr.s_addr) == address)
            mac = macAddressText(row.PhysicalAddress);
    }
    FreeMibTable(table);
    return mac;
}

} // namespace ovlix
