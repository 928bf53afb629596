#include "framework/inet/CHttpFile.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "framework/inet/CHttpConnection.h"
#include "framework/inet/HttpTransfer.h"
#include "framework/inet/InternetBounds.h"

namespace {

bool EqualNoCase(std::string_view a, std::string_view b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        return lower(x) == lower(y);
    });
}

std::string_view HeaderName(std::string_view line)
{
    const auto colon = line.find(':');
    return colon == std::string_view::npos ? std::string_view() : line.substr(0, colon);
}

// Server names come from the caller's URL list; anything that could change
// the meaning of the URL we build (or make libcurl look up a mangled name)
// is refused here.
bool PlausibleHost(std::string_view host)
{
    if (host.empty())
        return false;
    for (unsigned char c : host) {
        if (c <= 0x20 || c == 0x7F || std::strchr("/?#@[]\\<>\"{}|^`", c))
            return false;
    }
    return true;
}

// Names under .invalid never resolve, and resolvers are asked to say so
// without a query (RFC 6761): no name server hears of them.
bool UnderInvalidDomain(std::string_view host)
{
    if (host.ends_with('.'))
        host.remove_suffix(1);
    constexpr std::string_view domain = ".invalid";
    return EqualNoCase(host, domain.substr(1))
        || (host.size() > domain.size() && EqualNoCase(host.substr(host.size() - domain.size()), domain));
}

