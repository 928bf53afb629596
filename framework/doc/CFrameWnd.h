// CFrameWnd: a top-level frame with a menu bar, control bars along its edges
// and one view filling the rest of its client area.
#pragma once

#include "framework/doc/CView.h"

class CControlBar;

class CFrameWnd : public CWnd {
    DECLARE_DYNAMIC(CFrameWnd)
public:
    // Creates the frame with the title (first field of string nIDResource)
    // and the menu of the same id.
    virtual BOOL LoadFrame(UINT nIDResource, DWORD dwDefaultStyle = WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE,
                           CWnd* pParentWnd = nullptr, CCreateContext* pContext = nullptr);
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    BOOL OnCmdMsg(UINT nID, int nCode, UINT nMessage, LPARAM lParam) override;

    CView* GetActiveView() const;
    void SetActiveView(CView* pView);
    void InitialUpdateFrame(CDocument* pDoc, BOOL bMakeVisible);

    void RecalcLayout() override;
    void EnableDocking(DWORD dwDockStyle) { m_dwDockStyle = dwDockStyle; }
    CControlBar* GetControlBar(UINT nID) const;
    void ShowControlBar(CControlBar* pBar, BOOL bShow, BOOL bDelay);

    // The prompt line: pane 0 of the status bar.
    void SetMessageText(LPCSTR text);
    void SetMessageText(UINT nID);
    // The menu told the frame which item is highlighted (0: none) and when it closed.
    void OnMenuSelect(UINT nItemID);
    void OnExitMenuLoop();

    // The state of a command's user-interface item, as its update handler
    // leaves it; for the menu bar and for tests.
    CCmdUI QueryCommandUI(UINT nID);

protected:
    DECLARE_MESSAGE_MAP()
    int OnCreate(CREATESTRUCT* cs);
    void OnClose();
    virtual BOOL OnCreateClient(CREATESTRUCT* cs, CCreateContext* pContext);
    CWnd* CreateView(CCreateContext* pContext, UINT nID = AFX_IDW_PANE_FIRST);
    void PostNcDestroy() override;
    BOOL OnBarCheck(UINT nID);
    void OnUpdateControlBarMenu(CCmdUI* pCmdUI);

    CString m_strTitle;
    UINT m_nIDResource = 0;
    DWORD m_dwDockStyle = 0;

private:
    void BuildMenuBar(UINT nIDResource);
    void UpdateFrameTitle();

    HWND m_hActiveView;
};
