// The main frame: holds the list view, the status bar and the side bar, and
// is the hub of the program's messages. It paces a check run with timer 1.
#pragma once

#include "app/RunProgress.h"
#include "dockbar/CSideBar.h"
#include "framework/controls/CStatusBar.h"
#include "framework/doc/CFrameWnd.h"

class CMainFrame : public CFrameWnd {
    DECLARE_DYNCREATE(CMainFrame)
public:
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;

    CStatusBar& StatusBar() { return m_wndStatusBar; }
    CSideBar& SideBar() { return m_wndSideBar; }

protected:
    DECLARE_MESSAGE_MAP()
    int OnCreate(CREATESTRUCT* cs);
    void OnTimer(UINT_PTR nIDEvent);
    void OnClose();
    void OnDropFiles(HDROP hDropInfo);
    void OnViewSideBar();
    void OnUpdateViewSideBar(CCmdUI* pCmdUI);

private:
    friend BOOL IsHubCheckTimerRunning();

    void SetStatus(int pane, const CString& text);
    void SetCheckTimer();
    void KillCheckTimer();
    // The progress pane: restarted with a run, sampled on its ticks, and
    // left with the last figures once it has ended.
    void StartCheckProgress();
    void ShowCheckProgress(bool runGoing);

    CSideBar m_wndSideBar;
    CStatusBar m_wndStatusBar;
    BOOL m_bCheckTimerRunning = FALSE;
    // The import under way took the first of several dropped files.
    BOOL m_bDroppedFilesLeft = FALSE;
    RunProgress m_runProgress;
};
