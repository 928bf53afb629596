// CSizingControlBar: creation, non-client geometry and painting, hit-testing,
// mouse routing and the floating size. The row operations and the edge drag
// are in SizingRowLayout.cpp.
#include "dockbar/CSizingControlBar.h"

#include <algorithm>

#include "framework/doc/CFrameWnd.h"
#include "framework/docking/CDockBar.h"
#include "framework/docking/CDockContext.h"
#include "framework/docking/CMiniDockFrameWnd.h"

IMPLEMENT_DYNAMIC(CSizingControlBar, CControlBar)

BEGIN_MESSAGE_MAP(CSizingControlBar, CControlBar)
ON_WM_CREATE()
ON_WM_SETTINGCHANGE()
ON_WM_WINDOWPOSCHANGING()
ON_WM_NCCALCSIZE()
ON_WM_NCPAINT()
ON_WM_PAINT()
ON_WM_NCHITTEST()
ON_WM_NCLBUTTONDOWN()
ON_WM_MOUSEMOVE()
ON_WM_LBUTTONUP()
ON_WM_RBUTTONDOWN()
ON_WM_CAPTURECHANGED()
ON_WM_LBUTTONDOWN()
ON_WM_LBUTTONDBLCLK()
ON_WM_SIZE()
ON_MESSAGE(WM_SETTEXT, OnSetText)
ON_WM_CLOSE()
END_MESSAGE_MAP()

BOOL CSizingControlBar::Create(LPCSTR lpszWindowName, CWnd* pParentWnd, UINT nID, DWORD dwStyle)
{
    m_dwStyle = dwStyle & CBRS_ALL;
    LPCSTR wndClass = AfxRegisterWndClass(CS_DBLCLKS, IDC_ARROW, COLOR_BTNFACE, 0);
    const DWORD windowStyle = (dwStyle & ~CBRS_ALL) | WS_CLIPCHILDREN;
    return CWnd::Create(wndClass, lpszWindowName, windowStyle, CRect(0, 0, 0, 0), pParentWnd, nID);
}

BOOL CSizingControlBar::Create(
    LPCSTR lpszWindowName, CWnd* pParentWnd, CSize sizeDefault, UINT nID, DWORD dwStyle)
{
    m_sizeHorz = m_sizeVert = m_sizeFloat = sizeDefault;
    return Create(lpszWindowName, pParentWnd, nID, dwStyle);
}

BOOL CSizingControlBar::IsDockedHorz() const
{
    return m_nDockBarId == AFX_IDW_DOCKBAR_TOP || m_nDockBarId == AFX_IDW_DOCKBAR_BOTTOM;
}

BOOL CSizingControlBar::IsDockedVert() const
{
    return m_nDockBarId == AFX_IDW_DOCKBAR_LEFT || m_nDockBarId == AFX_IDW_DOCKBAR_RIGHT;
}

BOOL CSizingControlBar::IsUndocked() const
{
    return !IsDockedHorz() && !IsDockedVert();
}

BOOL CSizingControlBar::IsLengthDrag() const
{
    if (m_nDragEdge == HTLEFT || m_nDragEdge == HTRIGHT)
        return IsDockedHorz();
    return IsDockedVert();
}

int CSizingControlBar::OnCreate(CREATESTRUCT* cs)
{
    if (CControlBar::OnCreate(cs) == -1)
        return -1;
    m_bFullDrag = FALSE;
    SystemParametersInfo(SPI_GETDRAGFULLWINDOWS, 0, &m_bFullDrag, 0);
    return 0;
}

void CSizingControlBar::OnSettingChange(UINT, LPCSTR)
{
    Default();
    m_bFullDrag = FALSE;
    SystemParametersInfo(SPI_GETDRAGFULLWINDOWS, 0, &m_bFullDrag, 0);
}

void CSizingControlBar::OnWindowPosChanging(WINDOWPOS* lpwndpos)
{
    // The non-client area is recomputed on every move and resize: the edges
    // depend on the bar's place in its row.
    lpwndpos->flags |= SWP_FRAMECHANGED;
    Default();
    CWnd* parent = GetParent();
    m_nDockBarId = parent ? static_cast<UINT>(parent->GetDlgCtrlID()) : 0;
    if (!IsUndocked() && (lpwndpos->flags & SWP_SHOWWINDOW))
        m_bHoldLength = TRUE;
}

