// CWinThread: a worker thread that runs one controlling function.
//
// CreateThread starts the thread at once on a detached std::thread; nothing
// ever waits for it. With m_bAutoDelete set (the default) the thread deletes
// its object when the controlling function returns, on the worker thread, so
// a derived class's destructor runs there too. m_bAutoDelete is read by
// CreateThread, before the thread starts: after a successful CreateThread the
// object may be gone at any moment, and CreateThread itself never touches it
// again. An exception escaping the controlling function ends the thread, not
// the process.
#pragma once

#include <functional>

#include "framework/base/CObject.h"
#include "framework/base/Types.h"

using AFX_THREADPROC = UINT (*)(void*);

class CWinThread : public CObject {
public:
    CWinThread(AFX_THREADPROC pfn, void* param);
    ~CWinThread() override;
    CWinThread(const CWinThread&) = delete;
    CWinThread& operator=(const CWinThread&) = delete;

    // FALSE when the system can't start another thread; the object then
    // stays with the caller. The flags, stack size and security arguments
    // are accepted for shape only: threads start running with the default
    // stack.
    BOOL CreateThread(DWORD createFlags = 0, UINT stackSize = 0, void* security = nullptr);

    BOOL m_bAutoDelete = TRUE;

    // Makes the next `count` calls of CreateThread fail as if the system had
    // no thread to give, so the program's handling of that can be tested.
    static void FailNextStartsForTesting(int count);
    // While set (an empty function clears it), CreateThread starts no thread:
    // it succeeds and hands the object and its parameter to `divert`, which
    // owns both from then on as the thread would, so a test sees every start
    // and decides itself what the thread would have done.
    using StartDivert = std::function<void(CWinThread* thread, void* param)>;
    static void DivertStartsForTesting(StartDivert divert);

private:
    AFX_THREADPROC m_pfnThreadProc;
    void* m_pThreadParams;
};
