// The dispatcher inside the real program: a CVelmoraView in a CMainFrame,
// rows put in through the list control and counted afresh as an import
// counts them, ticks posted as the hub posts them.
// Probes go to a local server whose answers wait behind a gate, so a test
// decides when verdicts may arrive.
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "app/CMainFrame.h"
#include "app/CVelmoraApp.h"
#include "app/Globals.h"
#include "app/Messages.h"
#include "check/ProbeReason.h"
#include "framework/controls/MessageBoxHook.h"
#include "framework/doc/CDocTemplate.h"
#include "framework/thread/CWinThread.h"
#include "res/ResourceIds.h"
#include "tests/check/CheckTestSupport.h"
#include "tests/support/LocalHttpServer.h"
#include "urllist/CVelmoraDoc.h"
#include "urllist/CVelmoraView.h"
#include "urllist/Validity.h"

using namespace std::chrono_literals;
using checktest::MessageLog;
using checktest::PumpFor;
using checktest::PumpUntil;

namespace {

// Answers /ok/..., /error/... (the domain-error page) and /gone/... (404);
// while the gate is shut every answer waits.
class GatedServer {
public:
    explicit GatedServer(bool open = false)
        : m_open(open)
    {
        Route("/ok/.*", 200, "<html>ok</html>\n");
        Route("/error/.*", 200, checktest::kDomainErrorMarker + "</TITLE>\n");
        Route("/gone/.*", 404, "gone\n");
        EXPECT_TRUE(m_server.Start());
    }
    ~GatedServer()
    {
        Open();
        m_server.Stop();
    }
    void Open()
    {
        std::lock_guard lock(m_mutex);
        m_open = true;
        m_changed.notify_all();
    }
    CString Url(const std::string& path) const { return CString(m_server.Url(path).c_str()); }

private:
    void Route(const std::string& pattern, int status, std::string body)
    {
        m_server.Get(
            pattern, [this, status, body = std::move(body)](const httplib::Request&, httplib::Response& res) {
                {
                    std::unique_lock lock(m_mutex);
                    m_changed.wait_for(lock, 8s, [this] { return m_open; });
                }
                res.status = status;
                res.set_content(body, "text/html");
            });
    }

