// The batch mode as the user runs it: the program itself, started with no
// display at all, against loopback servers.
#include <gtest/gtest.h>

#include <atomic>
#include <csignal>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "tests/check/FaultScript.h"
#include "tests/framework/IoTestFiles.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/LocalTcpServer.h"

using namespace std::chrono_literals;

namespace {

// Neither a display nor a platform for the toolkit: a window, or merely
// starting the toolkit's GUI, would fail.
const std::vector<std::string> kNoDisplay = { "DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM" };

ProgramResult RunBatch(
    const std::vector<std::string>& arguments, const std::function<void(pid_t)>& whileRunning = {})
{
    return RunProgram(BRISQUEL_PROGRAM, arguments, kNoDisplay, 60s, whileRunning);
}

// The report with each probe's time, which no run can fix, as "ms".
std::string WithoutTimes(const std::string& report)
{
    std::string out;
    std::size_t begin = 0;
    for (std::size_t end; (end = report.find("\r\n", begin)) != std::string::npos; begin = end + 2) {
        const std::string_view line(report.data() + begin, end - begin);
        const std::size_t digits = line.find_last_not_of("0123456789") + 1;
        const bool timed = digits < line.size() && line[digits - 1] == ',';
        out.append(timed ? line.substr(0, digits) : line).append(timed ? "ms\r\n" : "\r\n");
    }
    return out + report.substr(begin);
}

std::string LastLine(const std::string& text)
{
    const auto end = text.find_last_not_of('\n');
    const auto begin = text.rfind('\n', end);
    return text.substr(
        begin == std::string::npos ? 0 : begin + 1, end - (begin == std::string::npos ? 0 : begin + 1) + 1);
}

const std::string kHead = "\xEF\xBB\xBF序号,网址,有效性,HTTP状态,最终网址,说明,耗时(毫秒)\r\n";

} // namespace

TEST(BatchMode, ChecksAFileWithNoDisplayAsTheWindowDoesAndExitsByTheVerdicts)
{
    LocalTcpServer faults(AnswerWithFault);
    ASSERT_TRUE(faults.Start());
    const int closed = ClosedLoopbackPort();
    ASSERT_GT(closed, 0);
    const std::string base = faults.Url("");
    const std::string refused = "http://127.0.0.1:" + std::to_string(closed) + "/";
    ScratchFolder folder;
    // UTF-8, read as the import reads it: the path's characters reach the
    // report as they were.
    WriteBytes(folder / "urls.txt",
        base + "/page\n" + base + "/domain-error\r\n" + base + "/网页\n" + refused + "\n  not a url \n" + base
            + "/page?skip=1\n" + base + "/nul-lines");

    const ProgramResult run
        = RunBatch({ "--check", folder / "urls.txt", "--report", "-", "--jobs", "3", "--ignore", "skip" });
    EXPECT_EQ(run.exitCode, 1) << run.err;
    EXPECT_EQ(WithoutTimes(run.out),
        kHead + "1," + base + "/page,OK,200,,页面正常,ms\r\n" + "2," + base
            + "/domain-error,无效!,200,,域名纠错页面,ms\r\n" + "3," + base
            + "/网页,超时!,404,,HTTP 404 Not Found,ms\r\n" + "4," + refused + ",超时!,,,连接被拒绝,ms\r\n"
            + "5,not a url,格式不正确！,,,,\r\n" + "6," + base + "/page?skip=1,用户忽略！,,,,\r\n" + "7,"
            + base + "/nul-lines,超时!,200,,页面为空,ms\r\n");
    EXPECT_EQ(LastLine(run.err).rfind(
                  "brisquel: 7 rows, 1 OK, 1 无效!, 3 超时!, 1 格式不正确！, 1 用户忽略！, in ", 0),
        0u)
        << run.err;

    // Every row OK, from the report written to a file.
    WriteBytes(folder / "ok.txt", base + "/page\n" + base + "/nul-hides-marker\n");
    const ProgramResult allOk = RunBatch({ "--check", folder / "ok.txt", "--report", folder / "ok.csv" });
    EXPECT_EQ(allOk.exitCode, 0) << allOk.err;
    EXPECT_EQ(WithoutTimes(ReadBytes(folder / "ok.csv")),
        kHead + "1," + base + "/page,OK,200,,页面正常,ms\r\n" + "2," + base
            + "/nul-hides-marker,OK,200,,页面正常,ms\r\n");
    EXPECT_TRUE(allOk.out.empty());

    // Usage, an unreadable file and an unwritable report: 2, with the
    // culprit named and nothing written.
    const struct {
        std::vector<std::string> arguments;
        std::string named;
    } troubles[] = {
        { { "--check", folder / "ok.txt", "--jobs", "257" }, "--jobs" },
        { { "--report", folder / "r.csv" }, "--check" },
        { { "--check", folder / "missing.txt" }, folder / "missing.txt" },
        { { "--check", folder / "ok.txt", "--report", folder / "no/such/folder.csv" },
            folder / "no/such/folder.csv" },
    };
    for (const auto& trouble : troubles) {
        const ProgramResult bad = RunBatch(trouble.arguments);
        EXPECT_EQ(bad.exitCode, 2) << trouble.named;
        EXPECT_NE(bad.err.find(trouble.named), std::string::npos) << bad.err;
        EXPECT_TRUE(bad.out.empty()) << bad.out;
    }
    const ProgramResult help = RunBatch({ "--help" });
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_EQ(help.out.rfind("Usage: brisquel", 0), 0u) << help.out;
}

