#include "framework/window/CWnd.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QMainWindow>
#include <QResizeEvent>
#include <QScreen>
#include <vector>

#include "framework/base/AppName.h"
#include "framework/controls/MessageBoxHook.h"
#include "framework/window/Timers.h"
#include "framework/window/WindowTable.h"
#include "framework/window/private/FontData.h"
#include "framework/window/private/NonClientWidget.h"
#include "framework/window/private/WidgetFactory.h"
#include "framework/window/private/WindowBacking.h"

IMPLEMENT_DYNAMIC(CWnd, CCmdTarget)

BEGIN_MESSAGE_MAP(CWnd, CCmdTarget)
END_MESSAGE_MAP()

namespace {

CWnd* g_mainWnd = nullptr;

} // namespace

CWnd* AfxGetMainWnd()
{
    return g_mainWnd;
}

void AfxSetMainWnd(CWnd* wnd)
{
    g_mainWnd = wnd;
}

BOOL GetCursorPos(POINT* point)
{
    const QPoint p = QCursor::pos();
    point->x = p.x();
    point->y = p.y();
    return TRUE;
}

CWnd* WindowOfWidget(const QWidget* widget)
{
    if (!widget)
        return nullptr;
    const QVariant v = widget->property(kHandleProperty);
    return v.isValid() ? WindowTable::Lookup(HWND(v.toUInt())) : nullptr;
}

void BindWidget(QWidget* widget, CWnd* wnd)
{
    widget->setProperty(kHandleProperty, QVariant::fromValue(wnd->m_hWnd.value));
}

void NotifyResized(QWidget* widget)
{
    if (CWnd* wnd = WindowOfWidget(widget)) {
        wnd->RecalcLayout();
        const QWidget* client = ClientOf(wnd);
        // WM_SIZE carries the size of the client area.
        const QSize size = client ? client->size() : widget->size();
        wnd->SendMessage(
            WM_SIZE, 0, static_cast<LPARAM>((size.height() & 0xFFFF) << 16 | (size.width() & 0xFFFF)));
    }
}

void NotifyCloseRequested(QWidget* widget)
{
    if (CWnd* wnd = WindowOfWidget(widget))
        wnd->SendMessage(WM_CLOSE);
}

void GenericWidget::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    NotifyResized(this);
}

void GenericWidget::closeEvent(QCloseEvent* event)
{
    // The window decides through WM_CLOSE whether and how it goes.
    event->ignore();
    NotifyCloseRequested(this);
}

CWnd::CWnd() = default;

CWnd::~CWnd()
{
    if (WindowTable::Lookup(m_hWnd) == this)
        DestroyWindow();
}

CWnd* CWnd::FromHandle(HWND hWnd)
{
    return WindowTable::Lookup(hWnd);
}

