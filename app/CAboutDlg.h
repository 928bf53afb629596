// The About box.
#pragma once

#include "framework/controls/CDialog.h"

class CAboutDlg : public CDialog {
public:
    CAboutDlg();
    BOOL OnInitDialog() override;
};
