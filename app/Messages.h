// The application's own messages: requests, reports and verdicts posted
// between the side panel, the main frame (the hub), the list view and the
// probe workers.
#pragma once

#include "framework/base/Constants.h"

constexpr UINT UM_IMPORT_REQUEST = WM_USER + 2;
constexpr UINT UM_IMPORT_RUN = WM_USER + 3;
constexpr UINT UM_LIST_LOADED = WM_USER + 4;
constexpr UINT UM_IMPORT_DONE = WM_USER + 5;
constexpr UINT UM_CHECK_START = WM_USER + 6;
constexpr UINT UM_CHECK_DISPATCH = WM_USER + 7;
constexpr UINT UM_CHECK_FINISHED = WM_USER + 8;
constexpr UINT UM_CHECK_STOPPED = WM_USER + 9;
constexpr UINT UM_THREAD_COUNT = WM_USER + 10;
// WM_USER + 11 is not used.
constexpr UINT UM_EXPORT_REQUEST = WM_USER + 12;
constexpr UINT UM_PROBE_OK = WM_USER + 13;
constexpr UINT UM_PROBE_FAILED = WM_USER + 14;
constexpr UINT UM_EXPORT_RUN = WM_USER + 15;
constexpr UINT UM_EXPORT_DONE = WM_USER + 16;
constexpr UINT UM_EXPORT_RESULT = WM_USER + 17;
constexpr UINT UM_PURGE_INVALID_REQUEST = WM_USER + 18;
constexpr UINT UM_PURGE_INVALID_RUN = WM_USER + 19;
constexpr UINT UM_PURGE_INVALID_RESULT = WM_USER + 20;
constexpr UINT UM_PURGE_INVALID_DONE = WM_USER + 21;
constexpr UINT UM_PURGE_DUPLICATES_REQUEST = WM_USER + 22;
// To the list view: remove duplicates; to the hub: how many were removed.
constexpr UINT UM_PURGE_DUPLICATES = WM_USER + 23;
constexpr UINT UM_PURGE_DUPLICATES_DONE = WM_USER + 24;
constexpr UINT UM_CHECK_CANCEL = WM_USER + 25;
// List view → hub, after UM_LIST_LOADED: the list now holds the rows of a
// check report, lParam of them.
constexpr UINT UM_REPORT_LOADED = WM_USER + 26;
// A recovery copy's writer → the list view: wParam 0 when it was written,
// else the system's error number.
constexpr UINT UM_RECOVERY_WRITTEN = WM_USER + 27;

// Export kinds, carried by the export messages.
constexpr int EXPORT_ALL = 0;
constexpr int EXPORT_VALID = 1;
constexpr int EXPORT_INVALID = 2;
