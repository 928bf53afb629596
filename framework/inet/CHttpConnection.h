// A server and port to send requests to, with the session settings copied at
// creation, so a connection stays usable whichever object is deleted first.
#pragma once

#include "framework/base/CObject.h"
#include "framework/base/CString.h"
#include "framework/inet/CInternetException.h"
#include "framework/inet/InetConstants.h"

class CHttpFile;
class CInternetSession;

class CHttpConnection : public CObject {
public:
    static constexpr int HTTP_VERB_GET = ::HTTP_VERB_GET;

    CHttpConnection(CInternetSession* session, LPCSTR server, INTERNET_PORT port, DWORD flags);
    ~CHttpConnection() override;

    CHttpConnection(const CHttpConnection&) = delete;
    CHttpConnection& operator=(const CHttpConnection&) = delete;

    // The caller owns the returned request. Only GET is supported. Accept
    // types, when given, become one Accept header. INTERNET_FLAG_SECURE here
    // or on the connection makes the request https.
    CHttpFile* OpenRequest(int verb, LPCSTR object, LPCSTR referer = nullptr, DWORD_PTR context = 1,
        LPCSTR* acceptTypes = nullptr, LPCSTR version = nullptr,
        DWORD flags = INTERNET_FLAG_EXISTING_CONNECT);

    virtual void Close();

    const CString& GetServerName() const { return m_server; }
    INTERNET_PORT GetPort() const { return m_port; }
    bool IsSecure() const { return (m_flags & INTERNET_FLAG_SECURE) != 0; }
    const CString& GetAgent() const { return m_agent; }
    DWORD GetConnectTimeout() const { return m_connectTimeoutMs; }

private:
    CString m_server;
    INTERNET_PORT m_port;
    DWORD m_flags;
    CString m_agent;
    DWORD m_connectTimeoutMs;
    bool m_closed = false;
};
