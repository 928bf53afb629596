// Dragging the thickness of a row, the tracker and full-window drag, and
// the ways a drag ends.
#include <QWidget>

#include "DockFixture.h"

namespace {

constexpr UINT kLeft = AFX_IDW_DOCKBAR_LEFT;

CPoint RightEdgeMid(TestBar* bar)
{
    CRect edge;
    bar->CalcEdgeRect(bar->WindowRect(), HTRIGHT, edge);
    return CPoint((edge.left + edge.right) / 2, (edge.top + edge.bottom) / 2);
}

} // namespace

using EdgeDrag = DockFixture;

TEST_F(EdgeDrag, TheRightEdgeOfALoneLeftBarStopsAtTwoPixelsOfClientAreaAndAtTheMinimumThickness)
{
    TestBar* bar = AddBar(kLeft, CSize(350, 350), 100);
    Layout();
    const CPoint start = RightEdgeMid(bar);
    bar->BeginEdgeDrag(HTRIGHT, start);
    EXPECT_FALSE(bar->IsLengthDrag());
    EXPECT_EQ(bar->m_nDragMax, start.x + (kFrameWidth - 350) - 2);
    EXPECT_EQ(bar->m_nDragMin, start.x - (350 - 33));

    bar->UpdateEdgeDrag(CPoint(start.x + 5000, start.y));
    bar->EndEdgeDrag();
    Layout();
    CRect rest;
    m_frame->RepositionBars(0, 0xFFFF, AFX_IDW_PANE_FIRST, reposQuery, &rest);
    EXPECT_EQ(rest.Width(), 2);

    const CPoint wide = RightEdgeMid(bar);
    bar->BeginEdgeDrag(HTRIGHT, wide);
    bar->UpdateEdgeDrag(CPoint(wide.x - 5000, wide.y));
    bar->EndEdgeDrag();
    Layout();
    EXPECT_EQ(bar->m_sizeVert.cx, 33);
    EXPECT_EQ(bar->WindowRect().Width(), 33);
}

TEST_F(EdgeDrag, TheThickestMinimumOfTheRowLimitsAThicknessDrag)
{
    TestBar* upper = AddBar(kLeft, CSize(300, 300), 100);
    TestBar* lower = AddBar(kLeft, CSize(300, 300), 101);
    MakeRow(kLeft, { upper, lower });
    lower->m_sizeMinVert.cx = 120;
    Layout();
    const CPoint start = RightEdgeMid(upper);
    upper->BeginEdgeDrag(HTRIGHT, start);
    EXPECT_EQ(upper->m_nDragMin, start.x - (300 - 120));
    upper->UpdateEdgeDrag(CPoint(start.x - 1000, start.y));
    upper->EndEdgeDrag();
    EXPECT_EQ(upper->m_sizeVert.cx, 120);
    EXPECT_EQ(lower->m_sizeVert.cx, 120);
}

TEST_F(EdgeDrag, WithoutFullWindowDragOnlyTheTrackerMovesUntilTheDragEnds)
{
    TestBar* bar = AddBar(kLeft, CSize(350, 350), 100);
    Layout();
    ASSERT_FALSE(bar->m_bFullDrag);
    const CPoint start = RightEdgeMid(bar);
    bar->BeginEdgeDrag(HTRIGHT, start);
    EXPECT_EQ(GetCapture(), bar);
    auto trackers = AfxGetInvertedRects(m_frame);
    ASSERT_EQ(trackers.size(), 1u);
    // The tracker spans the dock bar, 1 pixel in at each end, over the edge.
    CRect dock;
    DockBar(kLeft)->GetWindowRect(&dock);
    CRect edge;
    bar->CalcEdgeRect(bar->WindowRect(), HTRIGHT, edge);
    EXPECT_EQ(trackers[0], CRect(edge.left, dock.top + 1, edge.right, dock.bottom - 1));

    bar->UpdateEdgeDrag(CPoint(start.x + 60, start.y));
    AfxRunIdleHandlers();
    trackers = AfxGetInvertedRects(m_frame);
    ASSERT_EQ(trackers.size(), 1u);
    EXPECT_EQ(trackers[0].left, edge.left + 60);
    EXPECT_EQ(bar->m_sizeVert.cx, 410);
    EXPECT_EQ(bar->WindowRect().Width(), 350);

    bar->EndEdgeDrag();
    EXPECT_TRUE(AfxGetInvertedRects(m_frame).empty());
    EXPECT_EQ(GetCapture(), nullptr);
    AfxRunIdleHandlers();
    EXPECT_EQ(bar->WindowRect().Width(), 410);
}

TEST_F(EdgeDrag, WithFullWindowDragThereIsNoTrackerAndTheBarFollowsTheMouse)
{
    TestBar* bar = AddBar(kLeft, CSize(350, 350), 100);
    Layout();
    SystemParametersInfo(SPI_SETDRAGFULLWINDOWS, TRUE, nullptr, 0);
    ASSERT_TRUE(bar->m_bFullDrag);
    const CPoint start = RightEdgeMid(bar);
    bar->BeginEdgeDrag(HTRIGHT, start);
    bar->UpdateEdgeDrag(CPoint(start.x + 60, start.y));
    EXPECT_TRUE(AfxGetInvertedRects(m_frame).empty());
    AfxRunIdleHandlers();
    EXPECT_EQ(bar->WindowRect().Width(), 410);
    bar->UpdateEdgeDrag(CPoint(start.x - 40, start.y));
    AfxRunIdleHandlers();
    EXPECT_EQ(bar->WindowRect().Width(), 310);
    bar->EndEdgeDrag();
}

TEST_F(EdgeDrag, ARightPressOrTheLossOfTheCaptureEndsTheDragKeepingTheSizes)
{
    TestBar* bar = AddBar(kLeft, CSize(350, 350), 100);
    TestBar* other = AddBar(AFX_IDW_DOCKBAR_RIGHT, CSize(200, 200), 101);
    Layout();
    CPoint start = RightEdgeMid(bar);
    bar->BeginEdgeDrag(HTRIGHT, start);
    POINT moved { start.x + 30, start.y };
    bar->ScreenToClient(&moved);
    bar->SendMessage(WM_MOUSEMOVE, MK_LBUTTON, PointToLParam(moved));
    bar->SendMessage(WM_RBUTTONDOWN, 0, 0);
    EXPECT_FALSE(bar->m_bDragging);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_TRUE(AfxGetInvertedRects(m_frame).empty());
    EXPECT_EQ(bar->m_sizeVert.cx, 380);

    Layout();
    start = RightEdgeMid(bar);
    bar->SendMessage(WM_NCLBUTTONDOWN, HTRIGHT, PointToLParam(start));
    ASSERT_TRUE(bar->m_bDragging);
    bar->UpdateEdgeDrag(CPoint(start.x - 50, start.y));
    other->SetCapture();
    EXPECT_FALSE(bar->m_bDragging);
    // Ending the drag released the new capture too; no toolkit grab is left
    // behind to swallow the mouse.
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
    EXPECT_TRUE(AfxGetInvertedRects(m_frame).empty());
    EXPECT_EQ(bar->m_sizeVert.cx, 330);
    ReleaseCapture();
}
