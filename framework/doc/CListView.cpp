#include "framework/doc/CListView.h"

IMPLEMENT_DYNAMIC(CListView, CView)

BEGIN_MESSAGE_MAP(CListView, CView)
ON_WM_CREATE()
END_MESSAGE_MAP()

BOOL CListView::PreCreateWindow(CREATESTRUCT& cs)
{
    cs.lpszClass = WC_LISTVIEW;
    return CView::PreCreateWindow(cs);
}

int CListView::OnCreate(CREATESTRUCT* cs)
{
    m_list.BindTo(this);
    return CView::OnCreate(cs);
}
