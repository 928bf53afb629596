// The single-document template: creates the document, the frame and the view
// together from their classes and one resource id.
#pragma once

#include "framework/window/CCmdTarget.h"

class CDocument;
class CFrameWnd;

class CDocTemplate : public CCmdTarget {
public:
    CDocTemplate(UINT nIDResource, const CRuntimeClass* pDocClass, const CRuntimeClass* pFrameClass,
        const CRuntimeClass* pViewClass);
    ~CDocTemplate() override;

    // Opens the file named (a new empty document when null) in the one
    // document, creating it with its frame and view the first time; null on
    // failure.
    virtual CDocument* OpenDocumentFile(LPCSTR lpszPathName);

protected:
    UINT m_nIDResource;
    const CRuntimeClass* m_pDocClass;
    const CRuntimeClass* m_pFrameClass;
    const CRuntimeClass* m_pViewClass;
    CDocument* m_pOnlyDoc = nullptr;
};

class CSingleDocTemplate : public CDocTemplate {
public:
    using CDocTemplate::CDocTemplate;
};
