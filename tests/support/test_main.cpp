// Entry point of every test program: the GUI runs on the offscreen platform
// unless the caller chose another.
#include <cstdlib>
#include <gtest/gtest.h>

#include "framework/window/Gui.h"

// Fontconfig keeps its caches until exit by design; the leak checker would
// blame every test that draws text (message boxes, status bars).
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n";
}

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("no_proxy", "127.0.0.1,localhost", 1);
    setenv("NO_PROXY", "127.0.0.1,localhost", 1);
    ::testing::InitGoogleTest(&argc, argv);
    if (!AfxStartGui(argc, argv))
        return 1;
    return RUN_ALL_TESTS();
}
