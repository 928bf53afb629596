#include "framework/doc/CFrameWnd.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <vector>

#include "framework/controls/CStatusBar.h"
#include "framework/controls/Resources.h"
#include "framework/doc/CDocument.h"
#include "framework/doc/CWinApp.h"
#include "framework/window/private/WindowBacking.h"

IMPLEMENT_DYNAMIC(CFrameWnd, CWnd)

BEGIN_MESSAGE_MAP(CFrameWnd, CWnd)
ON_WM_CREATE()
ON_WM_CLOSE()
ON_COMMAND_EX(ID_VIEW_STATUS_BAR, OnBarCheck)
ON_UPDATE_COMMAND_UI(ID_VIEW_STATUS_BAR, OnUpdateControlBarMenu)
END_MESSAGE_MAP()

namespace {

// The first line of a prompt string; its second line is a tooltip.
CString FirstLine(const CString& text)
{
    const int end = text.Find('\n');
    return end < 0 ? text : text.Left(end);
}

void AddMenuItems(CFrameWnd* frame, QMenu* menu, const std::vector<MenuItemTemplate>& items)
{
    for (const MenuItemTemplate& item : items) {
        if (!item.popup.empty()) {
            QMenu* sub = menu->addMenu(ToQString(item.text));
            AddMenuItems(frame, sub, item.popup);
            continue;
        }
        if (item.id == 0) {
            menu->addSeparator();
            continue;
        }
        QAction* action = menu->addAction(ToQString(item.text));
        action->setData(item.id);
        const HWND hFrame = frame->m_hWnd;
        const UINT id = item.id;
        QObject::connect(action, &QAction::triggered, action, [hFrame, id] { PostMessageA(hFrame, WM_COMMAND, id, 0); });
        QObject::connect(action, &QAction::hovered, action, [hFrame, id] {
            if (auto* f = dynamic_cast<CFrameWnd*>(CWnd::FromHandle(hFrame)))
                f->OnMenuSelect(id);
        });
    }
    // Command-update handlers decide each item's state as the menu opens.
    QObject::connect(menu, &QMenu::aboutToShow, menu, [menu, hFrame = frame->m_hWnd] {
        auto* f = dynamic_cast<CFrameWnd*>(CWnd::FromHandle(hFrame));
        if (!f)
            return;
        for (QAction* action : menu->actions()) {
            if (action->menu() || action->isSeparator())
                continue;
            const CCmdUI ui = f->QueryCommandUI(action->data().toUInt());
            action->setEnabled(ui.m_bEnabled);
            action->setCheckable(ui.m_bChecked);
            action->setChecked(ui.m_bChecked);
        }
    });
}

} // namespace

BOOL CFrameWnd::PreCreateWindow(CREATESTRUCT& cs)
{
    return CWnd::PreCreateWindow(cs);
}

BOOL CFrameWnd::LoadFrame(UINT nIDResource, DWORD dwDefaultStyle, CWnd* pParentWnd, CCreateContext* pContext)
{
    m_nIDResource = nIDResource;
    m_strTitle = FirstLine(AfxLoadString(nIDResource));
    if (!Create(WC_FRAME, m_strTitle, dwDefaultStyle, CRect(0, 0, 800, 600), pParentWnd, 0, pContext))
        return FALSE;
    BuildMenuBar(nIDResource);
    UpdateFrameTitle();
    return TRUE;
}

void CFrameWnd::BuildMenuBar(UINT nIDResource)
{
    const auto* items = AfxFindMenu(nIDResource);
    auto* window = dynamic_cast<QMainWindow*>(WidgetOf(this));
    if (!items || !window)
        return;
    QMenuBar* bar = window->menuBar();
    for (const MenuItemTemplate& top : *items) {
        QMenu* menu = bar->addMenu(ToQString(top.text));
        AddMenuItems(this, menu, top.popup);
        QObject::connect(menu, &QMenu::aboutToHide, menu, [hFrame = m_hWnd] {
            if (auto* f = dynamic_cast<CFrameWnd*>(CWnd::FromHandle(hFrame)))
                f->OnExitMenuLoop();
        });
    }
}

