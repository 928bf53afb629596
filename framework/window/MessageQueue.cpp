#include "framework/window/MessageQueue.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QThread>
#include <deque>
#include <map>
#include <mutex>
#include <vector>

#include "framework/base/Constants.h"
#include "framework/window/CWnd.h"
#include "framework/window/Timers.h"
#include "framework/window/WindowTable.h"
#include "framework/window/private/GuiThread.h"

namespace {

const QEvent::Type kDoorbellEvent = static_cast<QEvent::Type>(QEvent::User + 1);

class Doorbell : public QObject {
public:
    bool event(QEvent* e) override;
};

struct QueuedMessage {
    MSG msg;
    std::unique_ptr<CObject> attachment;
};

// The attachment of each message being offered to the windows, innermost
// last: a handler may run a nested loop that dispatches further messages.
struct DispatchFrame {
    const MSG* msg;
    std::unique_ptr<CObject>* attachment;
};

struct Queue {
    std::mutex mutex;
    std::deque<QueuedMessage> messages;
    std::vector<DispatchFrame> dispatching; // GUI thread only
    bool doorbellPending = false;
    Doorbell* doorbell = nullptr;
    std::function<void(const MSG&)> observer;
    std::vector<std::pair<const void*, std::function<void()>>> idleHandlers;
    bool runningIdle = false;
};

Queue& TheQueue()
{
    static Queue queue;
    return queue;
}

// Caller holds the lock.
void RingLocked(Queue& q)
{
    if (q.doorbellPending || !q.doorbell)
        return;
    q.doorbellPending = true;
    QCoreApplication::postEvent(q.doorbell, new QEvent(kDoorbellEvent));
}

// The chain that sees a message before its target's window procedure: the
// target, then each parent up to and including the main window.
std::vector<HWND> PreTranslationChain(CWnd* target)
{
    std::vector<HWND> chain;
    const CWnd* mainWnd = AfxGetMainWnd();
    for (CWnd* w = target; w; w = w->GetParent()) {
        chain.push_back(w->GetSafeHwnd());
        if (w == mainWnd)
            break;
    }
    return chain;
}

// Offers the message along the pre-translation chain, then to the target's
// window procedure. Returns without either when the target is gone.
void OfferToWindows(MSG& msg)
{
    CWnd* target = WindowTable::Lookup(msg.hwnd);
    if (!target)
        return;
    if (msg.message == WM_TIMER) {
        // A tick that waited while its timer was killed is not delivered.
        if (!Timers::TakeTick(msg.hwnd, static_cast<UINT_PTR>(msg.wParam)))
            return;
    }
    // A handler along the chain may destroy windows: look each one up afresh.
    for (HWND h : PreTranslationChain(target)) {
        CWnd* w = WindowTable::Lookup(h);
        if (w && w->PreTranslateMessage(&msg))
            return;
    }
    SendMessageA(msg.hwnd, msg.message, msg.wParam, msg.lParam);
}

// The attachment, when nobody took it, is freed as this returns.
void Dispatch(QueuedMessage queued)
{
    Queue& q = TheQueue();
    if (q.observer)
        q.observer(queued.msg);
    if (!queued.attachment) {
        OfferToWindows(queued.msg);
        return;
    }
    q.dispatching.push_back({ &queued.msg, &queued.attachment });
    struct PopFrame {
        Queue& q;
        ~PopFrame() { q.dispatching.pop_back(); }
    } pop { q };
    OfferToWindows(queued.msg);
}

void Pump()
{
    Queue& q = TheQueue();
    for (;;) {
        QueuedMessage msg;
        {
            std::lock_guard lock(q.mutex);
            if (q.messages.empty())
                return;
            msg = std::move(q.messages.front());
            q.messages.pop_front();
            // If this message opens a nested loop, the rest must still be
            // delivered inside it.
            if (!q.messages.empty())
                RingLocked(q);
        }
        Dispatch(std::move(msg));
    }
}

bool Doorbell::event(QEvent* e)
{
    if (e->type() != kDoorbellEvent)
        return QObject::event(e);
    {
        Queue& q = TheQueue();
        std::lock_guard lock(q.mutex);
        q.doorbellPending = false;
    }
    Pump();
    return true;
}

} // namespace

namespace GuiThread {

void Attach()
{
    Queue& q = TheQueue();
    if (q.doorbell)
        return;
    auto* doorbell = new Doorbell;
    QObject::connect(
        QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock, doorbell, [] {
            Queue& queue = TheQueue();
            {
                std::lock_guard lock(queue.mutex);
                if (!queue.messages.empty())
                    return;
            }
            AfxRunIdleHandlers();
        });
    std::lock_guard lock(q.mutex);
    q.doorbell = doorbell;
    if (!q.messages.empty())
        RingLocked(q);
}

bool IsCurrent()
{
    return QCoreApplication::instance() && QThread::currentThread() == QCoreApplication::instance()->thread();
}

} // namespace GuiThread

BOOL PostMessageA(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    return PostMessageWithAttachment(hWnd, message, wParam, lParam, nullptr);
}

BOOL PostMessageWithAttachment(
    HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam, std::unique_ptr<CObject> attachment)
{
    if (!WindowTable::IsWindow(hWnd))
        return FALSE;
    Queue& q = TheQueue();
    std::lock_guard lock(q.mutex);
    q.messages.push_back({ MSG { hWnd, message, wParam, lParam }, std::move(attachment) });
    RingLocked(q);
    return TRUE;
}

std::unique_ptr<CObject> AfxTakeMessageAttachment(const MSG* pMsg)
{
    for (const DispatchFrame& frame : TheQueue().dispatching) {
        if (frame.msg == pMsg)
            return std::move(*frame.attachment);
    }
    return nullptr;
}

BOOL PeekMessage(LPMSG msg, HWND hWnd, UINT first, UINT last, UINT remove)
{
    if (!msg || remove != PM_NOREMOVE)
        return FALSE;
    const bool anyNumber = first == 0 && last == 0;
    Queue& q = TheQueue();
    std::lock_guard lock(q.mutex);
    for (const QueuedMessage& entry : q.messages) {
        const MSG& queued = entry.msg;
        if ((hWnd == HWND() || queued.hwnd == hWnd)
            && (anyNumber || (queued.message >= first && queued.message <= last))) {
            *msg = queued;
            return TRUE;
        }
    }
    return FALSE;
}

LRESULT SendMessageA(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CWnd* wnd = WindowTable::Lookup(hWnd);
    return wnd ? wnd->WindowProc(message, wParam, lParam) : 0;
}

void PostQuitMessage(int exitCode)
{
    QCoreApplication::exit(exitCode);
}

void AfxPumpPendingMessages()
{
    Pump();
}

void AfxSetDispatchObserver(std::function<void(const MSG&)> observer)
{
    TheQueue().observer = std::move(observer);
}

void AfxAddIdleHandler(const void* owner, std::function<void()> handler)
{
    TheQueue().idleHandlers.emplace_back(owner, std::move(handler));
}

void AfxRemoveIdleHandler(const void* owner)
{
    auto& handlers = TheQueue().idleHandlers;
    std::erase_if(handlers, [owner](const auto& h) { return h.first == owner; });
}

void AfxRunIdleHandlers()
{
    Queue& q = TheQueue();
    if (q.runningIdle)
        return;
    q.runningIdle = true;
    // A handler may add or remove handlers, so the list is read afresh each
    // step and the handler copied before it runs.
    for (std::size_t i = 0; i < q.idleHandlers.size(); ++i) {
        const auto handler = q.idleHandlers[i].second;
        handler();
    }
    q.runningIdle = false;
}
