// Framework-private: the toolkit widget behind a window, and the bridge that
// turns the widget's events into the window's messages.
#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

#include "framework/base/CString.h"
#include "framework/window/CWnd.h"

struct WindowBacking {
    QPointer<QWidget> widget; // the window itself
    QPointer<QWidget> client; // where child windows go (the widget, or a frame's central area)
};

// The property on a backing widget that names its window.
inline constexpr const char* kHandleProperty = "brisquelHwnd";

inline QWidget* WidgetOf(const CWnd* wnd)
{
    return wnd && wnd->Backing() ? wnd->Backing()->widget.data() : nullptr;
}

inline QWidget* ClientOf(const CWnd* wnd)
{
    return wnd && wnd->Backing() ? wnd->Backing()->client.data() : nullptr;
}

// The window a widget backs, or null.
CWnd* WindowOfWidget(const QWidget* widget);

inline QString ToQString(const CString& text)
{
    return QString::fromStdString(text.ToUtf8());
}

inline CString FromQString(const QString& text)
{
    return CString::FromUtf8(text.toStdString());
}

// Marks a widget as the backing of a window and wires the events every window
// needs (size changes, the close box).
void BindWidget(QWidget* widget, CWnd* wnd);

// Generic widget for windows that are not native controls.
class GenericWidget : public QWidget {
public:
    explicit GenericWidget(QWidget* parent)
        : QWidget(parent)
    {
    }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
};

// Tells the window behind `widget` that its size changed.
void NotifyResized(QWidget* widget);
// Routes a close request of the window behind `widget` through WM_CLOSE.
void NotifyCloseRequested(QWidget* widget);
