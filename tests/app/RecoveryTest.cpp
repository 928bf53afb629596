// The recovery copy through the real program: what the copy holds as the
// list changes, the question at the next start after a run that did not end
// cleanly, the list restored from it, and nothing left after a clean exit.
// A run "ends" here by its objects going without ExitInstance, which lets go
// of its lock as a crash would.
#include <algorithm>
#include <optional>

#include "tests/app/AppHarness.h"
#include "urllist/RecoverySaver.h"

using namespace std::chrono_literals;

namespace {

class RecoveryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetGlobals();
        if (const char* saved = std::getenv("XDG_STATE_HOME"))
            m_savedStateHome = saved;
        setenv("XDG_STATE_HOME", m_state.Path().c_str(), 1);
    }
    void TearDown() override
    {
        if (m_savedStateHome)
            setenv("XDG_STATE_HOME", m_savedStateHome->c_str(), 1);
        else
            unsetenv("XDG_STATE_HOME");
    }

    std::vector<std::string> Names() const
    {
        std::vector<std::string> names;
        std::error_code ignored;
        for (const auto& entry : std::filesystem::directory_iterator(m_state.File("brisquel"), ignored))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    // The one copy there is; empty when there is none.
    std::string CopyBytes() const
    {
        std::string bytes;
        for (const std::string& name : Names()) {
            if (name.ends_with(".csv"))
                bytes += ReadBytes(m_state.File("brisquel/" + name));
        }
        return bytes;
    }
    // The copy's timer fires now, if it runs.
    static void Tick(RunningApp& r)
    {
        PostMessageA(r.view->m_hWnd, WM_TIMER, RecoverySaver::kTimer, 0);
        AfxPumpPendingMessages();
    }
    void LoadAndCopy(RunningApp& r)
    {
        ASSERT_TRUE(r.view->LoadCheckReport(CString(m_files.File("report.csv"))));
        Tick(r);
        ASSERT_TRUE(PumpUntil([&] { return CopyBytes() == kReport; }, 5s)) << CopyBytes();
    }

    const std::string kHead = "\xEF\xBB\xBF序号,网址,有效性,HTTP状态,最终网址,说明,耗时(毫秒)\r\n";
    const std::string kReport = kHead
        + "1,http://example.test/a,OK,200,,页面正常,12\r\n"
          "2,http://example.test/b,超时!,404,,HTTP 404 Not Found,7\r\n"
          "7,http://example.test/c,,,,,\r\n";
    TempFolder m_state;
    TempFolder m_files;
    std::optional<std::string> m_savedStateHome;
};

TEST_F(RecoveryTest, CopyFollowsTheListAndIsOfferedBackOnlyAfterAnUncleanEnd)
{
    WriteBytes(m_files.File("report.csv"), kReport);
    WriteBytes(m_files.File("urls.txt"), "http://example.test/\r\n");
    {
        RunningApp a;
        ASSERT_TRUE(a.Ready());
        EXPECT_FALSE(a.app.AskToRestore());
        a.app.KeepRecoveryCopy(FALSE);
        // Nothing has changed: no timer runs, and its tick writes nothing.
        Tick(a);
        RunNestedLoopFor(100ms);
        EXPECT_EQ(CopyBytes(), "");

        LoadAndCopy(a);
        // Another instance leaves this one's copy alone.
        RecoveryCopy other;
        ASSERT_TRUE(other.Open());
        EXPECT_TRUE(other.LeftCopyPath().IsEmpty());
        other.EndCleanly();

        a.view->SendMessage(WM_COMMAND, ID_RECHECK_FAILED, 0);
        Tick(a);
        const std::string rechecked = kHead
            + "1,http://example.test/a,OK,200,,页面正常,12\r\n"
              "2,http://example.test/b,,,,,\r\n"
              "7,http://example.test/c,,,,,\r\n";
        ASSERT_TRUE(PumpUntil([&] { return CopyBytes() == rechecked; }, 5s)) << CopyBytes();

        // A new import holds no one's work: its copy goes.
        g_strImportPath = CString(m_files.File("urls.txt"));
        a.view->ImportUrls();
        ASSERT_TRUE(PumpUntil([&] { return CopyBytes().empty(); }, 5s));
        LoadAndCopy(a);
    }
    {
        RunningApp b;
        b.boxAnswers = { IDNO };
        EXPECT_FALSE(b.app.AskToRestore());
        ASSERT_EQ(b.boxes.size(), 1u);
        EXPECT_EQ(b.boxes[0].text, U("上次运行没有正常结束，是否恢复当时的网址列表和检查结果？"));
        EXPECT_EQ(b.boxes[0].type, static_cast<UINT>(MB_YESNO | MB_ICONQUESTION));
        EXPECT_EQ(CopyBytes(), "");
        b.app.KeepRecoveryCopy(FALSE);
        EXPECT_EQ(b.List().GetItemCount(), 0);
        LoadAndCopy(b);
    }
    RunningApp c;
    c.boxAnswers = { IDYES };
    EXPECT_TRUE(c.app.AskToRestore());
    c.app.KeepRecoveryCopy(TRUE);
    AfxPumpPendingMessages();
    ASSERT_EQ(c.List().GetItemCount(), 3);
    EXPECT_EQ(c.List().GetItemText(1, COL_LINE), CString("2"));
    EXPECT_EQ(c.List().GetItemText(1, COL_VALIDITY), U("超时!"));
    EXPECT_EQ(c.List().GetItemText(2, COL_LINE), CString("7"));
    ProbeDetails details;
    ASSERT_TRUE(c.view->GetProbeDetails(1, details));
    EXPECT_EQ(DescribeProbeDetails(details), U("HTTP 404 Not Found\n耗时：7 毫秒"));
    EXPECT_EQ(c.Pane(0), U("共导入了 3 个网址的检查报告。"));
    EXPECT_EQ(CopyBytes(), kReport); // now this run's copy
    EXPECT_EQ(c.boxes.size(), 1u);

    ASSERT_TRUE(PostMessageA(c.frameHandle, WM_CLOSE, 0, 0));
    ASSERT_TRUE(PumpUntil([&] { return !c.FrameAlive(); }, 5s));
    c.app.ExitInstance();
    EXPECT_EQ(Names(), std::vector<std::string> { "instances.lock" });
}

} // namespace
