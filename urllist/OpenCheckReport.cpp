// Opening a check report: its rows, verdicts and probe details replace the
// list, so that a run stopped one day goes on another from the rows left
// unchecked.
#include <charconv>

#include "app/Globals.h"
#include "app/Hub.h"
#include "app/Messages.h"
#include "framework/controls/CFileDialog.h"
#include "framework/io/FileSystem.h"
#include "urllist/CVelmoraView.h"
#include "urllist/CheckReportReader.h"
#include "urllist/Validity.h"

void CVelmoraView::OpenCheckReport()
{
    CFileDialog dialog(TRUE, "CSV", nullptr, OFN_HIDEREADONLY | OFN_FILEMUSTEXIST,
        CString::FromUtf8("CSV 文件|*.csv|所有文件|*.*||"), this);
    const CString startFolder
        = m_strLastExportFolder.IsEmpty() ? FolderOfPath(g_strImportPath) : m_strLastExportFolder;
    dialog.m_ofn.lpstrInitialDir = startFolder;
    const HWND self = m_hWnd;
    if (dialog.DoModal() != IDOK || !CWnd::FromHandle(self))
        return;
    const CString path = dialog.GetPathName();
    m_strLastExportFolder = FolderOfPath(path);
    LoadCheckReport(path);
}

BOOL CVelmoraView::LoadCheckReport(const CString& path)
{
    auto tell = [this, &path](const CheckReportProblem& problem) {
        CString text;
        if (problem.line == 0) {
            text.Format(
                CString::FromUtf8("无法读取文件！\n\n%s\n\n%s"), path.GetString(), problem.text.GetString());
        } else {
            text.Format(CString::FromUtf8("这个文件不是检查报告！\n\n%s\n\n第 %d 行不符合格式：\n%s"),
                path.GetString(), problem.line, problem.text.GetString());
        }
        MessageBox(text, "", MB_OK | MB_ICONEXCLAMATION);
    };
    // The file is read through once before the list changes, so that one
    // that is no report leaves the list as it was. Reading it twice costs
    // less than holding a million rows aside.
    CheckReportProblem problem;
    if (!ReadCheckReport(
            path, [](const CheckReportRow&) {}, problem)) {
        tell(problem);
        return FALSE;
    }
    CListCtrl& list = GetListCtrl();
    list.DeleteAllItems();
    ForgetAllProbeDetails();
    ForgetProbedRows();
    int row = 0;
    const BOOL read = ReadCheckReport(
        path,
        [this, &list, &row](const CheckReportRow& report) {
            char number[16];
            *std::to_chars(number, number + sizeof number - 1, report.line).ptr = '\0';
            list.InsertItem(row, number);
            list.SetItemText(row, COL_URL, report.url);
            if (!report.validity.IsEmpty())
                list.SetItemText(row, COL_VALIDITY, report.validity);
            if (report.details)
                m_probeDetails.Keep(RowTag(row), *report.details);
            ++row;
        },
        problem);
    // The report's texts are UTF-8; the exports write them so.
    SetUrlFileEncoding(TextEncoding::Utf8);
    CountValidity();
    FitLineNumberColumn();
    // Changed since the first reading: the rows read so far stay.
    if (!read)
        tell(problem);
    const HWND hub = HubWindow();
    PostMessageA(hub, UM_LIST_LOADED, 0, row);
    PostMessageA(hub, UM_REPORT_LOADED, 0, row);
    return read;
}
