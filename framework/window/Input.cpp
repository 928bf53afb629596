// Mouse capture, mouse-button state, the drag setting and window classes.
#include <QApplication>
#include <QCursor>
#include <QEventLoop>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QWidget>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>

#include "framework/window/CWnd.h"
#include "framework/window/NonClient.h"
#include "framework/window/private/NonClientWidget.h"
#include "framework/window/private/WindowBacking.h"

namespace {

HWND g_capture;

bool FullDragFromEnvironment()
{
    const char* value = std::getenv("BRISQUEL_DRAG_FULL_WINDOWS");
    return value && std::strcmp(value, "1") == 0;
}

bool& FullDrag()
{
    static bool fullDrag = FullDragFromEnvironment();
    return fullDrag;
}

void SendToAll(UINT message, WPARAM wParam, LPARAM lParam)
{
    std::vector<HWND> targets;
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (CWnd* w = WindowOfWidget(top))
            targets.push_back(w->m_hWnd);
        for (QWidget* child : top->findChildren<QWidget*>()) {
            if (CWnd* w = WindowOfWidget(child))
                targets.push_back(w->m_hWnd);
        }
    }
    for (HWND h : targets)
        SendMessageA(h, message, wParam, lParam);
}

// Whether the pointer has been taken away from `holder`, the widget that
// holds it: the window of that widget or the whole application lost
// activation, a popup opened, or another widget grabbed the mouse. Only the
// holder's own window counts: a press that activates another window of the
// program (a floating frame, say) must not end the drag it starts. The
// window system does not always say that a grab was taken, so the grabber
// and the popup are checked on every event.
bool PointerTakenAway(QObject* watched, QEvent* event, const QWidget* holder)
{
    switch (event->type()) {
    case QEvent::WindowDeactivate:
        if (holder && watched == holder->window())
            return true;
        break;
    case QEvent::ApplicationStateChange:
        if (static_cast<QApplicationStateChangeEvent*>(event)->applicationState() != Qt::ApplicationActive)
            return true;
        break;
    default:
        break;
    }
    if (QApplication::activePopupWidget())
        return true;
    const QWidget* grabber = QWidget::mouseGrabber();
    return grabber && grabber != holder;
}

// Keeps the left button as the application's own mouse events last left it
// (the toolkit's global button state is not kept up to date by every
// platform) with the widget it went down on, and takes the capture back from
// its window, as a capture loss, when the pointer is taken away.
class PointerWatcher : public QObject {
public:
    bool leftDown = false;
    QPointer<QWidget> pressed;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        const QEvent::Type type = event->type();
        if (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick
            || type == QEvent::MouseButtonRelease) {
            leftDown = (static_cast<QMouseEvent*>(event)->buttons() & Qt::LeftButton) != 0;
            if (type != QEvent::MouseButtonRelease && watched->isWidgetType())
                pressed = static_cast<QWidget*>(watched);
        }
        if (CWnd* holder = GetCapture(); holder && PointerTakenAway(watched, event, WidgetOf(holder))) {
            // The button's release goes to whoever took the pointer.
            leftDown = false;
            ReleaseCapture();
        }
        return false;
    }
};

PointerWatcher* Watcher()
{
    static PointerWatcher* watcher = nullptr;
    if (!watcher && qApp) {
        watcher = new PointerWatcher;
        watcher->leftDown = (QApplication::mouseButtons() & Qt::LeftButton) != 0;
        qApp->installEventFilter(watcher);
    }
    return watcher;
}

} // namespace

CWnd* GetCapture()
{
    return CWnd::FromHandle(g_capture);
}

CWnd* CWnd::SetCapture()
{
    Watcher(); // from now on, a pointer taken away ends the capture
    CWnd* previous = GetCapture();
    g_capture = m_hWnd;
    if (previous && previous != this) {
        if (QWidget* w = WidgetOf(previous))
            w->releaseMouse();
        previous->SendMessage(WM_CAPTURECHANGED, 0, static_cast<LPARAM>(m_hWnd.value));
    }
    // The previous holder may have released the capture in answer; the
    // toolkit's grab must not outlive it, or every mouse event would go on
    // to this window.
    if (QWidget* w = WidgetOf(this); w && w->isVisible() && GetCapture() == this)
        w->grabMouse();
    return previous;
}

