// What a probe tells beside its verdict, each kind of outcome brought about
// by the case that causes it, through real workers against servers on
// 127.0.0.1; the verdicts themselves stay as they were.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <chrono>
#include <map>
#include <netinet/in.h>
#include <string>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

#include "app/Messages.h"
#include "check/ProbeDetails.h"
#include "check/ProbeReason.h"
#include "tests/check/CheckTestSupport.h"
#include "tests/support/LocalHttpServer.h"
#include "tests/support/LocalTcpServer.h"
#include "tests/support/SelfSignedTls.h"
#include "tests/support/TestDeadline.h"

using namespace std::chrono_literals;
using checktest::PumpUntil;
using checktest::StartWorker;

namespace {

// Stall 1 s and total 2 s keep the slowest cases short.
class DetailBounds {
public:
    DetailBounds()
        : m_saved(AfxGetInternetBounds())
    {
        AfxSetInternetBounds(InternetBounds { 1, 2, 5, 1u << 20, {} });
    }
    ~DetailBounds() { AfxSetInternetBounds(m_saved); }

private:
    InternetBounds m_saved;
};

struct Verdict {
    UINT message;
    WPARAM reason;
    bool detailed;
    ProbeDetails details;
};

// Stands in for the list view: takes the details posted with each verdict.
class DetailsTarget : public CWnd {
public:
    DetailsTarget() { EXPECT_TRUE(Create(nullptr, "verdicts", WS_POPUP, CRect(0, 0, 40, 30), nullptr, 0)); }
    ~DetailsTarget() override { DestroyWindow(); }

    BOOL PreTranslateMessage(MSG* pMsg) override
    {
        if (pMsg->message == UM_PROBE_OK || pMsg->message == UM_PROBE_FAILED) {
            const std::unique_ptr<CObject> attachment = AfxTakeMessageAttachment(pMsg);
            const auto* details = dynamic_cast<const ProbeDetails*>(attachment.get());
            verdicts[static_cast<int>(pMsg->lParam)].push_back(
                { pMsg->message, pMsg->wParam, details != nullptr, details ? *details : ProbeDetails {} });
        }
        return CWnd::PreTranslateMessage(pMsg);
    }

    std::map<int, std::vector<Verdict>> verdicts;
};

// A listener whose accept queue is full: further handshakes are dropped, so
// connecting hangs as it would towards a host that is down.
class FullListener {
public:
    FullListener()
    {
        m_listener = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address {};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (::bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0
            || ::listen(m_listener, 0) != 0
            || ::getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length) != 0)
            return;
        for (int i = 0; i < 4; ++i) {
            const int s = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
            ::connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address);
            m_fillers.push_back(s);
        }
        m_port = ntohs(address.sin_port);
    }
    ~FullListener()
    {
        for (int s : m_fillers)
            ::close(s);
        ::close(m_listener);
    }
    int Port() const { return m_port; }

private:
    int m_listener = -1;
    int m_port = -1;
    std::vector<int> m_fillers;
};

void Serve(LocalHttpServer& server, const std::string& path, int status, std::string body)
{
    server.Get(path, [status, body = std::move(body)](const httplib::Request&, httplib::Response& res) {
        res.status = status;
        res.set_content(body, "text/html");
    });
}

struct Case {
    const char* name;
    std::string url;
    WPARAM reason;
    ProbeOutcome outcome;
    DWORD status;
    std::string statusText;
    std::string finalUrl;
    bool errorText; // the client's words come along
};

} // namespace

