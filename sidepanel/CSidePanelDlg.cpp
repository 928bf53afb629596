#include "sidepanel/CSidePanelDlg.h"

#include "app/Globals.h"
#include "app/Hub.h"
#include "app/Messages.h"
#include "framework/base/SaturatingAtoi.h"
#include "framework/controls/CFileDialog.h"
#include "framework/io/FileSystem.h"
#include "framework/window/MessageQueue.h"
#include "res/ResourceIds.h"

BEGIN_MESSAGE_MAP(CSidePanelDlg, CDialog)
ON_BN_CLICKED(IDC_BROWSE, OnBrowse)
ON_BN_CLICKED(IDC_IMPORT, OnImport)
ON_BN_CLICKED(IDC_START_STOP, OnStartStop)
ON_BN_CLICKED(IDC_PURGE_INVALID, OnPurgeInvalid)
ON_BN_CLICKED(IDC_PURGE_DUPLICATES, OnPurgeDuplicates)
ON_BN_CLICKED(IDC_EXPORT_ALL, OnExportAll)
ON_BN_CLICKED(IDC_EXPORT_INVALID, OnExportInvalid)
ON_BN_CLICKED(IDC_EXPORT_VALID, OnExportValid)
END_MESSAGE_MAP()

namespace {

bool IsQueuedForHub(UINT message)
{
    const HWND hub = HubWindow();
    MSG queued;
    return hub != HWND() && PeekMessage(&queued, hub, message, message, PM_NOREMOVE);
}

} // namespace

BOOL CSidePanelDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    GetDlgItem(IDC_IMPORT_PATH)->SetWindowText(g_strImportPath);
    GetDlgItem(IDC_IGNORE_LIST)->SetWindowText(g_strIgnoreList);
    CString count;
    count.Format("%d", g_nThreadCount);
    GetDlgItem(IDC_THREAD_COUNT)->SetWindowText(count);
    g_hSidePanel = m_hWnd;
    return TRUE;
}

void CSidePanelDlg::OnBrowse()
{
    CFileDialog dialog(
        TRUE, "", "", OFN_OVERWRITEPROMPT, CString::FromUtf8("文本文件|*.txt|所有文件|*.*||"), this);
    const CString startFolder = FolderOfPath(GetDlgItem(IDC_IMPORT_PATH)->GetWindowText());
    dialog.m_ofn.lpstrInitialDir = startFolder;
    if (dialog.DoModal() != IDOK)
        return;
    g_strImportPath = dialog.GetPathName();
    GetDlgItem(IDC_IMPORT_PATH)->SetWindowText(g_strImportPath);
}

void CSidePanelDlg::OnImport()
{
    g_strImportPath = GetDlgItem(IDC_IMPORT_PATH)->GetWindowText();
    if (g_strImportPath.IsEmpty()) {
        GetDlgItem(IDC_IMPORT_PATH)->SetFocus();
        MessageBox(CString::FromUtf8("请指定导入文件路径。"), "", MB_OK);
        return;
    }
    RequestOperation(IDC_IMPORT, UM_IMPORT_REQUEST, 0);
}

BOOL CSidePanelDlg::ReadRunSettings()
{
    g_strIgnoreList = GetDlgItem(IDC_IGNORE_LIST)->GetWindowText();
    g_strIgnoreList.MakeLower();
    g_nThreadCount = SaturatingAtoi(GetDlgItem(IDC_THREAD_COUNT)->GetWindowText());
    if (g_nThreadCount < 1) {
        GetDlgItem(IDC_THREAD_COUNT)->SetFocus();
        MessageBox(CString::FromUtf8("线程数量至少大于0。"), "", MB_OK);
        return FALSE;
    }
    return TRUE;
}

void CSidePanelDlg::OnStartStop()
{
    const BOOL wasChecking = g_bChecking;
    if (wasChecking) {
        PostMessageA(HubWindow(), UM_CHECK_CANCEL, 0, 0);
    } else {
        if (!ReadRunSettings())
            return;
        if (g_nThreadCount > 10)
            g_nThreadCount = 10;
        m_bStartedBeforeAnAnswer = IsQueuedForHub(UM_CHECK_FINISHED) || IsQueuedForHub(UM_CHECK_CANCEL);
        PostMessageA(HubWindow(), UM_CHECK_START, 0, 0);
    }
    GetDlgItem(IDC_START_STOP)->SetWindowText(CString::FromUtf8(wasChecking ? "开始查询" : "停止查询"));
    g_bChecking = !wasChecking;
}

void CSidePanelDlg::RequestOperation(int buttonId, UINT message, LPARAM lParam)
{
    GetDlgItem(buttonId)->EnableWindow(FALSE);
    PostMessageA(HubWindow(), message, 0, lParam);
}

void CSidePanelDlg::OnPurgeInvalid()
{
    RequestOperation(IDC_PURGE_INVALID, UM_PURGE_INVALID_REQUEST, 0);
}

void CSidePanelDlg::OnPurgeDuplicates()
{
    RequestOperation(IDC_PURGE_DUPLICATES, UM_PURGE_DUPLICATES_REQUEST, 0);
}

void CSidePanelDlg::OnExportAll()
{
    RequestOperation(IDC_EXPORT_ALL, UM_EXPORT_REQUEST, EXPORT_ALL);
}

void CSidePanelDlg::OnExportValid()
{
    RequestOperation(IDC_EXPORT_VALID, UM_EXPORT_REQUEST, EXPORT_VALID);
}

void CSidePanelDlg::OnExportInvalid()
{
    RequestOperation(IDC_EXPORT_INVALID, UM_EXPORT_REQUEST, EXPORT_INVALID);
}

void CSidePanelDlg::EnableButton(int buttonId)
{
    if (CWnd* button = GetDlgItem(buttonId))
        button->EnableWindow(TRUE);
}

// UM_CHECK_STOPPED does not say which run it ends. One that comes while a
// start still waits for the hub is about a run before that start; so is one
// that comes while the hub runs a start clicked behind a stop or a finished
// run still waiting for the hub, since the hub answers those after it has
// begun the new run. Either way the start decides the button. Any other
// answer ends the latest run.
bool CSidePanelDlg::AnswersAnEarlierRun() const
{
    return IsQueuedForHub(UM_CHECK_START) || (m_bStartedBeforeAnAnswer && IsHubCheckTimerRunning());
}

BOOL CSidePanelDlg::PreTranslateMessage(MSG* pMsg)
{
    switch (pMsg->message) {
    case UM_IMPORT_DONE:
        EnableButton(IDC_IMPORT);
        break;
    case UM_CHECK_STOPPED:
        if (AnswersAnEarlierRun())
            break;
        g_bChecking = FALSE;
        GetDlgItem(IDC_START_STOP)->SetWindowText(CString::FromUtf8("开始查询"));
        break;
    case UM_EXPORT_DONE:
        switch (pMsg->wParam) {
        case EXPORT_ALL:
            EnableButton(IDC_EXPORT_ALL);
            break;
        case EXPORT_VALID:
            EnableButton(IDC_EXPORT_VALID);
            break;
        case EXPORT_INVALID:
            EnableButton(IDC_EXPORT_INVALID);
            break;
        default:
            break;
        }
        break;
    case UM_PURGE_INVALID_DONE:
        EnableButton(IDC_PURGE_INVALID);
        break;
    case UM_PURGE_DUPLICATES_DONE:
        EnableButton(IDC_PURGE_DUPLICATES);
        break;
    default:
        break;
    }
    return CDialog::PreTranslateMessage(pMsg);
}
