// The main frame: holds the list view, the status bar and the side bar, and
// is the hub of the program's messages. It paces a check run with timer 1.
#pragma once

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
    void OnViewSideBar();
    void OnUpdateViewSideBar(CCmdUI* pCmdUI);

private:
    friend BOOL IsHubCheckTimerRunning();

    void SetStatus(int pane, const CString& text);
    void SetCheckTimer();
    void KillCheckTimer();

    CSideBar m_wndSideBar;
    CStatusBar m_wndStatusBar;
    BOOL m_bCheckTimerRunning = FALSE;
};
