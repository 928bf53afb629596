// The document: the single-document template needs one; it holds no data.
// A file opened from the desktop (named on the command line, dropped on the
// window) is imported into the list by the side panel.
#pragma once

#include "framework/doc/CDocument.h"

class CVelmoraDoc : public CDocument {
    DECLARE_DYNCREATE(CVelmoraDoc)
public:
    BOOL OnNewDocument() override;
    BOOL OnOpenDocument(LPCSTR lpszPathName) override;
    void Serialize(CArchive& ar) override;
};
