// CDockContext: moves a control bar between docked and floating. A move drag
// follows the mouse with a drag rectangle and drops the bar docked on the
// side under the mouse, or floating; a double click toggles; a floating
// frame's border resizes the bar through its CalcDynamicLayout.
#pragma once

#include "framework/base/Types.h"
#include "framework/window/CWnd.h"

class CControlBar;
class CFrameWnd;

class CDockContext {
public:
    explicit CDockContext(CControlBar* pBar);
    virtual ~CDockContext();
    CDockContext(const CDockContext&) = delete;
    CDockContext& operator=(const CDockContext&) = delete;

    // Runs a move drag from a screen point while the left button is down.
    virtual void StartDrag(CPoint pt);
    // Docked becomes floating, floating goes back to where it was docked.
    void ToggleDocking();
    // Runs a resize of the floating frame by its border while the left
    // button is down; nHitTest names the side or corner.
    virtual void StartResize(int nHitTest, CPoint pt);

    // The steps of the drags, as the mouse gives them.
    void BeginMove(CPoint pt);
    void Move(CPoint pt);
    void EndMove(BOOL bDrop);
    void BeginResize(int nHitTest);
    void Resize(CPoint pt);
    void EndResize();
    // The dock bar id of the side a drop at pt docks to, or 0 to float.
    UINT DockSideAt(CPoint pt) const;

    CControlBar* m_pBar;
    CFrameWnd* m_pDockSite = nullptr;
    UINT m_uMRUDockID = 0;
    CPoint m_ptMRUFloatPos;
    BOOL m_bHasFloatPos = FALSE;
    int m_nHitTest = HTNOWHERE;
    // The floating frame's rectangle while it is resized: CalcDynamicLayout
    // reads and writes its left and top for the left and top corners.
    CRect m_rectFrameDragHorz;
    CRect m_rectDragHorz; // the drag rectangle of a move drag (screen)
    CPoint m_ptStart;
    BOOL m_bMoved = FALSE;
    BOOL m_bDragging = FALSE;

private:
    void DrawDragRect();
    BOOL m_bRectShown = FALSE;
    CRect m_rectShown;
};
