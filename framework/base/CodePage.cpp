#include "framework/base/CodePage.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <iconv.h>

namespace {

constexpr std::string_view kReplacementUtf8 = "\xEF\xBF\xBD"; // U+FFFD

// One converter per table, direction and thread: iconv descriptors keep
// state and must not be shared between threads.
class Converter {
public:
    Converter(const char* to, const char* from)
        : m_cd(iconv_open(to, from))
    {
    }
    ~Converter()
    {
        if (m_cd != reinterpret_cast<iconv_t>(-1))
            iconv_close(m_cd);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts `input` and appends it to `out`; at a sequence the table has
    // no mapping for, `fallback(rest, out)` appends what stands for the
    // sequence at the front of `rest` and returns how many bytes it took (at
    // least one).
    template <typename Fallback> void Convert(std::string_view input, std::string& out, Fallback fallback)
    {
        if (m_cd == reinterpret_cast<iconv_t>(-1))
            return;
        Reset();
        out.reserve(out.size() + input.size() * 2 + 4);
        char* in = const_cast<char*>(input.data());
        std::size_t inLeft = input.size();
        // A failure makes iconv redo the work of its whole input to find the
        // failing byte; short windows keep that cheap for texts with many
        // characters that need the fallback.
        constexpr std::size_t kWindow = 256;
        char buffer[4 * kWindow];
        while (inLeft > 0) {
            const std::size_t window = std::min(inLeft, kWindow);
            const bool lastWindow = window == inLeft;
            std::size_t windowLeft = window;
            char* dst = buffer;
            std::size_t dstLeft = sizeof buffer;
            const std::size_t rc = iconv(m_cd, &in, &windowLeft, &dst, &dstLeft);
            const int error = errno;
            const std::size_t taken = window - windowLeft;
            inLeft -= taken;
            out.append(buffer, static_cast<std::size_t>(dst - buffer));
            if (rc != static_cast<std::size_t>(-1) || error == E2BIG)
                continue;
            // A sequence cut off by the window's end is whole in the next one.
            if (error == EINVAL && !lastWindow && taken > 0)
                continue;
            // EILSEQ, or EINVAL for a sequence cut off by the end of the input.
            const std::size_t n = std::min(inLeft, fallback(std::string_view(in, inLeft), out));
            in += n;
            inLeft -= n;
            Reset();
        }
    }

    // Converts a short `input` whole and appends it to `out`; false, with
    // `out` untouched, when any of it can't be converted.
    bool ConvertWhole(std::string_view input, std::string& out)
    {
        if (m_cd == reinterpret_cast<iconv_t>(-1))
            return false;
        Reset();
        char* in = const_cast<char*>(input.data());
        std::size_t inLeft = input.size();
        char buffer[16];
        char* dst = buffer;
        std::size_t dstLeft = sizeof buffer;
        if (iconv(m_cd, &in, &inLeft, &dst, &dstLeft) == static_cast<std::size_t>(-1) || inLeft != 0)
            return false;
        out.append(buffer, static_cast<std::size_t>(dst - buffer));
        return true;
    }

private:
    void Reset() { iconv(m_cd, nullptr, nullptr, nullptr, nullptr); }

    iconv_t m_cd;
};

std::size_t Utf8SequenceLength(std::string_view s)
{
    const auto lead = static_cast<unsigned char>(s[0]);
    std::size_t n = lead < 0xC0 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    // Stop at the first byte that is not a continuation byte.
    for (std::size_t i = 1; i < n; ++i) {
        if (i >= s.size() || (static_cast<unsigned char>(s[i]) & 0xC0) != 0x80)
            return i;
    }
    return n;
}

bool IsGb18030Digit(char ch)
{
    return ch >= 0x30 && ch <= 0x39;
}

// Lead 81-FE, 30-39, 81-FE, 30-39.
bool StartsFourByteSequence(std::string_view s)
{
    return s.size() >= 4 && IsDbcsLeadByte(static_cast<unsigned char>(s[0])) && IsGb18030Digit(s[1])
        && IsDbcsLeadByte(static_cast<unsigned char>(s[2])) && IsGb18030Digit(s[3]);
}

bool IsAscii(std::string_view s)
{
    return std::all_of(s.begin(), s.end(), [](char ch) { return static_cast<unsigned char>(ch) < 0x80; });
}

// glibc's conversions into a table without them drop the tag characters
// U+E0000 to U+E007F (F3 A0 80 80 to F3 A0 81 BF) without a word; GB18030
// has them, so they go to the fallback.
std::size_t FindTagCharacter(std::string_view utf8, std::size_t from)
{
    for (std::size_t at = utf8.find("\xF3\xA0", from); at != std::string_view::npos;
         at = utf8.find("\xF3\xA0", at + 1)) {
        if (at + 2 < utf8.size() && (utf8[at + 2] == '\x80' || utf8[at + 2] == '\x81'))
            return at;
    }
    return std::string_view::npos;
}

} // namespace

std::string Utf8ToAnsi(std::string_view utf8, bool* complete)
{
    if (complete)
        *complete = true;
    if (IsAscii(utf8))
        return std::string(utf8);
    thread_local Converter cp936("CP936", "UTF-8");
    thread_local Converter gb18030("GB18030", "UTF-8");
    const auto fallback = [complete](std::string_view rest, std::string& out) {
        const std::size_t n = Utf8SequenceLength(rest);
        if (!gb18030.ConvertWhole(rest.substr(0, n), out)) {
            out += '?';
            if (complete)
                *complete = false;
        }
        return n;
    };
    std::string out;
    for (std::size_t at = 0; at < utf8.size();) {
        const std::size_t tag = std::min(FindTagCharacter(utf8, at), utf8.size());
        cp936.Convert(utf8.substr(at, tag - at), out, fallback);
        at = tag < utf8.size() ? tag + fallback(utf8.substr(tag), out) : tag;
    }
    return out;
}

std::string AnsiToUtf8(std::string_view ansi, bool* complete)
{
    if (complete)
        *complete = true;
    if (IsAscii(ansi))
        return std::string(ansi);
    thread_local Converter cp936("UTF-8", "CP936");
    thread_local Converter gb18030("UTF-8", "GB18030");
    std::string out;
    cp936.Convert(ansi, out, [complete](std::string_view rest, std::string& out) -> std::size_t {
        if (StartsFourByteSequence(rest) && gb18030.ConvertWhole(rest.substr(0, 4), out))
            return 4;
        // The double-byte codes GB18030 adds to code page 936.
        if (rest.size() >= 2 && IsDbcsLeadByte(static_cast<unsigned char>(rest[0]))
            && gb18030.ConvertWhole(rest.substr(0, 2), out))
            return 2;
        out += kReplacementUtf8;
        if (complete)
            *complete = false;
        return 1;
    });
    return out;
}

std::size_t Utf8PrefixLength(std::string_view text, bool* multiByte)
{
    bool sawMultiByte = false;
    std::size_t i = 0;
    while (i < text.size()) {
        // Eight ASCII bytes at a time: the common case by far.
        std::uint64_t word;
        if (i + 8 <= text.size()
            && (std::memcpy(&word, text.data() + i, 8), (word & 0x8080808080808080u) == 0)) {
            i += 8;
            continue;
        }
        const auto lead = static_cast<unsigned char>(text[i]);
        if (lead < 0x80) {
            ++i;
            continue;
        }
        std::size_t length;
        std::uint32_t code;
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
            code = lead & 0x1F;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            code = lead & 0x0F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            code = lead & 0x07;
        } else {
            break;
        }
        if (i + length > text.size())
            break;
        bool whole = true;
        for (std::size_t k = 1; k < length && whole; ++k) {
            const auto byte = static_cast<unsigned char>(text[i + k]);
            whole = (byte & 0xC0) == 0x80;
            code = code << 6 | (byte & 0x3F);
        }
        const bool overlong = (length == 3 && code < 0x800) || (length == 4 && code < 0x10000);
        if (!whole || overlong || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            break;
        sawMultiByte = true;
        i += length;
    }
    if (multiByte)
        *multiByte = sawMultiByte;
    return i;
}

std::string Utf16ToUtf8(std::string_view utf16, bool bigEndian)
{
    thread_local Converter little("UTF-8", "UTF-16LE");
    thread_local Converter big("UTF-8", "UTF-16BE");
    std::string out;
    (bigEndian ? big : little)
        .Convert(utf16, out, [](std::string_view rest, std::string& out) -> std::size_t {
            out += kReplacementUtf8;
            return std::min<std::size_t>(rest.size(), 2);
        });
    return out;
}

std::string Utf8ToUtf16(std::string_view utf8, bool bigEndian)
{
    thread_local Converter little("UTF-16LE", "UTF-8");
    thread_local Converter big("UTF-16BE", "UTF-8");
    std::string out;
    (bigEndian ? big : little).Convert(utf8, out, [bigEndian](std::string_view rest, std::string& out) {
        out += bigEndian ? std::string_view("\xFF\xFD", 2) : std::string_view("\xFD\xFF", 2);
        return Utf8SequenceLength(rest);
    });
    return out;
}
