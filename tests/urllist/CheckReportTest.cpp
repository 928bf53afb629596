// The check report through the real view, its menu command and the file
// dialog hook: the exact bytes of the file, what is asked of the user and
// what the status bar says.
#include <fstream>
#include <sstream>

#include "ListFixture.h"
#include "framework/window/MessageMap.h"
#include "res/ResourceIds.h"

namespace {

std::string ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

using CheckReportTest = ListFixture;

TEST_F(CheckReportTest, WritesEveryRowAsQuotedUtf8CsvWithItsDetails)
{
    // The menu item posts its command to the frame, which routes it to the view.
    auto runCommand = [this] {
        ASSERT_TRUE(PostMessageA(m_frame->m_hWnd, WM_COMMAND, ID_FILE_CHECK_REPORT, 0));
        AfxPumpPendingMessages();
    };
    runCommand();
    EXPECT_TRUE(m_dialogs.empty()) << "an empty list asks for no file";
    EXPECT_EQ(m_frame->StatusBar().GetPaneText(0).Bytes(), Gbk("共导出了 0 个网址的检查报告。"));

    FillRows({ { "http://example.test/a,b", "OK" }, { "http://example.test/\"q\"", Gbk("超时!") },
        { Gbk("http://中文.example.test/"), "" } });
    ProbeDetails valid;
    valid.outcome = ProbeOutcome::PageValid;
    valid.dwStatus = 200;
    valid.strFinalUrl = "http://example.test/landing?x=\"1\"";
    valid.dwElapsedMs = 12;
    m_view->KeepProbeDetails(0, valid);
    ProbeDetails missing;
    missing.outcome = ProbeOutcome::HttpStatus;
    missing.dwStatus = 404;
    missing.strStatusText = "Not Found";
    missing.dwElapsedMs = 7;
    m_view->KeepProbeDetails(1, missing);

    const std::string path = m_dir + "/report";
    m_dialogAnswer = { IDOK, CString(path) };
    runCommand();
    ASSERT_EQ(m_dialogs.size(), 1u);
    EXPECT_FALSE(m_dialogs[0].open);
    EXPECT_EQ(m_dialogs[0].fileName, "urls_report.csv");
    EXPECT_EQ(m_dialogs[0].defaultExtension, "CSV");
    EXPECT_TRUE(m_dialogs[0].flags & OFN_OVERWRITEPROMPT);
    EXPECT_TRUE(m_dialogs[0].owner == m_view->m_hWnd);
    EXPECT_EQ(ReadAll(path + ".CSV"),
        "\xEF\xBB\xBF"
        "序号,网址,有效性,HTTP状态,最终网址,说明,耗时(毫秒)\r\n"
        "1,\"http://example.test/a,b\",OK,200,\"http://example.test/landing?x=\"\"1\"\"\",页面正常,12\r\n"
        "2,\"http://example.test/\"\"q\"\"\",超时!,404,,HTTP 404 Not Found,7\r\n"
        "3,http://中文.example.test/,,,,,\r\n");
    EXPECT_EQ(m_frame->StatusBar().GetPaneText(0).Bytes(), Gbk("共导出了 3 个网址的检查报告。"));
    EXPECT_TRUE(m_boxes.empty());
}

} // namespace
