// The unchecked rows, which the dispatcher takes up, and the counts behind the
// check progress, kept in step with every validity text the view writes.
#include "urllist/CVelmoraView.h"
#include "urllist/Validity.h"

void CVelmoraView::SetValidity(int row, const CString& text)
{
    CListCtrl& list = GetListCtrl();
    const std::string_view old = list.GetItemTextView(row, COL_VALIDITY);
    const bool wasRunning = Validity::IsRunning(old);
    const bool wasFinal = Validity::IsFinal(old);
    if (!list.SetItemText(row, COL_VALIDITY, text))
        return;
    if (Validity::IsUnchecked(text.View())) {
        m_uncheckedRows.Insert(row);
        // An unchecked row waits for a probe of its own: the last one's
        // details no longer describe it.
        ForgetProbeDetails(row);
    } else {
        m_uncheckedRows.Erase(row);
    }
    m_nRunningRows += static_cast<int>(Validity::IsRunning(text.View())) - static_cast<int>(wasRunning);
    if (!wasFinal && Validity::IsFinal(text.View()))
        ++m_nFinalTextsWritten;
    m_recovery.RowChanged();
}

void CVelmoraView::CountValidity()
{
    const CListCtrl& list = GetListCtrl();
    const int rows = list.GetItemCount();
    m_uncheckedRows.Reset(rows);
    m_nRunningRows = 0;
    for (int row = 0; row < rows; ++row) {
        const std::string_view text = list.GetItemTextView(row, COL_VALIDITY);
        if (Validity::IsUnchecked(text))
            m_uncheckedRows.Insert(row);
        m_nRunningRows += Validity::IsRunning(text) ? 1 : 0;
    }
    m_recovery.RowsReplaced();
}

CheckProgress CVelmoraView::GetCheckProgress() const
{
    CheckProgress progress;
    progress.rows = GetListCtrl().GetItemCount();
    progress.unchecked = m_uncheckedRows.Count();
    progress.checked = progress.rows - progress.unchecked - m_nRunningRows;
    progress.finalTextsWritten = m_nFinalTextsWritten;
    return progress;
}
