// The status bar's progress pane: how many rows of the list are checked, the
// rate of the last ten seconds and the time left. The hub samples the list
// view's figures on the ticks of its check timer and nowhere else.
#pragma once

#include <chrono>
#include <deque>

#include "framework/base/CString.h"
#include "urllist/CheckProgress.h"

class RunProgress {
public:
    using Clock = std::chrono::steady_clock;

    // A run starts: the rate is measured afresh from this sample on.
    void Start(Clock::time_point now, const CheckProgress& figures);
    bool Started() const { return m_started; }
    // A tick of the run: takes a sample and returns the text with the time
    // left.
    CString Tick(Clock::time_point now, const CheckProgress& figures);
    // After a run: the figures with the last rate measured, no time left.
    CString AfterRun(const CheckProgress& figures) const;
    // The widest text the pane should show whole.
    static CString WidestText();

private:
    struct Sample {
        Clock::time_point time;
        long long finalTexts;
    };
    // The rate counts rows that got a final text, not the change of the
    // checked rows: rows checked again or removed lower that, and would
    // make the rate negative.
    std::deque<Sample> m_samples;
    double m_rowsPerSecond = 0;
    bool m_started = false;
};
