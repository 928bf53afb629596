#include "framework/io/FileSystem.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "framework/base/CodePage.h"

std::optional<std::string> SystemPath(LPCSTR path)
{
    if (!path)
        return std::nullopt;
    bool complete = true;
    std::string utf8 = AnsiToUtf8(path, &complete);
    if (!complete)
        return std::nullopt;
    return utf8;
}

BOOL FileExists(LPCSTR path)
{
    const std::optional<std::string> systemPath = SystemPath(path);
    if (!systemPath)
        return FALSE;
    // O_NONBLOCK: opening a FIFO must not wait for a writer.
    const int fd = ::open(systemPath->c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return FALSE;
    struct stat st { };
    const bool regular = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    ::close(fd);
    return regular ? TRUE : FALSE;
}

CString AfxGetModuleFileName()
{
    std::string path(256, '\0');
    for (;;) {
        const ssize_t n = ::readlink("/proc/self/exe", path.data(), path.size());
        if (n < 0)
            return CString();
        // readlink gives no hint of truncation other than filling the buffer.
        if (static_cast<std::size_t>(n) < path.size()) {
            path.resize(static_cast<std::size_t>(n));
            bool complete = true;
            std::string ansi = Utf8ToAnsi(path, &complete);
            return complete ? CString(std::move(ansi)) : CString();
        }
        path.resize(path.size() * 2);
    }
}

CString FolderOfPath(const CString& path)
{
    const int slash = path.ReverseFind('/');
    if (slash < 0)
        return CString();
    return slash == 0 ? CString("/") : path.Left(slash);
}
