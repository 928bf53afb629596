#include "framework/doc/CDocument.h"

IMPLEMENT_DYNAMIC(CDocument, CCmdTarget)

BOOL CDocument::OnNewDocument()
{
    return TRUE;
}

BOOL CDocument::OnOpenDocument(LPCSTR)
{
    return OnNewDocument();
}

void CDocument::Serialize(CArchive&)
{
}