    LocalHttpServer m_server;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_open;
};

class DispatchFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_nRunningProbes = 0;
        g_nReportedProbes = 0;
        g_nThreadCount = 5;
        g_bChecking = FALSE;
        m_savedHook = AfxSetMessageBoxHook([this](HWND, const CString& text, const CString&, UINT) {
            m_boxes.push_back(std::string(text.GetString()));
            return IDOK;
        });
        m_app = std::make_unique<CVelmoraApp>();
        CCommandLineInfo info;
        ASSERT_TRUE(m_app->OpenMainWindow(info));
        m_frame = dynamic_cast<CMainFrame*>(m_app->m_pMainWnd);
        ASSERT_NE(m_frame, nullptr);
        m_view = dynamic_cast<CVelmoraView*>(m_frame->GetActiveView());
        ASSERT_NE(m_view, nullptr);
        AfxPumpPendingMessages();
    }
    void TearDown() override
    {
        // Let every worker that may still run end before the server goes.
        if (m_gate)
            m_gate->Open();
        EXPECT_TRUE(PumpUntil([this] { return WorkerVerdicts() >= WorkersStarted(); }, 8s))
            << "a worker never reported";
        CWinThread::FailNextStartsForTesting(0);
        if (m_frame)
            m_frame->DestroyWindow();
        AfxPumpPendingMessages();
        m_app.reset();
        AfxSetMessageBoxHook(m_savedHook);
        m_gate.reset();
        g_nRunningProbes = 0;
        g_nReportedProbes = 0;
        g_hSidePanel = HWND();
    }

    CListCtrl& List() { return m_view->GetListCtrl(); }
    int AddRow(const CString& url, const CString& validity = CString())
    {
        const int row = List().GetItemCount();
        CString number;
        number.Format("%d", row + 1);
        List().InsertItem(row, number);
        List().SetItemText(row, COL_URL, url);
        List().SetItemText(row, COL_VALIDITY, validity);
        m_view->CountValidity();
        return row;
    }
    CString Cell(int row) { return List().GetItemText(row, COL_VALIDITY); }
    CString UrlAt(int row) { return List().GetItemText(row, COL_URL); }
    GatedServer& Gate(bool open = false)
    {
        if (!m_gate)
            m_gate = std::make_unique<GatedServer>(open);
        return *m_gate;
    }
    // One tick of the dispatcher, the way the hub's timer posts it.
    void Tick(int freeSlots)
    {
        m_view->PostMessage(UM_CHECK_DISPATCH, 0, freeSlots);
        AfxPumpPendingMessages();
    }
    // Every start and every verdict posts one count.
    int WorkersStarted() const
    {
        return m_log.AllTime(UM_THREAD_COUNT) - m_log.AllTime(UM_PROBE_OK) - m_log.AllTime(UM_PROBE_FAILED);
    }
    int WorkerVerdicts() const
    {
        return m_log.AllTime(UM_PROBE_OK) + m_log.AllTime(UM_PROBE_FAILED) - m_handVerdicts;
    }
    std::vector<MSG> ToHub(UINT message)
    {
        std::vector<MSG> found = m_log.Of(message);
        for (const MSG& msg : found)
            EXPECT_TRUE(msg.hwnd == m_frame->m_hWnd) << "message " << message << " not addressed to the hub";
        return found;
    }
    std::vector<LPARAM> Counts()
    {
        std::vector<LPARAM> counts;
        for (const MSG& msg : ToHub(UM_THREAD_COUNT))
            counts.push_back(msg.lParam);
        return counts;
    }
    int Verdicts()
    {
        return static_cast<int>(m_log.Of(UM_PROBE_OK).size() + m_log.Of(UM_PROBE_FAILED).size());
    }

    CString Running() { return Validity::Running(); }

    MessageLog m_log;
    std::unique_ptr<CVelmoraApp> m_app;
    CMainFrame* m_frame = nullptr;
    CVelmoraView* m_view = nullptr;
    std::unique_ptr<GatedServer> m_gate;
    MessageBoxHook m_savedHook;
    std::vector<std::string> m_boxes;
    int m_handVerdicts = 0; // verdicts the test posted itself
};

using DispatchTick = DispatchFixture;
using DispatchVerdict = DispatchFixture;

} // namespace

TEST_F(DispatchTick, AnEmptyListFinishesAtOnce)
{
    Tick(5);
    EXPECT_EQ(ToHub(UM_CHECK_FINISHED).size(), 1u);
    EXPECT_TRUE(Counts().empty());
}

TEST_F(DispatchTick, StartsOneProbePerFreeSlotInRowOrder)
{
    for (int i = 0; i < 12; ++i)
        AddRow(Gate().Url("/ok/" + std::to_string(i)));
    Tick(5);
    for (int row = 0; row < 12; ++row)
        EXPECT_EQ(Cell(row), row < 5 ? Running() : CString()) << "row " << row;
    EXPECT_EQ(Counts(), (std::vector<LPARAM> { 1, 2, 3, 4, 5 }));
    EXPECT_TRUE(ToHub(UM_CHECK_FINISHED).empty());
    EXPECT_EQ(g_nRunningProbes, 5);

    // No free slot, or fewer than none (more running than wanted): nothing
    // starts, nothing is posted, and the run is not over.
    for (int slots : { 0, -3 }) {
        m_log.Clear();
        Tick(slots);
        const auto seen = m_log.All();
        ASSERT_EQ(seen.size(), 1u) << "slots " << slots;
        EXPECT_EQ(seen[0].message, UM_CHECK_DISPATCH);
        EXPECT_EQ(Cell(5), CString()) << "slots " << slots;
    }
    // The five answers come in: each row gets its verdict and the count
    // comes down to nothing.
    m_log.Clear();
    Gate().Open();
    ASSERT_TRUE(PumpUntil([this] { return g_nRunningProbes == 0 && Verdicts() == 5; }));
    PumpFor(100ms);
    EXPECT_EQ(Verdicts(), 5);
    for (int row = 0; row < 12; ++row)
        EXPECT_EQ(Cell(row), row < 5 ? Validity::Valid() : CString()) << "row " << row;
    const auto counts = Counts();
    ASSERT_EQ(counts.size(), 5u);
    EXPECT_EQ(counts.back(), 0);
    EXPECT_EQ(g_nReportedProbes, 0);
}

