// The check report through the real view, its menu commands and the file
// dialog hook: the exact bytes of the file, the rows and details read back,
// what is asked of the user and what the status bar says.
#include <fstream>
#include <sstream>

#include "ListFixture.h"
#include "app/Globals.h"
#include "app/Messages.h"
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

class CheckReportTest : public ListFixture {
protected:
    // The menu item posts its command to the frame, which routes it to the view.
    void RunCommand(UINT id)
    {
        ASSERT_TRUE(PostMessageA(m_frame->m_hWnd, WM_COMMAND, id, 0));
        AfxPumpPendingMessages();
    }
    void WriteReport(const std::string& path)
    {
        m_dialogAnswer = { IDOK, CString(path) };
        RunCommand(ID_FILE_CHECK_REPORT);
    }
    void OpenReport(const std::string& path)
    {
        m_dialogAnswer = { IDOK, CString(path) };
        RunCommand(ID_FILE_OPEN_REPORT);
    }
    static ProbeDetails Details(ProbeOutcome outcome, DWORD status, DWORD elapsed)
    {
        ProbeDetails details;
        details.outcome = outcome;
        details.dwStatus = status;
        details.dwElapsedMs = elapsed;
        return details;
    }
};

TEST_F(CheckReportTest, WritesEveryRowAsQuotedUtf8CsvWithItsDetails)
{
    RunCommand(ID_FILE_CHECK_REPORT);
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
    WriteReport(path);
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

TEST_F(CheckReportTest, FieldsThatSpreadsheetsWouldRunAsFormulasAreWrittenAsText)
{
    FillRows({ { "=HYPERLINK(\"http://evil.test/\",\"open\")", Gbk("格式不正确！") },
        { "+1.example.test", "" }, { "-1.example.test", "" }, { "@example.test", "" },
        { "'=example.test", "" }, { "a=b.example.test", "OK" } });
    ProbeDetails details = Details(ProbeOutcome::ClientError, 0, 3);
    details.strFinalUrl = "\thttp://example.test/";
    details.strErrorText = "-x";
    m_view->KeepProbeDetails(5, details);
    const std::string report = m_dir + "/report.csv";
    WriteReport(report);
    EXPECT_EQ(ReadAll(report),
        "\xEF\xBB\xBF"
        "序号,网址,有效性,HTTP状态,最终网址,说明,耗时(毫秒)\r\n"
        "1,\"'=HYPERLINK(\"\"http://evil.test/\"\",\"\"open\"\")\",格式不正确！,,,,\r\n"
        "2,'+1.example.test,,,,,\r\n"
        "3,'-1.example.test,,,,,\r\n"
        "4,'@example.test,,,,,\r\n"
        "5,''=example.test,,,,,\r\n"
        "6,a=b.example.test,OK,,'\thttp://example.test/,其他错误：-x,3\r\n");

    // The URL list is no spreadsheet: the export writes the lines as they are.
    m_dialogAnswer = { IDOK, CString(m_dir + "/all.txt") };
    RunOnView(UM_EXPORT_RUN, EXPORT_ALL, UM_EXPORT_RESULT);
    EXPECT_EQ(ReadAll(m_dir + "/all.txt"),
        "=HYPERLINK(\"http://evil.test/\",\"open\")\r\n"
        "+1.example.test\r\n-1.example.test\r\n@example.test\r\n'=example.test\r\na=b.example.test\r\n");
    EXPECT_TRUE(m_boxes.empty());
}

TEST_F(CheckReportTest, OpenedReportGivesBackTheRowsAndDetailsItWasWrittenFrom)
{
    FillRows({ { "http://example.test/a,b", "OK" }, { "http://example.test/\"q\"", Gbk("超时!") },
        { Gbk("http://中文.example.test/"), Gbk("无效!") }, { "http://example.test/running", Gbk("执行中") },
        { "=cmd", Gbk("格式不正确！") }, { "http://example.test/tls", Gbk("超时!") },
        { "http://example.test/slow", Gbk("超时!") }, { "http://example.test/new", "" } });
    List().SetItemText(7, COL_LINE, "12"); // numbers keep the gaps a clean-up left
    std::vector<ProbeDetails> details(8);
    details[0] = Details(ProbeOutcome::PageValid, 200, 12);
    details[0].strFinalUrl = "http://example.test/landing?x=\"1\",y";
    details[1] = Details(ProbeOutcome::HttpStatus, 404, 7);
    details[1].strStatusText = "Not Found";
    details[2] = Details(ProbeOutcome::DomainErrorPage, 200, 30);
    details[5] = Details(ProbeOutcome::TlsFailure, 0, 40);
    details[5].strErrorText = CString::FromUtf8("证书 \"过期\"");
    details[6] = Details(ProbeOutcome::Stalled, 0, 5000);
    for (int row : { 0, 1, 2, 5, 6 })
        m_view->KeepProbeDetails(row, details[static_cast<std::size_t>(row)]);
    const std::string report = m_dir + "/report.csv";
    WriteReport(report);
    const std::string written = ReadAll(report);

    g_strImportPath = "/somewhere/urls.txt";
    FillRows({ { "http://example.test/other", "OK" } });
    m_dialogs.clear();
    OpenReport(report);
    ASSERT_EQ(m_dialogs.size(), 1u);
    EXPECT_TRUE(m_dialogs[0].open);
    EXPECT_EQ(m_dialogs[0].filter.Bytes(), Gbk("CSV 文件|*.csv|所有文件|*.*||"));
    EXPECT_TRUE(m_dialogs[0].owner == m_view->m_hWnd);
    ASSERT_EQ(List().GetItemCount(), 8);
    const std::vector<std::vector<std::string>> expected { { "1", "http://example.test/a,b", "OK" },
        { "2", "http://example.test/\"q\"", Gbk("超时!") },
        { "3", Gbk("http://中文.example.test/"), Gbk("无效!") }, { "4", "http://example.test/running", "" },
        { "5", "=cmd", Gbk("格式不正确！") }, { "6", "http://example.test/tls", Gbk("超时!") },
        { "7", "http://example.test/slow", Gbk("超时!") }, { "12", "http://example.test/new", "" } };
    for (int row = 0; row < 8; ++row) {
        SCOPED_TRACE(row);
        EXPECT_EQ(
            (std::vector<std::string> { Cell(row, COL_LINE), Cell(row, COL_URL), Cell(row, COL_VALIDITY) }),
            expected[static_cast<std::size_t>(row)]);
        ProbeDetails back;
        const bool detailed = m_view->GetProbeDetails(row, back);
        const ProbeDetails& before = details[static_cast<std::size_t>(row)];
        ASSERT_EQ(detailed, before.dwElapsedMs != 0);
        if (!detailed)
            continue;
        EXPECT_EQ(back.outcome, before.outcome);
        EXPECT_EQ(back.dwStatus, before.dwStatus);
        EXPECT_EQ(back.strStatusText, before.strStatusText);
        EXPECT_EQ(back.strFinalUrl, before.strFinalUrl);
        EXPECT_EQ(back.strErrorText, before.strErrorText);
        EXPECT_EQ(back.dwElapsedMs, before.dwElapsedMs);
        EXPECT_EQ(back.dwBytesRead, kBytesReadUnknown);
    }
    // The report does not keep the bytes read, so the tip leaves them out.
    ProbeDetails back;
    ASSERT_TRUE(m_view->GetProbeDetails(1, back));
    EXPECT_EQ(DescribeProbeDetails(back).ToUtf8(), "HTTP 404 Not Found\n耗时：7 毫秒");
    AfxPumpPendingMessages();
    EXPECT_EQ(m_frame->StatusBar().GetPaneText(0).Bytes(), Gbk("共导入了 8 个网址的检查报告。"));
    EXPECT_EQ(m_frame->StatusBar().GetPaneText(2).Bytes(), Gbk("网址个数: 8"));
    EXPECT_EQ(g_strImportPath, "/somewhere/urls.txt");
    EXPECT_TRUE(m_boxes.empty());

    // Written again, the report is the same but for the row that was running.
    WriteReport(m_dir + "/again.csv");
    std::string unchecked = written;
    const std::string running = "running,执行中";
    unchecked.replace(unchecked.find(running), running.size(), "running,");
    EXPECT_EQ(ReadAll(m_dir + "/again.csv"), unchecked);

    // A file that is no report names its first line that does not fit, and
    // the list stays as it was.
    std::string damaged = written;
    damaged.replace(damaged.find(",OK,"), 4, ",Fine,");
    WriteFile("damaged.csv", damaged);
    WriteFile("urls.txt", "http://example.test/\r\n");
    for (const auto& [name, line] : { std::pair { "damaged.csv", 2 }, std::pair { "urls.txt", 1 } }) {
        SCOPED_TRACE(name);
        m_boxes.clear();
        OpenReport(m_dir + "/" + name);
        ASSERT_EQ(m_boxes.size(), 1u);
        EXPECT_NE(m_boxes[0].text.Find(CString(m_dir + "/" + name)), -1);
        EXPECT_NE(
            m_boxes[0].text.Find(CString::FromUtf8(("第 " + std::to_string(line) + " 行").c_str())), -1);
        EXPECT_EQ(List().GetItemCount(), 8);
        EXPECT_EQ(Cell(4, COL_URL), "=cmd");
    }
}

} // namespace
