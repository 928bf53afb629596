#include "urllist/CVelmoraDoc.h"

IMPLEMENT_DYNCREATE(CVelmoraDoc, CDocument)

BOOL CVelmoraDoc::OnNewDocument()
{
    return CDocument::OnNewDocument() ? TRUE : FALSE;
}

void CVelmoraDoc::Serialize(CArchive&)
{
}
