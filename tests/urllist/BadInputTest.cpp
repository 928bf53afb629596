// Files no one meant as URL lists, through the real view's import: the row
// count the hub is told must be exactly the number of LF-separated lines, the
// bytes of each line must arrive as they were, and paths that cannot be read
// end in the failure box with a count of 0.
#include <fcntl.h>
#include <poll.h>
#include <sys/fanotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <random>
#include <thread>

#include "ListFixture.h"
#include "app/Globals.h"
#include "app/Messages.h"
#include "tests/support/TestDeadline.h"

using namespace std::chrono_literals;

namespace {

class BadInputTest : public ListFixture {
protected:
    // Imports from `path` (as it stands) and returns the count the hub got.
    LPARAM ImportPath(const std::string& path)
    {
        // A blocking open on this thread would stop the pump's own deadline.
        TestDeadline deadline(10s, "import of " + path);
        g_strImportPath = CString(path);
        m_messages.clear();
        m_boxes.clear();
        RunOnView(UM_IMPORT_RUN, 0, UM_LIST_LOADED);
        const auto loaded = HubMessages({ UM_LIST_LOADED });
        EXPECT_EQ(loaded.size(), 1u);
        return loaded.empty() ? -1 : loaded.back().lParam;
    }
};

LPARAM CountLfLines(const std::string& bytes)
{
    const auto lfs = std::count(bytes.begin(), bytes.end(), '\n');
    return static_cast<LPARAM>(lfs + (!bytes.empty() && bytes.back() != '\n' ? 1 : 0));
}

TEST_F(BadInputTest, RandomBytesGiveOneRowPerLine)
{
    // Larger than the reader's 256 KB buffer, so lines straddle refills.
    std::mt19937 random(936);
    std::string bytes(600 * 1024, '\0');
    for (char& c : bytes)
        c = static_cast<char>(random() & 0xFF);
    for (const bool endsWithLf : { false, true }) {
        SCOPED_TRACE(endsWithLf);
        TestDeadline deadline(10s, "import of random bytes");
        bytes.back() = endsWithLf ? '\n' : 'x';
        const LPARAM expected = CountLfLines(bytes);
        ASSERT_EQ(Import(bytes), expected);
        ASSERT_EQ(List().GetItemCount(), expected);
        EXPECT_EQ(Cell(0, COL_LINE), "1");
        EXPECT_EQ(Cell(static_cast<int>(expected - 1), COL_LINE), std::to_string(expected));
    }
}

TEST_F(BadInputTest, TwentyMegabyteLineIsOneWholeRow)
{
    const std::string url = "http://example.test/" + std::string(20u << 20, 'a');
    TestDeadline deadline(10s, "import of a 20 MB line");
    ASSERT_EQ(Import(url), 1);
    ASSERT_EQ(List().GetItemCount(), 1);
    const std::string cell = Cell(0, COL_URL);
    EXPECT_EQ(cell.size(), url.size());
    EXPECT_TRUE(cell == url);
    EXPECT_EQ(Cell(0, COL_VALIDITY), "");
}

TEST_F(BadInputTest, InvalidCodePageBytesAreKeptAsTheyAre)
{
    // A lead byte with a bad trail, bytes 936 never uses, and a lead byte
    // cut off by the end of the line.
    const std::vector<std::string> lines = {
        "bad\x81\x7F.test/x",
        "\xFF\xFE\x80.test",
        "tail.test/\xD6",
        "\xA1\xA1.test\xFE\xFF",
    };
    std::string bytes;
    for (const std::string& line : lines)
        bytes += line + "\n";
    ASSERT_EQ(Import(bytes), 4);
    for (int row = 0; row < 4; ++row) {
        SCOPED_TRACE(row);
        EXPECT_EQ(Cell(row, COL_URL), lines[static_cast<std::size_t>(row)]);
        EXPECT_EQ(Cell(row, COL_VALIDITY), "");
    }
}

TEST_F(BadInputTest, NulEndsALineTextButNotTheLine)
{
    const std::string bytes = std::string("\0hidden.test\n", 13) // nothing before the NUL
        + std::string("a.test\0\r\n", 9) // CR after the NUL: not part of the text
        + std::string("\0\0\0\n", 4) + std::string("b.test\0tail\0more\r\n", 18)
        + std::string("last.test\0", 10); // no LF at the end
    ASSERT_EQ(Import(bytes), 5);
    const std::string bad = Gbk("格式不正确！");
    const std::vector<std::pair<std::string, std::string>> expected = {
        { "", bad },
        { "a.test", "" },
        { "", bad },
        { "b.test", "" },
        { "last.test", "" },
    };
    for (int row = 0; row < 5; ++row) {
        SCOPED_TRACE(row);
        EXPECT_EQ(Cell(row, COL_LINE), std::to_string(row + 1));
        EXPECT_EQ(Cell(row, COL_URL), expected[static_cast<std::size_t>(row)].first);
        EXPECT_EQ(Cell(row, COL_VALIDITY), expected[static_cast<std::size_t>(row)].second);
    }
}

TEST_F(BadInputTest, AFileThatTurnsOutNotUtf8IsReadAgainInTheCodePage)
{
    // A first read's worth of UTF-8 ("中"), then a byte UTF-8 has not.
    const std::string filler(256 * 1024, 'x');
    ASSERT_EQ(Import("\xE4\xB8\xAD.test\n" + filler + "\n\xB0\xA1.test\n"), 3);
    ASSERT_EQ(List().GetItemCount(), 3);
    EXPECT_EQ(Cell(0, COL_LINE), "1");
    EXPECT_EQ(Cell(0, COL_URL), "\xE4\xB8\xAD.test");
    EXPECT_EQ(Cell(2, COL_LINE), "3");
    EXPECT_EQ(Cell(2, COL_URL), "\xB0\xA1.test");
}

TEST_F(BadInputTest, CrOnlyEndsStayInTheText)
{
    // Old Mac line ends: one line; the trim takes the outer white space and
    // leaves the inner CRs.
    ASSERT_EQ(Import("\r \ta.test\rb.test\r\rc.test\r\t "), 1);
    EXPECT_EQ(Cell(0, COL_URL), "a.test\rb.test\r\rc.test");
}

// Lets the first open of `path` through and makes the second one fail after
// removing the file: the file exists when asked, and is gone when opened.
// Needs fanotify permission events (root); Start reports whether they work.
class VanishOnSecondOpen {
public:
    bool Start(const std::string& path)
    {
        m_path = path;
        m_fd = fanotify_init(FAN_CLASS_CONTENT | FAN_CLOEXEC | FAN_NONBLOCK, O_RDONLY);
        if (m_fd < 0)
            return false;
        if (fanotify_mark(m_fd, FAN_MARK_ADD, FAN_OPEN_PERM, AT_FDCWD, path.c_str()) != 0)
            return false;
        m_thread = std::thread([this] { Run(); });
        return true;
    }
    ~VanishOnSecondOpen()
    {
        m_stop = true;
        if (m_thread.joinable())
            m_thread.join();
        if (m_fd >= 0)
            ::close(m_fd);
    }
    int Opens() const { return m_opens.load(); }

private:
    void Run()
    {
        while (!m_stop) {
            pollfd p { m_fd, POLLIN, 0 };
            if (::poll(&p, 1, 20) <= 0)
                continue;
            alignas(fanotify_event_metadata) char buffer[4096];
            const ssize_t n = ::read(m_fd, buffer, sizeof buffer);
            if (n <= 0)
                continue;
            auto* event = reinterpret_cast<fanotify_event_metadata*>(buffer);
            ssize_t left = n;
            while (FAN_EVENT_OK(event, left)) {
                fanotify_response response { event->fd, FAN_ALLOW };
                if (event->mask & FAN_OPEN_PERM) {
                    if (++m_opens >= 2) {
                        ::unlink(m_path.c_str());
                        response.response = FAN_DENY;
                    }
                    (void)!::write(m_fd, &response, sizeof response);
                }
                if (event->fd >= 0)
                    ::close(event->fd);
                event = FAN_EVENT_NEXT(event, left);
            }
        }
    }

