// Asking the desktop to open a document or address. It goes through a hook
// so tests can record the call; the default hook asks the desktop directly,
// never through a command shell.
#pragma once

#include <functional>

#include "framework/base/CString.h"

using ShellOpenHook = std::function<bool(const CString& verb, const CString& file)>;
ShellOpenHook AfxSetShellOpenHook(ShellOpenHook hook);

// Returns a value above 32 on success, as the classic call does.
std::intptr_t ShellExecuteA(
    HWND owner, LPCSTR verb, LPCSTR file, LPCSTR parameters, LPCSTR directory, int showCmd);
