// CSizingControlBar: sharing a dock row and dragging the sizing edges.
//
// A left dock bar with two sizing bars in one row (a column) and the edge
// between them; rows are separated by null entries of the dock bar's list:
//
//     m_arrBars: [ null | upper | lower | null ]
//
//     +---------+ y = 0
//     |  upper  |
//     |         |
//     |=========| <- HTBOTTOM of upper / HTTOP of lower: a length drag
//     |  lower  |    trades length between them
//     |         |
//     +---------+
//               ^ HTRIGHT of both: a thickness drag changes the whole row
//
// Adjacent bars overlap by 2 pixels, so every length counts less 2.
#include <algorithm>
#include <cstdlib>

#include "dockbar/CSizingControlBar.h"
#include "framework/doc/CFrameWnd.h"
#include "framework/docking/CDockBar.h"

namespace {

int Sign(int v)
{
    return (v > 0) - (v < 0);
}

CSizingControlBar* AsSizingBar(CControlBar* bar)
{
    return bar && bar->IsKindOf(RUNTIME_CLASS(CSizingControlBar)) ? static_cast<CSizingControlBar*>(bar)
                                                                  : nullptr;
}

} // namespace

void CSizingControlBar::GetRowRange(int& nFirst, int& nLast, int& nThis) const
{
    nFirst = nLast = -1;
    nThis = m_pDockBar ? m_pDockBar->FindBar(const_cast<CSizingControlBar*>(this)) : -1;
    if (nThis < 0)
        return;
    const auto& arr = m_pDockBar->m_arrBars;
    for (int i = nThis - 1; i >= 0; --i) {
        if (!arr[static_cast<std::size_t>(i)]) {
            nFirst = i + 1;
            break;
        }
    }
    for (int i = nThis + 1; i < static_cast<int>(arr.size()); ++i) {
        if (!arr[static_cast<std::size_t>(i)]) {
            nLast = i - 1;
            break;
        }
    }
}

void CSizingControlBar::CollectRowSizingBars(CSCBArray& arrSCBars, int& nThis) const
{
    arrSCBars.clear();
    nThis = -1;
    int nFirst = -1;
    int nLast = -1;
    int nOwn = -1;
    GetRowRange(nFirst, nLast, nOwn);
    if (nOwn < 0)
        return;
    for (int i = nFirst; i <= nLast; ++i) {
        CSizingControlBar* bar = AsSizingBar(m_pDockBar->GetDockedControlBar(i));
        if (!bar || !bar->IsVisible())
            continue;
        if (bar == this)
            nThis = static_cast<int>(arrSCBars.size());
        arrSCBars.push_back(bar);
    }
}

void CSizingControlBar::CollectRowSizingBars(CSCBArray& arrSCBars) const
{
    int nThis = -1;
    CollectRowSizingBars(arrSCBars, nThis);
}

CSize CSizingControlBar::CalcFixedLayout(BOOL bStretch, BOOL bHorz)
{
    if (bStretch)
        return bHorz ? CSize(32767, m_sizeHorz.cy) : CSize(m_sizeVert.cx, 32767);

    CSCBArray arrSCBars;
    int nThis = -1;
    CollectRowSizingBars(arrSCBars, nThis);

    if (m_pDockBar && !m_pDockBar->m_bLayoutQuery) {
        for (CSizingControlBar* bar : arrSCBars) {
            if (bar->m_nStateFlags & (delayHide | delayShow))
                bar->RecalcDelayShow();
        }
    }

    CRect rc = m_pDockBar ? m_pDockBar->m_rectLayout : CRect();
    if (rc.IsRectEmpty() && m_pDockSite)
        m_pDockSite->GetClientRect(&rc);
    const int nLengthTotal = bHorz ? rc.Width() + 2 : rc.Height() - 2;

    if (IsVisible() && !IsUndocked() && m_bRowLayout && !arrSCBars.empty() && arrSCBars.front() == this) {
        if (NegotiateRowSpace(nLengthTotal, bHorz))
            AlignRowBars();
    }
    m_bRowLayout = FALSE;

    if (bHorz)
        return CSize(std::max(m_sizeHorz.cx, m_sizeMinHorz.cx), std::max(m_sizeHorz.cy, m_sizeMinHorz.cy));
    return CSize(std::max(m_sizeVert.cx, m_sizeMinVert.cx), std::max(m_sizeVert.cy, m_sizeMinVert.cy));
}

