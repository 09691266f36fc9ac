#include "NeighbourTable.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <ifaddrs.h>
#include <linux/neighbour.h>
#include <linux/netlink.h>
#include <linux/rtnetlink.h>
#include <net/if.h>
#include <sys/socket.h>
#include <unistd.h>

namespace ovlix::arphelper {

std::vector<Card> systemCards()
{
    std::vector<Card> cards;
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0)
        return cards;
    for (const ifaddrs* entry = list; entry != nullptr; entry = entry->ifa_next) {
        auto card = std::find_if(cards.begin(), cards.end(),
                                 [&](const Card& c) { return c.name == entry->ifa_name; });
        if (card == cards.end())
            card = cards.insert(cards.end(), Card{entry->ifa_name,
                                                  (entry->ifa_flags & IFF_UP) != 0,
                                                  (entry->ifa_flags & IFF_LOOPBACK) != 0,
                                                  {}});
        if (entry->ifa_addr == nullptr || entry->ifa_addr->sa_family != AF_INET ||
            entry->ifa_netmask == nullptr)
            continue;
        sockaddr_in address{};
        sockaddr_in mask{};
        std::memcpy(&address, entry->ifa_addr, sizeof address);
        std::memcpy(&mask, entry->ifa_netmask, sizeof mask);
        card->addresses.push_back(
            {ntohl(address.sin_addr.s_addr), __builtin_popcount(mask.sin_addr.s_addr)});
    }
    freeifaddrs(list);
    return cards;
}

namespace {

// One neighbour request: the header, the neighbour and room for its two
// attributes, the destination address and the MAC address.
struct NeighbourMessage {
    nlmsghdr header;
    ndmsg neighbour;
    alignas(NLMSG_ALIGNTO) unsigned char attributes[32];
};

void addAttribute(NeighbourMessage& message, unsigned short type, const void* data,
                  unsigned short size)
{
    rtattr attribute{};
    attribute.rta_len = static_cast<unsigned short>(RTA_LENGTH(size));
    attribute.rta_type = type;
    unsigned char* at = reinterpret_cast<unsigned char*>(&message) + message.header.nlmsg_len;
    std::memcpy(at, &attribute, sizeof attribute);
    std::memcpy(at + RTA_LENGTH(0), data, size);
    message.header.nlmsg_len += RTA_ALIGN(attribute.rta_len);
}

// Sends the request and returns the kernel's answer: 0, or the errno.
int ask(NeighbourMessage& message)
{
    const int link = socket(AF_NETLINK, SOCK_RAW | SOCK_CLOEXEC, NETLINK_ROUTE);
    if (link < 0)
        return errno;
    sockaddr_nl kernel{};
    kernel.nl_family = AF_NETLINK;
    message.header.nlmsg_flags |= NLM_F_REQUEST | NLM_F_ACK;
    message.header.nlmsg_seq = 1;
    int answer = EIO;
    if (sendto(link, &message, message.header.nlmsg_len, 0, reinterpret_cast<sockaddr*>(&kernel),
               sizeof kernel) < 0) {
        answer = errno;
    } else {
        alignas(nlmsghdr) unsigned char reply[1024];
        const ssize_t size = recv(link, reply, sizeof reply, 0);
        nlmsghdr header{};
        nlmsgerr error{};
        if (size >= ssize_t(NLMSG_LENGTH(sizeof error))) {
            std::memcpy(&header, reply, sizeof header);
            std::memcpy(&error, reply + NLMSG_LENGTH(0), sizeof error);
            if (header.nlmsg_type == NLMSG_ERROR)
                answer = -error.error;
        }
    }
    close(link);
    return answer;
}

NeighbourMessage neighbourMessage(unsigned short type, unsigned short flags, int cardIndex,
                                  std::uint32_t ip)
{
    NeighbourMessage message{};
    message.header.nlmsg_len = NLMSG_LENGTH(sizeof(ndmsg));
    message.header.nlmsg_type = type;
    message.header.nlmsg_flags = flags;
    message.neighbour.ndm_family = AF_INET;
    message.neighbour.ndm_ifindex = cardIndex;
    const std::uint32_t destination = htonl(ip);
    addAttribute(message, NDA_DST, &destination, sizeof destination);
    return message;
}

} // namespace

int setPermanentEntry(const SetEntry& entry)
{
    const int cardIndex = int(if_nametoindex(entry.card.c_str()));
    if (cardIndex == 0)
        return errno;
    NeighbourMessage message =
        neighbourMessage(RTM_NEWNEIGH, NLM_F_CREATE | NLM_F_REPLACE, cardIndex, entry.ip);
    message.neighbour.ndm_state = NUD_PERMANENT;
    addAttribute(message, NDA_LLADDR, entry.mac.data(), entry.mac.size());
    return ask(message);
}

int deleteEntries(const DeleteEntries& entries, const std::vector<Card>& cards)
{
    for (const Card& card : cards) {
        const int cardIndex = int(if_nametoindex(card.name.c_str()));
        if (card.loopback || cardIndex == 0)
            continue;
        NeighbourMessage message = neighbourMessage(RTM_DELNEIGH, 0, cardIndex, entries.ip);
        // A card without an entry for the address has nothing to remove.
        if (const int answer = ask(message); answer != 0 && answer != ENOENT)
            return answer;
    }
    return 0;
}

} // namespace ovlix::arphelper
