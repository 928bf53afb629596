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
    // The run is over only when no row is unchecked: rows left for a later
    // tick, and rows waiting for an earlier list's verdict, keep it going.
    if (m_uncheckedRows.Count() == 0) {
        PostMessageA(HubWindow(), UM_CHECK_FINISHED, 0, 0);
        return;
    }
    // The tick's share is the first `freeSlots` unchecked rows in list order.
    // A row whose index still names an outstanding probe (the list changed
    // under it) waits for that verdict, and its share of the slots goes
    // unused this tick.
    CListCtrl& list = GetListCtrl();
    int row = -1;
    for (int taken = 0; taken < freeSlots; ++taken) {
        row = m_uncheckedRows.FindFrom(row + 1);
        if (row < 0)
            return;
        if (m_outstandingProbes.contains(row))
            continue;
        SetValidity(row, Validity::Running());
        // The box of a failed start delivers queued messages, and an
        // import or clean-up among them changes the list under this
        // tick: the next tick starts afresh instead.
        if (!StartCheckThread(list.GetItemText(row, COL_URL), row))
            return;
    }
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
        // No probe runs for the row: it is unchecked again, so a later tick
        // takes it up and no clean-up takes it for invalid. The box comes
        // after, as its loop may change the list.
        SetValidity(row, CString());
        AfxMessageBox("Cannot Start New Thread", MB_OK | MB_ICONEXCLAMATION);
        return FALSE;
    }
    m_outstandingProbes[row] = { RowTag(row), row };
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
    const auto found = m_outstandingProbes.find(static_cast<int>(row));
    if (found != m_outstandingProbes.end()) {
        const OutstandingProbe probe = found->second;
        m_outstandingProbes.erase(found);
        CListCtrl& list = GetListCtrl();
        if (probe.row >= 0 && probe.row < list.GetItemCount() && list.GetItemData(probe.row) == probe.tag) {
            SetValidity(probe.row, *text);
            if (details && !text->IsEmpty())
                KeepProbeDetails(probe.row, *details);
        }
    }
    PostMessageA(HubWindow(), UM_THREAD_COUNT, 0, InterlockedDecrement(&g_nRunningProbes));
}

void CVelmoraView::ForgetProbedRows()
{
    for (auto& [index, probe] : m_outstandingProbes)
        probe.row = -1;
}
