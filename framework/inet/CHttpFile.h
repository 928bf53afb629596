// One HTTP request and its answer. SendRequest performs the whole exchange;
// the body is then read back from memory line by line.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "framework/base/CObject.h"
#include "framework/base/CString.h"
#include "framework/inet/CInternetException.h"
#include "framework/inet/InetConstants.h"

class CHttpConnection;

class CHttpFile : public CObject {
public:
    CHttpFile(const CHttpConnection& connection, LPCSTR object, LPCSTR referer, DWORD_PTR context,
        LPCSTR version, DWORD flags);
    ~CHttpFile() override;

    CHttpFile(const CHttpFile&) = delete;
    CHttpFile& operator=(const CHttpFile&) = delete;

    // `headers` holds one or more "Name: value" lines separated by CR LF;
    // length -1 means up to the NUL. With HTTP_ADDREQ_FLAG_ADD_IF_NEW a header
    // whose name (in any letter case) the request already carries is left
    // out; with HTTP_ADDREQ_FLAG_ADD it is added again. FALSE when any line
    // was left out or is not a header.
    BOOL AddRequestHeaders(LPCSTR headers, DWORD flags = HTTP_ADDREQ_FLAG_ADD_IF_NEW, int length = -1);

    // Performs the request: redirects followed (the last answer counts), the
    // body collected within the limits of AfxGetInternetBounds(). The size
    // limit ends the transfer without failing it: status and partial body
    // stand. Throws CInternetException on transport failures (name,
    // connection, reset, TLS, malformed answer, too many redirects, bad URL)
    // and when a time limit ends the transfer; a host name under .invalid
    // fails as unresolved without a look-up. `headers` are added as with
    // HTTP_ADDREQ_FLAG_ADD; GET carries no body, so optional data is refused.
    BOOL SendRequest(LPCSTR headers = nullptr, DWORD headersLength = 0, void* optional = nullptr,
        DWORD optionalLength = 0);

    // FALSE (and 0) when no status line was received, e.g. when the server
    // accepted the connection but never answered within the stall limit.
    BOOL QueryInfoStatusCode(DWORD& status) const;
    // HTTP_QUERY_STATUS_CODE (in decimal) or HTTP_QUERY_STATUS_TEXT (the
    // reason phrase, "Not Found"; may be empty) of the last answer; FALSE for
    // other levels and when no status line was received. Also valid after
    // SendRequest threw, for what had arrived by then.
    BOOL QueryInfo(DWORD dwInfoLevel, CString& str) const;

    // INTERNET_OPTION_URL: the URL the request ended at, which is the request
    // URL unless redirects were followed (also after SendRequest threw, for
    // the redirects followed by then). FALSE for other options.
    BOOL QueryOption(DWORD dwOption, CString& str) const;

    // The bytes of the body not read yet: after SendRequest, the whole body.
    ULONGLONG GetLength() const;

    // Copies the next line of the body, up to and including its LF, into
    // `buffer` and NUL-terminates it. At most maxChars bytes are written, the
    // NUL included, so a buffer of maxChars bytes never overflows; a longer
    // line continues in the next call. NUL bytes of the body are copied as
    // they are. Returns buffer, or nullptr when the body is exhausted (or
    // maxChars < 2, which leaves no room for a byte).
    LPSTR ReadString(LPSTR buffer, UINT maxChars);

    virtual void Close();

    // The URL the request goes to, as built from the connection and object.
    const CString& GetRequestUrl() const { return m_url; }

private:
    bool HasHeader(std::string_view name) const;

    CString m_url;
    bool m_neverResolves = false; // a host name under the reserved .invalid domain
    CString m_agent;
    CString m_referer;
    DWORD_PTR m_context;
    DWORD m_flags;
    DWORD m_connectTimeoutMs;
    bool m_http10;
    std::vector<std::string> m_headers; // "Name: value", as the caller gave them

    bool m_hasStatus = false;
    DWORD m_status = 0;
    CString m_statusText;
    CString m_finalUrl; // empty: no redirect was followed
    std::string m_body;
    std::size_t m_readPos = 0;
};
