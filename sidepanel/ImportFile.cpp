// Opening a file from the desktop (the command line, a drop on the window)
// goes through the form like the user's own import: the import button waits
// for the list and the status bar reports as usual.
#include "res/ResourceIds.h"
#include "sidepanel/CSidePanelDlg.h"

void CSidePanelDlg::ImportFile(const CString& path)
{
    // The button takes no press while its import is under way.
    if (!GetDlgItem(IDC_IMPORT)->IsWindowEnabled())
        return;
    GetDlgItem(IDC_IMPORT_PATH)->SetWindowText(path);
    OnImport();
}
