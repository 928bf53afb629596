// The counts behind the check progress: unchecked and running rows, kept in
// step with every validity text the view writes.
#include "urllist/CVelmoraView.h"
#include "urllist/Validity.h"

void CVelmoraView::SetValidity(int row, const CString& text)
{
    CListCtrl& list = GetListCtrl();
    const std::string_view old = list.GetItemTextView(row, COL_VALIDITY);
    const bool wasUnchecked = Validity::IsUnchecked(old);
    const bool wasRunning = Validity::IsRunning(old);
    const bool wasFinal = Validity::IsFinal(old);
    if (!list.SetItemText(row, COL_VALIDITY, text))
        return;
    // An unchecked row waits for a probe of its own: the last one's details
    // no longer describe it.
    if (Validity::IsUnchecked(text.View()))
        ForgetProbeDetails(row);
    m_nUncheckedRows += static_cast<int>(Validity::IsUnchecked(text.View())) - static_cast<int>(wasUnchecked);
    m_nRunningRows += static_cast<int>(Validity::IsRunning(text.View())) - static_cast<int>(wasRunning);
    if (!wasFinal && Validity::IsFinal(text.View()))
        ++m_nFinalTextsWritten;
}

void CVelmoraView::CountValidity()
{
    const CListCtrl& list = GetListCtrl();
    m_nUncheckedRows = 0;
    m_nRunningRows = 0;
    for (int row = 0, n = list.GetItemCount(); row < n; ++row) {
        const std::string_view text = list.GetItemTextView(row, COL_VALIDITY);
        m_nUncheckedRows += Validity::IsUnchecked(text) ? 1 : 0;
        m_nRunningRows += Validity::IsRunning(text) ? 1 : 0;
    }
}

CheckProgress CVelmoraView::GetCheckProgress() const
{
    CheckProgress progress;
    progress.rows = GetListCtrl().GetItemCount();
    progress.unchecked = m_nUncheckedRows;
    progress.checked = progress.rows - m_nUncheckedRows - m_nRunningRows;
    progress.finalTextsWritten = m_nFinalTextsWritten;
    return progress;
}
