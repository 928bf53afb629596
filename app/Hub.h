// The hub: the main frame, found at the moment of posting as the current
// thread's main window.
#pragma once

#include "framework/doc/CWinApp.h"
#include "framework/window/CWnd.h"

inline HWND HubWindow()
{
    CWinApp* thread = AfxGetThread();
    CWnd* mainWnd = thread ? thread->GetMainWnd() : nullptr;
    return mainWnd ? mainWnd->m_hWnd : HWND();
}

// Whether the hub's check timer runs, that is whether the hub has a check run
// going (false when there is no hub).
BOOL IsHubCheckTimerRunning();
