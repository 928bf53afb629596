#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "framework/io/CStdioFile.h"
#include "tests/framework/IoTestFiles.h"

using namespace std::string_literals;

namespace {

std::vector<std::string> ReadLines(const std::string& path)
{
    std::vector<std::string> lines;
    CStdioFile file;
    if (!file.Open(path.c_str(), CFile::modeRead | CFile::typeText)) {
        ADD_FAILURE() << "cannot open " << path;
        return lines;
    }
    CString line;
    while (file.ReadString(line))
        lines.push_back(line.Bytes());
    EXPECT_FALSE(file.Failed());
    EXPECT_FALSE(file.ReadString(line)); // the end stays the end
    return lines;
}

std::vector<std::string> LinesOf(const std::string& bytes)
{
    ScratchFolder folder;
    WriteBytes(folder / "in.txt", bytes);
    return ReadLines(folder / "in.txt");
}

using Lines = std::vector<std::string>;

} // namespace

TEST(CStdioFile, LineEnds)
{
    EXPECT_EQ(LinesOf(""), Lines {});
    EXPECT_EQ(LinesOf("\n"), Lines { "" });
    EXPECT_EQ(LinesOf("last line has no end"), (Lines { "last line has no end" }));
    EXPECT_EQ(LinesOf("a\n\nb\n\n"), (Lines { "a", "", "b", "" }));
    EXPECT_EQ(LinesOf("a\r\n\r\nb\r\nc"), (Lines { "a", "", "b", "c" }));
    EXPECT_EQ(LinesOf("mixed\nends\r\n"), (Lines { "mixed", "ends" }));
    // Only the CR right before the LF goes.
    EXPECT_EQ(LinesOf("a\r\r\n"), (Lines { "a\r" }));
    EXPECT_EQ(LinesOf("cr\ronly\rfile\r"), (Lines { "cr\ronly\rfile\r" }));
    EXPECT_EQ(LinesOf("\r"), (Lines { "\r" }));
}

