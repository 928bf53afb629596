#include "framework/doc/CDocTemplate.h"

#include "framework/doc/CDocument.h"
#include "framework/doc/CFrameWnd.h"
#include "framework/doc/CWinApp.h"

CDocTemplate::CDocTemplate(UINT nIDResource, const CRuntimeClass* pDocClass, const CRuntimeClass* pFrameClass,
    const CRuntimeClass* pViewClass)
    : m_nIDResource(nIDResource)
    , m_pDocClass(pDocClass)
    , m_pFrameClass(pFrameClass)
    , m_pViewClass(pViewClass)
{
}

CDocTemplate::~CDocTemplate()
{
    delete m_pOnlyDoc;
}

CDocument* CDocTemplate::OpenDocumentFile(LPCSTR lpszPathName)
{
    if (m_pOnlyDoc) {
        if (lpszPathName && !m_pOnlyDoc->OnOpenDocument(lpszPathName))
            return nullptr;
        return m_pOnlyDoc;
    }
    auto* doc = dynamic_cast<CDocument*>(m_pDocClass->CreateObject());
    auto* frame = dynamic_cast<CFrameWnd*>(m_pFrameClass->CreateObject());
    if (!doc || !frame) {
        delete doc;
        delete frame;
        return nullptr;
    }
    doc->m_pDocTemplate = this;
    CCreateContext context;
    context.m_pNewViewClass = m_pViewClass;
    context.m_pCurrentDoc = doc;
    if (!frame->LoadFrame(m_nIDResource, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE, nullptr, &context)) {
        // A frame that got as far as a window has deleted itself with it.
        delete doc;
        return nullptr;
    }
    // The first frame is the main window before the document opens: opening
    // a file may already post to it.
    CWinApp* app = AfxGetApp();
    const bool mainFrame = app && !app->m_pMainWnd;
    if (mainFrame) {
        app->m_pMainWnd = frame;
        AfxSetMainWnd(frame);
    }
    if (!(lpszPathName ? doc->OnOpenDocument(lpszPathName) : doc->OnNewDocument())) {
        if (mainFrame) {
            app->m_pMainWnd = nullptr;
            AfxSetMainWnd(nullptr);
        }
        frame->DestroyWindow();
        delete doc;
        return nullptr;
    }
    m_pOnlyDoc = doc;
    frame->InitialUpdateFrame(doc, FALSE);
    return doc;
}
