#include "dockbar/CSideBar.h"

#include "res/ResourceIds.h"

BOOL CSideBar::Create(CWnd* pParentWnd)
{
    m_dwBarStyle = CBRS_ALIGN_LEFT;
    if (!CWnd::Create(WC_GENERIC, "", WS_CHILD | WS_VISIBLE, CRect(0, 0, 0, 0), pParentWnd, ID_VIEW_SIDEBAR))
        return FALSE;
    if (!m_dlgSidePanel.Create(IDD_SIDE_PANEL, this))
        return FALSE;
    m_dlgSidePanel.ShowWindow(SW_SHOW);
    return TRUE;
}

CSize CSideBar::CalcFixedLayout(BOOL, BOOL)
{
    // The form's own width, as its template gives it.
    CRect form(0, 0, 225, 361);
    m_dlgSidePanel.MapDialogRect(&form);
    return CSize(form.Width(), form.Height());
}

void CSideBar::RecalcLayout()
{
    CRect client;
    GetClientRect(&client);
    m_dlgSidePanel.MoveWindow(client);
}
