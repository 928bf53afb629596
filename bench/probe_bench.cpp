// Probe throughput and memory, against a server on 127.0.0.1.
//
// Runs 2,000 probe workers (the real CUrlCheckThread, started and reporting
// as the dispatcher starts them) with at most 10 at once and without the
// 500 ms pacing of the hub's timer, then fetches the same 2,000 URLs with
// `curl` through `xargs -P10` in the same run, so the figure that matters is
// the ratio. Then 1,000 more probes, with the resident set size read before
// and after.
//
//     probe_bench [probes=2000] [rss_probes=1000]
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <httplib.h>
#include <string>
#include <thread>

#include "app/Messages.h"
#include "bench/BenchSupport.h"
#include "check/CUrlCheckThread.h"
#include "framework/inet/InternetBounds.h"
#include "framework/window/CWnd.h"
#include "framework/window/Gui.h"
#include "framework/window/MessageQueue.h"

namespace {

constexpr int kConcurrency = 10;

struct Counts {
    long verdicts = 0;
    long valid = 0;
};

// Starts `total` workers, never more than kConcurrency without a verdict;
// returns the seconds taken, or a negative number on failure.
double RunProbes(HWND view, const std::string& base, int total, Counts& counts)
{
    const long before = counts.verdicts;
    long started = 0;
    const auto start = std::chrono::steady_clock::now();
    const auto limit = start + std::chrono::seconds(120);
    while (counts.verdicts - before < total) {
        while (started < total && started - (counts.verdicts - before) < kConcurrency) {
            auto* job = new UrlCheckJob {};
            job->hView = view;
            job->strUrl = CString((base + std::to_string(started)).c_str());
            job->nRow = static_cast<int>(started);
            auto* thread = new CUrlCheckThread(UrlCheckThreadProc, job);
            if (!thread->CreateThread(0, 0, nullptr)) {
                delete thread;
                delete job;
                std::fprintf(stderr, "cannot start a worker thread\n");
                return -1;
            }
            ++started;
        }
        AfxPumpPendingMessages();
        if (std::chrono::steady_clock::now() > limit) {
            std::fprintf(stderr, "probes did not finish in time\n");
            return -1;
        }
        std::this_thread::sleep_for(std::chrono::microseconds(100));
    }
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

} // namespace

int main(int argc, char** argv)
{
    const int probes = argc > 1 ? std::atoi(argv[1]) : 2000;
    const int rssProbes = argc > 2 ? std::atoi(argv[2]) : 1000;
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("no_proxy", "127.0.0.1,localhost", 1);
    setenv("NO_PROXY", "127.0.0.1,localhost", 1);
    if (!AfxStartGui(argc, argv))
        return 1;

    httplib::Server server;
    server.new_task_queue = [] { return new httplib::ThreadPool(2 * kConcurrency); };
    const std::string body = BenchPageBody();
    server.Get("/page/.*",
        [&body](const httplib::Request&, httplib::Response& res) { res.set_content(body, "text/html"); });
    const int port = server.bind_to_any_port("127.0.0.1");
    if (port <= 0)
        return 1;
    std::thread serving([&server] { server.listen_after_bind(); });
    while (!server.is_running())
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    const std::string base = "http://127.0.0.1:" + std::to_string(port) + "/page/";

    InternetBounds bounds;
    bounds.stallSeconds = 5;
    bounds.totalSeconds = 10;
    AfxSetInternetBounds(bounds);

    CWnd view;
    RECT rect;
    rect.right = 10;
    rect.bottom = 10;
    if (!view.Create(nullptr, "bench", WS_POPUP, rect, nullptr, 0))
        return 1;
    Counts counts;
    AfxSetDispatchObserver([&counts](const MSG& msg) {
        if (msg.message == UM_PROBE_OK || msg.message == UM_PROBE_FAILED) {
            ++counts.verdicts;
            if (msg.message == UM_PROBE_OK)
                ++counts.valid;
        }
    });

    const double probeSeconds = RunProbes(view.m_hWnd, base, probes, counts);
    if (probeSeconds < 0)
        return 1;
    const long validAfterRun = counts.valid;

    // The same URLs with curl, ten at a time.
    const std::string urlFile = "/tmp/probe_bench_urls." + std::to_string(getpid());
    {
        std::ofstream urls(urlFile);
        for (int i = 0; i < probes; ++i)
            urls << base << i << '\n';
    }
    const std::string command
        = "xargs -a " + urlFile + " -P" + std::to_string(kConcurrency) + " -n1 curl -s -f -o /dev/null";
    const auto curlStart = std::chrono::steady_clock::now();
    const int curlStatus = std::system(command.c_str());
    const double curlSeconds
        = std::chrono::duration<double>(std::chrono::steady_clock::now() - curlStart).count();
    std::remove(urlFile.c_str());

    // Memory: settle, measure, probe, let the workers end, measure again.
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const long rssBefore = ResidentKiB();
    const double rssRunSeconds = RunProbes(view.m_hWnd, base, rssProbes, counts);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    AfxPumpPendingMessages();
    const long rssAfter = ResidentKiB();

    AfxSetDispatchObserver({});
    view.DestroyWindow();
    server.stop();
    serving.join();

    std::printf("probes:            %d at most %d at once, %.2f s, %.0f probes/s, %ld valid\n", probes,
        kConcurrency, probeSeconds, probes / probeSeconds, validAfterRun);
    std::printf("curl (xargs -P%d): %d fetches, %.2f s, %.0f fetches/s, exit status %d\n", kConcurrency,
        probes, curlSeconds, probes / curlSeconds, curlStatus);
    std::printf("ratio:             probes/s / curl fetches/s = %.2f\n", curlSeconds / probeSeconds);
    std::printf("rss:               %ld KiB before, %ld KiB after %d probes (%+ld KiB), run %.2f s\n",
        rssBefore, rssAfter, rssProbes, rssAfter - rssBefore, rssRunSeconds);
    const bool ok = validAfterRun == probes && counts.verdicts == probes + rssProbes && curlStatus == 0;
    if (!ok)
        std::printf("FAILED: not every probe found its page, or curl failed\n");
    return ok ? 0 : 1;
}
