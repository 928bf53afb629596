// The check report: every row in list order with its verdict and what its
// probe found out, as a CSV file that spreadsheet programs open as it is
// (UTF-8 with a byte-order mark, CR LF, fields quoted where they need it).
#include <string>
#include <string_view>

#include "check/ProbeDetails.h"
#include "framework/doc/CFrameWnd.h"
#include "framework/io/CFile.h"
#include "urllist/CVelmoraView.h"
#include "urllist/SaveListFile.h"
#include "urllist/Validity.h"

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kHeader = "序号,网址,有效性,HTTP状态,最终网址,说明,耗时(毫秒)\r\n";

// A field holding a comma, a quote or a line break is quoted, its quotes
// doubled.
void AppendField(std::string& line, std::string_view field)
{
    if (field.find_first_of(",\"\r\n") == std::string_view::npos) {
        line += field;
        return;
    }
    line += '"';
    for (const char c : field) {
        if (c == '"')
            line += '"';
        line += c;
    }
    line += '"';
}

std::string ReportLine(const CListCtrl& list, int row, const ProbeDetails* details)
{
    std::string line;
    AppendField(line, CString(list.GetItemTextView(row, COL_LINE)).ToUtf8());
    line += ',';
    AppendField(line, CString(list.GetItemTextView(row, COL_URL)).ToUtf8());
    line += ',';
    AppendField(line, CString(list.GetItemTextView(row, COL_VALIDITY)).ToUtf8());
    line += ',';
    if (details) {
        if (details->dwStatus != 0)
            line += std::to_string(details->dwStatus);
        line += ',';
        AppendField(line, details->strFinalUrl.ToUtf8());
        line += ',';
        AppendField(line, DescribeProbeOutcome(*details).ToUtf8());
        line += ',';
        line += std::to_string(details->dwElapsedMs);
    } else {
        line += ",,,";
    }
    line += "\r\n";
    return line;
}

} // namespace

void CVelmoraView::WriteCheckReport()
{
    const HWND self = m_hWnd;
    CListCtrl& list = GetListCtrl();
    int written = 0;
    if (list.GetItemCount() > 0) {
        const SaveDialogOptions options { "CSV", "urls_report.csv",
            CString::FromUtf8("CSV 文件|*.csv|所有文件|*.*||") };
        written = SaveListFile(*this, options, m_strLastExportFolder, [this, &list](CFile& file) {
            file.Write(kByteOrderMark.data(), static_cast<UINT>(kByteOrderMark.size()));
            file.Write(kHeader.data(), static_cast<UINT>(kHeader.size()));
            int count = 0;
            ProbeDetails details;
            for (int row = 0, rows = list.GetItemCount(); row < rows && !file.Failed(); ++row) {
                const bool detailed = GetProbeDetails(row, details);
                const std::string line = ReportLine(list, row, detailed ? &details : nullptr);
                file.Write(line.data(), static_cast<UINT>(line.size()));
                ++count;
            }
            return count;
        });
    }
    // The dialog's loop may have seen the window closed.
    if (CFrameWnd* frame = CWnd::FromHandle(self) ? GetParentFrame() : nullptr) {
        CString text;
        text.Format(CString::FromUtf8("共导出了 %d 个网址的检查报告。"), written);
        frame->SetMessageText(text);
    }
}
