// What the benchmarks share: their count arguments, a scratch folder, the
// process's memory figures, and the program's main window opened offscreen
// at a fixed size.
#pragma once

#include <string>

class CMainFrame;
class CVelmoraApp;
class CVelmoraView;
class RecoveryCopy;

// The largest list a benchmark builds: the list view sums its row heights
// in int pixels.
constexpr int kMostRows = 50000000;

// Argument `index` of the command line as a whole number from 1 to `most`;
// `fallback` when it is absent, 0 when it is anything else.
long CountArgument(int argc, char** argv, int index, long fallback, long most);

// A new folder of this run's own under the temporary folder, so runs side
// by side never write each other's files; empty when it cannot be made.
std::string MakeScratchDir(const char* name);

// The page the probe benchmarks' servers answer with: 2 KB of HTML.
std::string BenchPageBody();

// The process's resident set now, and its peak so far, in KiB.
long ResidentKiB();
long PeakRssKiB();

// Starts the toolkit (offscreen unless QT_QPA_PLATFORM says otherwise) and
// opens `app`'s main window, shown at 1280 × 800; null when either fails.
CMainFrame* OpenBenchWindow(CVelmoraApp& app, int& argc, char** argv);

// Opens `recovery` in a state folder under `dir` and has `view` keep it, as
// the program does; false, with the reason on standard error, when it
// cannot be opened.
bool KeepRecoveryCopyIn(const std::string& dir, CVelmoraView& view, RecoveryCopy& recovery);
