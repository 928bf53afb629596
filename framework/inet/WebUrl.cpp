#include "framework/inet/WebUrl.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "framework/inet/private/WebHost.h"

namespace {

// ---- Percent-encode sets ---------------------------------------------------
// Each is a set of bytes of the UTF-8 text; every byte from 0x7F up (all of
// a non-ASCII character) is in all of them.

bool IsOneOf(unsigned char c, std::string_view set)
{
    return set.find(static_cast<char>(c)) != std::string_view::npos;
}

bool InC0ControlSet(unsigned char c)
{
    return c < 0x20 || c > 0x7E;
}

bool InFragmentSet(unsigned char c)
{
    return InC0ControlSet(c) || IsOneOf(c, " \"<>`");
}

// The query set of http and https, which also escapes the apostrophe.
bool InQuerySet(unsigned char c)
{
    return InC0ControlSet(c) || IsOneOf(c, " \"#<>'");
}

bool InPathSet(unsigned char c)
{
    return InC0ControlSet(c) || IsOneOf(c, " \"#<>?`{}");
}

bool InUserInfoSet(unsigned char c)
{
    return InPathSet(c) || IsOneOf(c, "/:;=@[\\]^|");
}

std::string Encoded(std::string_view text, bool (*inSet)(unsigned char))
{
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (inSet(byte))
            AppendPercentEncoded(out, byte);
        else
            out += c;
    }
    return out;
}

// ---- Pieces of the parse ---------------------------------------------------

bool IsAsciiAlpha(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool IsSlash(char c)
{
    return c == '/' || c == '\\';
}

// Leading and trailing controls and spaces go; tabs and line breaks go
// wherever they stand.
std::string CleanedInput(std::string_view text)
{
    while (!text.empty() && static_cast<unsigned char>(text.front()) <= 0x20)
        text.remove_prefix(1);
    while (!text.empty() && static_cast<unsigned char>(text.back()) <= 0x20)
        text.remove_suffix(1);
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        if (c != '\t' && c != '\n' && c != '\r')
            out += c;
    }
    return out;
}

bool IsSingleDotSegment(std::string_view segment)
{
    return segment == "." || EqualNoCase(segment, "%2e");
}

bool IsDoubleDotSegment(std::string_view segment)
{
    return segment == ".." || EqualNoCase(segment, ".%2e") || EqualNoCase(segment, "%2e.")
        || EqualNoCase(segment, "%2e%2e");
}

// "user:password" becomes the encoded user and, when there is one, ":" and
// the encoded password; the first colon is the separator.
std::string SerializedUserInfo(std::string_view credentials)
{
    const auto colon = credentials.find(':');
    std::string out = Encoded(credentials.substr(0, colon), InUserInfoSet);
    if (colon != std::string_view::npos && colon + 1 < credentials.size())
        out += ':' + Encoded(credentials.substr(colon + 1), InUserInfoSet);
    return out;
}

// Decimal digits only, at most 65535; empty text is no port at all.
WebUrlFault ParsePort(std::string_view text, bool secure, int& port)
{
    port = -1;
    if (text.empty())
        return WebUrlFault::None;
    long value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return WebUrlFault::Port;
        value = value * 10 + (c - '0');
        if (value > 65535)
            return WebUrlFault::Port;
    }
    if (value != (secure ? 443 : 80))
        port = static_cast<int>(value);
    return WebUrlFault::None;
}

// The segments between slashes (either kind), encoded, with "." and ".."
// (also escaped) resolved as they come.
std::string ParsedPath(std::string_view text)
{
    if (!text.empty() && IsSlash(text.front()))
        text.remove_prefix(1);
    std::vector<std::string> segments;
    for (;;) {
        std::size_t end = 0;
        while (end < text.size() && !IsSlash(text[end]))
            ++end;
        const bool last = end == text.size();
        std::string segment = Encoded(text.substr(0, end), InPathSet);
        if (IsDoubleDotSegment(segment)) {
            if (!segments.empty())
                segments.pop_back();
            if (last)
                segments.emplace_back();
        } else if (IsSingleDotSegment(segment)) {
            if (last)
                segments.emplace_back();
        } else {
            segments.push_back(std::move(segment));
        }
        if (last)
            break;
        text.remove_prefix(end + 1);
    }
    std::string path;
    for (const std::string& segment : segments)
        path += '/' + segment;
    return path;
}

} // namespace

std::string WebUrl::Href() const
{
    std::string href = secure ? "https://" : "http://";
    if (!userInfo.empty())
        href += userInfo + '@';
    href += host;
    if (port >= 0)
        href += ':' + std::to_string(port);
    return href + path + query + fragment;
}

