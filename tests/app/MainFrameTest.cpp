// The main frame as the hub: what each of its messages writes into the
// status bar and which message it passes on to the side panel or the view;
// the check timer; closing with probes still running; the menu's commands,
// their check marks and prompts.
#include "tests/app/AppHarness.h"

using namespace std::chrono_literals;

namespace {

constexpr UINT UM_MARK = WM_USER + 900; // test-only, no window handles it

struct Passed {
    enum Target { Panel, View } target;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

struct HubCase {
    const char* name;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    const char* panes[3]; // nullptr: pane left as it was
    std::vector<Passed> passed;
};

class MainFrameTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetGlobals();
        running = std::make_unique<RunningApp>();
        ASSERT_TRUE(running->Ready());
    }
    void TearDown() override { running.reset(); }

    // Posts the hub message and a mark behind it. When the mark is taken
    // from the queue the hub message is fully handled: the panes are read
    // then, and a second mark is posted, so what lies between the two marks
    // is exactly what the hub message passed on (and not what those
    // messages caused in turn).
    void RunHubMessage(UINT message, WPARAM wParam, LPARAM lParam, CString panes[3], std::vector<MSG>& passed)
    {
        RunningApp& r = *running;
        bool betweenMarks = false;
        AfxSetDispatchObserver([&](const MSG& m) {
            if (m.message == UM_MARK) {
                if (m.wParam == 1) {
                    for (int i = 0; i < 3; ++i)
                        panes[i] = r.Pane(i);
                    betweenMarks = true;
                    PostMessageA(r.frameHandle, UM_MARK, 2, 0);
                } else {
                    betweenMarks = false;
                }
            } else if (betweenMarks) {
                passed.push_back(m);
            }
        });
        ASSERT_TRUE(PostMessageA(r.frameHandle, message, wParam, lParam));
        ASSERT_TRUE(PostMessageA(r.frameHandle, UM_MARK, 1, 0));
        AfxPumpPendingMessages();
        AfxSetDispatchObserver({});
    }

    std::unique_ptr<RunningApp> running;
};

