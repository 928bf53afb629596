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
    CheckReportRows rows;
    CheckReportProblem problem;
    if (!ReadCheckReport(path, rows, problem)) {
        CString text;
        if (problem.line == 0) {
            text.Format(
                CString::FromUtf8("无法读取文件！\n\n%s\n\n%s"), path.GetString(), problem.text.GetString());
        } else {
            text.Format(CString::FromUtf8("这个文件不是检查报告！\n\n%s\n\n第 %d 行不符合格式：\n%s"),
                path.GetString(), problem.line, problem.text.GetString());
        }
        MessageBox(text, "", MB_OK | MB_ICONEXCLAMATION);
        return FALSE;
    }
    ReplaceRows(rows);
    const HWND hub = HubWindow();
    PostMessageA(hub, UM_LIST_LOADED, 0, rows.Count());
    PostMessageA(hub, UM_REPORT_LOADED, 0, rows.Count());
    return TRUE;
}

void CVelmoraView::ReplaceRows(const CheckReportRows& rows)
{
    CListCtrl& list = GetListCtrl();
    list.DeleteAllItems();
    ForgetAllProbeDetails();
    ForgetProbedRows();
    ProbeDetails details;
    for (int row = 0, count = rows.Count(); row < count; ++row) {
        char number[16];
        *std::to_chars(number, number + sizeof number - 1, rows.Line(row)).ptr = '\0';
        list.InsertItem(row, number);
        list.SetItemText(row, COL_URL, rows.Url(row));
        if (const CString& validity = rows.Validity(row); !validity.IsEmpty())
            list.SetItemText(row, COL_VALIDITY, validity);
        if (rows.GetDetails(row, details))
            KeepProbeDetails(row, details);
    }
    CountValidity();
    FitLineNumberColumn();
}
