// The program's real start-up and exit save, each start in a child process
// run from a folder the test prepares: the configuration lives beside the
// executable, so the test program is linked into that folder and started
// from there. The folder's name holds characters of several scripts.
#include <QAbstractButton>

#include <cstdlib>

#include "framework/window/private/WindowBacking.h"
#include "tests/app/AppHarness.h"
#include "tests/support/ChildProcess.h"

using namespace std::chrono_literals;

namespace {

constexpr const char* kStepVariable = "BRISQUEL_START_STEP";

void Press(CSidePanelDlg& panel, int controlId)
{
    auto* button = qobject_cast<QAbstractButton*>(WidgetOf(panel.GetDlgItem(controlId)));
    ASSERT_NE(button, nullptr);
    button->click();
}

// The child's part: one start, the user's action for `step`, and the exit.
void StartAndExit(const std::string& step)
{
    ResetGlobals();
    std::vector<CString> boxes;
    AfxSetMessageBoxHook([&](HWND, const CString& text, const CString&, UINT) {
        boxes.push_back(text);
        return IDOK;
    });
    CVelmoraApp app;
    app.m_nCmdShow = SW_SHOWMINIMIZED; // as if started minimised
    ASSERT_TRUE(app.InitInstance());
    auto* frame = dynamic_cast<CMainFrame*>(app.m_pMainWnd);
    ASSERT_NE(frame, nullptr);
    const HWND frameHandle = frame->m_hWnd;
    AfxPumpPendingMessages();
    EXPECT_TRUE(frame->IsZoomed());
    CSidePanelDlg& panel = frame->SideBar().Form();
    const CString threadCount = panel.GetDlgItem(IDC_THREAD_COUNT)->GetWindowText();

    if (step == "problem") {
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].Find(U("无法创建配置文件")), 0);
        EXPECT_GE(boxes[0].Find(U((std::string(std::getenv("XDG_CONFIG_HOME")) + "/brisquel").c_str())), 0);
        EXPECT_EQ(threadCount, CString("5"));
    } else {
        EXPECT_TRUE(boxes.empty());
        EXPECT_EQ(threadCount, CString(step == "first" ? "5" : step.c_str()));
        EXPECT_EQ(panel.GetDlgItem(IDC_IMPORT_PATH)->GetWindowText(), CString());
    }
    if (step == "25" || step == "0") {
        Press(panel, IDC_START_STOP);
        AfxPumpPendingMessages();
        EXPECT_EQ(boxes.size(), step == "0" ? 1u : 0u); // a count below 1 is refused with a word
    }

    PostMessageA(frameHandle, WM_CLOSE, 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return !CWnd::FromHandle(frameHandle); }, 5s));
    app.ExitInstance();
    EXPECT_EQ(boxes.size(), step == "problem" || step == "0" ? 1u : 0u); // the save said nothing
    AfxSetMessageBoxHook({});
}

std::vector<std::string> Names(const std::string& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

TEST(StartUp, RealStartFromAFolderOfAnyName)
{
    if (const char* step = std::getenv(kStepVariable); step && IsTestChild()) {
        StartAndExit(step);
        return;
    }
    TempFolder root;
    ASSERT_FALSE(root.Path().empty());
    const std::string named = root.File("björn ñ 한 \xF0\x9F\x98\x80 中文");
    const std::string config = named + "/bin/config.ini";
    std::filesystem::create_directories(named + "/bin");
    PlaceTestProgram(named + "/bin/brisquel");
    auto start = [&](const std::string& step, const std::string& program, const std::string& configHome) {
        SCOPED_TRACE(step);
        const ChildResult child = RunCurrentTestIn(
            program, { std::string(kStepVariable) + "=" + step, "XDG_CONFIG_HOME=" + configHome }, false);
        ExpectChildPassed(child);
    };

    start("first", named + "/bin/brisquel", root.File("xdg"));
    EXPECT_EQ(ReadBytes(config), "[user]\r\nfileurls=\r\nthreadcount=5\r\nkeypass=\r\n");

    WriteBytes(config, "[user]\r\nfileurls=\r\nthreadcount=25\r\nkeypass=\r\n");
    start("25", named + "/bin/brisquel", root.File("xdg"));
    EXPECT_EQ(ReadBytes(config), "[user]\r\nfileurls=\r\nthreadcount=10\r\nkeypass=\r\n");

    WriteBytes(config, "[user]\r\nfileurls=\r\nthreadcount=0\r\nkeypass=\r\n");
    start("0", named + "/bin/brisquel", root.File("xdg"));
    EXPECT_EQ(ReadBytes(config), "[user]\r\nfileurls=\r\nthreadcount=0\r\nkeypass=\r\n");
    EXPECT_EQ(Names(named + "/bin"), (std::vector<std::string> { "brisquel", "config.ini" }));

    // A folder name that is not UTF-8 can't be named back to the system, and
    // the user's folder is blocked: nothing is written anywhere, and the
    // user is told.
    // The folder a stand-in '?' would lead to is there, and stays empty.
    const std::string unnamed = root.File("bad\xFF") + "/bin";
    std::filesystem::create_directories(unnamed);
    std::filesystem::create_directories(root.File("bad?/bin"));
    PlaceTestProgram(unnamed + "/brisquel");
    WriteBytes(root.File("plain-file"), "not a folder");
    start("problem", unnamed + "/brisquel", root.File("plain-file") + "/xdg");
    EXPECT_EQ(Names(unnamed), std::vector<std::string> { "brisquel" });
    EXPECT_TRUE(Names(root.File("bad?/bin")).empty());
    EXPECT_EQ(Names(root.Path()),
        (std::vector<std::string> { "bad?", "bad\xFF", "björn ñ 한 \xF0\x9F\x98\x80 中文", "plain-file" }));
}

} // namespace