BOOL CSizingControlBar::NegotiateRowSpace(int nLengthTotal, BOOL bHorz)
{
    int nFirst = -1;
    int nLast = -1;
    int nThis = -1;
    GetRowRange(nFirst, nLast, nThis);
    if (nThis < 0)
        return FALSE;
    auto& arr = m_pDockBar->m_arrBars;

    int nLengthMin = 2;
    int nLengthAvail = nLengthTotal;
    int nLengthActual = 0;
    int nWidthMax = 0;
    for (int i = nFirst; i <= nLast; ++i) {
        CControlBar* bar = m_pDockBar->GetDockedControlBar(i);
        if (!bar || !bar->IsVisible())
            continue;
        CSizingControlBar* sizing = AsSizingBar(bar);
        CRect rcBar;
        bar->GetWindowRect(&rcBar);
        const int w = sizing ? sizing->MinLength(bHorz) : (bHorz ? rcBar.Width() : rcBar.Height());
        nLengthMin += w - 2;
        if (nLengthMin > nLengthTotal) {
            if (i < nThis) {
                // The bars before this one fill the row: this one and those
                // after it start a new row.
                arr.insert(arr.begin() + i + 1, nullptr);
                return FALSE;
            }
            if (i == nThis) {
                Length(bHorz) = MinLength(bHorz);
                return TRUE;
            }
            arr.insert(arr.begin() + i, nullptr);
            nLast = i - 1;
            break;
        }
        if (sizing) {
            nLengthActual += sizing->Length(bHorz) - 2;
            nWidthMax = std::max<int>(nWidthMax, sizing->Thickness(bHorz));
        } else {
            nLengthAvail -= w - 2;
        }
    }

    CSCBArray arrSCBars;
    CollectRowSizingBars(arrSCBars);
    int nDelta = nLengthAvail - nLengthActual;

    if (arrSCBars.size() == 1) {
        if (nDelta != 0) {
            m_bHoldLength = FALSE;
            Length(bHorz) += nDelta;
        }
        return TRUE;
    }

    for (CSizingControlBar* bar : arrSCBars)
        bar->Thickness(bHorz) = nWidthMax;

    // One pixel at a time over the bars in row order: bars at their minimum
    // do not shrink, a bar just shown keeps its length while others can give.
    while (nDelta != 0) {
        const int nDeltaOld = nDelta;
        for (CSizingControlBar* bar : arrSCBars) {
            if (nDelta < 0 && bar->Length(bHorz) == bar->MinLength(bHorz))
                continue;
            if (bar->m_bHoldLength)
                continue;
            const int step = Sign(nDelta);
            bar->Length(bHorz) += step;
            nDelta -= step;
            if (nDelta == 0)
                break;
        }
        if (nDelta == nDeltaOld || nDelta == 0) {
            const bool anyHeld = std::any_of(arrSCBars.begin(), arrSCBars.end(),
                [](const CSizingControlBar* b) { return b->m_bHoldLength; });
            for (CSizingControlBar* bar : arrSCBars)
                bar->m_bHoldLength = FALSE;
            // Nothing could move and nothing was held back: the rest cannot
            // be placed (every bar at its minimum).
            if (nDelta == nDeltaOld && !anyHeld)
                break;
        }
    }
    return TRUE;
}

