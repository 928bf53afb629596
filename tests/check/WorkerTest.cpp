// The probe worker as the dispatcher starts it: a real thread that posts
// exactly one verdict, addressed to the window it was given, carrying the
// row, and that posts into nothing once that window is gone.
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "app/Messages.h"
#include "check/CUrlCheckThread.h"
#include "check/ProbeReason.h"
#include "framework/window/CWnd.h"
#include "tests/check/CheckTestSupport.h"
#include "tests/support/LocalHttpServer.h"

using namespace std::chrono_literals;
using checktest::MessageLog;
using checktest::PumpFor;
using checktest::PumpUntil;
using checktest::StartWorker;
using checktest::VerdictTarget;

namespace {

std::vector<MSG> Verdicts(const MessageLog& log)
{
    std::vector<MSG> found;
    for (const MSG& msg : log.All())
        if (msg.message == UM_PROBE_OK || msg.message == UM_PROBE_FAILED)
            found.push_back(msg);
    return found;
}

class WorkerThread : public ::testing::Test {
protected:
    void SetUp() override
    {
        Serve("/ok", "<html>fine</html>\n", 200);
        Serve("/error", checktest::kDomainErrorMarker + "</TITLE>\n", 200);
        Serve("/gone", "gone\n", 404);
        ASSERT_TRUE(m_server.Start());
    }
    void Serve(const std::string& path, std::string body, int status)
    {
        m_server.Get(path, [body = std::move(body), status](const httplib::Request&, httplib::Response& res) {
            res.status = status;
            res.set_content(body, "text/html");
        });
    }

    checktest::ShortBounds m_bounds;
    LocalHttpServer m_server;
};

} // namespace

TEST_F(WorkerThread, PostsExactlyOneVerdictWithTheRowToTheView)
{
    struct Case {
        const char* path;
        int row;
        UINT message;
        WPARAM reason;
    } cases[] = {
        { "/ok", 7, UM_PROBE_OK, PROBE_VALID },
        { "/error", 0, UM_PROBE_FAILED, PROBE_INVALID },
        { "/gone", 123456, UM_PROBE_FAILED, PROBE_TIMEOUT },
    };
    VerdictTarget target;
    for (const Case& c : cases) {
        MessageLog log;
        ASSERT_TRUE(StartWorker(target.wnd.m_hWnd, m_server.Url(c.path), c.row));
        ASSERT_TRUE(PumpUntil([&] { return !Verdicts(log).empty(); })) << c.path << ": no verdict";
        PumpFor(200ms); // a second verdict would show up by now
        const auto verdicts = Verdicts(log);
        ASSERT_EQ(verdicts.size(), 1u) << c.path;
        EXPECT_TRUE(verdicts[0].hwnd == target.wnd.m_hWnd) << c.path;
        EXPECT_EQ(verdicts[0].message, c.message) << c.path;
        EXPECT_EQ(verdicts[0].wParam, c.reason) << c.path;
        EXPECT_EQ(verdicts[0].lParam, c.row) << c.path;
    }
}

TEST_F(WorkerThread, ManyAtOnceEachReportTheirOwnRow)
{
    VerdictTarget target;
    MessageLog log;
    const char* paths[] = { "/ok", "/error", "/gone" };
    for (int row = 0; row < 9; ++row)
        ASSERT_TRUE(StartWorker(target.wnd.m_hWnd, m_server.Url(paths[row % 3]), row));
    ASSERT_TRUE(PumpUntil([&] { return Verdicts(log).size() >= 9; }));
    PumpFor(100ms);
    const auto verdicts = Verdicts(log);
    ASSERT_EQ(verdicts.size(), 9u);
    std::vector<int> seen(9, 0);
    for (const MSG& msg : verdicts) {
        ASSERT_GE(msg.lParam, 0);
        ASSERT_LT(msg.lParam, 9);
        ++seen[static_cast<std::size_t>(msg.lParam)];
        const WPARAM expected = static_cast<WPARAM>(msg.lParam % 3 == 0 ? PROBE_VALID
                : msg.lParam % 3 == 1                                   ? PROBE_INVALID
                                                                        : PROBE_TIMEOUT);
        EXPECT_EQ(msg.wParam, expected) << "row " << msg.lParam;
    }
    EXPECT_EQ(seen, std::vector<int>(9, 1));
}

TEST_F(WorkerThread, AVerdictForAClosedWindowGoesNowhere)
{
    HWND closed;
    {
        VerdictTarget first;
        closed = first.wnd.m_hWnd;
    }
    // A window made afterwards may take the closed one's table slot; the
    // stale handle must still not reach it.
    VerdictTarget second;
    ASSERT_FALSE(second.wnd.m_hWnd == closed);
    EXPECT_FALSE(PostMessageA(closed, UM_PROBE_OK, 0, 1));

    MessageLog log;
    auto* job = new UrlCheckJob {};
    job->hView = closed;
    job->strUrl = CString(m_server.Url("/ok").c_str());
    job->nRow = 3;
    CUrlCheckThread probe(UrlCheckThreadProc, job);
    // Run in this thread so we know the post has been tried when it returns.
    EXPECT_EQ(UrlCheckThreadProc(job), 0u);
    PumpFor(50ms);
    EXPECT_TRUE(Verdicts(log).empty());

    // And from a real worker: its verdict is lost, nothing else happens.
    ASSERT_TRUE(StartWorker(closed, m_server.Url("/ok"), 4));
    ASSERT_TRUE(StartWorker(second.wnd.m_hWnd, m_server.Url("/ok"), 5));
    ASSERT_TRUE(PumpUntil([&] { return !Verdicts(log).empty(); }));
    PumpFor(200ms);
    const auto verdicts = Verdicts(log);
    ASSERT_EQ(verdicts.size(), 1u);
    EXPECT_EQ(verdicts[0].lParam, 5);
}
