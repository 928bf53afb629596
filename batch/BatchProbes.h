// The probes of a batch run: `jobs` threads, each taking the next unchecked
// row in list order, probing it as the window's workers do and writing the
// verdict into the list, until the file is read and no row is left, or an
// interrupt comes. Rows come in (as a BatchRowSink) while the threads
// already probe the first of them. The list is theirs while they run: it is
// read through HoldList.
//
// The threads are never waited for (a probe can take a minute, and an
// interrupt does not wait that long): the object and the list must live
// until the process ends.
#pragma once

#include <array>
#include <chrono>
#include <condition_variable>
#include <mutex>

#include "batch/BatchList.h"
#include "batch/BatchRowSink.h"

class BatchProbes : public BatchRowSink {
public:
    using Clock = std::chrono::steady_clock;

    struct Progress {
        int toCheck = 0; // unchecked rows come in so far
        int done = 0; // of those, probed
        std::array<int, kRowVerdicts> verdicts {}; // the probes' verdicts so far, by RowVerdict
    };

    BatchProbes(BatchList& list, int jobs);
    BatchProbes(const BatchProbes&) = delete;
    BatchProbes& operator=(const BatchProbes&) = delete;

    // Starts the threads, which wait for rows. False when not even one
    // could start; fewer than asked just probe fewer rows at once.
    bool Start();
    void Add(int line, std::string_view url, RowVerdict verdict, const ProbeDetails* details) override;
    void StartOver() override;
    // Every row has come: the threads end once none is left.
    void EndOfRows();

    // The first interrupt stops rows being taken up (probes under way go
    // on); every interrupt ends a Wait under way. Safe from any thread.
    void Interrupt();
    bool Interrupted() const;
    // Waits until no probe runs and none will start, `deadline` passes or an
    // interrupt comes; true in the first case.
    bool Wait(Clock::time_point deadline);
    Progress Snapshot() const;
    // No row comes and no verdict lands while the lock lives.
    std::unique_lock<std::mutex> HoldList() { return std::unique_lock(m_mutex); }

private:
    void Work();
    // The next row to probe, or -1; under the lock.
    int TakeRow();
    bool IdleLocked() const;

    BatchList& m_list;
    const int m_jobs;
    mutable std::mutex m_mutex;
    std::condition_variable m_changed; // for Wait
    std::condition_variable m_rowsCame; // for threads without a row
    int m_waitingThreads = 0;
    bool m_allRowsIn = false;
    // Counts the times the rows were taken back: a verdict for a row of an
    // earlier count is dropped.
    int m_generation = 0;
    int m_running = 0;
    int m_nextRow = 0; // rows before it were taken up or need no probe
    int m_interrupts = 0;
    Progress m_progress;
};
