#include "dockbar/CSideBar.h"

#include <algorithm>

#include "res/ResourceIds.h"

// No run-time class of its own: it is a CSizingControlBarG to everyone.
BEGIN_MESSAGE_MAP(CSideBar, CSizingControlBarG)
ON_WM_CREATE()
END_MESSAGE_MAP()

int CSideBar::OnCreate(CREATESTRUCT* cs)
{
    if (CSizingControlBarG::OnCreate(cs) == -1)
        return -1;
    m_dwSizingStyle = (m_dwSizingStyle & ~SZBS_EDGEALL) | SZBS_SHOWEDGES | SZBS_SIZECHILD;
    if (!m_dlgPanel.Create(IDD_SIDE_PANEL, this))
        return -1;
    m_dlgPanel.ShowWindow(SW_SHOW);
    FitThicknessToForm();
    return 0;
}

// The form is laid out in dialog units of its font. Where that font is wider
// than the one the bar's sizes were chosen for, a bar of the usual thickness
// would cut off the form's right-hand buttons: it starts wide enough instead.
void CSideBar::FitThicknessToForm()
{
    CRect form;
    m_dlgPanel.GetWindowRect(&form);
    const DWORD sizingStyle = m_dwSizingStyle;
    CRect docked(0, 0, 1000, 1000);
    CalcClientArea(docked, AFX_IDW_DOCKBAR_LEFT);
    // Each call marks the edges of its position: start each from the style as it was.
    m_dwSizingStyle = sizingStyle;
    CRect floating(0, 0, 1000, 1000);
    CalcClientArea(floating, AFX_IDW_DOCKBAR_FLOAT);
    m_dwSizingStyle = sizingStyle; // the next layout works the edges out anew
    m_sizeVert.cx = std::max<LONG>(m_sizeVert.cx, form.Width() + 1000 - docked.Width());
    m_sizeFloat.cx = std::max<LONG>(m_sizeFloat.cx, form.Width() + 1000 - floating.Width());
}
