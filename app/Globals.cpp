#include "app/Globals.h"

CString g_strImportPath;
CString g_strIgnoreList;
LONG g_nThreadCount = 0;
BOOL g_bChecking = FALSE;
HWND g_hSidePanel;
LONG g_nRunningProbes = 0;
LONG g_nReportedProbes = 0;
