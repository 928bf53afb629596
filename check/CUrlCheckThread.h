// The probe worker: one thread per URL. It opens an HTTP session, fetches the
// page, classifies it, closes everything, posts exactly one verdict to the
// list view and ends; the thread object then deletes itself. The batch mode
// runs the same probe on threads of its own, through CheckUrl.
#pragma once

#include "check/ProbeDetails.h"
#include "check/UrlCheckJob.h"
#include "framework/thread/CWinThread.h"

class CInternetSession;
class CHttpConnection;
class CHttpFile;
class CInternetException;

class CUrlCheckThread : public CWinThread {
public:
    CUrlCheckThread(AFX_THREADPROC pfnThreadProc, UrlCheckJob* pJob);
    // A probe run on the caller's own thread: no thread is ever started.
    CUrlCheckThread();
    ~CUrlCheckThread() override;

    int RunProbe(UrlCheckJob* pJob);
    // The whole probe of `text`, timed: the verdict (PROBE_VALID,
    // PROBE_INVALID or PROBE_TIMEOUT) with Details() filled in, or
    // kNoSession when no session could be opened and nothing was tried.
    int CheckUrl(const CString& text);
    static constexpr int kNoSession = -1;

    int OpenSession();
    CString NormalizeUrl(const CString& text) const;
    CString FetchPage(const CString& url);
    int ProbeUrl(const CString& text);
    int CloseRequest();
    int CloseAll();

    // What the probe found out so far, beside its verdict.
    const ProbeDetails& Details() const { return m_details; }

private:
    // The status, final address and body size of the answer in hand.
    void RecordAnswer();
    void RecordFailure(const CInternetException& e);
    // The verdict, with the details attached.
    void PostVerdict(HWND hView, int code, int row);

    int m_nRow = 0;
    CString m_strUrl;
    CInternetSession* m_pSession = nullptr;
    CHttpConnection* m_pConnection = nullptr;
    CHttpFile* m_pRequest = nullptr;
    ProbeDetails m_details;
};

// The controlling function: runs the probe, frees the job, returns 0.
UINT UrlCheckThreadProc(void* pParam);