void CFrameWnd::UpdateFrameTitle()
{
    CString title = m_strTitle;
    if ((m_dwStyle & FWS_ADDTOTITLE) && GetActiveView())
        title = CString("Untitled - ") + m_strTitle;
    SetWindowText(title);
}

int CFrameWnd::OnCreate(CREATESTRUCT* cs)
{
    return OnCreateClient(cs, static_cast<CCreateContext*>(cs->lpCreateParams)) ? 0 : -1;
}

BOOL CFrameWnd::OnCreateClient(CREATESTRUCT*, CCreateContext* pContext)
{
    if (pContext && pContext->m_pNewViewClass)
        return CreateView(pContext) != nullptr;
    return TRUE;
}

CWnd* CFrameWnd::CreateView(CCreateContext* pContext, UINT nID)
{
    CObject* object = pContext->m_pNewViewClass->CreateObject();
    auto* view = dynamic_cast<CWnd*>(object);
    if (!view) {
        delete object;
        return nullptr;
    }
    pContext->m_pCurrentFrame = this;
    if (!view->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE | WS_BORDER, CRect(0, 0, 0, 0), this, nID, pContext)) {
        // A view that failed to create has deleted itself in PostNcDestroy
        // only when it got a window; otherwise it is still ours.
        if (!view->m_hWnd)
            delete view;
        return nullptr;
    }
    return view;
}

CView* CFrameWnd::GetActiveView() const
{
    return dynamic_cast<CView*>(CWnd::FromHandle(m_hActiveView));
}

void CFrameWnd::SetActiveView(CView* pView)
{
    m_hActiveView = pView ? pView->m_hWnd : HWND();
}

void CFrameWnd::InitialUpdateFrame(CDocument*, BOOL bMakeVisible)
{
    auto* view = dynamic_cast<CView*>(GetDlgItem(AFX_IDW_PANE_FIRST));
    if (view) {
        SetActiveView(view);
        view->OnInitialUpdate();
    }
    UpdateFrameTitle();
    RecalcLayout();
    if (bMakeVisible)
        ShowWindow(SW_SHOW);
}

CControlBar* CFrameWnd::GetControlBar(UINT nID) const
{
    return dynamic_cast<CControlBar*>(GetDlgItem(static_cast<int>(nID)));
}

void CFrameWnd::ShowControlBar(CControlBar* pBar, BOOL bShow, BOOL)
{
    if (!pBar)
        return;
    pBar->ShowWindow(bShow ? SW_SHOW : SW_HIDE);
    RecalcLayout();
}

// The client area is shared out in creation order: each visible bar takes its
// strip from the edge it is aligned to, and the view gets what is left.
void CFrameWnd::RecalcLayout()
{
    QWidget* client = ClientOf(this);
    if (!client)
        return;
    CRect rest(0, 0, client->width(), client->height());
    CWnd* view = nullptr;
    for (QObject* child : client->children()) {
        CWnd* wnd = WindowOfWidget(qobject_cast<QWidget*>(child));
        if (!wnd)
            continue;
        if (wnd->GetDlgCtrlID() == static_cast<int>(AFX_IDW_PANE_FIRST)) {
            view = wnd;
            continue;
        }
        auto* bar = dynamic_cast<CControlBar*>(wnd);
        if (!bar || !(bar->GetStyle() & WS_VISIBLE))
            continue;
        const DWORD align = bar->GetBarStyle() & CBRS_ALIGN_ANY;
        if (align & CBRS_ALIGN_BOTTOM) {
            const CSize size = bar->CalcFixedLayout(TRUE, TRUE);
            bar->MoveWindow(rest.left, rest.bottom - size.cy, rest.Width(), size.cy);
            rest.bottom -= size.cy;
        } else if (align & CBRS_ALIGN_TOP) {
            const CSize size = bar->CalcFixedLayout(TRUE, TRUE);
            bar->MoveWindow(rest.left, rest.top, rest.Width(), size.cy);
            rest.top += size.cy;
        } else if (align & CBRS_ALIGN_LEFT) {
            const CSize size = bar->CalcFixedLayout(TRUE, FALSE);
            bar->MoveWindow(rest.left, rest.top, size.cx, rest.Height());
            rest.left += size.cx;
        } else if (align & CBRS_ALIGN_RIGHT) {
            const CSize size = bar->CalcFixedLayout(TRUE, FALSE);
            bar->MoveWindow(rest.right - size.cx, rest.top, size.cx, rest.Height());
            rest.right -= size.cx;
        }
    }
    if (view)
        view->MoveWindow(rest);
}

