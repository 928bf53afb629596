#include "bench/BenchSupport.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/resource.h>

#include "app/CMainFrame.h"
#include "app/CVelmoraApp.h"
#include "framework/window/Gui.h"
#include "urllist/CVelmoraView.h"
#include "urllist/RecoveryCopy.h"

long CountArgument(int argc, char** argv, int index, long fallback, long most)
{
    if (index >= argc)
        return fallback;
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(argv[index], &end, 10);
    if (errno != 0 || end == argv[index] || *end != '\0' || value < 1 || value > most)
        return 0;
    return value;
}

std::string MakeScratchDir(const char* name)
{
    std::string path = (std::filesystem::temp_directory_path() / name).string() + "-XXXXXX";
    return mkdtemp(path.data()) ? path : std::string();
}

std::string BenchPageBody()
{
    std::string body = "<html><head><title>bench page</title></head>\n<body>\n";
    while (body.size() < 2048)
        body += "<p>Lorem ipsum dolor sit amet, consectetur adipiscing elit.</p>\n";
    return body + "</body></html>\n";
}

long ResidentKiB()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::atol(line.c_str() + 6);
    return -1;
}

long PeakRssKiB()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

CMainFrame* OpenBenchWindow(CVelmoraApp& app, int& argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    if (!AfxStartGui(argc, argv))
        return nullptr;
    CCommandLineInfo info;
    if (!app.OpenMainWindow(info))
        return nullptr;
    auto* frame = dynamic_cast<CMainFrame*>(app.m_pMainWnd);
    if (!frame)
        return nullptr;
    frame->MoveWindow(0, 0, 1280, 800);
    frame->ShowWindow(SW_SHOW);
    return frame;
}

bool KeepRecoveryCopyIn(const std::string& dir, CVelmoraView& view, RecoveryCopy& recovery)
{
    setenv("XDG_STATE_HOME", dir.c_str(), 1);
    if (!recovery.Open()) {
        std::fprintf(stderr, "recovery copy: %s\n", recovery.Problem().ToUtf8().c_str());
        return false;
    }
    view.KeepRecoveryCopy(recovery);
    return true;
}
