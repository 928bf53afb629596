// The list operations on a large URL file, each timed against a well-known
// tool doing comparable work in the same run, so the figures are ratios; and
// what the list costs in memory: the peak resident set after the import,
// per row with and without what the process held before it.
//
//   list_bench [lines]      (default 1000000)
//
// The generated file has ~40-byte URLs, 30% of the lines repeating an
// earlier one and 10% malformed (a space, or no dot). The same list with a
// Chinese path in every third line is then imported once more from a UTF-8
// and from a GB18030 file. After the import every
// row gets probe details, as a check run would leave them, so the memory
// they cost shows and the clean-ups carry them along. Then the whole file
// is imported again and every row checked: the check report written and
// opened back (against that import), and the recovery copy made (against
// cp of it), with the longest slice it took of the GUI thread. Rows inserted
// by hand, the list's own cost, come last so they raise no peak.

#include <QEventLoop>
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/CMainFrame.h"
#include "app/CVelmoraApp.h"
#include "app/Globals.h"
#include "app/Messages.h"
#include "bench/BenchSupport.h"
#include "bench/GuiStallMeter.h"
#include "check/ProbeDetails.h"
#include "framework/base/CodePage.h"
#include "framework/controls/CFileDialog.h"
#include "framework/controls/MessageBoxHook.h"
#include "framework/doc/CDocTemplate.h"
#include "framework/window/Gui.h"
#include "framework/window/MessageQueue.h"
#include "res/ResourceIds.h"
#include "urllist/CVelmoraDoc.h"
#include "urllist/CVelmoraView.h"
#include "urllist/RecoveryCopy.h"
#include "urllist/RecoverySaver.h"
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

// Every row checked, as a run leaves the list: the malformed rows keep their
// mark, the others get the verdict their details tell.
void CheckEveryRow(CVelmoraView& view)
{
    GiveEveryRowDetails(view);
    CListCtrl& list = view.GetListCtrl();
    for (int row = 0, rows = list.GetItemCount(); row < rows; ++row) {
        if (Validity::IsUnchecked(list.GetItemTextView(row, COL_VALIDITY)))
            list.SetItemText(row, COL_VALIDITY, row % 10 == 0 ? Validity::TimedOut() : Validity::Valid());
    }
    view.CountValidity();
}

// Makes the recovery copy of the list now, running the toolkit's loop as
// the program does, and prints how long it took, in how many slices, and
// the longest the loop was held up (the longest gap between the ticks of a
// 1 ms timer, as the gui benchmark measures stalls).
void MakeRecoveryCopy(CVelmoraView& view, const std::string& copyPath, const std::string& dir)
{
    int slices = 0;
    Clock::time_point formatted {};
    QEventLoop loop;
    AfxSetDispatchObserver([&](const MSG& msg) {
        if (msg.message == WM_TIMER && msg.wParam == RecoverySaver::kSliceTimer) {
            ++slices;
            formatted = Clock::now();
        }
        if (msg.message == UM_RECOVERY_WRITTEN)
            loop.quit();
    });
    GuiStallMeter stalls;
    const auto start = Clock::now();
    PostMessageA(view.m_hWnd, WM_TIMER, RecoverySaver::kTimer, 0);
    stalls.Start();
    loop.exec();
    stalls.Stop();
    const double total = SecondsSince(start);
    AfxSetDispatchObserver({});
    const double cpTime = TimeShell("cp '" + copyPath + "' '" + dir + "/copy-of-copy.csv'");
    std::printf(
        "recovery copy of %d checked rows: %.3f s to the file in place (formatted in %d slices over "
        "%.3f s, then written off the GUI thread), longest GUI-thread stall %lld ms, %ju bytes, cp of "
        "it: %.3f s\n",
        view.GetListCtrl().GetItemCount(), total, slices,
        std::chrono::duration<double>(formatted - start).count(), stalls.LongestGapMs(),
        static_cast<std::uintmax_t>(std::filesystem::file_size(copyPath)), cpTime);
}

// Every line of the file is a function of its index alone, so writing ten
// million of them holds none in memory and a repeat simply writes an earlier
// line again.
std::uint64_t Mix(std::uint64_t x)
{
    x += 0x9e3779b97f4a7c15;
    x = (x ^ (x >> 30)) * 0xbf58476d1ce4e5b9;
    x = (x ^ (x >> 27)) * 0x94d049bb133111eb;
    return x ^ (x >> 31);
}

