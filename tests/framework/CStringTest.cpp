#include <gtest/gtest.h>

#include "framework/base/CString.h"

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
    // Undecodable bytes become U+FFFD and the rest still converts.
    EXPECT_EQ(CString("\xFF"
                      "a")
                  .ToUtf8(),
        "\xEF\xBF\xBD"
        "a");
}

TEST(CString, FormatsSignedDecimals)
{
    CString s;
    s.Format(CString::FromUtf8("线程: %d"), -3);
    EXPECT_EQ(s.ToUtf8(), "线程: -3");
}
