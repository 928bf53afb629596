// The clean-ups: rows with a URL seen before, and rows that are neither
// unchecked nor valid, leave the list in one compaction pass.
#include <algorithm>
#include <array>
#include <cstdint>
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

// The rows whose URL an earlier row already has: the first row of each URL
// stays.
std::vector<bool> RowsRepeatingAnEarlierUrl(const CListCtrl& list)
{
    const int count = list.GetItemCount();
    std::vector<bool> repeats(static_cast<std::size_t>(count), false);
    // An open-addressing table of the first row of each URL, at most two
    // thirds full. A slot holds the row (plus one; 0 is free) in its low half
    // and the top half of the URL's hash in its high half, so probing past
    // other URLs compares numbers instead of fetching their texts.
    std::size_t slots = 16;
    while (slots < static_cast<std::size_t>(count) + static_cast<std::size_t>(count) / 2)
        slots *= 2;
    std::vector<std::uint64_t> firstRows(slots, 0);
    constexpr std::uint64_t kHashHalf = 0xffffffff00000000u;
    const std::hash<std::string_view> hash;
    // Rows go in batches: the table slots of a whole batch are asked of
    // memory before the first is probed, so their cache misses overlap.
    constexpr int kBatch = 16;
    std::array<std::uint64_t, kBatch> hashes {};
    for (int batchStart = 0; batchStart < count; batchStart += kBatch) {
        const int batchEnd = std::min(count, batchStart + kBatch);
        for (int row = batchStart; row < batchEnd; ++row) {
            const std::uint64_t urlHash = hash(list.GetItemTextView(row, COL_URL));
            hashes[static_cast<std::size_t>(row - batchStart)] = urlHash;
            __builtin_prefetch(&firstRows[urlHash & (slots - 1)]);
        }
        for (int row = batchStart; row < batchEnd; ++row) {
            const std::uint64_t urlHash = hashes[static_cast<std::size_t>(row - batchStart)];
            for (std::size_t slot = urlHash & (slots - 1);; slot = (slot + 1) & (slots - 1)) {
                const std::uint64_t entry = firstRows[slot];
                if (entry == 0) {
                    firstRows[slot] = (urlHash & kHashHalf) | static_cast<std::uint32_t>(row + 1);
                    break;
                }
                if ((entry & kHashHalf) == (urlHash & kHashHalf)
                    && list.GetItemTextView(static_cast<int>(entry & ~kHashHalf) - 1, COL_URL)
                        == list.GetItemTextView(row, COL_URL)) {
                    repeats[static_cast<std::size_t>(row)] = true;
                    break;
                }
            }
        }
    }
    return repeats;
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
    const int removed = RemoveRows(RowsRepeatingAnEarlierUrl(list));
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
