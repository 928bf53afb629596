// The side bar in the real main frame: docked on the left at start with the
// form filling it, hidden by its close button, brought back by the menu.
#include <QApplication>
#include <algorithm>
#include <gtest/gtest.h>

#include <memory>

#include "app/CMainFrame.h"
#include "app/CVelmoraApp.h"
#include "app/Globals.h"
#include "framework/doc/CDocTemplate.h"
#include "framework/docking/CDockContext.h"
#include "res/ResourceIds.h"
#include "tests/dockbar/ShownMainFrame.h"
#include "tests/dockbar/ToolkitMouse.h"
#include "tests/framework/GuiPump.h"
#include "urllist/CVelmoraDoc.h"
#include "urllist/CVelmoraView.h"

namespace {

class SideBarTest : public ShownMainFrame {
protected:
    static CRect Screen(CWnd* wnd)
    {
        CRect rc;
        wnd->GetWindowRect(&rc);
        return rc;
    }

    // The form sits at the client area's top-left with the client's size.
    void ExpectFormFillsBar()
    {
        CSideBar& bar = m_frame->SideBar();
        CRect client;
        bar.GetClientRect(&client);
        POINT origin { 0, 0 };
        bar.ClientToScreen(&origin);
        EXPECT_EQ(Screen(&bar.Form()),
            CRect(origin.x, origin.y, origin.x + client.Width(), origin.y + client.Height()));
        EXPECT_GT(client.Width(), 0);
    }
};

// The form's width from its template in its font's dialog units.
int FormTemplateWidth(CSideBar& bar)
{
    CRect form(0, 0, 225, 361);
    bar.Form().MapDialogRect(&form);
    return form.Width();
}

// The bar starts 350 pixels thick, or wider where the form would not fit:
// docked, its border (3 + 3), the dock gap (2 + 2) and the sizing edge (5);
// floating, its border alone.
constexpr int kDockedFrame = 15;
constexpr int kFloatingFrame = 6;

} // namespace

TEST_F(SideBarTest, StartsDockedOnTheLeftBesideTheListWithTheFormFillingIt)
{
    CSideBar& bar = m_frame->SideBar();
    EXPECT_TRUE(bar.IsVisible());
    EXPECT_EQ(bar.m_nDockBarId, AFX_IDW_DOCKBAR_LEFT);
    EXPECT_EQ(bar.GetBarStyle() & (CBRS_TOOLTIPS | CBRS_FLYBY | CBRS_SIZE_DYNAMIC),
        CBRS_TOOLTIPS | CBRS_FLYBY | CBRS_SIZE_DYNAMIC);
    EXPECT_EQ(bar.m_dwSizingStyle, SZBS_SHOWEDGES | SZBS_SIZECHILD | SZBS_EDGERIGHT);
    EXPECT_TRUE(bar.IsKindOf(RUNTIME_CLASS(CSizingControlBar)));
    EXPECT_EQ(Screen(&bar).Width(), std::max(350, FormTemplateWidth(bar) + kDockedFrame));
    ExpectFormFillsBar();

    CWnd* view = m_frame->GetActiveView();
    ASSERT_NE(view, nullptr);
    CRect frameClient;
    m_frame->GetClientRect(&frameClient);
    EXPECT_EQ(Screen(view).left, Screen(&bar).right);
    EXPECT_EQ(Screen(view).bottom, Screen(&m_frame->StatusBar()).top);
}

TEST_F(SideBarTest, TheFormFollowsEveryResizeAndFloating)
{
    CSideBar& bar = m_frame->SideBar();
    const int startWidth = Screen(&bar).Width();
    CRect edge;
    bar.CalcEdgeRect(Screen(&bar), HTRIGHT, edge);
    const CPoint start((edge.left + edge.right) / 2, (edge.top + edge.bottom) / 2);
    bar.BeginEdgeDrag(HTRIGHT, start);
    bar.UpdateEdgeDrag(CPoint(start.x + 77, start.y));
    bar.EndEdgeDrag();
    Idle();
    EXPECT_EQ(Screen(&bar).Width(), startWidth + 77);
    ExpectFormFillsBar();

    bar.m_pDockContext->ToggleDocking();
    Idle();
    ASSERT_TRUE(bar.IsFloating());
    CRect client;
    bar.GetClientRect(&client);
    // No band, no edge: the border alone.
    EXPECT_EQ(client.Width(), std::max(350, FormTemplateWidth(bar) + kFloatingFrame) - kFloatingFrame);
    ExpectFormFillsBar();
    bar.m_pDockContext->ToggleDocking();
    Idle();
    EXPECT_EQ(bar.m_nDockBarId, AFX_IDW_DOCKBAR_LEFT);
    ExpectFormFillsBar();
}

