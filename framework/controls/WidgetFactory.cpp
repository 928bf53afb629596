#include "framework/window/private/WidgetFactory.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QResizeEvent>
#include <cstring>

#include "framework/controls/ControlStyles.h"
#include "framework/controls/private/ListWidget.h"
#include "framework/controls/private/StatusBarWidget.h"

namespace {

// The top-level window of a frame: the menu bar on top, the client area below.
class FrameWidget : public QMainWindow {
protected:
    void closeEvent(QCloseEvent* event) override
    {
        event->ignore();
        NotifyCloseRequested(this);
    }
};

// A frame's client area: its children are laid out by the frame.
class FrameClientWidget : public QWidget {
public:
    explicit FrameClientWidget(QWidget* frame)
        : QWidget(frame)
        , m_frame(frame)
    {
    }

protected:
    void resizeEvent(QResizeEvent* event) override
    {
        QWidget::resizeEvent(event);
        NotifyResized(m_frame);
    }

private:
    QWidget* m_frame;
};

void SendCommandToParent(QWidget* control, UINT code)
{
    CWnd* self = WindowOfWidget(control);
    CWnd* parent = self ? self->GetParent() : nullptr;
    if (parent) {
        const WPARAM wParam
            = (static_cast<WPARAM>(code) << 16) | (static_cast<WPARAM>(self->GetDlgCtrlID()) & 0xFFFF);
        parent->SendMessage(WM_COMMAND, wParam, static_cast<LPARAM>(self->m_hWnd.value));
    }
}

bool IsClass(const CString& name, const char* cls)
{
    return std::strcmp(name, cls) == 0;
}

QWidget* CreateWidget(const CREATESTRUCT& cs, QWidget* parent)
{
    const DWORD style = static_cast<DWORD>(cs.style);
    if (IsClass(cs.lpszClass, WC_EDIT)) {
        auto* edit = new QLineEdit(parent);
        const DWORD align = style & 0x3;
        edit->setAlignment(align == ES_CENTER ? Qt::AlignHCenter
                : align == ES_RIGHT           ? Qt::AlignRight
                                              : Qt::AlignLeft);
        return edit;
    }
    if (IsClass(cs.lpszClass, WC_BUTTON)) {
        if ((style & BS_TYPEMASK) == BS_GROUPBOX)
            return new QGroupBox(parent);
        auto* button = new QPushButton(parent);
        button->setAutoDefault(false);
        QObject::connect(
            button, &QPushButton::clicked, button, [button] { SendCommandToParent(button, BN_CLICKED); });
        return button;
    }
    if (IsClass(cs.lpszClass, WC_STATIC)) {
        auto* label = new QLabel(parent);
        const DWORD kind = style & SS_TYPEMASK;
        label->setAlignment((kind == SS_RIGHT           ? Qt::AlignRight
                                    : kind == SS_CENTER ? Qt::AlignHCenter
                                                        : Qt::AlignLeft)
            | Qt::AlignTop);
        label->setTextFormat(Qt::PlainText);
        if (kind == SS_ICON)
            label->setPixmap(QApplication::windowIcon().pixmap(32, 32));
        return label;
    }
    if (IsClass(cs.lpszClass, WC_LISTVIEW)) {
        auto* list = new ListWidget(parent);
        list->SetShowSelectionAlways((style & LVS_SHOWSELALWAYS) != 0);
        if (style & LVS_SINGLESEL)
            list->setSelectionMode(QAbstractItemView::SingleSelection);
        if (!(style & WS_BORDER))
            list->setFrameShape(QFrame::NoFrame);
        return list;
    }
    if (IsClass(cs.lpszClass, WC_STATUSBAR))
        return new StatusBarWidget(parent);
    return new GenericWidget(parent);
}

} // namespace

std::unique_ptr<WindowBacking> CreateWidgetForClass(const CREATESTRUCT& cs, CWnd* parent)
{
    auto backing = std::make_unique<WindowBacking>();
    const bool child = (cs.style & static_cast<LONG>(WS_CHILD)) != 0;
    QWidget* parentWidget = child ? ClientOf(parent) : nullptr;
    if (!child && IsClass(cs.lpszClass, WC_FRAME)) {
        auto* frame = new FrameWidget;
        auto* client = new FrameClientWidget(frame);
        frame->setCentralWidget(client);
        backing->widget = frame;
        backing->client = client;
        return backing;
    }
    QWidget* widget = CreateWidget(cs, parentWidget);
    if (!child && parent) {
        // An owned top-level window (a dialog) stays above its owner.
        widget->setParent(WidgetOf(parent), Qt::Dialog);
    }
    backing->widget = widget;
    backing->client = widget;
    return backing;
}

void SetWidgetText(QWidget* widget, const QString& text)
{
    if (auto* edit = qobject_cast<QLineEdit*>(widget))
        edit->setText(text);
    else if (auto* button = qobject_cast<QPushButton*>(widget))
        button->setText(text);
    else if (auto* group = qobject_cast<QGroupBox*>(widget))
        group->setTitle(text);
    else if (auto* label = qobject_cast<QLabel*>(widget))
        label->setText(text);
    else if (widget->isWindow())
        widget->setWindowTitle(text);
    else
        widget->setProperty("brisquelText", text);
}

QString WidgetText(const QWidget* widget)
{
    if (auto* edit = qobject_cast<const QLineEdit*>(widget))
        return edit->text();
    if (auto* button = qobject_cast<const QPushButton*>(widget))
        return button->text();
    if (auto* group = qobject_cast<const QGroupBox*>(widget))
        return group->title();
    if (auto* label = qobject_cast<const QLabel*>(widget))
        return label->text();
    if (widget->isWindow())
        return widget->windowTitle();
    return widget->property("brisquelText").toString();
}
