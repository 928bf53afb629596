// CStatusBar: a row of text panes along the bottom of a frame.
#pragma once

#include "framework/controls/CControlBar.h"

class CStatusBar : public CControlBar {
    DECLARE_DYNAMIC(CStatusBar)
public:
    BOOL Create(
        CWnd* pParentWnd, DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_BOTTOM, UINT nID = AFX_IDW_STATUS_BAR);
    // One pane per id; ID_SEPARATOR panes start empty. The first pane
    // stretches and has no border.
    BOOL SetIndicators(const UINT* lpIDArray, int nIDCount);
    int GetCount() const;
    void GetPaneInfo(int nIndex, UINT& nID, UINT& nStyle, int& cxWidth) const;
    void SetPaneInfo(int nIndex, UINT nID, UINT nStyle, int cxWidth);
    BOOL SetPaneText(int nIndex, LPCSTR text, BOOL bUpdate = TRUE);
    CString GetPaneText(int nIndex) const;
};
