#include "framework/docking/CDockContext.h"

#include <cstdlib>

#include "framework/controls/CControlBar.h"
#include "framework/doc/CFrameWnd.h"
#include "framework/docking/CDockBar.h"
#include "framework/docking/CMiniDockFrameWnd.h"

namespace {

constexpr int kDragThreshold = 4; // pixels the mouse must move before a press becomes a drag
constexpr int kDockZone = 24; // depth of the zone beside each side that docks a dropped bar
constexpr int kDragRectWidth = 3; // thickness of the drag rectangle's outline
constexpr int kFloatOffset = 20; // a bar floated by a double click appears this far down and right

} // namespace

CDockContext::CDockContext(CControlBar* pBar)
    : m_pBar(pBar)
{
}

CDockContext::~CDockContext() = default;

void CDockContext::StartDrag(CPoint pt)
{
    BeginMove(pt);
    CControlBar* const barObject = m_pBar;
    const HWND bar = barObject->m_hWnd;
    const BOOL released = AfxTrackMouse([this, bar, barObject](CPoint p) {
        if (CWnd::FromHandle(bar) == barObject)
            Move(p);
    });
    // The tracking loop runs the program: the frame, and this bar and
    // context with it, may have been closed and deleted meanwhile.
    if (CWnd::FromHandle(bar) != barObject)
        return;
    EndMove(released);
}

void CDockContext::BeginMove(CPoint pt)
{
    m_pDockSite = m_pBar->m_pDockSite;
    m_ptStart = pt;
    m_bMoved = FALSE;
    m_bDragging = TRUE;
    CRect rc;
    if (m_pBar->IsFloating() && m_pBar->GetParentFrame())
        m_pBar->GetParentFrame()->GetWindowRect(&rc);
    else
        m_pBar->GetWindowRect(&rc);
    m_rectDragHorz = rc;
}

void CDockContext::Move(CPoint pt)
{
    if (!m_bDragging)
        return;
    if (!m_bMoved && std::abs(pt.x - m_ptStart.x) < kDragThreshold
        && std::abs(pt.y - m_ptStart.y) < kDragThreshold)
        return;
    m_bMoved = TRUE;
    if (m_bRectShown)
        DrawDragRect(); // erase it where it was
    const int dx = pt.x - m_ptStart.x;
    const int dy = pt.y - m_ptStart.y;
    m_ptStart = pt;
    m_rectDragHorz.OffsetRect(dx, dy);
    DrawDragRect();
}

void CDockContext::EndMove(BOOL bDrop)
{
    if (!m_bDragging)
        return;
    if (m_bRectShown)
        DrawDragRect();
    m_bDragging = FALSE;
    if (!bDrop || !m_bMoved || !m_pDockSite)
        return;
    const UINT side = DockSideAt(m_ptStart);
    if (side) {
        if (m_pBar->IsFloating())
            m_ptMRUFloatPos = m_rectDragHorz.TopLeft(), m_bHasFloatPos = TRUE;
        m_uMRUDockID = side;
        m_pDockSite->DockControlBar(m_pBar, side, nullptr);
    } else {
        if (!m_pBar->IsFloating() && m_pBar->m_pDockBar)
            m_uMRUDockID = static_cast<UINT>(m_pBar->m_pDockBar->GetDlgCtrlID());
        m_ptMRUFloatPos = m_rectDragHorz.TopLeft();
        m_bHasFloatPos = TRUE;
        m_pDockSite->FloatControlBar(m_pBar, m_rectDragHorz.TopLeft());
    }
}

UINT CDockContext::DockSideAt(CPoint pt) const
{
    if (!m_pDockSite)
        return 0;
    static const struct {
        UINT id;
        DWORD align;
    } sides[] = { { AFX_IDW_DOCKBAR_LEFT, CBRS_ALIGN_LEFT }, { AFX_IDW_DOCKBAR_RIGHT, CBRS_ALIGN_RIGHT },
        { AFX_IDW_DOCKBAR_TOP, CBRS_ALIGN_TOP }, { AFX_IDW_DOCKBAR_BOTTOM, CBRS_ALIGN_BOTTOM } };
    for (const auto& side : sides) {
        CDockBar* dockBar = m_pDockSite->GetDockBar(side.id);
        if (!dockBar || !(m_pBar->m_dwDockStyle & side.align))
            continue;
        // The dock bar itself and a strip beside it on the frame's inside.
        CRect zone;
        dockBar->GetWindowRect(&zone);
        switch (side.align) {
        case CBRS_ALIGN_LEFT:
            zone.right += kDockZone;
            break;
        case CBRS_ALIGN_RIGHT:
            zone.left -= kDockZone;
            break;
        case CBRS_ALIGN_TOP:
            zone.bottom += kDockZone;
            break;
        default:
            zone.top -= kDockZone;
            break;
        }
        if (zone.PtInRect(pt))
            return side.id;
    }
    return 0;
}