void CSizingControlBar::OnNcCalcSize(BOOL, NCCALCSIZE_PARAMS* lpncsp)
{
    CRect rc(lpncsp->rgrc[0]);
    if (IsUndocked()) {
        CFrameWnd* frame = GetParentFrame();
        if (frame && frame->IsKindOf(RUNTIME_CLASS(CMiniFrameWnd)) && (frame->GetStyle() & MFS_4THICKFRAME)) {
            // Corners resize too: the bar computes its floating size from
            // either direction (CalcDynamicLayout).
            frame->ModifyStyle(MFS_4THICKFRAME, 0);
            if (CWnd* parent = GetParent())
                parent->ModifyStyle(0, WS_CLIPCHILDREN);
        }
    }
    m_dwSizingStyle &= ~SZBS_EDGEALL;
    if (!IsUndocked() && m_pDockBar) {
        CSCBArray arrSCBars;
        int nThis = -1;
        CollectRowSizingBars(arrSCBars, nThis);
        const BOOL horz = IsDockedHorz();
        if (nThis > 0)
            m_dwSizingStyle |= horz ? SZBS_EDGELEFT : SZBS_EDGETOP;
        if (nThis >= 0 && nThis < static_cast<int>(arrSCBars.size()) - 1)
            m_dwSizingStyle |= horz ? SZBS_EDGERIGHT : SZBS_EDGEBOTTOM;
    }
    CalcClientArea(rc, m_nDockBarId);
    lpncsp->rgrc[0] = rc;
}

void CSizingControlBar::CalcClientArea(CRect& rc, UINT nDockBarId)
{
    rc.DeflateRect(3, 5, 3, 3);
    if (nDockBarId != AFX_IDW_DOCKBAR_FLOAT)
        rc.DeflateRect(2, 0, 2, 2);
    switch (nDockBarId) {
    case AFX_IDW_DOCKBAR_TOP:
        m_dwSizingStyle |= SZBS_EDGEBOTTOM;
        break;
    case AFX_IDW_DOCKBAR_BOTTOM:
        m_dwSizingStyle |= SZBS_EDGETOP;
        break;
    case AFX_IDW_DOCKBAR_LEFT:
        m_dwSizingStyle |= SZBS_EDGERIGHT;
        break;
    case AFX_IDW_DOCKBAR_RIGHT:
        m_dwSizingStyle |= SZBS_EDGELEFT;
        break;
    default:
        break;
    }
    if (m_dwSizingStyle & SZBS_SHOWEDGES) {
        const int e = m_cxSizingEdge;
        rc.DeflateRect((m_dwSizingStyle & SZBS_EDGELEFT) ? e : 0, (m_dwSizingStyle & SZBS_EDGETOP) ? e : 0,
            (m_dwSizingStyle & SZBS_EDGERIGHT) ? e : 0, (m_dwSizingStyle & SZBS_EDGEBOTTOM) ? e : 0);
    }
}

BOOL CSizingControlBar::CalcEdgeRect(const CRect& rcWnd, int nHitTest, CRect& rcEdge) const
{
    rcEdge = rcWnd;
    if (m_dwSizingStyle & SZBS_SHOWEDGES)
        rcEdge.DeflateRect(1, 1, 1, 1);
    const int e = m_cxSizingEdge;
    const BOOL horz = IsDockedHorz();
    switch (nHitTest) {
    case HTLEFT:
        if (!(m_dwSizingStyle & SZBS_EDGELEFT))
            return FALSE;
        rcEdge.right = rcEdge.left + e;
        if (horz)
            rcEdge.DeflateRect(0, e, 0, e);
        break;
    case HTTOP:
        if (!(m_dwSizingStyle & SZBS_EDGETOP))
            return FALSE;
        rcEdge.bottom = rcEdge.top + e;
        if (!horz)
            rcEdge.DeflateRect(e, 0, e, 0);
        break;
    case HTRIGHT:
        if (!(m_dwSizingStyle & SZBS_EDGERIGHT))
            return FALSE;
        rcEdge.left = rcEdge.right - e;
        if (horz)
            rcEdge.DeflateRect(0, e, 0, e);
        break;
    case HTBOTTOM:
        if (!(m_dwSizingStyle & SZBS_EDGEBOTTOM))
            return FALSE;
        rcEdge.top = rcEdge.bottom - e;
        if (!horz)
            rcEdge.DeflateRect(e, 0, e, 0);
        break;
    default:
        break;
    }
    return TRUE;
}

