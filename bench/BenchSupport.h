// What the benchmarks share: the process's memory figures, and the program's
// main window opened offscreen at a fixed size.
#pragma once

class CMainFrame;
class CVelmoraApp;

// The process's resident set now, and its peak so far, in KiB.
long ResidentKiB();
long PeakRssKiB();

// Starts the toolkit (offscreen unless QT_QPA_PLATFORM says otherwise) and
// opens `app`'s main window, shown at 1280 × 800; null when either fails.
CMainFrame* OpenBenchWindow(CVelmoraApp& app, int& argc, char** argv);
