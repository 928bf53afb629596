// CWnd's geometry, position, style, parent, redrawing and device contexts.
#include "framework/window/CWnd.h"

#include <QApplication>
#include <QWidget>

#include "framework/window/WindowTable.h"
#include "framework/window/private/NonClientWidget.h"
#include "framework/window/private/WidgetFactory.h"
#include "framework/window/private/WindowBacking.h"

void CWnd::GetClientRect(RECT* rect) const
{
    const QWidget* client = ClientOf(this);
    *rect = client ? RECT { 0, 0, client->width(), client->height() } : RECT {};
}

void CWnd::GetWindowRect(RECT* rect) const
{
    const QWidget* widget = WidgetOf(this);
    if (!widget) {
        *rect = RECT {};
        return;
    }
    const QRect frame = widget->isWindow() ? widget->frameGeometry() : widget->geometry();
    const QPoint origin = widget->isWindow() ? frame.topLeft() : widget->mapToGlobal(QPoint(0, 0));
    *rect = RECT { origin.x(), origin.y(), origin.x() + frame.width(), origin.y() + frame.height() };
}

void CWnd::MoveWindow(int x, int y, int width, int height, BOOL)
{
    SetWindowPos(nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

BOOL CWnd::SetWindowPos(const CWnd*, int x, int y, int cx, int cy, UINT nFlags)
{
    QWidget* widget = WidgetOf(this);
    if (!widget)
        return FALSE;
    WINDOWPOS pos;
    pos.hwnd = m_hWnd;
    pos.x = x;
    pos.y = y;
    pos.cx = cx;
    pos.cy = cy;
    pos.flags = nFlags;
    SendMessage(WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&pos));
    if (!WindowTable::IsWindow(pos.hwnd) || !WidgetOf(this))
        return FALSE;
    const QRect now = widget->isWindow() ? widget->frameGeometry() : widget->geometry();
    const QPoint at = (pos.flags & SWP_NOMOVE) ? now.topLeft() : QPoint(pos.x, pos.y);
    const QSize size
        = (pos.flags & SWP_NOSIZE) ? now.size() : QSize(std::max(pos.cx, 0), std::max(pos.cy, 0));
    const bool changed = at != now.topLeft() || size != now.size();
    if (changed) {
        if (widget->isWindow()) {
            widget->move(at);
            widget->resize(size);
        } else {
            widget->setGeometry(QRect(at, size));
        }
    }
    if ((pos.flags & SWP_FRAMECHANGED) && size == now.size()) {
        if (auto* nc = dynamic_cast<NonClientWidget*>(widget))
            nc->RecalcFrame();
    }
    if (pos.flags & SWP_SHOWWINDOW) {
        widget->show();
        m_dwWindowStyle |= WS_VISIBLE;
    } else if (pos.flags & SWP_HIDEWINDOW) {
        widget->hide();
        m_dwWindowStyle &= ~WS_VISIBLE;
    }
    return TRUE;
}

BOOL CWnd::ModifyStyle(DWORD remove, DWORD add, UINT nFlags)
{
    const DWORD before = m_dwWindowStyle;
    m_dwWindowStyle = (m_dwWindowStyle & ~remove) | add;
    if (nFlags)
        SetWindowPos(nullptr, 0, 0, 0, 0, nFlags | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
    return before != m_dwWindowStyle;
}

CWnd* CWnd::SetParent(CWnd* pWndNewParent)
{
    CWnd* previous = GetParent();
    QWidget* widget = WidgetOf(this);
    QWidget* client = ClientOf(pWndNewParent);
    if (!widget || !client || widget->parentWidget() == client)
        return previous;
    const bool visible = widget->isVisibleTo(widget->parentWidget() ? widget->parentWidget() : widget);
    const QRect g = widget->geometry();
    widget->setParent(client);
    widget->setGeometry(g);
    widget->setVisible(visible && (m_dwWindowStyle & WS_VISIBLE));
    return previous;
}

BOOL CWnd::RedrawWindow(const RECT*, void*, UINT flags)
{
    QWidget* widget = WidgetOf(this);
    if (!widget)
        return FALSE;
    if (auto* nc = dynamic_cast<NonClientWidget*>(widget))
        nc->MarkDirty();
    if (flags & RDW_UPDATENOW)
        widget->repaint();
    else
        widget->update();
    return TRUE;
}

void CWnd::SendMessageToDescendants(UINT message, WPARAM wParam, LPARAM lParam)
{
    QWidget* widget = WidgetOf(this);
    if (!widget)
        return;
    std::vector<HWND> targets;
    for (QWidget* child : widget->findChildren<QWidget*>()) {
        if (CWnd* w = WindowOfWidget(child))
            targets.push_back(w->m_hWnd);
    }
    for (HWND h : targets)
        SendMessageA(h, message, wParam, lParam);
}

CDC* CWnd::GetWindowDC()
{
    return new CWindowDC(this);
}

CDC* CWnd::GetDCEx(void*, DWORD)
{
    return new CWindowDC(this);
}

int CWnd::ReleaseDC(CDC* pDC)
{
    delete pDC;
    return 1;
}

void CWnd::MoveWindow(const RECT& rect, BOOL repaint)
{
    MoveWindow(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, repaint);
}

void CWnd::ScreenToClient(POINT* point) const
{
    if (const QWidget* client = ClientOf(this)) {
        const QPoint p = client->mapFromGlobal(QPoint(point->x, point->y));
        point->x = p.x();
        point->y = p.y();
    }
}

void CWnd::ClientToScreen(POINT* point) const
{
    if (const QWidget* client = ClientOf(this)) {
        const QPoint p = client->mapToGlobal(QPoint(point->x, point->y));
        point->x = p.x();
        point->y = p.y();
    }
}
