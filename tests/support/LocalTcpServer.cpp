#include "tests/support/LocalTcpServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// Waits are cut into slices so that a stopping server is noticed quickly.
constexpr int SliceMs = 20;

} // namespace

LocalTcpServer::Connection::~Connection()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

bool LocalTcpServer::Connection::WaitReadable(std::chrono::steady_clock::time_point deadline)
{
    while (!m_stopping.load() && std::chrono::steady_clock::now() < deadline) {
        pollfd p { m_fd, POLLIN, 0 };
        if (::poll(&p, 1, SliceMs) > 0)
            return true;
    }
    return false;
}

std::string LocalTcpServer::Connection::ReadRequestHead(std::chrono::milliseconds limit)
{
    std::string head;
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (m_fd >= 0 && head.find("\r\n\r\n") == std::string::npos && WaitReadable(deadline)) {
        char buffer[4096];
        const ssize_t n = ::recv(m_fd, buffer, sizeof buffer, 0);
        if (n <= 0)
            break;
        head.append(buffer, static_cast<std::size_t>(n));
    }
    return head;
}

bool LocalTcpServer::Connection::Send(std::string_view bytes)
{
    while (m_fd >= 0 && !bytes.empty()) {
        const ssize_t n = ::send(m_fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (n <= 0)
            return false;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return m_fd >= 0;
}

void LocalTcpServer::Connection::HoldOpen(std::chrono::milliseconds limit)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (m_fd >= 0 && WaitReadable(deadline)) {
        char buffer[4096];
        if (::recv(m_fd, buffer, sizeof buffer, 0) <= 0)
            return;
    }
}

void LocalTcpServer::Connection::Reset()
{
    if (m_fd < 0)
        return;
    linger abortive { 1, 0 };
    ::setsockopt(m_fd, SOL_SOCKET, SO_LINGER, &abortive, sizeof abortive);
    ::close(m_fd);
    m_fd = -1;
}

LocalTcpServer::LocalTcpServer(Script script)
    : m_script(std::move(script))
{
}

LocalTcpServer::~LocalTcpServer()
{
    Stop();
}

bool LocalTcpServer::Start()
{
    if (m_listenFd >= 0)
        return false;
    m_listenFd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (m_listenFd < 0)
        return false;
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    socklen_t length = sizeof address;
    if (::bind(m_listenFd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0
        || ::listen(m_listenFd, 16) != 0
        || ::getsockname(m_listenFd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        ::close(m_listenFd);
        m_listenFd = -1;
        return false;
    }
    m_port = ntohs(address.sin_port);
    m_acceptThread = std::thread([this] { AcceptLoop(); });
    return true;
}

void LocalTcpServer::AcceptLoop()
{
    while (!m_stopping.load()) {
        pollfd p { m_listenFd, POLLIN, 0 };
        if (::poll(&p, 1, SliceMs) <= 0)
            continue;
        const int fd = ::accept4(m_listenFd, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0)
            continue;
        ++m_accepted;
        std::lock_guard lock(m_mutex);
        m_connectionThreads.emplace_back([this, fd] {
            Connection connection(fd, m_stopping);
            m_script(connection);
        });
    }
}

void LocalTcpServer::Stop()
{
    m_stopping = true;
    if (m_acceptThread.joinable())
        m_acceptThread.join();
    std::list<std::thread> threads;
    {
        std::lock_guard lock(m_mutex);
        threads.swap(m_connectionThreads);
    }
    for (std::thread& t : threads)
        t.join();
    if (m_listenFd >= 0) {
        ::close(m_listenFd);
        m_listenFd = -1;
    }
}

std::string LocalTcpServer::Url(const std::string& path) const
{
    return "http://127.0.0.1:" + std::to_string(m_port) + path;
}

int ClosedLoopbackPort()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr {};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof addr;
    const bool bound = fd >= 0 && ::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0
        && ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &length) == 0;
    if (fd >= 0)
        ::close(fd);
    return bound ? ntohs(addr.sin_port) : -1;
}
