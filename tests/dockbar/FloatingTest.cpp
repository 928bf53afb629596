// A bar floating in a small frame of its own.
#include "DockFixture.h"
#include "framework/docking/CDockContext.h"
#include "framework/docking/CMiniDockFrameWnd.h"

using Floating = DockFixture;

TEST_F(Floating, AFloatingBarHasNoEdgesNoGripperAndAnswersHTCLIENTEverywhere)
{
    TestBar* bar = AddBar(AFX_IDW_DOCKBAR_LEFT, CSize(300, 200), 100);
    Layout();
    bar->m_pDockContext->ToggleDocking();
    ASSERT_TRUE(bar->IsFloating());
    EXPECT_TRUE(bar->IsUndocked());
    EXPECT_EQ(bar->m_nDockBarId, AFX_IDW_DOCKBAR_FLOAT);
    auto* frame = dynamic_cast<CMiniDockFrameWnd*>(bar->GetParentFrame());
    ASSERT_NE(frame, nullptr);
    // The bar's first non-client calculation let the frame resize by its corners.
    EXPECT_FALSE(frame->GetStyle() & MFS_4THICKFRAME);
    EXPECT_EQ(frame->GetWindowText(), bar->GetWindowText());

    const CRect w = bar->WindowRect();
    EXPECT_EQ(w.Width(), 300);
    EXPECT_EQ(w.Height(), 200);
    EXPECT_EQ(bar->m_dwSizingStyle & SZBS_EDGEALL, 0u);
    EXPECT_EQ(bar->ClientRect(), CRect(w.left + 3, w.top + 5, w.right - 3, w.bottom - 3));
    for (const CPoint pt : { CPoint(w.left + 1, w.top + 1), CPoint(w.right - 2, w.top + 100),
             CPoint(w.right - 8, w.top + 3), CPoint(w.left + 50, w.bottom - 2) })
        EXPECT_EQ(bar->HitTest(pt), HTCLIENT);

    // Back to where it was docked.
    bar->m_pDockContext->ToggleDocking();
    EXPECT_FALSE(bar->IsFloating());
    EXPECT_EQ(bar->m_nDockBarId, AFX_IDW_DOCKBAR_LEFT);
}

TEST_F(Floating, CornerResizingStopsAtTheMinimumAndTheTopLeftCornerStopsMovingTheFrame)
{
    TestBar* bar = AddBar(AFX_IDW_DOCKBAR_LEFT, CSize(300, 200), 100);
    Layout();
    m_frame->FloatControlBar(bar, CPoint(100, 100));
    auto* frame = dynamic_cast<CMiniDockFrameWnd*>(bar->GetParentFrame());
    ASSERT_NE(frame, nullptr);
    CDockContext* context = bar->m_pDockContext;

    CRect before;
    frame->GetWindowRect(&before);
    context->BeginResize(HTBOTTOMRIGHT);
    SetCursorPos(before.right + 40, before.bottom + 30);
    context->Resize(CPoint(before.right + 40, before.bottom + 30));
    EXPECT_EQ(bar->m_sizeFloat, CSize(340, 230));
    CRect after;
    frame->GetWindowRect(&after);
    EXPECT_EQ(after.TopLeft(), before.TopLeft());
    EXPECT_EQ(bar->WindowRect().Size(), CSize(340, 230));
    context->EndResize();

    frame->GetWindowRect(&before);
    context->BeginResize(HTTOPLEFT);
    for (int step = 1; step <= 2; ++step) {
        const CPoint pt(before.right - 10, before.bottom - 10);
        SetCursorPos(pt.x, pt.y);
        context->Resize(pt);
    }
    context->EndResize();
    EXPECT_EQ(bar->m_sizeFloat, CSize(37, 32));
    frame->GetWindowRect(&after);
    // The far sides stay; the left and top stop where the minimum is reached.
    EXPECT_EQ(after.right, before.right);
    EXPECT_EQ(after.bottom, before.bottom);
    EXPECT_EQ(bar->WindowRect().Size(), CSize(37, 32));
}

TEST_F(Floating, SideResizingSetsOneDimensionOfTheFloatingSize)
{
    TestBar* bar = AddBar(AFX_IDW_DOCKBAR_LEFT, CSize(300, 200), 100);
    Layout();
    EXPECT_EQ(bar->CalcDynamicLayout(250, LM_HORZ), CSize(250, 200));
    EXPECT_EQ(bar->CalcDynamicLayout(20, LM_HORZ | LM_LENGTHY), CSize(250, 32));
    EXPECT_EQ(bar->m_sizeVert, CSize(300, kFrameHeight)); // the docked size is apart
    EXPECT_EQ(bar->CalcDynamicLayout(0, LM_HORZ | LM_MRUWIDTH), CSize(250, 32));
}

