#include "check/CUrlCheckThread.h"

#include <cstring>
#include <memory>

#include "app/Messages.h"
#include "check/ProbeReason.h"
#include "framework/inet/AfxParseURL.h"
#include "framework/inet/CHttpConnection.h"
#include "framework/inet/CHttpFile.h"
#include "framework/inet/CInternetException.h"
#include "framework/inet/CInternetSession.h"
#include "framework/inet/InetConstants.h"
#include "framework/window/MessageQueue.h"

namespace {

const CString& DomainErrorMarker()
{
    static const CString marker = CString::FromUtf8("<TITLE>域名纠错系统");
    return marker;
}

bool StartsWithNoCase(const CString& text, const char* prefix)
{
    CString head = text.Left(static_cast<int>(std::strlen(prefix)));
    return head.MakeLower() == prefix;
}

} // namespace

CUrlCheckThread::CUrlCheckThread(AFX_THREADPROC pfnThreadProc, UrlCheckJob* pJob)
    : CWinThread(pfnThreadProc, pJob)
{
    pJob->pThread = this;
}

CUrlCheckThread::~CUrlCheckThread()
{
    CloseAll();
}

UINT UrlCheckThreadProc(void* pParam)
{
    const std::unique_ptr<UrlCheckJob> job(static_cast<UrlCheckJob*>(pParam));
    job->pThread->RunProbe(job.get());
    return 0;
}

int CUrlCheckThread::RunProbe(UrlCheckJob* pJob)
{
    // Whatever goes wrong here (memory exhaustion, say), the row still gets
    // its one verdict: no usable answer. Nothing can throw after the post.
    int code = PROBE_TIMEOUT;
    try {
        m_nRow = pJob->nRow;
        m_strUrl = pJob->strUrl;
        if (!OpenSession()) {
            PostMessageA(pJob->hView, UM_PROBE_FAILED, PROBE_NO_SESSION, pJob->nRow);
            return 0;
        }
        code = ProbeUrl(m_strUrl);
    } catch (...) {
        code = PROBE_TIMEOUT;
    }
    CloseAll();
    PostMessageA(pJob->hView, UM_PROBE_OK + (code != 0 ? 1 : 0), static_cast<WPARAM>(code), pJob->nRow);
    return 1;
}

int CUrlCheckThread::OpenSession()
{
    try {
        m_pSession = new CInternetSession(nullptr, 1, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
    } catch (CInternetException* e) {
        m_pSession = nullptr;
        e->Delete();
        return 0;
    }
    DWORD connectTimeout = 5000;
    DWORD connectBackoff = 1000;
    DWORD connectRetries = 1;
    m_pSession->SetOption(INTERNET_OPTION_CONNECT_TIMEOUT, &connectTimeout, sizeof connectTimeout);
    m_pSession->SetOption(INTERNET_OPTION_CONNECT_BACKOFF, &connectBackoff, sizeof connectBackoff);
    m_pSession->SetOption(INTERNET_OPTION_CONNECT_RETRIES, &connectRetries, sizeof connectRetries);
    m_pSession->EnableStatusCallback(TRUE);
    return 1;
}

// A text that names its scheme as http:// or https://, in any letter case, is
// fetched as it is; so is one that holds "http:" anywhere. Everything else is
// taken as a host (and path) for plain HTTP.
CString CUrlCheckThread::NormalizeUrl(const CString& text) const
{
    if (text.IsEmpty())
        return CString();
    if (StartsWithNoCase(text, "http://") || StartsWithNoCase(text, "https://") || text.Find("http:") >= 0)
        return text;
    return "http://" + text;
}

CString CUrlCheckThread::FetchPage(const CString& url)
{
    CString page;
    try {
        DWORD serviceType = 0;
        CString server;
        CString object;
        INTERNET_PORT port = 0;
        AfxParseURL(url, serviceType, server, object, port);
        if (server.IsEmpty()) {
            CloseRequest();
            return CString();
        }
        const DWORD secure = serviceType == AFX_INET_SERVICE_HTTPS ? INTERNET_FLAG_SECURE : 0;
        m_pConnection = m_pSession->GetHttpConnection(server, secure, port, nullptr, nullptr);
        m_pRequest = m_pConnection->OpenRequest(HTTP_VERB_GET, object, nullptr, 0, nullptr, nullptr,
            INTERNET_FLAG_RELOAD | INTERNET_FLAG_EXISTING_CONNECT | INTERNET_FLAG_NO_CACHE_WRITE | secure);
        m_pRequest->AddRequestHeaders("Accept: */*", HTTP_ADDREQ_FLAG_ADD_IF_NEW, -1);
        m_pRequest->AddRequestHeaders("User-Agent: Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)",
            HTTP_ADDREQ_FLAG_ADD_IF_NEW, -1);
        m_pRequest->SendRequest();
        DWORD status = 0;
        m_pRequest->QueryInfoStatusCode(status);
        if (status != 200) {
            CloseRequest();
            return CString();
        }
        char buffer[4096];
        std::memset(buffer, 0, sizeof buffer);
        while (m_pRequest->ReadString(buffer, 4095)) {
            CString line(buffer); // up to the first NUL
            line.Replace("\n", "\r\n");
            page += line;
        }
        CloseRequest();
    } catch (CInternetException* e) {
        e->Delete();
        CloseRequest();
        return CString();
    }
    return page;
}

int CUrlCheckThread::ProbeUrl(const CString& text)
{
    const CString page = FetchPage(NormalizeUrl(text));
    if (page.IsEmpty())
        return PROBE_TIMEOUT;
    if (page.Find(DomainErrorMarker()) >= 0)
        return PROBE_INVALID;
    return PROBE_VALID;
}

int CUrlCheckThread::CloseRequest()
{
    try {
        if (m_pRequest) {
            m_pRequest->Close();
            delete m_pRequest;
            m_pRequest = nullptr;
        }
        if (m_pConnection) {
            m_pConnection->Close();
            delete m_pConnection;
            m_pConnection = nullptr;
        }
    } catch (CInternetException* e) {
        e->Delete();
        return 0;
    }
    return 1;
}

int CUrlCheckThread::CloseAll()
{
    CloseRequest();
    try {
        if (m_pSession) {
            m_pSession->Close();
            delete m_pSession;
            m_pSession = nullptr;
        }
    } catch (CException* e) {
        e->Delete();
        return 0;
    }
    return 1;
}