int CSizingControlBar::EdgeHitCode(int i)
{
    switch (i) {
    case 0:
        return HTLEFT;
    case 1:
        return HTTOP;
    case 2:
        return HTRIGHT;
    case 3:
        return HTBOTTOM;
    default:
        return 0;
    }
}

LRESULT CSizingControlBar::OnNcHitTest(CPoint point)
{
    if (IsUndocked())
        return HTCLIENT;
    CRect rcWnd;
    GetWindowRect(&rcWnd);
    for (int i = 0; i < 4; ++i) {
        CRect rcEdge;
        if (CalcEdgeRect(rcWnd, EdgeHitCode(i), rcEdge) && rcEdge.PtInRect(point))
            return EdgeHitCode(i);
    }
    // Border and gripper answer HTCLIENT too: a press there starts the move
    // drag and a double click toggles docking.
    return HTCLIENT;
}

void CSizingControlBar::OnNcPaint()
{
    CWindowDC dc(this);
    CRect rcBar;
    GetWindowRect(&rcBar);
    CRect rcClient;
    GetClientRect(&rcClient);
    POINT origin { 0, 0 };
    ClientToScreen(&origin);
    rcClient.OffsetRect(origin.x - rcBar.left, origin.y - rcBar.top);
    rcBar.OffsetRect(-rcBar.left, -rcBar.top);

    // Drawn in a bitmap and copied at once, clipped around the client area,
    // so that the child window never flickers while the bar is resized.
    CDC mdc;
    mdc.CreateCompatibleDC(&dc);
    CBitmap bitmap;
    bitmap.CreateCompatibleBitmap(&dc, rcBar.Width(), rcBar.Height());
    CBitmap* oldBitmap = mdc.SelectObject(&bitmap);

    CRect rcDraw = rcBar;
    DrawBorders(&mdc, rcDraw);
    mdc.FillRect(rcDraw, GetSysColorBrush(COLOR_BTNFACE)); // the window class's background
    if (m_dwSizingStyle & SZBS_SHOWEDGES) {
        for (int i = 0; i < 4; ++i) {
            CRect rcEdge;
            if (CalcEdgeRect(rcBar, EdgeHitCode(i), rcEdge))
                mdc.Draw3dRect(rcEdge, GetSysColor(COLOR_BTNHIGHLIGHT), GetSysColor(COLOR_BTNSHADOW));
        }
    }
    PaintGripper(&mdc, rcClient);

    dc.IntersectClipRect(rcBar);
    dc.ExcludeClipRect(rcClient);
    dc.BitBlt(0, 0, rcBar.Width(), rcBar.Height(), &mdc, 0, 0, SRCCOPY);
    mdc.SelectObject(oldBitmap);
    mdc.DeleteDC();
}

void CSizingControlBar::OnPaint()
{
    // The client area belongs to the child window; nothing to paint.
}

void CSizingControlBar::PaintGripper(CDC*, const CRect&)
{
}

void CSizingControlBar::OnUpdateCmdUI(CFrameWnd*, BOOL)
{
}

void CSizingControlBar::OnNcLButtonDown(UINT nHitTest, CPoint point)
{
    if (!m_bDragging && !IsUndocked() && nHitTest >= static_cast<UINT>(HTLEFT)
        && nHitTest <= static_cast<UINT>(HTBOTTOMRIGHT))
        BeginEdgeDrag(static_cast<int>(nHitTest), point);
}

void CSizingControlBar::OnMouseMove(UINT, CPoint point)
{
    if (m_bDragging) {
        ClientToScreen(&point);
        UpdateEdgeDrag(point);
    }
    Default();
}

void CSizingControlBar::OnLButtonUp(UINT, CPoint)
{
    if (m_bDragging)
        EndEdgeDrag();
    Default();
}

