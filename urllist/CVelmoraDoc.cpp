#include "urllist/CVelmoraDoc.h"

#include "app/Globals.h"
#include "sidepanel/CSidePanelDlg.h"

IMPLEMENT_DYNCREATE(CVelmoraDoc, CDocument)

BOOL CVelmoraDoc::OnNewDocument()
{
    return CDocument::OnNewDocument() ? TRUE : FALSE;
}

BOOL CVelmoraDoc::OnOpenDocument(LPCSTR lpszPathName)
{
    if (auto* panel = dynamic_cast<CSidePanelDlg*>(CWnd::FromHandle(g_hSidePanel)))
        panel->ImportFile(lpszPathName);
    return TRUE;
}

void CVelmoraDoc::Serialize(CArchive&)
{
}
