// Check runs through the real message flow while probes are still out: the
// server holds its answers behind a gate that the test opens when it wants,
// so a stop, a restart or a close lands while probes are running for sure.
#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>

#include "framework/inet/InternetBounds.h"
#include "tests/app/AppHarness.h"
#include "tests/support/LocalHttpServer.h"
#include "tests/support/TestDeadline.h"

using namespace std::chrono_literals;

namespace {

// Requests wait here until the test lets some or all of them through.
class Gate {
public:
    ~Gate() { OpenFully(); }

    void Pass()
    {
        std::unique_lock lock(m_mutex);
        ++m_arrived;
        ++m_inside;
        m_maxInside = std::max(m_maxInside, m_inside);
        m_changed.wait(lock, [&] { return m_open || m_permits > 0; });
        if (!m_open)
            --m_permits;
    }
    // The handler is about to answer.
    void Leave()
    {
        std::lock_guard lock(m_mutex);
        --m_inside;
        ++m_answered;
    }
    void Release(int n)
    {
        std::lock_guard lock(m_mutex);
        m_permits += n;
        m_changed.notify_all();
    }
    void OpenFully()
    {
        std::lock_guard lock(m_mutex);
        m_open = true;
        m_changed.notify_all();
    }
    int Arrived() const
    {
        std::lock_guard lock(m_mutex);
        return m_arrived;
    }
    int Answered() const
    {
        std::lock_guard lock(m_mutex);
        return m_answered;
    }
    int MaxInside() const
    {
        std::lock_guard lock(m_mutex);
        return m_maxInside;
    }

private:
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_open = false;
    int m_permits = 0;
    int m_arrived = 0;
    int m_inside = 0;
    int m_maxInside = 0;
    int m_answered = 0;
};

const std::string kPage = "<html><head><title>Welcome</title></head><body>hello</body></html>\n";

// The program with a list of `rows` URLs that all lead to held pages. The
// server is declared after the gate, so it stops (once TearDown has opened
// the gate) while the gate its handlers wait on still exists.
class HeldRun : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetGlobals();
        InternetBounds bounds;
        bounds.stallSeconds = 5;
        bounds.totalSeconds = 8;
        AfxSetInternetBounds(bounds);
        server.Get("/held[0-9]+", [this](const httplib::Request&, httplib::Response& res) {
            gate.Pass();
            if (slowAnswers)
                server.Pause(30ms);
            gate.Leave();
            res.set_content(kPage, "text/html");
        });
        ASSERT_TRUE(server.Start());
    }
    void TearDown() override
    {
        gate.OpenFully();
        r.reset();
        // Probes whose window is gone still finish their request; let them,
        // so that no worker outlives the server it talks to.
        PumpUntil([&] { return gate.Answered() == gate.Arrived(); }, 5s);
        RunNestedLoopFor(100ms);
        AfxSetInternetBounds(InternetBounds());
        ResetGlobals();
    }

    void StartProgram(int rows)
    {
        std::string bytes;
        for (int i = 0; i < rows; ++i)
            bytes += server.Url("/held" + std::to_string(i)) + "\r\n";
        WriteBytes(folder.File("urls.txt"), bytes);
        r = std::make_unique<RunningApp>();
        ASSERT_TRUE(r->Ready());
        r->SetField(IDC_IMPORT_PATH, CString(folder.File("urls.txt").c_str()));
        r->Click(IDC_IMPORT);
        ASSERT_TRUE(PumpUntil([&] { return r->Pane(0) == U("加载网址列表结束。"); }, 3s));
        ASSERT_EQ(r->List().GetItemCount(), rows);
    }
    void StartCheck(const char* threads)
    {
        r->SetField(IDC_THREAD_COUNT, threads);
        r->Click(IDC_START_STOP);
        ASSERT_EQ(r->FieldText(IDC_START_STOP), U("停止查询"));
    }
    int RowsReading(const char* verdict)
    {
        int n = 0;
        for (int row = 0; row < r->List().GetItemCount(); ++row)
            n += r->List().GetItemText(row, COL_VALIDITY) == U(verdict) ? 1 : 0;
        return n;
    }
    // The running counts the hub was told, in order, from message `from` on.
    std::vector<LPARAM> ReportedCounts(std::size_t from)
    {
        std::vector<LPARAM> out;
        for (std::size_t i = from; i < r->seen.size(); ++i) {
            if (r->seen[i].hwnd == r->frameHandle && r->seen[i].message == UM_THREAD_COUNT)
                out.push_back(r->seen[i].lParam);
        }
        return out;
    }
    int CountSince(std::size_t from, HWND target, UINT message)
    {
        int n = 0;
        for (std::size_t i = from; i < r->seen.size(); ++i)
            n += r->seen[i].hwnd == target && r->seen[i].message == message ? 1 : 0;
        return n;
    }

    Gate gate;
    std::atomic<bool> slowAnswers { false };
    LocalHttpServer server;
    TempFolder folder;
    std::unique_ptr<RunningApp> r;
};

