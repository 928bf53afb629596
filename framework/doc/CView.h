// CView: the window that shows a document inside a frame.
#pragma once

#include "framework/window/CWnd.h"

class CDocument;
class CFrameWnd;

struct CCreateContext {
    const CRuntimeClass* m_pNewViewClass = nullptr;
    CDocument* m_pCurrentDoc = nullptr;
    CFrameWnd* m_pCurrentFrame = nullptr;
};

class CView : public CWnd {
    DECLARE_DYNAMIC(CView)
public:
    CDocument* GetDocument() const { return m_pDocument; }
    virtual void OnInitialUpdate() { }
    CFrameWnd* GetParentFrame() const;

protected:
    DECLARE_MESSAGE_MAP()
    int OnCreate(CREATESTRUCT* cs);
    // Views belong to their window: they go with it.
    void PostNcDestroy() override;

    CDocument* m_pDocument = nullptr;
};