void CSizingControlBar::AlignRowBars()
{
    int nFirst = -1;
    int nLast = -1;
    int nThis = -1;
    GetRowRange(nFirst, nLast, nThis);
    if (nThis < 0)
        return;
    const BOOL horz = IsDockedHorz();
    int nPos = horz ? -2 : 0;
    CRect rcDock;
    m_pDockBar->GetWindowRect(&rcDock);
    BOOL moved = FALSE;
    for (int i = nFirst; i <= nLast; ++i) {
        CControlBar* bar = m_pDockBar->GetDockedControlBar(i);
        if (!bar || !bar->IsVisible())
            continue;
        CRect rc;
        bar->GetWindowRect(&rc);
        rc.OffsetRect(-rcDock.left, -rcDock.top);
        if (CSizingControlBar* sizing = AsSizingBar(bar)) {
            const CSize size = horz ? sizing->m_sizeHorz : sizing->m_sizeVert;
            rc = CRect(rc.left, rc.top, rc.left + size.cx, rc.top + size.cy);
        }
        if ((horz ? rc.left : rc.top) != nPos) {
            if (horz)
                rc.OffsetRect(nPos - rc.left, m_nDockBarId == AFX_IDW_DOCKBAR_TOP ? -2 : 0);
            else
                rc.OffsetRect(0, nPos - rc.top - 2);
            bar->MoveWindow(rc, TRUE);
            moved = TRUE;
        }
        nPos += (horz ? rc.Width() : rc.Height()) - 2;
    }
    if (moved && m_pDockSite)
        m_pDockSite->DelayRecalcLayout();
}

