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

CDocument* CDocTemplate::OpenDocumentFile(LPCSTR)
{
    if (m_pOnlyDoc)
        return m_pOnlyDoc;
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
    if (!doc->OnNewDocument()) {
        frame->DestroyWindow();
        delete doc;
        return nullptr;
    }
    m_pOnlyDoc = doc;
    CWinApp* app = AfxGetApp();
    if (app && !app->m_pMainWnd) {
        app->m_pMainWnd = frame;
        AfxSetMainWnd(frame);
    }
    frame->InitialUpdateFrame(doc, FALSE);
    return doc;
}
