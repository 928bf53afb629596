#include "framework/inet/AfxParseURL.h"

namespace {

WebUrlFault Parse(LPCSTR url, WebUrl& parsed)
{
    if (!url)
        return WebUrlFault::Scheme;
    WebUrlFault fault = ParseWebUrl(CString(url).ToUtf8(), parsed);
    if (fault == WebUrlFault::None && parsed.port == 0)
        fault = WebUrlFault::Port;
    return fault;
}

} // namespace

BOOL AfxParseURL(
    LPCSTR url, DWORD& serviceType, CString& server, CString& object, INTERNET_PORT& port, WebUrlFault* fault)
{
    serviceType = AFX_INET_SERVICE_UNK;
    server.Empty();
    object.Empty();
    port = INTERNET_INVALID_PORT_NUMBER;
    WebUrl parsed;
    const WebUrlFault result = Parse(url, parsed);
    if (fault)
        *fault = result;
    if (result != WebUrlFault::None)
        return FALSE;
    serviceType = parsed.secure ? AFX_INET_SERVICE_HTTPS : AFX_INET_SERVICE_HTTP;
    std::string_view host = parsed.host;
    if (host.front() == '[')
        host = host.substr(1, host.size() - 2);
    server = CString(host);
    object = CString(parsed.Target());
    port = parsed.port >= 0 ? static_cast<INTERNET_PORT>(parsed.port)
                            : (parsed.secure ? INTERNET_DEFAULT_HTTPS_PORT : INTERNET_DEFAULT_HTTP_PORT);
    return TRUE;
}

BOOL AfxCanonicalizeUrl(LPCSTR url, CString& canonical, WebUrlFault* fault)
{
    canonical.Empty();
    WebUrl parsed;
    const WebUrlFault result = Parse(url, parsed);
    if (fault)
        *fault = result;
    if (result != WebUrlFault::None)
        return FALSE;
    canonical = CString(parsed.Href());
    return TRUE;
}
