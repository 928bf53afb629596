#include <gtest/gtest.h>

#include "framework/base/CString.h"
#include "framework/base/CodePage.h"

#include <vector>

TEST(CString, FindReplaceAndTrimWorkOnBytes)
{
    CString s("a  b  c");
    EXPECT_EQ(s.Find("  "), 1);
    EXPECT_EQ(s.Find("x"), -1);
    EXPECT_EQ(s.Find("c", 7), -1);
    EXPECT_EQ(s.Replace("  ", " "), 2);
    EXPECT_EQ(s, "a b c");

    CString run("aaa");
    EXPECT_EQ(run.Replace("aa", "b"), 1); // left to right, no overlap
    EXPECT_EQ(run, "ba");

    CString padded(" \t\r\n\v\fx y\f\v\n\r\t ");
    padded.Trim();
    EXPECT_EQ(padded, "x y");
}

TEST(CString, MakeLowerTouchesAsciiLettersOnly)
{
    // "中A" in code page 936 is D6 D0 41; a double-byte character whose trail
    // byte is 'A' (0x41), such as 81 41, must survive.
    CString s("ABC.com\xD6\xD0Z\x81\x41Q");
    s.MakeLower();
    EXPECT_EQ(s, "abc.com\xD6\xD0z\x81\x41q");
}

TEST(CString, ConvertsBetweenUtf8AndCodePage936)
{
    const CString marker = CString::FromUtf8("<TITLE>域名纠错系统");
    EXPECT_EQ(marker, "<TITLE>\xD3\xF2\xC3\xFB\xBE\xC0\xB4\xED\xCF\xB5\xCD\xB3");
    EXPECT_EQ(marker.GetLength(), 19);
    EXPECT_EQ(marker.ToUtf8(), "<TITLE>域名纠错系统");
    EXPECT_EQ(CString::FromUtf8("。"), "\xA1\xA3");
    EXPECT_EQ(CString::FromUtf8("€"), "\x80");
    EXPECT_EQ(CString("\x80").ToUtf8(), "€");
    // Undecodable bytes become U+FFFD and the rest still converts.
    bool complete = true;
    EXPECT_EQ(AnsiToUtf8("\xFF"
                         "a",
                  &complete),
        "\xEF\xBF\xBD"
        "a");
    EXPECT_FALSE(complete);
    // A byte that is not UTF-8 becomes '?'.
    EXPECT_EQ(Utf8ToAnsi("a\xFF"
                         "b",
                  &complete),
        "a?b");
    EXPECT_FALSE(complete);
}

TEST(CString, CharactersCodePage936LacksRoundTripWithoutDisturbingTheByteWalks)
{
    // GB18030 four-byte sequences; U+2E81 is one of the double-byte codes
    // GB18030 adds.
    const std::vector<std::pair<const char*, std::string>> samples = {
        { "ä", "\x81\x30\x8A\x31" },
        { "ñ", "\x81\x30\x8A\x39" },
        { "한", "\x83\x36\x84\x33" },
        { "😀", "\x94\x39\xFC\x36" },
        { "⺁", "\xFE\x50" },
    };
    for (const auto& [utf8, bytes] : samples) {
        SCOPED_TRACE(utf8);
        EXPECT_EQ(CString::FromUtf8(utf8).Bytes(), bytes);
        bool complete = false;
        EXPECT_EQ(AnsiToUtf8(bytes, &complete), utf8);
        EXPECT_TRUE(complete);
    }

    // Every character: code page 936 keeps its own bytes, the rest survives.
    std::string all;
    for (char32_t c = 1; c <= 0x10FFFF; ++c) {
        if (c >= 0xD800 && c <= 0xDFFF)
            continue;
        if (c < 0x80) {
            all += static_cast<char>(c);
        } else if (c < 0x800) {
            all += static_cast<char>(0xC0 | (c >> 6));
            all += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            all += static_cast<char>(0xE0 | (c >> 12));
            all += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            all += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            all += static_cast<char>(0xF0 | (c >> 18));
            all += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            all += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            all += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    bool complete = false;
    const std::string ansi = Utf8ToAnsi(all, &complete);
    const std::string back = AnsiToUtf8(ansi);
    // A few private-use characters are in neither table; each became one '?'.
    std::size_t lost = 0;
    for (std::size_t a = 0, b = 0; a < all.size();) {
        const std::size_t length = (all[a] & 0x80) == 0 ? 1
            : (all[a] & 0xE0) == 0xC0                   ? 2
            : (all[a] & 0xF0) == 0xE0                   ? 3
                                                        : 4;
        if (back.compare(b, length, all, a, length) == 0) {
            b += length;
        } else {
            ASSERT_EQ(back[b], '?') << "at offset " << a;
            ++lost;
            ++b;
        }
        a += length;
    }
    EXPECT_FALSE(complete);
    EXPECT_LE(lost, 30u);

    // The double-byte walks take a four-byte character as two pairs: none of
    // its bytes is lower-cased, and "。" after it is still found.
    CString mixed = CString::FromUtf8("A😀B。ÄC");
    mixed.MakeLower();
    EXPECT_EQ(mixed, CString::FromUtf8("a😀b。Äc"));
}

TEST(CString, FormatsSignedDecimals)
{
    CString s;
    s.Format(CString::FromUtf8("线程: %d"), -3);
    EXPECT_EQ(s.ToUtf8(), "线程: -3");
}