    std::string m_path;
    int m_fd = -1;
    std::atomic<bool> m_stop { false };
    std::atomic<int> m_opens { 0 };
    std::thread m_thread;
};

TEST_F(BadInputTest, PathsThatCannotBeReadReportAndCountZero)
{
    const std::string folder = m_dir + "/folder.txt";
    std::filesystem::create_directory(folder);
    const std::string fifo = m_dir + "/fifo.txt";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string failure = Gbk("文件不存在或被锁定！\n\n");
    for (const std::string& path : { folder, fifo }) {
        SCOPED_TRACE(path);
        FillRows({ { "kept.test", "OK" } });
        EXPECT_EQ(ImportPath(path), 0);
        ASSERT_EQ(m_boxes.size(), 1u);
        EXPECT_EQ(m_boxes[0].text.Bytes(), failure + path);
        ASSERT_EQ(List().GetItemCount(), 1);
        EXPECT_EQ(Cell(0, COL_URL), "kept.test");
    }

    // Opens as a regular file, then the first read fails (EIO): the user is
    // told, and the count is still that of the rows in the list.
    FillRows({ { "kept.test", "OK" } });
    const LPARAM told = ImportPath("/proc/self/mem");
    EXPECT_EQ(List().GetItemCount(), 0);
    EXPECT_EQ(told, 0);
    ASSERT_EQ(m_boxes.size(), 1u);
    EXPECT_EQ(m_boxes[0].text.Bytes(), failure + "/proc/self/mem");

    // Removed between the existence test and the open.
    const std::string vanishing = WriteFile("vanishing.txt", "a.test\nb.test\n");
    VanishOnSecondOpen vanish;
    // Fanotify permission events need root and a kernel that has them.
    if (!vanish.Start(vanishing))
        GTEST_SKIP() << "fanotify permission events unavailable: " << std::strerror(errno);
    FillRows({ { "kept.test", "OK" } });
    EXPECT_EQ(ImportPath(vanishing), 0);
    EXPECT_EQ(vanish.Opens(), 2);
    EXPECT_FALSE(std::filesystem::exists(vanishing));
    ASSERT_EQ(m_boxes.size(), 1u);
    EXPECT_EQ(m_boxes[0].text.Bytes(), failure + vanishing);
    ASSERT_EQ(List().GetItemCount(), 1);
    EXPECT_EQ(Cell(0, COL_URL), "kept.test");
}

} // namespace
