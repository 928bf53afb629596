#include "framework/window/Timers.h"

#include <QTimer>
#include <map>
#include <memory>

#include "framework/base/Constants.h"
#include "framework/window/MessageQueue.h"

namespace {

struct Timer {
    std::unique_ptr<QTimer> qtimer;
    bool pending = false;
};

using Key = std::pair<std::uint32_t, UINT_PTR>;

// GUI thread only, like the windows the timers belong to.
std::map<Key, Timer>& TheTimers()
{
    static std::map<Key, Timer> timers;
    return timers;
}

// Ticks still queued for timers that were killed: the queue drops them,
// oldest first, before any tick of a timer set again under the same id.
std::map<Key, int>& TheStaleTicks()
{
    static std::map<Key, int> stale;
    return stale;
}

} // namespace

namespace Timers {

UINT_PTR Set(HWND hWnd, UINT_PTR id, UINT elapseMs)
{
    Timer& timer = TheTimers()[Key(hWnd.value, id)];
    if (!timer.qtimer) {
        timer.qtimer = std::make_unique<QTimer>();
        // A coarse timer may run 5% late on every tick, which a 500 ms
        // dispatch pace would lose as throughput.
        timer.qtimer->setTimerType(Qt::PreciseTimer);
        QObject::connect(timer.qtimer.get(), &QTimer::timeout, [hWnd, id] {
            auto it = TheTimers().find(Key(hWnd.value, id));
            if (it == TheTimers().end() || it->second.pending)
                return;
            if (PostMessageA(hWnd, WM_TIMER, id, 0))
                it->second.pending = true;
        });
    }
    timer.qtimer->start(static_cast<int>(elapseMs));
    return id;
}

BOOL Kill(HWND hWnd, UINT_PTR id)
{
    auto it = TheTimers().find(Key(hWnd.value, id));
    if (it == TheTimers().end())
        return FALSE;
    if (it->second.pending)
        ++TheStaleTicks()[it->first];
    TheTimers().erase(it);
    return TRUE;
}

void KillAll(HWND hWnd)
{
    // Only for a window that goes: its queued ticks find no window, and its
    // handle is never reused, so nothing stale needs remembering.
    auto& timers = TheTimers();
    std::erase_if(timers, [hWnd](const auto& entry) { return entry.first.first == hWnd.value; });
    std::erase_if(TheStaleTicks(), [hWnd](const auto& entry) { return entry.first.first == hWnd.value; });
}

bool IsRunning(HWND hWnd, UINT_PTR id)
{
    return TheTimers().count(Key(hWnd.value, id)) > 0;
}

bool TakeTick(HWND hWnd, UINT_PTR id)
{
    const Key key(hWnd.value, id);
    auto stale = TheStaleTicks().find(key);
    if (stale != TheStaleTicks().end()) {
        if (--stale->second == 0)
            TheStaleTicks().erase(stale);
        return false;
    }
    auto it = TheTimers().find(key);
    if (it == TheTimers().end())
        return false;
    it->second.pending = false;
    return true;
}

} // namespace Timers
