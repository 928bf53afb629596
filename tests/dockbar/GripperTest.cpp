// The gripper band, its ridges and the close button.
#include "DockFixture.h"

using Gripper = DockFixture;

TEST_F(Gripper, DockedLeftTheBandIsOnTopWithTheButtonAtItsRight)
{
    TestBar* bar = AddBar(AFX_IDW_DOCKBAR_LEFT, CSize(350, 350), 100);
    Layout();
    const CRect w = bar->WindowRect();
    const CRect c = bar->ClientRect();
    EXPECT_EQ(c.top - w.top, 5 + 12);
    // Its right side 1 pixel left of the client area's right side, its top
    // 1 pixel above the band.
    const CRect button = bar->m_btnClose.GetButtonRect();
    EXPECT_EQ(button.Width(), 11);
    EXPECT_EQ(button.right + w.left, c.right - 1);
    EXPECT_EQ(button.top + w.top, c.top - 12 - 1);

    EXPECT_EQ(bar->HitTest(CPoint(w.left + button.left, w.top + button.top)), HTCLOSE);
    EXPECT_EQ(bar->HitTest(CPoint(w.left + button.right - 1, w.top + button.bottom - 1)), HTCLOSE);
    EXPECT_EQ(bar->HitTest(CPoint(w.left + button.left - 1, w.top + button.top)), HTCLIENT);
    EXPECT_EQ(bar->HitTest(CPoint(w.left + button.left, w.top + button.bottom)), HTCLIENT);
}

TEST_F(Gripper, DockedTopTheBandIsOnTheLeftAndTheButtonOnTopOfIt)
{
    TestBar* bar = AddBar(AFX_IDW_DOCKBAR_TOP, CSize(400, 120), 100);
    Layout();
    const CRect w = bar->WindowRect();
    const CRect c = bar->ClientRect();
    EXPECT_EQ(bar->m_dwSizingStyle & SZBS_EDGEALL, SZBS_EDGEBOTTOM);
    EXPECT_EQ(c.left - w.left, 3 + 2 + 12);
    const CRect button = bar->m_btnClose.GetButtonRect();
    EXPECT_EQ(button.left + w.left, c.left - 13);
    EXPECT_EQ(button.top + w.top, c.top);
    EXPECT_EQ(bar->HitTest(CPoint(w.left + button.left + 5, w.top + button.top + 5)), HTCLOSE);
}

TEST_F(Gripper, TheCloseButtonNeverTakesASizingEdge)
{
    TestBar* bar = AddBar(AFX_IDW_DOCKBAR_LEFT, CSize(350, 350), 100);
    Layout();
    // Moved onto the right edge, the button still loses to the edge.
    bar->m_btnClose.MoveTo(CPoint(bar->WindowRect().Width() - 8, 20));
    const CRect w = bar->WindowRect();
    EXPECT_EQ(bar->HitTest(CPoint(w.right - 4, w.top + 22)), HTRIGHT);
    EXPECT_EQ(bar->HitTest(CPoint(w.right - 8, w.top + 22)), HTCLOSE);
}

TEST_F(Gripper, ReleasingOverTheButtonHidesTheBarAndAPressAloneDoesNot)
{
    TestBar* bar = AddBar(AFX_IDW_DOCKBAR_LEFT, CSize(350, 350), 100);
    Layout();
    const CRect w = bar->WindowRect();
    const CPoint over(w.left + bar->m_btnClose.m_ptOrigin.x + 5, w.top + bar->m_btnClose.m_ptOrigin.y + 5);
    bar->SendMessage(WM_NCLBUTTONDOWN, HTCLOSE, PointToLParam(over));
    EXPECT_TRUE(bar->IsVisible());
    EXPECT_FALSE(bar->m_bDragging);
    bar->SendMessage(WM_NCLBUTTONUP, HTCLOSE, PointToLParam(over));
    EXPECT_FALSE(bar->IsVisible());
    EXPECT_FALSE(bar->IsWindowVisible());
    // Hidden, not destroyed; the frame shows it again where it was.
    m_frame->ShowControlBar(bar, TRUE, FALSE);
    EXPECT_TRUE(bar->IsVisible());
    EXPECT_EQ(bar->m_pDockBar, DockBar(AFX_IDW_DOCKBAR_LEFT));
}

TEST_F(Gripper, TheButtonIsRaisedWhileTheMouseRestsOverItAtIdleTime)
{
    TestBar* bar = AddBar(AFX_IDW_DOCKBAR_LEFT, CSize(350, 350), 100);
    Layout();
    const CRect w = bar->WindowRect();
    SetCursorPos(w.left + bar->m_btnClose.m_ptOrigin.x + 5, w.top + bar->m_btnClose.m_ptOrigin.y + 5);
    EXPECT_FALSE(bar->m_btnClose.m_bHot);
    AfxRunIdleHandlers();
    EXPECT_TRUE(bar->m_btnClose.m_bHot);
    EXPECT_FALSE(bar->m_btnClose.m_bPressed);
    SetCursorPos(w.left + 100, w.top + 200);
    AfxRunIdleHandlers();
    EXPECT_FALSE(bar->m_btnClose.m_bHot);
    EXPECT_FALSE(bar->m_btnClose.m_bPressed);
}

TEST_F(Gripper, WMCloseLeavesTheBarInPlace)
{
    TestBar* bar = AddBar(AFX_IDW_DOCKBAR_LEFT, CSize(350, 350), 100);
    Layout();
    bar->SendMessage(WM_CLOSE);
    EXPECT_TRUE(bar->m_hWnd);
    EXPECT_TRUE(bar->IsVisible());
}
