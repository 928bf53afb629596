#include "app/RunProgress.h"

#include <cmath>

namespace {

constexpr auto kRateWindow = std::chrono::seconds(10);

CString Figures(const CheckProgress& figures, double rowsPerSecond)
{
    // Tenths by hand: the C library would write the desktop locale's
    // decimal separator.
    const long long tenths = std::llround(rowsPerSecond * 10);
    CString text;
    text.Format(CString::FromUtf8("已检查 %d/%d · %lld.%lld 个/秒"), figures.checked, figures.rows,
        tenths / 10, tenths % 10);
    return text;
}

CString TimeLeft(int unchecked, double rowsPerSecond)
{
    long long seconds = 0;
    if (unchecked > 0) {
        if (rowsPerSecond <= 0)
            return CString::FromUtf8("未知");
        seconds = static_cast<long long>(std::ceil(unchecked / rowsPerSecond));
    }
    CString text;
    text.Format("%lld:%02lld:%02lld", seconds / 3600, seconds / 60 % 60, seconds % 60);
    return text;
}

} // namespace

void RunProgress::Start(Clock::time_point now, const CheckProgress& figures)
{
    m_samples.assign(1, Sample { now, figures.finalTextsWritten });
    m_rowsPerSecond = 0;
    m_started = true;
}

CString RunProgress::Tick(Clock::time_point now, const CheckProgress& figures)
{
    m_samples.push_back(Sample { now, figures.finalTextsWritten });
    // The oldest sample kept is the newest one at least ten seconds old, so
    // the window spans ten seconds once the run is that long.
    while (m_samples.size() > 1 && m_samples[1].time <= now - kRateWindow)
        m_samples.pop_front();
    const Sample& oldest = m_samples.front();
    const double seconds = std::chrono::duration<double>(now - oldest.time).count();
    m_rowsPerSecond = seconds > 0 ? (figures.finalTextsWritten - oldest.finalTexts) / seconds : 0;
    return Figures(figures, m_rowsPerSecond) + CString::FromUtf8(" · 剩余 ")
        + TimeLeft(figures.unchecked, m_rowsPerSecond);
}

CString RunProgress::AfterRun(const CheckProgress& figures) const
{
    return Figures(figures, m_rowsPerSecond);
}

CString RunProgress::WidestText()
{
    return CString::FromUtf8("已检查 8888888/8888888 · 888.8 个/秒 · 剩余 8888:88:88");
}
