#include "framework/docking/CDockBar.h"

#include <algorithm>

#include "framework/doc/CFrameWnd.h"

IMPLEMENT_DYNAMIC(CDockBar, CControlBar)

BEGIN_MESSAGE_MAP(CDockBar, CControlBar)
END_MESSAGE_MAP()

CDockBar::CDockBar(BOOL bFloating)
    : m_bFloating(bFloating)
{
    m_arrBars.push_back(nullptr);
}

BOOL CDockBar::Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID)
{
    m_dwStyle = dwStyle & CBRS_ALL;
    return CWnd::Create(WC_GENERIC, nullptr, (dwStyle & ~CBRS_ALL) | WS_CHILD | WS_VISIBLE, CRect(0, 0, 0, 0),
        pParentWnd, nID);
}

int CDockBar::FindBar(CControlBar* pBar, int nPosExclude) const
{
    for (int i = 0; i < static_cast<int>(m_arrBars.size()); ++i) {
        if (i != nPosExclude && m_arrBars[static_cast<std::size_t>(i)] == pBar)
            return i;
    }
    return -1;
}

CControlBar* CDockBar::GetDockedControlBar(int nPos) const
{
    if (nPos < 0 || nPos >= static_cast<int>(m_arrBars.size()))
        return nullptr;
    void* entry = m_arrBars[static_cast<std::size_t>(nPos)];
    return IsBarEntry(entry) ? static_cast<CControlBar*>(entry) : nullptr;
}

int CDockBar::GetDockedCount() const
{
    return static_cast<int>(std::count_if(m_arrBars.begin(), m_arrBars.end(), IsBarEntry));
}

int CDockBar::GetDockedVisibleCount() const
{
    int count = 0;
    for (int i = 0; i < static_cast<int>(m_arrBars.size()); ++i) {
        if (CControlBar* bar = GetDockedControlBar(i); bar && bar->IsVisible())
            ++count;
    }
    return count;
}

void CDockBar::RemovePlaceholder(UINT nID)
{
    if (nID == 0)
        return;
    std::erase(m_arrBars, PlaceholderEntry(nID));
    Compact();
}

// No two separators in a row and one at each end: an emptied row goes.
void CDockBar::Compact()
{
    std::vector<void*> compacted;
    for (void* entry : m_arrBars) {
        if (!entry && !compacted.empty() && !compacted.back())
            continue;
        compacted.push_back(entry);
    }
    if (compacted.empty() || compacted.front())
        compacted.insert(compacted.begin(), nullptr);
    if (compacted.back())
        compacted.push_back(nullptr);
    m_arrBars = std::move(compacted);
}

void CDockBar::DockControlBar(CControlBar* pBar, const RECT* lpRect)
{
    if (pBar->m_pDockBar == this && FindBar(pBar) >= 0)
        return;
    if (pBar->m_pDockBar)
        pBar->m_pDockBar->RemoveControlBar(pBar, -1, m_bFloating && !pBar->m_pDockBar->m_bFloating);

    // Back into the row the bar left, if its placeholder is still there.
    const void* placeholder = PlaceholderEntry(static_cast<UINT>(pBar->GetDlgCtrlID()));
    auto it = pBar->GetDlgCtrlID() != 0 ? std::find(m_arrBars.begin(), m_arrBars.end(), placeholder)
                                        : m_arrBars.end();
    if (it != m_arrBars.end()) {
        *it = pBar;
    } else {
        m_arrBars.push_back(pBar);
        m_arrBars.push_back(nullptr);
    }
    Compact();

    pBar->m_pDockBar = this;
    pBar->m_dwStyle = (pBar->m_dwStyle & ~(CBRS_ALIGN_ANY | CBRS_BORDER_ANY | CBRS_FLOATING))
        | (m_dwStyle & CBRS_ALIGN_ANY);
    // The border faces the middle of the frame.
    if (m_dwStyle & CBRS_ALIGN_TOP)
        pBar->m_dwStyle |= CBRS_BORDER_BOTTOM;
    else if (m_dwStyle & CBRS_ALIGN_BOTTOM)
        pBar->m_dwStyle |= CBRS_BORDER_TOP;
    else if (m_dwStyle & CBRS_ALIGN_LEFT)
        pBar->m_dwStyle |= CBRS_BORDER_RIGHT;
    else if (m_dwStyle & CBRS_ALIGN_RIGHT)
        pBar->m_dwStyle |= CBRS_BORDER_LEFT;
    if (m_bFloating)
        pBar->m_dwStyle |= CBRS_FLOATING;

    CRect rc;
    pBar->GetWindowRect(&rc);
    if (lpRect)
        rc = *lpRect;
    POINT topLeft { rc.left, rc.top };
    ScreenToClient(&topLeft);
    pBar->SetParent(this);
    // A position change tells the bar its new dock bar.
    pBar->SetWindowPos(
        nullptr, topLeft.x, topLeft.y, rc.Width(), rc.Height(), SWP_NOZORDER | SWP_FRAMECHANGED);
}

