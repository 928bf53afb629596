// The check report: every row in list order with its verdict and what its
// probe found out, into a CSV file the user chooses (see CheckReportLines).
#include <string>

#include "check/ProbeDetails.h"
#include "framework/doc/CFrameWnd.h"
#include "framework/io/CFile.h"
#include "urllist/CVelmoraView.h"
#include "urllist/CheckReportLines.h"
#include "urllist/SaveListFile.h"

void CVelmoraView::WriteCheckReport()
{
    const HWND self = m_hWnd;
    CListCtrl& list = GetListCtrl();
    int written = 0;
    if (list.GetItemCount() > 0) {
        const SaveDialogOptions options { "CSV", "urls_report.csv",
            CString::FromUtf8("CSV 文件|*.csv|所有文件|*.*||") };
        written = SaveListFile(*this, options, m_strLastExportFolder, [this, &list](CFile& file) {
            const std::string_view head = CheckReportLines::Head();
            file.Write(head.data(), static_cast<UINT>(head.size()));
            CheckReportLines lines;
            std::string line;
            int count = 0;
            ProbeDetails details;
            for (int row = 0, rows = list.GetItemCount(); row < rows && !file.Failed(); ++row) {
                const bool detailed = GetProbeDetails(row, details);
                line.clear();
                lines.Append(line, list, row, detailed ? &details : nullptr);
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
