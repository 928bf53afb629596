// The window table: hands out window handles and turns them back into window
// objects. A handle names a slot and the slot's generation, so the handle of a
// destroyed window never names a later window that reuses its slot.
#pragma once

#include "framework/base/Types.h"

class CWnd;

namespace WindowTable {

HWND Add(CWnd* wnd);
void Remove(HWND hWnd);
// The window a handle names, or null for a stale or null handle. Safe from
// any thread; the object itself may be used on the GUI thread only.
CWnd* Lookup(HWND hWnd);
bool IsWindow(HWND hWnd);

} // namespace WindowTable