void CSizingControlBar::OnRButtonDown(UINT, CPoint)
{
    if (m_bDragging)
        EndEdgeDrag();
    Default();
}

void CSizingControlBar::OnCaptureChanged(CWnd* pWnd)
{
    if (m_bDragging && pWnd != this)
        EndEdgeDrag();
    Default();
}

void CSizingControlBar::OnLButtonDown(UINT, CPoint point)
{
    if (m_pDockBar && m_pDockContext) {
        ClientToScreen(&point);
        m_pDockContext->StartDrag(point);
        return;
    }
    Default();
}

void CSizingControlBar::OnLButtonDblClk(UINT, CPoint)
{
    if (m_pDockBar && m_pDockContext) {
        m_pDockContext->ToggleDocking();
        return;
    }
    Default();
}

void CSizingControlBar::OnSize(UINT, int cx, int cy)
{
    if (!(m_dwSizingStyle & SZBS_SIZECHILD))
        return;
    if (CWnd* child = GetWindow(GW_CHILD))
        child->MoveWindow(0, 0, cx, cy, TRUE);
}

LRESULT CSizingControlBar::OnSetText(WPARAM, LPARAM lParam)
{
    const LRESULT result = Default();
    if (IsUndocked()) {
        if (auto* frame = dynamic_cast<CMiniDockFrameWnd*>(GetParentFrame())) {
            // The floating frame's caption follows the bar's title.
            frame->m_wndDockBar.SetWindowText(reinterpret_cast<LPCSTR>(lParam));
            frame->DelayRecalcLayout();
        }
    }
    return result;
}

void CSizingControlBar::OnClose()
{
    // Never closes itself: the frame hides and shows it.
}

CSize CSizingControlBar::CalcDynamicLayout(int nLength, DWORD dwMode)
{
    if (dwMode & (LM_HORZDOCK | LM_VERTDOCK)) {
        if (nLength == -1)
            m_bRowLayout = TRUE;
        return CControlBar::CalcDynamicLayout(nLength, dwMode);
    }
    if (dwMode & (LM_MRUWIDTH | LM_COMMIT))
        return m_sizeFloat;

    const int hit = m_pDockContext ? m_pDockContext->m_nHitTest : HTNOWHERE;
    if (IsUndocked()
        && (hit == HTTOPLEFT || hit == HTTOPRIGHT || hit == HTBOTTOMLEFT || hit == HTBOTTOMRIGHT)) {
        POINT pt;
        GetCursorPos(&pt);
        CRect rcFrame;
        if (CFrameWnd* frame = GetParentFrame())
            frame->GetWindowRect(&rcFrame);
        CRect rcBar;
        GetWindowRect(&rcBar);
        CRect& drag = m_pDockContext->m_rectFrameDragHorz;
        if (hit == HTTOPLEFT || hit == HTBOTTOMLEFT) {
            m_sizeFloat.cx = rcFrame.left + rcBar.Width() - pt.x;
            drag.left = std::min<LONG>(pt.x, rcFrame.left + rcBar.Width() - m_sizeMinFloat.cx);
        }
        if (hit == HTTOPLEFT || hit == HTTOPRIGHT) {
            m_sizeFloat.cy = rcFrame.top + rcBar.Height() - pt.y;
            drag.top = std::min<LONG>(pt.y, rcFrame.top + rcBar.Height() - m_sizeMinFloat.cy);
        }
        if (hit == HTTOPRIGHT || hit == HTBOTTOMRIGHT)
            m_sizeFloat.cx = rcBar.Width() + pt.x - rcFrame.right;
        if (hit == HTBOTTOMLEFT || hit == HTBOTTOMRIGHT)
            m_sizeFloat.cy = rcBar.Height() + pt.y - rcFrame.bottom;
    } else {
        ((dwMode & LM_LENGTHY) ? m_sizeFloat.cy : m_sizeFloat.cx) = nLength;
    }
    m_sizeFloat.cx = std::max(m_sizeFloat.cx, m_sizeMinFloat.cx);
    m_sizeFloat.cy = std::max(m_sizeFloat.cy, m_sizeMinFloat.cy);
    return m_sizeFloat;
}
