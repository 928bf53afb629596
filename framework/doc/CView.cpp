#include "framework/doc/CView.h"

#include "framework/doc/CFrameWnd.h"

IMPLEMENT_DYNAMIC(CView, CWnd)

BEGIN_MESSAGE_MAP(CView, CWnd)
ON_WM_CREATE()
END_MESSAGE_MAP()

int CView::OnCreate(CREATESTRUCT* cs)
{
    if (auto* context = static_cast<CCreateContext*>(cs->lpCreateParams))
        m_pDocument = context->m_pCurrentDoc;
    return CWnd::OnCreate(cs);
}

CFrameWnd* CView::GetParentFrame() const
{
    for (CWnd* w = GetParent(); w; w = w->GetParent()) {
        if (w->IsKindOf(RUNTIME_CLASS(CFrameWnd)))
            return static_cast<CFrameWnd*>(w);
    }
    return nullptr;
}

void CView::PostNcDestroy()
{
    delete this;
}
