#include "framework/io/CStdioFile.h"

#include <cstring>

#include "framework/base/CodePage.h"

namespace {

// Large reads keep a million-line file to a few hundred system calls.
constexpr std::size_t kReadBufferSize = 256 * 1024;
// Room before a read for the start of a UTF-8 character the last one cut.
constexpr std::size_t kCarryRoom = 4;
// Room for a read converted into the code page: twice the UTF-8 it came as
// (see Utf8ToAnsiInto), which from UTF-16 is up to one and a half times the
// bytes read.
constexpr std::size_t kConvertedRoom = 3 * (kCarryRoom + kReadBufferSize);

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

// One block for a read and its conversion. A block of its own for the
// conversion, made and freed with each file, was seen to lead the C
// library's allocator to hand the list's freed memory back to the system at
// every import, and the next import to fault it all in again.
CStdioFile::CStdioFile()
    : m_buffer(new char[kCarryRoom + kReadBufferSize + kConvertedRoom])
{
}

CStdioFile::~CStdioFile() = default;

void CStdioFile::ResetReading()
{
    m_encoding = TextEncoding::CodePage;
    m_decided = false;
    m_atStart = true;
    m_startedOver = false;
    m_carried = 0;
    m_utf16Carry.clear();
    m_text = nullptr;
    m_begin = m_end = 0;
    m_pending.clear();
}

BOOL CStdioFile::Open(LPCSTR path, UINT openFlags)
{
    ResetReading();
    return CFile::Open(path, openFlags);
}

void CStdioFile::Close()
{
    ResetReading();
    CFile::Close();
}

std::string_view CStdioFile::TakeByteOrderMark(std::string_view bytes)
{
    for (const TextEncoding marked :
        { TextEncoding::Utf8WithMark, TextEncoding::Utf16LE, TextEncoding::Utf16BE }) {
        const std::string_view mark = ByteOrderMark(marked);
        if (bytes.starts_with(mark)) {
            m_encoding = marked;
            m_decided = true;
            return bytes.substr(mark.size());
        }
    }
    return bytes;
}

std::string_view CStdioFile::DecodeUtf16(std::string_view bytes, bool atEnd)
{
    const bool bigEndian = m_encoding == TextEncoding::Utf16BE;
    m_utf16Carry.append(bytes);
    std::size_t whole = m_utf16Carry.size();
    if (!atEnd) {
        whole &= ~std::size_t(1);
        if (EndsInHighSurrogate(std::string_view(m_utf16Carry).substr(0, whole), bigEndian))
            whole -= 2;
    }
    // At the end an odd last byte becomes U+FFFD.
    m_decoded = Utf16ToUtf8(std::string_view(m_utf16Carry).substr(0, whole), bigEndian);
    m_utf16Carry.erase(0, whole);
    return m_decoded;
}

bool CStdioFile::TakeUtf8(std::string_view bytes, bool atEnd)
{
    // A character cut off by the read waits in front of the next one.
    const std::string_view whole = atEnd ? bytes : bytes.substr(0, Utf8WholeLength(bytes));
    char* const convertedText = m_buffer.get() + kCarryRoom + kReadBufferSize;
    Utf8ToAnsiOutcome outcome;
    const std::size_t converted = Utf8ToAnsiInto(whole, convertedText, outcome);
    if (!m_decided && !outcome.utf8) {
        m_decided = true;
        if (m_encoding == TextEncoding::Utf8) {
            // Lines went out converted from UTF-8 by mistake.
            m_encoding = TextEncoding::CodePage;
            m_carried = 0;
            m_startedOver = true;
            SeekToBegin();
            return false;
        }
        // Nothing but ASCII went out: these bytes are the code page's, as read.
        m_text = bytes.data();
        m_end = bytes.size();
        return true;
    }
    if (!m_decided && outcome.multiByte)
        m_encoding = TextEncoding::Utf8;
    m_carried = bytes.size() - whole.size();
    std::memmove(m_buffer.get() + kCarryRoom - m_carried, whole.data() + whole.size(), m_carried);
    m_text = convertedText;
    m_end = converted;
    return true;
}

BOOL CStdioFile::FillBuffer()
{
    m_begin = m_end = 0;
    for (;;) {
        char* const read = m_buffer.get() + kCarryRoom;
        const UINT n = Read(read, kReadBufferSize);
        if (Failed())
            return FALSE;
        const bool atEnd = n == 0;
        std::string_view bytes(read - m_carried, m_carried + n);
        m_carried = 0;
        if (m_atStart && !atEnd) {
            m_atStart = false;
            bytes = TakeByteOrderMark(bytes);
        }
        if (atEnd && bytes.empty()) {
            m_decided = true;
            if (IsUtf16(m_encoding) && !m_utf16Carry.empty())
                bytes = DecodeUtf16({}, true);
            if (bytes.empty())
                return FALSE;
        } else if (IsUtf16(m_encoding)) {
            bytes = DecodeUtf16(bytes, atEnd);
        }
        if (m_decided && m_encoding == TextEncoding::CodePage) {
            m_text = bytes.data();
            m_end = bytes.size();
        } else if (!TakeUtf8(bytes, atEnd)) {
            return FALSE;
        }
        if (m_end > 0 || atEnd)
            return m_end > 0;
    }
}

BOOL CStdioFile::ReadString(CString& line)
{
    if (!IsOpen())
        return FALSE;
    m_startedOver = false;
    m_pending.clear();
    bool started = false; // some byte of this line has been seen
    bool cutAtNul = false;
    for (;;) {
        if (m_begin == m_end && !FillBuffer()) {
            if (Failed())
                return FALSE;
            if (m_startedOver) {
                m_pending.clear();
                started = cutAtNul = false;
                continue;
            }
            if (!started)
                return FALSE;
            break;
        }
        const char* chunk = m_text + m_begin;
        const std::size_t available = m_end - m_begin;
        const char* lf = static_cast<const char*>(std::memchr(chunk, '\n', available));
        const std::size_t chunkLength = lf ? static_cast<std::size_t>(lf - chunk) : available;
        m_begin += lf ? chunkLength + 1 : chunkLength;
        std::string_view piece;
        if (!cutAtNul) {
            const char* nul = static_cast<const char*>(std::memchr(chunk, '\0', chunkLength));
            cutAtNul = nul != nullptr;
            piece = std::string_view(chunk, nul ? static_cast<std::size_t>(nul - chunk) : chunkLength);
        }
        if (lf && !started) {
            // The line lies whole in the buffer: taken from there.
            if (!cutAtNul && piece.ends_with('\r'))
                piece.remove_suffix(1);
            line.SetString(piece.data(), static_cast<int>(piece.size()));
            return TRUE;
        }
        started = true;
        m_pending.append(piece);
        if (lf) {
            // A CR cut off by a NUL was never part of the text.
            if (!cutAtNul && m_pending.ends_with('\r'))
                m_pending.pop_back();
            break;
        }
    }
    line.SetString(m_pending.data(), static_cast<int>(m_pending.size()));
    return TRUE;
}
