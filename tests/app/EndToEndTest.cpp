// The whole program against a local server: import a file of twelve URLs
// through the side panel, check it with five probes, then remove the invalid
// rows and the duplicates and export the valid URLs through the file dialog.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include "tests/app/AppHarness.h"
#include "tests/support/LocalHttpServer.h"
#include "tests/support/TestDeadline.h"

using namespace std::chrono_literals;

namespace {

// A loopback port that nothing listens on: bound once, then released.
int RefusedPort()
{
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0)
        return -1;
    sockaddr_in addr {};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    int port = -1;
    if (bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0
        && getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len) == 0)
        port = ntohs(addr.sin_port);
    close(fd);
    return port;
}

TEST(EndToEnd, ImportCheckCleanUpAndExport)
{
    LocalHttpServer server;
    const std::string page = "<html><head><title>Welcome</title></head><body>hello</body></html>\n";
    // The domain-error page as such servers send it: "<TITLE>域名纠错系统" is
    // these 19 code page 936 bytes.
    const std::string markerBytes = "<TITLE>\xd3\xf2\xc3\xfb\xbe\xc0\xb4\xed\xcf\xb5\xcd\xb3";
    ASSERT_EQ(markerBytes.size(), 19u);
    const std::string marker = "<html><head>\n" + markerBytes + "</TITLE>\n</head>\n";
    server.Get("/ok[0-9]",
        [&](const httplib::Request&, httplib::Response& res) { res.set_content(page, "text/html"); });
    server.Get("/parked",
        [&](const httplib::Request&, httplib::Response& res) { res.set_content(marker, "text/html"); });
    server.Get("/skipme.html",
        [&](const httplib::Request&, httplib::Response& res) { res.set_content(page, "text/html"); });
    ASSERT_TRUE(server.Start());
    const int refused = RefusedPort();
    ASSERT_GT(refused, 0);

    const std::string base = "http://127.0.0.1:" + std::to_string(server.Port());
    struct Line {
        std::string text;
        const char* verdict;
    };
    const std::vector<Line> lines = {
        { base + "/ok1", "OK" },
        { base + "/parked", "无效!" },
        { base + "/gone", "超时!" }, // 404
        { "127.0.0.1:" + std::to_string(refused) + "/", "超时!" },
        { "not a web address", "格式不正确！" },
        { base + "/skipme.html", "用户忽略！" },
        { base + "/ok2", "OK" },
        { base + "/ok1", "OK" },
        { base + "/also-gone", "超时!" },
        { "127.0.0.1:" + std::to_string(server.Port()) + "/ok3", "OK" }, // no scheme: plain HTTP
        { base + "/OK4", "超时!" }, // paths keep their letter case
        { "HTTP://127.0.0.1:" + std::to_string(server.Port()) + "/ok5", "OK" },
    };
    TempFolder folder;
    std::string fileBytes;
    for (const Line& line : lines)
        fileBytes += line.text + "\r\n";
    WriteBytes(folder.File("urls.txt"), fileBytes);

    ResetGlobals();
    g_strIgnoreList = "skipme"; // as a previous run left it in the configuration
    RunningApp r;
    ASSERT_TRUE(r.Ready());
    TestDeadline deadline(30s, "end-to-end run");

    // Import.
    r.SetField(IDC_IMPORT_PATH, CString(folder.File("urls.txt").c_str()));
    r.Click(IDC_IMPORT);
    ASSERT_TRUE(PumpUntil([&] { return r.Pane(0) == U("加载网址列表结束。"); }, 5s));
    ASSERT_EQ(r.List().GetItemCount(), static_cast<int>(lines.size()));
    EXPECT_TRUE(r.ButtonEnabled(IDC_IMPORT));

    // Check with five probes.
    r.SetField(IDC_THREAD_COUNT, "5");
    r.SetField(IDC_IGNORE_LIST, "skipme");
    r.Click(IDC_START_STOP);
    EXPECT_EQ(r.FieldText(IDC_START_STOP), U("停止查询"));
    ASSERT_TRUE(PumpUntil([&] { return r.Pane(0) == U("执行完毕") && r.Pane(1) == U("线程: 0"); }, 20s))
        << r.Pane(0).Bytes() << " / " << r.Pane(1).Bytes();
    AfxPumpPendingMessages();
    for (std::size_t row = 0; row < lines.size(); ++row) {
        SCOPED_TRACE(lines[row].text);
        EXPECT_EQ(
            r.List().GetItemText(static_cast<int>(row), COL_LINE), CString(std::to_string(row + 1).c_str()));
        EXPECT_EQ(r.List().GetItemText(static_cast<int>(row), COL_URL), CString(lines[row].text.c_str()));
        EXPECT_EQ(r.List().GetItemText(static_cast<int>(row), COL_VALIDITY), U(lines[row].verdict));
    }
    EXPECT_EQ(r.Pane(2), U("网址个数: 12"));
    EXPECT_EQ(r.FieldText(IDC_START_STOP), U("开始查询"));
    EXPECT_FALSE(g_bChecking);
    EXPECT_EQ(g_nRunningProbes, 0);
    EXPECT_TRUE(r.boxes.empty());
    for (const auto& request : server.Requests())
        EXPECT_NE(request.path, "/skipme.html"); // ignored rows are never fetched

    // Remove the invalid rows, then the duplicates.
    r.Click(IDC_PURGE_INVALID);
    ASSERT_TRUE(PumpUntil([&] { return r.ButtonEnabled(IDC_PURGE_INVALID); }, 3s));
    EXPECT_EQ(r.Pane(0), U("共清理了 7 个无效网址。"));
    EXPECT_EQ(r.Pane(2), U("网址个数: 5"));
    r.Click(IDC_PURGE_DUPLICATES);
    ASSERT_TRUE(PumpUntil([&] { return r.Pane(0) == U("共清理了 1 个重复网址。"); }, 3s));
    AfxPumpPendingMessages();
    EXPECT_EQ(r.Pane(2), U("网址个数: 4"));
    ASSERT_EQ(r.List().GetItemCount(), 4);

    // Export the valid ones.
    r.fileAnswer = CString(folder.File("valid.txt").c_str());
    r.Click(IDC_EXPORT_VALID);
    EXPECT_FALSE(r.ButtonEnabled(IDC_EXPORT_VALID));
    ASSERT_TRUE(PumpUntil([&] { return r.ButtonEnabled(IDC_EXPORT_VALID); }, 3s));
    ASSERT_EQ(r.fileRequests.size(), 1u);
    EXPECT_FALSE(r.fileRequests[0].open);
    EXPECT_EQ(r.Pane(0), U("共导出了 4 个有效网址。"));
    EXPECT_EQ(ReadBytes(folder.File("valid.txt")),
        base + "/ok1\r\n" + base + "/ok2\r\n" + lines[9].text + "\r\n" + lines[11].text + "\r\n");
}

} // namespace
