#include "framework/window/CDC.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontMetrics>

#include "framework/window/private/FontData.h"
#include "framework/window/private/WindowBacking.h"

QString InstalledFace(const QString& wanted)
{
    const QStringList families = QFontDatabase::families();
    if (families.contains(wanted, Qt::CaseInsensitive))
        return wanted;
    // The packaged CJK face of the set-up; the toolkit's default otherwise.
    for (const QString& face :
        { QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Noto Sans CJK SC") }) {
        if (families.contains(face, Qt::CaseInsensitive))
            return face;
    }
    return QApplication::font().family();
}

CFont::CFont()
    : m_data(std::make_unique<FontData>())
{
}

CFont::~CFont() = default;

BOOL CFont::CreatePointFont(int pointSize, LPCSTR faceName)
{
    m_data->font = QFont(InstalledFace(ToQString(CString(faceName))), pointSize);
    return TRUE;
}

CClientDC::CClientDC(CWnd* wnd)
    : m_selected(&m_defaultFont)
{
    const QWidget* widget = WidgetOf(wnd);
    m_defaultFont.Data()->font = widget ? widget->font() : QApplication::font();
}

CClientDC::~CClientDC() = default;

CFont* CClientDC::SelectObject(CFont* font)
{
    CFont* previous = m_selected;
    m_selected = font ? font : &m_defaultFont;
    return previous;
}

BOOL CClientDC::GetTextMetrics(TEXTMETRIC* metrics) const
{
    const QFontMetrics fm(m_selected->Data()->font);
    metrics->tmHeight = fm.height();
    metrics->tmAscent = fm.ascent();
    metrics->tmDescent = fm.descent();
    metrics->tmAveCharWidth = fm.averageCharWidth();
    metrics->tmMaxCharWidth = fm.maxWidth();
    return TRUE;
}

CSize CClientDC::GetTextExtent(const CString& text) const
{
    const QFontMetrics fm(m_selected->Data()->font);
    return CSize(fm.horizontalAdvance(ToQString(text)), fm.height());
}
