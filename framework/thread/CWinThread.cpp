#include "framework/thread/CWinThread.h"

#include <atomic>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>

namespace {

std::atomic<int> g_failingStarts { 0 };

std::mutex g_divertMutex;
CWinThread::StartDivert g_divert;

CWinThread::StartDivert CurrentDivert()
{
    std::lock_guard lock(g_divertMutex);
    return g_divert;
}

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
    if (const StartDivert divert = CurrentDivert()) {
        divert(this, m_pThreadParams);
        return TRUE;
    }
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

void CWinThread::DivertStartsForTesting(StartDivert divert)
{
    std::lock_guard lock(g_divertMutex);
    g_divert = std::move(divert);
}
