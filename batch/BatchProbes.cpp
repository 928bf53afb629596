#include "batch/BatchProbes.h"

#include <algorithm>
#include <system_error>
#include <thread>

#include "check/CUrlCheckThread.h"
#include "check/ProbeReason.h"

namespace {

RowVerdict VerdictOfProbe(int code)
{
    switch (code) {
    case PROBE_VALID:
        return RowVerdict::Valid;
    case PROBE_INVALID:
        return RowVerdict::Invalid;
    case PROBE_TIMEOUT:
        return RowVerdict::TimedOut;
    default:
        return RowVerdict::Unchecked; // no session: nothing was tried
    }
}

} // namespace

BatchProbes::BatchProbes(BatchList& list, int jobs)
    : m_list(list)
    , m_jobs(jobs)
{
}

bool BatchProbes::Start()
{
    {
        std::lock_guard lock(m_mutex);
        for (int row = 0; row < m_list.Count(); ++row)
            m_progress.toCheck += m_list.Verdict(row) == RowVerdict::Unchecked ? 1 : 0;
    }
    // More threads than rows would only wait for nothing.
    const int wanted = std::min(m_jobs, m_progress.toCheck);
    int started = 0;
    for (; started < wanted; ++started) {
        try {
            std::thread([this] { Work(); }).detach();
        } catch (const std::system_error&) {
            break;
        }
    }
    return wanted == 0 || started > 0;
}

void BatchProbes::Interrupt()
{
    {
        std::lock_guard lock(m_mutex);
        ++m_interrupts;
    }
    m_changed.notify_all();
}

bool BatchProbes::Interrupted() const
{
    std::lock_guard lock(m_mutex);
    return m_interrupts > 0;
}

bool BatchProbes::IdleLocked() const
{
    return m_progress.running == 0 && (m_interrupts > 0 || m_progress.done == m_progress.toCheck);
}

bool BatchProbes::Wait(Clock::time_point deadline)
{
    std::unique_lock lock(m_mutex);
    const int interrupts = m_interrupts;
    m_changed.wait_until(lock, deadline, [&] { return IdleLocked() || m_interrupts != interrupts; });
    return IdleLocked();
}

BatchProbes::Progress BatchProbes::Snapshot() const
{
    std::lock_guard lock(m_mutex);
    return m_progress;
}

int BatchProbes::TakeRow()
{
    if (m_interrupts > 0)
        return -1;
    while (m_nextRow < m_list.Count() && m_list.Verdict(m_nextRow) != RowVerdict::Unchecked)
        ++m_nextRow;
    return m_nextRow < m_list.Count() ? m_nextRow++ : -1;
}

void BatchProbes::Work()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        const int row = TakeRow();
        if (row < 0)
            return;
        const CString url(m_list.Url(row));
        ++m_progress.running;
        lock.unlock();

        CUrlCheckThread probe;
        const RowVerdict verdict = VerdictOfProbe(probe.CheckUrl(url));

        lock.lock();
        --m_progress.running;
        ++m_progress.done;
        ++m_progress.verdicts[static_cast<std::size_t>(verdict)];
        if (verdict != RowVerdict::Unchecked)
            m_list.SetVerdict(row, verdict, &probe.Details());
        if (IdleLocked())
            m_changed.notify_all();
    }
}
