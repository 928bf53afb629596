// A TCP server on 127.0.0.1 that plays a script on every connection, for the
// answers a proper HTTP server never gives: silence, a reset in the middle of
// a body, broken chunked encoding, bytes that are not HTTP at all.
//
//     LocalTcpServer server([](LocalTcpServer::Connection& c) {
//         c.ReadRequestHead();
//         c.Send("HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\nshort");
//         c.Reset();
//     });
//     ASSERT_TRUE(server.Start());
//
// Every wait inside a script ends when the server stops, so Stop (and the
// destructor) return promptly whatever the script is doing.
#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <list>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

class LocalTcpServer {
public:
    class Connection {
    public:
        Connection(int fd, const std::atomic<bool>& stopping)
            : m_fd(fd)
            , m_stopping(stopping)
        {
        }
        ~Connection();

        // Reads up to the blank line that ends a request head; returns what
        // was read (possibly less when the peer closes or time runs out).
        std::string ReadRequestHead(std::chrono::milliseconds limit = std::chrono::seconds(5));
        bool Send(std::string_view bytes);
        // Reads and discards until the peer closes, the server stops or
        // `limit` passes: a server that accepted and never answers.
        void HoldOpen(std::chrono::milliseconds limit = std::chrono::seconds(30));
        // Closes at once with a TCP reset rather than an orderly close.
        void Reset();
        // The socket, for scripts that speak another protocol on it (TLS);
        // -1 after Reset. The connection still closes it.
        int Fd() const { return m_fd; }

    private:
        // Waits for input; false on time-out or stop.
        bool WaitReadable(std::chrono::steady_clock::time_point deadline);

        int m_fd;
        const std::atomic<bool>& m_stopping;
    };

    using Script = std::function<void(Connection&)>;

    explicit LocalTcpServer(Script script);
    ~LocalTcpServer();

    LocalTcpServer(const LocalTcpServer&) = delete;
    LocalTcpServer& operator=(const LocalTcpServer&) = delete;

    bool Start();
    void Stop();

    int Port() const { return m_port; }
    std::string Url(const std::string& path = "/") const;
    int AcceptedConnections() const { return m_accepted.load(); }

private:
    void AcceptLoop();

    Script m_script;
    int m_listenFd = -1;
    int m_port = -1;
    std::atomic<bool> m_stopping { false };
    std::atomic<int> m_accepted { 0 };
    std::thread m_acceptThread;
    std::mutex m_mutex;
    std::list<std::thread> m_connectionThreads;
};

// A loopback port nothing listens on (bound, then closed again): connecting
// to it is refused. -1 when no port could be had.
int ClosedLoopbackPort();
