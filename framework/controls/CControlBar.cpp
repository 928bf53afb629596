#include "framework/controls/CControlBar.h"

#include <QWidget>

#include "framework/window/private/WindowBacking.h"

IMPLEMENT_DYNAMIC(CControlBar, CWnd)

CSize CControlBar::CalcFixedLayout(BOOL, BOOL)
{
    const QWidget* widget = WidgetOf(this);
    if (!widget)
        return CSize();
    const QSize hint = widget->sizeHint();
    return CSize(hint.width(), hint.height());
}
