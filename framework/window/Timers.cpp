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

} // namespace

namespace Timers {

UINT_PTR Set(HWND hWnd, UINT_PTR id, UINT elapseMs)
{
    Timer& timer = TheTimers()[Key(hWnd.value, id)];
    if (!timer.qtimer) {
        timer.qtimer = std::make_unique<QTimer>();
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
    return TheTimers().erase(Key(hWnd.value, id)) > 0 ? TRUE : FALSE;
}

void KillAll(HWND hWnd)
{
    auto& timers = TheTimers();
    std::erase_if(timers, [hWnd](const auto& entry) { return entry.first.first == hWnd.value; });
}

bool IsRunning(HWND hWnd, UINT_PTR id)
{
    return TheTimers().count(Key(hWnd.value, id)) > 0;
}

void Delivered(HWND hWnd, UINT_PTR id)
{
    auto it = TheTimers().find(Key(hWnd.value, id));
    if (it != TheTimers().end())
        it->second.pending = false;
}

} // namespace Timers
