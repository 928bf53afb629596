// Servers and addresses that misbehave, each probed by a real worker thread:
// every row must end in exactly one verdict, whatever the fault, and the
// verdict must say whether usable page text arrived.
//
// A transfer that breaks (reset, close, bad chunk, TLS failure, too many
// redirects), that the stall or total time limit ends, or that never gets a
// 200 is "no usable answer", even when some body bytes came: a page cut off
// gets the same verdict whether its server closed or went silent. Only the
// body size limit keeps what was read, since a page that big has answered.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <map>
#include <string>
#include <vector>

#include "app/Messages.h"
#include "check/CUrlCheckThread.h"
#include "check/ProbeReason.h"
#include "framework/inet/InternetBounds.h"
#include "framework/window/CWnd.h"
#include "tests/check/CheckTestSupport.h"
#include "tests/check/FaultScript.h"
#include "tests/support/LocalHttpServer.h"
#include "tests/support/LocalTcpServer.h"
#include "tests/support/TestDeadline.h"

using namespace std::chrono_literals;
using checktest::MessageLog;
using checktest::PumpFor;
using checktest::PumpUntil;
using checktest::StartWorker;
using checktest::VerdictTarget;

namespace {

// Stall and total limits of 1 and 2 s keep the whole file to a few seconds;
// the body limit stays above the 10 MB line so that line is read whole.
class FaultBounds {
public:
    FaultBounds()
        : m_saved(AfxGetInternetBounds())
    {
        InternetBounds b;
        b.stallSeconds = 1;
        b.totalSeconds = 2;
        b.maxRedirects = 5;
        b.maxBodyBytes = 16u << 20;
        AfxSetInternetBounds(b);
    }
    ~FaultBounds() { AfxSetInternetBounds(m_saved); }

private:
    InternetBounds m_saved;
};

struct Case {
    std::string name;
    std::string url;
    WPARAM expected;
};

} // namespace

TEST(ProbeFaults, EveryFaultEndsInExactlyOneVerdict)
{
    // Also covers the servers' shutdown, which waits for their scripts.
    TestDeadline deadline(20s, "fault probes");
    FaultBounds bounds;
    LocalTcpServer scripted(AnswerWithFault);
    ASSERT_TRUE(scripted.Start());
    // Whatever arrives, a TLS client gets plain HTTP back.
    LocalTcpServer plain([](LocalTcpServer::Connection& c) {
        c.Send("HTTP/1.1 200 OK\r\nContent-Length: 3\r\n\r\nhi\n");
        c.HoldOpen(3s);
    });
    ASSERT_TRUE(plain.Start());
    LocalHttpServer http;
    http.Get("/loop", [](const httplib::Request&, httplib::Response& res) { res.set_redirect("/loop"); });
    ASSERT_TRUE(http.Start());
    const int closed = ClosedLoopbackPort();
    ASSERT_GT(closed, 0);

    const std::string base = "http://127.0.0.1:" + std::to_string(scripted.Port());
    const std::vector<Case> cases = {
        { "refused", "http://127.0.0.1:" + std::to_string(closed) + "/", PROBE_TIMEOUT },
        { "reset mid-body", base + "/reset-mid-body", PROBE_TIMEOUT },
        { "stall before headers", base + "/stall-before-headers", PROBE_TIMEOUT },
        { "stall mid-body", base + "/stall-mid-body", PROBE_TIMEOUT },
        { "close mid-body", base + "/close-mid-body", PROBE_TIMEOUT },
        { "drip", base + "/drip", PROBE_TIMEOUT },
        // Cut at the size limit, well within the time limits.
        { "endless body", base + "/endless", PROBE_VALID },
        { "redirect loop", http.Url("/loop"), PROBE_TIMEOUT },
        { "10 MB line", base + "/long-line", PROBE_VALID },
        { "NUL lines", base + "/nul-lines", PROBE_TIMEOUT },
        // The marker after a NUL is not seen; the text before it is a page.
        { "NUL hides marker", base + "/nul-hides-marker", PROBE_VALID },
        { "broken chunk", base + "/bad-chunk", PROBE_TIMEOUT },
        { "TLS to plain", "https://127.0.0.1:" + std::to_string(plain.Port()) + "/", PROBE_TIMEOUT },
        { "empty host", "http://:80/x", PROBE_TIMEOUT },
        // Goes out in its ASCII form, xn--fiq228c.localhost, which is loopback.
        { "code page 936 host",
            "http://\xD6\xD0\xCE\xC4.localhost:" + std::to_string(scripted.Port()) + "/nul-hides-marker",
            PROBE_VALID },
        { "port 70000", "http://127.0.0.1:70000/", PROBE_TIMEOUT },
        // Taken modulo 65536 this port would be the scripted server's.
        { "port wraps to a live one",
            "http://127.0.0.1:" + std::to_string(scripted.Port() + 65536) + "/wrapped-port", PROBE_TIMEOUT },
    };

    VerdictTarget target;
    MessageLog log;
    const auto started = std::chrono::steady_clock::now();
    for (std::size_t row = 0; row < cases.size(); ++row)
        ASSERT_TRUE(StartWorker(target.wnd.m_hWnd, cases[row].url, static_cast<int>(row))) << cases[row].name;

    auto verdictCount = [&] { return log.Of(UM_PROBE_OK).size() + log.Of(UM_PROBE_FAILED).size(); };
    const bool allIn = PumpUntil([&] { return verdictCount() >= cases.size(); }, 8s);
    const auto elapsed = std::chrono::steady_clock::now() - started;
    PumpFor(300ms); // a second verdict for some row would show up by now

    std::map<int, std::vector<MSG>> byRow;
    for (UINT message : { UM_PROBE_OK, UM_PROBE_FAILED })
        for (const MSG& msg : log.Of(message))
            byRow[static_cast<int>(msg.lParam)].push_back(msg);
    for (std::size_t row = 0; row < cases.size(); ++row) {
        SCOPED_TRACE(cases[row].name);
        const auto& verdicts = byRow[static_cast<int>(row)];
        ASSERT_EQ(verdicts.size(), 1u);
        EXPECT_TRUE(verdicts[0].hwnd == target.wnd.m_hWnd);
        EXPECT_EQ(verdicts[0].wParam, cases[row].expected);
        EXPECT_EQ(verdicts[0].message, cases[row].expected == PROBE_VALID ? UM_PROBE_OK : UM_PROBE_FAILED);
    }
    EXPECT_EQ(byRow.size(), cases.size()) << "a verdict for a row nobody asked about";
    EXPECT_TRUE(allIn);
    // All ran at once: the slowest is bounded by the 2 s total limit, not the
    // sum of them.
    EXPECT_LT(elapsed, 6s);

    // Neither the odd host nor the out-of-range port may reach the server.
    EXPECT_EQ(WrappedPortHits(), 0);
}
