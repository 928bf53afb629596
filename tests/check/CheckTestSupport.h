// Shared pieces of the checking-engine tests: short HTTP bounds, a pump that
// waits for a condition under a deadline, a log of the messages the pump
// takes from the queue, and the pages the probe tells apart.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "check/CUrlCheckThread.h"
#include "framework/base/Types.h"
#include "framework/inet/InternetBounds.h"
#include "framework/window/CWnd.h"
#include "framework/window/MessageQueue.h"

namespace checktest {

// "<TITLE>域名纠错系统" as code page 936 bytes, written out so a fault in the
// program's own conversion can't hide here.
inline const std::string kDomainErrorMarker = "<TITLE>\xD3\xF2\xC3\xFB\xBE\xC0\xB4\xED\xCF\xB5\xCD\xB3";

// Short limits for the duration of a test.
class ShortBounds {
public:
    explicit ShortBounds(std::size_t maxBody = 1u << 20)
        : m_saved(AfxGetInternetBounds())
    {
        InternetBounds b;
        b.stallSeconds = 1;
        b.totalSeconds = 3;
        b.maxRedirects = 5;
        b.maxBodyBytes = maxBody;
        AfxSetInternetBounds(b);
    }
    ~ShortBounds() { AfxSetInternetBounds(m_saved); }

private:
    InternetBounds m_saved;
};

// Every message the pump takes from the queue while it lives.
class MessageLog {
public:
    MessageLog()
    {
        AfxSetDispatchObserver([this](const MSG& msg) {
            std::lock_guard lock(m_mutex);
            m_messages.push_back(msg);
            ++m_allTime[msg.message];
        });
    }
    ~MessageLog() { AfxSetDispatchObserver({}); }

    std::vector<MSG> Of(UINT message) const
    {
        std::lock_guard lock(m_mutex);
        std::vector<MSG> found;
        for (const MSG& msg : m_messages)
            if (msg.message == message)
                found.push_back(msg);
        return found;
    }
    std::vector<MSG> All() const
    {
        std::lock_guard lock(m_mutex);
        return m_messages;
    }
    // How many of `message` were seen, Clear notwithstanding.
    int AllTime(UINT message) const
    {
        std::lock_guard lock(m_mutex);
        const auto it = m_allTime.find(message);
        return it == m_allTime.end() ? 0 : it->second;
    }
    void Clear()
    {
        std::lock_guard lock(m_mutex);
        m_messages.clear();
    }

private:
    mutable std::mutex m_mutex;
    std::vector<MSG> m_messages;
    std::map<UINT, int> m_allTime;
};

// Pumps the queue until `done` holds; false when `limit` passes first.
inline bool PumpUntil(
    const std::function<bool()>& done, std::chrono::milliseconds limit = std::chrono::seconds(8))
{
    const auto end = std::chrono::steady_clock::now() + limit;
    for (;;) {
        AfxPumpPendingMessages();
        if (done())
            return true;
        if (std::chrono::steady_clock::now() >= end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

// Pumps for a while: lets anything still on its way arrive.
inline void PumpFor(std::chrono::milliseconds span)
{
    PumpUntil([] { return false; }, span);
}

// Starts one probe worker for `url` as the dispatcher does, reporting to
// `view` with `row`; false when the thread could not start.
inline bool StartWorker(HWND view, const std::string& url, int row)
{
    auto* job = new UrlCheckJob {};
    job->hView = view;
    job->strUrl = CString(url.c_str());
    job->nRow = row;
    auto* thread = new CUrlCheckThread(UrlCheckThreadProc, job);
    if (!thread->CreateThread(0, 0, nullptr)) {
        delete thread;
        delete job;
        return false;
    }
    return true;
}

// A plain window that stands in for the list view as the verdicts' addressee.
struct VerdictTarget {
    CWnd wnd;
    VerdictTarget()
    {
        RECT rect;
        rect.right = 40;
        rect.bottom = 30;
        EXPECT_TRUE(wnd.Create(nullptr, "verdicts", WS_POPUP, rect, nullptr, 0));
    }
    ~VerdictTarget()
    {
        if (wnd.m_hWnd != HWND())
            wnd.DestroyWindow();
    }
};

} // namespace checktest
