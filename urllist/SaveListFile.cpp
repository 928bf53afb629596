#include "urllist/SaveListFile.h"

#include "app/Globals.h"
#include "framework/controls/CFileDialog.h"
#include "framework/io/CAtomicFile.h"
#include "framework/io/FileSystem.h"
#include "framework/window/CWnd.h"

int SaveListFile(CWnd& owner, const SaveDialogOptions& options, CString& lastFolder,
    const std::function<int(CFile&)>& write)
{
    CFileDialog dialog(
        FALSE, options.defaultExtension, options.fileName, OFN_OVERWRITEPROMPT, options.filter, &owner);
    const CString startFolder = lastFolder.IsEmpty() ? FolderOfPath(g_strImportPath) : lastFolder;
    dialog.m_ofn.lpstrInitialDir = startFolder;
    const HWND self = owner.m_hWnd;
    if (dialog.DoModal() != IDOK || !CWnd::FromHandle(self))
        return 0;
    const CString path = dialog.GetPathName();
    lastFolder = FolderOfPath(path);
    CAtomicFile file;
    int written = 0;
    bool ok = file.Open(path, CFile::modeCreate | CFile::modeWrite | CFile::typeBinary);
    if (ok)
        written = write(file);
    ok = ok && !file.Failed() && file.Commit();
    if (ok)
        return written;
    CString text;
    text.Format(CString::FromUtf8("无法写入文件！\n\n%s\n\n%s"), path.GetString(),
        file.GetLastErrorText().GetString());
    file.Close();
    owner.MessageBox(text, "", MB_OK | MB_ICONEXCLAMATION);
    return 0;
}
