// The list operations on a large URL file, each timed against a well-known
// tool doing comparable work in the same run, so the figures are ratios.
//
//   list_bench [lines]
//
// The generated file has ~40-byte URLs, 30% of the lines repeating an
// earlier one and 10% malformed (a space, or no dot). After the import every
// row gets probe details, as a check run would leave them, so the memory
// they cost shows and the clean-ups carry them along.

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "app/CMainFrame.h"
#include "app/CVelmoraApp.h"
#include "app/Globals.h"
#include "bench/BenchSupport.h"
#include "check/ProbeDetails.h"
#include "framework/controls/CFileDialog.h"
#include "framework/controls/MessageBoxHook.h"
#include "framework/doc/CDocTemplate.h"
#include "framework/window/Gui.h"
#include "framework/window/MessageQueue.h"
#include "res/ResourceIds.h"
#include "urllist/CVelmoraDoc.h"
#include "urllist/CVelmoraView.h"
#include "urllist/Validity.h"

namespace {

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

double TimeShell(const std::string& command)
{
    const auto start = Clock::now();
    if (std::system(command.c_str()) != 0)
        std::fprintf(stderr, "command failed: %s\n", command.c_str());
    return SecondsSince(start);
}

// Probe details for every row, as a check run leaves them: most pages
// valid, one in ten a 404, one in a hundred reached through a redirect.
void GiveEveryRowDetails(CVelmoraView& view)
{
    const int rows = view.GetListCtrl().GetItemCount();
    ProbeDetails details;
    for (int row = 0; row < rows; ++row) {
        const bool missing = row % 10 == 0;
        details.outcome = missing ? ProbeOutcome::HttpStatus : ProbeOutcome::PageValid;
        details.dwStatus = missing ? 404 : 200;
        details.strStatusText = missing ? "Not Found" : "";
        details.strFinalUrl.Empty();
        if (row % 100 == 1)
            details.strFinalUrl.Format("http://www.example.test/landing/%d", row);
        details.dwElapsedMs = static_cast<DWORD>(20 + row % 3000);
        details.dwBytesRead = static_cast<DWORD>(512 + row % 40000);
        view.KeepProbeDetails(row, details);
    }
}

// One URL of about 40 bytes; `n` makes it unique.
std::string MakeUrl(std::mt19937_64& random, long n)
{
    static const char* const tlds[] = { "test", "example", "invalid", "localhost" };
    std::string url = "http://www.site" + std::to_string(n) + "-";
    while (url.size() < 30)
        url += static_cast<char>('a' + random() % 26);
    url += ".";
    url += tlds[random() % 4];
    url += "/p";
    return url;
}

void GenerateFile(const std::string& path, long lines)
{
    std::mt19937_64 random(20261208);
    std::vector<std::string> earlier;
    earlier.reserve(static_cast<std::size_t>(lines));
    std::ofstream out(path, std::ios::binary);
    for (long i = 0; i < lines; ++i) {
        const unsigned pick = static_cast<unsigned>(random() % 100);
        std::string line;
        if (pick < 30 && !earlier.empty()) {
            line = earlier[random() % earlier.size()];
        } else if (pick < 40) {
            line = MakeUrl(random, i);
            line[line.size() / 2] = ' ';
            if (pick >= 35)
                std::erase(line, '.');
        } else {
            line = MakeUrl(random, i);
            earlier.push_back(line);
        }
        out << line << "\r\n";
    }
}

} // namespace

