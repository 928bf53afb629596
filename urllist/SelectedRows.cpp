// The user's commands from the list's menu: check the selected rows or the
// failed ones again, copy the selected rows' URLs.
#include "framework/controls/Clipboard.h"
#include "framework/doc/CFrameWnd.h"
#include "framework/window/NonClient.h"
#include "urllist/CVelmoraView.h"
#include "urllist/Validity.h"

void CVelmoraView::RecheckSelectedRows()
{
    // A running row keeps its probe; its verdict is on its way. The
    // dispatcher takes the others up at its next tick, or at the next start.
    CListCtrl& list = GetListCtrl();
    for (int row = list.GetNextItem(-1, LVNI_SELECTED); row >= 0;
         row = list.GetNextItem(row, LVNI_SELECTED)) {
        if (!Validity::IsRunning(list.GetItemTextView(row, COL_VALIDITY)))
            RecheckRow(row);
    }
}

void CVelmoraView::RecheckFailedRows()
{
    CListCtrl& list = GetListCtrl();
    int count = 0;
    for (int row = 0, rows = list.GetItemCount(); row < rows; ++row) {
        if (Validity::IsFailed(list.GetItemTextView(row, COL_VALIDITY))) {
            RecheckRow(row);
            ++count;
        }
    }
    CString status;
    status.Format(CString::FromUtf8("%d 个失败的网址将重新检查。"), count);
    GetParentFrame()->SetMessageText(status);
}

void CVelmoraView::RecheckRow(int row)
{
    SetValidity(row, CString());
}

void CVelmoraView::CopySelectedUrls()
{
    const CListCtrl& list = GetListCtrl();
    CString text;
    bool first = true;
    for (int row = list.GetNextItem(-1, LVNI_SELECTED); row >= 0;
         row = list.GetNextItem(row, LVNI_SELECTED)) {
        if (!first)
            text += '\n';
        text += CString(list.GetItemTextView(row, COL_URL));
        first = false;
    }
    if (!first)
        AfxSetClipboardText(text);
}

void CVelmoraView::OnListKeyDown(NMHDR* pNMHDR, LRESULT* pResult)
{
    const auto* key = reinterpret_cast<const NMLVKEYDOWN*>(pNMHDR);
    if (key->wVKey == 'C' && GetKeyState(VK_CONTROL) < 0)
        CopySelectedUrls();
    *pResult = 0;
}
