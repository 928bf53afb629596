#include "framework/controls/private/StatusBarWidget.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QPainter>
#include <QPointer>
#include <QStyleOption>

#include "framework/controls/ControlStyles.h"
#include "framework/window/private/WindowBacking.h"

namespace {

constexpr int kGap = 2; // between panes
constexpr int kPadding = 3; // text inside a pane

// One pane for screen readers: static text named by what the pane shows.
class PaneAccessible : public QAccessibleInterface {
public:
    PaneAccessible(StatusBarWidget* bar, int index)
        : m_bar(bar)
        , m_index(index)
    {
    }

    bool isValid() const override { return m_bar && m_index < static_cast<int>(m_bar->Panes().size()); }
    QObject* object() const override { return nullptr; }
    QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(m_bar); }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessible::Role role() const override { return QAccessible::StaticText; }
    void setText(QAccessible::Text, const QString&) override { }

    QString text(QAccessible::Text t) const override
    {
        if (t != QAccessible::Name || !isValid())
            return QString();
        return ToQString(m_bar->Panes()[static_cast<std::size_t>(m_index)].text);
    }

    QRect rect() const override
    {
        if (!isValid())
            return QRect();
        const QRect r = m_bar->PaneRects()[static_cast<std::size_t>(m_index)];
        return QRect(m_bar->mapToGlobal(r.topLeft()), r.size());
    }

    QAccessible::State state() const override
    {
        QAccessible::State s;
        s.readOnly = true;
        s.invisible = !isValid() || !m_bar->isVisible();
        return s;
    }

private:
    QPointer<StatusBarWidget> m_bar;
    int m_index;
};

// The bar for screen readers: its children are its panes. The panes'
// interfaces are made when first asked for and go with the bar's.
class StatusBarAccessible : public QAccessibleWidget {
public:
    explicit StatusBarAccessible(StatusBarWidget* bar)
        : QAccessibleWidget(bar, QAccessible::StatusBar)
    {
    }
    ~StatusBarAccessible() override
    {
        for (QAccessible::Id id : m_paneIds)
            QAccessible::deleteAccessibleInterface(id);
    }

    int childCount() const override { return static_cast<int>(Bar()->Panes().size()); }

    QAccessibleInterface* child(int index) const override
    {
        if (index < 0 || index >= childCount())
            return nullptr;
        while (static_cast<int>(m_paneIds.size()) <= index) {
            m_paneIds.push_back(QAccessible::registerAccessibleInterface(
                new PaneAccessible(Bar(), static_cast<int>(m_paneIds.size()))));
        }
        return QAccessible::accessibleInterface(m_paneIds[static_cast<std::size_t>(index)]);
    }

    int indexOfChild(const QAccessibleInterface* child) const override
    {
        for (std::size_t i = 0; i < m_paneIds.size(); ++i) {
            if (QAccessible::accessibleInterface(m_paneIds[i]) == child)
                return static_cast<int>(i);
        }
        return -1;
    }

    QAccessibleInterface* childAt(int x, int y) const override
    {
        const QPoint local = Bar()->mapFromGlobal(QPoint(x, y));
        const auto rects = Bar()->PaneRects();
        for (std::size_t i = 0; i < rects.size(); ++i) {
            if (rects[i].contains(local))
                return child(static_cast<int>(i));
        }
        return nullptr;
    }

private:
    StatusBarWidget* Bar() const { return static_cast<StatusBarWidget*>(widget()); }

    mutable std::vector<QAccessible::Id> m_paneIds;
};

QAccessibleInterface* CreateAccessible(const QString&, QObject* object)
{
    auto* bar = dynamic_cast<StatusBarWidget*>(object);
    return bar ? new StatusBarAccessible(bar) : nullptr;
}

} // namespace

StatusBarWidget::StatusBarWidget(QWidget* parent)
    : QWidget(parent)
{
    [[maybe_unused]] static const bool factoryInstalled = [] {
        QAccessible::installFactory(CreateAccessible);
        return true;
    }();
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

void StatusBarWidget::PaneTextChanged(int index)
{
    if (!QAccessible::isActive())
        return;
    if (QAccessibleInterface* pane = QAccessible::queryAccessibleInterface(this)->child(index)) {
        QAccessibleEvent event(pane, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&event);
    }
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
