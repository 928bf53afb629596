#include "framework/inet/AfxParseURL.h"

#include <cstring>
#include <string_view>

namespace {

bool EqualNoCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char c = a[i];
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        if (c != b[i])
            return false;
    }
    return true;
}

bool IsHostByte(unsigned char c)
{
    // Bytes from 0x80 up stay: they are a host name in the code page, which
    // only the name service can judge.
    return c > 0x20 && c != 0x7F && !std::strchr("/?#@[]\\<>\"{}|^`:", c);
}

bool IsIpv6LiteralByte(unsigned char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F') || c == ':' || c == '.';
}

// Empty means the scheme's default; otherwise decimal, 1 to 65535.
bool ParsePort(std::string_view text, INTERNET_PORT defaultPort, INTERNET_PORT& port)
{
    if (text.empty()) {
        port = defaultPort;
        return true;
    }
    unsigned long value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + static_cast<unsigned long>(c - '0');
        if (value > 65535)
            return false;
    }
    if (value == 0)
        return false;
    port = static_cast<INTERNET_PORT>(value);
    return true;
}

} // namespace

BOOL AfxParseURL(LPCSTR url, DWORD& serviceType, CString& server, CString& object, INTERNET_PORT& port)
{
    serviceType = AFX_INET_SERVICE_UNK;
    server.Empty();
    object.Empty();
    port = INTERNET_INVALID_PORT_NUMBER;
    if (!url)
        return FALSE;

    const std::string_view text(url);
    const auto schemeEnd = text.find("://");
    if (schemeEnd == std::string_view::npos)
        return FALSE;
    const std::string_view scheme = text.substr(0, schemeEnd);
    DWORD service;
    INTERNET_PORT defaultPort;
    if (EqualNoCase(scheme, "http")) {
        service = AFX_INET_SERVICE_HTTP;
        defaultPort = INTERNET_DEFAULT_HTTP_PORT;
    } else if (EqualNoCase(scheme, "https")) {
        service = AFX_INET_SERVICE_HTTPS;
        defaultPort = INTERNET_DEFAULT_HTTPS_PORT;
    } else {
        return FALSE;
    }

    std::string_view rest = text.substr(schemeEnd + 3);
    const auto authorityEnd = rest.find_first_of("/?#");
    std::string_view authority = rest.substr(0, authorityEnd);
    std::string_view tail = authorityEnd == std::string_view::npos ? std::string_view() : rest.substr(authorityEnd);

    const auto at = authority.rfind('@');
    if (at != std::string_view::npos)
        authority.remove_prefix(at + 1);

    std::string_view host;
    std::string_view portText;
    if (!authority.empty() && authority.front() == '[') {
        const auto close = authority.find(']');
        if (close == std::string_view::npos)
            return FALSE;
        host = authority.substr(1, close - 1);
        std::string_view after = authority.substr(close + 1);
        if (!after.empty()) {
            if (after.front() != ':')
                return FALSE;
            portText = after.substr(1);
        }
        if (host.empty() || host.find(':') == std::string_view::npos)
            return FALSE;
        for (unsigned char c : host) {
            if (!IsIpv6LiteralByte(c))
                return FALSE;
        }
    } else {
        const auto colon = authority.find(':');
        host = authority.substr(0, colon);
        if (colon != std::string_view::npos)
            portText = authority.substr(colon + 1);
        if (host.empty())
            return FALSE;
        for (unsigned char c : host) {
            if (!IsHostByte(c))
                return FALSE;
        }
    }
    INTERNET_PORT parsedPort;
    if (!ParsePort(portText, defaultPort, parsedPort))
        return FALSE;

    const auto fragment = tail.find('#');
    if (fragment != std::string_view::npos)
        tail = tail.substr(0, fragment);
    // Built by appending: GCC 12 at -O2 and above misreads insert(0, "/")
    // as an overlapping copy (-Wrestrict) and the Release build fails.
    std::string objectText;
    if (tail.empty() || tail.front() != '/')
        objectText = "/";
    objectText += tail;

    serviceType = service;
    server = CString(host);
    object = CString(std::move(objectText));
    port = parsedPort;
    return TRUE;
}
