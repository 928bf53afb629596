// The probe details of the list's rows: kept by the row's tag, shown as the
// tip of the row's validity cell (and so as that cell's description for
// assistive technology).
#include "framework/base/CodePage.h"
#include "urllist/CVelmoraView.h"
#include "urllist/Validity.h"

namespace {

// Copies `text` into a buffer of `size` bytes, cutting it short (never in the
// middle of a double-byte character) when it does not fit.
void CopyCut(const CString& text, LPSTR buffer, int size)
{
    if (!buffer || size <= 0)
        return;
    const std::string_view bytes = text.View();
    std::size_t length = 0;
    while (length < bytes.size()) {
        const std::size_t step = IsDbcsLeadByte(static_cast<unsigned char>(bytes[length])) ? 2 : 1;
        if (length + step > bytes.size() || length + step >= static_cast<std::size_t>(size))
            break;
        length += step;
    }
    bytes.copy(buffer, length);
    buffer[length] = '\0';
}

} // namespace

void CVelmoraView::KeepProbeDetails(int row, const ProbeDetails& details)
{
    if (row >= 0 && row < GetListCtrl().GetItemCount()) {
        m_probeDetails.Keep(RowTag(row), details);
        m_recovery.RowChanged();
    }
}

void CVelmoraView::ForgetProbeDetails(int row)
{
    const DWORD_PTR tag = GetListCtrl().GetItemData(row);
    if (tag != 0)
        m_probeDetails.Forget(tag);
}

BOOL CVelmoraView::GetProbeDetails(int row, ProbeDetails& details) const
{
    const DWORD_PTR tag = GetListCtrl().GetItemData(row);
    return tag != 0 && m_probeDetails.Find(tag, details);
}

void CVelmoraView::ForgetAllProbeDetails()
{
    m_probeDetails.Clear(m_nextRowTag);
}

void CVelmoraView::ShowProbeDetailTip(NMHDR* pNMHDR, LRESULT* pResult)
{
    auto* tip = reinterpret_cast<NMLVGETINFOTIP*>(pNMHDR);
    ProbeDetails details;
    if (tip->iSubItem == COL_VALIDITY && GetProbeDetails(tip->iItem, details))
        CopyCut(DescribeProbeDetails(details), tip->pszText, tip->cchTextMax);
    *pResult = 0;
}
