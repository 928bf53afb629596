#include "framework/window/Gui.h"

#include "framework/window/NonClient.h"
#include "framework/window/private/GuiThread.h"

#include <QApplication>
#include <cstdio>
#include <cstdlib>

namespace {

bool HasDisplay()
{
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    if (platform && *platform)
        return true;
    const char* x11 = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    return (x11 && *x11) || (wayland && *wayland);
}

} // namespace

bool AfxStartGui(int& argc, char** argv)
{
    if (QApplication::instance())
        return true;
    if (!HasDisplay()) {
        std::fprintf(stderr,
            "brisquel: no display found (DISPLAY and WAYLAND_DISPLAY are unset); "
            "start it on a desktop or under xvfb-run.\n");
        return false;
    }
    // Lives until the process ends: destroying the toolkit during static
    // destruction would run after the windows' own teardown.
    new QApplication(argc, argv);
    GuiThread::Attach();
    GetKeyState(VK_LBUTTON); // starts following the mouse buttons
    return true;
}
