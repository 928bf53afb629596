// The GUI thread's queue of posted messages. Any thread may post; the GUI
// thread's pump takes the messages in posting order and offers each to the
// pre-translation chain (the target, then each parent up to and including the
// main window) before the target's window procedure gets it. The toolkit's
// event loop only rings the doorbell, so nested loops (message boxes, file
// dialogs, popup menus) keep pumping the same queue.
#pragma once

#include <functional>
#include <memory>

#include "framework/base/CObject.h"
#include "framework/base/Types.h"

// Posts a message to a window's queue; FALSE when the handle names no window.
BOOL PostMessageA(HWND hWnd, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
inline BOOL PostMessage(HWND hWnd, UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
{
    return PostMessageA(hWnd, message, wParam, lParam);
}

// Posts a message that carries an object beside its two payloads. The object
// has one owner at every moment: the queue while the message waits, the
// dispatch while the message is offered to the windows, and the handler that
// takes it (AfxTakeMessageAttachment). Whoever holds it last frees it: a
// post that fails frees it at once, a message whose window is gone by the
// time it is taken frees it unseen, and so does a message no handler takes.
BOOL PostMessageWithAttachment(
    HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam, std::unique_ptr<CObject> attachment);

// The object posted with the message that `pMsg` points at, taken over by the
// caller; null when it carries none or a handler took it already. Only for
// the MSG the pump hands to PreTranslateMessage, while that call runs
// (copies of it carry nothing); GUI thread only.
std::unique_ptr<CObject> AfxTakeMessageAttachment(const MSG* pMsg);

// Finds the first queued message for `hWnd` (for any window when it is null)
// whose number lies in [first, last] (any number when both are 0) and copies
// it into `msg`; FALSE when there is none. Only PM_NOREMOVE is offered: the
// message stays where it is. GUI thread only.
BOOL PeekMessage(LPMSG msg, HWND hWnd, UINT first, UINT last, UINT remove);

// Calls the window's procedure at once; GUI thread only. 0 for no window.
LRESULT SendMessageA(HWND hWnd, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

// Ends the GUI thread's message loop with the given exit code.
void PostQuitMessage(int exitCode);

// Dispatches everything queued so far, nested-loop safe; GUI thread only.
void AfxPumpPendingMessages();

// Sees every message the pump takes from the queue, before it is offered to
// any window (for message-flow tests). An empty function removes it.
void AfxSetDispatchObserver(std::function<void(const MSG&)> observer);

// Work for the moment the queue is drained and the toolkit is about to wait:
// command-update handlers, delayed layouts, view refreshes. The handler is
// identified by `owner` so it can be removed.
void AfxAddIdleHandler(const void* owner, std::function<void()> handler);
void AfxRemoveIdleHandler(const void* owner);
// Runs the idle handlers now (also before a nested modal loop starts).
void AfxRunIdleHandlers();
