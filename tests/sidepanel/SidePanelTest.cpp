// The side panel inside the running frame: its fields start from the run
// settings, and its buttons validate, store the settings, post their
// requests to the hub and wait for the hub's done messages.
#include <QAbstractButton>
#include <QApplication>
#include <functional>

#include "framework/window/Timers.h"
#include "tests/app/AppHarness.h"

using namespace std::chrono_literals;

namespace {

class SidePanelTest : public ::testing::Test {
protected:
    void SetUp() override { ResetGlobals(); }
    void TearDown() override
    {
        r.reset();
        ResetGlobals();
    }
    void Start()
    {
        r = std::make_unique<RunningApp>();
        ASSERT_TRUE(r->Ready());
    }
    // What the panel posted to the hub since the last clear.
    std::vector<UINT> PostedToHub()
    {
        std::vector<UINT> out;
        for (const MSG& m : r->SeenFor(r->frameHandle))
            out.push_back(m.message);
        return out;
    }
    std::unique_ptr<RunningApp> r;
};

TEST_F(SidePanelTest, InitialFieldsComeFromTheRunSettings)
{
    g_strImportPath = U("/数据/urls.txt");
    g_strIgnoreList = "foo,bar";
    g_nThreadCount = 7;
    Start();
    EXPECT_EQ(r->FieldText(IDC_IMPORT_PATH), U("/数据/urls.txt"));
    EXPECT_EQ(r->FieldText(IDC_IGNORE_LIST), CString("foo,bar"));
    EXPECT_EQ(r->FieldText(IDC_THREAD_COUNT), CString("7"));
    EXPECT_EQ(r->FieldText(IDC_START_STOP), U("开始查询"));
    EXPECT_EQ(g_hSidePanel, r->panel->m_hWnd);
}

TEST_F(SidePanelTest, ImportNeedsAPath)
{
    Start();
    r->SetField(IDC_IMPORT_PATH, "");
    r->Click(IDC_IMPORT);
    AfxPumpPendingMessages();
    ASSERT_EQ(r->boxes.size(), 1u);
    EXPECT_EQ(r->boxes[0].text, U("请指定导入文件路径。"));
    EXPECT_TRUE(PostedToHub().empty());
    EXPECT_TRUE(r->ButtonEnabled(IDC_IMPORT));

    // With a path the request goes out and the button waits for the hub.
    r->SetField(IDC_IMPORT_PATH, "/nonexistent/urls.txt");
    r->Click(IDC_IMPORT);
    EXPECT_EQ(g_strImportPath, CString("/nonexistent/urls.txt"));
    EXPECT_FALSE(r->ButtonEnabled(IDC_IMPORT));
    AfxPumpPendingMessages();
    EXPECT_EQ(PostedToHub().front(), UM_IMPORT_REQUEST);
    EXPECT_TRUE(r->ButtonEnabled(IDC_IMPORT));
    EXPECT_EQ(r->CountSeen(r->panel->m_hWnd, UM_IMPORT_DONE), 1);
}

TEST_F(SidePanelTest, StartReadsAndLimitsTheThreadCount)
{
    struct Case {
        const char* field;
        bool starts;
        LONG stored;
    };
    const Case cases[] = {
        { "25", true, 10 },
        { "0", false, 0 },
        { "-3", false, -3 },
        { "abc", false, 0 },
        { "3abc", true, 3 },
        { " 7", true, 7 },
        { "10", true, 10 },
        { "1", true, 1 },
    };
    Start();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.field);
        r->seen.clear();
        r->boxes.clear();
        r->SetField(IDC_THREAD_COUNT, c.field);
        r->Click(IDC_START_STOP);
        EXPECT_EQ(g_nThreadCount, c.stored);
        EXPECT_EQ(r->FieldText(IDC_THREAD_COUNT), CString(c.field)); // the field is not rewritten
        if (c.starts) {
            EXPECT_TRUE(r->boxes.empty());
            EXPECT_TRUE(g_bChecking);
            EXPECT_EQ(r->FieldText(IDC_START_STOP), U("停止查询"));
            // Stop: the button reads "开始查询" at once, before the hub answers.
            r->Click(IDC_START_STOP);
            EXPECT_EQ(r->FieldText(IDC_START_STOP), U("开始查询"));
            EXPECT_FALSE(g_bChecking);
            AfxPumpPendingMessages();
            EXPECT_EQ(PostedToHub(), (std::vector<UINT> { UM_CHECK_START, UM_CHECK_CANCEL }));
            EXPECT_EQ(r->Pane(0), U("用户取消了查询。"));
        } else {
            ASSERT_EQ(r->boxes.size(), 1u);
            EXPECT_EQ(r->boxes[0].text, U("线程数量至少大于0。"));
            EXPECT_FALSE(g_bChecking);
            EXPECT_EQ(r->FieldText(IDC_START_STOP), U("开始查询"));
            AfxPumpPendingMessages();
            EXPECT_TRUE(PostedToHub().empty());
        }
    }
}

