#include "bench/PageServer.h"

#include <arpa/inet.h>
#include <cerrno>
#include <netinet/in.h>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>
#include <unordered_map>

namespace {

// What a connection has read of its request, and written of the answer.
struct Connection {
    std::string request;
    std::size_t sent = 0;
    bool answering = false;
};

} // namespace

PageServer::PageServer(std::string page)
    : m_response("HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nConnection: close\r\nContent-Length: "
        + std::to_string(page.size()) + "\r\n\r\n" + page)
{
}

PageServer::~PageServer()
{
    if (m_thread.joinable()) {
        const std::uint64_t one = 1;
        (void)!write(m_stopFd, &one, sizeof one);
        m_thread.join();
    }
    for (const int fd : { m_listenFd, m_epollFd, m_stopFd })
        if (fd >= 0)
            close(fd);
}

bool PageServer::Start()
{
    m_listenFd = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (m_listenFd < 0 || bind(m_listenFd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0
        || listen(m_listenFd, SOMAXCONN) != 0
        || getsockname(m_listenFd, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        return false;
    m_port = ntohs(address.sin_port);
    m_epollFd = epoll_create1(EPOLL_CLOEXEC);
    m_stopFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (m_epollFd < 0 || m_stopFd < 0)
        return false;
    epoll_event event {};
    event.events = EPOLLIN;
    event.data.fd = m_listenFd;
    epoll_ctl(m_epollFd, EPOLL_CTL_ADD, m_listenFd, &event);
    event.data.fd = m_stopFd;
    epoll_ctl(m_epollFd, EPOLL_CTL_ADD, m_stopFd, &event);
    m_thread = std::thread([this] { Serve(); });
    return true;
}

void PageServer::Reset()
{
    m_answered = 0;
    m_mostOpen = 0;
    m_firstRequestAt = 0;
}

void PageServer::Serve()
{
    std::unordered_map<int, Connection> connections;
    auto finish = [&](int fd) {
        epoll_ctl(m_epollFd, EPOLL_CTL_DEL, fd, nullptr);
        close(fd);
        connections.erase(fd);
        --m_open;
    };
    epoll_event events[256];
    for (;;) {
        const int ready = epoll_wait(m_epollFd, events, 256, -1);
        for (int i = 0; i < ready; ++i) {
            const int fd = events[i].data.fd;
            if (fd == m_stopFd) {
                for (auto& [open, connection] : connections)
                    close(open);
                return;
            }
            if (fd == m_listenFd) {
                for (int client;
                     (client = accept4(m_listenFd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC)) >= 0;) {
                    std::chrono::steady_clock::rep none = 0;
                    m_firstRequestAt.compare_exchange_strong(
                        none, std::chrono::steady_clock::now().time_since_epoch().count());
                    epoll_event event {};
                    event.events = EPOLLIN | EPOLLOUT | EPOLLET;
                    event.data.fd = client;
                    epoll_ctl(m_epollFd, EPOLL_CTL_ADD, client, &event);
                    connections[client];
                    const int open = ++m_open;
                    int most = m_mostOpen.load();
                    while (open > most && !m_mostOpen.compare_exchange_weak(most, open)) { }
                }
                continue;
            }
            Connection& connection = connections[fd];
            if (!connection.answering) {
                char buffer[4096];
                ssize_t n;
                while ((n = read(fd, buffer, sizeof buffer)) > 0)
                    connection.request.append(buffer, static_cast<std::size_t>(n));
                if (n == 0 && connection.request.find("\r\n\r\n") == std::string::npos) {
                    finish(fd);
                    continue;
                }
                connection.answering = connection.request.find("\r\n\r\n") != std::string::npos;
            }
            if (!connection.answering)
                continue;
            while (connection.sent < m_response.size()) {
                const ssize_t n = send(fd, m_response.data() + connection.sent,
                    m_response.size() - connection.sent, MSG_NOSIGNAL);
                if (n < 0 && errno != EAGAIN) {
                    finish(fd);
                    break;
                }
                if (n <= 0)
                    break;
                connection.sent += static_cast<std::size_t>(n);
            }
            if (connections.contains(fd) && connection.sent == m_response.size()) {
                ++m_answered;
                finish(fd);
            }
        }
    }
}
