#include "framework/io/CStdioFile.h"

#include <algorithm>
#include <cstring>

#include "framework/base/CodePage.h"

namespace {

// Large reads keep a million-line file to a few hundred system calls.
constexpr std::size_t kReadBufferSize = 256 * 1024;
// Room before the read bytes for the start of a UTF-8 character that the
// last read cut off.
constexpr std::size_t kCarryRoom = 4;

bool IsAscii(std::string_view text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return (c & 0x80) == 0; });
}

bool IsUtf16(TextEncoding encoding)
{
    return encoding == TextEncoding::Utf16LE || encoding == TextEncoding::Utf16BE;
}

// A high surrogate (D800-DBFF) waits for its partner.
bool EndsInHighSurrogate(std::string_view utf16, bool bigEndian)
{
    if (utf16.size() < 2)
        return false;
    const auto high = static_cast<unsigned char>(utf16[utf16.size() - (bigEndian ? 2 : 1)]);
    return high >= 0xD8 && high <= 0xDB;
}

} // namespace

CStdioFile::CStdioFile()
    : m_buffer(new char[kCarryRoom + kReadBufferSize])
{
}

CStdioFile::~CStdioFile() = default;

void CStdioFile::ResetReading()
{
    m_encoding = TextEncoding::CodePage;
    m_markLeft = 0;
    m_utf16Carry.clear();
    m_decoded.clear();
    m_text = nullptr;
    m_begin = m_end = 0;
    m_pending.clear();
}

BOOL CStdioFile::Open(LPCSTR path, UINT openFlags)
{
    ResetReading();
    if (!CFile::Open(path, openFlags))
        return FALSE;
    if ((openFlags & (modeWrite | modeReadWrite)) == 0 && !DetectEncoding()) {
        CFile::Close();
        return FALSE;
    }
    return TRUE;
}

void CStdioFile::Close()
{
    ResetReading();
    CFile::Close();
}

bool CStdioFile::DetectEncoding()
{
    char* const room = m_buffer.get();
    char* const read = room + kCarryRoom;
    std::size_t carried = 0; // bytes at the end of the last read that may start a character
    bool multiByte = false;
    bool utf8 = true;
    for (bool first = true;; first = false) {
        const UINT n = Read(read, kReadBufferSize);
        if (Failed())
            return false;
        const std::string_view bytes(read, n);
        if (first) {
            for (const TextEncoding marked :
                { TextEncoding::Utf8WithMark, TextEncoding::Utf16LE, TextEncoding::Utf16BE }) {
                if (bytes.starts_with(ByteOrderMark(marked))) {
                    m_encoding = marked;
                    m_markLeft = ByteOrderMark(marked).size();
                    return SeekToBegin();
                }
            }
        }
        if (n == 0) {
            utf8 = carried == 0;
            break;
        }
        const std::string_view text(read - carried, carried + n);
        bool sawMultiByte = false;
        const std::size_t valid = Utf8PrefixLength(text, &sawMultiByte);
        multiByte = multiByte || sawMultiByte;
        // What is left is either a character the read cut off, which the next
        // read completes, or bytes that are not UTF-8.
        carried = text.size() - valid;
        if (carried >= kCarryRoom) {
            utf8 = false;
            break;
        }
        std::memmove(read - carried, text.data() + valid, carried);
    }
    m_encoding = utf8 && multiByte ? TextEncoding::Utf8 : TextEncoding::CodePage;
    return SeekToBegin();
}

BOOL CStdioFile::FillBuffer()
{
    m_begin = m_end = 0;
    char* const read = m_buffer.get() + kCarryRoom;
    for (;;) {
        std::size_t n = Read(read, kReadBufferSize);
        const std::size_t mark = std::min(m_markLeft, n);
        m_markLeft -= mark;
        std::string_view bytes(read + mark, n - mark);
        if (!IsUtf16(m_encoding)) {
            m_text = bytes.data();
            m_end = bytes.size();
            return m_end > 0;
        }
        const bool bigEndian = m_encoding == TextEncoding::Utf16BE;
        m_utf16Carry.append(bytes);
        std::size_t whole = m_utf16Carry.size() & ~std::size_t(1);
        if (n > 0 && EndsInHighSurrogate(std::string_view(m_utf16Carry).substr(0, whole), bigEndian))
            whole -= 2;
        if (n == 0)
            whole = m_utf16Carry.size(); // an odd last byte becomes U+FFFD
        m_decoded = Utf16ToUtf8(std::string_view(m_utf16Carry).substr(0, whole), bigEndian);
        m_utf16Carry.erase(0, whole);
        m_text = m_decoded.data();
        m_end = m_decoded.size();
        if (m_end > 0 || n == 0)
            return m_end > 0;
    }
}

BOOL CStdioFile::ReadString(CString& line)
{
    if (!IsOpen())
        return FALSE;
    m_pending.clear();
    bool started = false; // some byte of this line has been seen
    bool cutAtNul = false;
    const auto finish = [this, &line] {
        if (m_encoding == TextEncoding::CodePage || IsAscii(m_pending))
            line.SetString(m_pending.data(), static_cast<int>(m_pending.size()));
        else
            line = CString(Utf8ToAnsi(m_pending));
        return TRUE;
    };
    for (;;) {
        if (m_begin == m_end && !FillBuffer()) {
            if (Failed() || !started)
                return FALSE;
            return finish();
        }
        started = true;
        const char* chunk = m_text + m_begin;
        const std::size_t available = m_end - m_begin;
        const char* lf = static_cast<const char*>(std::memchr(chunk, '\n', available));
        const std::size_t chunkLength = lf ? static_cast<std::size_t>(lf - chunk) : available;
        m_begin += lf ? chunkLength + 1 : chunkLength;

        if (!cutAtNul) {
            const char* nul = static_cast<const char*>(std::memchr(chunk, '\0', chunkLength));
            cutAtNul = nul != nullptr;
            m_pending.append(chunk, nul ? static_cast<std::size_t>(nul - chunk) : chunkLength);
        }
        if (lf) {
            // A CR cut off by a NUL was never part of the text.
            if (!cutAtNul && !m_pending.empty() && m_pending.back() == '\r')
                m_pending.pop_back();
            return finish();
        }
    }
}