BOOL CDockBar::RemoveControlBar(CControlBar* pBar, int nPosExclude, BOOL bAddPlaceholder)
{
    const int pos = FindBar(pBar, nPosExclude);
    if (pos < 0)
        return FALSE;
    if (bAddPlaceholder && pBar->GetDlgCtrlID() != 0)
        m_arrBars[static_cast<std::size_t>(pos)] = PlaceholderEntry(static_cast<UINT>(pBar->GetDlgCtrlID()));
    else
        m_arrBars.erase(m_arrBars.begin() + pos);
    Compact();
    if (pBar->m_pDockBar == this)
        pBar->m_pDockBar = nullptr;
    if (CFrameWnd* frame = GetParentFrame())
        frame->DelayRecalcLayout();
    return TRUE;
}

// Rows are laid side by side across the dock bar. Along a row, bars overlap
// by 2 pixels; a horizontal row starts at -2, a vertical one at 0, which is
// where the sizing bars line themselves up too.
BOOL CDockBar::LayoutRows(BOOL bHorz, int& thickness)
{
    const DWORD mode = bHorz ? (LM_HORZ | LM_HORZDOCK) : LM_VERTDOCK;
    int across = 0;
    int rowThickness = 0;
    int along = bHorz ? -2 : 0;
    for (std::size_t i = 0; i < m_arrBars.size(); ++i) {
        void* entry = m_arrBars[i];
        if (!entry) {
            across += rowThickness;
            rowThickness = 0;
            along = bHorz ? -2 : 0;
            continue;
        }
        CControlBar* bar = GetDockedControlBar(static_cast<int>(i));
        if (!bar || !bar->IsVisible())
            continue;
        const std::size_t countBefore = m_arrBars.size();
        // A floating bar keeps the size it was last given (LM_MRUWIDTH).
        const CSize size = m_bFloating ? bar->CalcDynamicLayout(0, LM_HORZ | LM_MRUWIDTH)
                                       : bar->CalcDynamicLayout(-1, mode);
        // The bar split its row: lay out again from the start.
        if (m_arrBars.size() != countBefore || m_arrBars[i] != entry)
            return FALSE;
        CRect rc = bHorz ? CRect(along, across, along + size.cx, across + size.cy)
                         : CRect(across, along, across + size.cx, along + size.cy);
        if (m_bFloating)
            rc = CRect(0, 0, size.cx, size.cy);
        if (!m_bLayoutQuery) {
            CRect now;
            bar->GetWindowRect(&now);
            POINT topLeft { now.left, now.top };
            ScreenToClient(&topLeft);
            if (topLeft.x != rc.left || topLeft.y != rc.top || now.Width() != rc.Width()
                || now.Height() != rc.Height())
                bar->MoveWindow(rc);
        }
        along += (bHorz ? size.cx : size.cy) - 2;
        rowThickness = std::max<int>(rowThickness, bHorz ? size.cy : size.cx);
    }
    thickness = across + rowThickness;
    return TRUE;
}

CSize CDockBar::CalcFixedLayout(BOOL bStretch, BOOL bHorz)
{
    int thickness = 0;
    // A row negotiation may split a row; each split is followed by a fresh
    // pass, and there can be no more splits than bars.
    for (std::size_t attempt = 0; attempt <= m_arrBars.size() + 1; ++attempt) {
        if (LayoutRows(bHorz, thickness))
            break;
    }
    if (m_bFloating)
        return CSize(m_rectLayout.Width(), m_rectLayout.Height());
    if (bHorz)
        return CSize(bStretch ? 32767 : m_rectLayout.Width(), thickness);
    return CSize(thickness, bStretch ? 32767 : m_rectLayout.Height());
}
