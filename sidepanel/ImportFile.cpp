// Opening a file from the desktop (the command line, a drop on the window)
// goes through the form like the user's own import: the import button waits
// for the list and the status bar reports as usual.
#include "framework/io/FileSystem.h"
#include "res/ResourceIds.h"
#include "sidepanel/CSidePanelDlg.h"

BOOL CSidePanelDlg::ImportFile(const CString& path)
{
    // The button takes no press while its import is under way.
    if (!GetDlgItem(IDC_IMPORT)->IsWindowEnabled())
        return FALSE;
    // A folder (or a file gone since) gets the import's own box, and the
    // path the user had stays: it is what the exit saves.
    if (!FileExists(path)) {
        CString text;
        text.Format(CString::FromUtf8("文件不存在或被锁定！\n\n%s"), path.GetString());
        MessageBox(text, "", MB_OK);
        return FALSE;
    }
    GetDlgItem(IDC_IMPORT_PATH)->SetWindowText(path);
    OnImport();
    return TRUE;
}
