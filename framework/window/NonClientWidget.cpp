#include "framework/window/private/NonClientWidget.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QResizeEvent>

#include "framework/window/NonClient.h"

namespace {

// The client area of a non-client widget; mouse input on it that no child
// window takes is the window's client input.
class ClientAreaWidget : public QWidget {
public:
    ClientAreaWidget(NonClientWidget* outer)
        : QWidget(outer)
        , m_outer(outer)
    {
        setMouseTracking(true);
        // The window's own pointer: child windows without one of their own
        // show it, not the resize shape the border last took.
        setCursor(Qt::ArrowCursor);
    }

protected:
    void mousePressEvent(QMouseEvent* e) override { m_outer->RouteMouse(e, false); }
    void mouseReleaseEvent(QMouseEvent* e) override { m_outer->RouteMouse(e, false); }
    void mouseMoveEvent(QMouseEvent* e) override { m_outer->RouteMouse(e, false); }
    void mouseDoubleClickEvent(QMouseEvent* e) override { m_outer->RouteMouse(e, true); }
    void resizeEvent(QResizeEvent* e) override
    {
        QWidget::resizeEvent(e);
        NotifyResized(m_outer);
    }

private:
    NonClientWidget* m_outer;
};

UINT ClientMessage(const QMouseEvent* e, bool doubleClick)
{
    switch (e->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        if (e->button() == Qt::RightButton)
            return WM_RBUTTONDOWN;
        return doubleClick ? WM_LBUTTONDBLCLK : WM_LBUTTONDOWN;
    case QEvent::MouseButtonRelease:
        return e->button() == Qt::LeftButton ? WM_LBUTTONUP : 0;
    case QEvent::MouseMove:
        return WM_MOUSEMOVE;
    default:
        return 0;
    }
}

UINT NonClientMessage(const QMouseEvent* e, bool doubleClick)
{
    if (e->button() == Qt::RightButton)
        return 0;
    switch (e->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        return doubleClick ? WM_NCLBUTTONDBLCLK : WM_NCLBUTTONDOWN;
    case QEvent::MouseButtonRelease:
        return WM_NCLBUTTONUP;
    case QEvent::MouseMove:
        return WM_NCMOUSEMOVE;
    default:
        return 0;
    }
}

// The pointer over each part of a window's frame, as desktop users know it
// from any window border: resize arrows over sizing edges and corners.
Qt::CursorShape CursorShapeOfHit(int hit)
{
    switch (hit) {
    case HTLEFT:
    case HTRIGHT:
        return Qt::SizeHorCursor;
    case HTTOP:
    case HTBOTTOM:
        return Qt::SizeVerCursor;
    case HTTOPLEFT:
    case HTBOTTOMRIGHT:
        return Qt::SizeFDiagCursor;
    case HTTOPRIGHT:
    case HTBOTTOMLEFT:
        return Qt::SizeBDiagCursor;
    default:
        return Qt::ArrowCursor;
    }
}

WPARAM KeyState()
{
    return (QApplication::mouseButtons() & Qt::LeftButton) ? MK_LBUTTON : 0;
}

} // namespace

NonClientWidget::NonClientWidget(QWidget* parent)
    : QWidget(parent)
    , m_client(new ClientAreaWidget(this))
{
    setMouseTracking(true);
    m_client->setAutoFillBackground(true);
    QPalette palette = m_client->palette();
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    palette.setColor(QPalette::Window, QColor(GetRValue(face), GetGValue(face), GetBValue(face)));
    m_client->setPalette(palette);
}

QImage& NonClientWidget::Surface()
{
    // The window's size in its screen's pixels: drawn in logical pixels, shown
    // without scaling. A move to a screen of another scale makes a new one.
    const qreal ratio = devicePixelRatioF();
    if (m_surface.devicePixelRatio() != ratio || m_surface.size() != SurfacePixels(size(), ratio)) {
        m_surface = CreateSurface(size(), ratio);
        m_surface.fill(palette().color(QPalette::Window));
        m_dirty = true;
    }
    return m_surface;
}

void NonClientWidget::RecalcFrame()
{
    CWnd* wnd = WindowOfWidget(this);
    const QRect g = isWindow() ? frameGeometry() : geometry();
    NCCALCSIZE_PARAMS params;
    params.rgrc[0] = RECT { g.left(), g.top(), g.left() + g.width(), g.top() + g.height() };
    if (wnd)
        wnd->SendMessage(WM_NCCALCSIZE, TRUE, reinterpret_cast<LPARAM>(&params));
    const RECT& c = params.rgrc[0];
    const QRect client(c.left - g.left(), c.top - g.top(), std::max<int>(0, c.right - c.left),
        std::max<int>(0, c.bottom - c.top));
    MarkDirty();
    if (m_client->geometry() != client)
        m_client->setGeometry(client); // its resize tells the window (WM_SIZE)
}

