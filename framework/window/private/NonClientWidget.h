// Framework-private: the widget of a window with a non-client area, the
// overlay that shows inverted trackers over a top-level window, and what the
// drawing objects hold.
#pragma once

#include <QBrush>
#include <QImage>
#include <QPainter>
#include <QPointer>
#include <QRegion>
#include <QWidget>
#include <memory>
#include <vector>

#include "framework/window/CDC.h"
#include "framework/window/private/WindowBacking.h"

struct BrushData {
    QBrush brush;
};

struct BitmapData {
    QImage image;
};

class NonClientWidget;
class TrackerOverlay;

struct DcData {
    QImage* image = nullptr; // the surface drawn on, if any
    // Device pixels per unit of the DC's coordinates: drawing is in the
    // logical pixels that windows are placed in, the surfaces carry the
    // screen's pixels, so a scaled screen gets full-resolution drawing.
    qreal pixelRatio = 1.0;
    QPointer<NonClientWidget> owner; // a window DC: the widget to refresh afterwards
    QPointer<TrackerOverlay> overlay; // a frame's window DC: trackers only
    QPoint windowOrigin; // screen position of the window's top-left (overlay DCs)
    std::unique_ptr<QPainter> painter;
    QRegion clip;
    CBitmap* bitmap = nullptr;
    CFont* font = nullptr;
    CBrush* brush = nullptr;
    COLORREF textColor = 0;
    int bkMode = OPAQUE;

    void Begin(QImage* surface);
    void End();
};

// A surface of `logical` size in the DC's coordinates, `pixelRatio` device
// pixels to each of them, and the device pixels it has.
QImage CreateSurface(const QSize& logical, qreal pixelRatio);
QSize SurfacePixels(const QSize& logical, qreal pixelRatio);

// A window whose widget has a non-client area: the outer widget is the
// window, an inner widget is its client area and holds the child windows.
// The non-client area is drawn into an image by WM_NCPAINT (through a window
// DC) and shown from it; mouse input outside the client widget is hit-tested
// with WM_NCHITTEST, shows the pointer shape of the part hit and is delivered
// as non-client or client messages.
class NonClientWidget : public QWidget {
public:
    explicit NonClientWidget(QWidget* parent);

    QWidget* Client() const { return m_client; }
    QImage& Surface();
    // Asks the window for its client rectangle and places the client widget.
    void RecalcFrame();
    // The image changed outside a paint: show it.
    void SurfaceChanged();
    void MarkDirty();

    // Mouse routing shared with the client widget.
    void RouteMouse(QMouseEvent* event, bool doubleClick);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    QWidget* m_client;
    QImage m_surface;
    bool m_dirty = true;
    bool m_inPaint = false;
};

// Inverted rectangles over a top-level window, in screen coordinates.
class TrackerOverlay : public QWidget {
public:
    explicit TrackerOverlay(QWidget* topLevel);
    void Invert(const QRect& screenRect);
    const std::vector<QRect>& Rects() const { return m_rects; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::vector<QRect> m_rects;
};

// The overlay of the top-level window of `widget`, created on first use.
TrackerOverlay* TrackerOverlayOf(QWidget* widget);
