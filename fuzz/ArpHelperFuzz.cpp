// Any argument list for the ARP helper, split at NUL bytes: a request it takes
// names an address exactly as it prints it (so "010.0.0.1" or "1.2.3.4 " never
// pass as another address), on the card's own network, and a device's MAC.

#include "HelperRequest.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

using namespace ovlix::arphelper;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const std::vector<Card> cards{{"lo", true, true, {{0x7f000001, 8}}},
                                         {"eth0", true, false, {{0xc0a8010a, 24}}},
                                         {"eth1", false, false, {{0x0a000001, 8}}}};
    std::vector<std::string> arguments(1);
    for (size_t at = 0; at < size; ++at) {
        if (data[at] == 0)
            arguments.emplace_back();
        else
            arguments.back() += char(data[at]);
    }
    const Request request = checkRequest(arguments, cards);
    if (const auto* refusal = std::get_if<Refusal>(&request)) {
        if (refusal->why.empty() || refusal->why.find('\n') != std::string::npos)
            std::abort();
    } else if (const auto* entry = std::get_if<SetEntry>(&request)) {
        std::string mac = arguments[3];
        std::replace(mac.begin(), mac.end(), '-', ':');
        std::transform(mac.begin(), mac.end(), mac.begin(), ::tolower);
        if (entry->card != "eth0" || ipText(entry->ip) != arguments[2] ||
            entry->ip >> 8 != 0xc0a801 || (entry->ip & 0xff) == 0 || (entry->ip & 0xff) == 0xff ||
            macText(entry->mac) != mac || (entry->mac[0] & 1) != 0)
            std::abort();
    } else if (ipText(std::get<DeleteEntries>(request).ip) != arguments[1]) {
        std::abort();
    }
    return 0;
}
