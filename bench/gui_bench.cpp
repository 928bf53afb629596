// The program as the user meets it, measured offscreen:
//  - start-up: from entering main to the main window shown;
//  - a check run over a large list against a server on 127.0.0.1 that
//    answers at once: the longest stall of the GUI thread (the longest gap
//    between two turns of its event loop) and the probe rate reached,
//    against the design bound of thread count x 2 probes a second (the
//    500 ms dispatch timer starts up to the thread count each tick). The
//    recovery copy is kept as in the program, so its copies of the whole
//    list, made as verdicts come in, count in the stalls.
//
//   gui_bench [rows] [seconds]      (defaults 100000 and 20)
//
// The rate counts the verdicts the view wrote, from the counts it keeps as
// rows change, so reading it costs nothing however long the list.
#include <QCoreApplication>
#include <QTimer>
#include <QWidget>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <httplib.h>
#include <sys/socket.h>
#include <thread>

#include "app/CMainFrame.h"
#include "app/CVelmoraApp.h"
#include "app/Globals.h"
#include "app/Messages.h"
#include "bench/BenchSupport.h"
#include "bench/GuiStallMeter.h"
#include "framework/doc/CDocTemplate.h"
#include "framework/window/Gui.h"
#include "framework/window/MessageQueue.h"
#include "urllist/CVelmoraDoc.h"
#include "urllist/CVelmoraView.h"
#include "urllist/RecoveryCopy.h"

namespace {

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

} // namespace

int main(int argc, char** argv)
{
    const auto entered = Clock::now();
    const long rows = CountArgument(argc, argv, 1, 100000, kMostRows);
    const long seconds = CountArgument(argc, argv, 2, 20, 24 * 3600);
    if (rows == 0 || seconds == 0) {
        std::fprintf(stderr,
            "usage: gui_bench [rows] [seconds]   (rows 1 to %d, default 100000; seconds 1 to "
            "86400, default 20)\n",
            kMostRows);
        return 2;
    }
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("no_proxy", "127.0.0.1", 1);
    if (!AfxStartGui(argc, argv))
        return 1;

    CVelmoraApp app;
    CCommandLineInfo info;
    if (!app.OpenMainWindow(info))
        return 1;
    app.m_pMainWnd->ShowWindow(SW_SHOWMAXIMIZED);
    app.m_pMainWnd->UpdateWindow();
    AfxPumpPendingMessages();
    std::printf("start-up, main() to the shown main window: %.3f s\n", SecondsSince(entered));

    // Debian's cpp-httplib listens with a backlog of 5 and 8 workers; ten
    // probes at once would see connections dropped and resent a second later.
    httplib::Server server;
    server.new_task_queue = [] { return new httplib::ThreadPool(32); };
    int listenFd = -1;
    server.set_socket_options([&listenFd](int sock) {
        httplib::default_socket_options(sock);
        listenFd = sock;
    });
    server.Get("/.*", [](const httplib::Request&, httplib::Response& res) {
        res.set_content("<html><title>page</title>ok</html>\n", "text/html");
    });
    const int port = server.bind_to_any_port("127.0.0.1");
    if (listenFd >= 0)
        ::listen(listenFd, 128);
    std::thread serverThread([&] { server.listen_after_bind(); });

    const std::string dir = MakeScratchDir("brisquel-gui-bench");
    if (dir.empty())
        return 1;
    const std::string input = dir + "/urls.txt";
    {
        std::ofstream out(input, std::ios::binary);
        for (long i = 0; i < rows; ++i)
            out << "http://127.0.0.1:" << port << "/page" << i << "\r\n";
    }
    auto* frame = dynamic_cast<CMainFrame*>(app.m_pMainWnd);
    auto* view = dynamic_cast<CVelmoraView*>(frame->GetActiveView());
    RecoveryCopy recovery;
    if (!KeepRecoveryCopyIn(dir, *view, recovery))
        return 1;
    g_strImportPath = CString(input);
    g_nThreadCount = 10;
    const auto importStart = Clock::now();
    view->ImportUrls();
    std::printf("import of %d rows: %.3f s\n", view->GetListCtrl().GetItemCount(), SecondsSince(importStart));
    AfxPumpPendingMessages();

    GuiStallMeter stalls;

    int copiesWritten = 0;
    AfxSetDispatchObserver(
        [&copiesWritten](const MSG& msg) { copiesWritten += msg.message == UM_RECOVERY_WRITTEN; });
    const long long verdictsBefore = view->GetCheckProgress().finalTextsWritten;
    PostMessageA(frame->m_hWnd, UM_CHECK_START, 0, 0);
    const auto runStart = Clock::now();
    stalls.Start();
    QTimer::singleShot(std::chrono::seconds(seconds), Qt::PreciseTimer, [] { QCoreApplication::exit(0); });
    (void)QCoreApplication::exec();
    stalls.Stop();
    const double elapsed = SecondsSince(runStart);
    const long long checked = view->GetCheckProgress().finalTextsWritten - verdictsBefore;
    const double rate = static_cast<double>(checked) / elapsed;
    const double bound = g_nThreadCount * 2.0;
    std::printf("check run: %lld of %ld rows checked in %.1f s at %d threads: %.2f probes/s, design bound "
                "%.0f/s (%.0f%%)\n",
        checked, rows, elapsed, static_cast<int>(g_nThreadCount), rate, bound, 100.0 * rate / bound);
    std::printf("longest GUI-thread stall during the run: %lld ms\n", stalls.LongestGapMs());
    std::printf("recovery copies of the list written during the run: %d\n", copiesWritten);

    server.stop();
    serverThread.join();
    std::filesystem::remove_all(dir);
    std::fflush(stdout);
    // Probes may still be running; the program does not wait for them either.
    std::_Exit(0);
}
