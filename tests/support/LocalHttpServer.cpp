#include "tests/support/LocalHttpServer.h"

#include <sys/socket.h>

namespace {

// Debian builds cpp-httplib as a library with a listen backlog of 5 and 8
// workers: a test running ten checks at once would see connections dropped
// (the client then waits a second to resend) or left unserved.
constexpr int ListenBacklog = 128;
constexpr std::size_t WorkerCount = 32;

} // namespace

LocalHttpServer::LocalHttpServer()
{
    // A keep-alive connection holds a server worker until this runs out, and
    // Stop waits for the workers.
    m_server.set_keep_alive_timeout(1);
    m_server.new_task_queue = [] { return new httplib::ThreadPool(WorkerCount); };
    m_server.set_socket_options([this](int sock) {
        httplib::default_socket_options(sock);
        m_listenFd = sock;
    });
    m_server.set_pre_routing_handler([this](const httplib::Request& req, httplib::Response&) {
        std::lock_guard lock(m_mutex);
        m_requests.push_back({ req.method, req.path, req.target, req.headers });
        return httplib::Server::HandlerResponse::Unhandled;
    });
}

LocalHttpServer::~LocalHttpServer()
{
    Stop();
}

LocalHttpServer& LocalHttpServer::Get(const std::string& pattern, httplib::Server::Handler handler)
{
    m_server.Get(pattern, std::move(handler));
    return *this;
}

bool LocalHttpServer::Start()
{
    if (m_thread.joinable())
        return false;
    m_port = m_server.bind_to_any_port("127.0.0.1");
    if (m_port <= 0)
        return false;
    // Listening again only changes the backlog.
    if (m_listenFd >= 0)
        ::listen(m_listenFd, ListenBacklog);
    m_thread = std::thread([this] { m_server.listen_after_bind(); });
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!m_server.is_running()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

void LocalHttpServer::Stop()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_stopped.notify_all();
    if (m_thread.joinable()) {
        m_server.stop();
        m_thread.join();
    }
}

std::string LocalHttpServer::Url(const std::string& path) const
{
    return "http://127.0.0.1:" + std::to_string(m_port) + path;
}

std::vector<LocalHttpServer::SeenRequest> LocalHttpServer::Requests() const
{
    std::lock_guard lock(m_mutex);
    return m_requests;
}

bool LocalHttpServer::Pause(std::chrono::milliseconds duration) const
{
    std::unique_lock lock(m_mutex);
    return !m_stopped.wait_for(lock, duration, [this] { return m_stopping; });
}
