#include "framework/inet/private/WebHost.h"

#include "framework/base/CodePage.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <idn2.h>
#include <memory>
#include <optional>
#include <vector>

namespace {

bool IsAsciiDigit(char c)
{
    return c >= '0' && c <= '9';
}

std::vector<std::string_view> SplitOnDots(std::string_view text)
{
    std::vector<std::string_view> parts;
    for (;;) {
        const auto dot = text.find('.');
        parts.push_back(text.substr(0, dot));
        if (dot == std::string_view::npos)
            return parts;
        text.remove_prefix(dot + 1);
    }
}

// ---- IPv4 ------------------------------------------------------------------

// A number in decimal, octal (leading 0) or hex (leading 0x); values past
// 2^32 are all as bad as each other, so they stop growing there.
std::optional<std::uint64_t> ParseIpv4Number(std::string_view part)
{
    if (part.empty())
        return std::nullopt;
    int radix = 10;
    if (part.size() >= 2 && part[0] == '0' && (part[1] == 'x' || part[1] == 'X')) {
        radix = 16;
        part.remove_prefix(2);
    } else if (part.size() >= 2 && part[0] == '0') {
        radix = 8;
        part.remove_prefix(1);
    }
    std::uint64_t value = 0;
    for (const char c : part) {
        const int digit = HexDigitValue(c);
        if (digit < 0 || digit >= radix)
            return std::nullopt;
        value = std::min<std::uint64_t>(
            value * static_cast<unsigned>(radix) + static_cast<unsigned>(digit), std::uint64_t(1) << 33);
    }
    return value;
}

bool EndsInANumber(std::string_view host)
{
    std::vector<std::string_view> parts = SplitOnDots(host);
    if (parts.back().empty()) {
        if (parts.size() == 1)
            return false;
        parts.pop_back();
    }
    const std::string_view last = parts.back();
    if (!last.empty() && std::all_of(last.begin(), last.end(), IsAsciiDigit))
        return true;
    return ParseIpv4Number(last).has_value();
}

std::optional<std::uint32_t> ParseIpv4(std::string_view host)
{
    std::vector<std::string_view> parts = SplitOnDots(host);
    if (parts.back().empty() && parts.size() > 1)
        parts.pop_back();
    if (parts.size() > 4)
        return std::nullopt;
    std::vector<std::uint64_t> numbers;
    for (const std::string_view part : parts) {
        const auto number = ParseIpv4Number(part);
        if (!number)
            return std::nullopt;
        numbers.push_back(*number);
    }
    for (std::size_t i = 0; i + 1 < numbers.size(); ++i) {
        if (numbers[i] > 255)
            return std::nullopt;
    }
    const std::size_t lastBits = 8 * (5 - numbers.size());
    if (numbers.back() >= (std::uint64_t(1) << lastBits))
        return std::nullopt;
    std::uint64_t address = numbers.back();
    for (std::size_t i = 0; i + 1 < numbers.size(); ++i)
        address += numbers[i] << (8 * (3 - i));
    return static_cast<std::uint32_t>(address);
}

std::string SerializeIpv4(std::uint32_t address)
{
    std::string out;
    for (int shift = 24; shift >= 0; shift -= 8) {
        out += std::to_string((address >> shift) & 0xFF);
        if (shift > 0)
            out += '.';
    }
    return out;
}

// ---- IPv6 ------------------------------------------------------------------

using Ipv6Pieces = std::array<std::uint16_t, 8>;

// The standard's IPv6 parser, a character at a time; `at(i)` is 0 past the
// end, which no test below accepts as a digit or separator.
std::optional<Ipv6Pieces> ParseIpv6(std::string_view input)
{
    Ipv6Pieces address {};
    std::size_t pieceIndex = 0;
    std::optional<std::size_t> compress;
    std::size_t p = 0;
    const auto at = [&input](std::size_t i) { return i < input.size() ? input[i] : '\0'; };
    if (at(p) == ':') {
        if (at(p + 1) != ':')
            return std::nullopt;
        p += 2;
        compress = ++pieceIndex;
    }
    while (p < input.size()) {
        if (pieceIndex == 8)
            return std::nullopt;
        if (at(p) == ':') {
            if (compress)
                return std::nullopt;
            ++p;
            compress = ++pieceIndex;
            continue;
        }
        unsigned value = 0;
        std::size_t length = 0;
        while (length < 4 && HexDigitValue(at(p)) >= 0) {
            value = value * 16 + static_cast<unsigned>(HexDigitValue(at(p)));
            ++p;
            ++length;
        }
        if (at(p) == '.') {
            // The last 32 bits written as an IPv4 address.
            if (length == 0 || pieceIndex > 6)
                return std::nullopt;
            p -= length;
            int numbersSeen = 0;
            while (p < input.size()) {
                if (numbersSeen > 0) {
                    if (at(p) != '.' || numbersSeen >= 4)
                        return std::nullopt;
                    ++p;
                }
                if (!IsAsciiDigit(at(p)))
                    return std::nullopt;
                int piece = -1;
                while (IsAsciiDigit(at(p))) {
                    const int digit = at(p) - '0';
                    if (piece == 0)
                        return std::nullopt; // a leading zero
                    piece = piece < 0 ? digit : piece * 10 + digit;
                    if (piece > 255)
                        return std::nullopt;
                    ++p;
                }
                address[pieceIndex] = static_cast<std::uint16_t>(address[pieceIndex] * 0x100 + piece);
                ++numbersSeen;
                if (numbersSeen == 2 || numbersSeen == 4)
                    ++pieceIndex;
            }
            if (numbersSeen != 4)
                return std::nullopt;
            break;
        }
        if (at(p) == ':') {
            ++p;
            if (p >= input.size())
                return std::nullopt;
        } else if (p < input.size()) {
            return std::nullopt;
        }
        address[pieceIndex++] = static_cast<std::uint16_t>(value);
    }
    if (compress) {
        std::size_t swaps = pieceIndex - *compress;
        for (pieceIndex = 7; pieceIndex != 0 && swaps > 0; --pieceIndex, --swaps)
            std::swap(address[pieceIndex], address[*compress + swaps - 1]);
    } else if (pieceIndex != 8) {
        return std::nullopt;
    }
    return address;
}

// Lower-case hex; the first longest run of two or more zero pieces becomes "::".
std::string SerializeIpv6(const Ipv6Pieces& address)
{
    std::optional<std::size_t> compress;
    std::size_t longest = 1;
    for (std::size_t i = 0; i < 8;) {
        std::size_t run = 0;
        while (i + run < 8 && address[i + run] == 0)
            ++run;
        if (run > longest) {
            longest = run;
            compress = i;
        }
        i += run > 0 ? run : 1;
    }
    static const char hex[] = "0123456789abcdef";
    std::string out = "[";
    for (std::size_t i = 0; i < 8; ++i) {
        if (compress && i == *compress) {
            out += i == 0 ? "::" : ":";
            i += longest - 1;
            continue;
        }
        bool started = false;
        for (int shift = 12; shift >= 0; shift -= 4) {
            const unsigned digit = (address[i] >> shift) & 0xF;
            if (digit != 0 || started || shift == 0) {
                out += hex[digit];
                started = true;
            }
        }
        if (i != 7)
            out += ':';
    }
    return out + "]";
}

// ---- Domain names ----------------------------------------------------------

std::string PercentDecode(std::string_view input)
{
    std::string out;
    out.reserve(input.size());
    for (std::size_t i = 0; i < input.size(); ++i) {
        if (input[i] == '%' && i + 2 < input.size() && HexDigitValue(input[i + 1]) >= 0
            && HexDigitValue(input[i + 2]) >= 0) {
            out += static_cast<char>(HexDigitValue(input[i + 1]) * 16 + HexDigitValue(input[i + 2]));
            i += 2;
        } else {
            out += input[i];
        }
    }
    return out;
}

struct IdnFree {
    void operator()(char* p) const { idn2_free(p); }
};

// UTS #46 ToASCII, non-transitional. A name in ASCII whose labels are no
// "xn--" labels is only lower-cased: that is all the processing would do.
std::optional<std::string> DomainToAscii(const std::string& domain)
{
    const bool ascii = std::all_of(domain.begin(), domain.end(), [](char c) { return (c & 0x80) == 0; });
    if (ascii) {
        const auto labels = SplitOnDots(domain);
        if (std::none_of(labels.begin(), labels.end(),
                [](std::string_view label) { return EqualNoCase(label.substr(0, 4), "xn--"); })) {
            std::string lower = domain;
            for (char& c : lower)
                c = AsciiLower(c);
            return lower;
        }
    }
    if (Utf8PrefixLength(domain) != domain.size() || domain.find('\0') != std::string::npos)
        return std::nullopt;
    char* converted = nullptr;
    const int rc = idn2_to_ascii_8z(domain.c_str(), &converted, IDN2_NONTRANSITIONAL);
    const std::unique_ptr<char, IdnFree> owned(converted);
    if (rc != IDN2_OK || !converted || *converted == '\0')
        return std::nullopt;
    return std::string(converted);
}

bool IsForbiddenDomainByte(unsigned char c)
{
    return c <= 0x20 || c == 0x7F || (c != 0 && std::strchr("#%/:<>?@[\\]^|", c));
}

} // namespace

