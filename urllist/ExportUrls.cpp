// The export: the URLs of one kind, each followed by CR LF, into a file the
// user chooses. The file is replaced in one step wherever its folder allows,
// so a failed export leaves what was there (see CAtomicFile).
#include "app/Globals.h"
#include "app/Hub.h"
#include "app/Messages.h"
#include "framework/controls/CFileDialog.h"
#include "framework/io/CAtomicFile.h"
#include "framework/io/FileSystem.h"
#include "urllist/CVelmoraView.h"
#include "urllist/Validity.h"

namespace {

bool BelongsToKind(const CString& validity, int kind)
{
    switch (kind) {
    case EXPORT_VALID:
        return Validity::IsValid(validity);
    case EXPORT_INVALID:
        return Validity::IsInvalid(validity);
    default:
        return true;
    }
}

} // namespace

void CVelmoraView::ExportUrls(int kind)
{
    const HWND hub = HubWindow();
    CListCtrl& list = GetListCtrl();
    const int count = list.GetItemCount();
    if (count == 0) {
        PostMessageA(hub, UM_EXPORT_RESULT, static_cast<WPARAM>(kind), 0);
        return;
    }
    CFileDialog dialog(FALSE, "TXT", "urls_export.txt", OFN_OVERWRITEPROMPT,
        CString::FromUtf8("文本文件|*.txt|所有文件|*.*||"), this);
    // The dialog starts where the user last exported to, else beside the
    // URL file.
    const CString startFolder
        = m_strLastExportFolder.IsEmpty() ? FolderOfPath(g_strImportPath) : m_strLastExportFolder;
    dialog.m_ofn.lpstrInitialDir = startFolder;
    const HWND self = m_hWnd;
    const int answer = dialog.DoModal();
    // The dialog's loop keeps the program running: the window may have been
    // closed meanwhile, and messages may have changed the list.
    if (answer != IDOK || !CWnd::FromHandle(self)) {
        PostMessageA(hub, UM_EXPORT_RESULT, static_cast<WPARAM>(kind), 0);
        return;
    }
    const CString path = dialog.GetPathName();
    m_strLastExportFolder = FolderOfPath(path);
    const int rows = list.GetItemCount();
    CAtomicFile file;
    int written = 0;
    bool ok = file.Open(path, CFile::modeCreate | CFile::modeWrite | CFile::typeBinary);
    for (int row = 0; ok && row < rows; ++row) {
        if (!BelongsToKind(list.ItemTextRef(row, COL_VALIDITY), kind))
            continue;
        const CString& url = list.ItemTextRef(row, COL_URL);
        ok = file.Write(url.GetString(), static_cast<UINT>(url.GetLength())) && file.Write("\r\n", 2);
        ++written;
    }
    ok = ok && file.Commit();
    if (!ok) {
        CString text;
        text.Format(CString::FromUtf8("无法写入文件！\n\n%s\n\n%s"), path.GetString(),
            file.GetLastErrorText().GetString());
        file.Close();
        MessageBox(text, "", MB_OK | MB_ICONEXCLAMATION);
        written = 0;
    }
    PostMessageA(hub, UM_EXPORT_RESULT, static_cast<WPARAM>(kind), written);
}
