// CFrameWnd: a top-level frame with a menu bar, control bars along its edges
// and one view filling the rest of its client area.
#pragma once

#include <memory>
#include <vector>

#include "framework/doc/CView.h"
#include "framework/docking/CDockBar.h"
#include "framework/window/DropFiles.h"

// RepositionBars modes.
constexpr UINT reposDefault = 0;
constexpr UINT reposQuery = 1;

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

    ~CFrameWnd() override;
    BOOL IsFrameWnd() const override { return TRUE; }

    // Lays the control bars out along the client area's edges and gives the
    // view what is left.
    void RecalcLayout() override;
    // The same at the next idle time.
    void DelayRecalcLayout();
    // Lays out the bars with ids nIDFirst..nIDLast in the client area (or
    // lpRectClient); the window nIDLeftOver gets the rest. In reposQuery mode
    // nothing moves and the rest is stored in lpRectParam.
    void RepositionBars(UINT nIDFirst, UINT nIDLast, UINT nIDLeftOver, UINT nFlag = reposDefault,
        RECT* lpRectParam = nullptr, const RECT* lpRectClient = nullptr, BOOL bStretch = TRUE);

    // Creates a dock bar for each side in dwDockStyle (top, bottom, left,
    // right, in that order).
    void EnableDocking(DWORD dwDockStyle);
    // Docks the bar on the dock bar with the given id, or on the first side
    // it may dock to when the id is 0.
    void DockControlBar(CControlBar* pBar, UINT nDockBarID = 0, const RECT* lpRect = nullptr);
    // Floats the bar in a small frame of its own with its top-left at point.
    void FloatControlBar(CControlBar* pBar, CPoint point, DWORD dwStyle = CBRS_ALIGN_TOP);
    CDockBar* GetDockBar(UINT nDockBarID) const;
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
    // Each file dropped on the frame is opened by the application, as one
    // named on the command line is.
    void OnDropFiles(HDROP hDropInfo);
    virtual BOOL OnCreateClient(CREATESTRUCT* cs, CCreateContext* pContext);
    CWnd* CreateView(CCreateContext* pContext, UINT nID = AFX_IDW_PANE_FIRST);
    void PostNcDestroy() override;
    BOOL OnBarCheck(UINT nID);
    void OnUpdateControlBarMenu(CCmdUI* pCmdUI);

    // Idle work: the delayed layout and the bars' command updates.
    virtual void OnIdleUpdate();
    void UpdateControlBars();

    CString m_strTitle;
    UINT m_nIDResource = 0;
    DWORD m_dwDockStyle = 0;
    BOOL m_bLayoutPending = FALSE;
    BOOL m_bInRecalcLayout = FALSE;
    std::vector<std::unique_ptr<CDockBar>> m_dockBars;

private:
    void BuildMenuBar(UINT nIDResource);
    void UpdateFrameTitle();

    HWND m_hActiveView;
};