int main(int argc, char** argv)
{
    const long lines = argc > 1 ? std::atol(argv[1]) : 1000000;
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    if (!AfxStartGui(argc, argv))
        return 1;

    const std::string dir = std::filesystem::temp_directory_path() / "brisquel-bench";
    std::filesystem::create_directories(dir);
    const std::string input = dir + "/urls.txt";
    const std::string exported = dir + "/export.txt";
    GenerateFile(input, lines);

    CVelmoraApp app;
    CCommandLineInfo info;
    if (!app.OpenMainWindow(info))
        return 1;
    auto* view = dynamic_cast<CVelmoraView*>(dynamic_cast<CFrameWnd*>(app.m_pMainWnd)->GetActiveView());
    AfxPumpPendingMessages();
    AfxSetMessageBoxHook([](HWND, const CString& text, const CString&, UINT) {
        std::fprintf(stderr, "message box: %s\n", text.ToUtf8().c_str());
        return IDOK;
    });
    AfxSetFileDialogHook([&](const FileDialogRequest&) {
        return FileDialogAnswer { IDOK, CString(exported) };
    });
    CListCtrl& list = view->GetListCtrl();

    std::printf("lines: %ld, file: %ju bytes\n", lines,
        static_cast<std::uintmax_t>(std::filesystem::file_size(input)));

    auto start = Clock::now();
    {
        std::ifstream in(input, std::ios::binary);
        std::string line;
        char number[16];
        int row = 0;
        while (std::getline(in, line)) {
            std::snprintf(number, sizeof number, "%d", row + 1);
            list.InsertItem(row, number);
            list.SetItemText(row, COL_URL, line.c_str());
            list.SetItemText(row, COL_VALIDITY, "");
            ++row;
        }
    }
    std::printf("insert %d rows (cells 0,1,2): %.3f s\n", list.GetItemCount(), SecondsSince(start));
    const double catTime = TimeShell("cat '" + input + "' > /dev/null");

    g_strImportPath = CString(input);
    start = Clock::now();
    view->ImportUrls();
    const double importTime = SecondsSince(start);
    std::printf("import: %.3f s (%d rows), cat: %.3f s, ratio %.1f\n", importTime, list.GetItemCount(),
        catTime, importTime / catTime);
    const long peakAfterImport = PeakRssKiB();
    std::printf("peak RSS after import: %ld KiB\n", peakAfterImport);

    const long residentBeforeDetails = ResidentKiB();
    start = Clock::now();
    GiveEveryRowDetails(*view);
    const long residentAfterDetails = ResidentKiB();
    const long peakAfterDetails = PeakRssKiB();
    std::printf("probe details for every row: %.3f s, resident %+ld KiB, peak RSS %ld KiB (%+.1f%% on the "
                "import's)\n",
        SecondsSince(start), residentAfterDetails - residentBeforeDetails, peakAfterDetails,
        100.0 * static_cast<double>(peakAfterDetails - peakAfterImport)
            / static_cast<double>(peakAfterImport));

    const double awkTime = TimeShell("awk '!seen[$0]++' '" + input + "' > /dev/null");
    start = Clock::now();
    view->RemoveDuplicates();
    const double dupTime = SecondsSince(start);
    std::printf("RemoveDuplicates: %.3f s (%d rows left), awk '!seen[$0]++': %.3f s, ratio %.2f\n", dupTime,
        list.GetItemCount(), awkTime, dupTime / awkTime);

    start = Clock::now();
    view->RemoveInvalid();
    std::printf("RemoveInvalid: %.3f s (%d rows left)\n", SecondsSince(start), list.GetItemCount());

    start = Clock::now();
    view->ExportUrls(0);
    const double exportTime = SecondsSince(start);
    const double cpTime = TimeShell("cp '" + exported + "' '" + dir + "/copy.txt'");
    std::printf("export kind 0: %.3f s (%ju bytes), cp of the result: %.3f s, ratio %.1f\n", exportTime,
        static_cast<std::uintmax_t>(std::filesystem::file_size(exported)), cpTime, exportTime / cpTime);
    std::printf("peak RSS at end: %ld KiB\n", PeakRssKiB());

    AfxPumpPendingMessages();
    app.m_pMainWnd->DestroyWindow();
    AfxPumpPendingMessages();
    std::filesystem::remove_all(dir);
    return 0;
}