TEST(ProbeDetailKinds, EachOutcomeIsToldApartBesideItsVerdict)
{
    TestDeadline deadline(30s, "probe details");
    DetailBounds bounds;
    const std::string page = "<html><head><title>Shop</title></head>\n<body>hello</body></html>\n";
    LocalHttpServer http;
    Serve(http, "/page", 200, page);
    Serve(http, "/marker", 200, checktest::kDomainErrorMarker + "</TITLE>\n");
    Serve(http, "/missing", 404, "no such page\n");
    Serve(http, "/broken", 500, "server trouble\n");
    Serve(http, "/empty", 200, "");
    http.Get(
        "/moved", [](const httplib::Request&, httplib::Response& res) { res.set_redirect("/page", 301); });
    http.Get(
        "/loop", [](const httplib::Request&, httplib::Response& res) { res.set_redirect("/loop", 302); });
    ASSERT_TRUE(http.Start());
    LocalTcpServer scripted([](LocalTcpServer::Connection& c) {
        const std::string head = c.ReadRequestHead(3s);
        if (head.find("GET /drip ") == 0) {
            // A byte every 200 ms: never a stall, only the total time ends it.
            if (!c.Send("HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nConnection: close\r\n\r\n"))
                return;
            while (c.Send("x"))
                c.HoldOpen(200ms);
        } else if (head.find("GET /garbage ") == 0) {
            c.Send("this is not HTTP\r\n\r\n");
            c.HoldOpen(3s);
        } else {
            c.HoldOpen(5s); // accepted, never answered
        }
    });
    ASSERT_TRUE(scripted.Start());
    const SslContext tlsContext = SelfSignedContext();
    ASSERT_TRUE(tlsContext);
    LocalTcpServer tls([&](LocalTcpServer::Connection& c) { ServeTlsOk(tlsContext.get(), c); });
    ASSERT_TRUE(tls.Start());
    const FullListener full;
    ASSERT_GT(full.Port(), 0);
    const int closed = ClosedLoopbackPort();
    ASSERT_GT(closed, 0);

    const std::string local = "http://127.0.0.1:";
    const std::string script = local + std::to_string(scripted.Port());
    using enum ProbeOutcome;
    const std::vector<Case> cases = {
        { "valid page", http.Url("/page"), PROBE_VALID, PageValid, 200, "", "", false },
        { "domain-error page", http.Url("/marker"), PROBE_INVALID, DomainErrorPage, 200, "", "", false },
        { "404", http.Url("/missing"), PROBE_TIMEOUT, HttpStatus, 404, "Not Found", "", false },
        { "500", http.Url("/broken"), PROBE_TIMEOUT, HttpStatus, 500, "Internal Server Error", "", false },
        { "empty page", http.Url("/empty"), PROBE_TIMEOUT, EmptyPage, 200, "", "", false },
        { "redirected", http.Url("/moved"), PROBE_VALID, PageValid, 200, "", http.Url("/page"), false },
        { "redirect loop", http.Url("/loop"), PROBE_TIMEOUT, TooManyRedirects, 302, "Found", "", false },
        { "refused", local + std::to_string(closed) + "/", PROBE_TIMEOUT, ConnectionRefused, 0, "", "",
            false },
        { "connect time-out", local + std::to_string(full.Port()) + "/", PROBE_TIMEOUT, ConnectTimeout, 0, "",
            "", false },
        { "stalled", script + "/silent", PROBE_TIMEOUT, Stalled, 0, "", "", false },
        { "over the total time", script + "/drip", PROBE_TIMEOUT, TotalTimeout, 200, "", "", false },
        { "name does not resolve", "http://nowhere.invalid/", PROBE_TIMEOUT, NameNotResolved, 0, "", "",
            false },
        { "bad certificate", "https://127.0.0.1:" + std::to_string(tls.Port()) + "/", PROBE_TIMEOUT,
            TlsFailure, 0, "", "", true },
        { "no host", "http://:80/x", PROBE_TIMEOUT, BadUrl, 0, "", "", true },
        { "not HTTP", script + "/garbage", PROBE_TIMEOUT, ClientError, 0, "", "", true },
    };

    DetailsTarget target;
    for (std::size_t row = 0; row < cases.size(); ++row)
        ASSERT_TRUE(StartWorker(target.m_hWnd, cases[row].url, static_cast<int>(row))) << cases[row].name;
    EXPECT_TRUE(PumpUntil([&] { return target.verdicts.size() >= cases.size(); }, 10s));
    checktest::PumpFor(200ms); // a second verdict for some row would show up by now

    for (std::size_t row = 0; row < cases.size(); ++row) {
        const Case& c = cases[row];
        SCOPED_TRACE(c.name);
        const auto& verdicts = target.verdicts[static_cast<int>(row)];
        ASSERT_EQ(verdicts.size(), 1u);
        const Verdict& v = verdicts[0];
        EXPECT_EQ(v.message, c.reason == PROBE_VALID ? UM_PROBE_OK : UM_PROBE_FAILED);
        EXPECT_EQ(v.reason, c.reason);
        ASSERT_TRUE(v.detailed);
        EXPECT_EQ(static_cast<int>(v.details.outcome), static_cast<int>(c.outcome))
            << DescribeProbeDetails(v.details).ToUtf8();
        EXPECT_EQ(v.details.dwStatus, c.status);
        EXPECT_EQ(v.details.strStatusText.Bytes(), c.statusText);
        EXPECT_EQ(v.details.strFinalUrl.Bytes(), c.finalUrl);
        EXPECT_EQ(!v.details.strErrorText.IsEmpty(), c.errorText) << v.details.strErrorText.ToUtf8();
    }
    const auto detailsOf = [&](const char* name) {
        for (std::size_t row = 0; row < cases.size(); ++row)
            if (std::string(cases[row].name) == name)
                return target.verdicts[static_cast<int>(row)].at(0).details;
        return ProbeDetails {};
    };
    // What was read, and for how long.
    EXPECT_EQ(detailsOf("valid page").dwBytesRead, page.size());
    EXPECT_EQ(detailsOf("404").dwBytesRead, 13u);
    EXPECT_GE(detailsOf("stalled").dwElapsedMs, 900u);
    EXPECT_LT(detailsOf("stalled").dwElapsedMs, 1900u);
    EXPECT_GE(detailsOf("over the total time").dwElapsedMs, 1900u);
    EXPECT_NE(detailsOf("bad certificate").strErrorText.Find("certificate"), -1);
    // Names under .invalid never went to a name server: refused at once.
    EXPECT_LT(detailsOf("name does not resolve").dwElapsedMs, 100u);
}
