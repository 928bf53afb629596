// A plain frame with docking enabled on every side and test-only sizing bars
// with a gripper, docked and arranged in rows as each case needs.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "dockbar/CSizingControlBarG.h"
#include "framework/doc/CFrameWnd.h"
#include "framework/docking/CDockBar.h"

class TestBar : public CSizingControlBarG {
public:
    using CSizingControlBar::AlignRowBars;
    using CSizingControlBarG::CalcClientArea;
    LRESULT HitTest(CPoint pt) { return SendMessage(WM_NCHITTEST, 0, PointToLParam(pt)); }
    CRect WindowRect() const
    {
        CRect rc;
        GetWindowRect(&rc);
        return rc;
    }
    // The client rectangle in screen coordinates.
    CRect ClientRect() const
    {
        CRect rc;
        GetClientRect(&rc);
        POINT origin { 0, 0 };
        ClientToScreen(&origin);
        rc.OffsetRect(origin.x, origin.y);
        return rc;
    }
};

class DockFixture : public ::testing::Test {
protected:
    static constexpr int kFrameWidth = 800;
    static constexpr int kFrameHeight = 600;

    void SetUp() override;
    void TearDown() override;

    // A bar of the given size, docked on its own row of the dock bar.
    TestBar* AddBar(UINT nDockBarID, CSize size, UINT nID);
    // Puts the bars into one row of the dock bar, in this order.
    void MakeRow(UINT nDockBarID, const std::vector<TestBar*>& bars);
    // The frame's layout now, and what the idle time would do after it.
    void Layout();
    CDockBar* DockBar(UINT id) { return m_frame->GetDockBar(id); }
    CRect FrameClient();

    CFrameWnd* m_frame = nullptr;
    std::vector<std::unique_ptr<TestBar>> m_bars;
};