BOOL CWnd::Create(LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
    CWnd* pParentWnd, UINT nID, void* pContext)
{
    CREATESTRUCT cs;
    cs.lpCreateParams = pContext;
    cs.hwndParent = pParentWnd ? pParentWnd->m_hWnd : HWND();
    cs.hMenu = nID;
    cs.x = rect.left;
    cs.y = rect.top;
    cs.cx = rect.right - rect.left;
    cs.cy = rect.bottom - rect.top;
    cs.style = static_cast<LONG>(dwStyle);
    cs.lpszName = lpszWindowName ? lpszWindowName : "";
    cs.lpszClass = lpszClassName ? lpszClassName : WC_GENERIC;
    if (!PreCreateWindow(cs))
        return FALSE;

    m_hWnd = WindowTable::Add(this);
    if (!m_hWnd)
        return FALSE;
    m_dwWindowStyle = static_cast<DWORD>(cs.style);
    m_nID = static_cast<UINT>(cs.hMenu);
    CreateBacking(cs, pParentWnd);
    QWidget* widget = WidgetOf(this);
    BindWidget(widget, this);
    if (pParentWnd && (m_dwWindowStyle & WS_CHILD))
        widget->setGeometry(cs.x, cs.y, cs.cx, cs.cy);
    else if (cs.cx > 0 && cs.cy > 0)
        widget->resize(cs.cx, cs.cy);
    if (!cs.lpszName.IsEmpty())
        SetWindowText(cs.lpszName);
    widget->setEnabled(!(m_dwWindowStyle & WS_DISABLED));

    if (SendMessage(WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
        DestroyWindow();
        return FALSE;
    }
    if (m_dwWindowStyle & WS_VISIBLE)
        ShowWindow(SW_SHOW);
    return TRUE;
}

void CWnd::CreateBacking(const CREATESTRUCT& cs, CWnd* parent)
{
    // A window that computes its own non-client area gets a widget with one.
    if (FindMessageEntry(WM_NCCALCSIZE, 0, 0)) {
        const bool child = (cs.style & static_cast<LONG>(WS_CHILD)) != 0;
        auto* widget = new NonClientWidget(child ? ClientOf(parent) : nullptr);
        if (!child && parent)
            widget->setParent(WidgetOf(parent), Qt::Tool | Qt::FramelessWindowHint);
        auto backing = std::make_unique<WindowBacking>();
        backing->widget = widget;
        backing->client = widget->Client();
        Attach(std::move(backing));
        return;
    }
    Attach(CreateWidgetForClass(cs, parent));
}

void CWnd::Attach(std::unique_ptr<WindowBacking> backing)
{
    m_backing = std::move(backing);
}

BOOL CWnd::DestroyWindow()
{
    if (WindowTable::Lookup(m_hWnd) != this)
        return FALSE;
    QWidget* widget = WidgetOf(this);
    // Children go first, deepest first, each with its own WM_DESTROY.
    std::vector<HWND> descendants;
    if (widget) {
        for (QWidget* child : widget->findChildren<QWidget*>()) {
            if (CWnd* w = WindowOfWidget(child))
                descendants.push_back(w->m_hWnd);
        }
    }
    for (auto it = descendants.rbegin(); it != descendants.rend(); ++it) {
        if (CWnd* child = WindowTable::Lookup(*it))
            child->DestroyWindow();
    }
    SendMessage(WM_DESTROY);
    m_currentMsg = nullptr;
    Timers::KillAll(m_hWnd);
    if (AfxGetMainWnd() == this)
        AfxSetMainWnd(nullptr);
    WindowTable::Remove(m_hWnd);
    m_hWnd = HWND();
    if (widget) {
        widget->hide();
        widget->setProperty(kHandleProperty, QVariant());
        widget->deleteLater();
    }
    m_backing.reset();
    PostNcDestroy();
    return TRUE;
}

BOOL CWnd::PreCreateWindow(CREATESTRUCT&)
{
    return TRUE;
}

BOOL CWnd::PreTranslateMessage(MSG*)
{
    return FALSE;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    MSG msg { m_hWnd, message, wParam, lParam };
    const MSG* outer = m_currentMsg;
    m_currentMsg = &msg;
    LRESULT result = 0;
    if (message == WM_COMMAND) {
        result = OnCommand(wParam, lParam) ? 0 : DefWindowProc(message, wParam, lParam);
    } else if (message == WM_NOTIFY) {
        LRESULT notifyResult = 0;
        result
            = OnNotify(wParam, lParam, &notifyResult) ? notifyResult : DefWindowProc(message, wParam, lParam);
    } else if (const AFX_MSGMAP_ENTRY* entry = FindMessageEntry(message, 0, 0)) {
        result = entry->pfn(this, wParam, lParam);
    } else {
        result = DefWindowProc(message, wParam, lParam);
    }
    // A handler may have destroyed the window, and with it this object.
    if (WindowTable::Lookup(msg.hwnd) == this)
        m_currentMsg = outer;
    return result;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM, LPARAM lParam)
{
    switch (message) {
    case WM_CLOSE:
        DestroyWindow();
        return 0;
    case WM_NCHITTEST:
        return HTCLIENT;
    case WM_SETTEXT:
        if (QWidget* widget = WidgetOf(this))
            SetWidgetText(widget, ToQString(CString(reinterpret_cast<LPCSTR>(lParam))));
        return TRUE;
    default:
        return 0;
    }
}

LRESULT CWnd::Default()
{
    return m_currentMsg ? DefWindowProc(m_currentMsg->message, m_currentMsg->wParam, m_currentMsg->lParam)
                        : 0;
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM)
{
    return OnCmdMsg(LOWORD(wParam), HIWORD(wParam), WM_COMMAND, 0);
}

BOOL CWnd::OnNotify(WPARAM, LPARAM lParam, LRESULT* pResult)
{
    auto* header = reinterpret_cast<NMHDR*>(lParam);
    // Notifications are reflected to the control that sent them.
    CWnd* from = FromHandle(header->hwndFrom);
    if (!from)
        return FALSE;
    NotifyPayload payload { header, pResult };
    const AFX_MSGMAP_ENTRY* entry = from->FindMessageEntry(WM_REFLECT_NOTIFY, header->code, 0);
    if (!entry)
        return FALSE;
    entry->pfn(from, 0, reinterpret_cast<LPARAM>(&payload));
    return TRUE;
}

void CWnd::PostNcDestroy()
{
}

int CWnd::OnCreate(CREATESTRUCT*)
{
    return 0;
}

void CWnd::OnClose()
{
    Default();
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    return SendMessageA(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    return PostMessageA(m_hWnd, message, wParam, lParam);
}

CWnd* CWnd::GetParent() const
{
    const QWidget* widget = WidgetOf(this);
    for (QWidget* p = widget ? widget->parentWidget() : nullptr; p; p = p->parentWidget()) {
        if (CWnd* w = WindowOfWidget(p))
            return w;
    }
    return nullptr;
}

CWnd* CWnd::GetWindow(UINT nCmd) const
{
    const QWidget* client = ClientOf(this);
    if (nCmd != GW_CHILD || !client)
        return nullptr;
    for (QObject* child : client->children()) {
        if (CWnd* w = WindowOfWidget(qobject_cast<QWidget*>(child)))
            return w;
    }
    return nullptr;
}

CWnd* CWnd::GetDlgItem(int nID) const
{
    const QWidget* widget = WidgetOf(this);
    if (!widget)
        return nullptr;
    for (QWidget* child : widget->findChildren<QWidget*>()) {
        CWnd* w = WindowOfWidget(child);
        if (w && w->GetParent() == this && static_cast<int>(w->m_nID) == nID)
            return w;
    }
    return nullptr;
}

int CWnd::GetDlgCtrlID() const
{
    return static_cast<int>(m_nID);
}

void CWnd::SetDlgCtrlID(int nID)
{
    m_nID = static_cast<UINT>(nID);
}

void CWnd::SetWindowText(LPCSTR text)
{
    const CString copy(text ? text : "");
    SendMessage(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(copy.GetString()));
}

CString CWnd::GetWindowText() const
{
    const QWidget* widget = WidgetOf(this);
    return widget ? FromQString(WidgetText(widget)) : CString();
}

BOOL CWnd::EnableWindow(BOOL enable)
{
    QWidget* widget = WidgetOf(this);
    if (!widget)
        return FALSE;
    const BOOL wasDisabled = !widget->isEnabled();
    widget->setEnabled(enable != FALSE);
    return wasDisabled;
}

BOOL CWnd::IsWindowEnabled() const
{
    const QWidget* widget = WidgetOf(this);
    return widget && widget->isEnabled();
}

BOOL CWnd::ShowWindow(int nCmdShow)
{
    QWidget* widget = WidgetOf(this);
    if (!widget)
        return FALSE;
    const BOOL wasVisible = widget->isVisible();
    if (!widget->isWindow() && (nCmdShow == SW_HIDE || nCmdShow == SW_SHOW || nCmdShow == SW_SHOWNORMAL)) {
        const UINT flags = SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER
            | (nCmdShow == SW_HIDE ? SWP_HIDEWINDOW : SWP_SHOWWINDOW);
        SetWindowPos(nullptr, 0, 0, 0, 0, flags);
        return wasVisible;
    }
    switch (nCmdShow) {
    case SW_HIDE:
        widget->hide();
        m_dwWindowStyle &= ~WS_VISIBLE;
        break;
    case SW_SHOWMAXIMIZED:
        // Without a window manager nothing maximises a window: give it the
        // screen's available area first.
        if (widget->isWindow() && widget->screen())
            widget->setGeometry(widget->screen()->availableGeometry());
        widget->showMaximized();
        m_dwWindowStyle |= WS_VISIBLE;
        break;
    case SW_SHOWMINIMIZED:
        widget->showMinimized();
        m_dwWindowStyle |= WS_VISIBLE;
        break;
    default:
        widget->show();
        m_dwWindowStyle |= WS_VISIBLE;
        break;
    }
    return wasVisible;
}

BOOL CWnd::IsWindowVisible() const
{
    const QWidget* widget = WidgetOf(this);
    return widget && widget->isVisible();
}

BOOL CWnd::IsZoomed() const
{
    const QWidget* widget = WidgetOf(this);
    return widget && widget->isMaximized();
}

void CWnd::UpdateWindow()
{
    if (QWidget* widget = WidgetOf(this))
        widget->update();
}

void CWnd::Invalidate(BOOL)
{
    UpdateWindow();
}

CWnd* CWnd::SetFocus()
{
    CWnd* previous = GetFocus();
    if (QWidget* widget = WidgetOf(this))
        widget->setFocus(Qt::OtherFocusReason);
    return previous;
}

CWnd* CWnd::GetFocus()
{
    for (QWidget* w = QApplication::focusWidget(); w; w = w->parentWidget()) {
        if (CWnd* wnd = WindowOfWidget(w))
            return wnd;
    }
    return nullptr;
}

UINT_PTR CWnd::SetTimer(UINT_PTR nIDEvent, UINT nElapse, void*)
{
    return Timers::Set(m_hWnd, nIDEvent, nElapse);
}

BOOL CWnd::KillTimer(UINT_PTR nIDEvent)
{
    return Timers::Kill(m_hWnd, nIDEvent);
}

int CWnd::MessageBox(LPCSTR text, LPCSTR caption, UINT type)
{
    return AfxShowMessageBox(m_hWnd, CString(text), caption ? CString(caption) : AfxGetAppName(), type);
}

CFont* CWnd::GetFont() const
{
    if (!m_font)
        m_font = std::make_unique<CFont>();
    if (const QWidget* widget = WidgetOf(this))
        m_font->Data()->font = widget->font();
    return m_font.get();
}

void CWnd::SetFont(CFont* font)
{
    if (QWidget* widget = WidgetOf(this); widget && font)
        widget->setFont(font->Data()->font);
}