TEST_F(DispatchTick, ARunWithNothingToCheckFinishesAtTheFirstTick)
{
    AddRow("no-dot", Validity::BadFormat());
    AddRow("ads.example.test", Validity::Ignored());
    AddRow("www.example.test", Validity::Valid());
    AddRow("bad.example.test", Validity::Invalid());
    Tick(5);
    EXPECT_EQ(ToHub(UM_CHECK_FINISHED).size(), 1u);
    EXPECT_TRUE(Counts().empty());
    EXPECT_EQ(Cell(0), Validity::BadFormat());
    EXPECT_EQ(Cell(1), Validity::Ignored());
}

// The row whose probe did not start is unchecked again, for a later tick.
TEST_F(DispatchTick, AThreadThatCannotStartIsReportedAndItsRowTakenUpLater)
{
    AddRow(Gate().Url("/ok/a"));
    AddRow(Gate().Url("/ok/b"));
    CWinThread::FailNextStartsForTesting(1);
    Tick(1);
    ASSERT_EQ(m_boxes.size(), 1u);
    EXPECT_EQ(m_boxes[0], "Cannot Start New Thread");
    EXPECT_EQ(Cell(0), CString());
    EXPECT_EQ(Cell(1), CString());
    EXPECT_TRUE(Counts().empty());
    EXPECT_EQ(g_nRunningProbes, 0);
    EXPECT_TRUE(ToHub(UM_CHECK_FINISHED).empty());

    Tick(1);
    EXPECT_EQ(Cell(0), Running());
    EXPECT_EQ(Counts(), (std::vector<LPARAM> { 1 }));
}

TEST_F(DispatchTick, TicksDuringTheCannotStartBoxDoNotStackBoxesOrSlots)
{
    for (const char* path : { "/ok/a", "/ok/b", "/ok/c", "/ok/d" })
        AddRow(Gate().Url(path));
    CWinThread::FailNextStartsForTesting(1);
    // The box's loop goes on delivering the check timer's ticks.
    AfxSetMessageBoxHook([this](HWND, const CString& text, const CString&, UINT) {
        m_boxes.push_back(std::string(text.GetString()));
        Tick(2);
        return IDOK;
    });
    Tick(2);
    ASSERT_EQ(m_boxes.size(), 1u);
    // The tick inside the box started nothing, and neither did the rest of
    // the scan the failure ended.
    EXPECT_EQ(Cell(0), CString());
    EXPECT_EQ(Cell(1), CString());
    EXPECT_EQ(Cell(2), CString());
    EXPECT_EQ(g_nRunningProbes, 0);
}

TEST_F(DispatchTick, AFailedStartEndsTheScanOfAListThatChangedUnderIt)
{
    AddRow(Gate().Url("/ok/a"));
    AddRow("bad.example.test", Validity::Invalid());
    AddRow(Gate().Url("/ok/b"));
    AddRow(Gate().Url("/ok/c"));
    CWinThread::FailNextStartsForTesting(1);
    // The box's loop delivers what is queued: here a clean-up that removes
    // the invalid row. The row whose start failed is unchecked, not invalid,
    // and stays.
    AfxSetMessageBoxHook([this](HWND, const CString& text, const CString&, UINT) {
        m_boxes.push_back(std::string(text.GetString()));
        AfxPumpPendingMessages();
        return IDOK;
    });
    m_view->PostMessage(UM_CHECK_DISPATCH, 0, 3);
    m_view->PostMessage(UM_PURGE_INVALID_RUN, 0, 0);
    AfxPumpPendingMessages();
    ASSERT_EQ(m_boxes.size(), 1u);
    ASSERT_EQ(List().GetItemCount(), 3);
    EXPECT_EQ(UrlAt(0), Gate().Url("/ok/a"));
    EXPECT_EQ(UrlAt(1), Gate().Url("/ok/b"));
    // Nothing started for rows the scan had not read again, and the run is
    // not taken for finished.
    for (int row = 0; row < 3; ++row)
        EXPECT_EQ(Cell(row), CString()) << "row " << row;
    EXPECT_TRUE(Counts().empty());
    EXPECT_EQ(g_nRunningProbes, 0);
    EXPECT_TRUE(ToHub(UM_CHECK_FINISHED).empty());

    // The next tick scans the new list from its first row.
    Tick(3);
    for (int row = 0; row < 3; ++row)
        EXPECT_EQ(Cell(row), Running()) << "row " << row;
    EXPECT_EQ(Counts(), (std::vector<LPARAM> { 1, 2, 3 }));
    Gate().Open();
    ASSERT_TRUE(PumpUntil([this] { return Verdicts() == 3 && g_nRunningProbes == 0; }));
    for (int row = 0; row < 3; ++row)
        EXPECT_EQ(Cell(row), Validity::Valid()) << "row " << row;
}

