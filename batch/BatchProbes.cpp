#include "batch/BatchProbes.h"

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
    int started = 0;
    for (; started < m_jobs; ++started) {
        try {
            std::thread([this] { Work(); }).detach();
        } catch (const std::system_error&) {
            break;
        }
    }
    return started > 0;
}

void BatchProbes::Add(int line, std::string_view url, RowVerdict verdict, const ProbeDetails* details)
{
    std::lock_guard lock(m_mutex);
    m_list.Add(line, url, verdict);
    if (details)
        m_list.SetVerdict(m_list.Count() - 1, verdict, details);
    if (verdict == RowVerdict::Unchecked) {
        ++m_progress.toCheck;
        if (m_waitingThreads > 0)
            m_rowsCame.notify_one();
    }
}

void BatchProbes::StartOver()
{
    std::lock_guard lock(m_mutex);
    m_list.Clear();
    ++m_generation;
    m_nextRow = 0;
    m_progress = Progress {};
}

void BatchProbes::EndOfRows()
{
    {
        std::lock_guard lock(m_mutex);
        m_allRowsIn = true;
    }
    m_rowsCame.notify_all();
    m_changed.notify_all();
}

void BatchProbes::Interrupt()
{
    {
        std::lock_guard lock(m_mutex);
        ++m_interrupts;
    }
    m_rowsCame.notify_all();
    m_changed.notify_all();
}

bool BatchProbes::Interrupted() const
{
    std::lock_guard lock(m_mutex);
    return m_interrupts > 0;
}

bool BatchProbes::IdleLocked() const
{
    return m_running == 0 && (m_interrupts > 0 || (m_allRowsIn && m_progress.done == m_progress.toCheck));
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
    while (m_nextRow < m_list.Count() && m_list.Verdict(m_nextRow) != RowVerdict::Unchecked)
        ++m_nextRow;
    return m_nextRow < m_list.Count() ? m_nextRow++ : -1;
}

void BatchProbes::Work()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        if (m_interrupts > 0)
            return;
        const int row = TakeRow();
        if (row < 0) {
            if (m_allRowsIn)
                return;
            ++m_waitingThreads;
            m_rowsCame.wait(lock);
            --m_waitingThreads;
            continue;
        }
        const int generation = m_generation;
        const CString url(m_list.Url(row));
        ++m_running;
        lock.unlock();

        CUrlCheckThread probe;
        const RowVerdict verdict = VerdictOfProbe(probe.CheckUrl(url));

        lock.lock();
        --m_running;
        if (generation == m_generation) {
            ++m_progress.done;
            ++m_progress.verdicts[static_cast<std::size_t>(verdict)];
            if (verdict != RowVerdict::Unchecked)
                m_list.SetVerdict(row, verdict, &probe.Details());
        }
        if (IdleLocked())
            m_changed.notify_all();
    }
}
