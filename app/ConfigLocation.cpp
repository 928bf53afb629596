#include "app/ConfigLocation.h"

#include <cerrno>
#include <cstdlib>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

#include "framework/base/CodePage.h"
#include "framework/base/LastError.h"
#include "framework/io/CFile.h"
#include "framework/io/FileSystem.h"

namespace {

// Exactly these lines, each in one write of its own length.
const char* const kDefaultLines[] = { "[user]\r\n", "fileurls=\r\n", "threadcount=5\r\n" };

// Creates `path` from `parts`; the reason of a failure is returned, empty on success.
template <typename Parts> CString WriteNewFile(const CString& path, const Parts& parts)
{
    CFile file;
    if (!file.Open(path, CFile::modeCreate | CFile::modeWrite | CFile::typeBinary))
        return file.GetLastErrorText();
    for (const std::string_view part : parts) {
        if (!file.Write(part.data(), static_cast<UINT>(part.size())))
            return file.GetLastErrorText();
    }
    file.Close();
    return file.Failed() ? file.GetLastErrorText() : CString();
}

CString CopyOrDefaultFile(const CString& path, const CString& source)
{
    if (!source.IsEmpty()) {
        CFile file;
        std::string content;
        if (file.Open(source, CFile::modeRead | CFile::typeBinary)) {
            char chunk[16 * 1024];
            while (const UINT n = file.Read(chunk, sizeof chunk))
                content.append(chunk, n);
            if (!file.Failed())
                return WriteNewFile(path, std::initializer_list<std::string_view> { content });
        }
    }
    return WriteNewFile(path, kDefaultLines);
}

CString Problem(const CString& path, int error)
{
    return path + ": " + SystemErrorText(static_cast<DWORD>(error));
}

// An existing file is saved to only when it can be written; `error` says why not.
bool IsWritable(const CString& path, int& error)
{
    const std::optional<std::string> systemPath = SystemPath(path);
    if (!systemPath) {
        error = EILSEQ;
        return false;
    }
    if (access(systemPath->c_str(), W_OK) == 0)
        return true;
    error = errno;
    return false;
}

// The name comes from the environment as bytes; one that is not UTF-8 can't
// be named back to the system, and `problem` says so.
bool UserConfigFolder(CString& folder, CString& problem)
{
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    const char* home = std::getenv("HOME");
    std::string utf8
        = xdg && *xdg ? std::string(xdg) : std::string(home && *home ? home : "/tmp") + "/.config";
    utf8 += "/brisquel";
    bool complete = true;
    folder = CString(Utf8ToAnsi(utf8, &complete));
    if (!complete)
        problem = Problem(folder, EILSEQ);
    return complete;
}

bool MakeFolders(const CString& folder, CString& problem)
{
    const std::optional<std::string> systemPath = SystemPath(folder);
    if (!systemPath) {
        problem = Problem(folder, EILSEQ);
        return false;
    }
    const std::string& utf8 = *systemPath;
    for (std::size_t at = 1; at <= utf8.size(); ++at) {
        if (at == utf8.size() || utf8[at] == '/') {
            if (mkdir(utf8.substr(0, at).c_str(), 0755) != 0 && errno != EEXIST) {
                problem = Problem(folder, errno);
                return false;
            }
        }
    }
    return true;
}

// True for a path under /usr, /opt or the prefix this build installs to.
bool IsInInstallation(const CString& path)
{
    const std::optional<std::string> systemPath = SystemPath(path);
    if (!systemPath)
        return false;
    std::string_view buildPrefix = BRISQUEL_INSTALL_PREFIX;
    while (buildPrefix.ends_with('/'))
        buildPrefix.remove_suffix(1);
    for (const std::string_view prefix :
        { std::string_view("/usr"), std::string_view("/opt"), buildPrefix }) {
        if (!prefix.empty() && systemPath->starts_with(prefix) && systemPath->size() > prefix.size()
            && (*systemPath)[prefix.size()] == '/')
            return true;
    }
    return false;
}

// Uses `path`, creating it as a copy of `source` (or with the default
// content when there is none) where it is missing. The reason it can't be
// used is returned in `problem`.
bool TryLocation(const CString& path, const CString& source, CString& problem)
{
    int error = 0;
    if (FileExists(path)) {
        if (IsWritable(path, error))
            return true;
        problem = Problem(path, error);
        return false;
    }
    const CString reason = CopyOrDefaultFile(path, source);
    if (reason.IsEmpty())
        return true;
    problem = path + ": " + reason;
    return false;
}

} // namespace

ConfigLocation PrepareConfigFile(const CString& preferred)
{
    CString firstProblem;
    CString readOnly;
    if (preferred.IsEmpty()) {
        firstProblem = Problem("config.ini", EILSEQ);
    } else if (!IsInInstallation(preferred)) {
        if (TryLocation(preferred, CString(), firstProblem))
            return ConfigLocation { preferred, true, CString() };
        if (FileExists(preferred))
            readOnly = preferred;
    }
    CString folder;
    CString secondProblem;
    if (UserConfigFolder(folder, secondProblem) && MakeFolders(folder, secondProblem)) {
        const CString fallback = folder + "/config.ini";
        if (TryLocation(fallback, readOnly, secondProblem))
            return ConfigLocation { fallback, true, CString() };
    }
    return ConfigLocation { readOnly, false,
        firstProblem.IsEmpty() ? secondProblem : firstProblem + "\n" + secondProblem };
}
