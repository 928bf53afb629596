#include "framework/thread/CWinThread.h"

#include <atomic>
#include <system_error>
#include <thread>

namespace {

std::atomic<int> g_failingStarts { 0 };

bool ConsumeFailingStart()
{
    int left = g_failingStarts.load();
    while (left > 0) {
        if (g_failingStarts.compare_exchange_weak(left, left - 1))
            return true;
    }
    return false;
}

// Everything the worker needs travels by value: once it is running, the
// object belongs to the worker alone.
void RunThread(CWinThread* thread, AFX_THREADPROC proc, void* param, bool autoDelete)
{
    try {
        proc(param);
    } catch (...) {
        // A worker's failure is its own; the rest of the program goes on.
    }
    if (autoDelete)
        delete thread;
}

} // namespace

CWinThread::CWinThread(AFX_THREADPROC pfn, void* param)
    : m_pfnThreadProc(pfn)
    , m_pThreadParams(param)
{
}

CWinThread::~CWinThread() = default;

BOOL CWinThread::CreateThread(DWORD, UINT, void*)
{
    if (!m_pfnThreadProc || ConsumeFailingStart())
        return FALSE;
    try {
        std::thread(RunThread, this, m_pfnThreadProc, m_pThreadParams, m_bAutoDelete != FALSE).detach();
    } catch (const std::system_error&) {
        return FALSE;
    }
    return TRUE;
}

void CWinThread::FailNextStartsForTesting(int count)
{
    g_failingStarts.store(count);
}
