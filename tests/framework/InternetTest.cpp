// The HTTP classes against real servers on 127.0.0.1: a cpp-httplib server
// for proper answers, a scripted TCP server for broken ones. Limits are cut
// to a second or two so that no test waits long; every request runs under a
// TestDeadline.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <memory>
#include <netinet/in.h>
#include <optional>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

#include "framework/base/AppName.h"
#include "framework/inet/CHttpConnection.h"
#include "framework/inet/CHttpFile.h"
#include "framework/inet/CInternetSession.h"
#include "framework/inet/InternetBounds.h"
#include "tests/support/LocalHttpServer.h"
#include "tests/support/LocalTcpServer.h"
#include "tests/support/TestDeadline.h"

using namespace std::chrono_literals;

namespace {

constexpr const char* BrowserAgent = "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)";
constexpr const char* DripPattern = "0123456789";

struct Request {
    std::string server = "127.0.0.1";
    INTERNET_PORT port = 0;
    std::string object = "/";
    DWORD connectionFlags = 0;
    DWORD requestFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_EXISTING_CONNECT | INTERNET_FLAG_NO_CACHE_WRITE;
    LPCSTR agent = "BrisquelTest/1.0";
    UINT maxChars = 4096;
    std::function<void(CHttpFile&)> prepare; // adds headers before sending
};

struct Answer {
    bool threw = false;
    DWORD error = 0;
    BOOL hasStatus = FALSE;
    DWORD status = 0;
    std::vector<std::string> lines; // as ReadString gave them, up to their NUL
    std::string body;
    double seconds = 0;
};

Answer Fetch(const Request& r)
{
    TestDeadline deadline(20s, "request for " + r.object);
    Answer a;
    const auto start = std::chrono::steady_clock::now();
    CInternetSession session(r.agent);
    std::unique_ptr<CHttpConnection> connection;
    std::unique_ptr<CHttpFile> file;
    try {
        connection.reset(session.GetHttpConnection(r.server.c_str(), r.connectionFlags, r.port));
        file.reset(connection->OpenRequest(
            CHttpConnection::HTTP_VERB_GET, r.object.c_str(), nullptr, 1, nullptr, nullptr, r.requestFlags));
        if (r.prepare)
            r.prepare(*file);
        file->SendRequest();
        a.hasStatus = file->QueryInfoStatusCode(a.status);
        // One byte past the room given must stay untouched.
        std::vector<char> buffer(r.maxChars + 1, '#');
        while (file->ReadString(buffer.data(), r.maxChars)) {
            EXPECT_EQ(buffer[r.maxChars], '#') << "ReadString wrote past maxChars";
            a.lines.emplace_back(buffer.data());
            a.body += a.lines.back();
        }
    } catch (CInternetException* e) {
        a.threw = true;
        a.error = e->m_dwError;
        e->Delete();
    }
    a.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return a;
}

Request To(int port, const std::string& object)
{
    Request r;
    r.port = static_cast<INTERNET_PORT>(port);
    r.object = object;
    return r;
}

// Finds the one request for `path` the server saw.
std::optional<LocalHttpServer::SeenRequest> SeenFor(const LocalHttpServer& server, const std::string& path)
{
    std::optional<LocalHttpServer::SeenRequest> found;
    for (const auto& seen : server.Requests()) {
        if (seen.path == path) {
            EXPECT_FALSE(found) << "more than one request for " << path;
            found = seen;
        }
    }
    return found;
}

std::vector<std::string> Values(const httplib::Headers& headers, const std::string& name)
{
    std::vector<std::string> values;
    auto [first, last] = headers.equal_range(name);
    for (auto it = first; it != last; ++it)
        values.push_back(it->second);
    return values;
}

class Internet : public ::testing::Test {
protected:
    void SetUp() override
    {
        InternetBounds bounds;
        bounds.stallSeconds = 2;
        bounds.totalSeconds = 5;
        AfxSetInternetBounds(bounds);

        auto text = [](int status, std::string body) {
            return [status, body](const httplib::Request&, httplib::Response& res) {
                res.status = status;
                res.set_content(body, "text/plain");
            };
        };
        http.Get("/lines", text(200, "first\nsecond\r\n\nlast-without-lf"));
        http.Get("/ten", text(200, "abcdefghij\nk"));
        http.Get("/missing", text(404, "no such page\n"));
        http.Get("/trouble", text(500, "server trouble\n"));
        http.Get("/new", text(200, "moved here\n"));
        http.Get("/echo", text(200, "echo\n"));
        http.Get("/nul", text(200, std::string("ab\0cd\nef", 8)));
        http.Get("/big-line", text(200, std::string(10'000'000, 'x')));
        // The redirect carries a body of its own, which must not reach the reader.
        http.Get("/old", [](const httplib::Request&, httplib::Response& res) {
            res.set_redirect("/new", 301);
            res.set_content("old page\n", "text/plain");
        });
        http.Get("/loop", [](const httplib::Request&, httplib::Response& res) { res.set_redirect("/loop"); });
        http.Get(R"(/hop/(\d+))", [](const httplib::Request& req, httplib::Response& res) {
            const int left = std::stoi(req.matches[1]);
            if (left == 0)
                res.set_content("end of chain\n", "text/plain");
            else
                res.set_redirect("/hop/" + std::to_string(left - 1));
        });
        // One byte every 100 ms, for at most a minute.
        http.Get("/drip", [this](const httplib::Request&, httplib::Response& res) {
            res.set_chunked_content_provider(
                "text/plain", [this](std::size_t offset, httplib::DataSink& sink) {
                    if (offset >= 600 || !http.Pause(100ms))
                        return false;
                    return sink.write(&DripPattern[offset % 10], 1);
                });
        });
        // 64 KiB blocks until the client goes away.
        http.Get("/endless", [this](const httplib::Request&, httplib::Response& res) {
            res.set_chunked_content_provider("text/plain", [this](std::size_t, httplib::DataSink& sink) {
                static const std::string block(64 << 10, 'e');
                return http.Pause(0ms) && sink.write(block.data(), block.size());
            });
        });
        // Status, headers and a first line, then silence.
        http.Get("/then-silence", [this](const httplib::Request&, httplib::Response& res) {
            res.set_chunked_content_provider(
                "text/plain", [this](std::size_t offset, httplib::DataSink& sink) {
                    if (offset == 0)
                        return sink.write("partial\n", 8);
                    return http.Pause(60s) && false;
                });
        });
        ASSERT_TRUE(http.Start());
    }