TEST(BatchMode, InterruptWritesWhatIsKnownAndALaterRunGoesOnFromIt)
{
    // Requests for /hold/... wait while `holding` is set; everything gets a page.
    std::atomic<bool> holding { true };
    std::mutex mutex;
    std::vector<std::string> requested;
    LocalTcpServer server([&](LocalTcpServer::Connection& c) {
        const std::string head = c.ReadRequestHead();
        const std::string path = head.substr(4, head.find(' ', 4) - 4);
        {
            std::lock_guard lock(mutex);
            requested.push_back(path);
        }
        const auto until = std::chrono::steady_clock::now() + 30s;
        while (path.starts_with("/hold") && holding && std::chrono::steady_clock::now() < until)
            c.HoldOpen(20ms);
        c.Send("HTTP/1.1 200 OK\r\nContent-Length: 7\r\n\r\n<html>\n");
    });
    ASSERT_TRUE(server.Start());
    auto seen = [&] {
        std::lock_guard lock(mutex);
        return std::multiset<std::string>(requested.begin(), requested.end());
    };
    const std::string base = server.Url("");
    ScratchFolder folder;
    WriteBytes(folder / "urls.txt",
        base + "/a\n" + base + "/b\n" + base + "/hold/1\n" + base + "/hold/2\n" + base + "/c\n" + base
            + "/d\n");

    // Two at a time: the held pair takes both, and Ctrl+C comes while they wait.
    bool interrupted = false;
    const ProgramResult stopped
        = RunBatch({ "--check", folder / "urls.txt", "--report", folder / "partial.csv", "--jobs", "2" },
            [&](pid_t pid) {
                if (!interrupted && seen().count("/hold/1") + seen().count("/hold/2") == 2)
                    interrupted = kill(pid, SIGINT) == 0;
            });
    EXPECT_TRUE(interrupted);
    EXPECT_EQ(stopped.exitCode, 130) << stopped.err;
    const std::string partial = ReadBytes(folder / "partial.csv");
    EXPECT_EQ(WithoutTimes(partial),
        kHead + "1," + base + "/a,OK,200,,页面正常,ms\r\n" + "2," + base + "/b,OK,200,,页面正常,ms\r\n" + "3,"
            + base + "/hold/1,,,,,\r\n" + "4," + base + "/hold/2,,,,,\r\n" + "5," + base + "/c,,,,,\r\n"
            + "6," + base + "/d,,,,,\r\n");
    EXPECT_NE(LastLine(stopped.err)
                  .find("6 rows, 2 OK, 0 无效!, 0 超时!, 0 格式不正确！, 0 用户忽略！, 4 unchecked"),
        std::string::npos)
        << stopped.err;

    // Going on from the report, in place: only the unchecked rows are
    // fetched, and the verdicts already there stay as they were.
    holding = false;
    {
        std::lock_guard lock(mutex);
        requested.clear();
    }
    const ProgramResult resumed
        = RunBatch({ "--check", folder / "partial.csv", "--report", folder / "partial.csv" });
    EXPECT_EQ(resumed.exitCode, 0) << resumed.err;
    EXPECT_EQ(seen(), (std::multiset<std::string> { "/hold/1", "/hold/2", "/c", "/d" }));
    const std::string final = ReadBytes(folder / "partial.csv");
    const std::size_t keptRows = partial.find("3,");
    EXPECT_EQ(final.substr(0, keptRows), partial.substr(0, keptRows));
    EXPECT_EQ(WithoutTimes(final.substr(keptRows)),
        "3," + base + "/hold/1,OK,200,,页面正常,ms\r\n" + "4," + base + "/hold/2,OK,200,,页面正常,ms\r\n"
            + "5," + base + "/c,OK,200,,页面正常,ms\r\n" + "6," + base + "/d,OK,200,,页面正常,ms\r\n");
}
