// CCaptionButton: the close button drawn in a sizing bar's gripper band. It
// is not a window: the bar places, hit-tests and paints it in its non-client
// area.
#pragma once

#include "framework/window/CDC.h"

class CCaptionButton {
public:
    BOOL m_bPressed = FALSE; // sunken: the mouse is over it with the left button down
    BOOL m_bHot = FALSE; // raised: the mouse is over it with the left button up
    CPoint m_ptOrigin; // top-left in the bar's window coordinates

    void MoveTo(CPoint ptTo) { m_ptOrigin = ptTo; }
    CRect GetButtonRect() const;
    void Draw(CDC* pDC) const;
};