void CSizingControlBar::BeginEdgeDrag(int nHitTest, CPoint point)
{
    SetCapture();
    if (!m_bFullDrag)
        RedrawWindow(nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    m_nDragEdge = nHitTest;
    m_bDragging = TRUE;
    const BOOL horz = IsDockedHorz();
    const BOOL axisX = nHitTest == HTLEFT || nHitTest == HTRIGHT;
    m_nDragPos = axisX ? point.x : point.y;

    CRect rcWnd;
    GetWindowRect(&rcWnd);
    CRect rcEdge;
    CalcEdgeRect(rcWnd, m_nDragEdge, rcEdge);
    m_nDragEdgeOffset
        = m_nDragPos - (axisX ? (rcEdge.left + rcEdge.right) / 2 : (rcEdge.top + rcEdge.bottom) / 2);

    CSCBArray arrSCBars;
    int nThis = -1;
    CollectRowSizingBars(arrSCBars, nThis);
    m_nDragMin = m_nDragMax = m_nDragPos;

    if (!IsLengthDrag()) {
        int nSmallest = MinThickness(horz);
        for (CSizingControlBar* bar : arrSCBars)
            nSmallest = std::max<int>(nSmallest, bar->MinThickness(horz));
        const int nExcess = Thickness(horz) - nSmallest;
        CRect rcLeft;
        if (m_pDockSite)
            m_pDockSite->RepositionBars(0, 0xFFFF, AFX_IDW_PANE_FIRST, reposQuery, &rcLeft, nullptr, TRUE);
        const int nRoom = (horz ? rcLeft.Height() : rcLeft.Width()) - 2;
        if (nHitTest == HTTOP || nHitTest == HTLEFT) {
            m_nDragMin -= nRoom;
            m_nDragMax += nExcess;
        } else {
            m_nDragMin -= nExcess;
            m_nDragMax += nRoom;
        }
    } else {
        if (nHitTest == HTBOTTOM || nHitTest == HTRIGHT)
            ++nThis;
        for (int i = 0; i < static_cast<int>(arrSCBars.size()); ++i) {
            CSizingControlBar* bar = arrSCBars[static_cast<std::size_t>(i)];
            const int spare = bar->Length(horz) - bar->MinLength(horz);
            if (i < nThis)
                m_nDragMin -= spare;
            else
                m_nDragMax += spare;
        }
    }
    InvertDragTracker();
}

void CSizingControlBar::UpdateEdgeDrag(CPoint point)
{
    const BOOL axisX = m_nDragEdge == HTLEFT || m_nDragEdge == HTRIGHT;
    const int pos = std::clamp<int>(axisX ? point.x : point.y, m_nDragMin, std::max(m_nDragMin, m_nDragMax));
    const int delta = pos - m_nDragPos;
    if (delta == 0)
        return;
    InvertDragTracker();
    m_nDragPos = pos;

    const BOOL horz = IsDockedHorz();
    CSize newSize = horz ? m_sizeHorz : m_sizeVert;
    switch (m_nDragEdge) {
    case HTLEFT:
        newSize.cx -= delta;
        break;
    case HTRIGHT:
        newSize.cx += delta;
        break;
    case HTTOP:
        newSize.cy -= delta;
        break;
    case HTBOTTOM:
        newSize.cy += delta;
        break;
    default:
        break;
    }

    CSCBArray arrSCBars;
    int nThis = -1;
    CollectRowSizingBars(arrSCBars, nThis);

    if (!IsLengthDrag()) {
        for (CSizingControlBar* bar : arrSCBars) {
            if (horz)
                bar->m_sizeHorz.cy = newSize.cy;
            else
                bar->m_sizeVert.cx = newSize.cx;
        }
    } else {
        BOOL before = m_nDragEdge == HTTOP || m_nDragEdge == HTLEFT;
        int grow = nThis;
        if ((before && delta > 0) || (!before && delta < 0)) {
            grow = before ? nThis - 1 : nThis + 1;
            before = !before;
        }
        const int count = static_cast<int>(arrSCBars.size());
        if (grow >= 0 && grow < count) {
            int d = std::abs(delta);
            arrSCBars[static_cast<std::size_t>(grow)]->Length(horz) += d;
            for (int i = before ? grow - 1 : grow + 1; d != 0 && i >= 0 && i < count; i += before ? -1 : 1) {
                CSizingControlBar* bar = arrSCBars[static_cast<std::size_t>(i)];
                const int s = std::min<int>(d, bar->Length(horz) - bar->MinLength(horz));
                bar->Length(horz) -= s;
                d -= s;
            }
        }
    }

    InvertDragTracker();
    if (m_bFullDrag && m_pDockSite)
        m_pDockSite->DelayRecalcLayout();
}

void CSizingControlBar::InvertDragTracker()
{
    if (m_bFullDrag || !m_pDockSite)
        return;
    const BOOL axisX = m_nDragEdge == HTLEFT || m_nDragEdge == HTRIGHT;
    CRect rcWnd;
    GetWindowRect(&rcWnd);
    CRect rc;
    CalcEdgeRect(rcWnd, m_nDragEdge, rc);
    if (!IsLengthDrag() && m_pDockBar) {
        CRect rcDock;
        m_pDockBar->GetWindowRect(&rcDock);
        if (IsDockedHorz())
            rc = CRect(rcDock.left + 1, rc.top, rcDock.right - 1, rc.bottom);
        else
            rc = CRect(rc.left, rcDock.top + 1, rc.right, rcDock.bottom - 1);
    }
    const int center = axisX ? (rc.left + rc.right) / 2 : (rc.top + rc.bottom) / 2;
    const int offset = m_nDragPos - m_nDragEdgeOffset - center;
    if (axisX)
        rc.OffsetRect(offset, 0);
    else
        rc.OffsetRect(0, offset);
    CRect rcFrame;
    m_pDockSite->GetWindowRect(&rcFrame);
    rc.OffsetRect(-rcFrame.left, -rcFrame.top);

    CDC* dc = m_pDockSite->GetDCEx(nullptr, DCX_WINDOW | DCX_CACHE | DCX_LOCKWINDOWUPDATE);
    CBrush* oldBrush = dc->SelectObject(CDC::GetHalftoneBrush());
    dc->PatBlt(rc.left, rc.top, rc.Width(), rc.Height(), PATINVERT);
    dc->SelectObject(oldBrush);
    m_pDockSite->ReleaseDC(dc);
}

void CSizingControlBar::EndEdgeDrag()
{
    InvertDragTracker();
    m_bDragging = FALSE;
    ReleaseCapture();
    if (m_pDockSite)
        m_pDockSite->DelayRecalcLayout();
}
