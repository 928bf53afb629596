#include "framework/doc/CFrameWnd.h"

#include <QAction>
#include <QApplication>
#include <QIcon>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>
#include <string>
#include <vector>

#include "framework/controls/CStatusBar.h"
#include "framework/controls/Resources.h"
#include "framework/doc/CDocument.h"
#include "framework/doc/CWinApp.h"
#include "framework/docking/CDockBar.h"
#include "framework/docking/CMiniDockFrameWnd.h"
#include "framework/window/private/WindowBacking.h"

IMPLEMENT_DYNAMIC(CFrameWnd, CWnd)

BEGIN_MESSAGE_MAP(CFrameWnd, CWnd)
ON_WM_CREATE()
ON_WM_CLOSE()
ON_WM_DROPFILES()
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
        QObject::connect(
            action, &QAction::triggered, action, [hFrame, id] { PostMessageA(hFrame, WM_COMMAND, id, 0); });
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
    // The frame's icon is the program's: its dialogs and boxes show it too.
    if (const std::vector<IconImage>* images = AfxFindIcon(nIDResource)) {
        QIcon icon;
        for (const IconImage& image : *images) {
            QPixmap pixmap;
            if (pixmap.loadFromData(image.data, static_cast<uint>(image.size), "PNG"))
                icon.addPixmap(pixmap);
        }
        WidgetOf(this)->setWindowIcon(icon);
        QApplication::setWindowIcon(icon);
    }
    return TRUE;
}

void CFrameWnd::OnDropFiles(HDROP hDropInfo)
{
    CWinApp* app = AfxGetApp();
    const UINT count = DragQueryFile(hDropInfo, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; app && i < count; ++i) {
        std::string path(DragQueryFile(hDropInfo, i, nullptr, 0) + 1, '\0');
        DragQueryFile(hDropInfo, i, path.data(), static_cast<UINT>(path.size()));
        app->OpenDocumentFile(path.c_str());
    }
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
    if ((m_dwWindowStyle & FWS_ADDTOTITLE) && GetActiveView())
        title = CString("Untitled - ") + m_strTitle;
    SetWindowText(title);
}

CFrameWnd::~CFrameWnd()
{
    AfxRemoveIdleHandler(this);
}

CFrameWnd* CWnd::GetParentFrame() const
{
    for (CWnd* w = GetParent(); w; w = w->GetParent()) {
        if (w->IsFrameWnd())
            return static_cast<CFrameWnd*>(w);
    }
    return nullptr;
}

int CFrameWnd::OnCreate(CREATESTRUCT* cs)
{
    AfxAddIdleHandler(this, [hFrame = m_hWnd] {
        if (auto* frame = dynamic_cast<CFrameWnd*>(CWnd::FromHandle(hFrame)))
            frame->OnIdleUpdate();
    });
    return OnCreateClient(cs, static_cast<CCreateContext*>(cs->lpCreateParams)) ? 0 : -1;
}

void CFrameWnd::OnIdleUpdate()
{
    if (m_bLayoutPending) {
        m_bLayoutPending = FALSE;
        RecalcLayout();
    }
    UpdateControlBars();
}

// Every control bar docked to this frame, floating ones included, updates
// its user interface.
void CFrameWnd::UpdateControlBars()
{
    QWidget* widget = WidgetOf(this);
    if (!widget)
        return;
    std::vector<HWND> bars;
    for (QWidget* child : widget->findChildren<QWidget*>()) {
        auto* bar = dynamic_cast<CControlBar*>(WindowOfWidget(child));
        if (bar && !bar->IsKindOf(RUNTIME_CLASS(CDockBar))
            && (bar->m_pDockSite == this || bar->GetParent() == this))
            bars.push_back(bar->m_hWnd);
    }
    for (HWND h : bars) {
        if (auto* bar = dynamic_cast<CControlBar*>(CWnd::FromHandle(h)); bar && bar->IsWindowVisible())
            bar->OnUpdateCmdUI(this, TRUE);
    }
}

void CFrameWnd::DelayRecalcLayout()
{
    m_bLayoutPending = TRUE;
}

