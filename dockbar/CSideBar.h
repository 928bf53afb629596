// The side bar: a bar docked on the left edge of the main frame that carries
// the side panel form and fills its client area with it.
#pragma once

#include "framework/controls/CControlBar.h"
#include "sidepanel/CSidePanelDlg.h"

class CSideBar : public CControlBar {
public:
    BOOL Create(CWnd* pParentWnd);
    CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz) override;
    void RecalcLayout() override;

    CSidePanelDlg& Form() { return m_dlgSidePanel; }

private:
    CSidePanelDlg m_dlgSidePanel;
};
