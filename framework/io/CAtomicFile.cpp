#include "framework/io/CAtomicFile.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

#include "framework/io/FileSystem.h"

namespace {

std::atomic<unsigned> g_temporaryCounter { 0 };

// Next to the target, so that the rename stays within one file system.
std::string TemporaryName(const std::string& target)
{
    return target + ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(++g_temporaryCounter);
}

// The path a chain of symbolic links at `path` ends in; `path` itself when
// it is no link; nothing for a chain that does not end.
std::optional<std::string> FollowLinks(std::string path)
{
    for (int hop = 0; hop < 40; ++hop) {
        char target[PATH_MAX];
        const ssize_t n = ::readlink(path.c_str(), target, sizeof target);
        if (n <= 0 || static_cast<std::size_t>(n) >= sizeof target)
            return path;
        const std::string next(target, static_cast<std::size_t>(n));
        if (next.front() == '/')
            path = next;
        else
            path = path.substr(0, path.rfind('/') + 1) + next;
    }
    return std::nullopt;
}

// Failures that say the folder takes no new file, while its files may still
// be writable.
bool FolderRefusesNewFiles(int error)
{
    return error == EACCES || error == EPERM;
}

} // namespace

CAtomicFile::~CAtomicFile()
{
    RemoveTemporary();
}

BOOL CAtomicFile::Open(LPCSTR path, UINT openFlags)
{
    RemoveTemporary();
    ClearError();
    if (!path || !(openFlags & (modeWrite | modeReadWrite))) {
        RecordError(EINVAL);
        return FALSE;
    }
    const std::optional<std::string> systemPath = SystemPath(path);
    if (!systemPath) {
        RecordError(EILSEQ);
        return FALSE;
    }
    // A device or a pipe (/dev/null, a terminal, a shell's process
    // substitution) has no contents to replace: renaming a new file over it
    // would put a plain file where the device was. It is written as it is;
    // asked before any link is followed, since the links to a process's pipes
    // lead to no path. A named pipe nobody reads fails at once (ENXIO)
    // rather than wait for a reader.
    struct stat st { };
    if (::stat(systemPath->c_str(), &st) == 0 && !S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode)) {
        m_targetPath = *systemPath;
        if (!OpenDescriptor(m_targetPath, O_WRONLY | O_NONBLOCK | O_CLOEXEC, 0))
            return FALSE;
        ::fcntl(Descriptor(), F_SETFL, ::fcntl(Descriptor(), F_GETFL) & ~O_NONBLOCK);
        m_stream = true;
        return TRUE;
    }
    const std::optional<std::string> target = FollowLinks(*systemPath);
    if (!target) {
        RecordError(ELOOP);
        return FALSE;
    }
    m_targetPath = *target;
    const bool existing = ::stat(m_targetPath.c_str(), &st) == 0 && S_ISREG(st.st_mode);
    if (existing && ::access(m_targetPath.c_str(), W_OK) != 0) {
        RecordError(errno);
        return FALSE;
    }
    // O_EXCL turns a left-over file of an earlier run with the same process
    // id into a collision to step over, never a file to reuse.
    for (int attempt = 0; attempt < 100 && m_temporaryPath.empty(); ++attempt) {
        const std::string candidate = TemporaryName(m_targetPath);
        if (OpenDescriptor(candidate, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666))
            m_temporaryPath = candidate;
        else if (existing && FolderRefusesNewFiles(GetErrorNumber()))
            return OpenInPlace();
        else if (GetErrorNumber() != EEXIST)
            return FALSE;
        else
            ClearError();
    }
    if (m_temporaryPath.empty()) {
        RecordError(EEXIST);
        return FALSE;
    }
    if (existing)
        ::fchmod(Descriptor(), st.st_mode & 07777);
    return TRUE;
}

BOOL CAtomicFile::OpenInPlace()
{
    ClearError();
    m_inPlace = OpenDescriptor(m_targetPath, O_WRONLY | O_CLOEXEC, 0);
    return m_inPlace;
}

void CAtomicFile::Close()
{
    RemoveTemporary();
}

BOOL CAtomicFile::Commit()
{
    if (m_inPlace)
        return CommitInPlace();
    if (m_stream) {
        m_stream = false;
        if (!Flush()) {
            Discard();
            return FALSE;
        }
        return CloseDescriptor();
    }
    if (m_temporaryPath.empty()) {
        RecordError(EBADF);
        return FALSE;
    }
    // Without the sync a crash soon after the rename could leave an empty
    // file where the old one was.
    if (!Flush() || ::fsync(Descriptor()) != 0) {
        RecordError(errno);
        RemoveTemporary();
        return FALSE;
    }
    if (!CloseDescriptor() || ::rename(m_temporaryPath.c_str(), m_targetPath.c_str()) != 0) {
        RecordError(errno);
        RemoveTemporary();
        return FALSE;
    }
    m_temporaryPath.clear();
    return TRUE;
}

BOOL CAtomicFile::CommitInPlace()
{
    m_inPlace = false;
    if (!Flush()) {
        Discard();
        return FALSE;
    }
    const off_t length = ::lseek(Descriptor(), 0, SEEK_CUR);
    if (length < 0 || ::ftruncate(Descriptor(), length) != 0 || ::fsync(Descriptor()) != 0) {
        RecordError(errno);
        Discard();
        return FALSE;
    }
    return CloseDescriptor();
}

void CAtomicFile::RemoveTemporary()
{
    Discard();
    m_inPlace = false;
    m_stream = false;
    if (!m_temporaryPath.empty())
        ::unlink(m_temporaryPath.c_str());
    m_temporaryPath.clear();
}