void CFrameWnd::EnableDocking(DWORD dwDockStyle)
{
    m_dwDockStyle = dwDockStyle;
    static const struct {
        DWORD align;
        UINT id;
    } sides[] = { { CBRS_ALIGN_TOP, AFX_IDW_DOCKBAR_TOP }, { CBRS_ALIGN_BOTTOM, AFX_IDW_DOCKBAR_BOTTOM },
        { CBRS_ALIGN_LEFT, AFX_IDW_DOCKBAR_LEFT }, { CBRS_ALIGN_RIGHT, AFX_IDW_DOCKBAR_RIGHT } };
    for (const auto& side : sides) {
        if (!(dwDockStyle & side.align) || GetDockBar(side.id))
            continue;
        auto dockBar = std::make_unique<CDockBar>();
        if (dockBar->Create(this, side.align | WS_CHILD | WS_VISIBLE, side.id))
            m_dockBars.push_back(std::move(dockBar));
    }
}

CDockBar* CFrameWnd::GetDockBar(UINT nDockBarID) const
{
    for (const auto& dockBar : m_dockBars) {
        if (dockBar->m_hWnd && static_cast<UINT>(dockBar->GetDlgCtrlID()) == nDockBarID)
            return dockBar.get();
    }
    return nullptr;
}

void CFrameWnd::DockControlBar(CControlBar* pBar, UINT nDockBarID, const RECT* lpRect)
{
    CDockBar* dockBar = nDockBarID ? GetDockBar(nDockBarID) : nullptr;
    if (!dockBar) {
        for (const auto& candidate : m_dockBars) {
            if (candidate->m_hWnd && (candidate->m_dwStyle & pBar->m_dwDockStyle & CBRS_ALIGN_ANY)) {
                dockBar = candidate.get();
                break;
            }
        }
    }
    if (!dockBar)
        return;
    CMiniDockFrameWnd* oldFloatFrame
        = pBar->IsFloating() ? dynamic_cast<CMiniDockFrameWnd*>(pBar->GetParentFrame()) : nullptr;
    pBar->m_pDockSite = this;
    dockBar->DockControlBar(pBar, lpRect);
    if (oldFloatFrame && oldFloatFrame->m_wndDockBar.GetDockedCount() == 0)
        oldFloatFrame->DestroyWindow();
    RecalcLayout();
}

