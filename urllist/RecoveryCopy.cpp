#include "urllist/RecoveryCopy.h"

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <mutex>
#include <set>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "framework/base/CodePage.h"
#include "framework/base/LastError.h"
#include "framework/io/CAtomicFile.h"
#include "framework/thread/CWinThread.h"
#include "framework/window/MessageQueue.h"

// What the GUI thread and the thread writing a copy share.
struct RecoveryWriteState {
    std::mutex mutex;
    std::condition_variable idle;
    bool busy = false; // a write is under way
    bool removeWhenDone = false; // the copy was removed while it was written
};

namespace {

constexpr const char* kPrefix = "recovery-";
constexpr const char* kLock = ".lock";
constexpr const char* kCopy = ".csv";
// A clean exit waits this long at most for a write under way to stop.
constexpr auto kExitWait = std::chrono::seconds(5);

CString Shown(const std::string& utf8)
{
    return CString(Utf8ToAnsi(utf8));
}

CString ProblemText(const std::string& path, int error)
{
    return Shown(path) + ": " + SystemErrorText(static_cast<DWORD>(error));
}

// The folder for state that outlives a run but is no user's document.
bool StateFolder(std::string& folder, CString& problem)
{
    const char* xdg = std::getenv("XDG_STATE_HOME");
    const char* home = std::getenv("HOME");
    if (xdg && xdg[0] == '/') {
        folder = xdg;
    } else if (home && home[0] == '/') {
        folder = std::string(home) + "/.local/state";
    } else {
        problem = CString::FromUtf8("没有主文件夹（HOME）");
        return false;
    }
    folder += "/brisquel";
    bool complete = true;
    Utf8ToAnsi(folder, &complete);
    if (!complete)
        problem = ProblemText(folder, EILSEQ);
    return complete;
}

// Creates `folder` and the folders above it that are missing, for this
// user's eyes only.
bool MakeFolders(const std::string& folder, CString& problem)
{
    for (std::size_t at = folder.find('/', 1);; at = folder.find('/', at + 1)) {
        const std::string part = folder.substr(0, at);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) {
            problem = ProblemText(part, errno);
            return false;
        }
        if (at == std::string::npos)
            return true;
    }
}

struct WriteJob {
    std::shared_ptr<RecoveryWriteState> state;
    std::string path; // UTF-8
    std::vector<std::string> chunks;
    HWND notify;
    UINT message;
};

UINT WriteCopyProc(void* param)
{
    const std::unique_ptr<WriteJob> job(static_cast<WriteJob*>(param));
    RecoveryWriteState& state = *job->state;
    auto stopped = [&state] {
        std::lock_guard lock(state.mutex);
        return state.removeWhenDone;
    };
    int error = 0;
    {
        CAtomicFile file;
        if (file.Open(Shown(job->path), CFile::modeCreate | CFile::modeWrite | CFile::typeBinary)) {
            for (std::string& chunk : job->chunks) {
                if (stopped() || !file.Write(chunk.data(), static_cast<UINT>(chunk.size())))
                    break;
                std::string().swap(chunk);
            }
            if (!stopped() && !file.Failed())
                file.Commit();
        }
        error = file.GetErrorNumber();
    }
    {
        std::lock_guard lock(state.mutex);
        if (state.removeWhenDone) {
            ::unlink(job->path.c_str());
            error = 0;
        }
        state.busy = false;
        state.removeWhenDone = false;
    }
    state.idle.notify_all();
    PostMessageA(job->notify, job->message, static_cast<WPARAM>(error), 0);
    return 0;
}

} // namespace

RecoveryCopy::~RecoveryCopy()
{
    ReleaseLeftCopy();
    if (m_lockFd >= 0)
        ::close(m_lockFd);
}

std::string RecoveryCopy::PathOf(const std::string& stem, const char* extension) const
{
    return m_folder + "/" + stem + extension;
}

CString RecoveryCopy::CopyPath() const
{
    return Shown(PathOf(m_stem, kCopy));
}

CString RecoveryCopy::LeftCopyPath() const
{
    return m_leftStem.empty() ? CString() : Shown(PathOf(m_leftStem, kCopy));
}