BOOL ReleaseCapture()
{
    CWnd* holder = GetCapture();
    g_capture = HWND();
    if (holder) {
        if (QWidget* w = WidgetOf(holder))
            w->releaseMouse();
        holder->SendMessage(WM_CAPTURECHANGED, 0, 0);
    }
    return TRUE;
}

short GetKeyState(int nVirtKey)
{
    PointerWatcher* watcher = Watcher();
    if (nVirtKey == VK_LBUTTON && watcher && watcher->leftDown)
        return static_cast<short>(0x8000);
    // The modifiers as of the input event being handled, like the classic
    // state of the message being handled.
    const Qt::KeyboardModifiers modifiers = QApplication::keyboardModifiers();
    if ((nVirtKey == VK_SHIFT && (modifiers & Qt::ShiftModifier))
        || (nVirtKey == VK_CONTROL && (modifiers & Qt::ControlModifier)))
        return static_cast<short>(0x8000);
    return 0;
}

BOOL SetCursorPos(int x, int y)
{
    QCursor::setPos(x, y);
    return TRUE;
}

std::vector<CRect> AfxGetInvertedRects(CWnd* wnd)
{
    std::vector<CRect> rects;
    QWidget* widget = WidgetOf(wnd);
    if (!widget)
        return rects;
    for (const QRect& r : TrackerOverlayOf(widget)->Rects())
        rects.emplace_back(r.left(), r.top(), r.left() + r.width(), r.top() + r.height());
    return rects;
}

BOOL SystemParametersInfo(UINT uiAction, UINT uiParam, void* pvParam, UINT)
{
    switch (uiAction) {
    case SPI_GETDRAGFULLWINDOWS:
        if (!pvParam)
            return FALSE;
        *static_cast<BOOL*>(pvParam) = FullDrag() ? TRUE : FALSE;
        return TRUE;
    case SPI_SETDRAGFULLWINDOWS:
        FullDrag() = uiParam != 0;
        SendToAll(WM_SETTINGCHANGE, SPI_SETDRAGFULLWINDOWS, 0);
        return TRUE;
    default:
        return FALSE;
    }
}

LPCSTR AfxRegisterWndClass(UINT nClassStyle, int hCursor, int nBackgroundColor, int hIcon)
{
    // Names are kept for the life of the process; a class is only a name
    // here, the window's widget takes its looks from its window object.
    static std::map<std::string, std::string> names;
    const std::string name = "Afx:" + std::to_string(nClassStyle) + ":" + std::to_string(hCursor) + ":"
        + std::to_string(nBackgroundColor) + ":" + std::to_string(hIcon);
    return names.emplace(name, name).first->second.c_str();
}

namespace {

class TrackFilter : public QObject {
public:
    TrackFilter(QEventLoop& loop, const std::function<void(CPoint)>& onMove, QWidget* pressed)
        : m_loop(loop)
        , m_onMove(onMove)
        , m_pressed(pressed)
    {
    }
    BOOL released = FALSE;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        // A modal box opened meanwhile (a close confirmation, say) needs the
        // mouse and the keys, and a pointer taken away will not come back
        // with the button down: the tracking ends, cancelled.
        if (QApplication::activeModalWidget() || PointerTakenAway(watched, event, m_pressed)) {
            m_loop.quit();
            return false;
        }
        switch (event->type()) {
        case QEvent::MouseMove: {
            const QPoint p = static_cast<QMouseEvent*>(event)->globalPosition().toPoint();
            m_onMove(CPoint(p.x(), p.y()));
            return true;
        }
        case QEvent::MouseButtonRelease:
            if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
                released = TRUE;
                m_loop.quit();
            }
            return true;
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
            if (static_cast<QMouseEvent*>(event)->button() == Qt::RightButton)
                m_loop.quit();
            return true;
        case QEvent::KeyPress:
            if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape)
                m_loop.quit();
            return true;
        default:
            return false;
        }
    }

private:
    QEventLoop& m_loop;
    const std::function<void(CPoint)>& m_onMove;
    QPointer<QWidget> m_pressed; // the pointer is its window's while the button is down
};

} // namespace

BOOL AfxTrackMouse(const std::function<void(CPoint)>& onMove)
{
    if (GetKeyState(VK_LBUTTON) >= 0)
        return FALSE;
    QEventLoop loop;
    TrackFilter filter(loop, onMove, Watcher()->pressed);
    qApp->installEventFilter(&filter);
    loop.exec();
    qApp->removeEventFilter(&filter);
    return filter.released;
}
