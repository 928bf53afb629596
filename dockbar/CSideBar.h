// CSideBar: the main frame's docking side panel. A gripper sizing bar that
// owns the side panel form and keeps it exactly as large as its client area.
#pragma once

#include "dockbar/CSizingControlBarG.h"
#include "sidepanel/CSidePanelDlg.h"

class CSideBar : public CSizingControlBarG {
public:
    CSidePanelDlg& Form() { return m_dlgPanel; }

protected:
    DECLARE_MESSAGE_MAP()
    int OnCreate(CREATESTRUCT* cs);
    void FitThicknessToForm();

    CSidePanelDlg m_dlgPanel;
};