std::uint64_t Hash(long n, std::uint64_t stream)
{
    return Mix(Mix(static_cast<std::uint64_t>(n)) ^ stream);
}

// 0-29 repeats an earlier line, 30-39 is malformed, the rest a fresh URL.
unsigned Pick(long n)
{
    return static_cast<unsigned>(Hash(n, 1) % 100);
}

// The fresh URL of line `n`, about 40 bytes; `n` makes it unique.
std::string FreshUrl(long n)
{
    static const char* const tlds[] = { "test", "example", "invalid", "localhost" };
    std::string url = "http://www.site" + std::to_string(n) + "-";
    for (std::uint64_t letter = 0; url.size() < 30; ++letter)
        url += static_cast<char>('a' + Hash(n, 100 + letter) % 26);
    url += ".";
    url += tlds[Hash(n, 2) % 4];
    url += "/p";
    return url;
}

std::string LineAt(long n)
{
    const unsigned pick = Pick(n);
    if (pick < 30) {
        // A fresh line drawn evenly from the earlier ones: draws that land
        // on a repeat or a malformed line draw again.
        for (std::uint64_t draw = 0; n > 0 && draw < 64; ++draw) {
            const long earlier = static_cast<long>(Hash(n, 1000 + draw) % static_cast<std::uint64_t>(n));
            if (Pick(earlier) >= 40)
                return FreshUrl(earlier);
        }
        return FreshUrl(n);
    }
    std::string url = FreshUrl(n);
    if (pick < 40) {
        url[url.size() / 2] = ' ';
        if (pick >= 35)
            std::erase(url, '.');
    }
    return url;
}

void GenerateFile(const std::string& path, long lines)
{
    std::ofstream out(path, std::ios::binary);
    for (long n = 0; n < lines; ++n)
        out << LineAt(n) << "\r\n";
}

// The list again with a Chinese path in every third line, as UTF-8 and as
// the program's code page (GB18030).
void GenerateChineseFiles(const std::string& utf8Path, const std::string& ansiPath, long lines)
{
    std::ofstream utf8(utf8Path, std::ios::binary);
    std::ofstream ansi(ansiPath, std::ios::binary);
    for (long n = 0; n < lines; ++n) {
        std::string line = LineAt(n);
        if (Hash(n, 3) % 3 == 0)
            line += "/中文/路径?q=网址";
        utf8 << line << "\r\n";
        ansi << Utf8ToAnsi(line) << "\r\n";
    }
}

// The best of three imports of `path`, in seconds.
double BestImportTime(CVelmoraView& view, const std::string& path)
{
    g_strImportPath = CString(path);
    double best = 1e9;
    for (int round = 0; round < 3; ++round) {
        const auto start = Clock::now();
        view.ImportUrls();
        best = std::min(best, SecondsSince(start));
    }
    return best;
}

// Rows put in by hand, cell by cell, as the import does it without reading
// or testing the lines: what the list itself costs.
void InsertByHand(CListCtrl& list, const std::string& input)
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

} // namespace