TEST_F(SidePanelTest, IgnoreWordsAreLowerCasedInAsciiOnly)
{
    Start();
    // 丄 is 0x81 0x41 in code page 936: its trail byte is an 'A'.
    r->SetField(IDC_IGNORE_LIST, U("ABC.com 中文丄"));
    r->SetField(IDC_THREAD_COUNT, "2");
    r->Click(IDC_START_STOP);
    EXPECT_EQ(g_strIgnoreList, U("abc.com 中文丄"));
    EXPECT_EQ(r->FieldText(IDC_IGNORE_LIST), U("ABC.com 中文丄"));
}

TEST_F(SidePanelTest, CheckStoppedFromTheHubResetsTheButton)
{
    Start();
    r->SetField(IDC_THREAD_COUNT, "2");
    r->Click(IDC_START_STOP);
    ASSERT_TRUE(g_bChecking);
    ASSERT_TRUE(PostMessageA(r->panel->m_hWnd, UM_CHECK_STOPPED, 0, 1));
    AfxPumpPendingMessages();
    EXPECT_FALSE(g_bChecking);
    EXPECT_EQ(r->FieldText(IDC_START_STOP), U("开始查询"));
}

// UM_CHECK_STOPPED does not say which run it ends, and clicks can come while
// answers are still on their way. Whatever the order, once everything is
// delivered the button reads "停止查询" exactly while the hub's timer runs.
TEST_F(SidePanelTest, StartStopButtonFollowsTheRunWhateverTheOrder)
{
    constexpr UINT S = UM_CHECK_START, C = UM_CHECK_CANCEL, F = UM_CHECK_FINISHED, P = UM_CHECK_STOPPED;
    struct Case {
        const char* name;
        std::function<void()> play; // with a run going and nothing queued
        bool running;
        std::vector<UINT> order; // of S, C, F and P as the pump took them
    };
    bool clickOnAnswer = false;
    auto stopThenStart = [this] {
        r->Click(IDC_START_STOP);
        r->Click(IDC_START_STOP);
    };
    auto finishRun = [this] { ASSERT_TRUE(PostMessageA(r->frameHandle, UM_CHECK_FINISHED, 0, 0)); };
    const std::vector<Case> cases = {
        { "the run ends by itself", finishRun, false, { F, P } },
        { "stop", [this] { r->Click(IDC_START_STOP); }, false, { C, P } },
        { "stop and start before the hub answers", stopThenStart, true, { C, S, P } },
        { "stop and start while the answer of a finished run is queued",
            [&] {
                finishRun();
                clickOnAnswer = true;
            },
            true, { F, P, C, S, P } },
        { "stop and start while the finished run waits for the hub",
            [&] {
                finishRun();
                stopThenStart();
            },
            true, { F, C, S, P, P } },
        // The tick finds nothing left to check, and its FINISHED, taken
        // after the start, ends the new run as well.
        { "stop and start behind a tick of the run",
            [&] {
                ASSERT_TRUE(PostMessageA(r->view->m_hWnd, UM_CHECK_DISPATCH, 0, 2));
                stopThenStart();
            },
            false, { C, S, F, P, P } },
    };
    Start();
    AfxSetDispatchObserver([&](const MSG& m) {
        r->seen.push_back(m);
        // The user clicks while the answer is still to be delivered.
        if (clickOnAnswer && m.message == P) {
            clickOnAnswer = false;
            stopThenStart();
        }
    });
    r->SetField(IDC_THREAD_COUNT, "2");
    auto expectButton = [this](bool running) {
        EXPECT_EQ(g_bChecking != FALSE, running);
        EXPECT_EQ(r->FieldText(IDC_START_STOP), U(running ? "停止查询" : "开始查询"));
        EXPECT_EQ(Timers::IsRunning(r->frameHandle, 1), running);
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        r->Click(IDC_START_STOP);
        AfxPumpPendingMessages();
        expectButton(true);
        r->seen.clear();
        c.play();
        AfxPumpPendingMessages();
        std::vector<UINT> order;
        for (const MSG& m : r->seen) {
            if (m.message == S || m.message == C || m.message == F || m.message == P)
                order.push_back(m.message);
        }
        EXPECT_EQ(order, c.order);
        expectButton(c.running);
        // The run's own end still resets the button.
        if (c.running) {
            finishRun();
            AfxPumpPendingMessages();
            expectButton(false);
        }
    }
}

