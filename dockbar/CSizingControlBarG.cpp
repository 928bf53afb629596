#include "dockbar/CSizingControlBarG.h"

#include "framework/doc/CFrameWnd.h"

IMPLEMENT_DYNAMIC(CSizingControlBarG, CSizingControlBar)

BEGIN_MESSAGE_MAP(CSizingControlBarG, CSizingControlBar)
ON_WM_NCHITTEST()
ON_WM_NCLBUTTONUP()
END_MESSAGE_MAP()

BOOL CSizingControlBarG::ShowsGripper() const
{
    return !IsUndocked();
}

void CSizingControlBarG::CalcClientArea(CRect& rc, UINT nDockBarId)
{
    const CRect rcBar = rc;
    CSizingControlBar::CalcClientArea(rc, nDockBarId);
    if (!ShowsGripper())
        return;
    CRect client = rc;
    CPoint origin;
    if (nDockBarId == AFX_IDW_DOCKBAR_TOP || nDockBarId == AFX_IDW_DOCKBAR_BOTTOM) {
        client.left += m_cxGripBand;
        origin = CPoint(client.left - 13, client.top);
    } else {
        client.top += m_cxGripBand;
        origin = CPoint(client.right - 12, client.top - 13);
    }
    m_btnClose.MoveTo(CPoint(origin.x - rcBar.left, origin.y - rcBar.top));
    rc = client;
}

void CSizingControlBarG::PaintGripper(CDC* pDC, const CRect& rcClient)
{
    if (!ShowsGripper())
        return;
    CRect g = rcClient;
    g.DeflateRect(1, 1, 1, 1);
    const BOOL horz = IsDockedHorz();
    if (horz) {
        g.left -= m_cxGripBand;
        g.right = g.left + 3;
        g.top = m_btnClose.m_ptOrigin.y + 14;
    } else {
        g.top -= m_cxGripBand;
        g.bottom = g.top + 3;
        g.right = m_btnClose.m_ptOrigin.x - 3;
    }
    const COLORREF highlight = GetSysColor(COLOR_BTNHIGHLIGHT);
    const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
    pDC->Draw3dRect(g, highlight, shadow);
    g.OffsetRect(horz ? 3 : 0, horz ? 0 : 3);
    pDC->Draw3dRect(g, highlight, shadow);
    m_btnClose.Draw(pDC);
}

LRESULT CSizingControlBarG::OnNcHitTest(CPoint point)
{
    const LRESULT code = CSizingControlBar::OnNcHitTest(point);
    if (code != HTCLIENT)
        return code;
    if (ShowsGripper()) {
        CRect rcWnd;
        GetWindowRect(&rcWnd);
        CRect rcButton = m_btnClose.GetButtonRect();
        rcButton.OffsetRect(rcWnd.left, rcWnd.top);
        if (rcButton.PtInRect(point))
            return HTCLOSE;
    }
    return HTCLIENT;
}

void CSizingControlBarG::OnNcLButtonUp(UINT nHitTest, CPoint)
{
    if (nHitTest == static_cast<UINT>(HTCLOSE) && m_pDockSite)
        m_pDockSite->ShowControlBar(this, FALSE, FALSE);
    Default();
}

void CSizingControlBarG::OnUpdateCmdUI(CFrameWnd*, BOOL)
{
    if (!ShowsGripper())
        return;
    POINT pt;
    GetCursorPos(&pt);
    const BOOL over = OnNcHitTest(CPoint(pt.x, pt.y)) == HTCLOSE;
    const BOOL down = GetKeyState(VK_LBUTTON) < 0;
    const BOOL pressed = over && down;
    const BOOL hot = over && !down;
    if (pressed != m_btnClose.m_bPressed || hot != m_btnClose.m_bHot) {
        m_btnClose.m_bPressed = pressed;
        m_btnClose.m_bHot = hot;
        SendMessage(WM_NCPAINT);
    }
}
