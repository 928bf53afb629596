// The probes of a batch run: `jobs` threads, each taking the next unchecked
// row in list order, probing it as the window's workers do and writing the
// verdict into the list, until no row is left or an interrupt comes. The
// list is theirs while they run: it is read through HoldList.
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

class BatchProbes {
public:
    using Clock = std::chrono::steady_clock;

    struct Progress {
        int toCheck = 0; // unchecked rows when the run began
        int done = 0; // of those, probed
        int running = 0;
        std::array<int, kRowVerdicts> verdicts {}; // the probes' verdicts so far, by RowVerdict
    };

    BatchProbes(BatchList& list, int jobs);
    BatchProbes(const BatchProbes&) = delete;
    BatchProbes& operator=(const BatchProbes&) = delete;

    // Starts probing the list's unchecked rows. False when not even one
    // thread could start; fewer than asked just probe fewer rows at once.
    bool Start();
    // The first interrupt stops rows being taken up (probes under way go
    // on); every interrupt ends a Wait under way. Safe from any thread.
    void Interrupt();
    bool Interrupted() const;
    // Waits until no probe runs and none will start, `deadline` passes or an
    // interrupt comes; true in the first case.
    bool Wait(Clock::time_point deadline);
    Progress Snapshot() const;
    // No verdict lands while the lock lives.
    std::unique_lock<std::mutex> HoldList() { return std::unique_lock(m_mutex); }

private:
    void Work();
    // The next row to probe, or -1; under the lock.
    int TakeRow();
    bool IdleLocked() const;

    BatchList& m_list;
    const int m_jobs;
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    int m_nextRow = 0; // rows before it were taken up or need no probe
    int m_interrupts = 0;
    Progress m_progress;
};
