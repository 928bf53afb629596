// Message maps and command routing of windows: a derived map overrides and
// chains to its base, commands reach handlers by id and notification code,
// update handlers answer queries, and unhandled messages fall to the default.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/base/Constants.h"
#include "framework/window/CWnd.h"
#include "framework/window/MessageQueue.h"

namespace {

constexpr UINT ID_ALPHA = 201;
constexpr UINT ID_BETA = 202;
constexpr UINT ID_GAMMA = 203;
constexpr UINT ID_NOBODY = 204;

class BaseMapWnd : public CWnd {
public:
    std::vector<std::string> calls;
    BOOL gammaTakes = TRUE;

protected:
    DECLARE_MESSAGE_MAP()
    void OnAlpha() { calls.push_back("base alpha"); }
    void OnBeta() { calls.push_back("base beta"); }
    BOOL OnGamma(UINT id)
    {
        calls.push_back("base gamma " + std::to_string(id));
        return gammaTakes;
    }
    void OnUpdateAlpha(CCmdUI* ui) { ui->Enable(FALSE); }
    void OnTimer(UINT_PTR id) { calls.push_back("timer " + std::to_string(id)); }
    void OnClose() { calls.push_back("close"); }
};

BEGIN_MESSAGE_MAP(BaseMapWnd, CWnd)
ON_COMMAND(ID_ALPHA, OnAlpha)
ON_COMMAND(ID_BETA, OnBeta)
ON_COMMAND_EX(ID_GAMMA, OnGamma)
ON_UPDATE_COMMAND_UI(ID_ALPHA, OnUpdateAlpha)
ON_WM_TIMER()
ON_WM_CLOSE()
END_MESSAGE_MAP()

class DerivedMapWnd : public BaseMapWnd {
protected:
    DECLARE_MESSAGE_MAP()
    void OnAlphaHere() { calls.push_back("derived alpha"); }
    void OnBetaClicked() { calls.push_back("derived beta clicked"); }
};

BEGIN_MESSAGE_MAP(DerivedMapWnd, BaseMapWnd)
ON_COMMAND(ID_ALPHA, OnAlphaHere)
ON_BN_CLICKED(ID_BETA, OnBetaClicked)
END_MESSAGE_MAP()

WPARAM Command(UINT id, UINT code)
{
    return static_cast<WPARAM>((code << 16) | id);
}

class WindowMessageMapTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(wnd.Create(nullptr, "maps", WS_OVERLAPPEDWINDOW, CRect(0, 0, 50, 50), nullptr, 0));
    }
    void TearDown() override
    {
        if (wnd.m_hWnd)
            wnd.DestroyWindow();
        AfxPumpPendingMessages();
    }
    DerivedMapWnd wnd;
};

TEST_F(WindowMessageMapTest, CommandsReachTheMostDerivedHandler)
{
    struct Case {
        WPARAM wParam;
        std::vector<std::string> expected;
    };
    const std::vector<Case> cases = {
        { Command(ID_ALPHA, 0), { "derived alpha" } },
        // A click is command code 0: the derived click entry hides the base one.
        { Command(ID_BETA, BN_CLICKED), { "derived beta clicked" } },
        { Command(ID_ALPHA, 5), {} }, // another notification code is not a plain command
        { Command(ID_GAMMA, 0), { "base gamma 203" } },
        { Command(ID_NOBODY, 0), {} },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.wParam);
        wnd.calls.clear();
        wnd.SendMessage(WM_COMMAND, c.wParam, 0);
        EXPECT_EQ(wnd.calls, c.expected);
    }
}

TEST_F(WindowMessageMapTest, CommandRoutingReportsWhetherAHandlerTookIt)
{
    EXPECT_TRUE(wnd.OnCmdMsg(ID_ALPHA, 0, WM_COMMAND, 0));
    EXPECT_TRUE(wnd.OnCmdMsg(ID_BETA, 0, WM_COMMAND, 0));
    EXPECT_FALSE(wnd.OnCmdMsg(ID_NOBODY, 0, WM_COMMAND, 0));
    wnd.gammaTakes = FALSE; // an _EX handler that declines leaves the command unhandled
    EXPECT_FALSE(wnd.OnCmdMsg(ID_GAMMA, 0, WM_COMMAND, 0));
    wnd.gammaTakes = TRUE;
    EXPECT_TRUE(wnd.OnCmdMsg(ID_GAMMA, 0, WM_COMMAND, 0));

    CCmdUI alpha;
    alpha.m_nID = ID_ALPHA;
    EXPECT_TRUE(wnd.OnCmdMsg(ID_ALPHA, 0, WM_COMMAND_UPDATE_UI, reinterpret_cast<LPARAM>(&alpha)));
    EXPECT_TRUE(alpha.m_bHandled);
    EXPECT_FALSE(alpha.m_bEnabled);
    CCmdUI beta;
    beta.m_nID = ID_BETA;
    EXPECT_FALSE(wnd.OnCmdMsg(ID_BETA, 0, WM_COMMAND_UPDATE_UI, reinterpret_cast<LPARAM>(&beta)));
    EXPECT_FALSE(beta.m_bHandled);
}

TEST_F(WindowMessageMapTest, WindowMessagesUseTheChainedMapAndPostedOnesArriveToo)
{
    wnd.SendMessage(WM_TIMER, 9, 0);
    ASSERT_TRUE(wnd.PostMessage(WM_COMMAND, Command(ID_ALPHA, 0), 0));
    AfxPumpPendingMessages();
    const std::vector<std::string> expected = { "timer 9", "derived alpha" };
    EXPECT_EQ(wnd.calls, expected);

    // The base map's close handler replaces the default, which would destroy.
    const HWND h = wnd.m_hWnd;
    wnd.SendMessage(WM_CLOSE);
    EXPECT_EQ(CWnd::FromHandle(h), &wnd);
    EXPECT_EQ(wnd.calls.back(), "close");

    // A plain window's default for WM_CLOSE destroys it.
    auto* plain = new CWnd;
    ASSERT_TRUE(plain->Create(nullptr, "plain", WS_OVERLAPPEDWINDOW, CRect(0, 0, 10, 10), nullptr, 0));
    const HWND plainHandle = plain->m_hWnd;
    plain->SendMessage(WM_CLOSE);
    EXPECT_EQ(CWnd::FromHandle(plainHandle), nullptr);
    delete plain;
}

} // namespace
