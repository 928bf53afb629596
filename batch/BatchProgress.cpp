#include "batch/BatchProgress.h"

#include <cmath>
#include <cstdio>

std::string FormatDuration(double seconds)
{
    char text[32];
    if (seconds < 60) {
        std::snprintf(text, sizeof text, "%.1f s", seconds);
        return text;
    }
    const long whole = std::lround(seconds);
    if (whole < 3600)
        std::snprintf(text, sizeof text, "%ld:%02ld", whole / 60, whole % 60);
    else
        std::snprintf(text, sizeof text, "%ld:%02ld:%02ld", whole / 3600, whole / 60 % 60, whole % 60);
    return text;
}

BatchProgress::BatchProgress(bool terminal)
    : m_terminal(terminal)
{
    for (int i = 0; i < kRowVerdicts; ++i)
        m_names[static_cast<std::size_t>(i)] = ValidityText(static_cast<RowVerdict>(i)).ToUtf8();
    m_names[static_cast<std::size_t>(RowVerdict::Unchecked)] = "unchecked";
}

std::chrono::milliseconds BatchProgress::Interval() const
{
    return m_terminal ? std::chrono::milliseconds(250) : std::chrono::seconds(10);
}

void BatchProgress::Show(const BatchProbes::Progress& progress, double seconds)
{
    const double rate = seconds > 0 ? progress.done / seconds : 0;
    const std::string left = rate > 0 ? FormatDuration((progress.toCheck - progress.done) / rate) : "?";
    char figures[96];
    std::snprintf(figures, sizeof figures, "%d/%d checked, %.0f/s, %s left", progress.done, progress.toCheck,
        rate, left.c_str());
    std::string line = figures;
    for (const RowVerdict verdict : { RowVerdict::Valid, RowVerdict::Invalid, RowVerdict::TimedOut })
        line += ", " + Counted(progress.verdicts, verdict);
    if (m_terminal) {
        // Back to the line's start, and everything after the new text erased.
        std::fprintf(stderr, "\r%s\x1b[K", line.c_str());
        m_liveLineShown = true;
    } else {
        std::fprintf(stderr, "brisquel: %s\n", line.c_str());
    }
    std::fflush(stderr);
}

void BatchProgress::ClearLiveLine()
{
    if (m_liveLineShown)
        std::fputs("\r\x1b[K", stderr);
    m_liveLineShown = false;
}

void BatchProgress::Say(const std::string& text)
{
    ClearLiveLine();
    std::fprintf(stderr, "brisquel: %s\n", text.c_str());
    std::fflush(stderr);
}

void BatchProgress::Finish(int rows, const std::array<int, kRowVerdicts>& verdicts, double seconds)
{
    std::string line = std::to_string(rows) + " rows";
    // Unchecked rows are only named when some are left (an interrupted run).
    for (int i = 1; i <= kRowVerdicts; ++i) {
        const auto verdict = static_cast<RowVerdict>(i % kRowVerdicts);
        if (verdict != RowVerdict::Unchecked || verdicts[0] > 0)
            line += ", " + Counted(verdicts, verdict);
    }
    Say(line + ", in " + FormatDuration(seconds));
}

std::string BatchProgress::Counted(const std::array<int, kRowVerdicts>& verdicts, RowVerdict verdict) const
{
    const auto index = static_cast<std::size_t>(verdict);
    return std::to_string(verdicts[index]) + ' ' + m_names[index];
}
