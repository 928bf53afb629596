// Drawing device contexts over QPainter: window DCs of non-client widgets,
// memory DCs over images, and the tracker overlay of top-level windows.
#include <QApplication>
#include <QScreen>
#include <QtMath>

#include "framework/window/CDC.h"
#include "framework/window/CWnd.h"
#include "framework/window/private/FontData.h"
#include "framework/window/private/NonClientWidget.h"

namespace {

QColor ToQColor(COLORREF c)
{
    return QColor(GetRValue(c), GetGValue(c), GetBValue(c));
}

QRect ToQRect(const RECT& r)
{
    return QRect(QPoint(r.left, r.top), QSize(r.right - r.left, r.bottom - r.top));
}

} // namespace

COLORREF GetSysColor(int nIndex)
{
    // The classic light scheme: the bars look the same on every desktop.
    switch (nIndex) {
    case COLOR_BTNFACE:
        return RGB(240, 240, 240);
    case COLOR_BTNSHADOW:
        return RGB(160, 160, 160);
    case COLOR_BTNHIGHLIGHT:
        return RGB(255, 255, 255);
    case COLOR_BTNTEXT:
        return RGB(0, 0, 0);
    case COLOR_WINDOW:
        return RGB(255, 255, 255);
    case COLOR_WINDOWFRAME:
        return RGB(100, 100, 100);
    case COLOR_ACTIVECAPTION:
        return RGB(153, 180, 209);
    case COLOR_CAPTIONTEXT:
        return RGB(0, 0, 0);
    default:
        return RGB(0, 0, 0);
    }
}

CBrush::CBrush()
    : m_data(std::make_unique<BrushData>())
{
}

CBrush::CBrush(COLORREF color)
    : CBrush()
{
    m_data->brush = QBrush(ToQColor(color));
}

CBrush::~CBrush() = default;

CBrush* GetSysColorBrush(int nIndex)
{
    static std::vector<std::unique_ptr<CBrush>> brushes(32);
    auto& slot = brushes.at(static_cast<std::size_t>(nIndex) & 31);
    if (!slot)
        slot = std::make_unique<CBrush>(GetSysColor(nIndex));
    return slot.get();
}

CBitmap::CBitmap()
    : m_data(std::make_unique<BitmapData>())
{
}

CBitmap::~CBitmap() = default;

QSize SurfacePixels(const QSize& logical, qreal pixelRatio)
{
    return QSize(
        qCeil(std::max(logical.width(), 1) * pixelRatio), qCeil(std::max(logical.height(), 1) * pixelRatio));
}

QImage CreateSurface(const QSize& logical, qreal pixelRatio)
{
    QImage surface(SurfacePixels(logical, pixelRatio), QImage::Format_RGB32);
    surface.setDevicePixelRatio(pixelRatio);
    return surface;
}

BOOL CBitmap::CreateCompatibleBitmap(const CDC* pDC, int width, int height)
{
    if (width < 0 || height < 0)
        return FALSE;
    // As many device pixels as the DC it is compatible with has, so that
    // copying it there is one pixel to one pixel.
    const qreal ratio = pDC ? pDC->Data()->pixelRatio : qApp->devicePixelRatio();
    m_data->image = CreateSurface(QSize(width, height), ratio);
    m_data->image.fill(Qt::black);
    return TRUE;
}

void DcData::Begin(QImage* surface)
{
    End();
    image = surface;
    if (!image || image->isNull())
        return;
    pixelRatio = image->devicePixelRatio();
    painter = std::make_unique<QPainter>(image);
    // Patterns (the tracker's halftone) scale with the drawing like
    // everything else instead of staying one device pixel fine.
    painter->setRenderHint(QPainter::NonCosmeticBrushPatterns);
    clip = QRegion(QRectF(QPointF(0, 0), image->deviceIndependentSize()).toAlignedRect());
}

void DcData::End()
{
    painter.reset();
    image = nullptr;
}

CDC::CDC()
    : m_data(std::make_unique<DcData>())
{
}

CDC::~CDC()
{
    m_data->End();
}

BOOL CDC::CreateCompatibleDC(CDC* pDC)
{
    m_data->End();
    m_data->pixelRatio = pDC ? pDC->m_data->pixelRatio : qApp->devicePixelRatio();
    return TRUE;
}

BOOL CDC::DeleteDC()
{
    m_data->End();
    m_data->bitmap = nullptr;
    return TRUE;
}

CBitmap* CDC::SelectObject(CBitmap* bitmap)
{
    CBitmap* previous = m_data->bitmap;
    m_data->bitmap = bitmap;
    m_data->Begin(bitmap ? &bitmap->Data()->image : nullptr);
    return previous;
}

CFont* CDC::SelectObject(CFont* font)
{
    CFont* previous = m_data->font;
    m_data->font = font;
    return previous;
}

CBrush* CDC::SelectObject(CBrush* brush)
{
    CBrush* previous = m_data->brush;
    m_data->brush = brush;
    return previous;
}

void CDC::FillRect(const RECT& rect, CBrush* brush)
{
    if (m_data->painter && brush)
        m_data->painter->fillRect(ToQRect(rect), brush->Data()->brush);
}