BOOL RecoveryCopy::Open()
{
    if (!StateFolder(m_folder, m_problem) || !MakeFolders(m_folder, m_problem))
        return FALSE;
    const std::string guardPath = m_folder + "/instances.lock";
    const int guard = ::open(guardPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (guard < 0 || ::flock(guard, LOCK_EX) != 0) {
        m_problem = ProblemText(guardPath, errno);
        if (guard >= 0)
            ::close(guard);
        return FALSE;
    }
    std::string lockPath = PathOf(std::string(kPrefix) + "XXXXXX", kLock);
    m_lockFd = ::mkostemps(lockPath.data(), static_cast<int>(std::strlen(kLock)), O_CLOEXEC);
    if (m_lockFd < 0 || ::flock(m_lockFd, LOCK_EX | LOCK_NB) != 0) {
        m_problem = ProblemText(lockPath, errno);
        if (m_lockFd >= 0) {
            ::unlink(lockPath.c_str());
            ::close(m_lockFd);
            m_lockFd = -1;
        }
        ::close(guard);
        return FALSE;
    }
    m_stem = lockPath.substr(m_folder.size() + 1, lockPath.size() - m_folder.size() - 1 - std::strlen(kLock));
    m_writeState = std::make_shared<RecoveryWriteState>();

    std::set<std::string> names;
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator(m_folder, ignored))
        names.insert(entry.path().filename().string());
    std::filesystem::file_time_type newest;
    for (const std::string& name : names) {
        if (!name.starts_with(kPrefix) || !name.ends_with(kLock))
            continue;
        const std::string stem = name.substr(0, name.size() - std::strlen(kLock));
        const int fd = stem == m_stem ? -1 : ::open(PathOf(stem, kLock).c_str(), O_RDWR | O_CLOEXEC);
        if (fd < 0)
            continue;
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            ::close(fd); // its instance runs
            continue;
        }
        // Its instance is gone: what it was writing when it went is of no use.
        const std::string unfinished = stem + kCopy + ".tmp-";
        for (auto it = names.lower_bound(unfinished); it != names.end() && it->starts_with(unfinished); ++it)
            ::unlink((m_folder + "/" + *it).c_str());
        const std::filesystem::file_time_type written
            = std::filesystem::last_write_time(PathOf(stem, kCopy), ignored);
        if (ignored) {
            ::unlink(PathOf(stem, kLock).c_str());
            ::close(fd);
        } else if (m_leftStem.empty() || written > newest) {
            ReleaseLeftCopy();
            m_leftStem = stem;
            m_leftLockFd = fd;
            newest = written;
        } else {
            ::close(fd);
        }
    }
    ::close(guard);
    return TRUE;
}

void RecoveryCopy::ReleaseLeftCopy()
{
    if (m_leftLockFd >= 0)
        ::close(m_leftLockFd);
    m_leftLockFd = -1;
    m_leftStem.clear();
}

void RecoveryCopy::AdoptLeftCopy()
{
    if (!m_leftStem.empty()
        && ::rename(PathOf(m_leftStem, kCopy).c_str(), PathOf(m_stem, kCopy).c_str()) == 0)
        ::unlink(PathOf(m_leftStem, kLock).c_str());
    ReleaseLeftCopy();
}

void RecoveryCopy::RemoveLeftCopy()
{
    if (!m_leftStem.empty()) {
        ::unlink(PathOf(m_leftStem, kCopy).c_str());
        ::unlink(PathOf(m_leftStem, kLock).c_str());
    }
    ReleaseLeftCopy();
}

void RecoveryCopy::Write(std::vector<std::string> chunks, HWND notify, UINT message)
{
    // Once the instance has ended cleanly it keeps no copy.
    if (m_stem.empty()) {
        PostMessageA(notify, message, 0, 0);
        return;
    }
    {
        std::lock_guard lock(m_writeState->mutex);
        m_writeState->busy = true;
        m_writeState->removeWhenDone = false;
    }
    auto* job = new WriteJob { m_writeState, PathOf(m_stem, kCopy), std::move(chunks), notify, message };
    auto* thread = new CWinThread(WriteCopyProc, job);
    if (!thread->CreateThread()) {
        delete thread;
        delete job;
        {
            std::lock_guard lock(m_writeState->mutex);
            m_writeState->busy = false;
        }
        PostMessageA(notify, message, EAGAIN, 0);
    }
}

void RecoveryCopy::Remove()
{
    if (m_stem.empty())
        return;
    // Removed now, or by the writer once its file is in place: either way
    // after anything it writes.
    std::lock_guard lock(m_writeState->mutex);
    if (m_writeState->busy)
        m_writeState->removeWhenDone = true;
    else
        ::unlink(PathOf(m_stem, kCopy).c_str());
}

void RecoveryCopy::EndCleanly()
{
    if (m_stem.empty())
        return;
    Remove();
    {
        // A copy committed after the exit would be taken for one left behind.
        std::unique_lock lock(m_writeState->mutex);
        m_writeState->idle.wait_for(lock, kExitWait, [this] { return !m_writeState->busy; });
    }
    ::unlink(PathOf(m_stem, kLock).c_str());
    ::close(m_lockFd);
    m_lockFd = -1;
    m_stem.clear();
}
