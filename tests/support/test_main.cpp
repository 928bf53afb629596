// Entry point of every test program: the GUI runs on the offscreen platform
// unless the caller chose another.
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>

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
    // The program under test keeps state (its recovery copies) in the
    // user's folder: tests keep theirs in a folder of their own, which the
    // children they start share.
    std::string ownState;
    if (!std::getenv("BRISQUEL_TEST_STATE")) {
        char pattern[] = "/tmp/brisquel-test-state-XXXXXX";
        if (!mkdtemp(pattern))
            return 1;
        ownState = pattern;
        setenv("XDG_STATE_HOME", pattern, 1);
        setenv("BRISQUEL_TEST_STATE", pattern, 1);
    }
    ::testing::InitGoogleTest(&argc, argv);
    if (!AfxStartGui(argc, argv))
        return 1;
    const int result = RUN_ALL_TESTS();
    std::error_code ignored;
    if (!ownState.empty())
        std::filesystem::remove_all(ownState, ignored);
    return result;
}