TEST_F(DispatchVerdict, AVerdictWithoutASessionHandsTheRowBack)
{
    AddRow(Gate().Url("/ok/a"));
    AddRow(Gate().Url("/ok/b"));
    Tick(1);
    ASSERT_EQ(Cell(0), Running());

    // The worker could not open a session.
    m_view->PostMessage(UM_PROBE_FAILED, PROBE_NO_SESSION, 0);
    ++m_handVerdicts;
    AfxPumpPendingMessages();
    EXPECT_EQ(Cell(0), CString());
    EXPECT_EQ(g_nRunningProbes, 0);

    Tick(1);
    EXPECT_EQ(Cell(0), Running()) << "the handed-back row was not dispatched again";
    EXPECT_EQ(Cell(1), CString());
    EXPECT_EQ(Counts(), (std::vector<LPARAM> { 1, 0, 1 }));
}

TEST_F(DispatchVerdict, FindsItsRowAfterDuplicatesAreRemoved)
{
    AddRow(Gate().Url("/ok/a"));
    AddRow(Gate().Url("/ok/a"));
    AddRow(Gate().Url("/error/b"));
    AddRow(Gate().Url("/gone/c"));
    Tick(4);
    ASSERT_EQ(g_nRunningProbes, 4);

    m_view->PostMessage(UM_PURGE_DUPLICATES, 0, 0);
    AfxPumpPendingMessages();
    ASSERT_EQ(List().GetItemCount(), 3);

    Gate().Open();
    ASSERT_TRUE(PumpUntil([this] { return Verdicts() == 4 && g_nRunningProbes == 0; }));
    EXPECT_EQ(UrlAt(1), Gate().Url("/error/b"));
    EXPECT_EQ(Cell(0), Validity::Valid());
    EXPECT_EQ(Cell(1), Validity::Invalid());
    EXPECT_EQ(Cell(2), Validity::TimedOut());
    EXPECT_EQ(Counts().back(), 0);
}

TEST_F(DispatchVerdict, IsDroppedWhenItsRowWasRemovedAsInvalid)
{
    AddRow("bad.example.test", Validity::Invalid());
    AddRow(Gate().Url("/ok/a"));
    AddRow("www.example.test", Validity::Valid());
    AddRow(Gate().Url("/error/b"));
    Tick(1);
    ASSERT_EQ(Cell(1), Running());

    // A running row counts as not valid and leaves with the invalid ones;
    // the unchecked row moves up into its place.
    m_view->PostMessage(UM_PURGE_INVALID_RUN, 0, 0);
    AfxPumpPendingMessages();
    ASSERT_EQ(List().GetItemCount(), 2);
    ASSERT_EQ(UrlAt(1), Gate().Url("/error/b"));

    Gate().Open();
    ASSERT_TRUE(PumpUntil([this] { return Verdicts() == 1 && g_nRunningProbes == 0; }));
    EXPECT_EQ(Cell(0), Validity::Valid());
    EXPECT_EQ(Cell(1), CString()) << "the verdict of a removed row landed on another";

    Tick(1);
    ASSERT_TRUE(PumpUntil([this] { return Verdicts() == 2 && g_nRunningProbes == 0; }));
    EXPECT_EQ(Cell(1), Validity::Invalid());
}

