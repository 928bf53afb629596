// CControlBar: a bar along an edge of its frame (status bar, side bar). The
// frame asks each visible bar for its size when it lays out its client area.
#pragma once

#include "framework/controls/ControlStyles.h"
#include "framework/window/CWnd.h"

class CControlBar : public CWnd {
    DECLARE_DYNAMIC(CControlBar)
public:
    // The bar's size along (horz) or across its edge; stretch asks for the
    // full length of the edge.
    virtual CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz);
    DWORD GetBarStyle() const { return m_dwBarStyle; }
    void SetBarStyle(DWORD style) { m_dwBarStyle = style; }

protected:
    DWORD m_dwBarStyle = 0;
};
