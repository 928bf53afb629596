// Message boxes. They go through a hook so tests can answer and record them;
// the default hook shows a real modal box whose loop keeps pumping posted
// messages.
#pragma once

#include <functional>

#include "framework/base/CString.h"

using MessageBoxHook = std::function<int(HWND owner, const CString& text, const CString& caption, UINT type)>;

// Shows a message box; returns the button pressed (IDOK, IDCANCEL, ...).
int AfxShowMessageBox(HWND owner, const CString& text, const CString& caption, UINT type);
// A box owned by the main window with the application's name as caption.
int AfxMessageBox(LPCSTR text, UINT type = 0);

// Replaces the hook; returns the previous one. An empty hook restores the default.
MessageBoxHook AfxSetMessageBoxHook(MessageBoxHook hook);