TEST_F(SideBarTest, TheCloseButtonHidesItAndTheViewMenuBringsItBackWithTheCheckMarkFollowing)
{
    CSideBar& bar = m_frame->SideBar();
    bar.Form().GetDlgItem(IDC_IGNORE_LIST)->SetWindowText("keep me");
    EXPECT_TRUE(m_frame->QueryCommandUI(ID_VIEW_SIDEBAR).m_bChecked);

    const CRect w = Screen(&bar);
    const CPoint over(w.left + bar.m_btnClose.m_ptOrigin.x + 4, w.top + bar.m_btnClose.m_ptOrigin.y + 4);
    ASSERT_EQ(bar.SendMessage(WM_NCHITTEST, 0, PointToLParam(over)), HTCLOSE);
    bar.SendMessage(WM_NCLBUTTONUP, HTCLOSE, PointToLParam(over));
    EXPECT_FALSE(bar.IsWindowVisible());
    EXPECT_FALSE(bar.Form().IsWindowVisible());
    const CCmdUI hidden = m_frame->QueryCommandUI(ID_VIEW_SIDEBAR);
    EXPECT_TRUE(hidden.m_bEnabled);
    EXPECT_FALSE(hidden.m_bChecked);
    // The list takes the whole width.
    CRect client;
    m_frame->GetClientRect(&client);
    EXPECT_EQ(Screen(m_frame->GetActiveView()).Width(), client.Width());

    m_frame->PostMessage(WM_COMMAND, ID_VIEW_SIDEBAR, 0);
    AfxPumpPendingMessages();
    Idle();
    EXPECT_TRUE(bar.IsWindowVisible());
    EXPECT_EQ(bar.m_nDockBarId, AFX_IDW_DOCKBAR_LEFT);
    EXPECT_TRUE(m_frame->QueryCommandUI(ID_VIEW_SIDEBAR).m_bChecked);
    EXPECT_EQ(bar.Form().GetDlgItem(IDC_IGNORE_LIST)->GetWindowText(), CString("keep me"));
    ExpectFormFillsBar();

    m_frame->PostMessage(WM_COMMAND, ID_VIEW_SIDEBAR, 0);
    AfxPumpPendingMessages();
    EXPECT_FALSE(bar.IsWindowVisible());
}

TEST_F(SideBarTest, TheMouseDragsTheRightEdgeAndTheCloseButtonHidesTheBar)
{
    using namespace toolkit_mouse;
    ProcessToolkitEvents(); // what the window system still had for earlier windows
    CSideBar& bar = m_frame->SideBar();
    const int startWidth = Screen(&bar).Width();
    CRect edge;
    bar.CalcEdgeRect(Screen(&bar), HTRIGHT, edge);
    const CPoint start((edge.left + edge.right) / 2, (edge.top + edge.bottom) / 2);
    Move(&bar, start);
    EXPECT_EQ(PointerShape(&bar), Qt::SizeHorCursor);
    // Straight from the edge onto the form, which has no pointer of its own.
    const CPoint onForm(Screen(&bar.Form()).right - 2, start.y);
    ASSERT_EQ(QApplication::widgetAt(onForm.x, onForm.y), WidgetOf(&bar.Form()));
    Move(&bar, onForm);
    EXPECT_EQ(PointerShape(&bar), Qt::ArrowCursor);

    Move(&bar, start);
    Press(&bar, start);
    Move(&bar, CPoint(start.x + 60, start.y));
    EXPECT_EQ(AfxGetInvertedRects(m_frame).size(), 1u);
    EXPECT_EQ(Screen(&bar).Width(), startWidth);
    Release(&bar, CPoint(start.x + 60, start.y));
    EXPECT_EQ(GetCapture(), nullptr);
    Idle();
    EXPECT_EQ(Screen(&bar).Width(), startWidth + 60);
    ExpectFormFillsBar();

    // The press alone does nothing; the release over the button hides the bar.
    const CRect w = Screen(&bar);
    const CPoint over(w.left + bar.m_btnClose.m_ptOrigin.x + 5, w.top + bar.m_btnClose.m_ptOrigin.y + 5);
    Move(&bar, over);
    Press(&bar, over);
    EXPECT_FALSE(bar.m_bDragging);
    EXPECT_TRUE(bar.IsWindowVisible());
    Release(&bar, over);
    EXPECT_FALSE(bar.IsWindowVisible());
    EXPECT_FALSE(m_frame->QueryCommandUI(ID_VIEW_SIDEBAR).m_bChecked);
}
