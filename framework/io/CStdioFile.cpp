#include "framework/io/CStdioFile.h"

#include <cstring>

namespace {

// Large reads keep a million-line file to a few hundred system calls.
constexpr std::size_t kReadBufferSize = 256 * 1024;

} // namespace

CStdioFile::CStdioFile()
    : m_buffer(new char[kReadBufferSize])
{
}

CStdioFile::~CStdioFile() = default;

BOOL CStdioFile::Open(LPCSTR path, UINT openFlags)
{
    m_begin = m_end = 0;
    m_pending.clear();
    return CFile::Open(path, openFlags);
}

void CStdioFile::Close()
{
    m_begin = m_end = 0;
    m_pending.clear();
    CFile::Close();
}

BOOL CStdioFile::FillBuffer()
{
    m_begin = 0;
    m_end = Read(m_buffer.get(), kReadBufferSize);
    return m_end > 0;
}

BOOL CStdioFile::ReadString(CString& line)
{
    if (!IsOpen())
        return FALSE;
    m_pending.clear();
    bool started = false; // some byte of this line has been seen
    bool cutAtNul = false;
    for (;;) {
        if (m_begin == m_end && !FillBuffer()) {
            if (Failed() || !started)
                return FALSE;
            line.SetString(m_pending.data(), static_cast<int>(m_pending.size()));
            return TRUE;
        }
        started = true;
        const char* chunk = m_buffer.get() + m_begin;
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
            line.SetString(m_pending.data(), static_cast<int>(m_pending.size()));
            return TRUE;
        }
    }
}
