// The dispatcher: starts probes for unchecked rows within the free slots,
// keeps the running count and writes each verdict into the row it belongs to.
#include "app/Globals.h"
#include "app/Hub.h"
#include "app/Messages.h"
#include "check/CUrlCheckThread.h"
#include "check/ProbeReason.h"
#include "framework/controls/MessageBoxHook.h"
#include "framework/thread/Interlocked.h"
#include "urllist/CVelmoraView.h"
#include "urllist/Validity.h"

void CVelmoraView::DispatchChecks(int freeSlots)
{
    // A thread that cannot start shows a box, and the box's loop goes on
    // delivering timer ticks: a tick that comes while a scan is still under
    // way is skipped, so boxes do not pile up and the slots are not counted
    // twice.
    if (m_bDispatching)
        return;
    const HWND self = m_hWnd;
    m_bDispatching = true;
    DispatchUncheckedRows(freeSlots);
    if (CWnd::FromHandle(self) == this)
        m_bDispatching = false;
}

void CVelmoraView::DispatchUncheckedRows(int freeSlots)
{
    CListCtrl& list = GetListCtrl();
    const int count = list.GetItemCount();
    if (count == 0) {
        PostMessageA(HubWindow(), UM_CHECK_FINISHED, 0, 0);
        return;
    }
    int found = 0;
    for (int row = 0; row < count; ++row) {
        if (!Validity::IsUnchecked(list.GetItemTextView(row, COL_VALIDITY)))
            continue;
        // A row whose index still names an outstanding probe (the list
        // changed under it) waits for that verdict; it still counts.
        if (found < freeSlots && !m_outstandingProbes.contains(row)) {
            SetValidity(row, Validity::Running());
            // The box of a failed start delivers queued messages, and an
            // import or clean-up among them changes the list under this
            // scan: the next tick scans afresh instead.
            if (!StartCheckThread(list.GetItemText(row, COL_URL), row))
                return;
        }
        ++found;
    }
    if (found == 0)
        PostMessageA(HubWindow(), UM_CHECK_FINISHED, 0, 0);
}

BOOL CVelmoraView::StartCheckThread(const CString& url, int row)
{
    auto* job = new UrlCheckJob;
    job->hMainWnd = HubWindow();
    job->hView = m_hWnd;
    job->strUrl = url;
    job->nRow = row;
    auto* thread = new CUrlCheckThread(UrlCheckThreadProc, job);
    if (!thread->CreateThread(0, 0, nullptr)) {
        delete thread;
        delete job;
        AfxMessageBox("Cannot Start New Thread", MB_OK | MB_ICONEXCLAMATION);
        return FALSE;
    }
    m_outstandingProbes[row] = RowTag(row);
    PostMessageA(HubWindow(), UM_THREAD_COUNT, 0, InterlockedIncrement(&g_nRunningProbes));
    return TRUE;
}

DWORD_PTR CVelmoraView::RowTag(int row)
{
    CListCtrl& list = GetListCtrl();
    DWORD_PTR tag = list.GetItemData(row);
    if (tag == 0) {
        tag = m_nextRowTag++;
        list.SetItemData(row, tag);
    }
    return tag;
}

void CVelmoraView::RecordVerdict(UINT message, WPARAM reason, LPARAM row, const ProbeDetails* details)
{
    const CString* text = &Validity::Valid();
    if (message == UM_PROBE_FAILED) {
        static const CString unchecked;
        text = reason == PROBE_INVALID ? &Validity::Invalid()
            : reason == PROBE_TIMEOUT  ? &Validity::TimedOut()
                                       : &unchecked;
    }
    // The verdict goes to the row that was probed, wherever it stands now;
    // when that row is gone it is dropped.
    const auto probe = m_outstandingProbes.find(static_cast<int>(row));
    if (probe != m_outstandingProbes.end()) {
        const DWORD_PTR tag = probe->second;
        m_outstandingProbes.erase(probe);
        CListCtrl& list = GetListCtrl();
        int target = static_cast<int>(row);
        if (list.GetItemData(target) != tag) {
            target = -1;
            for (int r = 0, n = list.GetItemCount(); r < n; ++r) {
                if (list.GetItemData(r) == tag) {
                    target = r;
                    break;
                }
            }
        }
        if (target >= 0) {
            SetValidity(target, *text);
            if (details && !text->IsEmpty())
                KeepProbeDetails(target, *details);
        }
    }
    PostMessageA(HubWindow(), UM_THREAD_COUNT, 0, InterlockedDecrement(&g_nRunningProbes));
}
