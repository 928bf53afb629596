// The record that hands one URL to one probe worker. The worker owns it once
// its thread has started and frees it when the probe is over.
#pragma once

#include "framework/base/CString.h"

class CUrlCheckThread;

struct UrlCheckJob {
    HWND hMainWnd; // the main frame when the job was built; not read by the worker
    HWND hView; // the list view, addressee of the verdict
    CUrlCheckThread* pThread = nullptr; // filled by the thread object's constructor
    CString strUrl; // the row's URL, whole whatever its length
    int nRow = 0; // the row's index, sent back as the verdict's lParam
};