void CDockContext::DrawDragRect()
{
    CFrameWnd* site = m_pDockSite ? m_pDockSite : m_pBar->m_pDockSite;
    if (!site)
        return;
    const CRect rc = m_bRectShown ? m_rectShown : m_rectDragHorz;
    CRect frame;
    site->GetWindowRect(&frame);
    CRect local = rc;
    local.OffsetRect(-frame.left, -frame.top);
    CDC* dc = site->GetDCEx(nullptr, DCX_WINDOW | DCX_CACHE | DCX_LOCKWINDOWUPDATE);
    CBrush* old = dc->SelectObject(CDC::GetHalftoneBrush());
    const int t = kDragRectWidth;
    dc->PatBlt(local.left, local.top, local.Width(), t, PATINVERT);
    dc->PatBlt(local.left, local.bottom - t, local.Width(), t, PATINVERT);
    dc->PatBlt(local.left, local.top + t, t, local.Height() - 2 * t, PATINVERT);
    dc->PatBlt(local.right - t, local.top + t, t, local.Height() - 2 * t, PATINVERT);
    dc->SelectObject(old);
    site->ReleaseDC(dc);
    m_bRectShown = !m_bRectShown;
    m_rectShown = rc;
}

void CDockContext::ToggleDocking()
{
    CFrameWnd* site = m_pBar->m_pDockSite;
    if (!site)
        return;
    if (m_pBar->IsFloating()) {
        if (CFrameWnd* miniFrame = m_pBar->GetParentFrame()) {
            CRect rc;
            miniFrame->GetWindowRect(&rc);
            m_ptMRUFloatPos = rc.TopLeft();
            m_bHasFloatPos = TRUE;
        }
        site->DockControlBar(m_pBar, m_uMRUDockID, nullptr);
        return;
    }
    if (m_pBar->m_pDockBar)
        m_uMRUDockID = static_cast<UINT>(m_pBar->m_pDockBar->GetDlgCtrlID());
    CRect rc;
    m_pBar->GetWindowRect(&rc);
    const CPoint at
        = m_bHasFloatPos ? m_ptMRUFloatPos : CPoint(rc.left + kFloatOffset, rc.top + kFloatOffset);
    site->FloatControlBar(m_pBar, at);
}

void CDockContext::StartResize(int nHitTest, CPoint)
{
    BeginResize(nHitTest);
    CControlBar* const barObject = m_pBar;
    const HWND bar = barObject->m_hWnd;
    AfxTrackMouse([this, bar, barObject](CPoint p) {
        if (CWnd::FromHandle(bar) == barObject)
            Resize(p);
    });
    if (CWnd::FromHandle(bar) != barObject)
        return;
    EndResize();
}

void CDockContext::BeginResize(int nHitTest)
{
    m_nHitTest = nHitTest;
    if (CFrameWnd* frame = m_pBar->GetParentFrame())
        frame->GetWindowRect(&m_rectFrameDragHorz);
}

// The bar decides its size from the mouse; the floating frame follows it,
// its far sides staying where they are.
void CDockContext::Resize(CPoint pt)
{
    auto* frame = dynamic_cast<CMiniDockFrameWnd*>(m_pBar->GetParentFrame());
    if (!frame || m_nHitTest == HTNOWHERE)
        return;
    CRect rcFrame;
    frame->GetWindowRect(&rcFrame);
    m_rectFrameDragHorz = rcFrame;
    CRect rcBar;
    m_pBar->GetWindowRect(&rcBar);
    const int ncWidth = rcFrame.Width() - rcBar.Width();
    const int ncHeight = rcFrame.Height() - rcBar.Height();
    CSize size;
    switch (m_nHitTest) {
    case HTLEFT:
        size = m_pBar->CalcDynamicLayout(rcFrame.right - pt.x - ncWidth, LM_HORZ);
        break;
    case HTRIGHT:
        size = m_pBar->CalcDynamicLayout(pt.x - rcFrame.left - ncWidth, LM_HORZ);
        break;
    case HTTOP:
        size = m_pBar->CalcDynamicLayout(rcFrame.bottom - pt.y - ncHeight, LM_HORZ | LM_LENGTHY);
        break;
    case HTBOTTOM:
        size = m_pBar->CalcDynamicLayout(pt.y - rcFrame.top - ncHeight, LM_HORZ | LM_LENGTHY);
        break;
    default:
        size = m_pBar->CalcDynamicLayout(0, LM_HORZ);
        break;
    }
    const BOOL leftSide = m_nHitTest == HTLEFT || m_nHitTest == HTTOPLEFT || m_nHitTest == HTBOTTOMLEFT;
    const BOOL topSide = m_nHitTest == HTTOP || m_nHitTest == HTTOPLEFT || m_nHitTest == HTTOPRIGHT;
    const BOOL corner = m_nHitTest == HTTOPLEFT || m_nHitTest == HTTOPRIGHT || m_nHitTest == HTBOTTOMLEFT
        || m_nHitTest == HTBOTTOMRIGHT;
    const int width = size.cx + ncWidth;
    const int height = size.cy + ncHeight;
    int left = rcFrame.left;
    int top = rcFrame.top;
    if (leftSide)
        left = corner ? m_rectFrameDragHorz.left : rcFrame.right - width;
    if (topSide)
        top = corner ? m_rectFrameDragHorz.top : rcFrame.bottom - height;
    frame->SetWindowPos(nullptr, left, top, width, height, SWP_NOZORDER);
    frame->RecalcLayout();
}

void CDockContext::EndResize()
{
    m_nHitTest = HTNOWHERE;
}
