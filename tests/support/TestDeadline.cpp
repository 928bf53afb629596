#include "tests/support/TestDeadline.h"

#include <cstdio>
#include <cstdlib>

TestDeadline::TestDeadline(std::chrono::milliseconds limit, std::string what)
{
    m_watcher = std::thread([this, limit, what = std::move(what)] {
        std::unique_lock lock(m_mutex);
        if (!m_done.wait_for(lock, limit, [this] { return m_finished; })) {
            std::fprintf(stderr, "TestDeadline: \"%s\" still running after %lld ms; aborting\n", what.c_str(),
                static_cast<long long>(limit.count()));
            std::fflush(stderr);
            std::abort();
        }
    });
}

TestDeadline::~TestDeadline()
{
    {
        std::lock_guard lock(m_mutex);
        m_finished = true;
    }
    m_done.notify_all();
    m_watcher.join();
}
