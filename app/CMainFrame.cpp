#include "app/CMainFrame.h"

#include <string>

#include "app/Globals.h"
#include "app/Hub.h"
#include "app/Messages.h"
#include "framework/controls/MessageBoxHook.h"
#include "framework/doc/CView.h"
#include "res/ResourceIds.h"
#include "urllist/CVelmoraView.h"

IMPLEMENT_DYNCREATE(CMainFrame, CFrameWnd)

BEGIN_MESSAGE_MAP(CMainFrame, CFrameWnd)
ON_WM_CREATE()
ON_WM_TIMER()
ON_WM_CLOSE()
ON_WM_DROPFILES()
ON_COMMAND(ID_VIEW_SIDEBAR, OnViewSideBar)
ON_UPDATE_COMMAND_UI(ID_VIEW_SIDEBAR, OnUpdateViewSideBar)
END_MESSAGE_MAP()

namespace {

constexpr UINT_PTR kCheckTimer = 1;
constexpr UINT kCheckTimerMs = 500;

const UINT kIndicators[] = { ID_SEPARATOR, ID_SEPARATOR, ID_SEPARATOR, ID_SEPARATOR };
constexpr int kProgressPane = 3;

CString T(const char* utf8)
{
    return CString::FromUtf8(utf8);
}

CString Formatted(const char* utf8Format, LPARAM value)
{
    CString text;
    text.Format(T(utf8Format), static_cast<int>(value));
    return text;
}

} // namespace

BOOL CMainFrame::PreCreateWindow(CREATESTRUCT& cs)
{
    if (!CFrameWnd::PreCreateWindow(cs))
        return FALSE;
    cs.style &= ~static_cast<LONG>(FWS_ADDTOTITLE);
    return TRUE;
}

int CMainFrame::OnCreate(CREATESTRUCT* cs)
{
    if (CFrameWnd::OnCreate(cs) == -1)
        return -1;
    if (!m_wndStatusBar.Create(this, WS_CHILD | WS_VISIBLE | CBRS_BOTTOM, AFX_IDW_STATUS_BAR))
        return -1;
    m_wndStatusBar.SetIndicators(kIndicators, 4);

    // Panes 1 and 2 are 30 average characters of the status bar's font wide.
    CClientDC dc(this);
    CFont* oldFont = dc.SelectObject(m_wndStatusBar.GetFont());
    TEXTMETRIC tm;
    dc.GetTextMetrics(&tm);
    // The progress pane shows its widest text whole, with a margin of one
    // average character on each side.
    const int progressWidth = dc.GetTextExtent(RunProgress::WidestText()).cx + 2 * tm.tmAveCharWidth;
    dc.SelectObject(oldFont);
    UINT id = 0;
    UINT style = 0;
    int width = 0;
    m_wndStatusBar.GetPaneInfo(1, id, style, width);
    m_wndStatusBar.SetPaneInfo(1, id, style, tm.tmAveCharWidth * 30);
    m_wndStatusBar.SetPaneInfo(2, id, style, tm.tmAveCharWidth * 30);
    m_wndStatusBar.SetPaneInfo(kProgressPane, id, style, progressWidth);

    EnableDocking(CBRS_ALIGN_ANY);
    if (!m_wndSideBar.Create(T("侧边栏"), this, 0, WS_CHILD | WS_VISIBLE | CBRS_TOP))
        return -1;
    m_wndSideBar.SetBarStyle(m_wndSideBar.GetBarStyle() | CBRS_TOOLTIPS | CBRS_FLYBY | CBRS_SIZE_DYNAMIC);
    m_wndSideBar.EnableDocking(CBRS_ALIGN_ANY);
    DockControlBar(&m_wndSideBar, AFX_IDW_DOCKBAR_LEFT);
    SetMessageText(AFX_IDS_IDLEMESSAGE);
    return 0;
}

void CMainFrame::SetStatus(int pane, const CString& text)
{
    m_wndStatusBar.SetPaneText(pane, text, TRUE);
}

