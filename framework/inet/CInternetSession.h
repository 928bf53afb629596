// An HTTP session: the agent name and connection options its connections and
// requests inherit. It holds no network resource itself; every request opens
// its own transfer.
#pragma once

#include "framework/base/CObject.h"
#include "framework/base/CString.h"
#include "framework/inet/CInternetException.h"
#include "framework/inet/InetConstants.h"

class CHttpConnection;

class CInternetSession : public CObject {
public:
    // A null agent means the application's name.
    explicit CInternetSession(LPCSTR agent = nullptr, DWORD_PTR context = 1,
        DWORD accessType = INTERNET_OPEN_TYPE_PRECONFIG, LPCSTR proxy = nullptr, LPCSTR bypass = nullptr,
        DWORD flags = 0);
    ~CInternetSession() override;

    CInternetSession(const CInternetSession&) = delete;
    CInternetSession& operator=(const CInternetSession&) = delete;

    // Options take a 4-byte value. The connect time-out is in milliseconds.
    // The retry count and back-off are kept but do not change anything: each
    // address of a host gets one connection attempt.
    BOOL SetOption(DWORD option, void* value, DWORD length, DWORD flags = 0);

    // Status notifications are never delivered; accepted for the caller's sake.
    BOOL EnableStatusCallback(BOOL enable = TRUE);

    // The caller owns the returned connection. Throws CInternetException for
    // an empty server name or a closed session. Port 0 means the service's
    // default port; INTERNET_FLAG_SECURE makes the connection https.
    CHttpConnection* GetHttpConnection(LPCSTR server, INTERNET_PORT port = INTERNET_INVALID_PORT_NUMBER,
        LPCSTR user = nullptr, LPCSTR password = nullptr);
    CHttpConnection* GetHttpConnection(
        LPCSTR server, DWORD flags, INTERNET_PORT port, LPCSTR user = nullptr, LPCSTR password = nullptr);

    virtual void Close();

    const CString& GetAgent() const { return m_agent; }
    DWORD_PTR GetContext() const { return m_context; }
    DWORD GetConnectTimeout() const { return m_connectTimeoutMs; }

private:
    CString m_agent;
    DWORD_PTR m_context;
    DWORD m_connectTimeoutMs = 0; // 0: no time-out of its own; the request's bounds apply
    DWORD m_connectRetries = 0;
    DWORD m_connectBackoff = 0;
    bool m_closed = false;
};
