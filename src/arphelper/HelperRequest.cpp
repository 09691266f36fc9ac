#include "HelperRequest.h"

#include <algorithm>
#include <optional>

namespace ovlix::arphelper {

namespace {

// An argument as a refusal may quote it: printable ASCII only, cut short, so
// that the refusal stays one readable line whatever was passed.
std::string shown(const std::string& argument)
{
    constexpr std::size_t kLongest = 40;
    std::string text;
    for (const char c : argument.substr(0, kLongest))
        text += (c >= ' ' && c <= '~') ? c : '?';
    return '"' + text + (argument.size() > kLongest ? "...\"" : "\"");
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Exactly four decimal numbers 0-255 joined by dots, without leading zeros,
// signs or blanks: inet_aton would also take "10.1", "0x0a.0.0.1" and "010.0.0.1".
std::optional<std::uint32_t> parseIp(const std::string& text)
{
    std::uint32_t ip = 0;
    std::size_t at = 0;
    for (int part = 0; part < 4; ++part) {
        if (part > 0 && (at >= text.size() || text[at++] != '.'))
            return std::nullopt;
        const std::size_t start = at;
        unsigned value = 0;
        while (at < text.size() && isDigit(text[at]) && at - start < 3)
            value = value * 10 + unsigned(text[at++] - '0');
        const std::size_t digits = at - start;
        if (digits == 0 || value > 255 || (digits > 1 && text[start] == '0'))
            return std::nullopt;
        ip = (ip << 8) | value;
    }
    if (at != text.size())
        return std::nullopt;
    return ip;
}

int hexValue(char c)
{
    if (isDigit(c))
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Six two-digit hex octets joined all by ':' or all by '-'.
std::optional<MacAddress> parseMac(const std::string& text)
{
    constexpr std::size_t kLength = 17;
    if (text.size() != kLength || (text[2] != ':' && text[2] != '-'))
        return std::nullopt;
    MacAddress mac{};
    for (std::size_t octet = 0; octet < mac.size(); ++octet) {
        const std::size_t at = octet * 3;
        if (octet > 0 && text[at - 1] != text[2])
            return std::nullopt;
        const int high = hexValue(text[at]);
        const int low = hexValue(text[at + 1]);
        if (high < 0 || low < 0)
            return std::nullopt;
        mac[octet] = std::uint8_t(high * 16 + low);
    }
    return mac;
}

std::uint32_t maskOf(int prefixLength)
{
    return prefixLength == 0 ? 0 : ~std::uint32_t(0) << (32 - prefixLength);
}

// Addresses that no device on a network can have; empty when the address may.
std::string unusableClass(std::uint32_t ip)
{
    if (ip >> 24 == 0)
        return "is not a host's address (0.0.0.0/8)";
    if (ip >> 24 == 127)
        return "is a loopback address";
    if (ip >> 28 == 0xe)
        return "is a multicast address";
    if (ip == ~std::uint32_t(0))
        return "is the broadcast address";
    if (ip >> 28 == 0xf)
        return "is a reserved address (240.0.0.0/4)";
    return {};
}

Request refuse(std::string why)
{
    return Refusal{std::move(why)};
}

// A host address that could be a device's: not the PC's own, nor one that no
// device can have. Empty when there is nothing to refuse.
std::optional<Refusal> checkIp(const std::string& argument, const std::optional<std::uint32_t>& ip,
                               const std::vector<Card>& cards)
{
    if (!ip)
        return Refusal{shown(argument) +
                       " is not an IPv4 address of four numbers 0-255 without leading zeros"};
    if (const std::string unusable = unusableClass(*ip); !unusable.empty())
        return Refusal{argument + ' ' + unusable};
    for (const Card& card : cards)
        for (const CardAddress& own : card.addresses)
            if (own.ip == *ip)
                return Refusal{argument + " is this PC's own address on " + card.name};
    return std::nullopt;
}

Request checkSet(const std::string& cardName, const std::string& ipArgument,
                 const std::string& macArgument, const std::vector<Card>& cards)
{
    const auto card =
        std::find_if(cards.begin(), cards.end(), [&](const Card& c) { return c.name == cardName; });
    if (card == cards.end())
        return refuse("no network card is named " + shown(cardName));
    if (card->loopback)
        return refuse(card->name + " is the loopback card");
    if (!card->up)
        return refuse(card->name + " is not up");
    const std::optional<std::uint32_t> ip = parseIp(ipArgument);
    if (std::optional<Refusal> refusal = checkIp(ipArgument, ip, cards))
        return *refusal;
    const auto network =
        std::find_if(card->addresses.begin(), card->addresses.end(), [&](const CardAddress& own) {
            return ((own.ip ^ *ip) & maskOf(own.prefixLength)) == 0;
        });
    if (network == card->addresses.end())
        return refuse(ipArgument + " is on none of the networks of " + card->name);
    // A /31 or /32 has neither (RFC 3021).
    const std::uint32_t hostPart = *ip & ~maskOf(network->prefixLength);
    if (network->prefixLength < 31 && (hostPart == 0 || hostPart == ~maskOf(network->prefixLength)))
        return refuse(ipArgument + " is the network or broadcast address of " +
                      ipText(network->ip & maskOf(network->prefixLength)) + '/' +
                      std::to_string(network->prefixLength) + " on " + card->name);
    const std::optional<MacAddress> mac = parseMac(macArgument);
    if (!mac)
        return refuse(shown(macArgument) +
                      " is not a MAC address of six hex octets joined by ':' or '-'");
    if (*mac == MacAddress{})
        return refuse(macArgument + " is the all-zero MAC address");
    if (((*mac)[0] & 1) != 0)
        return refuse(macArgument + " is a group or broadcast MAC address, not a device's");
    return SetEntry{card->name, *ip, *mac};
}

} // namespace

Request checkRequest(const std::vector<std::string>& arguments, const std::vector<Card>& cards)
{
    if (arguments.size() == 4 && arguments[0] == "set")
        return checkSet(arguments[1], arguments[2], arguments[3], cards);
    if (arguments.size() == 2 && arguments[0] == "delete") {
        const std::optional<std::uint32_t> ip = parseIp(arguments[1]);
        if (std::optional<Refusal> refusal = checkIp(arguments[1], ip, cards))
            return *refusal;
        return DeleteEntries{*ip};
    }
    return refuse("expected \"set CARD IP MAC\" or \"delete IP\"");
}

std::string ipText(std::uint32_t ip)
{
    return std::to_string(ip >> 24) + '.' + std::to_string((ip >> 16) & 0xff) + '.' +
           std::to_string((ip >> 8) & 0xff) + '.' + std::to_string(ip & 0xff);
}

std::string macText(const MacAddress& mac)
{
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text;
    for (const std::uint8_t octet : mac) {
        if (!text.empty())
            text += ':';
        text += kDigits[octet >> 4];
        text += kDigits[octet & 0xf];
    }
    return text;
}

} // namespace ovlix::arphelper