TEST_F(MainFrameTest, EachHubMessageSetsItsPanesAndPassesItsMessageOn)
{
    const std::vector<HubCase> cases = {
        { "import request", UM_IMPORT_REQUEST, 0, 0, { "正在读取网址...", nullptr, nullptr },
            { { Passed::View, UM_IMPORT_RUN, 0, 0 } } },
        { "list loaded", UM_LIST_LOADED, 0, 42, { "加载网址列表结束。", "线程: 0", "网址个数: 42" },
            { { Passed::Panel, UM_IMPORT_DONE, 0, 1 } } },
        { "check start", UM_CHECK_START, 0, 0, { "正在检查...", nullptr, nullptr }, {} },
        { "check finished", UM_CHECK_FINISHED, 0, 0, { "执行完毕", nullptr, nullptr },
            { { Passed::Panel, UM_CHECK_STOPPED, 0, 1 } } },
        { "thread count", UM_THREAD_COUNT, 0, 3, { nullptr, "线程: 3", nullptr }, {} },
        { "thread count below zero", UM_THREAD_COUNT, 0, -2, { nullptr, "线程: -2", nullptr }, {} },
        { "export request", UM_EXPORT_REQUEST, 0, EXPORT_VALID, { "正在导出网址...", nullptr, nullptr },
            { { Passed::View, UM_EXPORT_RUN, 0, EXPORT_VALID } } },
        { "export result, valid", UM_EXPORT_RESULT, EXPORT_VALID, 7,
            { "共导出了 7 个有效网址。", nullptr, nullptr },
            { { Passed::Panel, UM_EXPORT_DONE, EXPORT_VALID, 1 } } },
        { "export result, invalid", UM_EXPORT_RESULT, EXPORT_INVALID, 0,
            { "共导出了 0 个无效网址。", nullptr, nullptr },
            { { Passed::Panel, UM_EXPORT_DONE, EXPORT_INVALID, 1 } } },
        { "export result, all", UM_EXPORT_RESULT, EXPORT_ALL, 12,
            { "共导出了 12 个网址。", nullptr, nullptr },
            { { Passed::Panel, UM_EXPORT_DONE, EXPORT_ALL, 1 } } },
        { "purge invalid request", UM_PURGE_INVALID_REQUEST, 0, 0,
            { "正在删除无效网址...", nullptr, nullptr }, { { Passed::View, UM_PURGE_INVALID_RUN, 0, 0 } } },
        { "purge invalid result", UM_PURGE_INVALID_RESULT, 0, 4,
            { "共清理了 4 个无效网址。", nullptr, nullptr },
            { { Passed::Panel, UM_PURGE_INVALID_DONE, 0, 1 } } },
        { "purge duplicates request", UM_PURGE_DUPLICATES_REQUEST, 0, 0,
            { "正在清理重复网址...", nullptr, nullptr }, { { Passed::View, UM_PURGE_DUPLICATES, 0, 0 } } },
        { "purge duplicates result", UM_PURGE_DUPLICATES, 0, 6,
            { "共清理了 6 个重复网址。", nullptr, nullptr },
            { { Passed::Panel, UM_PURGE_DUPLICATES_DONE, 0, 1 } } },
        { "check cancel", UM_CHECK_CANCEL, 0, 0, { "用户取消了查询。", nullptr, nullptr },
            { { Passed::Panel, UM_CHECK_STOPPED, 0, 1 } } },
    };
    RunningApp& r = *running;
    ASSERT_EQ(g_hSidePanel, r.panel->m_hWnd);
    for (const HubCase& c : cases) {
        SCOPED_TRACE(c.name);
        for (int i = 0; i < 3; ++i)
            r.frame->StatusBar().SetPaneText(i, "-");
        CString panes[3];
        std::vector<MSG> passed;
        RunHubMessage(c.message, c.wParam, c.lParam, panes, passed);
        for (int i = 0; i < 3; ++i) {
            SCOPED_TRACE(i);
            EXPECT_EQ(panes[i], c.panes[i] ? U(c.panes[i]) : CString("-"));
        }
        ASSERT_EQ(passed.size(), c.passed.size());
        for (std::size_t i = 0; i < passed.size(); ++i) {
            const Passed& want = c.passed[i];
            EXPECT_EQ(passed[i].hwnd, want.target == Passed::Panel ? r.panel->m_hWnd : r.view->m_hWnd);
            EXPECT_EQ(passed[i].message, want.message);
            EXPECT_EQ(passed[i].wParam, want.wParam);
            EXPECT_EQ(passed[i].lParam, want.lParam);
        }
        if (c.message == UM_THREAD_COUNT) {
            EXPECT_EQ(g_nReportedProbes, c.lParam);
        }
    }
}

TEST_F(MainFrameTest, RequestsThatNeedTheViewAreDroppedWithoutOne)
{
    RunningApp& r = *running;
    r.frame->SetActiveView(nullptr);
    for (UINT message :
        { UM_IMPORT_REQUEST, UM_EXPORT_REQUEST, UM_PURGE_INVALID_REQUEST, UM_PURGE_DUPLICATES_REQUEST }) {
        SCOPED_TRACE(message - WM_USER);
        r.frame->StatusBar().SetPaneText(0, "-");
        r.seen.clear();
        ASSERT_TRUE(PostMessageA(r.frameHandle, message, 0, EXPORT_ALL));
        AfxPumpPendingMessages();
        EXPECT_EQ(r.Pane(0), CString("-"));
        ASSERT_EQ(r.seen.size(), 1u); // the request itself, nothing after it
        EXPECT_TRUE(r.boxes.empty());
    }
}