TEST_F(DispatchVerdict, IsDroppedAfterAnImportAndItsIndexWaitsForIt)
{
    AddRow(Gate().Url("/error/old"));
    Tick(1);
    ASSERT_EQ(Cell(0), Running());

    const std::string path = ::testing::TempDir() + "dispatch_import_urls.txt";
    {
        FILE* file = std::fopen(path.c_str(), "w");
        ASSERT_NE(file, nullptr);
        for (const char* name : { "/ok/1", "/ok/2", "/ok/3" })
            std::fprintf(file, "%s\n", Gate().Url(name).GetString());
        std::fclose(file);
    }
    g_strImportPath = CString(path.c_str());
    g_strIgnoreList = CString();
    m_view->PostMessage(UM_IMPORT_RUN, 0, 0);
    AfxPumpPendingMessages();
    std::remove(path.c_str());
    ASSERT_EQ(List().GetItemCount(), 3);

    // Row 0's index still names the old probe: it waits for that verdict.
    Tick(5);
    EXPECT_EQ(Cell(0), CString());
    EXPECT_EQ(Cell(1), Running());
    EXPECT_EQ(Cell(2), Running());

    Gate().Open();
    ASSERT_TRUE(PumpUntil([this] { return Verdicts() == 3 && g_nRunningProbes == 0; }));
    EXPECT_EQ(Cell(0), CString()) << "the old list's verdict landed on the new list";
    EXPECT_EQ(Cell(1), Validity::Valid());
    EXPECT_EQ(Cell(2), Validity::Valid());

    Tick(5);
    ASSERT_TRUE(PumpUntil([this] { return Verdicts() == 4 && g_nRunningProbes == 0; }));
    EXPECT_EQ(Cell(0), Validity::Valid());
}

TEST_F(DispatchVerdict, AFullRunThroughTheHubGivesEveryRowItsVerdict)
{
    GatedServer& server = Gate(true);
    struct Row {
        CString url;
        CString preset;
        CString expected;
    } rows[] = {
        { server.Url("/ok/1"), CString(), Validity::Valid() },
        { server.Url("/error/2"), CString(), Validity::Invalid() },
        { "no-dot", Validity::BadFormat(), Validity::BadFormat() },
        { server.Url("/gone/3"), CString(), Validity::TimedOut() },
        { server.Url("/ok/4"), CString(), Validity::Valid() },
        { "ads.example.test", Validity::Ignored(), Validity::Ignored() },
        { server.Url("/error/5"), CString(), Validity::Invalid() },
        { server.Url("/ok/6"), CString(), Validity::Valid() },
    };
    for (const Row& r : rows)
        AddRow(r.url, r.preset);
    g_nThreadCount = 3;

    PostMessageA(m_frame->m_hWnd, UM_CHECK_START, 0, 0);
    AfxPumpPendingMessages();
    // The hub's timer, ticked faster than its 500 ms.
    ASSERT_TRUE(PumpUntil([this] {
        if (!ToHub(UM_CHECK_FINISHED).empty())
            return true;
        PostMessageA(m_frame->m_hWnd, WM_TIMER, 1, 0);
        std::this_thread::sleep_for(20ms);
        return false;
    }));
    ASSERT_TRUE(PumpUntil([this] { return g_nRunningProbes == 0 && Verdicts() == 6; }));
    PumpFor(100ms);

    for (int row = 0; row < 8; ++row)
        EXPECT_EQ(Cell(row), rows[row].expected) << "row " << row;
    EXPECT_EQ(Verdicts(), 6);
    EXPECT_EQ(Counts().size(), 12u) << "one count up per start and one down per verdict";
    for (LPARAM count : Counts()) {
        EXPECT_GE(count, 0);
        EXPECT_LE(count, 3) << "more probes ran than slots were given";
    }
    EXPECT_EQ(g_nRunningProbes, 0);
    EXPECT_EQ(g_nReportedProbes, 0);
}