TEST_F(HeldRun, StopInTheMiddleLetsTheOutstandingVerdictsLand)
{
    TestDeadline deadline(15s, "stop in the middle of a run");
    StartProgram(8);
    StartCheck("3");
    ASSERT_TRUE(PumpUntil([&] { return gate.Arrived() == 3 && r->Pane(1) == U("线程: 3"); }, 5s))
        << gate.Arrived() << " " << r->Pane(1).Bytes();
    ASSERT_EQ(RowsReading("执行中"), 3);

    r->Click(IDC_START_STOP);
    EXPECT_EQ(r->FieldText(IDC_START_STOP), U("开始查询")); // before the hub has seen anything
    EXPECT_FALSE(g_bChecking);
    AfxPumpPendingMessages();
    EXPECT_EQ(r->Pane(0), U("用户取消了查询。"));
    const std::size_t afterStop = r->seen.size();

    // Several timer periods: nothing new is started while the three wait.
    RunNestedLoopFor(1200ms);
    EXPECT_EQ(gate.Arrived(), 3);
    EXPECT_EQ(RowsReading("执行中"), 3);
    EXPECT_EQ(CountSince(afterStop, r->view->m_hWnd, UM_CHECK_DISPATCH), 0);
    EXPECT_EQ(g_nRunningProbes, 3);

    gate.OpenFully();
    ASSERT_TRUE(PumpUntil([&] { return g_nRunningProbes == 0 && r->Pane(1) == U("线程: 0"); }, 8s))
        << g_nRunningProbes << " " << r->Pane(1).Bytes();
    AfxPumpPendingMessages();
    EXPECT_EQ(g_nReportedProbes, 0);
    EXPECT_EQ(ReportedCounts(afterStop), (std::vector<LPARAM> { 2, 1, 0 }));
    EXPECT_EQ(RowsReading("OK"), 3);
    EXPECT_EQ(RowsReading(""), 5);
    EXPECT_EQ(RowsReading("执行中"), 0);
    for (int row = 0; row < 3; ++row) // the first unchecked rows were the ones sent out
        EXPECT_EQ(r->List().GetItemText(row, COL_VALIDITY), CString("OK")) << row;
    EXPECT_EQ(gate.Arrived(), 3);
    EXPECT_EQ(r->Pane(0), U("用户取消了查询。"));
    EXPECT_EQ(r->FieldText(IDC_START_STOP), U("开始查询"));
    EXPECT_TRUE(r->boxes.empty());
}

