// The import through the real view: what each kind of line becomes, the
// ignore words, and what the hub and the user are told.
#include <filesystem>

#include "ListFixture.h"
#include "app/Globals.h"
#include "app/Messages.h"

namespace {

class ImportTest : public ListFixture { };

TEST_F(ImportTest, EmptyFileGivesNoRowsAndTellsTheHubZero)
{
    FillRows({ { "old.test", "OK" } });
    EXPECT_EQ(Import(""), 0);
    EXPECT_EQ(List().GetItemCount(), 0);
    EXPECT_TRUE(m_boxes.empty());
}

TEST_F(ImportTest, LinesBecomeNumberedRowsWithTheirVerdicts)
{
    // Last line without an end, CR LF endings, a blank and a whitespace-only
    // line in the middle, a full-width stop, a tab inside a URL.
    const std::string bytes = "a.test\r\n"
                              "\r\n"
                              "   \t \n"
                              "b"
        + Gbk("。")
        + "test\n"
          "c.test\tx\n"
          "no-dot\n"
          "with space.test\n"
          "last.test";
    ASSERT_EQ(Import(bytes), 8);
    ASSERT_EQ(List().GetItemCount(), 8);
    const std::string bad = Gbk("格式不正确！");
    const std::vector<std::pair<std::string, std::string>> expected = {
        { "a.test", "" },
        { "", bad },
        { "", bad },
        { "b.test", "" },
        { "c.test\tx", "" },
        { "no-dot", bad },
        { "with space.test", bad },
        { "last.test", "" },
    };
    for (int row = 0; row < 8; ++row) {
        SCOPED_TRACE(row);
        EXPECT_EQ(Cell(row, COL_LINE), std::to_string(row + 1));
        EXPECT_EQ(Cell(row, COL_URL), expected[static_cast<std::size_t>(row)].first);
        EXPECT_EQ(Cell(row, COL_VALIDITY), expected[static_cast<std::size_t>(row)].second);
    }
}

TEST_F(ImportTest, StopBytesStraddlingTwoCharactersStay)
{
    // B0 A1 is one character and A3 A1 the next: the pair A1 A3 between them
    // is not a full-width stop.
    const std::string straddle = "x.test/\xB0\xA1\xA3\xA1";
    ASSERT_EQ(Import(straddle + "\n"), 1);
    EXPECT_EQ(Cell(0, COL_URL), straddle);
}

TEST_F(ImportTest, NulByteInsideALineDoesNotShiftLaterRows)
{
    const std::string bytes = std::string("a\0b.test\n", 9) + "next.test\nthird.test\n";
    ASSERT_EQ(Import(bytes), 3);
    EXPECT_EQ(Cell(1, COL_LINE), "2");
    EXPECT_EQ(Cell(1, COL_URL), "next.test");
    EXPECT_EQ(Cell(2, COL_URL), "third.test");
}

TEST_F(ImportTest, IgnoreWordsMarkLinesEvenWhenBadlyFormed)
{
    g_strIgnoreList = "spam ads";
    ASSERT_EQ(Import("spam.example.test\nhas ads inside\nSPAM.test\nclean.test\n"), 4);
    const std::string ignored = Gbk("用户忽略！");
    EXPECT_EQ(Cell(0, COL_VALIDITY), ignored);
    EXPECT_EQ(Cell(1, COL_VALIDITY), ignored); // also badly formed
    EXPECT_EQ(Cell(2, COL_VALIDITY), ""); // words are compared exactly
    EXPECT_EQ(Cell(3, COL_VALIDITY), "");
    EXPECT_EQ(g_strIgnoreList, "spam,ads");
}

TEST_F(ImportTest, IgnoreListStopsAtTheFirstEmptyWord)
{
    // A leading space makes the first word empty: nothing is ignored.
    g_strIgnoreList = " spam";
    ASSERT_EQ(Import("spam.test\n"), 1);
    EXPECT_EQ(Cell(0, COL_VALIDITY), "");

    // Five spaces shrink to two, which leave an empty word after "spam".
    g_strIgnoreList = "spam     ads";
    ASSERT_EQ(Import("spam.test\nads.test\n"), 2);
    EXPECT_EQ(Cell(0, COL_VALIDITY), Gbk("用户忽略！"));
    EXPECT_EQ(Cell(1, COL_VALIDITY), "");
    EXPECT_EQ(g_strIgnoreList, "spam,,ads");
}

TEST_F(ImportTest, MissingFileOrFolderIsReportedAndListKept)
{
    const std::string folder = m_dir + "/a-folder";
    std::filesystem::create_directory(folder);
    for (const std::string& path : { m_dir + "/missing.txt", folder }) {
        SCOPED_TRACE(path);
        FillRows({ { "kept.test", "OK" } });
        m_boxes.clear();
        g_strImportPath = CString(path);
        RunOnView(UM_IMPORT_RUN, 0, UM_LIST_LOADED);
        ASSERT_EQ(m_boxes.size(), 1u);
        EXPECT_EQ(m_boxes[0].text.Bytes(), Gbk("文件不存在或被锁定！\n\n") + path);
        EXPECT_EQ(m_boxes[0].caption, "");
        EXPECT_EQ(HubMessages({ UM_LIST_LOADED }), (std::vector<HubMessage> { { UM_LIST_LOADED, 0, 0 } }));
        ASSERT_EQ(List().GetItemCount(), 1);
        EXPECT_EQ(Cell(0, COL_URL), "kept.test");
    }
}

} // namespace
