// The mouse as the window system hands it to the program: each event goes to
// a top-level window at a point, and the toolkit passes it on to the widget
// under the pointer, or to the one holding the mouse. Points are screen
// coordinates; a press stays down for the moves that follow until released.
#pragma once

#include <QTest>
#include <QWindow>

#include "framework/window/private/WindowBacking.h"

namespace toolkit_mouse {

// The top-level window that `wnd` lies in.
inline QWindow* TopLevelOf(CWnd* wnd)
{
    return WidgetOf(wnd)->window()->windowHandle();
}

inline QPoint InWindow(QWindow* window, CPoint pt)
{
    return window->mapFromGlobal(QPoint(pt.x, pt.y));
}

inline void Move(CWnd* wnd, CPoint pt)
{
    QWindow* window = TopLevelOf(wnd);
    QTest::mouseMove(window, InWindow(window, pt));
}

inline void Press(CWnd* wnd, CPoint pt, Qt::MouseButton button = Qt::LeftButton)
{
    QWindow* window = TopLevelOf(wnd);
    QTest::mousePress(window, button, {}, InWindow(window, pt));
}

inline void Release(CWnd* wnd, CPoint pt, Qt::MouseButton button = Qt::LeftButton)
{
    QWindow* window = TopLevelOf(wnd);
    QTest::mouseRelease(window, button, {}, InWindow(window, pt));
}

// The pointer shape the toolkit asks the window system to show over the top-
// level window of `wnd`.
inline Qt::CursorShape PointerShape(CWnd* wnd)
{
    return TopLevelOf(wnd)->cursor().shape();
}

} // namespace toolkit_mouse
