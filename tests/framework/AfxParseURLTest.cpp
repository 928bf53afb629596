#include <gtest/gtest.h>

#include <random>
#include <string>

#include "framework/inet/AfxParseURL.h"

namespace {

struct Parsed {
    BOOL ok;
    DWORD service;
    std::string server;
    std::string object;
    INTERNET_PORT port;
};

Parsed Parse(const std::string& url)
{
    Parsed p {};
    CString server("stale"), object("stale");
    p.ok = AfxParseURL(url.c_str(), p.service, server, object, p.port);
    p.server = server.Bytes();
    p.object = object.Bytes();
    return p;
}

} // namespace

TEST(AfxParseURL, SplitsHttpAndHttpsUrls)
{
    struct Case {
        const char* url;
        DWORD service;
        const char* server;
        const char* object;
        INTERNET_PORT port;
    };
    const Case cases[] = {
        { "http://example.test/", AFX_INET_SERVICE_HTTP, "example.test", "/", 80 },
        { "HTTP://Example.Test", AFX_INET_SERVICE_HTTP, "example.test", "/", 80 },
        { "https://example.test", AFX_INET_SERVICE_HTTPS, "example.test", "/", 443 },
        { "HtTpS://example.test:8443/a/b?x=1&y=2#part", AFX_INET_SERVICE_HTTPS, "example.test",
            "/a/b?x=1&y=2", 8443 },
        { "http://example.test?q=1", AFX_INET_SERVICE_HTTP, "example.test", "/?q=1", 80 },
        { "http://example.test#top", AFX_INET_SERVICE_HTTP, "example.test", "/", 80 },
        { "http://user:pw@example.test:81/p", AFX_INET_SERVICE_HTTP, "example.test", "/p", 81 },
        { "http://a@b@example.test/p", AFX_INET_SERVICE_HTTP, "example.test", "/p", 80 },
        { "http://example.test:/p", AFX_INET_SERVICE_HTTP, "example.test", "/p", 80 },
        { "http://example.test:65535/", AFX_INET_SERVICE_HTTP, "example.test", "/", 65535 },
        { "http://[::1]:8080/x", AFX_INET_SERVICE_HTTP, "::1", "/x", 8080 },
        { "https://[2001:db8::7]/", AFX_INET_SERVICE_HTTPS, "2001:db8::7", "/", 443 },
        { "http:/example.test/", AFX_INET_SERVICE_HTTP, "example.test", "/", 80 },
        { "http:///path", AFX_INET_SERVICE_HTTP, "path", "/", 80 },
        // "中文" in code page 936: the host in its ASCII form, the path in UTF-8.
        { "http://\xD6\xD0\xCE\xC4.example.test/\xD6\xD0", AFX_INET_SERVICE_HTTP, "xn--fiq228c.example.test",
            "/%E4%B8%AD", 80 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.url);
        const Parsed p = Parse(c.url);
        EXPECT_TRUE(p.ok);
        EXPECT_EQ(p.service, c.service);
        EXPECT_EQ(p.server, c.server);
        EXPECT_EQ(p.object, c.object);
        EXPECT_EQ(p.port, c.port);
    }
}

TEST(AfxParseURL, RefusesWhatIsNotAnHttpUrl)
{
    const char* const cases[] = {
        "",
        "example.test/page",
        "ftp://example.test/",
        "mailto:someone",
        "http://",
        "http://:80/",
        "http://user@/x",
        "http://exa mple.test/",
        "http://example.test:70000/",
        "http://example.test:65536/",
        "http://example.test:99999999999999999999/",
        "http://example.test:0/",
        "http://example.test:8o/",
        "http://example.test:-1/",
        "http://[::1/",
        "http://[]/",
        "http://[zz::1]/",
        "http://[::1]x/",
        "http://[127.0.0.1]/",
        "http://1.2.3.4.5/",
    };
    for (const char* url : cases) {
        SCOPED_TRACE(url);
        const Parsed p = Parse(url);
        EXPECT_FALSE(p.ok);
        EXPECT_EQ(p.server, "");
    }
    DWORD service = 99;
    CString server("x"), object;
    INTERNET_PORT port = 1;
    EXPECT_FALSE(AfxParseURL(nullptr, service, server, object, port));
    EXPECT_TRUE(server.IsEmpty());
}

TEST(AfxParseURL, SurvivesHugeAndRandomInput)
{
    const std::string host(1 << 20, 'a');
    const Parsed huge = Parse("http://" + host + "/x?" + std::string(1 << 20, 'q'));
    EXPECT_TRUE(huge.ok);
    EXPECT_EQ(huge.server.size(), host.size());
    EXPECT_EQ(huge.object.size(), 3u + (1u << 20));

    // Whatever the bytes, a success carries a server, an object and a port,
    // and a failure carries no server.
    std::mt19937 random(12345);
    const std::string prefixes[] = { "http://", "HTTPS://", "http://[", "http://a:", "" };
    for (int i = 0; i < 20000; ++i) {
        std::string url = prefixes[i % 5];
        const int length = static_cast<int>(random() % 24);
        for (int k = 0; k < length; ++k)
            url += static_cast<char>(1 + random() % 255);
        const Parsed p = Parse(url);
        if (p.ok) {
            EXPECT_FALSE(p.server.empty()) << url;
            ASSERT_FALSE(p.object.empty()) << url;
            EXPECT_EQ(p.object[0], '/') << url;
            EXPECT_NE(p.port, 0) << url;
            EXPECT_EQ(p.object.find_first_of(" \t\r\n\"<>"), std::string::npos) << url;
        } else {
            EXPECT_TRUE(p.server.empty()) << url;
        }
    }
}