TEST(CStdioFile, TheFilesEncodingDecidesHowItsBytesBecomeText)
{
    struct Case {
        const char* name;
        std::string bytes;
        TextEncoding encoding;
        Lines lines; // in the program's code page
    };
    // "中" is D6 D0 in the code page, E4 B8 AD in UTF-8 and 4E2D in UTF-16;
    // U+1F600 is 94 39 FC 36, U+FEFF 84 31 95 33 and U+FFFD 84 31 A4 37.
    const std::size_t read = 256 * 1024; // the reader's read size
    const std::string xs(read - 1, 'x');
    const std::string units(read / 2 - 2, 'x'); // as UTF-16LE, with the mark: up to a read's last unit
    std::string utf16Units;
    for (const char c : units)
        utf16Units += { c, '\0' };
    const Case cases[] = {
        { "ASCII", "a.test\r\nb", TextEncoding::CodePage, { "a.test", "b" } },
        { "code page bytes stay", "\xD3\xF2\t \xFF\x80\n", TextEncoding::CodePage,
            { "\xD3\xF2\t \xFF\x80" } },
        { "UTF-8", "\xE4\xB8\xAD\nx", TextEncoding::Utf8, { "\xD6\xD0", "x" } },
        { "UTF-8 cut by a read", xs + "\xE4\xB8\xAD\n", TextEncoding::Utf8, { xs + "\xD6\xD0" } },
        { "UTF-8 but the last byte: read again", "\xE4\xB8\xAD\n\xE4", TextEncoding::CodePage,
            { "\xE4\xB8\xAD", "\xE4" } },
        { "UTF-8 for a whole read, then not", "\xE4\xB8\xAD\n" + xs + "\n\xE4", TextEncoding::CodePage,
            { "\xE4\xB8\xAD", xs, "\xE4" } },
        { "UTF-8 mark",
            "\xEF\xBB\xBF"
            "a\r\n\xEF\xBB\xBF",
            TextEncoding::Utf8WithMark, { "a", "\x84\x31\x95\x33" } },
        { "mark alone", "\xEF\xBB\xBF", TextEncoding::Utf8WithMark, {} },
        { "UTF-16LE", "\xFF\xFE-N\n\x00=\xD8\x00\xDE\r\x00\n\x00"s, TextEncoding::Utf16LE,
            { "\xD6\xD0", "\x94\x39\xFC\x36" } },
        { "UTF-16BE, a NUL and an odd byte",
            "\xFE\xFF\x00"
            "a\x00\x00\x00"
            "b\x00\n\x00"s,
            TextEncoding::Utf16BE, { "a", "\x84\x31\xA4\x37" } },
        { "UTF-16 pair cut by a read", "\xFF\xFE" + utf16Units + "=\xD8\x00\xDE"s, TextEncoding::Utf16LE,
            { units + "\x94\x39\xFC\x36" } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScratchFolder folder;
        WriteBytes(folder / "in.txt", c.bytes);
        CStdioFile file;
        ASSERT_TRUE(file.Open((folder / "in.txt").c_str(), CFile::modeRead | CFile::typeText));
        Lines lines;
        CString line;
        while (file.ReadString(line)) {
            if (file.StartedOver())
                lines.clear();
            lines.push_back(line.Bytes());
        }
        EXPECT_EQ(lines, c.lines);
        EXPECT_EQ(file.GetEncoding(), c.encoding); // decided by the end
    }
}

TEST(CStdioFile, NulEndsItsLineWithoutShiftingLaterLines)
{
    EXPECT_EQ(LinesOf("ab\0cd\nef\n"s), (Lines { "ab", "ef" }));
    EXPECT_EQ(LinesOf("\0\nx"s), (Lines { "", "x" }));
    EXPECT_EQ(LinesOf("a\0\0\0\r\nb\0"s), (Lines { "a", "b" }));
    // The CR before the LF was cut off with the rest; the one before the NUL stays.
    EXPECT_EQ(LinesOf("ab\r\0\r\n"s), (Lines { "ab\r" }));
    EXPECT_EQ(LinesOf("1\n2\0two\n3\n\0\n5\n"s), (Lines { "1", "2", "3", "", "5" }));
}

// Line ends and NUL tails placed across every power-of-two offset a read
// buffer could end at.
TEST(CStdioFile, LinesAcrossReadBoundaries)
{
    for (int bits = 10; bits <= 22; ++bits) {
        const std::size_t boundary = std::size_t { 1 } << bits;
        SCOPED_TRACE(boundary);
        const std::string beforeCr(boundary - 1, 'x');
        EXPECT_EQ(LinesOf(beforeCr + "\r\nnext\r\n"), (Lines { beforeCr, "next" }));
        const std::string beforeLf(boundary, 'y');
        EXPECT_EQ(LinesOf(beforeLf + "\nnext"), (Lines { beforeLf, "next" }));
        EXPECT_EQ(LinesOf("ab\0"s + std::string(boundary, 'z') + "\r\nnext"), (Lines { "ab", "next" }));
    }
}

TEST(CStdioFile, LongLinesAndManyLines)
{
    const std::string huge(20 * 1024 * 1024, 'h');
    EXPECT_EQ(LinesOf(huge + "\r\nafter"), (Lines { huge, "after" }));

    std::string many;
    for (int i = 0; i < 200000; ++i)
        many += "http://host" + std::to_string(i) + ".example.test/page\r\n";
    const Lines lines = LinesOf(many);
    ASSERT_EQ(lines.size(), 200000u);
    EXPECT_EQ(lines.front(), "http://host0.example.test/page");
    EXPECT_EQ(lines[123456], "http://host123456.example.test/page");
    EXPECT_EQ(lines.back(), "http://host199999.example.test/page");
}

TEST(CStdioFile, ReopeningStartsAfresh)
{
    ScratchFolder folder;
    WriteBytes(folder / "a", "one\ntwo\nthr");
    WriteBytes(folder / "b", "B1\nB2\n");
    CStdioFile file;
    CString line;
    ASSERT_TRUE(file.Open((folder / "a").c_str(), CFile::modeRead));
    ASSERT_TRUE(file.ReadString(line));
    EXPECT_EQ(line, "one");
    ASSERT_TRUE(file.Open((folder / "b").c_str(), CFile::modeRead)); // nothing of "a" may leak in
    ASSERT_TRUE(file.ReadString(line));
    EXPECT_EQ(line, "B1");
    file.Close();
    EXPECT_FALSE(file.ReadString(line));
    EXPECT_FALSE(file.Open((folder / "missing").c_str(), CFile::modeRead));
    EXPECT_FALSE(file.ReadString(line));
}