    void TearDown() override { AfxSetInternetBounds(InternetBounds {}); }

    static void SetBounds(long stall, long total, long redirects, std::size_t maxBody)
    {
        AfxSetInternetBounds(InternetBounds { stall, total, redirects, maxBody, {} });
    }

    LocalHttpServer http;
};

TEST_F(Internet, ReadsTheBodyOneLineAtATime)
{
    const Answer a = Fetch(To(http.Port(), "/lines"));
    ASSERT_FALSE(a.threw) << a.error;
    EXPECT_TRUE(a.hasStatus);
    EXPECT_EQ(a.status, 200u);
    EXPECT_EQ(a.lines, (std::vector<std::string> { "first\n", "second\r\n", "\n", "last-without-lf" }));

    // A line longer than the buffer continues in the next call; maxChars
    // counts the NUL.
    Request small = To(http.Port(), "/ten");
    small.maxChars = 5;
    EXPECT_EQ(Fetch(small).lines, (std::vector<std::string> { "abcd", "efgh", "ij\n", "k" }));
    small.maxChars = 2;
    EXPECT_EQ(Fetch(small).body, "abcdefghij\nk");
}

TEST_F(Internet, ReadStringEdgeCases)
{
    CInternetSession session("BrisquelTest/1.0");
    std::unique_ptr<CHttpConnection> connection(
        session.GetHttpConnection("127.0.0.1", static_cast<INTERNET_PORT>(http.Port())));
    std::unique_ptr<CHttpFile> file(connection->OpenRequest(CHttpConnection::HTTP_VERB_GET, "/nul"));
    {
        TestDeadline deadline(20s, "/nul");
        file->SendRequest();
    }
    char tiny[1] = { '#' };
    EXPECT_EQ(file->ReadString(tiny, 1), nullptr); // no room for a byte
    EXPECT_EQ(tiny[0], '\0');

    // NUL bytes are copied; the caller sees the line end at the first one.
    char buffer[16];
    ASSERT_EQ(file->ReadString(buffer, sizeof buffer), buffer);
    EXPECT_EQ(std::string(buffer, 7), std::string("ab\0cd\n\0", 7));
    ASSERT_EQ(file->ReadString(buffer, sizeof buffer), buffer);
    EXPECT_STREQ(buffer, "ef");
    EXPECT_EQ(file->ReadString(buffer, sizeof buffer), nullptr);

    // After Close nothing is left to read, even on a fresh body.
    file->SendRequest();
    file->Close();
    EXPECT_EQ(file->ReadString(buffer, sizeof buffer), nullptr);
}

TEST_F(Internet, ReadsATenMegabyteLineWithoutLineFeed)
{
    Request r = To(http.Port(), "/big-line");
    r.maxChars = 4096;
    const Answer a = Fetch(r);
    ASSERT_FALSE(a.threw) << a.error;
    EXPECT_EQ(a.body.size(), 10'000'000u);
    EXPECT_EQ(a.body.find_first_not_of('x'), std::string::npos);
    ASSERT_GT(a.lines.size(), 2u);
    EXPECT_EQ(a.lines.front().size(), 4095u);
}

TEST_F(Internet, ReportsErrorStatusesWithTheirBodies)
{
    const Answer missing = Fetch(To(http.Port(), "/missing"));
    ASSERT_FALSE(missing.threw) << missing.error;
    EXPECT_EQ(missing.status, 404u);
    EXPECT_EQ(missing.body, "no such page\n");

    const Answer trouble = Fetch(To(http.Port(), "/trouble"));
    ASSERT_FALSE(trouble.threw) << trouble.error;
    EXPECT_EQ(trouble.status, 500u);
    EXPECT_EQ(trouble.body, "server trouble\n");
}

TEST_F(Internet, FollowsRedirectsWithinTheLimit)
{
    const Answer moved = Fetch(To(http.Port(), "/old"));
    ASSERT_FALSE(moved.threw) << moved.error;
    EXPECT_EQ(moved.status, 200u);
    EXPECT_EQ(moved.body, "moved here\n");

    Request unfollowed = To(http.Port(), "/old");
    unfollowed.requestFlags |= INTERNET_FLAG_NO_AUTO_REDIRECT;
    const Answer redirect = Fetch(unfollowed);
    EXPECT_EQ(redirect.status, 301u);
    EXPECT_EQ(redirect.body, "old page\n");

    SetBounds(2, 5, 3, 16 << 20);
    const Answer three = Fetch(To(http.Port(), "/hop/3"));
    EXPECT_FALSE(three.threw) << three.error;
    EXPECT_EQ(three.body, "end of chain\n");
    const Answer four = Fetch(To(http.Port(), "/hop/4"));
    EXPECT_TRUE(four.threw);
    EXPECT_EQ(four.error, ERROR_HTTP_REDIRECT_FAILED);

    SetBounds(2, 5, 10, 16 << 20);
    const Answer loop = Fetch(To(http.Port(), "/loop"));
    EXPECT_TRUE(loop.threw);
    EXPECT_EQ(loop.error, ERROR_HTTP_REDIRECT_FAILED);
    EXPECT_EQ(Fetch(To(http.Port(), "/hop/10")).body, "end of chain\n");
}

TEST_F(Internet, SendsTheHeadersTheCallerAdded)
{
    Request r = To(http.Port(), "/echo");
    r.prepare = [](CHttpFile& f) {
        EXPECT_TRUE(f.AddRequestHeaders((std::string("User-Agent: ") + BrowserAgent + "\r\n").c_str()));
        EXPECT_TRUE(f.AddRequestHeaders("Accept: text/html, */*;q=0.1\r\n"));
        // Already there, in another letter case: left out.
        EXPECT_FALSE(f.AddRequestHeaders("user-agent: Other/1.0\r\n", HTTP_ADDREQ_FLAG_ADD_IF_NEW));
        EXPECT_FALSE(f.AddRequestHeaders("ACCEPT: */*"));
        // HTTP_ADDREQ_FLAG_ADD repeats a header.
        EXPECT_TRUE(f.AddRequestHeaders("X-Probe: one", HTTP_ADDREQ_FLAG_ADD));
        EXPECT_TRUE(f.AddRequestHeaders("X-Probe: two", HTTP_ADDREQ_FLAG_ADD));
        // Several lines at once; the length cuts the second one off.
        const char* pair = "X-First: 1\r\nX-Second: 2\r\n";
        EXPECT_TRUE(f.AddRequestHeaders(pair, HTTP_ADDREQ_FLAG_ADD_IF_NEW, 12));
        EXPECT_FALSE(f.AddRequestHeaders("not a header"));
    };
    const Answer a = Fetch(r);
    ASSERT_FALSE(a.threw) << a.error;

    const auto seen = SeenFor(http, "/echo");
    ASSERT_TRUE(seen);
    EXPECT_EQ(Values(seen->headers, "User-Agent"), std::vector<std::string> { BrowserAgent });
    EXPECT_EQ(Values(seen->headers, "Accept"), std::vector<std::string> { "text/html, */*;q=0.1" });
    EXPECT_EQ(Values(seen->headers, "X-Probe"), (std::vector<std::string> { "one", "two" }));
    EXPECT_EQ(Values(seen->headers, "X-First"), std::vector<std::string> { "1" });
    EXPECT_TRUE(Values(seen->headers, "X-Second").empty());

    // An empty value still goes out (cpp-httplib drops such headers, so this
    // is read off the wire).
    std::mutex mutex;
    std::string head;
    LocalTcpServer wire([&](LocalTcpServer::Connection& c) {
        // Kept before the answer goes out: the client returns on the answer.
        {
            std::lock_guard lock(mutex);
            head = c.ReadRequestHead();
        }
        c.Send("HTTP/1.1 204 No Content\r\n\r\n");
    });
    ASSERT_TRUE(wire.Start());
    Request empty = To(wire.Port(), "/");
    empty.prepare = [](CHttpFile& f) { EXPECT_TRUE(f.AddRequestHeaders("X-Empty:\r\n")); };
    EXPECT_EQ(Fetch(empty).status, 204u);
    std::lock_guard lock(mutex);
    EXPECT_NE(head.find("\r\nX-Empty:\r\n"), std::string::npos) << head;
}

TEST_F(Internet, FallsBackToTheSessionAgent)
{
    Fetch(To(http.Port(), "/echo"));
    auto seen = SeenFor(http, "/echo");
    ASSERT_TRUE(seen);
    EXPECT_EQ(Values(seen->headers, "User-Agent"), std::vector<std::string> { "BrisquelTest/1.0" });

    // No agent given: the application's name.
    const CString saved = AfxGetAppName();
    AfxSetAppName("BrisquelAppName");
    Request unnamed = To(http.Port(), "/new");
    unnamed.agent = nullptr;
    Fetch(unnamed);
    AfxSetAppName(saved);
    seen = SeenFor(http, "/new");
    ASSERT_TRUE(seen);
    EXPECT_EQ(Values(seen->headers, "User-Agent"), std::vector<std::string> { "BrisquelAppName" });
}

TEST_F(Internet, TransportFailuresThrow)
{
    // Bound but not listening: the connection is refused.
    const int reserved = ::socket(AF_INET, SOCK_STREAM, 0);
    ASSERT_GE(reserved, 0);
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ASSERT_EQ(::bind(reserved, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(::getsockname(reserved, reinterpret_cast<sockaddr*>(&address), &length), 0);
    const Answer refused = Fetch(To(ntohs(address.sin_port), "/"));
    ::close(reserved);
    EXPECT_TRUE(refused.threw);
    EXPECT_EQ(refused.error, ERROR_INTERNET_CANNOT_CONNECT);

    // TLS spoken to a plain HTTP port, asked for on the connection or on the request.
    Request tls = To(http.Port(), "/lines");
    tls.connectionFlags = INTERNET_FLAG_SECURE;
    const Answer tlsConnection = Fetch(tls);
    EXPECT_TRUE(tlsConnection.threw);
    EXPECT_EQ(tlsConnection.error, ERROR_INTERNET_SECURITY_CHANNEL_ERROR);
    tls.connectionFlags = 0;
    tls.requestFlags |= INTERNET_FLAG_SECURE;
    EXPECT_EQ(Fetch(tls).error, ERROR_INTERNET_SECURITY_CHANNEL_ERROR);

    // Server names that cannot make a URL never reach the name service.
    for (const char* server : { "", "bad host", "127.0.0.1:70000", "127.0.0.1/x", "user@127.0.0.1" }) {
        Request bad = To(http.Port(), "/lines");
        bad.server = server;
        const Answer a = Fetch(bad);
        EXPECT_TRUE(a.threw) << server;
        EXPECT_EQ(a.error, ERROR_INTERNET_INVALID_URL) << server;
    }
    EXPECT_TRUE(http.Requests().empty()); // none of the above was served
}

TEST_F(Internet, BrokenAnswersThrow)
{
    LocalTcpServer resetMidBody([](LocalTcpServer::Connection& c) {
        c.ReadRequestHead();
        c.Send("HTTP/1.1 200 OK\r\nContent-Length: 100000\r\n\r\n" + std::string(1000, 'r'));
        std::this_thread::sleep_for(50ms);
        c.Reset();
    });
    LocalTcpServer closedEarly([](LocalTcpServer::Connection& c) {
        c.ReadRequestHead();
        c.Send("HTTP/1.1 200 OK\r\nContent-Length: 100000\r\n\r\nshort body\n");
    });
    LocalTcpServer brokenChunks([](LocalTcpServer::Connection& c) {
        c.ReadRequestHead();
        c.Send("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nhello\r\nzz-not-hex\r\n");
        c.HoldOpen(5s);
    });
    LocalTcpServer notHttp([](LocalTcpServer::Connection& c) {
        c.ReadRequestHead();
        c.Send(std::string("\x16\x03\x01\x00\x05garbage, not HTTP\r\n\r\n"));
    });
    for (LocalTcpServer* server : { &resetMidBody, &closedEarly, &brokenChunks, &notHttp })
        ASSERT_TRUE(server->Start());

    const Answer reset = Fetch(To(resetMidBody.Port(), "/"));
    EXPECT_TRUE(reset.threw);
    EXPECT_EQ(reset.error, ERROR_INTERNET_CONNECTION_RESET);
    EXPECT_TRUE(reset.body.empty());

    const Answer early = Fetch(To(closedEarly.Port(), "/"));
    EXPECT_TRUE(early.threw);
    EXPECT_EQ(early.error, ERROR_INTERNET_CONNECTION_ABORTED);

    const Answer chunks = Fetch(To(brokenChunks.Port(), "/"));
    EXPECT_TRUE(chunks.threw);
    EXPECT_LT(chunks.seconds, 1.5); // detected, not left to the stall limit

    const Answer garbage = Fetch(To(notHttp.Port(), "/"));
    EXPECT_TRUE(garbage.threw);
    EXPECT_EQ(garbage.error, ERROR_HTTP_INVALID_SERVER_RESPONSE);
}

// The time limits end a request as a time-out, whatever came before: a
// server that accepts and never answers and one that goes silent after its
// first line fail at the stall limit, one that drips a byte at a time at the
// total limit.
TEST_F(Internet, TimeLimitsEndTheRequestAsATimeOut)
{
    LocalTcpServer silent([](LocalTcpServer::Connection& c) { c.HoldOpen(30s); });
    ASSERT_TRUE(silent.Start());
    SetBounds(1, 10, 10, 16 << 20);
    const Answer never = Fetch(To(silent.Port(), "/"));
    EXPECT_TRUE(never.threw);
    EXPECT_EQ(never.error, ERROR_INTERNET_STALL_TIMEOUT);
    EXPECT_GE(never.seconds, 0.9);
    EXPECT_LT(never.seconds, 4.0);

    const Answer partial = Fetch(To(http.Port(), "/then-silence"));
    EXPECT_TRUE(partial.threw);
    EXPECT_EQ(partial.error, ERROR_INTERNET_STALL_TIMEOUT);
    EXPECT_TRUE(partial.lines.empty());
    EXPECT_GE(partial.seconds, 0.9);
    EXPECT_LT(partial.seconds, 4.0);

    // Bytes keep coming, so only the total limit ends it.
    SetBounds(1, 2, 10, 16 << 20);
    const Answer drip = Fetch(To(http.Port(), "/drip"));
    EXPECT_TRUE(drip.threw);
    EXPECT_EQ(drip.error, ERROR_INTERNET_TOTAL_TIMEOUT);
    EXPECT_GE(drip.seconds, 1.9);
    EXPECT_LT(drip.seconds, 5.0);
}

TEST_F(Internet, EndlessPageStopsAtTheSizeLimit)
{
    SetBounds(2, 10, 10, 300'000);
    const Answer a = Fetch(To(http.Port(), "/endless"));
    EXPECT_FALSE(a.threw) << a.error;
    EXPECT_EQ(a.status, 200u);
    EXPECT_EQ(a.body.size(), 300'000u);
    EXPECT_EQ(a.body.find_first_not_of('e'), std::string::npos);
    EXPECT_LT(a.seconds, 4.0);

    // A page of exactly the limit is read whole, not cut.
    SetBounds(2, 10, 10, 12);
    EXPECT_EQ(Fetch(To(http.Port(), "/ten")).body, "abcdefghij\nk");
}

TEST_F(Internet, ConcurrentRequestsDoNotInterfere)
{
    SetBounds(1, 3, 10, 16 << 20); // the dripping ones time out after three seconds
    std::vector<std::thread> workers;
    std::vector<Answer> answers(10); // the most checks the program runs at once
    for (std::size_t i = 0; i < answers.size(); ++i)
        workers.emplace_back([&, i] { answers[i] = Fetch(To(http.Port(), i % 2 ? "/lines" : "/drip")); });
    for (auto& w : workers)
        w.join();
    for (std::size_t i = 0; i < answers.size(); ++i) {
        if (i % 2) {
            EXPECT_FALSE(answers[i].threw)
                << i << " error " << answers[i].error << " after " << answers[i].seconds;
            EXPECT_EQ(answers[i].status, 200u) << i;
            EXPECT_EQ(answers[i].body, "first\nsecond\r\n\nlast-without-lf");
        } else {
            EXPECT_TRUE(answers[i].threw) << i;
            EXPECT_EQ(answers[i].error, ERROR_INTERNET_TOTAL_TIMEOUT) << i;
            EXPECT_GE(answers[i].seconds, 2.9) << i;
        }
    }
}

// Proxies come from the environment as libcurl reads them; the proxy here is
// a scripted server on 127.0.0.1, so the name example.test is never looked up.
TEST_F(Internet, UsesTheProxyFromTheEnvironment)
{
    std::mutex mutex;
    std::string requestLine;
    LocalTcpServer proxy([&](LocalTcpServer::Connection& c) {
        const std::string head = c.ReadRequestHead();
        {
            std::lock_guard lock(mutex);
            requestLine = head.substr(0, head.find("\r\n"));
        }
        c.Send("HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\nvia proxy\n");
    });
    ASSERT_TRUE(proxy.Start());

    struct EnvironmentGuard {
        std::vector<std::pair<std::string, std::optional<std::string>>> saved;
        void Set(const char* name, const char* value)
        {
            const char* old = std::getenv(name);
            saved.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
            if (value)
                setenv(name, value, 1);
            else
                unsetenv(name);
        }
        ~EnvironmentGuard()
        {
            for (auto& [name, value] : saved) {
                if (value)
                    setenv(name.c_str(), value->c_str(), 1);
                else
                    unsetenv(name.c_str());
            }
        }
    } environment;
    environment.Set("http_proxy", proxy.Url("").c_str());
    environment.Set("no_proxy", nullptr);
    environment.Set("NO_PROXY", nullptr);

    Request r;
    r.server = "example.test";
    r.object = "/page?x=1";
    const Answer a = Fetch(r);
    ASSERT_FALSE(a.threw) << a.error;
    EXPECT_EQ(a.body, "via proxy\n");
    std::lock_guard lock(mutex);
    EXPECT_EQ(requestLine, "GET http://example.test/page?x=1 HTTP/1.1");
}

TEST(InternetSession, OptionsAndClosedHandles)
{
    CInternetSession session("BrisquelTest/1.0");
    DWORD value = 5000;
    WORD shortValue = 1;
    EXPECT_TRUE(session.SetOption(INTERNET_OPTION_CONNECT_TIMEOUT, &value, sizeof value));
    EXPECT_EQ(session.GetConnectTimeout(), 5000u);
    EXPECT_TRUE(session.SetOption(INTERNET_OPTION_CONNECT_RETRIES, &value, sizeof value));
    EXPECT_TRUE(session.SetOption(INTERNET_OPTION_CONNECT_BACKOFF, &value, sizeof value));
    EXPECT_FALSE(session.SetOption(INTERNET_OPTION_CONNECT_TIMEOUT, &shortValue, sizeof shortValue));
    EXPECT_FALSE(session.SetOption(INTERNET_OPTION_CONNECT_TIMEOUT, nullptr, 4));
    EXPECT_FALSE(session.SetOption(77, &value, sizeof value));
    EXPECT_TRUE(session.EnableStatusCallback(TRUE));

    std::unique_ptr<CHttpConnection> connection(session.GetHttpConnection("127.0.0.1"));
    connection->Close();
    EXPECT_THROW(
        {
            try {
                delete connection->OpenRequest(CHttpConnection::HTTP_VERB_GET, "/");
            } catch (CInternetException* e) {
                EXPECT_EQ(e->m_dwError, ERROR_INTERNET_INCORRECT_HANDLE_STATE);
                e->Delete();
                throw 1;
            }
        },
        int);
    session.Close();
    EXPECT_THROW(
        {
            try {
                delete session.GetHttpConnection("127.0.0.1");
            } catch (CInternetException* e) {
                e->Delete();
                throw 1;
            }
        },
        int);
}

} // namespace