void NonClientWidget::MarkDirty()
{
    m_dirty = true;
    update();
}

void NonClientWidget::SurfaceChanged()
{
    if (!m_inPaint)
        update();
}

void NonClientWidget::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    RecalcFrame();
}

void NonClientWidget::paintEvent(QPaintEvent*)
{
    m_inPaint = true;
    Surface();
    if (m_dirty) {
        m_dirty = false;
        if (CWnd* wnd = WindowOfWidget(this))
            wnd->SendMessage(WM_NCPAINT);
    }
    QPainter p(this);
    p.drawImage(0, 0, m_surface);
    m_inPaint = false;
}

void NonClientWidget::closeEvent(QCloseEvent* event)
{
    event->ignore();
    NotifyCloseRequested(this);
}

void NonClientWidget::RouteMouse(QMouseEvent* event, bool doubleClick)
{
    CWnd* wnd = WindowOfWidget(this);
    if (!wnd)
        return;
    const HWND self = wnd->m_hWnd;
    const QPoint global = event->globalPosition().toPoint();
    const QPoint local = m_client->mapFromGlobal(global);
    const LPARAM clientPoint = PointToLParam(CPoint(local.x(), local.y()));
    if (GetCapture() == wnd) {
        if (const UINT msg = ClientMessage(event, doubleClick))
            wnd->SendMessage(msg, KeyState(), clientPoint);
        return;
    }
    const LPARAM screenPoint = PointToLParam(CPoint(global.x(), global.y()));
    const int hit = static_cast<int>(wnd->SendMessage(WM_NCHITTEST, 0, screenPoint));
    if (!CWnd::FromHandle(self))
        return;
    // Kept as it is while the window holds the capture, so a drag shows the
    // shape it started with wherever the pointer goes.
    if (const Qt::CursorShape shape = CursorShapeOfHit(hit); cursor().shape() != shape)
        setCursor(shape);
    if (hit == HTCLIENT) {
        if (const UINT msg = ClientMessage(event, doubleClick))
            wnd->SendMessage(msg, KeyState(), clientPoint);
    } else if (const UINT msg = NonClientMessage(event, doubleClick)) {
        wnd->SendMessage(msg, static_cast<WPARAM>(hit), screenPoint);
    }
}

void NonClientWidget::mousePressEvent(QMouseEvent* event)
{
    RouteMouse(event, false);
}

void NonClientWidget::mouseReleaseEvent(QMouseEvent* event)
{
    RouteMouse(event, false);
}

void NonClientWidget::mouseMoveEvent(QMouseEvent* event)
{
    RouteMouse(event, false);
}

void NonClientWidget::mouseDoubleClickEvent(QMouseEvent* event)
{
    RouteMouse(event, true);
}

TrackerOverlay::TrackerOverlay(QWidget* topLevel)
    : QWidget(topLevel)
{
    setObjectName(QStringLiteral("brisquelTrackerOverlay"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    hide();
}

void TrackerOverlay::Invert(const QRect& screenRect)
{
    // Inverting a rectangle that is shown removes it: XOR twice restores.
    auto it = std::find(m_rects.begin(), m_rects.end(), screenRect);
    if (it != m_rects.end())
        m_rects.erase(it);
    else
        m_rects.push_back(screenRect);
    QWidget* top = parentWidget();
    setGeometry(0, 0, top->width(), top->height());
    raise();
    setVisible(!m_rects.empty());
    update();
}

void TrackerOverlay::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::NonCosmeticBrushPatterns); // the pattern scales with the screen
    p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    for (const QRect& r : m_rects)
        p.fillRect(QRect(mapFromGlobal(r.topLeft()), r.size()), QBrush(Qt::white, Qt::Dense4Pattern));
}

TrackerOverlay* TrackerOverlayOf(QWidget* widget)
{
    QWidget* top = widget->window();
    if (auto* existing = top->findChild<TrackerOverlay*>(
            QStringLiteral("brisquelTrackerOverlay"), Qt::FindDirectChildrenOnly))
        return existing;
    return new TrackerOverlay(top);
}
