#include "framework/io/CAtomicFile.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "framework/base/CodePage.h"

namespace {

std::atomic<unsigned> g_temporaryCounter { 0 };

// Next to the target, so that the rename stays within one file system.
std::string TemporaryName(const std::string& target)
{
    return target + ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(++g_temporaryCounter);
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
    m_targetPath = AnsiToUtf8(path);
    // O_EXCL turns a left-over file of an earlier run with the same process
    // id into a collision to step over, never a file to reuse.
    for (int attempt = 0; attempt < 100 && m_temporaryPath.empty(); ++attempt) {
        const std::string candidate = TemporaryName(m_targetPath);
        if (OpenDescriptor(candidate, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666))
            m_temporaryPath = candidate;
        else if (GetErrorNumber() != EEXIST)
            return FALSE;
        else
            ClearError();
    }
    if (m_temporaryPath.empty()) {
        RecordError(EEXIST);
        return FALSE;
    }
    struct stat st { };
    if (::stat(m_targetPath.c_str(), &st) == 0 && S_ISREG(st.st_mode))
        ::fchmod(Descriptor(), st.st_mode & 07777);
    return TRUE;
}

void CAtomicFile::Close()
{
    RemoveTemporary();
}

BOOL CAtomicFile::Commit()
{
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

void CAtomicFile::RemoveTemporary()
{
    Discard();
    if (!m_temporaryPath.empty())
        ::unlink(m_temporaryPath.c_str());
    m_temporaryPath.clear();
}
