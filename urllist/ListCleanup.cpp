// The clean-ups: rows with a URL seen before, and rows that are neither
// unchecked nor valid, leave the list in one compaction pass.
#include <algorithm>
#include <functional>
#include <string_view>

#include "app/Hub.h"
#include "app/Messages.h"
#include "urllist/CVelmoraView.h"
#include "urllist/Validity.h"

namespace {

void ReportToHub(UINT resultMessage, int rowsAfter, int removed)
{
    const HWND hub = HubWindow();
    PostMessageA(hub, UM_LIST_LOADED, 0, rowsAfter);
    PostMessageA(hub, resultMessage, 0, removed);
}

} // namespace

int CVelmoraView::RemoveRows(const std::vector<bool>& remove)
{
    // The rows that stay close up in their order: a probed row moves up by
    // the number of rows removed before it, or is gone with them.
    std::vector<OutstandingProbe*> probes;
    for (auto& [index, probe] : m_outstandingProbes) {
        if (probe.row >= 0)
            probes.push_back(&probe);
    }
    std::sort(probes.begin(), probes.end(),
        [](const OutstandingProbe* a, const OutstandingProbe* b) { return a->row < b->row; });
    int removedBefore = 0;
    auto next = probes.begin();
    for (std::size_t row = 0; row < remove.size() && next != probes.end(); ++row) {
        for (; next != probes.end() && static_cast<std::size_t>((*next)->row) == row; ++next)
            (*next)->row = remove[row] ? -1 : (*next)->row - removedBefore;
        removedBefore += remove[row] ? 1 : 0;
    }
    const int removed = GetListCtrl().DeleteItems(remove);
    CountValidity();
    return removed;
}

void CVelmoraView::RemoveDuplicates()
{
    CListCtrl& list = GetListCtrl();
    const int count = list.GetItemCount();
    std::vector<bool> remove(static_cast<std::size_t>(count), false);
    // An open-addressing table of row numbers, at most half full: the first
    // row of each URL is kept, and the table costs four bytes a slot.
    std::size_t slots = 16;
    while (slots < 2 * static_cast<std::size_t>(count))
        slots *= 2;
    std::vector<int> firstRows(slots, -1);
    const std::hash<std::string_view> hash;
    for (int row = 0; row < count; ++row) {
        const std::string_view url = list.GetItemTextView(row, COL_URL);
        for (std::size_t slot = hash(url) & (slots - 1);; slot = (slot + 1) & (slots - 1)) {
            const int first = firstRows[slot];
            if (first < 0) {
                firstRows[slot] = row;
                break;
            }
            if (list.GetItemTextView(first, COL_URL) == url) {
                remove[static_cast<std::size_t>(row)] = true;
                break;
            }
        }
    }
    firstRows = {};
    const int removed = RemoveRows(remove);
    ReportToHub(UM_PURGE_DUPLICATES, list.GetItemCount(), removed);
}

void CVelmoraView::RemoveInvalid()
{
    CListCtrl& list = GetListCtrl();
    const int count = list.GetItemCount();
    std::vector<bool> remove(static_cast<std::size_t>(count), false);
    for (int row = 0; row < count; ++row)
        remove[static_cast<std::size_t>(row)] = Validity::IsInvalid(list.GetItemTextView(row, COL_VALIDITY));
    const int removed = RemoveRows(remove);
    ReportToHub(UM_PURGE_INVALID_RESULT, list.GetItemCount(), removed);
}
