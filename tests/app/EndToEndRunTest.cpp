// Check runs through the real message flow while probes are still out: the
// server holds its answers behind a gate that the test opens when it wants,
// so a stop, a restart, a close or a re-check lands while probes are running
// for sure, and the progress pane's figures can be told in advance.
#include <QTest>
#include <algorithm>
#include <atomic>
#include <charconv>
#include <cmath>
#include <condition_variable>
#include <map>
#include <mutex>
#include <string_view>

#include "framework/controls/CMenu.h"
#include "framework/inet/InternetBounds.h"
#include "framework/window/private/WindowBacking.h"
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

// Per page: how often it was asked for, and how many of its requests were
// in the server at once at most.
class PathVisits {
public:
    // True on the page's first visit.
    bool Enter(const std::string& path)
    {
        std::lock_guard lock(m_mutex);
        Visit& visit = m_visits[path];
        ++visit.count;
        visit.maxInside = std::max(visit.maxInside, ++visit.inside);
        return visit.count == 1;
    }
    void Leave(const std::string& path)
    {
        std::lock_guard lock(m_mutex);
        --m_visits[path].inside;
    }
    int Count(const std::string& path) const
    {
        std::lock_guard lock(m_mutex);
        const auto it = m_visits.find(path);
        return it == m_visits.end() ? 0 : it->second.count;
    }
    int MaxInsideAnyPage() const
    {
        std::lock_guard lock(m_mutex);
        int most = 0;
        for (const auto& [path, visit] : m_visits)
            most = std::max(most, visit.maxInside);
        return most;
    }

private:
    struct Visit {
        int count = 0;
        int inside = 0;
        int maxInside = 0;
    };
    mutable std::mutex m_mutex;
    std::map<std::string, Visit> m_visits;
};

// The progress pane's text during a run, "已检查 N/M · R 个/秒 · 剩余 h:mm:ss"
// with R in tenths, taken apart; false when the text has another form.
struct DuringRun {
    int checked = 0;
    int rows = 0;
    double rate = 0;
    long long secondsLeft = 0;
};
bool ParseDuringRun(const CString& pane, DuringRun& out)
{
    const std::string text = pane.ToUtf8();
    std::string_view rest = text;
    auto literal = [&](std::string_view expected) {
        if (!rest.starts_with(expected))
            return false;
        rest.remove_prefix(expected.size());
        return true;
    };
    // A number of at least `digits` digits.
    auto number = [&](long long& value, std::size_t digits = 1) {
        const auto [end, error] = std::from_chars(rest.data(), rest.data() + rest.size(), value);
        if (error != std::errc() || rest[0] == '-' || static_cast<std::size_t>(end - rest.data()) < digits)
            return false;
        rest.remove_prefix(static_cast<std::size_t>(end - rest.data()));
        return true;
    };
    long long checked = 0, rows = 0, whole = 0, tenths = 0, h = 0, m = 0, s = 0;
    if (!(literal("已检查 ") && number(checked) && literal("/") && number(rows) && literal(" · ")
            && number(whole) && literal(".") && rest.size() > 1 && rest[1] == ' ' && number(tenths)
            && literal(" 个/秒 · 剩余 ") && number(h) && literal(":") && rest.size() > 2 && rest[2] == ':'
            && number(m, 2) && literal(":") && rest.size() == 2 && number(s, 2) && m < 60 && s < 60))
        return false;
    out.checked = static_cast<int>(checked);
    out.rows = static_cast<int>(rows);
    out.rate = static_cast<double>(whole) + static_cast<double>(tenths) / 10;
    out.secondsLeft = h * 3600 + m * 60 + s;
    return true;
}

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
        server.Get("/held[0-9]+", [this](const httplib::Request& req, httplib::Response& res) {
            const bool firstVisit = paths.Enter(req.path);
            gate.Pass();
            if (slowAnswers)
                server.Pause(30ms);
            gate.Leave();
            paths.Leave(req.path);
            // A page fetched again is gone, so a fresh verdict shows.
            if (firstVisit)
                res.set_content(kPage, "text/html");
            else
                res.status = 404;
        });
        ASSERT_TRUE(server.Start());
    }
    void TearDown() override
    {
        gate.OpenFully();
        AfxSetPopupMenuHook({});
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
    PathVisits paths;
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

TEST_F(HeldRun, RowsCheckedAgainDuringARunGetFreshVerdictsOneProbeAtATime)
{
    TestDeadline deadline(20s, "re-check during a run");
    StartProgram(6);
    StartCheck("3");
    ASSERT_TRUE(PumpUntil([&] { return gate.Arrived() == 3; }, 5s));
    gate.Release(2);
    // Two verdicts free two slots for rows 3 and 4; row 5 waits.
    ASSERT_TRUE(PumpUntil([&] { return RowsReading("OK") == 2 && gate.Arrived() == 5; }, 5s))
        << RowsReading("OK") << " " << gate.Arrived();
    std::vector<int> finished;
    for (int row = 0; row < 6; ++row) {
        if (r->List().GetItemText(row, COL_VALIDITY) == CString("OK"))
            finished.push_back(row);
    }

    // Every row selected and checked again from the list's menu: the two
    // finished rows become unchecked, the three running ones keep their
    // probes, the unchecked one stays so.
    QWidget* list = WidgetOf(r->view);
    QTest::keyClick(list, Qt::Key_Home);
    QTest::keyClick(list, Qt::Key_A, Qt::ControlModifier);
    ASSERT_EQ(r->List().GetSelectedCount(), 6u);
    AfxSetPopupMenuHook([](const PopupMenuRequest&) { return ID_RECHECK_ROWS; });
    NMHDR header { r->view->m_hWnd, static_cast<UINT_PTR>(r->view->GetDlgCtrlID()), NM_RCLICK };
    SendMessageA(r->frameHandle, WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header));
    ASSERT_TRUE(PumpUntil([&] { return RowsReading("OK") == 0; }, 3s));
    EXPECT_EQ(RowsReading("执行中"), 3);
    EXPECT_EQ(RowsReading(""), 3);

    gate.OpenFully();
    ASSERT_TRUE(PumpUntil(
        [&] { return r->Pane(0) == U("执行完毕") && r->Pane(1) == U("线程: 0") && g_nRunningProbes == 0; },
        10s))
        << r->Pane(0).Bytes() << " / " << r->Pane(1).Bytes();
    AfxPumpPendingMessages();
    // Fetched again, the two pages are gone now.
    for (int row = 0; row < 6; ++row) {
        const bool again = std::find(finished.begin(), finished.end(), row) != finished.end();
        EXPECT_EQ(r->List().GetItemText(row, COL_VALIDITY), again ? U("超时!") : CString("OK")) << row;
        EXPECT_EQ(paths.Count("/held" + std::to_string(row)), again ? 2 : 1) << row;
    }
    EXPECT_EQ(paths.MaxInsideAnyPage(), 1);
    EXPECT_EQ(gate.Arrived(), 8);
    EXPECT_EQ(g_nReportedProbes, 0);
    const CheckProgress figures = r->view->GetCheckProgress();
    EXPECT_EQ(figures.rows, 6);
    EXPECT_EQ(figures.checked, 6);
    EXPECT_EQ(figures.unchecked, 0);
    EXPECT_TRUE(r->boxes.empty());
}

