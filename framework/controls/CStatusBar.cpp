#include "framework/controls/CStatusBar.h"

#include "framework/controls/private/StatusBarWidget.h"
#include "framework/window/private/WindowBacking.h"

IMPLEMENT_DYNAMIC(CStatusBar, CControlBar)

namespace {

StatusBarWidget* BarOf(const CStatusBar* bar)
{
    return dynamic_cast<StatusBarWidget*>(WidgetOf(bar));
}

} // namespace

BOOL CStatusBar::Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID)
{
    m_dwStyle = dwStyle & CBRS_ALL;
    return CWnd::Create(WC_STATUSBAR, nullptr, dwStyle & ~CBRS_ALL, CRect(0, 0, 0, 0), pParentWnd, nID);
}

BOOL CStatusBar::SetIndicators(const UINT* lpIDArray, int nIDCount)
{
    StatusBarWidget* bar = BarOf(this);
    if (!bar)
        return FALSE;
    bar->Panes().clear();
    for (int i = 0; i < nIDCount; ++i) {
        StatusBarWidget::Pane pane;
        pane.id = lpIDArray[i];
        pane.style = i == 0 ? SBPS_NOBORDERS | SBPS_STRETCH : SBPS_NORMAL;
        pane.width = bar->fontMetrics().averageCharWidth() * 10;
        bar->Panes().push_back(pane);
    }
    bar->update();
    return TRUE;
}

int CStatusBar::GetCount() const
{
    StatusBarWidget* bar = BarOf(this);
    return bar ? static_cast<int>(bar->Panes().size()) : 0;
}

void CStatusBar::GetPaneInfo(int nIndex, UINT& nID, UINT& nStyle, int& cxWidth) const
{
    StatusBarWidget* bar = BarOf(this);
    if (!bar || nIndex < 0 || nIndex >= GetCount())
        return;
    const auto& pane = bar->Panes()[static_cast<std::size_t>(nIndex)];
    nID = pane.id;
    nStyle = pane.style;
    cxWidth = pane.width;
}

void CStatusBar::SetPaneInfo(int nIndex, UINT nID, UINT nStyle, int cxWidth)
{
    StatusBarWidget* bar = BarOf(this);
    if (!bar || nIndex < 0 || nIndex >= GetCount())
        return;
    auto& pane = bar->Panes()[static_cast<std::size_t>(nIndex)];
    pane.id = nID;
    pane.style = nStyle;
    pane.width = cxWidth;
    bar->update();
}

BOOL CStatusBar::SetPaneText(int nIndex, LPCSTR text, BOOL bUpdate)
{
    StatusBarWidget* bar = BarOf(this);
    if (!bar || nIndex < 0 || nIndex >= GetCount())
        return FALSE;
    CString& paneText = bar->Panes()[static_cast<std::size_t>(nIndex)].text;
    const bool changed = paneText != text;
    paneText = CString(text);
    if (changed)
        bar->PaneTextChanged(nIndex);
    if (bUpdate)
        bar->update();
    return TRUE;
}

CString CStatusBar::GetPaneText(int nIndex) const
{
    StatusBarWidget* bar = BarOf(this);
    if (!bar || nIndex < 0 || nIndex >= GetCount())
        return CString();
    return bar->Panes()[static_cast<std::size_t>(nIndex)].text;
}
