#include "framework/inet/CInternetSession.h"

#include <cstring>

#include "framework/base/AppName.h"
#include "framework/inet/CHttpConnection.h"

CInternetSession::CInternetSession(LPCSTR agent, DWORD_PTR context, DWORD /*accessType*/, LPCSTR /*proxy*/,
    LPCSTR /*bypass*/, DWORD /*flags*/)
    : m_agent(agent ? CString(agent) : AfxGetAppName())
    , m_context(context)
{
}

CInternetSession::~CInternetSession()
{
    Close();
}

BOOL CInternetSession::SetOption(DWORD option, void* value, DWORD length, DWORD /*flags*/)
{
    if (!value || length != sizeof(DWORD))
        return FALSE;
    DWORD v;
    std::memcpy(&v, value, sizeof v);
    switch (option) {
    case INTERNET_OPTION_CONNECT_TIMEOUT:
        m_connectTimeoutMs = v;
        return TRUE;
    case INTERNET_OPTION_CONNECT_RETRIES:
        m_connectRetries = v;
        return TRUE;
    case INTERNET_OPTION_CONNECT_BACKOFF:
        m_connectBackoff = v;
        return TRUE;
    default:
        return FALSE;
    }
}

BOOL CInternetSession::EnableStatusCallback(BOOL /*enable*/)
{
    return TRUE;
}

CHttpConnection* CInternetSession::GetHttpConnection(
    LPCSTR server, INTERNET_PORT port, LPCSTR user, LPCSTR password)
{
    return GetHttpConnection(server, DWORD(0), port, user, password);
}

CHttpConnection* CInternetSession::GetHttpConnection(
    LPCSTR server, DWORD flags, INTERNET_PORT port, LPCSTR /*user*/, LPCSTR /*password*/)
{
    if (m_closed)
        AfxThrowInternetException(m_context, ERROR_INTERNET_INCORRECT_HANDLE_STATE);
    if (!server || !*server)
        AfxThrowInternetException(m_context, ERROR_INTERNET_INVALID_URL);
    return new CHttpConnection(this, server, port, flags);
}

void CInternetSession::Close()
{
    m_closed = true;
}