TEST_F(HeldRun, StoppedRunGoesOnFromItsReportAndFetchesOnlyWhatWasNotChecked)
{
    TestDeadline deadline(20s, "a run resumed from its report");
    StartProgram(6);
    StartCheck("3");
    ASSERT_TRUE(PumpUntil([&] { return gate.Arrived() == 3; }, 5s));
    gate.Release(2);
    ASSERT_TRUE(PumpUntil([&] { return RowsReading("OK") == 2 && gate.Arrived() == 5; }, 5s));
    r->Click(IDC_START_STOP);
    AfxPumpPendingMessages();
    std::vector<bool> wasRunning;
    for (int row = 0; row < 6; ++row)
        wasRunning.push_back(r->List().GetItemText(row, COL_VALIDITY) == U("执行中"));
    ASSERT_EQ(std::count(wasRunning.begin(), wasRunning.end(), true), 3);

    // Written while three rows are running, and opened again another day.
    r->fileAnswer = CString(folder.File("report.csv").c_str());
    ASSERT_TRUE(PostMessageA(r->frameHandle, WM_COMMAND, ID_FILE_CHECK_REPORT, 0));
    AfxPumpPendingMessages();
    ASSERT_TRUE(PostMessageA(r->frameHandle, WM_COMMAND, ID_FILE_OPEN_REPORT, 0));
    AfxPumpPendingMessages();
    EXPECT_EQ(r->Pane(0), U("共导入了 6 个网址的检查报告。"));
    EXPECT_EQ(RowsReading("OK"), 2);
    EXPECT_EQ(RowsReading(""), 4);

    // The old list's verdicts land nowhere; the new run takes the rest.
    gate.OpenFully();
    StartCheck("3");
    ASSERT_TRUE(PumpUntil([&] { return r->Pane(0) == U("执行完毕") && g_nRunningProbes == 0; }, 10s))
        << r->Pane(0).Bytes();
    AfxPumpPendingMessages();
    for (int row = 0; row < 6; ++row) {
        const bool again = wasRunning[static_cast<std::size_t>(row)];
        EXPECT_EQ(paths.Count("/held" + std::to_string(row)), again ? 2 : 1) << row;
        // A page fetched again is gone by then.
        EXPECT_EQ(r->List().GetItemText(row, COL_VALIDITY), again ? U("超时!") : CString("OK")) << row;
    }
    EXPECT_TRUE(r->boxes.empty());
}

