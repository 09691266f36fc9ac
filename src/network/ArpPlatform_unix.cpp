#include "ArpEntries.h"

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace ovlix {

const NetworkCommands& systemNetworkCommands()
{
    static const LinuxNetworkCommands commands;
    return commands;
}

namespace {

bool hasNetAdmin()
{
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[_LINUX_CAPABILITY_U32S_3]{};
    if (syscall(SYS_capget, &header, data) != 0)
        return false;
    return (data[CAP_TO_INDEX(CAP_NET_ADMIN)].effective & CAP_TO_MASK(CAP_NET_ADMIN)) != 0;
}

} // namespace

// Root may change the table, and so may a program given CAP_NET_ADMIN alone.
bool mayChangeArpTable()
{
    return geteuid() == 0 || hasNetAdmin();
}

} // namespace ovlix
