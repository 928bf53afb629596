// The list's context menu and opening a row's URL in the browser.
#include "ListFixture.h"
#include "app/Messages.h"
#include "check/CUrlCheckThread.h"
#include "framework/thread/CWinThread.h"
#include "framework/window/MessageMap.h"
#include "res/ResourceIds.h"

namespace {

class ListMenuTest : public ListFixture {
protected:
    // What the list control sends when the user right-clicks it.
    void RightClick()
    {
        NMHDR header { m_view->m_hWnd, static_cast<UINT_PTR>(m_view->GetDlgCtrlID()), NM_RCLICK };
        SendMessageA(m_frame->m_hWnd, WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header));
        AfxPumpPendingMessages();
    }
    // Right-clicks row `row` holding `url` and picks "open".
    void OpenRow(const std::string& url)
    {
        FillRows({ { "first.test", "" }, { url, "OK" } });
        List().SetSelectionMark(1);
        m_popupChoice = ID_OPEN_URL;
        RightClick();
        PumpUntil([&] { return !m_shellCalls.empty() || !m_boxes.empty(); });
    }
};

TEST_F(ListMenuTest, NoSelectionMarkShowsNoMenu)
{
    FillRows({ { "a.test", "" } });
    ASSERT_EQ(List().GetSelectionMark(), -1);
    RightClick();
    EXPECT_TRUE(m_popups.empty());
    EXPECT_TRUE(m_shellCalls.empty());
}

TEST_F(ListMenuTest, MenuOffersOpenAndOpensTheMarkedRow)
{
    OpenRow("http://example.test/page");
    ASSERT_EQ(m_popups.size(), 1u);
    EXPECT_TRUE(m_popups[0].owner == m_view->m_hWnd);
    ASSERT_EQ(m_popups[0].items.size(), 4u);
    EXPECT_EQ(m_popups[0].items[0].id, ID_OPEN_URL);
    EXPECT_EQ(m_popups[0].items[0].text.Bytes(), Gbk("打开网页"));
    ASSERT_EQ(m_shellCalls.size(), 1u);
    EXPECT_EQ(m_shellCalls[0].first, "open");
    EXPECT_EQ(m_shellCalls[0].second, "http://example.test/page");
    EXPECT_TRUE(m_boxes.empty());
}

TEST_F(ListMenuTest, DismissedMenuOpensNothing)
{
    FillRows({ { "a.test", "" } });
    List().SetSelectionMark(0);
    m_popupChoice = 0;
    RightClick();
    EXPECT_EQ(m_popups.size(), 1u);
    EXPECT_TRUE(m_shellCalls.empty());
}

TEST_F(ListMenuTest, WebAddressesOpenAsTheProbeRequestsThem)
{
    const std::pair<std::string, std::string> cases[] = {
        { "HTTPS://Example.test/A", "https://example.test/A" },
        { "hTtP://example.test", "http://example.test/" },
        { "example.test/x", "http://example.test/x" },
        { "example.test:8080/x", "http://example.test:8080/x" },
        { Gbk("例子.测试/路径#段"), "http://xn--fsqu00a.xn--0zwm56d/%E8%B7%AF%E5%BE%84#%E6%AE%B5" },
    };
    for (const auto& [url, opened] : cases) {
        SCOPED_TRACE(url);
        m_shellCalls.clear();
        OpenRow(url);
        ASSERT_EQ(m_shellCalls.size(), 1u);
        EXPECT_EQ(m_shellCalls[0].second.Bytes(), opened);
    }
    EXPECT_TRUE(m_boxes.empty());
}

TEST_F(ListMenuTest, OtherSchemesAreRefused)
{
    for (const std::string url :
        { "file:///etc/passwd", "javascript:alert(1)", "JavaScript:x", "http://999.1.1.1/" }) {
        SCOPED_TRACE(url);
        m_boxes.clear();
        OpenRow(url);
        EXPECT_TRUE(m_shellCalls.empty());
        ASSERT_EQ(m_boxes.size(), 1u);
        EXPECT_NE(m_boxes[0].text.Find(CString(url)), -1);
    }
}

TEST_F(ListMenuTest, FailedRowsAreCheckedAgainWhateverIsSelected)
{
    struct Undivert {
        ~Undivert() { CWinThread::DivertStartsForTesting({}); }
    } undivert;
    std::vector<int> started;
    CWinThread::DivertStartsForTesting([&started](CWinThread* thread, void* param) {
        auto* job = static_cast<UrlCheckJob*>(param);
        started.push_back(job->nRow);
        delete job;
        delete thread;
    });
    FillRows({ { "ok.test", "OK" }, { "gone.test", Gbk("无效!") }, { "slow.test", Gbk("超时!") },
        { "bad", Gbk("格式不正确！") }, { "skip.test", Gbk("用户忽略！") }, { "late.test", Gbk("超时!") } });
    ProbeDetails details;
    details.outcome = ProbeOutcome::ConnectTimeout;
    for (int row = 0; row < 6; ++row)
        m_view->KeepProbeDetails(row, details);
    List().SetSelectionMark(0);
    m_popupChoice = ID_RECHECK_FAILED;
    RightClick();
    EXPECT_EQ(m_frame->StatusBar().GetPaneText(0).Bytes(), Gbk("3 个失败的网址将重新检查。"));
    const std::vector<std::string> after { "OK", "", "", Gbk("格式不正确！"), Gbk("用户忽略！"), "" };
    for (int row = 0; row < 6; ++row) {
        EXPECT_EQ(Cell(row, COL_VALIDITY), after[static_cast<std::size_t>(row)]) << row;
        EXPECT_EQ(m_view->GetProbeDetails(row, details), row == 0 || row == 3 || row == 4) << row;
    }

    // The next tick takes up the failed rows and nothing else.
    RunOnView(UM_CHECK_DISPATCH, 10, UM_THREAD_COUNT);
    AfxPumpPendingMessages();
    EXPECT_EQ(started, (std::vector<int> { 1, 2, 5 }));
}

} // namespace