int main(int argc, char** argv)
{
    const long lines = CountArgument(argc, argv, 1, 1000000, kMostRows);
    if (lines == 0) {
        std::fprintf(stderr, "usage: list_bench [lines]   (1 to %d, default 1000000)\n", kMostRows);
        return 2;
    }
    const std::string dir = MakeScratchDir("brisquel-bench");
    if (dir.empty())
        return 1;
    const std::string input = dir + "/urls.txt";
    const std::string exported = dir + "/export.txt";
    GenerateFile(input, lines);
    std::printf("lines: %ld, file: %ju bytes\n", lines,
        static_cast<std::uintmax_t>(std::filesystem::file_size(input)));

    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    if (!AfxStartGui(argc, argv))
        return 1;
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
    std::string dialogPath = exported;
    AfxSetFileDialogHook([&](const FileDialogRequest&) {
        return FileDialogAnswer { IDOK, CString(dialogPath) };
    });
    CListCtrl& list = view->GetListCtrl();

    // The import is the first large thing the process does, so the peak
    // after it is the import's own.
    const double catTime = TimeShell("cat '" + input + "' > /dev/null");
    const long residentBeforeImport = ResidentKiB();
    g_strImportPath = CString(input);
    auto start = Clock::now();
    view->ImportUrls();
    const double importTime = SecondsSince(start);
    const int rows = list.GetItemCount();
    std::printf("import: %.3f s (%d rows), cat: %.3f s, ratio %.1f\n", importTime, rows, catTime,
        importTime / catTime);
    const long peakAfterImport = PeakRssKiB();
    std::printf("peak RSS after import: %ld KiB = %.1f MB (resident before it %ld KiB); bytes a row: %.1f "
                "for the import, %.1f all in\n",
        peakAfterImport, static_cast<double>(peakAfterImport) * 1024 / 1e6, residentBeforeImport,
        static_cast<double>(peakAfterImport - residentBeforeImport) * 1024 / std::max(rows, 1),
        static_cast<double>(peakAfterImport) * 1024 / std::max(rows, 1));

    const long residentBeforeDetails = ResidentKiB();
    start = Clock::now();
    GiveEveryRowDetails(*view);
    const long residentAfterDetails = ResidentKiB();
    const long peakAfterDetails = PeakRssKiB();
    std::printf("probe details for every row: %.3f s, resident %+ld KiB (%.1f bytes a row), peak RSS %ld KiB "
                "(%+.1f%% on the import's)\n",
        SecondsSince(start), residentAfterDetails - residentBeforeDetails,
        static_cast<double>(residentAfterDetails - residentBeforeDetails) * 1024 / std::max(rows, 1),
        peakAfterDetails,
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

    const std::string utf8Input = dir + "/urls-utf8.txt";
    const std::string ansiInput = dir + "/urls-gb18030.txt";
    GenerateChineseFiles(utf8Input, ansiInput, lines);
    const double utf8Cat = TimeShell("cat '" + utf8Input + "' > /dev/null");
    const double utf8Import = BestImportTime(*view, utf8Input);
    std::printf("import with Chinese paths, UTF-8: %.3f s (%d rows, best of 3), cat: %.3f s\n", utf8Import,
        list.GetItemCount(), utf8Cat);
    const double ansiCat = TimeShell("cat '" + ansiInput + "' > /dev/null");
    const double ansiImport = BestImportTime(*view, ansiInput);
    std::printf("import with Chinese paths, GB18030: %.3f s (%d rows, best of 3), cat: %.3f s\n", ansiImport,
        list.GetItemCount(), ansiCat);
    g_strImportPath = CString(input);

    // The whole file again, every row checked, and the recovery copy kept
    // from here on: the rows' changes start its timer.
    RecoveryCopy recovery;
    if (!KeepRecoveryCopyIn(dir, *view, recovery))
        return 1;
    start = Clock::now();
    view->ImportUrls();
    const double importAgainTime = SecondsSince(start);
    CheckEveryRow(*view);
    MakeRecoveryCopy(*view, recovery.CopyPath().ToUtf8(), dir);
    const std::string report = dir + "/report.csv";
    dialogPath = report;
    start = Clock::now();
    view->WriteCheckReport();
    std::printf("check report of %d rows: %.3f s (%ju bytes)\n", list.GetItemCount(), SecondsSince(start),
        static_cast<std::uintmax_t>(std::filesystem::file_size(report)));
    start = Clock::now();
    const BOOL opened = view->LoadCheckReport(CString(report));
    const double openTime = SecondsSince(start);
    std::printf("open the check report: %.3f s (%d rows%s), import of the same URLs just before: %.3f s, "
                "ratio %.2f\n",
        openTime, list.GetItemCount(), opened ? "" : ", FAILED", importAgainTime, openTime / importAgainTime);
    recovery.EndCleanly();

    // Last, so its own memory raises none of the peaks above.
    list.DeleteAllItems();
    start = Clock::now();
    InsertByHand(list, input);
    std::printf("insert %d rows by hand (cells 0,1,2) into the emptied list: %.3f s\n", list.GetItemCount(),
        SecondsSince(start));

    AfxPumpPendingMessages();
    app.m_pMainWnd->DestroyWindow();
    AfxPumpPendingMessages();
    std::filesystem::remove_all(dir);
    return 0;
}
