// What a batch run tells on standard error while it runs: on a terminal a
// live line, redrawn in place, with done / total, rate, time left and the
// verdicts so far; otherwise (a log, a pipe) a plain line every 10 seconds.
// At the end one summary line.
#pragma once

#include <array>
#include <chrono>
#include <string>

#include "batch/BatchProbes.h"

class BatchProgress {
public:
    explicit BatchProgress(bool terminal);

    // How long to wait between two calls of Show.
    std::chrono::milliseconds Interval() const;
    void Show(const BatchProbes::Progress& progress, double seconds);
    // A line of its own (a warning), after the live line is cleared.
    void Say(const std::string& text);
    // The summary: rows, each verdict's count and the time taken.
    void Finish(int rows, const std::array<int, kRowVerdicts>& verdicts, double seconds);

private:
    void ClearLiveLine();
    // "12 超时!"
    std::string Counted(const std::array<int, kRowVerdicts>& verdicts, RowVerdict verdict) const;

    const bool m_terminal;
    bool m_liveLineShown = false;
    std::array<std::string, kRowVerdicts> m_names; // the validity texts in UTF-8
};

// "4.9 s" under a minute, "12:05" or "1:02:03" beyond.
std::string FormatDuration(double seconds);
