// The clean-ups through the real view: which rows go, which stay with their
// original numbers, and the reports the hub gets in order.
#include "ListFixture.h"
#include "app/Globals.h"
#include "app/Messages.h"

namespace {

class CleanupTest : public ListFixture {
protected:
    int CountTo(HWND target, UINT message) const
    {
        int count = 0;
        for (const MSG& msg : m_messages)
            count += (msg.hwnd == target && msg.message == message) ? 1 : 0;
        return count;
    }
};

TEST_F(CleanupTest, DuplicatesLeaveFirstCopiesWithTheirNumbers)
{
    ASSERT_EQ(Import("a.test\nb.test\na.test\nc.test\nb.test\na.test\n"), 6);
    m_messages.clear();
    RunOnView(UM_PURGE_DUPLICATES, 0, UM_PURGE_DUPLICATES);
    ASSERT_EQ(List().GetItemCount(), 3);
    EXPECT_EQ(Cell(0, COL_LINE), "1");
    EXPECT_EQ(Cell(1, COL_LINE), "2");
    EXPECT_EQ(Cell(2, COL_LINE), "4");
    EXPECT_EQ(Cell(2, COL_URL), "c.test");
    // The list size reaches the hub first, then the count removed.
    EXPECT_EQ(HubMessages({ UM_LIST_LOADED, UM_PURGE_DUPLICATES }),
        (std::vector<HubMessage> { { UM_LIST_LOADED, 0, 3 }, { UM_PURGE_DUPLICATES, 0, 3 } }));
    // The request shares its number with the report and passes the hub on
    // its way to the view: the hub answers both, the request's copy with a
    // count of 0 first, so the side panel hears of the clean-up twice and the
    // status bar ends at the real count.
    EXPECT_EQ(CountTo(g_hSidePanel, UM_PURGE_DUPLICATES_DONE), 2);
}

TEST_F(CleanupTest, DuplicatesAreExactByteMatchesAndFirstVerdictWins)
{
    FillRows({ { "a.test", "" }, { "A.test", "" }, { "a.test/", "" }, { "t.test", Gbk("超时!") },
        { "t.test", "OK" }, { "", "" }, { "", Gbk("格式不正确！") }, { "", "" } });
    RunOnView(UM_PURGE_DUPLICATES, 0, UM_PURGE_DUPLICATES);
    ASSERT_EQ(List().GetItemCount(), 5);
    EXPECT_EQ(Cell(0, COL_URL), "a.test");
    EXPECT_EQ(Cell(1, COL_URL), "A.test");
    EXPECT_EQ(Cell(2, COL_URL), "a.test/");
    EXPECT_EQ(Cell(3, COL_VALIDITY), Gbk("超时!"));
    EXPECT_EQ(Cell(3, COL_LINE), "4");
    EXPECT_EQ(Cell(4, COL_URL), "");
    EXPECT_EQ(Cell(4, COL_LINE), "6");
    EXPECT_EQ(HubMessages({ UM_PURGE_DUPLICATES }).back().lParam, 3);
}

TEST_F(CleanupTest, InvalidRowsGoUncheckedAndValidStay)
{
    FillRows({ { "ok.test", "OK" }, { "new.test", "" }, { "ign.test", Gbk("用户忽略！") },
        { "run.test", Gbk("执行中") }, { "bad.test", Gbk("无效!") } });
    RunOnView(UM_PURGE_INVALID_RUN, 0, UM_PURGE_INVALID_RESULT);
    ASSERT_EQ(List().GetItemCount(), 2);
    EXPECT_EQ(Cell(0, COL_URL), "ok.test");
    EXPECT_EQ(Cell(1, COL_URL), "new.test");
    EXPECT_EQ(Cell(1, COL_LINE), "2");
    EXPECT_EQ(HubMessages({ UM_LIST_LOADED, UM_PURGE_INVALID_RESULT }),
        (std::vector<HubMessage> { { UM_LIST_LOADED, 0, 2 }, { UM_PURGE_INVALID_RESULT, 0, 3 } }));
}

} // namespace
