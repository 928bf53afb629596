// The probe's verdicts against real servers on 127.0.0.1: what counts as a
// page, as the registrar's domain-error page, and as no usable answer; and
// how a row's text becomes the URL that is fetched.
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "check/CUrlCheckThread.h"
#include "check/ProbeReason.h"
#include "tests/check/CheckTestSupport.h"
#include "tests/support/LocalHttpServer.h"
#include "tests/support/LocalTcpServer.h"
#include "tests/support/TestDeadline.h"

using namespace std::chrono_literals;
using checktest::kDomainErrorMarker;

namespace {

// One probe as the worker runs it, on a thread object that is never started.
int Probe(const std::string& url)
{
    TestDeadline deadline(10s, "probe of " + url);
    UrlCheckJob job {};
    CUrlCheckThread probe(UrlCheckThreadProc, &job);
    EXPECT_EQ(probe.OpenSession(), 1);
    return probe.ProbeUrl(CString(url.c_str()));
}

CString Normalized(const char* text)
{
    UrlCheckJob job {};
    CUrlCheckThread probe(UrlCheckThreadProc, &job);
    return probe.NormalizeUrl(CString(text));
}

void Serve(LocalHttpServer& server, const std::string& path, std::string body, int status = 200)
{
    server.Get(path, [body = std::move(body), status](const httplib::Request&, httplib::Response& res) {
        res.status = status;
        res.set_content(body, "text/html");
    });
}

class ProbeVerdict : public ::testing::Test {
protected:
    checktest::ShortBounds m_bounds;
};

} // namespace

TEST_F(ProbeVerdict, PagesAndDomainErrorPages)
{
    const std::string filler(3000, 'x');
    std::string straddling(4090, 'y'); // the marker crosses the 4095-byte read
    straddling += kDomainErrorMarker + "</TITLE>\n";

    struct Case {
        const char* path;
        std::string body;
        int expected;
    } cases[] = {
        { "/plain", "<html><head><title>Shop</title></head>\n<body>hello</body></html>\n", PROBE_VALID },
        { "/top", kDomainErrorMarker + "</TITLE>\n<body>x</body>\n", PROBE_INVALID },
        { "/middle",
            "<html>\n" + filler + "\n" + filler + "<HEAD>" + kDomainErrorMarker + "</TITLE>\n" + filler
                + "\n",
            PROBE_INVALID },
        { "/end", "<html>\n" + filler + "\n" + kDomainErrorMarker, PROBE_INVALID },
        { "/straddle", straddling, PROBE_INVALID },
        { "/lower", "<title>\xD3\xF2\xC3\xFB\xBE\xC0\xB4\xED\xCF\xB5\xCD\xB3</title>\n", PROBE_VALID },
        { "/blank", "<TITLE> \xD3\xF2\xC3\xFB\xBE\xC0\xB4\xED\xCF\xB5\xCD\xB3</TITLE>\n", PROBE_VALID },
        { "/utf8",
            "<TITLE>\xE5\x9F\x9F\xE5\x90\x8D\xE7\xBA\xA0\xE9\x94\x99\xE7\xB3\xBB\xE7\xBB\x9F</TITLE>\n",
            PROBE_VALID },
        { "/empty", "", PROBE_TIMEOUT },
        { "/nul", std::string("\0first\n\0second\n\0third", 21), PROBE_TIMEOUT },
        { "/missing", "not here\n", PROBE_TIMEOUT },
        { "/broken", "server error\n", PROBE_TIMEOUT },
    };
    LocalHttpServer server;
    for (const Case& c : cases) {
        const int status = std::string(c.path) == "/missing" ? 404
            : std::string(c.path) == "/broken"               ? 500
                                                             : 200;
        Serve(server, c.path, c.body, status);
    }
    ASSERT_TRUE(server.Start());
    for (const Case& c : cases)
        EXPECT_EQ(Probe(server.Url(c.path)), c.expected) << c.path;
}

