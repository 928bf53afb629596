#include "framework/io/CFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "framework/base/LastError.h"
#include "framework/io/FileSystem.h"

namespace {

constexpr std::size_t kWriteBufferSize = 64 * 1024;

} // namespace

CFile::~CFile()
{
    CloseDescriptor();
}

BOOL CFile::Open(LPCSTR path, UINT openFlags)
{
    Close();
    m_error = 0;
    if (!path) {
        RecordError(EINVAL);
        return FALSE;
    }
    const std::optional<std::string> systemPath = SystemPath(path);
    if (!systemPath) {
        RecordError(EILSEQ);
        return FALSE;
    }
    int flags = O_CLOEXEC;
    if (openFlags & modeReadWrite)
        flags |= O_RDWR;
    else if (openFlags & modeWrite)
        flags |= O_WRONLY;
    else
        flags |= O_RDONLY;
    if (openFlags & modeCreate)
        flags |= O_CREAT | O_TRUNC;
    return OpenDescriptor(*systemPath, flags, 0666);
}

BOOL CFile::OpenDescriptor(const std::string& utf8Path, int flags, unsigned mode)
{
    int fd;
    do {
        fd = ::open(utf8Path.c_str(), flags, mode);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        RecordError(errno);
        return FALSE;
    }
    // open(2) lets O_RDONLY through on a directory; the program wants a file.
    struct stat st { };
    if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        RecordError(S_ISDIR(st.st_mode) ? EISDIR : errno);
        ::close(fd);
        return FALSE;
    }
    m_fd = fd;
    return TRUE;
}

void CFile::Close()
{
    CloseDescriptor();
}

BOOL CFile::CloseDescriptor()
{
    if (m_fd < 0)
        return FALSE;
    const BOOL flushed = Flush();
    // close(2) is not retried on EINTR: on Linux the descriptor is gone anyway.
    if (::close(m_fd) != 0)
        RecordError(errno);
    m_fd = -1;
    return flushed && !Failed();
}

void CFile::Discard()
{
    m_writeBuffer.clear();
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

UINT CFile::Read(void* buffer, UINT count)
{
    if (m_fd < 0) {
        RecordError(EBADF);
        return 0;
    }
    ssize_t n;
    do {
        n = ::read(m_fd, buffer, count);
    } while (n < 0 && errno == EINTR);
    if (n < 0) {
        RecordError(errno);
        return 0;
    }
    return static_cast<UINT>(n);
}

BOOL CFile::SeekToBegin()
{
    if (m_fd < 0) {
        RecordError(EBADF);
        return FALSE;
    }
    if (::lseek(m_fd, 0, SEEK_SET) < 0) {
        RecordError(errno);
        return FALSE;
    }
    return TRUE;
}

BOOL CFile::Write(const void* data, UINT count)
{
    if (m_fd < 0)
        RecordError(EBADF);
    if (Failed())
        return FALSE;
    const char* bytes = static_cast<const char*>(data);
    if (m_writeBuffer.size() + count <= kWriteBufferSize) {
        m_writeBuffer.append(bytes, count);
        return TRUE;
    }
    if (!Flush())
        return FALSE;
    if (count >= kWriteBufferSize)
        return WriteAll(bytes, count);
    m_writeBuffer.append(bytes, count);
    return TRUE;
}

BOOL CFile::Flush()
{
    if (Failed())
        return FALSE;
    if (m_writeBuffer.empty())
        return TRUE;
    const BOOL ok = WriteAll(m_writeBuffer.data(), m_writeBuffer.size());
    m_writeBuffer.clear();
    return ok;
}

BOOL CFile::WriteAll(const char* data, std::size_t count)
{
    while (count > 0) {
        const ssize_t n = ::write(m_fd, data, count);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            RecordError(errno);
            return FALSE;
        }
        data += n;
        count -= static_cast<std::size_t>(n);
    }
    return TRUE;
}

void CFile::RecordError(int error)
{
    if (m_error == 0)
        m_error = error;
}

CString CFile::GetLastErrorText() const
{
    return m_error == 0 ? CString() : SystemErrorText(static_cast<DWORD>(m_error));
}
