#include "framework/io/PrivateProfile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>
#include <string_view>

#include "framework/base/CodePage.h"
#include "framework/base/LastError.h"
#include "framework/io/CAtomicFile.h"

namespace {

// The UTF-8 byte-order mark: it belongs to no line of the file.
constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

// How the bytes of a file are to be walked. In code page 936 a trail byte
// can look like ASCII; in UTF-8 no byte of a multi-byte character does.
enum class Encoding { CodePage, Utf8 };

Encoding EncodingOf(std::string_view text)
{
    return text.starts_with(kUtf8Mark) ? Encoding::Utf8 : Encoding::CodePage;
}

bool StartsDoubleByte(std::string_view s, std::size_t i, Encoding encoding)
{
    return encoding == Encoding::CodePage && IsDbcsLeadByte(static_cast<unsigned char>(s[i]));
}

bool IsBlank(char ch)
{
    return ch == ' ' || ch == '\t';
}

std::string_view TrimBlanks(std::string_view s)
{
    while (!s.empty() && IsBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

char AsciiLower(char ch)
{
    return ch >= 'A' && ch <= 'Z' ? static_cast<char>(ch - 'A' + 'a') : ch;
}

// The trail byte of a double-byte character may look like a letter (81 41 is
// not 81 61), so both bytes of such a character must match exactly.
bool EqualNoCase(std::string_view a, std::string_view b, Encoding encoding)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (StartsDoubleByte(a, i, encoding) && i + 1 < a.size()) {
            if (a[i] != b[i] || a[i + 1] != b[i + 1])
                return false;
            ++i;
        } else if (AsciiLower(a[i]) != AsciiLower(b[i])) {
            return false;
        }
    }
    return true;
}

// ']' can be the trail byte of a double-byte character, so the search steps
// over whole characters.
std::size_t FindClosingBracket(std::string_view s, Encoding encoding)
{
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == ']')
            return i;
        if (StartsDoubleByte(s, i, encoding))
            ++i;
    }
    return std::string_view::npos;
}

struct ProfileLine {
    enum Kind { Other, Section, Key } kind = Other;
    std::string_view name;
    std::string_view value;
};

// `line` comes without its line end. '=' (3D) is never a trail byte.
ProfileLine ParseLine(std::string_view line, Encoding encoding)
{
    const std::string_view text = TrimBlanks(line);
    if (!text.empty() && text.front() == '[') {
        const std::size_t close = FindClosingBracket(text.substr(1), encoding);
        if (close != std::string_view::npos)
            return { ProfileLine::Section, TrimBlanks(text.substr(1, close)), {} };
        return {};
    }
    const std::size_t equals = text.find('=');
    if (equals == std::string_view::npos)
        return {};
    return { ProfileLine::Key, TrimBlanks(text.substr(0, equals)), TrimBlanks(text.substr(equals + 1)) };
}

struct Lookup {
    bool keyFound = false;
    std::size_t keyLineBegin = 0;
    std::size_t keyLineEnd = 0; // past the key line's LF
    std::string_view value;
    bool sectionFound = false;
    std::size_t sectionEnd = 0; // past the last non-blank line of the first matching section
};

// The first matching key wins, even in a later repeat of the section.
// `section` and `key` are in the file's encoding.
Lookup Find(std::string_view text, std::string_view section, std::string_view key, Encoding encoding)
{
    Lookup found;
    bool inSection = false;
    bool inFirstSection = false;
    for (std::size_t pos = encoding == Encoding::Utf8 ? kUtf8Mark.size() : 0; pos < text.size();) {
        const std::size_t lf = text.find('\n', pos);
        const std::size_t lineEnd = lf == std::string_view::npos ? text.size() : lf;
        const std::size_t next = lf == std::string_view::npos ? text.size() : lf + 1;
        std::string_view line = text.substr(pos, lineEnd - pos);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        const ProfileLine parsed = ParseLine(line, encoding);
        if (parsed.kind == ProfileLine::Section) {
            inSection = EqualNoCase(parsed.name, section, encoding);
            inFirstSection = inSection && !found.sectionFound;
            if (inFirstSection) {
                found.sectionFound = true;
                found.sectionEnd = next;
            }
        } else if (inSection) {
            if (inFirstSection && !TrimBlanks(line).empty())
                found.sectionEnd = next;
            if (parsed.kind == ProfileLine::Key && EqualNoCase(parsed.name, key, encoding)) {
                found.keyFound = true;
                found.keyLineBegin = pos;
                found.keyLineEnd = next;
                found.value = parsed.value;
                return found;
            }
        }
        pos = next;
    }
    return found;
}

