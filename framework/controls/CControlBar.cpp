#include "framework/controls/CControlBar.h"

#include <QWidget>

#include "framework/doc/CFrameWnd.h"
#include "framework/docking/CDockBar.h"
#include "framework/docking/CDockContext.h"
#include "framework/window/WindowTable.h"
#include "framework/window/private/WindowBacking.h"

IMPLEMENT_DYNAMIC(CControlBar, CWnd)

CControlBar::~CControlBar()
{
    delete m_pDockContext;
    m_pDockContext = nullptr;
}

void CControlBar::PostNcDestroy()
{
    // The bar leaves its dock bar's list with its window.
    if (m_pDockBar && WindowTable::IsWindow(m_pDockBar->m_hWnd))
        m_pDockBar->RemoveControlBar(this);
    m_pDockBar = nullptr;
    CWnd::PostNcDestroy();
}

CSize CControlBar::CalcFixedLayout(BOOL bStretch, BOOL bHorz)
{
    const QWidget* widget = WidgetOf(this);
    if (!widget)
        return CSize();
    const QSize hint = widget->sizeHint();
    CSize size(hint.width(), hint.height());
    if (bStretch)
        (bHorz ? size.cx : size.cy) = 32767;
    return size;
}

CSize CControlBar::CalcDynamicLayout(int, DWORD dwMode)
{
    return CalcFixedLayout((dwMode & LM_STRETCH) != 0, (dwMode & LM_HORZ) != 0);
}

void CControlBar::OnUpdateCmdUI(CFrameWnd*, BOOL)
{
}

void CControlBar::EnableDocking(DWORD dwDockStyle)
{
    m_dwDockStyle = dwDockStyle;
    if (!m_pDockContext)
        m_pDockContext = new CDockContext(this);
}

BOOL CControlBar::IsFloating() const
{
    return m_pDockBar && m_pDockBar->m_bFloating;
}

BOOL CControlBar::IsVisible() const
{
    if (m_nStateFlags & delayHide)
        return FALSE;
    return (m_nStateFlags & delayShow) || (GetStyle() & WS_VISIBLE);
}

void CControlBar::DelayShow(BOOL bShow)
{
    m_nStateFlags &= ~(delayHide | delayShow);
    const BOOL shown = (GetStyle() & WS_VISIBLE) != 0;
    if (bShow && !shown)
        m_nStateFlags |= delayShow;
    else if (!bShow && shown)
        m_nStateFlags |= delayHide;
}

void CControlBar::RecalcDelayShow()
{
    // Windows move at once here, so there is no batch to add the change to.
    if (m_nStateFlags & delayShow)
        ShowWindow(SW_SHOW);
    else if (m_nStateFlags & delayHide)
        ShowWindow(SW_HIDE);
    m_nStateFlags &= ~(delayHide | delayShow);
}

void CControlBar::DrawBorders(CDC* pDC, CRect& rect)
{
    const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
    const COLORREF highlight = GetSysColor(COLOR_BTNHIGHLIGHT);
    // Each border is an etched line: a shadow line and a highlight line.
    if (m_dwStyle & CBRS_BORDER_LEFT) {
        pDC->FillSolidRect(CRect(rect.left, rect.top, rect.left + 1, rect.bottom), shadow);
        pDC->FillSolidRect(CRect(rect.left + 1, rect.top, rect.left + 2, rect.bottom), highlight);
        rect.left += 2;
    }
    if (m_dwStyle & CBRS_BORDER_TOP) {
        pDC->FillSolidRect(CRect(rect.left, rect.top, rect.right, rect.top + 1), shadow);
        pDC->FillSolidRect(CRect(rect.left, rect.top + 1, rect.right, rect.top + 2), highlight);
        rect.top += 2;
    }
    if (m_dwStyle & CBRS_BORDER_RIGHT) {
        pDC->FillSolidRect(CRect(rect.right - 2, rect.top, rect.right - 1, rect.bottom), shadow);
        pDC->FillSolidRect(CRect(rect.right - 1, rect.top, rect.right, rect.bottom), highlight);
        rect.right -= 2;
    }
    if (m_dwStyle & CBRS_BORDER_BOTTOM) {
        pDC->FillSolidRect(CRect(rect.left, rect.bottom - 2, rect.right, rect.bottom - 1), shadow);
        pDC->FillSolidRect(CRect(rect.left, rect.bottom - 1, rect.right, rect.bottom), highlight);
        rect.bottom -= 2;
    }
}

CFrameWnd* CControlBar::GetDockingFrame() const
{
    return m_pDockSite;
}
