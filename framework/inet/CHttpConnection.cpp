#include "framework/inet/CHttpConnection.h"

#include "framework/inet/CHttpFile.h"
#include "framework/inet/CInternetSession.h"

CHttpConnection::CHttpConnection(CInternetSession* session, LPCSTR server, INTERNET_PORT port, DWORD flags)
    : m_server(server)
    , m_port(port)
    , m_flags(flags)
    , m_agent(session->GetAgent())
    , m_connectTimeoutMs(session->GetConnectTimeout())
{
}

CHttpConnection::~CHttpConnection()
{
    Close();
}

CHttpFile* CHttpConnection::OpenRequest(int verb, LPCSTR object, LPCSTR referer, DWORD_PTR context,
    LPCSTR* acceptTypes, LPCSTR version, DWORD flags)
{
    if (m_closed)
        AfxThrowInternetException(context, ERROR_INTERNET_INCORRECT_HANDLE_STATE);
    if (verb != HTTP_VERB_GET)
        AfxThrowInternetException(context, ERROR_INVALID_PARAMETER);
    auto* file
        = new CHttpFile(*this, object, referer, context, version, flags | (m_flags & INTERNET_FLAG_SECURE));
    if (acceptTypes && *acceptTypes) {
        CString accept("Accept: ");
        for (LPCSTR* type = acceptTypes; *type; ++type) {
            if (type != acceptTypes)
                accept += ", ";
            accept += *type;
        }
        file->AddRequestHeaders(accept, HTTP_ADDREQ_FLAG_ADD_IF_NEW);
    }
    return file;
}

void CHttpConnection::Close()
{
    m_closed = true;
}