BOOL CFrameWnd::OnCmdMsg(UINT nID, int nCode, UINT nMessage, LPARAM lParam)
{
    // The active view first, then the frame, then the application.
    if (CView* view = GetActiveView(); view && view->OnCmdMsg(nID, nCode, nMessage, lParam))
        return TRUE;
    if (CWnd::OnCmdMsg(nID, nCode, nMessage, lParam))
        return TRUE;
    CWinApp* app = AfxGetApp();
    return app && app->OnCmdMsg(nID, nCode, nMessage, lParam);
}

CCmdUI CFrameWnd::QueryCommandUI(UINT nID)
{
    CCmdUI ui;
    ui.m_nID = nID;
    OnCmdMsg(nID, 0, WM_COMMAND_UPDATE_UI, reinterpret_cast<LPARAM>(&ui));
    if (!ui.m_bHandled) {
        // An item without an update handler is enabled when some handler
        // takes its command.
        ui.m_bEnabled = FindMessageEntry(WM_COMMAND, 0, nID) != nullptr
                        || (GetActiveView() && GetActiveView()->FindMessageEntry(WM_COMMAND, 0, nID))
                        || (AfxGetApp() && AfxGetApp()->FindMessageEntry(WM_COMMAND, 0, nID));
    }
    return ui;
}

void CFrameWnd::SetMessageText(LPCSTR text)
{
    if (auto* bar = dynamic_cast<CStatusBar*>(GetControlBar(AFX_IDW_STATUS_BAR)))
        bar->SetPaneText(0, text);
}

void CFrameWnd::SetMessageText(UINT nID)
{
    SetMessageText(FirstLine(AfxLoadString(nID)));
}

void CFrameWnd::OnMenuSelect(UINT nItemID)
{
    SetMessageText(nItemID == 0 ? AFX_IDS_IDLEMESSAGE : nItemID);
}

void CFrameWnd::OnExitMenuLoop()
{
    SetMessageText(AFX_IDS_IDLEMESSAGE);
}

BOOL CFrameWnd::OnBarCheck(UINT nID)
{
    CControlBar* bar = GetControlBar(nID);
    if (!bar)
        return FALSE;
    ShowControlBar(bar, !(bar->GetStyle() & WS_VISIBLE), FALSE);
    return TRUE;
}

void CFrameWnd::OnUpdateControlBarMenu(CCmdUI* pCmdUI)
{
    CControlBar* bar = GetControlBar(pCmdUI->m_nID);
    pCmdUI->Enable(bar != nullptr);
    pCmdUI->SetCheck(bar && (bar->GetStyle() & WS_VISIBLE));
}

void CFrameWnd::OnClose()
{
    DestroyWindow();
}

void CFrameWnd::PostNcDestroy()
{
    CWinApp* app = AfxGetApp();
    if (app && app->m_pMainWnd == this) {
        app->m_pMainWnd = nullptr;
        PostQuitMessage(0);
    }
    delete this;
}
