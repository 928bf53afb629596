// A watchdog for a test step that blocks: if the step is still running when
// the time is up, the test program reports it and aborts instead of hanging.
//
//     { TestDeadline deadline(std::chrono::seconds(10), "silent server"); file->SendRequest(); }
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

class TestDeadline {
public:
    TestDeadline(std::chrono::milliseconds limit, std::string what);
    ~TestDeadline();

    TestDeadline(const TestDeadline&) = delete;
    TestDeadline& operator=(const TestDeadline&) = delete;

private:
    std::mutex m_mutex;
    std::condition_variable m_done;
    bool m_finished = false;
    std::thread m_watcher;
};
