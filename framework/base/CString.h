// CString: a byte string in the program's ANSI code page (936, with GB18030's
// bytes for the characters 936 lacks; see CodePage.h). Lengths, searches and
// comparisons are in bytes; text crosses to Unicode only at the toolkit
// boundary (FromUtf8 / ToUtf8).
#pragma once

#include <compare>
#include <string>
#include <string_view>

#include "framework/base/Types.h"

class CString {
public:
    CString() = default;
    CString(const char* text)
        : m_bytes(text ? text : "")
    {
    }
    CString(const char* bytes, int length)
        : m_bytes(bytes, static_cast<std::size_t>(length))
    {
    }
    explicit CString(std::string bytes)
        : m_bytes(std::move(bytes))
    {
    }
    explicit CString(std::string_view bytes)
        : m_bytes(bytes)
    {
    }

    // Literal texts are written in UTF-8 in the sources; this converts them
    // into code page 936 once.
    static CString FromUtf8(std::string_view utf8);
    std::string ToUtf8() const;

    int GetLength() const { return static_cast<int>(m_bytes.size()); }
    bool IsEmpty() const { return m_bytes.empty(); }
    void Empty() { m_bytes.clear(); }
    // Replaces the text, reusing the memory it already holds.
    void SetString(const char* bytes, int length) { m_bytes.assign(bytes, static_cast<std::size_t>(length)); }
    const char* GetString() const { return m_bytes.c_str(); }
    operator LPCSTR() const { return m_bytes.c_str(); }
    const std::string& Bytes() const { return m_bytes; }
    std::string_view View() const { return m_bytes; }
    char GetAt(int index) const { return m_bytes[static_cast<std::size_t>(index)]; }

    // printf-style formatting over code page 936 bytes (no trail byte of a
    // double-byte character can be mistaken for '%').
    void Format(const char* format, ...) __attribute__((format(printf, 2, 3)));

    // Byte searches; -1 when absent.
    int Find(const char* sub, int start = 0) const;
    int Find(char ch, int start = 0) const;
    int ReverseFind(char ch) const;

    // Replaces every occurrence of `from`, scanning left to right without
    // overlap; returns the number of replacements.
    int Replace(const char* from, const char* to);
    int Replace(char from, char to);

    // White space is space, tab, CR, LF, vertical tab and form feed.
    CString& TrimLeft();
    CString& TrimRight();
    CString& Trim() { return TrimRight().TrimLeft(); }

    // Lower-cases the ASCII letters A-Z only; multi-byte characters are left
    // as they are.
    CString& MakeLower();

    CString Left(int count) const;
    CString Mid(int first) const;
    CString Mid(int first, int count) const;
    CString Right(int count) const;

    CString& operator+=(const CString& other)
    {
        m_bytes += other.m_bytes;
        return *this;
    }
    CString& operator+=(const char* other)
    {
        m_bytes += other;
        return *this;
    }
    CString& operator+=(char ch)
    {
        m_bytes += ch;
        return *this;
    }
    friend CString operator+(CString a, const CString& b) { return a += b; }
    friend CString operator+(CString a, const char* b) { return a += b; }
    friend CString operator+(const char* a, const CString& b) { return CString(a) += b; }

    friend bool operator==(const CString& a, const CString& b) { return a.m_bytes == b.m_bytes; }
    friend bool operator==(const CString& a, const char* b) { return a.m_bytes == (b ? b : ""); }
    friend std::strong_ordering operator<=>(const CString& a, const CString& b)
    {
        return a.m_bytes <=> b.m_bytes;
    }

private:
    std::string m_bytes;
};

template <> struct std::hash<CString> {
    std::size_t operator()(const CString& s) const noexcept { return std::hash<std::string> {}(s.Bytes()); }
};
