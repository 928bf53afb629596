#include "framework/controls/Clipboard.h"

#include <QClipboard>
#include <QGuiApplication>

#include "framework/window/private/WindowBacking.h"

BOOL AfxSetClipboardText(const CString& text)
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard)
        return FALSE;
    clipboard->setText(ToQString(text));
    return TRUE;
}