TEST_F(HeldRun, ProgressPaneShowsTheRunsFiguresAndKeepsTheLastOnes)
{
    TestDeadline deadline(20s, "progress pane over a run");
    StartProgram(6);
    EXPECT_TRUE(r->Pane(3).IsEmpty()); // no run yet

    // What the hub reads at the start and at each tick of its timer, taken
    // as the message is about to be handled; and the pane's text as the run
    // finishes.
    using Clock = std::chrono::steady_clock;
    Clock::time_point startTime;
    long long startFinalTexts = 0;
    struct Tick {
        Clock::time_point time;
        CheckProgress figures;
    } lastTick {};
    CString duringAtFinish;
    // The plain record again before the values above go.
    struct RestoreRecord {
        RunningApp& app;
        ~RestoreRecord()
        {
            AfxSetDispatchObserver([&seen = app.seen](const MSG& m) { seen.push_back(m); });
        }
    } restoreRecord { *r };
    AfxSetDispatchObserver([&](const MSG& m) {
        r->seen.push_back(m);
        if (!(m.hwnd == r->frameHandle))
            return;
        if (m.message == UM_CHECK_START) {
            startTime = Clock::now();
            startFinalTexts = r->view->GetCheckProgress().finalTextsWritten;
        } else if (m.message == WM_TIMER && m.wParam == 1) {
            lastTick = { Clock::now(), r->view->GetCheckProgress() };
        } else if (m.message == UM_CHECK_FINISHED) {
            duringAtFinish = r->Pane(3);
        }
    });
    StartCheck("2");

    // The first tick: nothing has come back, so no rate and no time left.
    ASSERT_TRUE(PumpUntil([&] { return !r->Pane(3).IsEmpty(); }, 3s));
    EXPECT_EQ(r->Pane(3), U("已检查 0/6 · 0.0 个/秒 · 剩余 未知"));

    // Two verdicts: a tick shows them with the rate since the start and the
    // unchecked rows' time at that rate.
    gate.Release(2);
    DuringRun shown;
    ASSERT_TRUE(PumpUntil([&] { return ParseDuringRun(r->Pane(3), shown) && shown.checked == 2; }, 5s))
        << r->Pane(3).ToUtf8();
    EXPECT_EQ(shown.rows, 6);
    EXPECT_EQ(lastTick.figures.checked, 2);
    const double seconds = std::chrono::duration<double>(lastTick.time - startTime).count();
    EXPECT_NEAR(shown.rate, (lastTick.figures.finalTextsWritten - startFinalTexts) / seconds, 0.06);
    const int unchecked = lastTick.figures.unchecked;
    ASSERT_GT(unchecked, 0);
    EXPECT_GE(shown.secondsLeft, static_cast<long long>(std::ceil(unchecked / (shown.rate + 0.05))));
    EXPECT_LE(shown.secondsLeft, static_cast<long long>(std::ceil(unchecked / (shown.rate - 0.05))));

    // The last two rows are still out when the run finishes: the pane keeps
    // the last rate and drops the time left, and their verdicts, arriving
    // after the run, complete its figures.
    gate.Release(2);
    ASSERT_TRUE(PumpUntil([&] { return r->Pane(0) == U("执行完毕"); }, 5s));
    AfxPumpPendingMessages();
    ASSERT_EQ(g_nRunningProbes, 2);
    DuringRun last;
    ASSERT_TRUE(ParseDuringRun(duringAtFinish, last)) << duringAtFinish.ToUtf8();
    const std::string during = duringAtFinish.ToUtf8();
    const std::size_t rateAt = during.find(" · ") + 4;
    const std::string rate = during.substr(rateAt, during.find(" 个/秒") - rateAt);
    EXPECT_EQ(r->Pane(3).ToUtf8(), "已检查 4/6 · " + rate + " 个/秒");
    gate.OpenFully();
    ASSERT_TRUE(PumpUntil([&] { return g_nRunningProbes == 0 && r->Pane(1) == U("线程: 0"); }, 5s));
    EXPECT_EQ(r->Pane(3).ToUtf8(), "已检查 6/6 · " + rate + " 个/秒");
}

} // namespace
