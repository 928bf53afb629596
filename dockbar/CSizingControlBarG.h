// CSizingControlBarG: the sizing bar with a gripper band and a close button
// while docked. The band lies along the top of a bar in a left or right
// column and along the left of a bar in a top or bottom row; pressing it
// starts a move drag, double-clicking floats the bar, the button hides it.
// A floating bar shows neither: its frame's caption takes their place.
#pragma once

#include "dockbar/CCaptionButton.h"
#include "dockbar/CSizingControlBar.h"

class CSizingControlBarG : public CSizingControlBar {
    DECLARE_DYNAMIC(CSizingControlBarG)
public:
    CSizingControlBarG() = default;

    virtual BOOL ShowsGripper() const;
    void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) override;

    int m_cxGripBand = 12;
    CCaptionButton m_btnClose;

protected:
    void CalcClientArea(CRect& rc, UINT nDockBarId) override;
    void PaintGripper(CDC* pDC, const CRect& rcClient) override;

    DECLARE_MESSAGE_MAP()
    LRESULT OnNcHitTest(CPoint point);
    void OnNcLButtonUp(UINT nHitTest, CPoint point);
};
