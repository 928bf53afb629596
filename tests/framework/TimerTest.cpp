// Window timers: WM_TIMER arrives through the queue, is never pending twice
// for one timer, and a killed timer's waiting tick is not delivered.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QPointer>
#include <chrono>
#include <thread>
#include <vector>

#include "framework/base/Constants.h"
#include "framework/window/CWnd.h"
#include "framework/window/MessageQueue.h"
#include "tests/framework/GuiPump.h"

using namespace std::chrono_literals;

namespace {

class TimerWnd : public CWnd {
public:
    std::vector<UINT_PTR> ticks;

protected:
    DECLARE_MESSAGE_MAP()
    void OnTimer(UINT_PTR id) { ticks.push_back(id); }
};

BEGIN_MESSAGE_MAP(TimerWnd, CWnd)
ON_WM_TIMER()
END_MESSAGE_MAP()

// Keeps the queue from being pumped while the toolkit's loop (and so its
// timers) keeps running: the state of a GUI thread that is busy in toolkit
// work of its own. It holds back the queue's doorbell events and rings them
// again when it ends.
class QueueStall : public QObject {
public:
    QueueStall() { QCoreApplication::instance()->installEventFilter(this); }
    ~QueueStall() override
    {
        QCoreApplication::instance()->removeEventFilter(this);
        for (const QPointer<QObject>& target : m_heldTargets) {
            if (target)
                QCoreApplication::postEvent(target, new QEvent(m_heldType));
        }
    }
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        // The queue's doorbell is the framework's only user event.
        if (event->type() > QEvent::User && event->type() < QEvent::User + 16) {
            m_heldType = event->type();
            m_heldTargets.push_back(watched);
            return true;
        }
        return false;
    }

private:
    QEvent::Type m_heldType = QEvent::None;
    std::vector<QPointer<QObject>> m_heldTargets;
};

class TimerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(wnd.Create(nullptr, "timers", WS_OVERLAPPEDWINDOW, CRect(0, 0, 50, 50), nullptr, 0));
        AfxSetDispatchObserver([this](const MSG& m) {
            if (m.message == WM_TIMER && m.hwnd == wnd.m_hWnd)
                ++queuedTicks;
        });
    }
    void TearDown() override
    {
        AfxSetDispatchObserver({});
        wnd.DestroyWindow();
        AfxPumpPendingMessages();
    }

    TimerWnd wnd;
    int queuedTicks = 0; // WM_TIMER messages taken from the queue, delivered or not
};

TEST_F(TimerTest, TicksArriveThroughTheQueue)
{
    ASSERT_EQ(wnd.SetTimer(7, 5, nullptr), 7u);
    ASSERT_TRUE(PumpUntil([&] { return wnd.ticks.size() >= 3; }, 3s));
    for (UINT_PTR id : wnd.ticks)
        EXPECT_EQ(id, 7u);
    EXPECT_TRUE(wnd.KillTimer(7));
    EXPECT_FALSE(wnd.KillTimer(7));
}

TEST_F(TimerTest, ManyFiringsWhileBusyLeaveOneTick)
{
    wnd.SetTimer(1, 2, nullptr);
    wnd.SetTimer(2, 2, nullptr);
    {
        QueueStall stall;
        // About 50 intervals of each timer pass with the queue unpumped.
        RunNestedLoopFor(100ms);
    }
    wnd.KillTimer(1);
    wnd.KillTimer(2);
    AfxPumpPendingMessages();
    ASSERT_TRUE(PumpUntil([&] { return queuedTicks >= 2; }, 2s));
    RunNestedLoopFor(20ms);
    // One per timer, not one per firing.
    EXPECT_EQ(queuedTicks, 2);
}

TEST_F(TimerTest, KilledTimersWaitingTickIsNotDelivered)
{
    wnd.SetTimer(3, 2, nullptr);
    {
        QueueStall stall;
        RunNestedLoopFor(30ms);
        wnd.KillTimer(3);
    }
    ASSERT_TRUE(PumpUntil([&] { return queuedTicks >= 1; }, 2s));
    RunNestedLoopFor(20ms);
    EXPECT_EQ(queuedTicks, 1);
    EXPECT_TRUE(wnd.ticks.empty());
}

TEST_F(TimerTest, RestartedTimerIsNeverPendingTwice)
{
    // Killed with a tick waiting, then set again: the old tick must not be
    // delivered next to the new timer's.
    wnd.SetTimer(4, 2, nullptr);
    {
        QueueStall stall;
        RunNestedLoopFor(30ms);
        wnd.KillTimer(4);
        wnd.SetTimer(4, 2, nullptr);
        RunNestedLoopFor(30ms);
        wnd.KillTimer(4);
        wnd.SetTimer(4, 1000, nullptr); // stays alive, will not fire again in time
    }
    ASSERT_TRUE(PumpUntil([&] { return queuedTicks >= 1; }, 2s));
    RunNestedLoopFor(20ms);
    EXPECT_LE(wnd.ticks.size(), 1u);
    wnd.KillTimer(4);
}

TEST_F(TimerTest, DestroyedWindowsTimersStop)
{
    TimerWnd other;
    ASSERT_TRUE(other.Create(nullptr, "other", WS_OVERLAPPEDWINDOW, CRect(0, 0, 10, 10), nullptr, 0));
    other.SetTimer(1, 2, nullptr);
    ASSERT_TRUE(PumpUntil([&] { return !other.ticks.empty(); }, 2s));
    other.DestroyWindow();
    const std::size_t before = other.ticks.size();
    RunNestedLoopFor(30ms);
    EXPECT_EQ(other.ticks.size(), before);
}

} // namespace