TEST_F(Floating, AMoveDragShowsItsRectangleAndDropsTheBarFloatingOrDockedOnTheSideUnderTheMouse)
{
    TestBar* bar = AddBar(AFX_IDW_DOCKBAR_LEFT, CSize(300, 200), 100);
    Layout();
    CDockContext* context = bar->m_pDockContext;
    const CRect w = bar->WindowRect();
    const CPoint grip(w.left + 50, w.top + 10);

    // A press that hardly moves is no drag.
    context->BeginMove(grip);
    context->Move(CPoint(grip.x + 2, grip.y + 1));
    EXPECT_TRUE(AfxGetInvertedRects(m_frame).empty());
    context->EndMove(TRUE);
    EXPECT_FALSE(bar->IsFloating());

    // Into the middle: the outline follows, and the drop floats the bar there.
    context->BeginMove(grip);
    context->Move(CPoint(grip.x + 300, grip.y + 100));
    context->Move(CPoint(grip.x + 400, grip.y + 150));
    const auto outline = AfxGetInvertedRects(m_frame);
    ASSERT_EQ(outline.size(), 4u);
    EXPECT_EQ(outline[0], CRect(w.left + 400, w.top + 150, w.right + 400, w.top + 153));
    EXPECT_EQ(context->DockSideAt(CPoint(grip.x + 400, grip.y + 150)), 0u);
    context->EndMove(TRUE);
    EXPECT_TRUE(AfxGetInvertedRects(m_frame).empty());
    ASSERT_TRUE(bar->IsFloating());
    CRect floating;
    bar->GetParentFrame()->GetWindowRect(&floating);
    EXPECT_EQ(floating.TopLeft(), CPoint(w.left + 400, w.top + 150));

    // Onto the right side of the frame: docked there.
    CRect frame;
    m_frame->GetWindowRect(&frame);
    CRect caption;
    bar->GetParentFrame()->GetWindowRect(&caption);
    const CPoint start(caption.left + 20, caption.top + 8);
    const CPoint drop(frame.right - 5, frame.top + 300);
    EXPECT_EQ(context->DockSideAt(drop), AFX_IDW_DOCKBAR_RIGHT);
    context->BeginMove(start);
    context->Move(drop);
    context->EndMove(TRUE);
    EXPECT_FALSE(bar->IsFloating());
    EXPECT_EQ(bar->m_nDockBarId, AFX_IDW_DOCKBAR_RIGHT);
    Layout();
    EXPECT_EQ(bar->m_dwSizingStyle & SZBS_EDGEALL, SZBS_EDGELEFT);
    POINT clientRight { kFrameWidth, 0 };
    m_frame->ClientToScreen(&clientRight);
    EXPECT_EQ(bar->WindowRect().right, clientRight.x);

    // A cancelled drag changes nothing.
    context->BeginMove(grip);
    context->Move(CPoint(grip.x + 400, grip.y + 150));
    context->EndMove(FALSE);
    EXPECT_EQ(bar->m_nDockBarId, AFX_IDW_DOCKBAR_RIGHT);
    EXPECT_TRUE(AfxGetInvertedRects(m_frame).empty());
}

TEST_F(Floating, AFloatedBarReturnsToItsRowAndTheCaptionFollowsItsTitle)
{
    TestBar* upper = AddBar(AFX_IDW_DOCKBAR_LEFT, CSize(300, 300), 100);
    TestBar* lower = AddBar(AFX_IDW_DOCKBAR_LEFT, CSize(300, 300), 101);
    MakeRow(AFX_IDW_DOCKBAR_LEFT, { upper, lower });
    Layout();
    CDockBar* dock = DockBar(AFX_IDW_DOCKBAR_LEFT);

    lower->m_pDockContext->ToggleDocking();
    ASSERT_TRUE(lower->IsFloating());
    // Its place in the row is kept by its id.
    EXPECT_EQ(
        dock->m_arrBars, (std::vector<void*> { nullptr, upper, CDockBar::PlaceholderEntry(101), nullptr }));
    Layout();
    EXPECT_EQ(upper->WindowRect().Height(), kFrameHeight);
    EXPECT_EQ(upper->m_dwSizingStyle & SZBS_EDGEALL, SZBS_EDGERIGHT);

    lower->SetWindowText("renamed");
    AfxRunIdleHandlers();
    EXPECT_EQ(lower->GetParentFrame()->GetWindowText(), CString("renamed"));

    lower->m_pDockContext->ToggleDocking();
    EXPECT_EQ(dock->m_arrBars, (std::vector<void*> { nullptr, upper, lower, nullptr }));
    Layout();
    EXPECT_EQ(upper->m_dwSizingStyle & SZBS_EDGEALL, SZBS_EDGERIGHT | SZBS_EDGEBOTTOM);
    EXPECT_EQ(lower->WindowRect().top, upper->WindowRect().bottom - 2);
}
