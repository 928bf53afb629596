// CDocument: the document of the single-document template.
#pragma once

#include "framework/window/CCmdTarget.h"

class CArchive;
class CDocTemplate;

class CDocument : public CCmdTarget {
    DECLARE_DYNAMIC(CDocument)
public:
    virtual BOOL OnNewDocument();
    virtual void Serialize(CArchive& ar);
    CDocTemplate* m_pDocTemplate = nullptr;
};