void CDC::FillSolidRect(const RECT& rect, COLORREF color)
{
    if (m_data->painter)
        m_data->painter->fillRect(ToQRect(rect), ToQColor(color));
}

void CDC::Draw3dRect(const RECT& rect, COLORREF clrTopLeft, COLORREF clrBottomRight)
{
    const int w = rect.right - rect.left;
    const int h = rect.bottom - rect.top;
    if (!m_data->painter || w <= 0 || h <= 0)
        return;
    QPainter& p = *m_data->painter;
    // Top and left lines in one colour, bottom and right in the other, each
    // one pixel wide, the bottom-right corner pixel belonging to the second.
    p.fillRect(QRect(rect.left, rect.top, w - 1, 1), ToQColor(clrTopLeft));
    p.fillRect(QRect(rect.left, rect.top, 1, h - 1), ToQColor(clrTopLeft));
    p.fillRect(QRect(rect.right - 1, rect.top, 1, h), ToQColor(clrBottomRight));
    p.fillRect(QRect(rect.left, rect.bottom - 1, w, 1), ToQColor(clrBottomRight));
}

void CDC::SetPixel(int x, int y, COLORREF color)
{
    if (m_data->painter)
        m_data->painter->fillRect(QRect(x, y, 1, 1), ToQColor(color));
}

COLORREF CDC::SetTextColor(COLORREF color)
{
    const COLORREF previous = m_data->textColor;
    m_data->textColor = color;
    return previous;
}

int CDC::SetBkMode(int mode)
{
    const int previous = m_data->bkMode;
    m_data->bkMode = mode;
    return previous;
}

BOOL CDC::TextOut(int x, int y, const CString& text)
{
    if (!m_data->painter)
        return FALSE;
    QPainter& p = *m_data->painter;
    p.setFont(m_data->font ? m_data->font->Data()->font : QApplication::font());
    p.setPen(ToQColor(m_data->textColor));
    const QFontMetrics fm(p.font());
    p.drawText(QPoint(x, y + fm.ascent()), ToQString(text));
    return TRUE;
}

int CDC::IntersectClipRect(const RECT& rect)
{
    m_data->clip &= ToQRect(rect);
    if (m_data->painter)
        m_data->painter->setClipRegion(m_data->clip);
    return m_data->clip.isEmpty() ? 1 : 2;
}

int CDC::ExcludeClipRect(const RECT& rect)
{
    m_data->clip -= ToQRect(rect);
    if (m_data->painter)
        m_data->painter->setClipRegion(m_data->clip);
    return m_data->clip.isEmpty() ? 1 : 2;
}

BOOL CDC::BitBlt(int x, int y, int width, int height, CDC* src, int xSrc, int ySrc, DWORD rop)
{
    if (rop != SRCCOPY || !m_data->painter || !src || !src->m_data->image)
        return FALSE;
    // The source rectangle of an image is in its own device pixels.
    const qreal ratio = src->m_data->image->devicePixelRatio();
    m_data->painter->drawImage(QRectF(x, y, width, height), *src->m_data->image,
        QRectF(xSrc * ratio, ySrc * ratio, width * ratio, height * ratio));
    return TRUE;
}

BOOL CDC::PatBlt(int x, int y, int width, int height, DWORD rop)
{
    if (rop != PATINVERT)
        return FALSE;
    const QRect rect(x, y, width, height);
    if (m_data->overlay) {
        m_data->overlay->Invert(rect.translated(m_data->windowOrigin));
        return TRUE;
    }
    if (!m_data->painter)
        return FALSE;
    QPainter& p = *m_data->painter;
    p.save();
    p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    QBrush brush = m_data->brush ? m_data->brush->Data()->brush : QBrush(Qt::white);
    brush.setColor(Qt::white);
    p.fillRect(rect, brush);
    p.restore();
    return TRUE;
}

int CDC::GetDeviceCaps(int index) const
{
    if (index != LOGPIXELSX && index != LOGPIXELSY)
        return 0;
    const QScreen* screen = QApplication::primaryScreen();
    return screen
        ? qRound(index == LOGPIXELSX ? screen->logicalDotsPerInchX() : screen->logicalDotsPerInchY())
        : 96;
}

CBrush* CDC::GetHalftoneBrush()
{
    static CBrush brush;
    if (brush.Data()->brush.style() == Qt::NoBrush)
        brush.Data()->brush = QBrush(Qt::white, Qt::Dense4Pattern);
    return &brush;
}

CWindowDC::CWindowDC(CWnd* wnd)
{
    QWidget* widget = WidgetOf(wnd);
    if (auto* nc = dynamic_cast<NonClientWidget*>(widget)) {
        m_data->owner = nc;
        m_data->Begin(&nc->Surface());
        return;
    }
    if (widget) {
        m_data->pixelRatio = widget->devicePixelRatioF();
        // No drawable non-client area: only trackers can be drawn on it.
        m_data->overlay = TrackerOverlayOf(widget);
        RECT rc;
        wnd->GetWindowRect(&rc);
        m_data->windowOrigin = QPoint(rc.left, rc.top);
    }
}

CWindowDC::~CWindowDC()
{
    m_data->End();
    if (m_data->owner)
        m_data->owner->SurfaceChanged();
}
