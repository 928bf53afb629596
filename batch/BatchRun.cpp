#include "batch/BatchRun.h"

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <pthread.h>
#include <thread>
#include <unistd.h>

#include "batch/BatchInput.h"
#include "batch/BatchList.h"
#include "batch/BatchOptions.h"
#include "batch/BatchProbes.h"
#include "batch/BatchProgress.h"
#include "batch/BatchReport.h"

namespace {

constexpr int kExitAllValid = 0;
constexpr int kExitSomeNotValid = 1;
constexpr int kExitTrouble = 2;
constexpr int kExitInterrupted = 130;

// How long an interrupt waits for the probes under way; a second interrupt
// ends the wait at once.
constexpr auto kInterruptGrace = std::chrono::seconds(3);

using Clock = BatchProbes::Clock;

double SecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Ctrl+C and SIGTERM become interrupts of the run, taken by a thread of
// their own; every other thread, those that libcurl starts included, has them
// blocked. Called before any thread starts.
void InterruptOnStopSignals(BatchProbes& probes)
{
    sigset_t stops;
    sigemptyset(&stops);
    sigaddset(&stops, SIGINT);
    sigaddset(&stops, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stops, nullptr);
    std::thread([stops, &probes] {
        for (;;) {
            int signal = 0;
            if (sigwait(&stops, &signal) == 0)
                probes.Interrupt();
        }
    }).detach();
}

int Fail(const std::string& text)
{
    std::fprintf(stderr, "brisquel: %s\n", text.c_str());
    return kExitTrouble;
}

} // namespace

int RunBatchMode(int argc, char** argv)
{
    BatchOptions options;
    std::string problem;
    if (!ParseBatchOptions(argc, argv, options, problem))
        return Fail(problem + "\nTry 'brisquel --help'.");
    if (options.help) {
        std::fputs(BatchUsage(), stdout);
        return kExitAllValid;
    }
    const auto start = Clock::now();
    // Both live until the process ends: the signal thread and probes that
    // outlast an interrupt still use them.
    auto* list = new BatchList;
    auto* probes = new BatchProbes(*list, options.jobs);
    InterruptOnStopSignals(*probes);

    // The report's place first: a long run must not end with nowhere to go.
    BatchReport report;
    if (!report.Open(options.report, problem))
        return Fail("cannot write the report '" + options.report + "': " + problem);
    std::error_code unknownSize;
    const auto fileBytes = std::filesystem::file_size(options.file, unknownSize);
    if (!unknownSize)
        list->Reserve(fileBytes);

    // The probes begin with the first rows read.
    BatchProgress progress(isatty(STDERR_FILENO) != 0);
    const bool probing = probes->Start();
    if (!probing)
        progress.Say("cannot start a thread to check with");
    const auto probingSince = Clock::now();
    if (!ReadBatchList(options.file, options.ignore, *probes, problem))
        return Fail("cannot read '" + options.file + "': " + problem);
    probes->EndOfRows();
    while (probing && !probes->Wait(Clock::now() + progress.Interval())) {
        if (probes->Interrupted()) {
            progress.Say("interrupted: waiting at most "
                + std::to_string(std::chrono::seconds(kInterruptGrace).count())
                + " s for the checks under way");
            probes->Wait(Clock::now() + kInterruptGrace);
            break;
        }
        progress.Show(probes->Snapshot(), SecondsSince(probingSince));
    }

    const bool interruptCame = probes->Interrupted();
    const auto held = probes->HoldList();
    std::array<int, kRowVerdicts> verdicts {};
    for (int row = 0; row < list->Count(); ++row)
        ++verdicts[static_cast<std::size_t>(list->Verdict(row))];
    // An interrupt that came as the last probe ended left nothing undone.
    const bool interrupted = interruptCame && verdicts[0] > 0;
    const bool written = report.Write(*list, problem);
    progress.Finish(list->Count(), verdicts, SecondsSince(start));
    if (!written)
        return Fail("cannot write the report '" + options.report + "': " + problem);
    if (interrupted)
        return kExitInterrupted;
    const int notValid = list->Count() - verdicts[static_cast<std::size_t>(RowVerdict::Valid)]
        - verdicts[static_cast<std::size_t>(RowVerdict::Ignored)];
    return notValid == 0 ? kExitAllValid : kExitSomeNotValid;
}
