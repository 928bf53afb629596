// Process-wide run settings and counters, shared by the side panel, the main
// frame and the list view on the GUI thread. Probe workers never read them.
#pragma once

#include "framework/base/CString.h"
#include "framework/base/Types.h"

extern CString g_strImportPath; // the URL file to import
extern CString g_strIgnoreList; // ignore words, lower-cased by a start, normalised by an import
extern LONG g_nThreadCount; // concurrent checks the dispatcher aims for
extern BOOL g_bChecking; // a check run is on (the start button shows "停止查询")
extern HWND g_hSidePanel; // the side panel form, addressee of the hub's done messages
extern LONG g_nRunningProbes; // started probes without a recorded verdict (interlocked)
extern LONG g_nReportedProbes; // the hub's copy of g_nRunningProbes, from UM_THREAD_COUNT
