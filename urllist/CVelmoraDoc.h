// The document: the single-document template needs one; it holds no data.
#pragma once

#include "framework/doc/CDocument.h"

class CVelmoraDoc : public CDocument {
    DECLARE_DYNCREATE(CVelmoraDoc)
public:
    BOOL OnNewDocument() override;
    void Serialize(CArchive& ar) override;
};
