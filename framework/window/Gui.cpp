#include "framework/window/Gui.h"

#include "framework/window/NonClient.h"
#include "framework/window/private/GuiThread.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
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

// The program's texts are Chinese (code page 936) whatever the user's
// language: the toolkit's own texts (file dialogs, standard buttons) and its
// number and date formats follow, so no English label sits in a Chinese
// dialog. Without the toolkit's translations installed they stay untranslated.
void SpeakChinese()
{
    const QLocale chinese(QLocale::Chinese, QLocale::China);
    QLocale::setDefault(chinese);
    auto* translator = new QTranslator(QApplication::instance());
    if (translator->load(chinese, QStringLiteral("qtbase"), QStringLiteral("_"),
            QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(translator);
    else
        delete translator;
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
    SpeakChinese();
    // The desktop entry is named after the executable (the toolkit's default
    // application name); the desktop finds the windows' entry and icon by it.
    QGuiApplication::setDesktopFileName(QApplication::applicationName());
    GuiThread::Attach();
    GetKeyState(VK_LBUTTON); // starts following the mouse buttons
    return true;
}
