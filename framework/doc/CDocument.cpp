#include "framework/doc/CDocument.h"

IMPLEMENT_DYNAMIC(CDocument, CCmdTarget)

BOOL CDocument::OnNewDocument()
{
    return TRUE;
}

void CDocument::Serialize(CArchive&)
{
}
