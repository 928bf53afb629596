#include "framework/base/CString.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "framework/base/CodePage.h"

namespace {

bool IsWhiteSpace(char ch)
{
    return ch == ' ' || ch == '\t' || ch == '\r' || ch == '\n' || ch == '\v' || ch == '\f';
}

std::size_t Clamp(int value, std::size_t limit)
{
    if (value < 0)
        return 0;
    return std::min(static_cast<std::size_t>(value), limit);
}

} // namespace

CString CString::FromUtf8(std::string_view utf8)
{
    return CString(Utf8ToAnsi(utf8));
}

std::string CString::ToUtf8() const
{
    return AnsiToUtf8(m_bytes);
}

void CString::Format(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    const int needed = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (needed < 0) {
        m_bytes.clear();
    } else {
        std::string out(static_cast<std::size_t>(needed) + 1, '\0');
        std::vsnprintf(out.data(), out.size(), format, args);
        out.resize(static_cast<std::size_t>(needed));
        m_bytes = std::move(out);
    }
    va_end(args);
}

int CString::Find(const char* sub, int start) const
{
    if (start < 0 || static_cast<std::size_t>(start) > m_bytes.size())
        return -1;
    const auto at = m_bytes.find(sub, static_cast<std::size_t>(start));
    return at == std::string::npos ? -1 : static_cast<int>(at);
}

int CString::Find(char ch, int start) const
{
    if (start < 0 || static_cast<std::size_t>(start) > m_bytes.size())
        return -1;
    const auto at = m_bytes.find(ch, static_cast<std::size_t>(start));
    return at == std::string::npos ? -1 : static_cast<int>(at);
}

int CString::ReverseFind(char ch) const
{
    const auto at = m_bytes.rfind(ch);
    return at == std::string::npos ? -1 : static_cast<int>(at);
}

int CString::Replace(const char* from, const char* to)
{
    const std::size_t fromLength = std::strlen(from);
    if (fromLength == 0)
        return 0;
    std::string out;
    int count = 0;
    std::size_t pos = 0;
    for (;;) {
        const auto at = m_bytes.find(from, pos, fromLength);
        if (at == std::string::npos)
            break;
        if (count == 0)
            out.reserve(m_bytes.size());
        out.append(m_bytes, pos, at - pos);
        out.append(to);
        pos = at + fromLength;
        ++count;
    }
    if (count > 0) {
        out.append(m_bytes, pos, std::string::npos);
        m_bytes = std::move(out);
    }
    return count;
}

int CString::Replace(char from, char to)
{
    int count = 0;
    for (char& ch : m_bytes) {
        if (ch == from) {
            ch = to;
            ++count;
        }
    }
    return count;
}

CString& CString::TrimLeft()
{
    std::size_t first = 0;
    while (first < m_bytes.size() && IsWhiteSpace(m_bytes[first]))
        ++first;
    m_bytes.erase(0, first);
    return *this;
}

CString& CString::TrimRight()
{
    std::size_t end = m_bytes.size();
    while (end > 0 && IsWhiteSpace(m_bytes[end - 1]))
        --end;
    m_bytes.resize(end);
    return *this;
}

CString& CString::MakeLower()
{
    // A trail byte of a double-byte character may fall in 'A'..'Z'; walking
    // character by character keeps such characters intact.
    for (std::size_t i = 0; i < m_bytes.size(); ++i) {
        char& ch = m_bytes[i];
        if (IsDbcsLeadByte(static_cast<unsigned char>(ch)) && i + 1 < m_bytes.size())
            ++i;
        else if (ch >= 'A' && ch <= 'Z')
            ch = static_cast<char>(ch - 'A' + 'a');
    }
    return *this;
}

CString CString::Left(int count) const
{
    return CString(m_bytes.substr(0, Clamp(count, m_bytes.size())));
}

CString CString::Mid(int first) const
{
    return CString(m_bytes.substr(Clamp(first, m_bytes.size())));
}

CString CString::Mid(int first, int count) const
{
    const std::size_t from = Clamp(first, m_bytes.size());
    return CString(m_bytes.substr(from, Clamp(count, m_bytes.size() - from)));
}

CString CString::Right(int count) const
{
    const std::size_t n = Clamp(count, m_bytes.size());
    return CString(m_bytes.substr(m_bytes.size() - n));
}
