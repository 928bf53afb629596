// CListView: a view that is a report-style list control.
#pragma once

#include "framework/controls/CListCtrl.h"
#include "framework/doc/CView.h"

class CListView : public CView {
    DECLARE_DYNAMIC(CListView)
public:
    CListCtrl& GetListCtrl() { return m_list; }
    const CListCtrl& GetListCtrl() const { return m_list; }
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;

protected:
    DECLARE_MESSAGE_MAP()
    int OnCreate(CREATESTRUCT* cs);

private:
    CListCtrl m_list;
};