char AsciiLower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualNoCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
        return AsciiLower(x) == AsciiLower(y);
    });
}

int HexDigitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

void AppendPercentEncoded(std::string& out, unsigned char byte)
{
    static const char hex[] = "0123456789ABCDEF";
    out += '%';
    out += hex[byte >> 4];
    out += hex[byte & 15];
}

WebUrlFault ParseWebHost(std::string_view input, std::string& host)
{
    if (input.empty())
        return WebUrlFault::Host;
    if (input.front() == '[') {
        if (input.back() != ']')
            return WebUrlFault::Ipv6Address;
        const auto address = ParseIpv6(input.substr(1, input.size() - 2));
        if (!address)
            return WebUrlFault::Ipv6Address;
        host = SerializeIpv6(*address);
        return WebUrlFault::None;
    }
    const auto ascii = DomainToAscii(PercentDecode(input));
    if (!ascii)
        return WebUrlFault::DomainName;
    for (const char c : *ascii) {
        if (IsForbiddenDomainByte(static_cast<unsigned char>(c)))
            return WebUrlFault::Host;
    }
    if (EndsInANumber(*ascii)) {
        const auto address = ParseIpv4(*ascii);
        if (!address)
            return WebUrlFault::Ipv4Address;
        host = SerializeIpv4(*address);
        return WebUrlFault::None;
    }
    host = *ascii;
    return WebUrlFault::None;
}

std::string ReadableWebHost(std::string_view host)
{
    const auto labels = SplitOnDots(host);
    if (std::none_of(labels.begin(), labels.end(),
            [](std::string_view label) { return EqualNoCase(label.substr(0, 4), "xn--"); }))
        return std::string(host);
    char* converted = nullptr;
    const int rc = idn2_to_unicode_8z8z(std::string(host).c_str(), &converted, 0);
    const std::unique_ptr<char, IdnFree> owned(converted);
    return rc == IDN2_OK && converted ? std::string(converted) : std::string(host);
}
