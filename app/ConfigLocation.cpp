#include "app/ConfigLocation.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

#include "framework/base/CodePage.h"

#include "framework/io/CFile.h"
#include "framework/io/FileSystem.h"

namespace {

// Exactly these lines, each in one write of its own length.
const char* const kDefaultLines[] = { "[user]\r\n", "fileurls=\r\n", "threadcount=5\r\n" };

// Creates the default file; the reason of a failure is returned, empty on success.
CString WriteDefaultFile(const CString& path)
{
    CFile file;
    if (!file.Open(path, CFile::modeCreate | CFile::modeWrite | CFile::typeBinary))
        return file.GetLastErrorText();
    for (const char* line : kDefaultLines) {
        if (!file.Write(line, static_cast<UINT>(std::strlen(line))))
            return file.GetLastErrorText();
    }
    file.Close();
    return file.Failed() ? file.GetLastErrorText() : CString();
}

// An existing file is used only when it can be written too, so the exit save
// does not go missing.
bool IsWritable(const CString& path)
{
    return access(AnsiToUtf8(path.View()).c_str(), W_OK) == 0;
}

CString UserConfigFolder()
{
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    CString base;
    if (xdg && *xdg) {
        base = CString::FromUtf8(xdg);
    } else {
        const char* home = std::getenv("HOME");
        base = CString::FromUtf8(home && *home ? home : "/tmp");
        base += "/.config";
    }
    return base + "/brisquel";
}

bool MakeFolders(const CString& folder)
{
    const std::string utf8 = AnsiToUtf8(folder.View());
    for (std::size_t at = 1; at <= utf8.size(); ++at) {
        if (at == utf8.size() || utf8[at] == '/') {
            if (mkdir(utf8.substr(0, at).c_str(), 0755) != 0 && errno != EEXIST)
                return false;
        }
    }
    return true;
}

// Uses `path`, creating the default file there when it is missing. The
// reason it can't be used is returned in `problem`.
bool TryLocation(const CString& path, CString& problem)
{
    if (FileExists(path)) {
        if (IsWritable(path))
            return true;
        problem = path + ": " + CString(std::strerror(EACCES));
        return false;
    }
    const CString reason = WriteDefaultFile(path);
    if (reason.IsEmpty())
        return true;
    problem = path + ": " + reason;
    return false;
}

} // namespace

ConfigLocation PrepareConfigFile(const CString& preferred)
{
    CString firstProblem;
    if (TryLocation(preferred, firstProblem))
        return ConfigLocation { preferred, CString() };
    const CString folder = UserConfigFolder();
    const CString fallback = folder + "/config.ini";
    CString secondProblem;
    if (MakeFolders(folder) && TryLocation(fallback, secondProblem))
        return ConfigLocation { fallback, CString() };
    if (secondProblem.IsEmpty())
        secondProblem = folder + ": " + CString(std::strerror(errno));
    return ConfigLocation { CString(), firstProblem + "\n" + secondProblem };
}
