// The batch mode against a loopback server: rate, concurrency, start-up and
// memory, with `curl` through `xargs -P64` over the same list in the same
// run for the ratio.
//
//     batch_bench [urls=10000] [memory_rows=1000000]
//
// 1. `brisquel --check` of `urls` addresses with --jobs 64: addresses a
//    second, the most connections the server saw open at once, and how long
//    after the program's start the first request came;
// 2. the same list fetched by curl, 64 at a time;
// 3. `memory_rows` addresses checked with --jobs 64, and the program's peak
//    resident memory.
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "bench/BenchSupport.h"
#include "bench/PageServer.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kJobs = 64;

struct ProgramRun {
    int status = -1; // the exit status; -1 when it did not exit by itself
    double seconds = 0;
    Clock::time_point started;
    long peakRssKiB = 0;
};

// Runs the batch mode with no display, its progress going to `log`.
ProgramRun RunBatch(const std::vector<std::string>& arguments, const std::string& log)
{
    std::vector<std::string> args { BRISQUEL_PROGRAM };
    args.insert(args.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    ProgramRun run;
    run.started = Clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        unsetenv("DISPLAY");
        unsetenv("WAYLAND_DISPLAY");
        unsetenv("QT_QPA_PLATFORM");
        const int fd = open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(fd, STDERR_FILENO);
        execv(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    rusage usage {};
    wait4(pid, &status, 0, &usage);
    run.seconds = std::chrono::duration<double>(Clock::now() - run.started).count();
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.peakRssKiB = usage.ru_maxrss;
    return run;
}

double MillisecondsAfter(Clock::duration sinceEpoch, Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(sinceEpoch - start.time_since_epoch()).count();
}

void WriteUrls(const std::string& path, const std::string& base, long count)
{
    std::ofstream urls(path);
    for (long i = 0; i < count; ++i)
        urls << base << i << '\n';
}

long CountLines(const std::string& path)
{
    std::ifstream file(path);
    long lines = 0;
    for (std::string line; std::getline(file, line);)
        ++lines;
    return lines;
}

std::string LastLine(const std::string& path)
{
    std::ifstream file(path);
    std::string last;
    for (std::string line; std::getline(file, line);)
        last = line;
    return last;
}

} // namespace

int main(int argc, char** argv)
{
    const long urls = CountArgument(argc, argv, 1, 10000, kMostRows);
    const long memoryRows = CountArgument(argc, argv, 2, 1000000, kMostRows);
    const std::string dir = MakeScratchDir("batch-bench");
    if (urls == 0 || memoryRows == 0 || dir.empty()) {
        std::fprintf(stderr, "usage: batch_bench [urls] [memory_rows]\n");
        return 2;
    }
    PageServer server(BenchPageBody());
    if (!server.Start())
        return 1;
    const std::string base = "http://127.0.0.1:" + std::to_string(server.Port()) + "/page/";
    const std::string list = dir + "/urls.txt";
    const std::string report = dir + "/report.csv";
    const std::string log = dir + "/progress.log";
    WriteUrls(list, base, urls);

    server.Reset();
    const ProgramRun batch
        = RunBatch({ "--check", list, "--jobs", std::to_string(kJobs), "--report", report }, log);
    const long answered = server.Answered();
    const double firstMs = MillisecondsAfter(server.FirstRequestAt(), batch.started);
    const bool reportWhole = CountLines(report) == urls + 1;
    std::printf("batch mode:        %ld addresses, --jobs %d, %.2f s, %.0f addresses/s, exit status %d\n",
        urls, kJobs, batch.seconds, urls / batch.seconds, batch.status);
    std::printf("                   %d connections open at most at once; first request %.1f ms after start\n",
        server.MostOpen(), firstMs);
    std::printf("                   its summary: %s\n", LastLine(log).c_str());

    server.Reset();
    const std::string command
        = "xargs -a " + list + " -P" + std::to_string(kJobs) + " -n1 curl -s -f -o /dev/null";
    const auto curlStart = Clock::now();
    const int curlStatus = std::system(command.c_str());
    const double curlSeconds = std::chrono::duration<double>(Clock::now() - curlStart).count();
    std::printf("curl (xargs -P%d): %ld fetches, %.2f s, %.0f fetches/s, %d connections open at most, exit "
                "status %d\n",
        kJobs, urls, curlSeconds, urls / curlSeconds, server.MostOpen(), curlStatus);
    std::printf(
        "ratio:             batch addresses/s / curl fetches/s = %.2f\n", curlSeconds / batch.seconds);

    WriteUrls(list, base, memoryRows);
    server.Reset();
    const ProgramRun memory
        = RunBatch({ "--check", list, "--jobs", std::to_string(kJobs), "--report", report }, log);
    std::printf("memory:            %ld addresses, %.1f s, %.0f addresses/s, peak resident %ld KiB (%.1f "
                "MiB), exit status %d\n",
        memoryRows, memory.seconds, memoryRows / memory.seconds, memory.peakRssKiB,
        memory.peakRssKiB / 1024.0, memory.status);
    std::printf("                   first request %.1f ms after start\n",
        MillisecondsAfter(server.FirstRequestAt(), memory.started));
    std::printf("                   its summary: %s\n", LastLine(log).c_str());

    const bool ok = batch.status == 0 && answered == urls && reportWhole && curlStatus == 0
        && memory.status == 0 && CountLines(report) == memoryRows + 1;
    if (!ok)
        std::printf("FAILED: not every address was checked and found, or curl failed\n");
    std::remove(list.c_str());
    std::remove(report.c_str());
    std::remove(log.c_str());
    rmdir(dir.c_str());
    return ok ? 0 : 1;
}
