#include "framework/controls/MessageBoxHook.h"

#include <QMessageBox>
#include <QPointer>

#include "framework/base/AppName.h"
#include "framework/base/Constants.h"
#include "framework/window/MessageQueue.h"
#include "framework/window/private/WindowBacking.h"

namespace {

int ShowWithToolkit(HWND owner, const CString& text, const CString& caption, UINT type)
{
    // On the heap: if the owner goes while the box is open, the box goes
    // with it, and the pointer notices.
    const QPointer<QMessageBox> box = new QMessageBox(WidgetOf(CWnd::FromHandle(owner)));
    box->setWindowTitle(ToQString(caption));
    box->setText(ToQString(text));
    switch (type & 0xF0) {
    case MB_ICONHAND:
        box->setIcon(QMessageBox::Critical);
        break;
    case MB_ICONQUESTION:
        box->setIcon(QMessageBox::Question);
        break;
    case MB_ICONEXCLAMATION:
        box->setIcon(QMessageBox::Warning);
        break;
    case MB_ICONINFORMATION:
        box->setIcon(QMessageBox::Information);
        break;
    default:
        break;
    }
    switch (type & 0xF) {
    case MB_OKCANCEL:
        box->setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        break;
    case MB_YESNO:
        box->setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        break;
    default:
        box->setStandardButtons(QMessageBox::Ok);
        break;
    }
    const int answer = box->exec();
    delete box.data();
    switch (answer) {
    case QMessageBox::Ok:
        return IDOK;
    case QMessageBox::Yes:
        return IDYES;
    case QMessageBox::No:
        return IDNO;
    default:
        return (type & 0xF) == MB_OK ? IDOK : IDCANCEL;
    }
}

MessageBoxHook& Hook()
{
    static MessageBoxHook hook;
    return hook;
}

} // namespace

int AfxShowMessageBox(HWND owner, const CString& text, const CString& caption, UINT type)
{
    // The views catch up before the box's own loop takes over.
    AfxRunIdleHandlers();
    if (Hook())
        return Hook()(owner, text, caption, type);
    return ShowWithToolkit(owner, text, caption, type);
}

int AfxMessageBox(LPCSTR text, UINT type)
{
    CWnd* main = AfxGetMainWnd();
    return AfxShowMessageBox(main ? main->m_hWnd : HWND(), CString(text), AfxGetAppName(), type);
}

MessageBoxHook AfxSetMessageBoxHook(MessageBoxHook hook)
{
    MessageBoxHook previous = std::move(Hook());
    Hook() = std::move(hook);
    return previous;
}
