// Saving a file made from the list, as the exports and the check report do:
// the save dialog, owned by the view, then the file written whole and put in
// its place in one step wherever its folder allows (see CAtomicFile), so a
// failure leaves what was there. A failure is shown to the user with the path
// and the reason.
#pragma once

#include <functional>

#include "framework/base/CString.h"

class CFile;
class CWnd;

struct SaveDialogOptions {
    LPCSTR defaultExtension; // appended to a name typed without one
    LPCSTR fileName; // offered at first
    CString filter; // "name|pattern|...||"
};

// The dialog starts in `lastFolder`, the folder of the last save, else in
// the folder of the URL file; an answered dialog makes the chosen folder the
// last one. `write` writes the file's contents and returns the number of rows
// it wrote. Returns that number; 0 when the user cancelled, when `owner` was
// closed while the dialog ran (the dialog's loop keeps the program running),
// or when the file could not be written.
int SaveListFile(CWnd& owner, const SaveDialogOptions& options, CString& lastFolder,
    const std::function<int(CFile&)>& write);
