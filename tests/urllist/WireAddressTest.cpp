// Addresses as a browser requests them. Each row text of the table must
// reach the server as the request target and Host header beside it, or be
// refused with no request, the part at fault in its details. The table runs
// through the real import, probe and export from a file in each encoding
// the import reads, every host name led to one server on 127.0.0.1; each
// export then gives the file back byte for byte.
#include <fstream>
#include <iconv.h>
#include <iterator>

#include "ListFixture.h"
#include "app/Messages.h"
#include "check/ProbeDetails.h"
#include "framework/inet/InternetBounds.h"
#include "framework/inet/WebUrl.h"
#include "tests/check/CheckTestSupport.h"
#include "tests/support/LocalHttpServer.h"

namespace {

struct WireCase {
    const char* text; // the row, as UTF-8
    const char* target; // the request line's target; empty: refused
    const char* host; // the Host header
    WebUrlFault fault;
};

// Expected targets and hosts: what the WHATWG URL parser of Node.js 20.20
// (ada 2.9.2) gives for each text with "http://" in front where the text
// names no scheme (new URL(text): pathname + search, host).
const WireCase kWireCases[] = {
    { "http://wire.test/中文/路径?q=中文", "/%E4%B8%AD%E6%96%87/%E8%B7%AF%E5%BE%84?q=%E4%B8%AD%E6%96%87",
        "wire.test", WebUrlFault::None },
    { "wire.test/百科/北京", "/%E7%99%BE%E7%A7%91/%E5%8C%97%E4%BA%AC", "wire.test", WebUrlFault::None },
    { "http://例子.测试/", "/", "xn--fsqu00a.xn--0zwm56d", WebUrlFault::None },
    { "例子.测试/路径?词=值", "/%E8%B7%AF%E5%BE%84?%E8%AF%8D=%E5%80%BC", "xn--fsqu00a.xn--0zwm56d",
        WebUrlFault::None },
    { "http://%E4%BE%8B%E5%AD%90.test/a", "/a", "xn--fsqu00a.test", WebUrlFault::None },
    { "http://faß.test/", "/", "xn--fa-hia.test", WebUrlFault::None },
    { "http://ＷＩＲＥ．ｔｅｓｔ/全角.html", "/%E5%85%A8%E8%A7%92.html", "wire.test", WebUrlFault::None },
    { "HTTP://WIRE.TEST/Path", "/Path", "wire.test", WebUrlFault::None },
    { "http://wire.test./dot", "/dot", "wire.test.", WebUrlFault::None },
    { "http://wire.test/a/%2e%2E/c", "/c", "wire.test", WebUrlFault::None },
    { "http://wire.test/a/./b/../c/.", "/a/c/", "wire.test", WebUrlFault::None },
    { "http://wire.test/x/..%2F.%2e/y", "/x/..%2F.%2e/y", "wire.test", WebUrlFault::None },
    { "http://wire.test\\a\\b.html", "/a/b.html", "wire.test", WebUrlFault::None },
    { "http:wire.test/no-slashes", "/no-slashes", "wire.test", WebUrlFault::None },
    { "http://wire.test/in\tner\ttab", "/innertab", "wire.test", WebUrlFault::None },
    { "http://wi\tre.test/host-tab", "/host-tab", "wire.test", WebUrlFault::None },
    { "http://wire.test/\"<>`{}|^", "/%22%3C%3E%60%7B%7D|^", "wire.test", WebUrlFault::None },
    { "http://wire.test/?q=\"<>`{}|^'", "/?q=%22%3C%3E`{}|^%27", "wire.test", WebUrlFault::None },
    { "http://wire.test/%zz%41%E4%B8%AD%2f", "/%zz%41%E4%B8%AD%2f", "wire.test", WebUrlFault::None },
    { "http://wire.test/?a=é&b=😀&c=a%20b+c", "/?a=%C3%A9&b=%F0%9F%98%80&c=a%20b+c", "wire.test",
        WebUrlFault::None },
    { "http://wire.test/page.html#片段", "/page.html", "wire.test", WebUrlFault::None },
    { "http://user:pw@wire.test/secret", "/secret", "wire.test", WebUrlFault::None },
    { "http://wire.test:80/default-port", "/default-port", "wire.test", WebUrlFault::None },
    { "http://wire.test:0080/leading-zeros", "/leading-zeros", "wire.test", WebUrlFault::None },
    { "http://wire.test:8080/other-port", "/other-port", "wire.test:8080", WebUrlFault::None },
    { "http://0x7f.1/hex.octet", "/hex.octet", "127.0.0.1", WebUrlFault::None },
    { "http://0300.0250.1.1/octal", "/octal", "192.168.1.1", WebUrlFault::None },
    { "http://3232235777/one.number", "/one.number", "192.168.1.1", WebUrlFault::None },
    { "http://127.1/short.form", "/short.form", "127.0.0.1", WebUrlFault::None },
    { "http://[::1]:8080/v6.html", "/v6.html", "[::1]:8080", WebUrlFault::None },
    { "http://[0:0:0:0:0:0:0:1]/v6.long", "/v6.long", "[::1]", WebUrlFault::None },
    { "http://[::ffff:192.0.2.1]/mapped", "/mapped", "[::ffff:c000:201]", WebUrlFault::None },
    { "http://1.2.3.4.5/", "", "", WebUrlFault::Ipv4Address },
    { "http://999.1.1.1/", "", "", WebUrlFault::Ipv4Address },
    { "http://0x100000000/x.y", "", "", WebUrlFault::Ipv4Address },
    { "http://[1::2::3]/x.y", "", "", WebUrlFault::Ipv6Address },
    { "http://wire.test:99999/", "", "", WebUrlFault::Port },
    { "http://wire.test:8o/", "", "", WebUrlFault::Port },
    { "http://xn--abc.test/", "", "", WebUrlFault::DomainName },
    { "http://a<b.test/", "", "", WebUrlFault::Host },
    { "http://:80/x.y", "", "", WebUrlFault::Host },
    { "example.test/go?to=http://other.test/", "", "", WebUrlFault::Scheme },
};

// UTF-8 text in another encoding, converted by the C library's own tables.
std::string Converted(const std::string& utf8, const char* encoding)
{
    const iconv_t cd = iconv_open(encoding, "UTF-8");
    EXPECT_NE(cd, reinterpret_cast<iconv_t>(-1)) << encoding;
    std::string out(utf8.size() * 4 + 8, '\0');
    char* in = const_cast<char*>(utf8.data());
    std::size_t inLeft = utf8.size();
    char* dst = out.data();
    std::size_t dstLeft = out.size();
    EXPECT_NE(iconv(cd, &in, &inLeft, &dst, &dstLeft), static_cast<std::size_t>(-1)) << encoding;
    iconv_close(cd);
    out.resize(out.size() - dstLeft);
    return out;
}

struct FileEncoding {
    const char* name;
    const char* iconvName;
    std::string mark;
};

class WireAddressTest : public ListFixture { };

TEST_F(WireAddressTest, RowsAreRequestedAsABrowserWouldFromFilesInEveryEncoding)
{
    LocalHttpServer server;
    server.Get(".*", [](const httplib::Request& req, httplib::Response& res) {
        if (req.path == "/go.redirect") {
            res.status = 302;
            res.set_header("Location", "http://xn--fsqu00a.xn--0zwm56d/%E4%B8%AD%E6%96%87?q=%E8%AF%8D");
            return;
        }
        res.set_content("<html>page</html>\n", "text/html");
    });
    ASSERT_TRUE(server.Start());
    checktest::ShortBounds bounds;
    InternetBounds routed = AfxGetInternetBounds();
    routed.connectTo = "127.0.0.1:" + std::to_string(server.Port());
    AfxSetInternetBounds(routed);

    // The table, then a row whose redirect leads to an international name.
    std::string lines;
    for (const WireCase& c : kWireCases)
        lines += std::string(c.text) + "\r\n";
    lines += "http://wire.test/go.redirect\r\n";
    const int rows = static_cast<int>(std::size(kWireCases)) + 1;

    const FileEncoding encodings[] = {
        { "GB18030", "GB18030", "" },
        { "UTF-8", "UTF-8", "" },
        { "UTF-8 with its mark", "UTF-8", "\xEF\xBB\xBF" },
        { "UTF-16LE", "UTF-16LE", "\xFF\xFE" },
        { "UTF-16BE", "UTF-16BE", "\xFE\xFF" },
    };
    for (const FileEncoding& encoding : encodings) {
        SCOPED_TRACE(encoding.name);
        const std::string file = encoding.mark + Converted(lines, encoding.iconvName);
        const std::size_t seenBefore = server.Requests().size();
        ASSERT_EQ(Import(file), rows);
        CheckAll(1); // one at a time: the requests come in row order

        const auto seen = server.Requests();
        std::size_t next = seenBefore;
        for (int row = 0; row + 1 < rows; ++row) {
            const WireCase& c = kWireCases[row];
            SCOPED_TRACE(c.text);
            EXPECT_EQ(Cell(row, COL_URL), Gbk(c.text));
            ProbeDetails details;
            ASSERT_TRUE(m_view->GetProbeDetails(row, details));
            if (c.fault != WebUrlFault::None) {
                EXPECT_EQ(Cell(row, COL_VALIDITY), Validity::TimedOut().Bytes());
                EXPECT_EQ(static_cast<int>(details.outcome), static_cast<int>(ProbeOutcome::BadUrl));
                EXPECT_EQ(details.strErrorText.Bytes(), DescribeUrlFault(c.fault).Bytes());
                continue;
            }
            EXPECT_EQ(Cell(row, COL_VALIDITY), "OK");
            ASSERT_LT(next, seen.size());
            EXPECT_EQ(seen[next].target, c.target);
            const auto host = seen[next].headers.find("Host");
            ASSERT_NE(host, seen[next].headers.end());
            EXPECT_EQ(host->second, c.host);
            ++next;
        }
        // The redirect's final address, as people read it.
        ASSERT_EQ(seen.size(), next + 2);
        ProbeDetails redirected;
        ASSERT_TRUE(m_view->GetProbeDetails(rows - 1, redirected));
        EXPECT_EQ(redirected.strFinalUrl.Bytes(), Gbk("http://例子.测试/中文?q=词"));

        m_dialogAnswer = { IDOK, CString(m_dir + "/export.txt") };
        RunOnView(UM_EXPORT_RUN, 0, UM_EXPORT_RESULT);
        std::ifstream exported(m_dir + "/export.txt", std::ios::binary);
        const std::string back((std::istreambuf_iterator<char>(exported)), std::istreambuf_iterator<char>());
        EXPECT_TRUE(back == file) << "the export differs from the file imported";
    }
}

} // namespace
