// How sizing bars share a dock row: edges, strips, negotiation of lengths.
#include "DockFixture.h"

namespace {

constexpr UINT kLeft = AFX_IDW_DOCKBAR_LEFT;

CPoint Mid(const CRect& rc)
{
    return CPoint((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
}

} // namespace

using RowLayout = DockFixture;

TEST_F(RowLayout, BarAloneAtTheLeftHasOnlyItsRightEdgeAsAStripInsideAOnePixelMargin)
{
    TestBar* bar = AddBar(kLeft, CSize(350, 350), 100);
    Layout();
    EXPECT_EQ(bar->m_dwSizingStyle & SZBS_EDGEALL, SZBS_EDGERIGHT);
    const CRect w = bar->WindowRect();
    // Alone in its column it takes the whole height.
    EXPECT_EQ(w.Height(), kFrameHeight);
    EXPECT_EQ(w.Width(), 350);
    const int y = (w.top + w.bottom) / 2;
    EXPECT_EQ(bar->HitTest(CPoint(w.right - 1, y)), HTCLIENT); // the margin
    EXPECT_EQ(bar->HitTest(CPoint(w.right - 2, y)), HTRIGHT);
    EXPECT_EQ(bar->HitTest(CPoint(w.right - 6, y)), HTRIGHT);
    EXPECT_EQ(bar->HitTest(CPoint(w.right - 7, y)), HTCLIENT);
    EXPECT_EQ(bar->HitTest(CPoint(w.right - 3, w.top)), HTCLIENT);
    EXPECT_EQ(bar->HitTest(CPoint(w.right - 3, w.top + 1)), HTRIGHT);
    EXPECT_EQ(bar->HitTest(CPoint(w.right - 3, w.bottom - 2)), HTRIGHT);
    EXPECT_EQ(bar->HitTest(CPoint(w.right - 3, w.bottom - 1)), HTCLIENT);
    EXPECT_EQ(bar->HitTest(CPoint(w.left + 1, y)), HTCLIENT);
    EXPECT_EQ(bar->HitTest(CPoint(w.left + 100, w.top + 8)), HTCLIENT); // gripper band
    // Border 3/5/3/3, docked 2/0/2/2 more, the right edge 5, the band 12.
    const CRect c = bar->ClientRect();
    EXPECT_EQ(c, CRect(w.left + 5, w.top + 5 + 12, w.right - 10, w.bottom - 5));
}

TEST_F(RowLayout, TwoBarsInTheLeftColumnShareItAndTradeLengthAtTheEdgeBetweenThem)
{
    TestBar* upper = AddBar(kLeft, CSize(300, 300), 100);
    TestBar* lower = AddBar(kLeft, CSize(300, 300), 101);
    MakeRow(kLeft, { upper, lower });
    Layout();
    EXPECT_EQ(upper->m_dwSizingStyle & SZBS_EDGEALL, SZBS_EDGERIGHT | SZBS_EDGEBOTTOM);
    EXPECT_EQ(lower->m_dwSizingStyle & SZBS_EDGEALL, SZBS_EDGERIGHT | SZBS_EDGETOP);
    // 598 of length less 2 per bar: 301 each, the second 2 pixels over the first.
    EXPECT_EQ(upper->m_sizeVert.cy, 301);
    EXPECT_EQ(lower->m_sizeVert.cy, 301);
    const CRect wu = upper->WindowRect();
    const CRect wl = lower->WindowRect();
    EXPECT_EQ(wl.top, wu.bottom - 2);

    // The strips between the bars are 5 pixels shorter at each end.
    CRect bottom;
    CRect right;
    ASSERT_TRUE(upper->CalcEdgeRect(wu, HTBOTTOM, bottom));
    ASSERT_TRUE(upper->CalcEdgeRect(wu, HTRIGHT, right));
    EXPECT_EQ(bottom, CRect(wu.left + 6, wu.bottom - 6, wu.right - 6, wu.bottom - 1));
    EXPECT_EQ(right, CRect(wu.right - 6, wu.top + 1, wu.right - 1, wu.bottom - 1));
    EXPECT_EQ(upper->HitTest(CPoint(wu.left + 3, wu.bottom - 3)), HTCLIENT);
    EXPECT_EQ(upper->HitTest(Mid(bottom)), HTBOTTOM);
    EXPECT_EQ(lower->HitTest(CPoint(wl.left + 50, wl.top + 3)), HTTOP);

    // Down by 40: the upper bar grows by 40, the lower shrinks by 40.
    const CPoint start = Mid(bottom);
    upper->BeginEdgeDrag(HTBOTTOM, start);
    upper->UpdateEdgeDrag(CPoint(start.x, start.y + 40));
    upper->EndEdgeDrag();
    EXPECT_EQ(upper->m_sizeVert.cy, 341);
    EXPECT_EQ(lower->m_sizeVert.cy, 261);

    // The lower bar can give only 25 more: the edge stops there.
    lower->m_sizeMinVert.cy = 261 - 25;
    upper->BeginEdgeDrag(HTBOTTOM, start);
    EXPECT_EQ(upper->m_nDragMax, start.y + 25);
    upper->UpdateEdgeDrag(CPoint(start.x, start.y + 100));
    upper->EndEdgeDrag();
    EXPECT_EQ(upper->m_sizeVert.cy, 366);
    EXPECT_EQ(lower->m_sizeVert.cy, 236);
    Layout();
    EXPECT_EQ(upper->WindowRect().Height(), 366);
    EXPECT_EQ(lower->WindowRect().top, upper->WindowRect().bottom - 2);
}

TEST_F(RowLayout, DraggingTheFirstEdgeOfThreeShrinksTheSecondToItsMinimumThenTheThird)
{
    TestBar* a = AddBar(kLeft, CSize(200, 200), 100);
    TestBar* b = AddBar(kLeft, CSize(200, 200), 101);
    TestBar* c = AddBar(kLeft, CSize(200, 200), 102);
    MakeRow(kLeft, { a, b, c });
    Layout();
    EXPECT_EQ(b->m_dwSizingStyle & SZBS_EDGEALL, SZBS_EDGERIGHT | SZBS_EDGETOP | SZBS_EDGEBOTTOM);
    const int la = a->m_sizeVert.cy;
    const int lb = b->m_sizeVert.cy;
    const int lc = c->m_sizeVert.cy;
    EXPECT_EQ((la - 2) + (lb - 2) + (lc - 2), kFrameHeight - 2);
    b->m_sizeMinVert.cy = lb - 30;

    CRect edge;
    ASSERT_TRUE(a->CalcEdgeRect(a->WindowRect(), HTBOTTOM, edge));
    const CPoint start((edge.left + edge.right) / 2, (edge.top + edge.bottom) / 2);
    a->BeginEdgeDrag(HTBOTTOM, start);
    a->UpdateEdgeDrag(CPoint(start.x, start.y + 50));
    a->EndEdgeDrag();
    EXPECT_EQ(a->m_sizeVert.cy, la + 50);
    EXPECT_EQ(b->m_sizeVert.cy, lb - 30);
    EXPECT_EQ(c->m_sizeVert.cy, lc - 20);
}

TEST_F(RowLayout, TwoBarsOf300FitA598ColumnAndShareGrowthAndShrinkageInRowOrder)
{
    TestBar* first = AddBar(kLeft, CSize(300, 300), 100);
    TestBar* second = AddBar(kLeft, CSize(300, 300), 101);
    MakeRow(kLeft, { first, second });
    const auto negotiate = [&](int height) {
        first->m_sizeVert.cy = second->m_sizeVert.cy = 300;
        EXPECT_TRUE(first->NegotiateRowSpace(height - 2, FALSE));
        return std::make_pair(first->m_sizeVert.cy, second->m_sizeVert.cy);
    };
    EXPECT_EQ(negotiate(598), std::make_pair(300, 300));
    EXPECT_EQ(negotiate(610), std::make_pair(306, 306));
    EXPECT_EQ(negotiate(597), std::make_pair(299, 300));

    // The row takes the largest thickness of its bars.
    first->m_sizeVert.cx = 120;
    second->m_sizeVert.cx = 180;
    first->NegotiateRowSpace(596, FALSE);
    EXPECT_EQ(first->m_sizeVert.cx, 180);
    EXPECT_EQ(second->m_sizeVert.cx, 180);
}

TEST_F(RowLayout, ABarJustShownKeepsItsLengthWhileTheOthersCanAbsorbTheDifference)
{
    TestBar* a = AddBar(kLeft, CSize(200, 200), 100);
    TestBar* b = AddBar(kLeft, CSize(200, 200), 101);
    TestBar* c = AddBar(kLeft, CSize(200, 200), 102);
    MakeRow(kLeft, { a, b, c });
    Layout();
    m_frame->ShowControlBar(b, FALSE, FALSE);
    Layout();
    EXPECT_EQ((a->m_sizeVert.cy - 2) + (c->m_sizeVert.cy - 2), kFrameHeight - 2);
    b->m_sizeVert.cy = 150;
    m_frame->ShowControlBar(b, TRUE, FALSE);
    Layout();
    EXPECT_EQ(b->m_sizeVert.cy, 150);
    EXPECT_FALSE(b->m_bHoldLength);
    EXPECT_EQ((a->m_sizeVert.cy - 2) + (b->m_sizeVert.cy - 2) + (c->m_sizeVert.cy - 2), kFrameHeight - 2);
}

TEST_F(RowLayout, ARowWhoseMinimumsOverflowIsSplitOrSetToTheMinimum)
{
    TestBar* a = AddBar(kLeft, CSize(200, 200), 100);
    TestBar* b = AddBar(kLeft, CSize(200, 200), 101);
    TestBar* c = AddBar(kLeft, CSize(200, 200), 102);
    CDockBar* dock = DockBar(kLeft);

    // The overflow comes after this bar: a separator goes before the bar
    // that does not fit.
    for (TestBar* bar : { a, b, c })
        bar->m_sizeMinVert.cy = 250;
    MakeRow(kLeft, { a, b, c });
    EXPECT_TRUE(a->NegotiateRowSpace(598, FALSE));
    EXPECT_EQ(dock->m_arrBars, (std::vector<void*> { nullptr, a, b, nullptr, c, nullptr }));

    // This bar is the first that does not fit: it is set to its minimum.
    MakeRow(kLeft, { a, b, c });
    b->m_sizeVert.cy = 500;
    EXPECT_TRUE(b->NegotiateRowSpace(400, FALSE));
    EXPECT_EQ(b->m_sizeVert.cy, 250);
    EXPECT_EQ(dock->m_arrBars.size(), 5u);

    // The overflow is before this bar: it moves to a new row.
    MakeRow(kLeft, { a, b, c });
    EXPECT_FALSE(c->NegotiateRowSpace(400, FALSE));
    EXPECT_EQ(dock->m_arrBars, (std::vector<void*> { nullptr, a, b, nullptr, c, nullptr }));

    // A full layout splits the column and keeps every bar at least at its minimum.
    MakeRow(kLeft, { a, b, c });
    Layout();
    for (TestBar* bar : { a, b, c })
        EXPECT_GE(bar->WindowRect().Height(), 250);
    EXPECT_EQ(dock->m_arrBars, (std::vector<void*> { nullptr, a, b, nullptr, c, nullptr }));
}