void CFrameWnd::FloatControlBar(CControlBar* pBar, CPoint point, DWORD dwStyle)
{
    if (pBar->IsFloating()) {
        if (CFrameWnd* frame = pBar->GetParentFrame())
            frame->SetWindowPos(nullptr, point.x, point.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        return;
    }
    auto* miniFrame = new CMiniDockFrameWnd;
    if (!miniFrame->Create(this, dwStyle)) {
        delete miniFrame;
        return;
    }
    pBar->m_pDockSite = this;
    miniFrame->m_wndDockBar.DockControlBar(pBar);
    miniFrame->SetWindowPos(nullptr, point.x, point.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    miniFrame->RecalcLayout();
    if (pBar->IsVisible())
        miniFrame->ShowWindow(SW_SHOW);
    RecalcLayout();
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
    if (!view->Create(
            nullptr, nullptr, WS_CHILD | WS_VISIBLE | WS_BORDER, CRect(0, 0, 0, 0), this, nID, pContext)) {
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

void CFrameWnd::ShowControlBar(CControlBar* pBar, BOOL bShow, BOOL bDelay)
{
    if (!pBar)
        return;
    pBar->DelayShow(bShow);
    CFrameWnd* floatFrame = pBar->IsFloating() ? pBar->GetParentFrame() : nullptr;
    if (bDelay) {
        DelayRecalcLayout();
        if (floatFrame)
            floatFrame->DelayRecalcLayout();
        return;
    }
    pBar->RecalcDelayShow();
    if (floatFrame)
        floatFrame->RecalcLayout();
    RecalcLayout();
}

void CFrameWnd::RecalcLayout()
{
    if (m_bInRecalcLayout)
        return;
    m_bInRecalcLayout = TRUE;
    m_bLayoutPending = FALSE;
    RepositionBars(0, 0xFFFF, AFX_IDW_PANE_FIRST);
    m_bInRecalcLayout = FALSE;
}

// The client area is shared out in creation order: each visible bar takes its
// strip from the edge it is aligned to, and the left-over window gets what
// is left. Dock bars lay their own bars out in the rectangle they are given.
void CFrameWnd::RepositionBars(UINT nIDFirst, UINT nIDLast, UINT nIDLeftOver, UINT nFlag, RECT* lpRectParam,
    const RECT* lpRectClient, BOOL bStretch)
{
    QWidget* client = ClientOf(this);
    if (!client)
        return;
    const BOOL query = nFlag == reposQuery;
    CRect rest = lpRectClient ? CRect(*lpRectClient) : CRect(0, 0, client->width(), client->height());
    CWnd* leftOver = nullptr;
    std::vector<HWND> children;
    for (QObject* child : client->children()) {
        if (CWnd* wnd = WindowOfWidget(qobject_cast<QWidget*>(child)))
            children.push_back(wnd->m_hWnd);
    }
    for (HWND h : children) {
        CWnd* wnd = CWnd::FromHandle(h);
        if (!wnd)
            continue;
        const UINT id = static_cast<UINT>(wnd->GetDlgCtrlID());
        if (id == nIDLeftOver) {
            leftOver = wnd;
            continue;
        }
        auto* bar = dynamic_cast<CControlBar*>(wnd);
        if (!bar || id < nIDFirst || id > nIDLast || !(bar->GetStyle() & WS_VISIBLE))
            continue;
        const DWORD align = bar->GetBarStyle() & CBRS_ALIGN_ANY;
        const BOOL horz = (align & (CBRS_ALIGN_TOP | CBRS_ALIGN_BOTTOM)) != 0;
        if (!align)
            continue;
        if (auto* dockBar = dynamic_cast<CDockBar*>(bar)) {
            dockBar->m_rectLayout = rest;
            dockBar->m_bLayoutQuery = query;
        }
        CSize size = bar->CalcFixedLayout(bStretch, horz);
        if (auto* dockBar = dynamic_cast<CDockBar*>(bar))
            dockBar->m_bLayoutQuery = FALSE;
        CRect rc;
        if (horz) {
            size.cy = std::min<LONG>(size.cy, rest.Height());
            rc = (align & CBRS_ALIGN_TOP) ? CRect(rest.left, rest.top, rest.right, rest.top + size.cy)
                                          : CRect(rest.left, rest.bottom - size.cy, rest.right, rest.bottom);
            (align & CBRS_ALIGN_TOP) ? rest.top += size.cy : rest.bottom -= size.cy;
        } else {
            size.cx = std::min<LONG>(size.cx, rest.Width());
            rc = (align & CBRS_ALIGN_LEFT) ? CRect(rest.left, rest.top, rest.left + size.cx, rest.bottom)
                                           : CRect(rest.right - size.cx, rest.top, rest.right, rest.bottom);
            (align & CBRS_ALIGN_LEFT) ? rest.left += size.cx : rest.right -= size.cx;
        }
        if (!query)
            bar->MoveWindow(rc);
    }
    if (query) {
        if (lpRectParam)
            *lpRectParam = rest;
        return;
    }
    if (leftOver)
        leftOver->MoveWindow(rest);
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
    ShowControlBar(bar, !bar->IsVisible(), FALSE);
    return TRUE;
}

void CFrameWnd::OnUpdateControlBarMenu(CCmdUI* pCmdUI)
{
    CControlBar* bar = GetControlBar(pCmdUI->m_nID);
    pCmdUI->Enable(bar != nullptr);
    pCmdUI->SetCheck(bar && bar->IsVisible());
}

void CFrameWnd::OnClose()
{
    DestroyWindow();
}

void CFrameWnd::PostNcDestroy()
{
    AfxRemoveIdleHandler(this);
    CWinApp* app = AfxGetApp();
    if (app && app->m_pMainWnd == this) {
        app->m_pMainWnd = nullptr;
        PostQuitMessage(0);
    }
    delete this;
}