BOOL CMainFrame::PreTranslateMessage(MSG* pMsg)
{
    CView* view = GetActiveView();
    const HWND panel = g_hSidePanel;
    switch (pMsg->message) {
    case UM_IMPORT_REQUEST:
        if (view) {
            SetStatus(0, T("正在读取网址..."));
            view->PostMessage(UM_IMPORT_RUN, 0, 0);
        }
        break;
    case UM_LIST_LOADED:
        SetStatus(
            0, m_bDroppedFilesLeft ? T("一次只能导入一个文件，已导入第一个。") : T("加载网址列表结束。"));
        m_bDroppedFilesLeft = FALSE;
        SetStatus(2, Formatted("网址个数: %d", pMsg->lParam));
        SetStatus(1, T("线程: 0"));
        PostMessageA(panel, UM_IMPORT_DONE, 0, 1);
        break;
    case UM_CHECK_START:
        SetCheckTimer();
        SetStatus(0, T("正在检查..."));
        StartCheckProgress();
        break;
    case UM_CHECK_FINISHED:
        KillCheckTimer();
        SetStatus(0, T("执行完毕"));
        PostMessageA(panel, UM_CHECK_STOPPED, 0, 1);
        ShowCheckProgress(false);
        break;
    case UM_THREAD_COUNT:
        g_nReportedProbes = static_cast<LONG>(pMsg->lParam);
        SetStatus(1, Formatted("线程: %d", pMsg->lParam));
        // Verdicts of probes still out when a run ended complete its figures.
        if (!m_bCheckTimerRunning)
            ShowCheckProgress(false);
        break;
    case UM_REPORT_LOADED:
        SetStatus(0, Formatted("共导入了 %d 个网址的检查报告。", pMsg->lParam));
        break;
    case UM_EXPORT_REQUEST:
        if (view) {
            SetStatus(0, T("正在导出网址..."));
            view->PostMessage(UM_EXPORT_RUN, 0, pMsg->lParam);
        }
        break;
    case UM_EXPORT_RESULT: {
        const CString word = pMsg->wParam == EXPORT_VALID ? T("有效")
            : pMsg->wParam == EXPORT_INVALID              ? T("无效")
                                                          : CString();
        CString text;
        text.Format(T("共导出了 %d 个%s网址。"), static_cast<int>(pMsg->lParam), word.GetString());
        SetStatus(0, text);
        PostMessageA(panel, UM_EXPORT_DONE, pMsg->wParam, 1);
        break;
    }
    case UM_PURGE_INVALID_REQUEST:
        if (view) {
            SetStatus(0, T("正在删除无效网址..."));
            view->PostMessage(UM_PURGE_INVALID_RUN, 0, 0);
        }
        break;
    case UM_PURGE_INVALID_RESULT:
        SetStatus(0, Formatted("共清理了 %d 个无效网址。", pMsg->lParam));
        PostMessageA(panel, UM_PURGE_INVALID_DONE, 0, 1);
        break;
    case UM_PURGE_DUPLICATES_REQUEST:
        if (view) {
            SetStatus(0, T("正在清理重复网址..."));
            view->PostMessage(UM_PURGE_DUPLICATES, 0, 0);
        }
        break;
    case UM_PURGE_DUPLICATES:
        SetStatus(0, Formatted("共清理了 %d 个重复网址。", pMsg->lParam));
        PostMessageA(panel, UM_PURGE_DUPLICATES_DONE, 0, 1);
        break;
    case UM_CHECK_CANCEL:
        KillCheckTimer();
        SetStatus(0, T("用户取消了查询。"));
        PostMessageA(panel, UM_CHECK_STOPPED, 0, 1);
        ShowCheckProgress(false);
        break;
    default:
        break;
    }
    return CFrameWnd::PreTranslateMessage(pMsg);
}

void CMainFrame::SetCheckTimer()
{
    m_bCheckTimerRunning = SetTimer(kCheckTimer, kCheckTimerMs, nullptr) != 0;
}

void CMainFrame::KillCheckTimer()
{
    KillTimer(kCheckTimer);
    m_bCheckTimerRunning = FALSE;
}

BOOL IsHubCheckTimerRunning()
{
    const auto* frame = dynamic_cast<const CMainFrame*>(CWnd::FromHandle(HubWindow()));
    return frame && frame->m_bCheckTimerRunning;
}

void CMainFrame::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent == kCheckTimer) {
        if (CView* view = GetActiveView())
            view->PostMessage(UM_CHECK_DISPATCH, 0, g_nThreadCount - g_nReportedProbes);
        ShowCheckProgress(true);
    }
    Default();
}

void CMainFrame::StartCheckProgress()
{
    if (const auto* view = dynamic_cast<const CVelmoraView*>(GetActiveView()))
        m_runProgress.Start(RunProgress::Clock::now(), view->GetCheckProgress());
}

void CMainFrame::ShowCheckProgress(bool runGoing)
{
    const auto* view = dynamic_cast<const CVelmoraView*>(GetActiveView());
    if (!view || !m_runProgress.Started())
        return;
    const CheckProgress figures = view->GetCheckProgress();
    SetStatus(kProgressPane,
        runGoing ? m_runProgress.Tick(RunProgress::Clock::now(), figures) : m_runProgress.AfterRun(figures));
}

void CMainFrame::OnClose()
{
    if (g_nReportedProbes > 0
        && MessageBox(T("还有正在运行的线程。确定要退出吗？"), "", MB_OKCANCEL | MB_ICONQUESTION) != IDOK)
        return;
    CFrameWnd::OnClose();
}

void CMainFrame::OnDropFiles(HDROP hDropInfo)
{
    // One list at a time: the first file is imported, and the import's
    // report says that the others were not.
    const UINT count = DragQueryFile(hDropInfo, 0xFFFFFFFF, nullptr, 0);
    if (count == 0)
        return;
    std::string first(DragQueryFile(hDropInfo, 0, nullptr, 0) + 1, '\0');
    DragQueryFile(hDropInfo, 0, first.data(), static_cast<UINT>(first.size()));
    m_bDroppedFilesLeft = m_wndSideBar.Form().ImportFile(first.c_str()) && count > 1;
}

void CMainFrame::OnViewSideBar()
{
    ShowControlBar(&m_wndSideBar, !m_wndSideBar.IsVisible(), FALSE);
}

void CMainFrame::OnUpdateViewSideBar(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(TRUE);
    pCmdUI->SetCheck(m_wndSideBar.IsVisible() ? 1 : 0);
}
