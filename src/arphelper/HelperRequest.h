#pragma once

// What the ARP helper is asked to do, checked against this PC's network cards
// before anything is changed. Plain C++ without Qt: the helper runs as root
// and should load as little as it can.

#include <array>
#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace ovlix::arphelper {

// An IPv4 address in host byte order, with its card's prefix length.
struct CardAddress {
    std::uint32_t ip = 0;
    int prefixLength = 0;
};

struct Card {
    std::string name;
    bool up = false;
    bool loopback = false;
    std::vector<CardAddress> addresses;
};

using MacAddress = std::array<std::uint8_t, 6>;

struct SetEntry {
    std::string card;
    std::uint32_t ip = 0;
    MacAddress mac{};
};

struct DeleteEntries {
    std::uint32_t ip = 0;
};

// Why a request is refused, in one line.
struct Refusal {
    std::string why;
};

using Request = std::variant<SetEntry, DeleteEntries, Refusal>;

// The arguments after the program's name: "set CARD IP MAC" or "delete IP".
Request checkRequest(const std::vector<std::string>& arguments, const std::vector<Card>& cards);

// Dotted-quad and colon-separated texts, as the system log and ip(8) show them.
std::string ipText(std::uint32_t ip);
std::string macText(const MacAddress& mac);

} // namespace ovlix::arphelper