// Bytes that may not stand in a request line are sent %-escaped, as a
// browser would: spaces, controls and the code page's double-byte characters.
std::string EscapedObject(LPCSTR object)
{
    std::string out;
    if (!object || *object != '/')
        out += '/';
    static const char hex[] = "0123456789ABCDEF";
    for (const char* p = object ? object : ""; *p; ++p) {
        const auto c = static_cast<unsigned char>(*p);
        if (c <= 0x20 || c >= 0x7F) {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

} // namespace

CHttpFile::CHttpFile(const CHttpConnection& connection, LPCSTR object, LPCSTR referer, DWORD_PTR context,
    LPCSTR version, DWORD flags)
    : m_agent(connection.GetAgent())
    , m_referer(referer)
    , m_context(context)
    , m_flags(flags)
    , m_connectTimeoutMs(connection.GetConnectTimeout())
    , m_http10(version && std::string_view(version) == "HTTP/1.0")
{
    const bool secure = (flags & INTERNET_FLAG_SECURE) || connection.IsSecure();
    std::string host(connection.GetServerName().View());
    if (host.size() > 2 && host.front() == '[' && host.back() == ']')
        host = host.substr(1, host.size() - 2);
    if (!PlausibleHost(host)) {
        m_url.Empty(); // SendRequest refuses it
        return;
    }
    m_neverResolves = UnderInvalidDomain(host);
    std::string url = secure ? "https://" : "http://";
    if (host.find(':') != std::string::npos)
        url += '[' + host + ']';
    else
        url += host;
    const INTERNET_PORT port = connection.GetPort() != INTERNET_INVALID_PORT_NUMBER
        ? connection.GetPort()
        : (secure ? INTERNET_DEFAULT_HTTPS_PORT : INTERNET_DEFAULT_HTTP_PORT);
    url += ':' + std::to_string(port);
    url += EscapedObject(object);
    m_url = CString(std::move(url));
}

CHttpFile::~CHttpFile()
{
    Close();
}

bool CHttpFile::HasHeader(std::string_view name) const
{
    return std::any_of(m_headers.begin(), m_headers.end(),
        [name](const std::string& header) { return EqualNoCase(HeaderName(header), name); });
}

BOOL CHttpFile::AddRequestHeaders(LPCSTR headers, DWORD flags, int length)
{
    if (!headers)
        return FALSE;
    std::string_view rest(headers, length < 0 ? std::strlen(headers) : static_cast<std::size_t>(length));
    BOOL all = TRUE;
    while (!rest.empty()) {
        const auto end = rest.find('\n');
        std::string_view line = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t'))
            line.remove_suffix(1);
        if (line.empty())
            continue;
        const std::string_view name = HeaderName(line);
        if (name.empty() || name.find_first_of(" \t") != std::string_view::npos) {
            all = FALSE;
            continue;
        }
        if ((flags & HTTP_ADDREQ_FLAG_ADD_IF_NEW) && HasHeader(name)) {
            all = FALSE;
            continue;
        }
        std::string header(line);
        // libcurl reads "Name:" with nothing after it as "drop this header";
        // "Name;" is how it sends one with an empty value.
        if (line.size() == name.size() + 1)
            header.back() = ';';
        m_headers.push_back(std::move(header));
    }
    return all;
}

BOOL CHttpFile::SendRequest(LPCSTR headers, DWORD headersLength, void* optional, DWORD optionalLength)
{
    if (optional && optionalLength > 0)
        AfxThrowInternetException(m_context, ERROR_INVALID_PARAMETER);
    if (m_url.IsEmpty())
        AfxThrowInternetException(m_context, ERROR_INTERNET_INVALID_URL);
    if (m_neverResolves)
        AfxThrowInternetException(m_context, ERROR_INTERNET_NAME_NOT_RESOLVED);
    if (headers && *headers) {
        const int length
            = headersLength == 0 || headersLength == DWORD(-1) ? -1 : static_cast<int>(headersLength);
        AddRequestHeaders(headers, HTTP_ADDREQ_FLAG_ADD, length);
    }

    HttpTransferRequest request;
    request.url = m_url.Bytes();
    request.headers = m_headers;
    request.agent = m_agent.Bytes();
    request.referer = m_referer.Bytes();
    request.connectTimeoutMs = m_connectTimeoutMs;
    request.followRedirects = (m_flags & INTERNET_FLAG_NO_AUTO_REDIRECT) == 0;
    request.http10 = m_http10;

    HttpTransferResult result = RunHttpTransfer(request, AfxGetInternetBounds());
    m_hasStatus = result.status != 0;
    m_status = static_cast<DWORD>(result.status);
    m_statusText = CString(std::move(result.statusText));
    m_finalUrl = CString(std::move(result.finalUrl));
    m_body = std::move(result.body);
    m_readPos = 0;
    if (result.error != 0) {
        m_body.clear();
        AfxThrowInternetException(m_context, result.error, result.errorText.c_str());
    }
    return TRUE;
}

BOOL CHttpFile::QueryInfoStatusCode(DWORD& status) const
{
    status = m_hasStatus ? m_status : 0;
    return m_hasStatus ? TRUE : FALSE;
}

BOOL CHttpFile::QueryInfo(DWORD dwInfoLevel, CString& str) const
{
    str.Empty();
    if (!m_hasStatus)
        return FALSE;
    switch (dwInfoLevel) {
    case HTTP_QUERY_STATUS_CODE:
        str = CString(std::to_string(m_status));
        return TRUE;
    case HTTP_QUERY_STATUS_TEXT:
        str = m_statusText;
        return TRUE;
    default:
        return FALSE;
    }
}

BOOL CHttpFile::QueryOption(DWORD dwOption, CString& str) const
{
    if (dwOption != INTERNET_OPTION_URL) {
        str.Empty();
        return FALSE;
    }
    str = m_finalUrl.IsEmpty() ? m_url : m_finalUrl;
    return TRUE;
}

ULONGLONG CHttpFile::GetLength() const
{
    return m_body.size() - m_readPos;
}

LPSTR CHttpFile::ReadString(LPSTR buffer, UINT maxChars)
{
    if (!buffer || maxChars == 0)
        return nullptr;
    buffer[0] = '\0';
    if (maxChars < 2 || m_readPos >= m_body.size())
        return nullptr;
    const std::size_t available = m_body.size() - m_readPos;
    std::size_t count = std::min<std::size_t>(available, maxChars - 1);
    const void* lf = std::memchr(m_body.data() + m_readPos, '\n', count);
    if (lf)
        count = static_cast<std::size_t>(static_cast<const char*>(lf) - (m_body.data() + m_readPos)) + 1;
    std::memcpy(buffer, m_body.data() + m_readPos, count);
    buffer[count] = '\0';
    m_readPos += count;
    return buffer;
}

void CHttpFile::Close()
{
    m_body.clear();
    m_body.shrink_to_fit();
    m_readPos = 0;
}
