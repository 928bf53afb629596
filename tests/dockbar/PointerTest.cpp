// The bars under the toolkit's own mouse: the pointer's shape over every part
// of a docked bar and of a floating frame, drags of a top row, and drags that
// end because the pointer is taken away.
#include <QApplication>
#include <QMenu>
#include <QTimer>
#include <functional>

#include "DockFixture.h"
#include "ToolkitMouse.h"
#include "framework/docking/CMiniDockFrameWnd.h"
#include "tests/framework/GuiPump.h"
#include "tests/support/TestDeadline.h"

using namespace std::chrono_literals;
using namespace toolkit_mouse;

namespace {

constexpr UINT kLeft = AFX_IDW_DOCKBAR_LEFT;

CPoint Middle(const CRect& rc)
{
    return CPoint((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
}

CPoint EdgeMid(TestBar* bar, int hit)
{
    CRect edge;
    EXPECT_TRUE(bar->CalcEdgeRect(bar->WindowRect(), hit, edge));
    return Middle(edge);
}

} // namespace

// Pointer moves that earlier tests queued by placing the cursor are
// delivered first, so they cannot land in the middle of a case.
class Pointer : public DockFixture {
protected:
    void SetUp() override
    {
        DockFixture::SetUp();
        ProcessToolkitEvents();
    }
};

TEST_F(Pointer, TakesTheResizeShapeOverEachSizingEdgeAndFrameBorderAndTheArrowElsewhere)
{
    TestBar* upper = AddBar(kLeft, CSize(300, 300), 100);
    TestBar* lower = AddBar(kLeft, CSize(300, 300), 101);
    MakeRow(kLeft, { upper, lower });
    TestBar* right = AddBar(AFX_IDW_DOCKBAR_RIGHT, CSize(200, 200), 102);
    Layout();

    const CRect w = upper->WindowRect();
    const CPoint button(
        w.left + upper->m_btnClose.m_ptOrigin.x + 5, w.top + upper->m_btnClose.m_ptOrigin.y + 5);
    const struct {
        const char* where;
        TestBar* bar;
        CPoint pt;
        int hit;
        Qt::CursorShape shape;
    } docked[] = {
        { "right edge", upper, EdgeMid(upper, HTRIGHT), HTRIGHT, Qt::SizeHorCursor },
        { "client area", upper, Middle(upper->ClientRect()), HTCLIENT, Qt::ArrowCursor },
        { "edge between bars, upper", upper, EdgeMid(upper, HTBOTTOM), HTBOTTOM, Qt::SizeVerCursor },
        { "gripper band", upper, CPoint(w.left + 30, w.top + 10), HTCLIENT, Qt::ArrowCursor },
        { "edge between bars, lower", lower, EdgeMid(lower, HTTOP), HTTOP, Qt::SizeVerCursor },
        { "close button", upper, button, HTCLOSE, Qt::ArrowCursor },
        { "left edge", right, EdgeMid(right, HTLEFT), HTLEFT, Qt::SizeHorCursor },
        { "client area again", right, Middle(right->ClientRect()), HTCLIENT, Qt::ArrowCursor },
    };
    for (const auto& c : docked) {
        SCOPED_TRACE(c.where);
        ASSERT_EQ(c.bar->HitTest(c.pt), c.hit);
        Move(c.bar, c.pt);
        EXPECT_EQ(PointerShape(c.bar), c.shape);
    }

    // Floating: the frame's borders and corners resize, its caption and the
    // bar inside do not.
    m_frame->FloatControlBar(right, CPoint(100, 100));
    auto* mini = dynamic_cast<CMiniDockFrameWnd*>(right->GetParentFrame());
    ASSERT_NE(mini, nullptr);
    mini->ShowWindow(SW_SHOW);
    CRect f;
    mini->GetWindowRect(&f);
    const CPoint mid = Middle(f);
    const struct {
        CPoint pt;
        int hit;
        Qt::CursorShape shape;
    } floating[] = {
        { CPoint(f.left + 1, mid.y), HTLEFT, Qt::SizeHorCursor },
        { CPoint(mid.x, f.top + 1), HTTOP, Qt::SizeVerCursor },
        { CPoint(f.right - 2, mid.y), HTRIGHT, Qt::SizeHorCursor },
        { CPoint(f.left + 50, f.top + 10), HTCAPTION, Qt::ArrowCursor },
        { CPoint(mid.x, f.bottom - 2), HTBOTTOM, Qt::SizeVerCursor },
        { CPoint(f.left + 1, f.top + 1), HTTOPLEFT, Qt::SizeFDiagCursor },
        { CPoint(f.right - 2, f.bottom - 2), HTBOTTOMRIGHT, Qt::SizeFDiagCursor },
        { mid, HTCLIENT, Qt::ArrowCursor },
        { CPoint(f.right - 2, f.top + 1), HTTOPRIGHT, Qt::SizeBDiagCursor },
        { CPoint(f.left + 1, f.bottom - 2), HTBOTTOMLEFT, Qt::SizeBDiagCursor },
    };
    for (const auto& c : floating) {
        SCOPED_TRACE(c.hit);
        ASSERT_EQ(mini->SendMessage(WM_NCHITTEST, 0, PointToLParam(c.pt)), c.hit);
        Move(mini, c.pt);
        EXPECT_EQ(PointerShape(mini), c.shape);
    }
}

TEST_F(Pointer, TakenAwayDuringAnEdgeOrAMoveDragItEndsTheDragAsACaptureLossDoes)
{
    TestBar* bar = AddBar(kLeft, CSize(350, 350), 100);
    Layout();
    QWidget* frameWindow = WidgetOf(m_frame)->window();
    QWidget elsewhere; // another window, which the window system activates
    elsewhere.resize(100, 100);
    QMenu popup;
    popup.addAction(QStringLiteral("popup"));
    const auto activateFrame = [&] {
        popup.close();
        frameWindow->activateWindow();
        ASSERT_TRUE(PumpUntil([&] { return QApplication::activeWindow() == frameWindow; }, 2s));
    };

    const struct {
        const char* how;
        std::function<void()> takeAway;
    } losses[] = {
        { "another window activated",
            [&] {
                elsewhere.show();
                elsewhere.activateWindow();
            } },
        { "the application deactivated",
            [] {
                QApplicationStateChangeEvent inactive(Qt::ApplicationInactive);
                QApplication::sendEvent(qApp, &inactive);
            } },
        { "a popup grabs the pointer", [&] { popup.popup(QPoint(400, 300)); } },
    };
    for (const auto& loss : losses) {
        SCOPED_TRACE(loss.how);
        activateFrame();
        const CPoint start = EdgeMid(bar, HTRIGHT);
        const LONG before = bar->WindowRect().Width();
        Press(bar, start);
        Move(bar, CPoint(start.x + 40, start.y));
        ASSERT_TRUE(bar->m_bDragging);
        ASSERT_EQ(AfxGetInvertedRects(m_frame).size(), 1u);

        loss.takeAway();
        EXPECT_TRUE(PumpUntil([&] { return !bar->m_bDragging; }, 2s));
        EXPECT_EQ(GetCapture(), nullptr);
        EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
        EXPECT_TRUE(AfxGetInvertedRects(m_frame).empty());
        EXPECT_GE(GetKeyState(VK_LBUTTON), 0);

        // Whatever the mouse does afterwards leaves the size reached.
        activateFrame();
        Move(bar, CPoint(start.x + 90, start.y));
        Release(bar, CPoint(start.x + 90, start.y));
        Layout();
        EXPECT_EQ(bar->m_sizeVert.cx, before + 40);
        EXPECT_EQ(bar->WindowRect().Width(), before + 40);
    }

    // A move drag by the gripper band runs until the pointer is taken away:
    // cancelled there, its outline erased, the bar still docked.
    activateFrame();
    const CRect w = bar->WindowRect();
    const CPoint grip(w.left + 30, w.top + 10);
    const CPoint drop(w.right + 100, w.top + 300); // no dock near: a drop would float the bar
    bool outlineShown = false;
    QTimer::singleShot(0, [&] {
        Move(bar, drop);
        outlineShown = AfxGetInvertedRects(m_frame).size() == 4;
        elsewhere.activateWindow();
    });
    // Should the drag not notice, the release ends it as a drop.
    QTimer release;
    release.setSingleShot(true);
    QObject::connect(&release, &QTimer::timeout, [&] { Release(bar, drop); });
    release.start(1000);
    {
        TestDeadline deadline(10s, "move drag with the pointer taken away");
        Press(bar, grip);
    }
    release.stop();
    EXPECT_TRUE(outlineShown);
    EXPECT_TRUE(AfxGetInvertedRects(m_frame).empty());
    EXPECT_FALSE(bar->IsFloating());
    EXPECT_EQ(bar->m_nDockBarId, kLeft);
    Release(bar, grip);

    // A press on a floating frame's border activates that frame, which takes
    // the activation from the main frame: no loss, the resize goes on.
    m_frame->FloatControlBar(bar, CPoint(100, 100));
    auto* mini = dynamic_cast<CMiniDockFrameWnd*>(bar->GetParentFrame());
    ASSERT_NE(mini, nullptr);
    activateFrame();
    CRect f;
    mini->GetWindowRect(&f);
    const CPoint border(f.right - 2, (f.top + f.bottom) / 2);
    const CPoint wider(border.x + 30, border.y);
    QTimer::singleShot(0, [&] { WidgetOf(mini)->activateWindow(); });
    QTimer moveAndRelease;
    moveAndRelease.setSingleShot(true);
    QObject::connect(&moveAndRelease, &QTimer::timeout, [&] {
        Move(mini, wider);
        Release(mini, wider);
    });
    moveAndRelease.start(200);
    {
        TestDeadline deadline(10s, "floating frame resized while it takes the activation");
        Press(mini, border);
    }
    moveAndRelease.stop();
    EXPECT_EQ(QApplication::activeWindow(), WidgetOf(mini));
    mini->GetWindowRect(&f);
    EXPECT_EQ(f.right, wider.x);
}

TEST_F(Pointer, TheMouseSizesATopRowByItsBottomEdgeAndByTheEdgeBetweenItsBars)
{
    constexpr UINT kTop = AFX_IDW_DOCKBAR_TOP;
    TestBar* first = AddBar(kTop, CSize(400, 120), 100);
    TestBar* second = AddBar(kTop, CSize(400, 120), 101);
    MakeRow(kTop, { first, second });
    Layout();

    const CPoint bottom = EdgeMid(second, HTBOTTOM);
    const LONG thickness = first->WindowRect().Height();
    Press(second, bottom);
    Move(second, CPoint(bottom.x, bottom.y + 30));
    Release(second, CPoint(bottom.x, bottom.y + 30));
    Layout();
    EXPECT_EQ(first->WindowRect().Height(), thickness + 30);
    EXPECT_EQ(second->WindowRect().Height(), thickness + 30);

    const CPoint between = EdgeMid(first, HTRIGHT);
    const LONG firstLength = first->WindowRect().Width();
    const LONG secondLength = second->WindowRect().Width();
    Press(first, between);
    Move(first, CPoint(between.x + 40, between.y));
    Release(first, CPoint(between.x + 40, between.y));
    Layout();
    EXPECT_EQ(first->WindowRect().Width(), firstLength + 40);
    EXPECT_EQ(second->WindowRect().Width(), secondLength - 40);
    EXPECT_EQ(second->WindowRect().left, first->WindowRect().right - 2);
}