TEST_F(MainFrameTest, DuplicateRemovalPassesTheHubTwiceZeroThenTheCount)
{
    // The hub's request reaches the view under the hub's own message number,
    // and the view's pre-translation chain runs through the hub: the panel
    // hears "0 removed" first and then the real count.
    RunningApp& r = *running;
    const char* urls[] = { "a.example.test", "b.example.test", "a.example.test", "a.example.test" };
    for (int i = 0; i < 4; ++i) {
        r.List().InsertItem(i, "");
        r.List().SetItemText(i, COL_URL, urls[i]);
    }
    std::vector<CString> pane0;
    AfxSetDispatchObserver([&](const MSG& m) {
        r.seen.push_back(m);
        pane0.push_back(r.Pane(0));
    });
    ASSERT_TRUE(PostMessageA(r.frameHandle, UM_PURGE_DUPLICATES_REQUEST, 0, 0));
    AfxPumpPendingMessages();
    pane0.push_back(r.Pane(0));
    EXPECT_EQ(r.List().GetItemCount(), 2);

    std::vector<LPARAM> toHub;
    for (const MSG& m : r.SeenFor(r.frameHandle)) {
        if (m.message == UM_PURGE_DUPLICATES)
            toHub.push_back(m.lParam);
    }
    EXPECT_EQ(toHub, std::vector<LPARAM> { 2 });
    EXPECT_EQ(r.CountSeen(r.panel->m_hWnd, UM_PURGE_DUPLICATES_DONE), 2);
    EXPECT_TRUE(std::find(pane0.begin(), pane0.end(), U("共清理了 0 个重复网址。")) != pane0.end());
    EXPECT_EQ(r.Pane(0), U("共清理了 2 个重复网址。"));
    EXPECT_EQ(r.Pane(2), U("网址个数: 2"));
    EXPECT_TRUE(r.ButtonEnabled(IDC_PURGE_DUPLICATES));
}

TEST_F(MainFrameTest, CheckTimerAsksTheViewForFreeSlotsWhichMayBeNegative)
{
    RunningApp& r = *running;
    // Rows that are all decided keep the run going without starting probes.
    r.List().InsertItem(0, "1");
    r.List().SetItemText(0, COL_URL, "a.example.test");
    r.List().SetItemText(0, COL_VALIDITY, Validity::Valid());
    for (const LONG reported : { 2L, 7L }) {
        SCOPED_TRACE(reported);
        g_nThreadCount = 5;
        r.seen.clear();
        ASSERT_TRUE(PostMessageA(r.frameHandle, UM_THREAD_COUNT, 0, reported));
        ASSERT_TRUE(PostMessageA(r.frameHandle, UM_CHECK_START, 0, 0));
        ASSERT_TRUE(PumpUntil([&] { return r.CountSeen(r.view->m_hWnd, UM_CHECK_DISPATCH) > 0; }, 3s));
        const std::vector<MSG> toView = r.SeenFor(r.view->m_hWnd);
        const auto dispatch = std::find_if(
            toView.begin(), toView.end(), [](const MSG& m) { return m.message == UM_CHECK_DISPATCH; });
        ASSERT_NE(dispatch, toView.end());
        EXPECT_EQ(dispatch->lParam, 5 - reported);
        // All rows decided: the view reports the end, which stops the timer.
        ASSERT_TRUE(PumpUntil([&] { return r.Pane(0) == U("执行完毕"); }, 3s));
        AfxPumpPendingMessages();
        const int dispatches = r.CountSeen(r.view->m_hWnd, UM_CHECK_DISPATCH);
        RunNestedLoopFor(600ms);
        EXPECT_EQ(r.CountSeen(r.view->m_hWnd, UM_CHECK_DISPATCH), dispatches);
    }
}