TEST_F(HeldRun, RestartRightAfterAStopCountsTheProbesStillOut)
{
    TestDeadline deadline(15s, "restart after a stop");
    StartProgram(7);
    StartCheck("3");
    ASSERT_TRUE(PumpUntil([&] { return gate.Arrived() == 3 && g_nReportedProbes == 3; }, 5s));

    r->Click(IDC_START_STOP);
    AfxPumpPendingMessages();
    const std::size_t beforeRestart = r->seen.size();
    r->Click(IDC_START_STOP);
    EXPECT_EQ(r->FieldText(IDC_START_STOP), U("停止查询"));
    AfxPumpPendingMessages();
    ASSERT_GT(r->seen.size(), beforeRestart);
    EXPECT_EQ(r->seen[beforeRestart].hwnd, r->frameHandle); // posted at once, first in line
    EXPECT_EQ(r->seen[beforeRestart].message, UM_CHECK_START);
    EXPECT_EQ(r->Pane(0), U("正在检查..."));

    // The slots are all taken by the probes of the stopped run.
    ASSERT_TRUE(
        PumpUntil([&] { return CountSince(beforeRestart, r->view->m_hWnd, UM_CHECK_DISPATCH) >= 2; }, 3s));
    for (std::size_t i = beforeRestart; i < r->seen.size(); ++i) {
        if (r->seen[i].hwnd == r->view->m_hWnd && r->seen[i].message == UM_CHECK_DISPATCH) {
            EXPECT_EQ(r->seen[i].lParam, 0);
        }
    }
    EXPECT_EQ(gate.Arrived(), 3);

    slowAnswers = true;
    gate.OpenFully();
    ASSERT_TRUE(PumpUntil([&] { return r->Pane(0) == U("执行完毕") && r->Pane(1) == U("线程: 0"); }, 10s))
        << r->Pane(0).Bytes() << " / " << r->Pane(1).Bytes();
    AfxPumpPendingMessages();
    EXPECT_EQ(RowsReading("OK"), 7);
    EXPECT_EQ(gate.Arrived(), 7); // no row was fetched twice
    EXPECT_LE(gate.MaxInside(), 3);
    EXPECT_EQ(g_nRunningProbes, 0);
    EXPECT_EQ(g_nReportedProbes, 0);
    EXPECT_FALSE(g_bChecking);
    EXPECT_EQ(r->FieldText(IDC_START_STOP), U("开始查询"));
}

TEST_F(HeldRun, ClosingWithProbesOutAsksAndThenLeavesThemBehind)
{
    TestDeadline deadline(15s, "closing with probes running");
    StartProgram(6);
    StartCheck("2");
    ASSERT_TRUE(PumpUntil([&] { return gate.Arrived() == 2 && g_nReportedProbes == 2; }, 5s));

    r->boxAnswers = { IDCANCEL };
    ASSERT_TRUE(PostMessageA(r->frameHandle, WM_CLOSE, 0, 0));
    AfxPumpPendingMessages();
    ASSERT_EQ(r->boxes.size(), 1u);
    // "还有正在运行的线程。确定要退出吗？" in code page 936.
    EXPECT_EQ(r->boxes[0].text.Bytes(),
        "\xbb\xb9\xd3\xd0\xd5\xfd\xd4\xda\xd4\xcb\xd0\xd0\xb5\xc4\xcf\xdf\xb3\xcc\xa1\xa3"
        "\xc8\xb7\xb6\xa8\xd2\xaa\xcd\xcb\xb3\xf6\xc2\xf0\xa3\xbf");
    EXPECT_EQ(r->boxes[0].type, static_cast<UINT>(MB_OKCANCEL | MB_ICONQUESTION));
    EXPECT_TRUE(r->boxes[0].caption.IsEmpty());
    ASSERT_TRUE(r->FrameAlive());

    // Cancelled: the run goes on.
    gate.Release(2);
    ASSERT_TRUE(PumpUntil([&] { return gate.Arrived() == 4 && RowsReading("OK") == 2; }, 5s))
        << gate.Arrived() << " " << RowsReading("OK");
    EXPECT_EQ(r->Pane(0), U("正在检查..."));
    EXPECT_TRUE(g_bChecking);

    // Confirmed: the frame goes at once, with two probes still held.
    ASSERT_TRUE(PumpUntil([&] { return g_nReportedProbes == 2; }, 3s));
    r->boxAnswers = { IDOK };
    ASSERT_TRUE(PostMessageA(r->frameHandle, WM_CLOSE, 0, 0));
    AfxPumpPendingMessages();
    EXPECT_EQ(r->boxes.size(), 2u);
    EXPECT_FALSE(r->FrameAlive());
    EXPECT_EQ(r->app.m_pMainWnd, nullptr);
    EXPECT_EQ(gate.Answered(), 2);
    ClearQuitRequest(); // or every later wait would return at once

    // Their verdicts have nowhere to go; nothing may touch the dead list.
    gate.OpenFully();
    ASSERT_TRUE(PumpUntil([&] { return gate.Answered() == 4; }, 5s));
    RunNestedLoopFor(300ms);
    EXPECT_EQ(gate.Arrived(), 4);
    EXPECT_EQ(r->boxes.size(), 2u);
}

} // namespace
