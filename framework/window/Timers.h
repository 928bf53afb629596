// Window timers. A timer posts WM_TIMER to its window through the queue, and
// never has two WM_TIMER pending: ticks that come while one waits are merged.
#pragma once

#include "framework/base/Types.h"

namespace Timers {

// Starts or restarts the timer `id` of the window.
UINT_PTR Set(HWND hWnd, UINT_PTR id, UINT elapseMs);
BOOL Kill(HWND hWnd, UINT_PTR id);
void KillAll(HWND hWnd);
bool IsRunning(HWND hWnd, UINT_PTR id);
// The queue asks whether a WM_TIMER it took is to be delivered: false for a
// tick that waited while its timer was killed (even if the timer was set
// again since). A delivered tick lets the timer post its next one.
bool TakeTick(HWND hWnd, UINT_PTR id);

} // namespace Timers
