#include "framework/base/CodePage.h"

#include <algorithm>
#include <atomic>
#include <bit>
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

// The number of bytes below 0x80 that `text` starts with.
std::size_t AsciiPrefixLength(std::string_view text)
{
    // Thirty-two bytes a step, then eight: runs of ASCII are the common case
    // by far. In a word that has a byte from 0x80 up, the lowest set bit
    // tells which (the first in memory on a little-endian machine).
    constexpr std::uint64_t kHighBits = 0x8080808080808080u;
    const char* const data = text.data();
    std::size_t i = 0;
    for (std::uint64_t words[4]; i + 32 <= text.size(); i += 32) {
        std::memcpy(words, data + i, 32);
        if (((words[0] | words[1] | words[2] | words[3]) & kHighBits) != 0)
            break;
    }
    for (std::uint64_t word; i + 8 <= text.size(); i += 8) {
        std::memcpy(&word, data + i, 8);
        if (const std::uint64_t high = word & kHighBits; high != 0) {
            if constexpr (std::endian::native == std::endian::little)
                return i + static_cast<std::size_t>(std::countr_zero(high)) / 8;
            break;
        }
    }
    while (i < text.size() && static_cast<unsigned char>(data[i]) < 0x80)
        ++i;
    return i;
}

// The code point of the UTF-8 character at `at` and its length; 0 when the
// bytes there are no whole character (a stray continuation byte, an overlong
// form, a surrogate, a code point past U+10FFFF, a cut sequence).
inline std::size_t DecodeUtf8Character(std::string_view text, std::size_t at, std::uint32_t& code)
{
    const auto lead = static_cast<unsigned char>(text[at]);
    std::size_t length;
    if (lead < 0x80) {
        code = lead;
        return 1;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        code = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        code = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        code = lead & 0x07;
    } else {
        return 0;
    }
    if (at + length > text.size())
        return 0;
    for (std::size_t k = 1; k < length; ++k) {
        const auto byte = static_cast<unsigned char>(text[at + k]);
        if ((byte & 0xC0) != 0x80)
            return 0;
        code = code << 6 | (byte & 0x3F);
    }
    const bool overlong = (length == 3 && code < 0x800) || (length == 4 && code < 0x10000);
    if (overlong || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        return 0;
    return length;
}

// One character (a whole UTF-8 sequence) in the code page: code page 936's
// own bytes where it has the character, else GB18030's; false when neither
// table holds it. glibc's CP936 drops the tag characters U+E0000 to U+E007F
// without a word, so an empty result counts as none.
bool AppendCharacterAsAnsi(std::string_view sequence, std::string& out)
{
    thread_local Converter cp936("CP936", "UTF-8");
    thread_local Converter gb18030("GB18030", "UTF-8");
    const std::size_t before = out.size();
    if (cp936.ConvertWhole(sequence, out) && out.size() > before)
        return true;
    out.resize(before);
    return gb18030.ConvertWhole(sequence, out);
}

// The code page bytes of each character of the Basic Multilingual Plane,
// looked up once: a converter's call costs far more than the character.
// 0: not looked up yet; kNoCharacter: neither table holds it; else the one,
// two or four bytes from the low end, and their count in bits 32 and up.
constexpr std::uint64_t kNoCharacter = ~std::uint64_t(0);
std::atomic<std::uint64_t> g_bmpInAnsi[0x10000];

std::uint64_t LookUpBmpCharacter(std::string_view sequence, std::uint32_t code)
{
    std::string bytes;
    std::uint64_t packed = kNoCharacter;
    if (AppendCharacterAsAnsi(sequence, bytes) && !bytes.empty() && bytes.size() <= 4) {
        packed = std::uint64_t(bytes.size()) << 32;
        for (std::size_t k = 0; k < bytes.size(); ++k)
            packed |= std::uint64_t(static_cast<unsigned char>(bytes[k])) << (8 * k);
    }
    g_bmpInAnsi[code].store(packed, std::memory_order_relaxed);
    return packed;
}

inline std::uint64_t BmpCharacterInAnsi(std::string_view sequence, std::uint32_t code)
{
    const std::uint64_t packed = g_bmpInAnsi[code].load(std::memory_order_relaxed);
    return packed != 0 ? packed : LookUpBmpCharacter(sequence, code);
}

// Writes all four packed bytes at `to` (the caller has room for them) and
// returns how many of them the character takes.
inline std::size_t WritePacked(std::uint64_t packed, char* to)
{
    for (int k = 0; k < 4; ++k)
        to[k] = static_cast<char>(packed >> (8 * k));
    return static_cast<std::size_t>(packed >> 32);
}

// Writes the code page form of `utf8` at `out`, which has room for twice
// its length: no character takes more than that (U+0080 to U+07FF may take
// four bytes for two). "?" stands for what is not UTF-8 and for characters
// neither table holds. Returns the length written.
std::size_t ConvertUtf8ToAnsi(std::string_view utf8, char* const out, Utf8ToAnsiOutcome& result)
{
    char* to = out;
    std::size_t at = 0;
    while (at < utf8.size()) {
        const auto lead = static_cast<unsigned char>(utf8[at]);
        if (lead < 0x80) {
            // A run of ASCII in one go, a lone byte (a slash between words)
            // as it is.
            std::size_t run = 1;
            std::uint64_t word;
            if (at + 8 <= utf8.size()
                && (std::memcpy(&word, utf8.data() + at, 8), (word & 0x8080808080808080u) == 0))
                run = AsciiPrefixLength(utf8.substr(at));
            if (run == 1)
                *to = static_cast<char>(lead);
            else
                std::memcpy(to, utf8.data() + at, run);
            to += run;
            at += run;
            continue;
        }
        result.multiByte = true;
        // Three bytes, the whole of Chinese and most other scripts, take a
        // short way while their character is known. Surrogates are never
        // known, so they go the long way, which refuses them.
        if (lead >= 0xE0 && lead <= 0xEF && at + 2 < utf8.size()) {
            const auto second = static_cast<unsigned char>(utf8[at + 1]);
            const auto third = static_cast<unsigned char>(utf8[at + 2]);
            const std::uint32_t code3 = (lead & 0x0Fu) << 12 | (second & 0x3Fu) << 6 | (third & 0x3Fu);
            if (((second ^ 0x80u) | (third ^ 0x80u)) < 0x40 && code3 >= 0x800) {
                const std::uint64_t packed = g_bmpInAnsi[code3].load(std::memory_order_relaxed);
                if (packed != 0 && packed != kNoCharacter) {
                    to += WritePacked(packed, to);
                    at += 3;
                    continue;
                }
            }
        }
        std::uint32_t code = 0;
        const std::size_t length = DecodeUtf8Character(utf8, at, code);
        std::size_t written = 0;
        if (length == 0) {
            result.utf8 = false;
            at += Utf8SequenceLength(utf8.substr(at));
        } else if (code < 0x10000) {
            const std::uint64_t packed = BmpCharacterInAnsi(utf8.substr(at, length), code);
            if (packed != kNoCharacter)
                written = WritePacked(packed, to);
            at += length;
        } else {
            std::string bytes;
            if (AppendCharacterAsAnsi(utf8.substr(at, length), bytes) && bytes.size() <= 4) {
                std::memcpy(to, bytes.data(), bytes.size());
                written = bytes.size();
            }
            at += length;
        }
        if (written == 0) {
            *to = '?';
            written = 1;
            result.complete = false;
        }
        to += written;
    }
    result.complete = result.complete && result.utf8;
    return static_cast<std::size_t>(to - out);
}

} // namespace