TEST_F(ProbeVerdict, RedirectsAreFollowedWithinTheirLimit)
{
    LocalHttpServer server;
    server.Get(
        "/moved", [](const httplib::Request&, httplib::Response& res) { res.set_redirect("/page", 301); });
    server.Get("/to-error",
        [](const httplib::Request&, httplib::Response& res) { res.set_redirect("/error", 302); });
    server.Get(
        "/loop", [](const httplib::Request&, httplib::Response& res) { res.set_redirect("/loop", 301); });
    Serve(server, "/page", "<html>landed</html>\n");
    Serve(server, "/error", kDomainErrorMarker + "\n");
    ASSERT_TRUE(server.Start());

    EXPECT_EQ(Probe(server.Url("/moved")), PROBE_VALID);
    EXPECT_EQ(Probe(server.Url("/to-error")), PROBE_INVALID);
    EXPECT_EQ(Probe(server.Url("/loop")), PROBE_TIMEOUT);
}

TEST_F(ProbeVerdict, NoServerOrASilentOneIsNoAnswer)
{
    const int port = ClosedLoopbackPort();
    ASSERT_GT(port, 0);
    EXPECT_EQ(Probe("http://127.0.0.1:" + std::to_string(port) + "/"), PROBE_TIMEOUT);

    LocalTcpServer silent([](LocalTcpServer::Connection& c) {
        c.ReadRequestHead();
        c.HoldOpen(10s);
    });
    ASSERT_TRUE(silent.Start());
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Probe(silent.Url("/")), PROBE_TIMEOUT);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s) << "the stall and total limits were not applied";
    EXPECT_EQ(silent.AcceptedConnections(), 1);
}

TEST_F(ProbeVerdict, AHugeBodyIsReadOnlyUpToTheLimit)
{
    // 20 MB whose only domain-error marker lies past the 1 MB read limit:
    // the probe must stop reading and judge what it has.
    std::string body;
    body.reserve(20u << 20);
    const std::string line(99, 'z');
    while (body.size() < (20u << 20))
        body += line + "\n";
    body += kDomainErrorMarker;
    LocalHttpServer server;
    Serve(server, "/huge", std::move(body));
    ASSERT_TRUE(server.Start());
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Probe(server.Url("/huge")), PROBE_VALID);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
}

TEST_F(ProbeVerdict, ALongUrlArrivesWhole)
{
    LocalHttpServer server;
    Serve(server, "/long/.*", "<html>ok</html>\n");
    ASSERT_TRUE(server.Start());
    const std::string prefix = server.Url("/long/");
    const std::string url = prefix + std::string(300 - prefix.size(), 'a');
    ASSERT_EQ(url.size(), 300u);
    EXPECT_EQ(Probe(url), PROBE_VALID);
    const auto seen = server.Requests();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].path, url.substr(url.find("/long/")));
}

TEST(ProbeNormalizeUrl, SchemeIsAddedOnlyWhereNoneIsNamed)
{
    EXPECT_EQ(Normalized("example.test"), "http://example.test");
    EXPECT_EQ(Normalized("www.example.test/a/b.html?q=1"), "http://www.example.test/a/b.html?q=1");
    EXPECT_EQ(Normalized("https://example.test/x"), "https://example.test/x");
    EXPECT_EQ(Normalized("HTTP://example.test/"), "HTTP://example.test/");
    EXPECT_EQ(Normalized("HttpS://example.test/"), "HttpS://example.test/");
    EXPECT_EQ(Normalized("example.test/go?to=http://other.example.test/"),
        "example.test/go?to=http://other.example.test/");
    EXPECT_EQ(Normalized("httpexample.test"), "http://httpexample.test");
    EXPECT_EQ(Normalized(""), "");
}

TEST_F(ProbeVerdict, BareHostIsFetchedOverHttp)
{
    LocalHttpServer server;
    Serve(server, "/bare", "<html>ok</html>\n");
    ASSERT_TRUE(server.Start());
    EXPECT_EQ(Probe("127.0.0.1:" + std::to_string(server.Port()) + "/bare"), PROBE_VALID);
}
