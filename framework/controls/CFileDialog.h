// CFileDialog: the common open and save dialogs. They go through a hook so
// tests can answer them; the default hook shows the toolkit's file dialog,
// whose loop keeps pumping posted messages.
#pragma once

#include <functional>

#include "framework/base/CString.h"
#include "framework/base/Constants.h"

class CWnd;

struct FileDialogRequest {
    bool open;
    CString defaultExtension;
    CString fileName;
    DWORD flags;
    CString filter; // "name|pattern|name|pattern||"
    HWND owner;
    CString initialDir; // the folder the dialog starts in; empty: the current folder
};

// The dialog's settings that a caller may change before DoModal.
struct OPENFILENAME {
    LPCSTR lpstrInitialDir = nullptr;
};

struct FileDialogAnswer {
    int result = IDCANCEL; // IDOK or IDCANCEL
    CString path; // the chosen path, when IDOK
};

using FileDialogHook = std::function<FileDialogAnswer(const FileDialogRequest&)>;
FileDialogHook AfxSetFileDialogHook(FileDialogHook hook);

class CFileDialog {
public:
    CFileDialog(BOOL bOpenFileDialog, LPCSTR defaultExtension = nullptr, LPCSTR fileName = nullptr,
        DWORD flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, LPCSTR filter = nullptr,
        CWnd* parent = nullptr);

    int DoModal();
    // The chosen path; a name typed without an extension gets the default one.
    CString GetPathName() const { return m_path; }

    OPENFILENAME m_ofn;

private:
    FileDialogRequest m_request;
    CString m_path;
};
