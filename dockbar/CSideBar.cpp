#include "dockbar/CSideBar.h"

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
    return 0;
}
