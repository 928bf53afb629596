// The probe worker: one thread per URL. It opens an HTTP session, fetches the
// page, classifies it, closes everything, posts exactly one verdict to the
// list view and ends; the thread object then deletes itself.
#pragma once

#include "check/UrlCheckJob.h"
#include "framework/thread/CWinThread.h"

class CInternetSession;
class CHttpConnection;
class CHttpFile;

class CUrlCheckThread : public CWinThread {
public:
    CUrlCheckThread(AFX_THREADPROC pfnThreadProc, UrlCheckJob* pJob);
    ~CUrlCheckThread() override;

    int RunProbe(UrlCheckJob* pJob);

    int OpenSession();
    CString NormalizeUrl(const CString& text) const;
    CString FetchPage(const CString& url);
    int ProbeUrl(const CString& text);
    int CloseRequest();
    int CloseAll();

private:
    int m_nRow = 0;
    CString m_strUrl;
    CInternetSession* m_pSession = nullptr;
    CHttpConnection* m_pConnection = nullptr;
    CHttpFile* m_pRequest = nullptr;
};

// The controlling function: runs the probe, frees the job, returns 0.
UINT UrlCheckThreadProc(void* pParam);
