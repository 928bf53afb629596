#include "urllist/CVelmoraView.h"

#include "app/Messages.h"
#include "framework/controls/CMenu.h"
#include "framework/controls/MessageBoxHook.h"
#include "framework/controls/Shell.h"
#include "res/ResourceIds.h"
#include "urllist/BrowserAddress.h"
#include "urllist/CVelmoraDoc.h"
#include "urllist/Validity.h"

IMPLEMENT_DYNCREATE(CVelmoraView, CListView)

BEGIN_MESSAGE_MAP(CVelmoraView, CListView)
ON_NOTIFY_REFLECT(NM_RCLICK, ShowListMenu)
ON_COMMAND(ID_OPEN_URL, OpenSelectedUrl)
ON_COMMAND(ID_RECHECK_ROWS, RecheckSelectedRows)
ON_COMMAND(ID_RECHECK_FAILED, RecheckFailedRows)
ON_COMMAND(ID_COPY_URLS, CopySelectedUrls)
ON_NOTIFY_REFLECT(LVN_KEYDOWN, OnListKeyDown)
ON_NOTIFY_REFLECT(LVN_GETINFOTIP, ShowProbeDetailTip)
ON_COMMAND(ID_FILE_CHECK_REPORT, WriteCheckReport)
ON_COMMAND(ID_FILE_OPEN_REPORT, OpenCheckReport)
ON_WM_TIMER()
END_MESSAGE_MAP()

BOOL CVelmoraView::PreCreateWindow(CREATESTRUCT& cs)
{
    cs.style |= LVS_REPORT | LVS_SHOWSELALWAYS;
    return CListView::PreCreateWindow(cs);
}

void CVelmoraView::OnInitialUpdate()
{
    CListView::OnInitialUpdate();
    CListCtrl& list = GetListCtrl();
    list.SetExtendedStyle(LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    if (m_bColumnsCreated)
        return;
    m_bColumnsCreated = true;
    list.InsertColumn(COL_LINE, CString::FromUtf8("序号"), LVCFMT_LEFT);
    list.InsertColumn(COL_URL, CString::FromUtf8("网址"), LVCFMT_LEFT);
    list.InsertColumn(COL_VALIDITY, CString::FromUtf8("有效性"), LVCFMT_LEFT);
    list.SetColumnWidth(COL_LINE, LVSCW_AUTOSIZE_USEHEADER);
    list.SetColumnWidth(COL_URL, 400);
    list.SetColumnWidth(COL_VALIDITY, 200);
}

BOOL CVelmoraView::PreTranslateMessage(MSG* pMsg)
{
    // An import's failure box or an export's save dialog runs a loop in
    // which the user may close the main window; this view is deleted then.
    const HWND self = m_hWnd;
    switch (pMsg->message) {
    case UM_IMPORT_RUN:
        ImportUrls();
        break;
    case UM_CHECK_DISPATCH:
        DispatchChecks(static_cast<int>(pMsg->lParam));
        break;
    case UM_PROBE_OK:
    case UM_PROBE_FAILED: {
        const std::unique_ptr<CObject> details = AfxTakeMessageAttachment(pMsg);
        RecordVerdict(pMsg->message, pMsg->wParam, pMsg->lParam, dynamic_cast<ProbeDetails*>(details.get()));
        break;
    }
    case UM_EXPORT_RUN:
        ExportUrls(static_cast<int>(pMsg->lParam));
        break;
    case UM_PURGE_INVALID_RUN:
        RemoveInvalid();
        break;
    case UM_PURGE_DUPLICATES:
        RemoveDuplicates();
        break;
    case UM_RECOVERY_WRITTEN:
        m_recovery.OnWritten(static_cast<int>(pMsg->wParam));
        break;
    default:
        break;
    }
    if (!CWnd::FromHandle(self))
        return TRUE; // nothing is left to offer the message to
    return CListView::PreTranslateMessage(pMsg);
}

void CVelmoraView::KeepRecoveryCopy(RecoveryCopy& copy)
{
    m_recovery.Attach(*this, copy);
}

void CVelmoraView::OnTimer(UINT_PTR nIDEvent)
{
    m_recovery.OnTimer(nIDEvent);
}

void CVelmoraView::ShowListMenu(NMHDR*, LRESULT* pResult)
{
    POINT point;
    GetCursorPos(&point);
    const int mark = GetListCtrl().GetSelectionMark();
    if (mark < 0 || mark >= GetListCtrl().GetItemCount())
        return;
    m_nMenuRow = mark;
    CMenu menu;
    if (menu.LoadMenu(IDR_LIST_MENU)) {
        if (CMenu* popup = menu.GetSubMenu(0))
            popup->TrackPopupMenu(TPM_LEFTALIGN | TPM_LEFTBUTTON, point.x, point.y, this);
        menu.DestroyMenu();
    }
    *pResult = 0;
}

void CVelmoraView::OpenSelectedUrl()
{
    const CString text = GetListCtrl().GetItemText(m_nMenuRow, COL_URL);
    // Only web addresses go to the desktop: a list from elsewhere may hold
    // local paths or other schemes that would start programs.
    CString why;
    const CString address = BrowserAddress(text, why);
    if (address.IsEmpty()) {
        MessageBox(why + CString::FromUtf8("：\n\n") + text, "", MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    ShellExecuteA(HWND(), "open", address, nullptr, nullptr, SW_SHOWNORMAL);
}

TextEncoding CVelmoraView::GetUrlFileEncoding() const
{
    const auto* document = dynamic_cast<const CVelmoraDoc*>(GetDocument());
    return document ? document->GetUrlFileEncoding() : TextEncoding::CodePage;
}

void CVelmoraView::SetUrlFileEncoding(TextEncoding encoding)
{
    if (auto* document = dynamic_cast<CVelmoraDoc*>(GetDocument()))
        document->SetUrlFileEncoding(encoding);
}