TEST_F(SidePanelTest, OperationButtonsWaitForTheirDoneMessages)
{
    struct Case {
        int button;
        UINT request;
        LPARAM kind;
        UINT done;
        WPARAM doneWParam;
    };
    const Case cases[] = {
        { IDC_EXPORT_ALL, UM_EXPORT_REQUEST, EXPORT_ALL, UM_EXPORT_DONE, EXPORT_ALL },
        { IDC_EXPORT_VALID, UM_EXPORT_REQUEST, EXPORT_VALID, UM_EXPORT_DONE, EXPORT_VALID },
        { IDC_EXPORT_INVALID, UM_EXPORT_REQUEST, EXPORT_INVALID, UM_EXPORT_DONE, EXPORT_INVALID },
        { IDC_PURGE_INVALID, UM_PURGE_INVALID_REQUEST, 0, UM_PURGE_INVALID_DONE, 0 },
        { IDC_PURGE_DUPLICATES, UM_PURGE_DUPLICATES_REQUEST, 0, UM_PURGE_DUPLICATES_DONE, 0 },
    };
    Start();
    // Without a view the hub drops the requests, so only the done messages
    // the test posts re-enable the buttons.
    r->frame->SetActiveView(nullptr);
    const int buttons[]
        = { IDC_EXPORT_ALL, IDC_EXPORT_VALID, IDC_EXPORT_INVALID, IDC_PURGE_INVALID, IDC_PURGE_DUPLICATES };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.button);
        r->seen.clear();
        r->Click(c.button);
        EXPECT_FALSE(r->ButtonEnabled(c.button));
        AfxPumpPendingMessages();
        const std::vector<MSG> toHub = r->SeenFor(r->frameHandle);
        ASSERT_EQ(toHub.size(), 1u);
        EXPECT_EQ(toHub[0].message, c.request);
        EXPECT_EQ(toHub[0].lParam, c.kind);
        EXPECT_FALSE(r->ButtonEnabled(c.button));

        // An export done message for no known kind enables nothing.
        ASSERT_TRUE(PostMessageA(r->panel->m_hWnd, UM_EXPORT_DONE, 5, 1));
        AfxPumpPendingMessages();
        EXPECT_FALSE(r->ButtonEnabled(c.button));

        ASSERT_TRUE(PostMessageA(r->panel->m_hWnd, c.done, c.doneWParam, 1));
        AfxPumpPendingMessages();
        for (int other : buttons)
            EXPECT_TRUE(r->ButtonEnabled(other)) << other;
    }
}

TEST_F(SidePanelTest, ClickingTheRealButtonStartsTheCheck)
{
    Start();
    r->SetField(IDC_THREAD_COUNT, "4");
    QAbstractButton* start = nullptr;
    for (QWidget* w : QApplication::allWidgets()) {
        auto* button = qobject_cast<QAbstractButton*>(w);
        if (button && button->isVisible() && button->text() == QString::fromUtf8("开始查询"))
            start = button;
    }
    ASSERT_NE(start, nullptr);
    start->click();
    AfxPumpPendingMessages();
    EXPECT_TRUE(g_bChecking);
    EXPECT_EQ(g_nThreadCount, 4);
    EXPECT_EQ(r->CountSeen(r->frameHandle, UM_CHECK_START), 1);
    EXPECT_EQ(start->text(), QString::fromUtf8("停止查询"));
}

} // namespace
