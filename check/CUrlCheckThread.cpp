#include "check/CUrlCheckThread.h"

#include <chrono>
#include <cstring>
#include <memory>

#include "app/Messages.h"
#include "check/ProbeReason.h"
#include "check/RequestAddress.h"
#include "framework/inet/AfxParseURL.h"
#include "framework/inet/CHttpConnection.h"
#include "framework/inet/CHttpFile.h"
#include "framework/inet/CInternetException.h"
#include "framework/inet/CInternetSession.h"
#include "framework/inet/InetConstants.h"
#include "framework/inet/WebUrl.h"
#include "framework/window/MessageQueue.h"

namespace {

const CString& DomainErrorMarker()
{
    static const CString marker = CString::FromUtf8("<TITLE>域名纠错系统");
    return marker;
}

} // namespace

CUrlCheckThread::CUrlCheckThread(AFX_THREADPROC pfnThreadProc, UrlCheckJob* pJob)
    : CWinThread(pfnThreadProc, pJob)
{
    pJob->pThread = this;
}

CUrlCheckThread::CUrlCheckThread()
    : CWinThread(nullptr, nullptr)
{
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
    m_nRow = pJob->nRow;
    const int code = CheckUrl(pJob->strUrl);
    if (code == kNoSession) {
        PostMessageA(pJob->hView, UM_PROBE_FAILED, PROBE_NO_SESSION, pJob->nRow);
        return 0;
    }
    PostVerdict(pJob->hView, code, pJob->nRow);
    return 1;
}

int CUrlCheckThread::CheckUrl(const CString& text)
{
    // Whatever goes wrong here (memory exhaustion, say), the probe still
    // ends in a verdict: no usable answer.
    int code = PROBE_TIMEOUT;
    const auto start = std::chrono::steady_clock::now();
    try {
        m_strUrl = text;
        if (!OpenSession())
            return kNoSession;
        code = ProbeUrl(m_strUrl);
    } catch (...) {
        code = PROBE_TIMEOUT;
        m_details.outcome = ProbeOutcome::ClientError;
    }
    CloseAll();
    const auto elapsed = std::chrono::steady_clock::now() - start;
    m_details.dwElapsedMs
        = static_cast<DWORD>(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
    return code;
}

void CUrlCheckThread::PostVerdict(HWND hView, int code, int row)
{
    // Without memory for the details the verdict still goes, bare.
    std::unique_ptr<ProbeDetails> details;
    try {
        details = std::make_unique<ProbeDetails>(std::move(m_details));
    } catch (...) {
    }
    PostMessageWithAttachment(
        hView, UM_PROBE_OK + (code != 0 ? 1 : 0), static_cast<WPARAM>(code), row, std::move(details));
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

CString CUrlCheckThread::NormalizeUrl(const CString& text) const
{
    return AddressWithScheme(text);
}

CString CUrlCheckThread::FetchPage(const CString& url)
{
    CString page;
    try {
        DWORD serviceType = 0;
        CString server;
        CString object;
        INTERNET_PORT port = 0;
        WebUrlFault fault = WebUrlFault::None;
        AfxParseURL(url, serviceType, server, object, port, &fault);
        if (server.IsEmpty()) {
            m_details.outcome = ProbeOutcome::BadUrl;
            m_details.strErrorText = DescribeUrlFault(fault);
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
        RecordAnswer();
        if (status != 200) {
            m_details.outcome = ProbeOutcome::HttpStatus;
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
        m_details.outcome = page.IsEmpty() ? ProbeOutcome::EmptyPage : ProbeOutcome::PageValid;
        CloseRequest();
    } catch (CInternetException* e) {
        RecordFailure(*e);
        e->Delete();
        CloseRequest();
        return CString();
    }
    return page;
}

void CUrlCheckThread::RecordAnswer()
{
    m_pRequest->QueryInfoStatusCode(m_details.dwStatus);
    if (m_details.dwStatus != 200)
        m_pRequest->QueryInfo(HTTP_QUERY_STATUS_TEXT, m_details.strStatusText);
    CString finalUrl;
    m_pRequest->QueryOption(INTERNET_OPTION_URL, finalUrl);
    if (finalUrl != m_pRequest->GetRequestUrl())
        m_details.strFinalUrl = CString::FromUtf8(ReadableWebUrl(finalUrl.View()));
    m_details.dwBytesRead = static_cast<DWORD>(m_pRequest->GetLength());
}

void CUrlCheckThread::RecordFailure(const CInternetException& e)
{
    // What had arrived before the failure (a redirect's status and address)
    // still tells where the probe got to.
    if (m_pRequest)
        RecordAnswer();
    switch (e.m_dwError) {
    case ERROR_INTERNET_NAME_NOT_RESOLVED:
        m_details.outcome = ProbeOutcome::NameNotResolved;
        return;
    case ERROR_INTERNET_CANNOT_CONNECT:
        m_details.outcome = ProbeOutcome::ConnectionRefused;
        return;
    case ERROR_INTERNET_TIMEOUT:
        m_details.outcome = ProbeOutcome::ConnectTimeout;
        return;
    case ERROR_HTTP_REDIRECT_FAILED:
        m_details.outcome = ProbeOutcome::TooManyRedirects;
        return;
    case ERROR_INTERNET_STALL_TIMEOUT:
        m_details.outcome = ProbeOutcome::Stalled;
        return;
    case ERROR_INTERNET_TOTAL_TIMEOUT:
        m_details.outcome = ProbeOutcome::TotalTimeout;
        return;
    case ERROR_INTERNET_INVALID_URL:
        m_details.outcome = ProbeOutcome::BadUrl;
        return;
    case ERROR_INTERNET_INVALID_CA:
    case ERROR_INTERNET_SECURITY_CHANNEL_ERROR:
        m_details.outcome = ProbeOutcome::TlsFailure;
        break;
    default:
        m_details.outcome = ProbeOutcome::ClientError;
        break;
    }
    char text[256];
    if (e.GetErrorMessage(text, sizeof text))
        m_details.strErrorText = text;
    else
        m_details.strErrorText.Format("%u", static_cast<unsigned>(e.m_dwError));
}

int CUrlCheckThread::ProbeUrl(const CString& text)
{
    const CString page = FetchPage(NormalizeUrl(text));
    if (page.IsEmpty())
        return PROBE_TIMEOUT;
    if (page.Find(DomainErrorMarker()) >= 0) {
        m_details.outcome = ProbeOutcome::DomainErrorPage;
        return PROBE_INVALID;
    }
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