bool IsAscii(std::string_view text)
{
    return AsciiPrefixLength(text) == text.size();
}

std::string Utf8ToAnsi(std::string_view utf8, bool* complete)
{
    std::string out(2 * utf8.size(), '\0');
    Utf8ToAnsiOutcome outcome;
    out.resize(ConvertUtf8ToAnsi(utf8, out.data(), outcome));
    if (complete)
        *complete = outcome.complete;
    return out;
}

std::size_t Utf8ToAnsiInto(std::string_view utf8, char* out, Utf8ToAnsiOutcome& outcome)
{
    outcome = Utf8ToAnsiOutcome {};
    return ConvertUtf8ToAnsi(utf8, out, outcome);
}

std::size_t Utf8WholeLength(std::string_view text)
{
    const std::size_t size = text.size();
    for (std::size_t back = 1; back <= 3 && back <= size; ++back) {
        const auto byte = static_cast<unsigned char>(text[size - back]);
        if (byte < 0x80)
            return size;
        if (byte >= 0xC0) {
            const std::size_t needed = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : 2;
            return needed > back ? size - back : size;
        }
    }
    return size;
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
    std::size_t at = 0;
    while (at < text.size()) {
        at += AsciiPrefixLength(text.substr(at));
        if (at == text.size())
            break;
        std::uint32_t code;
        const std::size_t length = DecodeUtf8Character(text, at, code);
        if (length == 0)
            break;
        sawMultiByte = true;
        at += length;
    }
    if (multiByte)
        *multiByte = sawMultiByte;
    return at;
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
