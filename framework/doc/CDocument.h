// CDocument: the document of the single-document template.
#pragma once

#include "framework/window/CCmdTarget.h"

class CArchive;
class CDocTemplate;

class CDocument : public CCmdTarget {
    DECLARE_DYNAMIC(CDocument)
public:
    virtual BOOL OnNewDocument();
    // Opens the file as the document's content; a document that keeps
    // nothing of files opens it as a new, empty document.
    virtual BOOL OnOpenDocument(LPCSTR lpszPathName);
    virtual void Serialize(CArchive& ar);
    CDocTemplate* m_pDocTemplate = nullptr;
};
