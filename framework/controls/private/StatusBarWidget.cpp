#include "framework/controls/private/StatusBarWidget.h"

#include <QPainter>
#include <QStyleOption>

#include "framework/controls/ControlStyles.h"
#include "framework/window/private/WindowBacking.h"

namespace {

constexpr int kGap = 2; // between panes
constexpr int kPadding = 3; // text inside a pane

} // namespace

StatusBarWidget::StatusBarWidget(QWidget* parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

QSize StatusBarWidget::sizeHint() const
{
    return QSize(200, fontMetrics().height() + 2 * kPadding + 2);
}

std::vector<QRect> StatusBarWidget::PaneRects() const
{
    std::vector<QRect> rects(m_panes.size());
    int fixed = 0;
    int stretching = 0;
    for (const Pane& pane : m_panes) {
        if (pane.style & SBPS_STRETCH)
            ++stretching;
        else
            fixed += pane.width + kGap;
    }
    const int spare = std::max(0, width() - fixed - kGap);
    int x = kGap;
    for (std::size_t i = 0; i < m_panes.size(); ++i) {
        const Pane& pane = m_panes[i];
        const int w = (pane.style & SBPS_STRETCH) ? spare / std::max(1, stretching) : pane.width;
        rects[i] = QRect(x, kGap, w, height() - 2 * kGap);
        x += w + kGap;
    }
    return rects;
}

void StatusBarWidget::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    const auto rects = PaneRects();
    for (std::size_t i = 0; i < m_panes.size(); ++i) {
        const QRect r = rects[i];
        if (!(m_panes[i].style & SBPS_NOBORDERS)) {
            painter.setPen(palette().color(QPalette::Dark));
            painter.drawLine(r.topLeft(), r.topRight());
            painter.drawLine(r.topLeft(), r.bottomLeft());
            painter.setPen(palette().color(QPalette::Light));
            painter.drawLine(r.bottomLeft(), r.bottomRight());
            painter.drawLine(r.topRight(), r.bottomRight());
        }
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawText(r.adjusted(kPadding, 0, -kPadding, 0),
            Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, ToQString(m_panes[i].text));
    }
}
