#include "framework/controls/Shell.h"

#include <QDesktopServices>
#include <QUrl>

#include "framework/window/private/WindowBacking.h"

namespace {

ShellOpenHook& Hook()
{
    static ShellOpenHook hook;
    return hook;
}

} // namespace

ShellOpenHook AfxSetShellOpenHook(ShellOpenHook hook)
{
    ShellOpenHook previous = std::move(Hook());
    Hook() = std::move(hook);
    return previous;
}

std::intptr_t ShellExecuteA(HWND, LPCSTR verb, LPCSTR file, LPCSTR, LPCSTR, int)
{
    const CString v(verb ? verb : "open");
    const CString f(file ? file : "");
    const bool opened = Hook() ? Hook()(v, f) : QDesktopServices::openUrl(QUrl(ToQString(f)));
    return opened ? 33 : 2;
}