WebUrlFault ParseWebUrl(std::string_view utf8, WebUrl& url)
{
    url = WebUrl {};
    const std::string input = CleanedInput(utf8);
    std::string_view rest = input;

    std::size_t schemeEnd = 0;
    if (rest.empty() || !IsAsciiAlpha(rest.front()))
        return WebUrlFault::Scheme;
    while (schemeEnd < rest.size()
        && (IsAsciiAlpha(rest[schemeEnd]) || (rest[schemeEnd] >= '0' && rest[schemeEnd] <= '9')
            || IsOneOf(rest[schemeEnd], "+-.")))
        ++schemeEnd;
    if (schemeEnd == rest.size() || rest[schemeEnd] != ':')
        return WebUrlFault::Scheme;
    const std::string_view scheme = rest.substr(0, schemeEnd);
    if (EqualNoCase(scheme, "https"))
        url.secure = true;
    else if (!EqualNoCase(scheme, "http"))
        return WebUrlFault::Scheme;
    rest.remove_prefix(schemeEnd + 1);
    // Any number of slashes of either kind lead to the authority.
    while (!rest.empty() && IsSlash(rest.front()))
        rest.remove_prefix(1);

    const auto authorityEnd = rest.find_first_of("/\\?#");
    std::string_view authority = rest.substr(0, authorityEnd);
    rest = authorityEnd == std::string_view::npos ? std::string_view() : rest.substr(authorityEnd);
    // The last '@' ends the credentials; earlier ones belong to them.
    if (const auto at = authority.rfind('@'); at != std::string_view::npos) {
        url.userInfo = SerializedUserInfo(authority.substr(0, at));
        authority.remove_prefix(at + 1);
    }

    std::string_view hostText = authority;
    std::string_view portText;
    bool insideBrackets = false;
    for (std::size_t i = 0; i < authority.size(); ++i) {
        if (authority[i] == '[')
            insideBrackets = true;
        else if (authority[i] == ']')
            insideBrackets = false;
        else if (authority[i] == ':' && !insideBrackets) {
            hostText = authority.substr(0, i);
            portText = authority.substr(i + 1);
            break;
        }
    }
    if (const WebUrlFault fault = ParseWebHost(hostText, url.host); fault != WebUrlFault::None)
        return fault;
    if (const WebUrlFault fault = ParsePort(portText, url.secure, url.port); fault != WebUrlFault::None)
        return fault;

    const auto pathEnd = rest.find_first_of("?#");
    url.path = ParsedPath(rest.substr(0, pathEnd));
    rest = pathEnd == std::string_view::npos ? std::string_view() : rest.substr(pathEnd);
    const auto fragmentStart = rest.find('#');
    if (!rest.empty() && rest.front() == '?')
        url.query = '?'
            + Encoded(
                rest.substr(1, fragmentStart == std::string_view::npos ? fragmentStart : fragmentStart - 1),
                InQuerySet);
    if (fragmentStart != std::string_view::npos)
        url.fragment = '#' + Encoded(rest.substr(fragmentStart + 1), InFragmentSet);
    return WebUrlFault::None;
}

namespace {

// The byte an escape at `at` stands for, or -1.
int EscapedByte(std::string_view text, std::size_t at)
{
    if (at + 2 >= text.size() || text[at] != '%')
        return -1;
    const int high = HexDigitValue(text[at + 1]);
    const int low = HexDigitValue(text[at + 2]);
    return high < 0 || low < 0 ? -1 : high * 16 + low;
}

// Characters an address bar leaves escaped: invisible ones and those that
// turn text around, which could make one address look like another.
bool KeptEscaped(std::uint32_t code)
{
    return code < 0xA0 || code == 0xAD || code == 0x061C || (code >= 0x2000 && code <= 0x200F)
        || (code >= 0x2028 && code <= 0x202F) || (code >= 0x205F && code <= 0x206F) || code == 0x3000
        || code == 0xFEFF;
}

// The length in bytes of the UTF-8 character spelt by the escapes at `at`,
// or 0 when they spell none (or one kept escaped).
std::size_t EscapedCharacterLength(std::string_view text, std::size_t at, std::string& bytes)
{
    const int lead = EscapedByte(text, at);
    const std::size_t length = lead >= 0xC2 && lead <= 0xDF ? 2
        : lead >= 0xE0 && lead <= 0xEF                      ? 3
        : lead >= 0xF0 && lead <= 0xF4                      ? 4
                                                            : 0;
    if (length == 0)
        return 0;
    std::uint32_t code = static_cast<std::uint32_t>(lead) & (0x7F >> length);
    bytes.assign(1, static_cast<char>(lead));
    for (std::size_t k = 1; k < length; ++k) {
        const int next = EscapedByte(text, at + 3 * k);
        if (next < 0x80 || next > 0xBF)
            return 0;
        code = code << 6 | static_cast<std::uint32_t>(next & 0x3F);
        bytes += static_cast<char>(next);
    }
    const bool overlong = (length == 3 && code < 0x800) || (length == 4 && code < 0x10000);
    if (overlong || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF) || KeptEscaped(code))
        return 0;
    return length;
}

} // namespace

std::string ReadableWebUrl(std::string_view href)
{
    const auto schemeEnd = href.find("://");
    if (schemeEnd == std::string_view::npos)
        return std::string(href);
    const std::size_t authorityStart = schemeEnd + 3;
    const auto authorityEnd = std::min(href.find_first_of("/?#", authorityStart), href.size());
    std::string_view authority = href.substr(authorityStart, authorityEnd - authorityStart);
    std::string out(href.substr(0, authorityStart));
    if (const auto at = authority.rfind('@'); at != std::string_view::npos) {
        out += authority.substr(0, at + 1);
        authority.remove_prefix(at + 1);
    }
    const auto bracket = authority.rfind(']');
    const auto colon = authority.rfind(':');
    const auto hostEnd
        = colon != std::string_view::npos && (bracket == std::string_view::npos || colon > bracket)
        ? colon
        : authority.size();
    out += ReadableWebHost(authority.substr(0, hostEnd));
    out += authority.substr(hostEnd);

    const std::string_view rest = href.substr(authorityEnd);
    std::string character;
    for (std::size_t i = 0; i < rest.size();) {
        if (const std::size_t length = EscapedCharacterLength(rest, i, character); length > 0) {
            out += character;
            i += 3 * length;
        } else {
            out += rest[i++];
        }
    }
    return out;
}
