// A page server on 127.0.0.1 for the batch benchmark: one thread, epoll,
// every request answered with the same page and the connection closed, as
// the probes expect. It keeps the figures the benchmark reports: requests
// answered, the most connections open at once and when the first request
// came. A single event loop keeps its own cost low, so the figures measure
// the client.
#pragma once

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

class PageServer {
public:
    explicit PageServer(std::string page);
    ~PageServer();
    PageServer(const PageServer&) = delete;
    PageServer& operator=(const PageServer&) = delete;

    // False when it cannot listen.
    bool Start();
    int Port() const { return m_port; }

    // Forgets the figures, before a run.
    void Reset();
    long Answered() const { return m_answered.load(); }
    int MostOpen() const { return m_mostOpen.load(); }
    // Since the clock's epoch; 0 while no request came.
    std::chrono::steady_clock::duration FirstRequestAt() const
    {
        return std::chrono::steady_clock::duration(m_firstRequestAt.load());
    }

private:
    void Serve();

    std::string m_response;
    int m_listenFd = -1;
    int m_epollFd = -1;
    int m_stopFd = -1;
    int m_port = -1;
    std::thread m_thread;
    std::atomic<long> m_answered { 0 };
    std::atomic<int> m_open { 0 };
    std::atomic<int> m_mostOpen { 0 };
    std::atomic<std::chrono::steady_clock::rep> m_firstRequestAt { 0 };
};
