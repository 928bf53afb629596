#include "framework/docking/CMiniDockFrameWnd.h"

#include "framework/docking/CDockContext.h"

IMPLEMENT_DYNAMIC(CMiniFrameWnd, CFrameWnd)
IMPLEMENT_DYNAMIC(CMiniDockFrameWnd, CMiniFrameWnd)

BEGIN_MESSAGE_MAP(CMiniFrameWnd, CFrameWnd)
ON_WM_NCCALCSIZE()
ON_WM_NCHITTEST()
ON_WM_NCPAINT()
ON_MESSAGE(WM_SETTEXT, OnSetText)
END_MESSAGE_MAP()

BEGIN_MESSAGE_MAP(CMiniDockFrameWnd, CMiniFrameWnd)
ON_WM_NCLBUTTONDOWN()
ON_WM_NCLBUTTONUP()
ON_WM_NCLBUTTONDBLCLK()
ON_WM_CLOSE()
END_MESSAGE_MAP()

namespace {

constexpr int kCorner = 12; // how far from a corner the border resizes both ways

} // namespace

BOOL CMiniFrameWnd::CreateMiniFrame(LPCSTR lpszWindowName, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd)
{
    return CWnd::Create(WC_GENERIC, lpszWindowName, dwStyle & ~WS_CHILD, rect, pParentWnd, 0);
}

void CMiniFrameWnd::OnNcCalcSize(BOOL, NCCALCSIZE_PARAMS* lpncsp)
{
    RECT& rc = lpncsp->rgrc[0];
    rc.left += kBorder;
    rc.top += kBorder + kCaption;
    rc.right -= kBorder;
    rc.bottom -= kBorder;
}

CRect CMiniFrameWnd::CloseBoxRect() const
{
    CRect rcWnd;
    GetWindowRect(&rcWnd);
    const int right = rcWnd.Width() - kBorder - 2;
    return CRect(right - 12, kBorder + 2, right, kBorder + 14);
}

LRESULT CMiniFrameWnd::OnNcHitTest(CPoint point)
{
    CRect rcWnd;
    GetWindowRect(&rcWnd);
    const int x = point.x - rcWnd.left;
    const int y = point.y - rcWnd.top;
    const int w = rcWnd.Width();
    const int h = rcWnd.Height();
    if (x < 0 || y < 0 || x >= w || y >= h)
        return HTNOWHERE;
    const bool left = x < kBorder;
    const bool right = x >= w - kBorder;
    const bool top = y < kBorder;
    const bool bottom = y >= h - kBorder;
    if (left || right || top || bottom) {
        if (!(GetStyle() & MFS_4THICKFRAME)) {
            const bool nearLeft = x < kCorner;
            const bool nearRight = x >= w - kCorner;
            const bool nearTop = y < kCorner;
            const bool nearBottom = y >= h - kCorner;
            if (nearTop && nearLeft)
                return HTTOPLEFT;
            if (nearTop && nearRight)
                return HTTOPRIGHT;
            if (nearBottom && nearLeft)
                return HTBOTTOMLEFT;
            if (nearBottom && nearRight)
                return HTBOTTOMRIGHT;
        }
        return left ? HTLEFT : right ? HTRIGHT : top ? HTTOP : HTBOTTOM;
    }
    if (y < kBorder + kCaption)
        return CloseBoxRect().PtInRect(CPoint(x, y)) ? HTCLOSE : HTCAPTION;
    return HTCLIENT;
}

void CMiniFrameWnd::OnNcPaint()
{
    CWindowDC dc(this);
    CRect rcWnd;
    GetWindowRect(&rcWnd);
    CRect rc(0, 0, rcWnd.Width(), rcWnd.Height());
    dc.FillSolidRect(rc, GetSysColor(COLOR_BTNFACE));
    dc.Draw3dRect(rc, GetSysColor(COLOR_BTNFACE), GetSysColor(COLOR_WINDOWFRAME));
    rc.DeflateRect(1, 1, 1, 1);
    dc.Draw3dRect(rc, GetSysColor(COLOR_BTNHIGHLIGHT), GetSysColor(COLOR_BTNSHADOW));
    const CRect caption(kBorder, kBorder, rcWnd.Width() - kBorder, kBorder + kCaption - 1);
    dc.FillSolidRect(caption, GetSysColor(COLOR_ACTIVECAPTION));
    // The close box: a cross of two-pixel diagonals, 8 pixels square.
    const CRect box = CloseBoxRect();
    for (int i = 0; i < 7; ++i) {
        dc.SetPixel(box.left + 2 + i, box.top + 2 + i, GetSysColor(COLOR_BTNTEXT));
        dc.SetPixel(box.left + 3 + i, box.top + 2 + i, GetSysColor(COLOR_BTNTEXT));
        dc.SetPixel(box.left + 8 - i, box.top + 2 + i, GetSysColor(COLOR_BTNTEXT));
        dc.SetPixel(box.left + 9 - i, box.top + 2 + i, GetSysColor(COLOR_BTNTEXT));
    }
    CFont font;
    font.CreatePointFont(8, "");
    CFont* oldFont = dc.SelectObject(&font);
    dc.SetTextColor(GetSysColor(COLOR_CAPTIONTEXT));
    dc.SetBkMode(TRANSPARENT);
    dc.IntersectClipRect(CRect(caption.left, caption.top, box.left - 2, caption.bottom));
    dc.TextOut(caption.left + 3, caption.top + 1, GetWindowText());
    dc.SelectObject(oldFont);
}