TEST_F(MainFrameTest, ClosingWithProbesRunningAsksFirst)
{
    RunningApp& r = *running;
    g_nReportedProbes = 2;
    r.boxAnswers = { IDCANCEL };
    r.frame->SendMessage(WM_CLOSE);
    ASSERT_EQ(r.boxes.size(), 1u);
    EXPECT_EQ(r.boxes[0].text, U("还有正在运行的线程。确定要退出吗？"));
    EXPECT_EQ(r.boxes[0].type & 0xF, static_cast<UINT>(MB_OKCANCEL));
    EXPECT_TRUE(r.FrameAlive());

    r.boxAnswers = { IDOK };
    r.frame->SendMessage(WM_CLOSE);
    EXPECT_EQ(r.boxes.size(), 2u);
    EXPECT_FALSE(r.FrameAlive());
    EXPECT_EQ(r.app.m_pMainWnd, nullptr);
}

TEST_F(MainFrameTest, ClosingWithNoProbesDoesNotAsk)
{
    RunningApp& r = *running;
    g_nReportedProbes = 0;
    r.frame->SendMessage(WM_CLOSE);
    EXPECT_TRUE(r.boxes.empty());
    EXPECT_FALSE(r.FrameAlive());
}

TEST_F(MainFrameTest, MenuCommandsChecksAndPrompts)
{
    RunningApp& r = *running;
    CStatusBar& bar = r.frame->StatusBar();
    CCmdUI ui = r.frame->QueryCommandUI(ID_VIEW_STATUS_BAR);
    EXPECT_TRUE(ui.m_bEnabled);
    EXPECT_TRUE(ui.m_bChecked);
    EXPECT_TRUE(r.frame->QueryCommandUI(ID_VIEW_SIDEBAR).m_bChecked);

    r.frame->SendMessage(WM_COMMAND, ID_VIEW_STATUS_BAR, 0);
    EXPECT_FALSE(bar.GetStyle() & WS_VISIBLE);
    EXPECT_FALSE(bar.IsWindowVisible());
    EXPECT_FALSE(r.frame->QueryCommandUI(ID_VIEW_STATUS_BAR).m_bChecked);
    r.frame->SendMessage(WM_COMMAND, ID_VIEW_STATUS_BAR, 0);
    EXPECT_TRUE(bar.GetStyle() & WS_VISIBLE);
    EXPECT_TRUE(r.frame->QueryCommandUI(ID_VIEW_STATUS_BAR).m_bChecked);

    r.frame->SendMessage(WM_COMMAND, ID_VIEW_SIDEBAR, 0);
    EXPECT_FALSE(r.frame->QueryCommandUI(ID_VIEW_SIDEBAR).m_bChecked);
    r.frame->SendMessage(WM_COMMAND, ID_VIEW_SIDEBAR, 0);
    EXPECT_TRUE(r.frame->QueryCommandUI(ID_VIEW_SIDEBAR).m_bChecked);

    // Routing: the view's command is enabled only with an active view, the
    // application's always.
    EXPECT_TRUE(r.frame->QueryCommandUI(ID_APP_ABOUT).m_bEnabled);
    EXPECT_TRUE(r.frame->QueryCommandUI(ID_OPEN_URL).m_bEnabled);
    r.frame->SetActiveView(nullptr);
    EXPECT_FALSE(r.frame->QueryCommandUI(ID_OPEN_URL).m_bEnabled);
    EXPECT_TRUE(r.frame->QueryCommandUI(ID_APP_ABOUT).m_bEnabled);
    r.frame->SetActiveView(r.view);

    struct Prompt {
        UINT id;
        const char* text;
    };
    const Prompt prompts[] = {
        { ID_VIEW_STATUS_BAR, "显示或隐藏状态栏" },
        { ID_APP_ABOUT, "显示程序信息，版本号和版权" },
        { ID_APP_EXIT, "退出应用程序" },
        { 0, "就绪" },
    };
    for (const Prompt& p : prompts) {
        SCOPED_TRACE(p.id);
        r.frame->OnMenuSelect(p.id);
        EXPECT_EQ(r.Pane(0), U(p.text));
    }
    r.frame->OnMenuSelect(ID_APP_ABOUT);
    r.frame->OnExitMenuLoop();
    EXPECT_EQ(r.Pane(0), U("就绪"));
}

} // namespace
