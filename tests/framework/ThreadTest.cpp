#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <gtest/gtest.h>
#include <mutex>
#include <set>
#include <stdexcept>
#include <thread>
#include <vector>

#include "framework/thread/CWinThread.h"
#include "framework/thread/Interlocked.h"

namespace {

// Counts destroyed threads so a test can wait for them, with a watchdog
// instead of a hang.
class Finished {
public:
    void Add()
    {
        std::lock_guard lock(m_mutex);
        ++m_count;
        m_threads.insert(std::this_thread::get_id());
        m_changed.notify_all();
    }
    bool WaitFor(int count)
    {
        std::unique_lock lock(m_mutex);
        return m_changed.wait_for(lock, std::chrono::seconds(30), [&] { return m_count >= count; });
    }
    int Count()
    {
        std::lock_guard lock(m_mutex);
        return m_count;
    }
    bool AnyOn(std::thread::id thread)
    {
        std::lock_guard lock(m_mutex);
        return m_threads.count(thread) != 0;
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    int m_count = 0;
    std::set<std::thread::id> m_threads;
};

// A probe-like worker: it counts itself in while it lives, as the program's
// running-probe counter does, and reports its destruction.
class CountedThread : public CWinThread {
public:
    CountedThread(AFX_THREADPROC proc, LONG volatile* running, Finished& finished)
        : CWinThread(proc, this)
        , m_running(running)
        , m_finished(finished)
    {
        InterlockedIncrement(m_running);
    }
    ~CountedThread() override
    {
        InterlockedDecrement(m_running);
        m_finished.Add();
    }

private:
    LONG volatile* m_running;
    Finished& m_finished;
};

UINT ReturnAtOnce(void*)
{
    return 0;
}

UINT Throw(void*)
{
    throw std::runtime_error("a worker failing on its own");
}

} // namespace

TEST(ThreadObject, AutoDeletesOnItsOwnThreadEvenAfterAnException)
{
    LONG volatile running = 0;
    Finished finished;
    for (int i = 0; i < 40; ++i) {
        // Returning at once gives the worker every chance to delete the
        // object while CreateThread is still running.
        auto* thread = new CountedThread(i % 2 ? Throw : ReturnAtOnce, &running, finished);
        ASSERT_TRUE(thread->CreateThread());
    }
    ASSERT_TRUE(finished.WaitFor(40));
    EXPECT_EQ(InterlockedIncrement(&running), 1); // every destructor ran once
    EXPECT_FALSE(finished.AnyOn(std::this_thread::get_id()));
}

TEST(ThreadObject, WithoutAutoDeleteTheCallerKeepsTheObject)
{
    struct Handshake {
        std::atomic<bool> done { false };
    } handshake;
    auto* thread = new CWinThread(
        [](void* param) -> UINT {
            static_cast<Handshake*>(param)->done.store(true);
            return 0;
        },
        &handshake);
    thread->m_bAutoDelete = FALSE;
    ASSERT_TRUE(thread->CreateThread());
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!handshake.done.load() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::yield();
    ASSERT_TRUE(handshake.done.load());
    // The worker may still be winding down: it must not touch the object now.
    delete thread;
}

TEST(ThreadObject, StartFailureHookFailsTheNextStartsOnly)
{
    LONG volatile running = 0;
    Finished finished;
    CWinThread::FailNextStartsForTesting(2);
    for (int i = 0; i < 2; ++i) {
        auto* refused = new CountedThread(ReturnAtOnce, &running, finished);
        EXPECT_FALSE(refused->CreateThread());
        EXPECT_EQ(finished.Count(), i) << "a refused thread must not run or delete itself";
        delete refused; // the object stays with the caller
    }
    EXPECT_EQ(finished.Count(), 2);
    auto* started = new CountedThread(ReturnAtOnce, &running, finished);
    EXPECT_TRUE(started->CreateThread());
    EXPECT_TRUE(finished.WaitFor(3));
    EXPECT_EQ(running, 0);
}

TEST(ThreadInterlocked, ReturnsTheNewValueAndWraps)
{
    LONG volatile value = 0;
    EXPECT_EQ(InterlockedIncrement(&value), 1);
    EXPECT_EQ(InterlockedIncrement(&value), 2);
    EXPECT_EQ(InterlockedDecrement(&value), 1);
    EXPECT_EQ(InterlockedDecrement(&value), 0);
    EXPECT_EQ(InterlockedDecrement(&value), -1);
    value = INT32_MAX;
    EXPECT_EQ(InterlockedIncrement(&value), INT32_MIN);
    EXPECT_EQ(InterlockedDecrement(&value), INT32_MAX);
}

namespace {

// One wave of workers that all step one shared counter in one direction and
// record the values the steps returned.
struct Wave {
    static constexpr int kWorkers = 16;
    static constexpr int kSteps = 5000;

    LONG volatile counter = 0;
    std::mutex mutex;
    std::vector<LONG> seen;

    bool Run(LONG (*step)(LONG volatile*))
    {
        Finished finished;
        struct Worker : CWinThread {
            Worker(Wave& w, LONG (*s)(LONG volatile*), Finished& f)
                : CWinThread(Body, this)
                , wave(w)
                , step(s)
                , finished(f)
            {
            }
            ~Worker() override { finished.Add(); }
            static UINT Body(void* param)
            {
                auto* self = static_cast<Worker*>(param);
                std::vector<LONG> mine;
                for (int i = 0; i < kSteps; ++i)
                    mine.push_back(self->step(&self->wave.counter));
                std::lock_guard lock(self->wave.mutex);
                self->wave.seen.insert(self->wave.seen.end(), mine.begin(), mine.end());
                return 0;
            }
            Wave& wave;
            LONG (*step)(LONG volatile*);
            Finished& finished;
        };
        seen.clear();
        for (int i = 0; i < kWorkers; ++i) {
            if (!(new Worker(*this, step, finished))->CreateThread())
                return false;
        }
        return finished.WaitFor(kWorkers);
    }

    // A lost update shows up as a value returned twice and another never.
    std::set<LONG> Distinct()
    {
        std::lock_guard lock(mutex);
        return std::set<LONG>(seen.begin(), seen.end());
    }
};

} // namespace

TEST(ThreadInterlocked, ManyWorkersEachGetTheirOwnValue)
{
    constexpr LONG kTotal = Wave::kWorkers * Wave::kSteps;
    Wave wave;
    ASSERT_TRUE(wave.Run(InterlockedIncrement));
    EXPECT_EQ(wave.counter, kTotal);
    std::set<LONG> distinct = wave.Distinct();
    EXPECT_EQ(distinct.size(), static_cast<std::size_t>(kTotal));
    EXPECT_EQ(*distinct.begin(), 1);
    EXPECT_EQ(*distinct.rbegin(), kTotal);

    ASSERT_TRUE(wave.Run(InterlockedDecrement));
    EXPECT_EQ(wave.counter, 0);
    distinct = wave.Distinct();
    EXPECT_EQ(distinct.size(), static_cast<std::size_t>(kTotal));
    EXPECT_EQ(*distinct.begin(), 0);
    EXPECT_EQ(*distinct.rbegin(), kTotal - 1);
}
