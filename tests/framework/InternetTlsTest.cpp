// Certificate checking and the connect time-out, both on 127.0.0.1.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <atomic>
#include <chrono>
#include <memory>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include "framework/inet/CHttpConnection.h"
#include "framework/inet/CHttpFile.h"
#include "framework/inet/CInternetSession.h"
#include "framework/inet/InternetBounds.h"
#include "tests/support/LocalTcpServer.h"
#include "tests/support/SelfSignedTls.h"
#include "tests/support/TestDeadline.h"

using namespace std::chrono_literals;

namespace {

struct Outcome {
    bool threw = false;
    DWORD error = 0;
    DWORD status = 0;
    double seconds = 0;
};

Outcome Get(CInternetSession& session, int port, DWORD flags)
{
    TestDeadline deadline(20s, "request");
    Outcome o;
    const auto start = std::chrono::steady_clock::now();
    try {
        std::unique_ptr<CHttpConnection> connection(
            session.GetHttpConnection("127.0.0.1", flags, static_cast<INTERNET_PORT>(port)));
        std::unique_ptr<CHttpFile> file(connection->OpenRequest(CHttpConnection::HTTP_VERB_GET, "/"));
        file->SendRequest();
        file->QueryInfoStatusCode(o.status);
    } catch (CInternetException* e) {
        o.threw = true;
        o.error = e->m_dwError;
        e->Delete();
    }
    o.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return o;
}

} // namespace

TEST(InternetTls, RefusesACertificateNoSystemAuthorityIssued)
{
    auto ctx = SelfSignedContext();
    ASSERT_TRUE(ctx);
    std::atomic<int> handshakes { 0 };
    // Were the certificate accepted, this server would answer 200.
    LocalTcpServer tls([&](LocalTcpServer::Connection& c) {
        if (ServeTlsOk(ctx.get(), c))
            ++handshakes;
    });
    ASSERT_TRUE(tls.Start());

    CInternetSession session("BrisquelTest/1.0");
    const Outcome o = Get(session, tls.Port(), INTERNET_FLAG_SECURE);
    EXPECT_TRUE(o.threw);
    EXPECT_EQ(o.error, ERROR_INTERNET_INVALID_CA);
    EXPECT_EQ(o.status, 0u);
    EXPECT_EQ(handshakes.load(), 0);
    EXPECT_EQ(tls.AcceptedConnections(), 1);
}

// On Linux a listener whose accept queue is full drops further handshakes, so
// a connection attempt hangs as it would towards a host that is down.
TEST(InternetTimeout, AConnectionThatNeverStandsThrowsAtTheConnectTimeout)
{
    const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    ASSERT_GE(listener, 0);
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(::listen(listener, 0), 0);
    ASSERT_EQ(::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length), 0);
    std::vector<int> fillers;
    for (int i = 0; i < 4; ++i) {
        const int s = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
        ::connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address);
        fillers.push_back(s);
    }
    const int port = ntohs(address.sin_port);

    // The session's own time-out, well inside the request limits.
    AfxSetInternetBounds(InternetBounds { 10, 10, 10, 1 << 20, {} });
    CInternetSession session("BrisquelTest/1.0");
    DWORD timeoutMs = 500;
    ASSERT_TRUE(session.SetOption(INTERNET_OPTION_CONNECT_TIMEOUT, &timeoutMs, sizeof timeoutMs));
    const Outcome own = Get(session, port, 0);
    EXPECT_TRUE(own.threw);
    EXPECT_EQ(own.error, ERROR_INTERNET_TIMEOUT);
    EXPECT_GE(own.seconds, 0.4);
    EXPECT_LT(own.seconds, 3.0);

    // Without one, the total limit bounds the attempt; still an error, not an
    // empty answer.
    AfxSetInternetBounds(InternetBounds { 10, 1, 10, 1 << 20, {} });
    CInternetSession plain("BrisquelTest/1.0");
    const Outcome bounded = Get(plain, port, 0);
    EXPECT_TRUE(bounded.threw);
    EXPECT_EQ(bounded.error, ERROR_INTERNET_TIMEOUT);
    EXPECT_LT(bounded.seconds, 3.0);

    AfxSetInternetBounds(InternetBounds {});
    for (int s : fillers)
        ::close(s);
    ::close(listener);
}