LRESULT CMiniFrameWnd::OnSetText(WPARAM, LPARAM)
{
    const LRESULT result = Default();
    SendMessage(WM_NCPAINT);
    return result;
}

BOOL CMiniDockFrameWnd::Create(CWnd* pParent, DWORD dwBarStyle)
{
    if (!CreateMiniFrame("", WS_POPUP | WS_THICKFRAME | MFS_4THICKFRAME, CRect(0, 0, 100, 100), pParent))
        return FALSE;
    if (!m_wndDockBar.Create(this, WS_CHILD | WS_VISIBLE | dwBarStyle, AFX_IDW_DOCKBAR_FLOAT))
        return FALSE;
    m_wndDockBar.m_pDockSite = dynamic_cast<CFrameWnd*>(pParent);
    return TRUE;
}

CControlBar* CMiniDockFrameWnd::FloatingBar() const
{
    for (int i = 0; i < static_cast<int>(m_wndDockBar.m_arrBars.size()); ++i) {
        if (CControlBar* bar = m_wndDockBar.GetDockedControlBar(i))
            return bar;
    }
    return nullptr;
}

void CMiniDockFrameWnd::RecalcLayout()
{
    if (m_bInRecalcLayout)
        return;
    m_bInRecalcLayout = TRUE;
    m_bLayoutPending = FALSE;
    if (CControlBar* bar = FloatingBar()) {
        CString title = m_wndDockBar.GetWindowText();
        if (title.IsEmpty())
            title = bar->GetWindowText();
        if (!(GetWindowText() == title))
            SetWindowText(title);
        const CSize size = bar->CalcDynamicLayout(0, LM_HORZ | LM_MRUWIDTH);
        m_wndDockBar.m_rectLayout = CRect(0, 0, size.cx, size.cy);
        m_wndDockBar.MoveWindow(0, 0, size.cx, size.cy);
        m_wndDockBar.CalcFixedLayout(FALSE, TRUE);
        CRect rcWnd;
        GetWindowRect(&rcWnd);
        const CRect wanted(rcWnd.left, rcWnd.top, rcWnd.left + size.cx + 2 * kBorder,
            rcWnd.top + size.cy + 2 * kBorder + kCaption);
        if (!(wanted == rcWnd))
            SetWindowPos(nullptr, wanted.left, wanted.top, wanted.Width(), wanted.Height(), SWP_NOZORDER);
        const BOOL visible = bar->IsVisible();
        if (visible != IsWindowVisible())
            ShowWindow(visible ? SW_SHOW : SW_HIDE);
    }
    m_bInRecalcLayout = FALSE;
}

void CMiniDockFrameWnd::OnNcLButtonDown(UINT nHitTest, CPoint point)
{
    CControlBar* bar = FloatingBar();
    if (!bar || !bar->m_pDockContext)
        return;
    if (nHitTest == HTCAPTION)
        bar->m_pDockContext->StartDrag(point);
    else if (nHitTest >= HTLEFT && nHitTest <= HTBOTTOMRIGHT)
        bar->m_pDockContext->StartResize(static_cast<int>(nHitTest), point);
}

void CMiniDockFrameWnd::OnNcLButtonUp(UINT nHitTest, CPoint)
{
    CControlBar* bar = FloatingBar();
    if (nHitTest == HTCLOSE && bar && bar->m_pDockSite)
        bar->m_pDockSite->ShowControlBar(bar, FALSE, FALSE);
}

void CMiniDockFrameWnd::OnNcLButtonDblClk(UINT nHitTest, CPoint)
{
    CControlBar* bar = FloatingBar();
    if (nHitTest == HTCAPTION && bar && bar->m_pDockContext)
        bar->m_pDockContext->ToggleDocking();
}

void CMiniDockFrameWnd::OnClose()
{
    // Closing a floating frame hides its bar; the bar is shown again through
    // its frame.
    CControlBar* bar = FloatingBar();
    if (bar && bar->m_pDockSite)
        bar->m_pDockSite->ShowControlBar(bar, FALSE, FALSE);
}
