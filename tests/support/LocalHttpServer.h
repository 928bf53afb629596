// An HTTP server on 127.0.0.1 for tests: an ephemeral port, a background
// thread, the routes the test registers, and a record of every request seen.
//
//     LocalHttpServer server;
//     server.Get("/hello", [](const httplib::Request&, httplib::Response& res) {
//         res.set_content("hi\n", "text/plain");
//     });
//     ASSERT_TRUE(server.Start());
//     ... request server.Url("/hello") ...
//
// Handlers that stream for a long time (content providers that drip or never
// end) should wait with Pause, which returns false as soon as the server
// stops, so that Stop never waits on them.
#pragma once

#include <chrono>
#include <condition_variable>
#include <httplib.h>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class LocalHttpServer {
public:
    struct SeenRequest {
        std::string method;
        std::string path; // decoded
        std::string target; // as the request line had it: path and query, escapes and all
        httplib::Headers headers; // a multimap: repeated headers stay repeated
    };

    LocalHttpServer();
    ~LocalHttpServer();

    LocalHttpServer(const LocalHttpServer&) = delete;
    LocalHttpServer& operator=(const LocalHttpServer&) = delete;

    // Routes are registered before Start; `pattern` is a cpp-httplib pattern
    // (regular expression).
    LocalHttpServer& Get(const std::string& pattern, httplib::Server::Handler handler);
    // Everything else cpp-httplib offers, also before Start.
    httplib::Server& Raw() { return m_server; }

    // Binds 127.0.0.1 on a port the system chooses and serves on a thread;
    // returns once the server accepts connections, false if it cannot.
    bool Start();
    // Idempotent; the destructor calls it.
    void Stop();

    int Port() const { return m_port; }
    std::string Url(const std::string& path = "/") const;

    std::vector<SeenRequest> Requests() const;

    // Waits for `duration`; false (at once) when the server is stopping.
    bool Pause(std::chrono::milliseconds duration) const;

private:
    httplib::Server m_server;
    std::thread m_thread;
    int m_port = -1;
    int m_listenFd = -1;

    mutable std::mutex m_mutex;
    mutable std::condition_variable m_stopped;
    bool m_stopping = false;
    std::vector<SeenRequest> m_requests;
};