// FALSE with `error` set when the file can't be read.
bool ReadWholeFile(LPCSTR fileName, std::string& text, int& error)
{
    CFile file;
    if (!file.Open(fileName, CFile::modeRead | CFile::typeBinary)) {
        error = file.GetErrorNumber();
        return false;
    }
    text.clear();
    char chunk[64 * 1024];
    while (const UINT n = file.Read(chunk, sizeof chunk))
        text.append(chunk, n);
    error = file.GetErrorNumber();
    return !file.Failed();
}

// The code page text `ansi` as the file's encoding has it.
std::string InFileEncoding(std::string_view ansi, Encoding encoding)
{
    return encoding == Encoding::Utf8 ? AnsiToUtf8(ansi) : std::string(ansi);
}

// A file holding nothing but the mark has no line to end.
void EndLastLine(std::string& text, Encoding encoding)
{
    const std::size_t start = encoding == Encoding::Utf8 ? kUtf8Mark.size() : 0;
    if (text.size() > start && text.back() != '\n')
        text += "\r\n";
}

} // namespace

DWORD GetPrivateProfileStringA(
    LPCSTR section, LPCSTR key, LPCSTR defaultValue, LPSTR buffer, DWORD size, LPCSTR fileName)
{
    if (!buffer || size == 0)
        return 0;
    std::string_view result = defaultValue ? defaultValue : "";
    std::string text;
    std::string converted;
    int error = 0;
    if (section && key && fileName && ReadWholeFile(fileName, text, error)) {
        const Encoding encoding = EncodingOf(text);
        const Lookup found
            = Find(text, InFileEncoding(section, encoding), InFileEncoding(key, encoding), encoding);
        if (found.keyFound) {
            result = found.value.substr(0, found.value.find('\0'));
            if (encoding == Encoding::Utf8)
                result = converted = Utf8ToAnsi(result);
        }
    }
    const std::size_t n = std::min<std::size_t>(result.size(), size - 1);
    // The default may lie inside the caller's buffer.
    std::memmove(buffer, result.data(), n);
    buffer[n] = '\0';
    return static_cast<DWORD>(n);
}

BOOL WritePrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR value, LPCSTR fileName)
{
    if (!section || !key || !value || !fileName) {
        SetLastError(EINVAL);
        return FALSE;
    }
    std::string text;
    int error = 0;
    // A missing file is an empty one; an unreadable one must not be replaced.
    if (!ReadWholeFile(fileName, text, error)) {
        if (error != ENOENT) {
            SetLastError(static_cast<DWORD>(error));
            return FALSE;
        }
        text.clear();
    }
    const Encoding encoding = EncodingOf(text);
    const std::string sectionName = InFileEncoding(section, encoding);
    const std::string keyName = InFileEncoding(key, encoding);
    const std::string entry = keyName + "=" + InFileEncoding(value, encoding) + "\r\n";
    const Lookup found = Find(text, sectionName, keyName, encoding);
    std::string out;
    if (found.keyFound) {
        out.append(text, 0, found.keyLineBegin).append(entry).append(text, found.keyLineEnd);
    } else if (found.sectionFound) {
        out.assign(text, 0, found.sectionEnd);
        EndLastLine(out, encoding);
        out.append(entry).append(text, found.sectionEnd);
    } else {
        out = std::move(text);
        EndLastLine(out, encoding);
        out.append("[").append(sectionName).append("]\r\n").append(entry);
    }

    CAtomicFile file;
    if (!file.Open(fileName, CFile::modeCreate | CFile::modeWrite | CFile::typeBinary)
        || !file.Write(out.data(), static_cast<UINT>(out.size())) || !file.Commit()) {
        SetLastError(static_cast<DWORD>(file.GetErrorNumber()));
        return FALSE;
    }
    return TRUE;
}
