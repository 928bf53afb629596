// The export through the real view and the file dialog hook: what is asked
// of the user, which rows are written, and what happens when writing fails.
#include <filesystem>
#include <fstream>
#include <sstream>

#include "ListFixture.h"
#include "app/Messages.h"

namespace {

class ExportTest : public ListFixture {
protected:
    void FillMixed()
    {
        FillRows({ { "ok.test", "OK" }, { "new.test", "" }, { "late.test", Gbk("超时!") },
            { "ign.test", Gbk("用户忽略！") } });
    }
    void Choose(const std::string& path)
    {
        m_dialogAnswer.result = IDOK;
        m_dialogAnswer.path = CString(path);
    }
    static std::string ReadAll(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream out;
        out << in.rdbuf();
        return out.str();
    }
    HubMessage LastResult() const
    {
        const auto results = HubMessages({ UM_EXPORT_RESULT });
        return results.empty() ? HubMessage { 0, 0, 0 } : results.back();
    }
};

TEST_F(ExportTest, EachKindWritesItsRowsWithCrLf)
{
    FillMixed();
    struct Case {
        int kind;
        std::string bytes;
    };
    const Case cases[] = {
        { EXPORT_ALL, "ok.test\r\nnew.test\r\nlate.test\r\nign.test\r\n" }, { EXPORT_VALID, "ok.test\r\n" },
        { EXPORT_INVALID, "late.test\r\nign.test\r\n" },
        { 7, "ok.test\r\nnew.test\r\nlate.test\r\nign.test\r\n" }, // unknown kinds export everything
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind);
        const std::string path = m_dir + "/kind" + std::to_string(c.kind) + ".txt";
        Choose(path);
        RunOnView(UM_EXPORT_RUN, c.kind, UM_EXPORT_RESULT);
        EXPECT_EQ(ReadAll(path), c.bytes);
        const auto lines = static_cast<LPARAM>(std::count(c.bytes.begin(), c.bytes.end(), '\n'));
        EXPECT_EQ(LastResult(), (HubMessage { UM_EXPORT_RESULT, static_cast<WPARAM>(c.kind), lines }));
    }
    EXPECT_TRUE(m_boxes.empty());
}

TEST_F(ExportTest, AsksForATextFileToSave)
{
    FillMixed();
    Choose(m_dir + "/chosen");
    RunOnView(UM_EXPORT_RUN, EXPORT_VALID, UM_EXPORT_RESULT);
    ASSERT_EQ(m_dialogs.size(), 1u);
    const FileDialogRequest& request = m_dialogs[0];
    EXPECT_FALSE(request.open);
    EXPECT_EQ(request.fileName, "urls_export.txt");
    EXPECT_EQ(request.filter.Bytes(), Gbk("文本文件|*.txt|所有文件|*.*||"));
    EXPECT_EQ(request.defaultExtension, "TXT");
    EXPECT_TRUE(request.flags & OFN_OVERWRITEPROMPT);
    // A name typed without an extension gets the default one.
    EXPECT_EQ(ReadAll(m_dir + "/chosen.TXT"), "ok.test\r\n");
    EXPECT_FALSE(std::filesystem::exists(m_dir + "/chosen"));
}

TEST_F(ExportTest, EmptyListOrCancelExportsNothing)
{
    RunOnView(UM_EXPORT_RUN, EXPORT_INVALID, UM_EXPORT_RESULT);
    EXPECT_TRUE(m_dialogs.empty());
    EXPECT_EQ(LastResult(), (HubMessage { UM_EXPORT_RESULT, EXPORT_INVALID, 0 }));

    FillMixed();
    m_dialogAnswer = FileDialogAnswer {};
    RunOnView(UM_EXPORT_RUN, EXPORT_ALL, UM_EXPORT_RESULT);
    EXPECT_EQ(m_dialogs.size(), 1u);
    EXPECT_EQ(LastResult(), (HubMessage { UM_EXPORT_RESULT, EXPORT_ALL, 0 }));
    EXPECT_TRUE(m_boxes.empty());
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(m_dir), {}), 0);
}

TEST_F(ExportTest, WriteFailureNamesThePathAndKeepsOldFile)
{
    FillMixed();
    const std::string existing = WriteFile("existing.txt", "old contents\n");
    // Named like a text file, so the dialog adds no extension to it.
    const std::string folder = m_dir + "/folder.txt";
    std::filesystem::create_directory(folder);
    const std::string paths[] = {
        m_dir + "/missing-folder/out.txt",
        existing + "/out.txt", // a file where a folder should be
        folder, // a folder as the target
    };
    for (const std::string& path : paths) {
        SCOPED_TRACE(path);
        m_boxes.clear();
        Choose(path);
        RunOnView(UM_EXPORT_RUN, EXPORT_ALL, UM_EXPORT_RESULT);
        ASSERT_EQ(m_boxes.size(), 1u);
        EXPECT_NE(m_boxes[0].text.Find(CString(path)), -1) << m_boxes[0].text.ToUtf8();
        EXPECT_EQ(LastResult(), (HubMessage { UM_EXPORT_RESULT, EXPORT_ALL, 0 }));
    }
    EXPECT_EQ(ReadAll(existing), "old contents\n");
    EXPECT_TRUE(std::filesystem::is_directory(folder));
    EXPECT_TRUE(std::filesystem::is_empty(folder));
}

} // namespace
