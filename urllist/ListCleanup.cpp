// The clean-ups: rows with a URL seen before, and rows that are neither
// unchecked nor valid, leave the list in one compaction pass.
#include <string_view>
#include <unordered_set>

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

void CVelmoraView::RemoveDuplicates()
{
    CListCtrl& list = GetListCtrl();
    const int count = list.GetItemCount();
    std::vector<bool> remove(static_cast<std::size_t>(count), false);
    // The views point into the list's own cells, which stay put until the
    // compaction below.
    std::unordered_set<std::string_view> seen;
    seen.reserve(static_cast<std::size_t>(count));
    for (int row = 0; row < count; ++row) {
        if (!seen.insert(list.ItemTextRef(row, COL_URL).View()).second)
            remove[static_cast<std::size_t>(row)] = true;
    }
    seen = {};
    const int removed = list.DeleteItems(remove);
    ReportToHub(UM_PURGE_DUPLICATES, list.GetItemCount(), removed);
}

void CVelmoraView::RemoveInvalid()
{
    CListCtrl& list = GetListCtrl();
    const int count = list.GetItemCount();
    std::vector<bool> remove(static_cast<std::size_t>(count), false);
    for (int row = 0; row < count; ++row)
        remove[static_cast<std::size_t>(row)] = Validity::IsInvalid(list.ItemTextRef(row, COL_VALIDITY));
    const int removed = list.DeleteItems(remove);
    ReportToHub(UM_PURGE_INVALID_RESULT, list.GetItemCount(), removed);
}
