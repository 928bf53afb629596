#include "framework/controls/CFileDialog.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QPointer>
#include <QStringList>

#include "framework/controls/MessageBoxHook.h"
#include "framework/controls/Resources.h"
#include "framework/window/MessageQueue.h"
#include "framework/window/private/WindowBacking.h"

namespace {

FileDialogHook& Hook()
{
    static FileDialogHook hook;
    return hook;
}

// "文本文件|*.txt|所有文件|*.*||" becomes "文本文件 (*.txt);;所有文件 (*.*)".
QStringList NameFilters(const CString& filter)
{
    const QStringList parts = ToQString(filter).split('|');
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        if (parts[i].isEmpty())
            break;
        filters << QStringLiteral("%1 (%2)").arg(parts[i], QString(parts[i + 1]).replace(';', ' '));
    }
    return filters;
}

// The toolkit shows bytes of a name that are not UTF-8 as U+FFFD, and a
// lone surrogate has no bytes at all: such a name, written back, would be
// another file's. It is refused instead.
bool IsFaithfulName(const QString& name)
{
    return name.isValidUtf16() && !name.contains(QChar::ReplacementCharacter);
}

FileDialogAnswer ShowWithToolkit(const FileDialogRequest& request)
{
    // On the heap: if the owner goes while the dialog is open, the dialog
    // goes with it, and the pointer notices.
    const QPointer<QFileDialog> dialog = new QFileDialog(WidgetOf(CWnd::FromHandle(request.owner)));
    // The toolkit's own dialog, not the desktop's: it speaks the program's
    // language whatever the user's.
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setAcceptMode(request.open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    dialog->setFileMode(request.open ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog->setNameFilters(NameFilters(request.filter));
    dialog->setDefaultSuffix(ToQString(request.defaultExtension));
    if (!(request.flags & OFN_OVERWRITEPROMPT) && !request.open)
        dialog->setOption(QFileDialog::DontConfirmOverwrite);
    // A folder that is gone leaves the dialog in the current folder.
    if (!request.initialDir.IsEmpty() && QFileInfo(ToQString(request.initialDir)).isDir())
        dialog->setDirectory(ToQString(request.initialDir));
    if (!request.fileName.IsEmpty())
        dialog->selectFile(ToQString(request.fileName));
    const bool accepted = dialog->exec() == QDialog::Accepted;
    const QStringList chosen = dialog ? dialog->selectedFiles() : QStringList();
    delete dialog.data();
    if (!accepted || chosen.isEmpty())
        return FileDialogAnswer {};
    if (!IsFaithfulName(chosen.front())) {
        CString text;
        text.Format(AfxLoadString(AFX_IDP_INVALID_FILENAME), FromQString(chosen.front()).GetString());
        AfxShowMessageBox(request.owner, text, CString(), MB_OK | MB_ICONEXCLAMATION);
        return FileDialogAnswer {};
    }
    return FileDialogAnswer { IDOK, FromQString(chosen.front()) };
}

bool HasExtension(const CString& path)
{
    const int slash = path.ReverseFind('/');
    const int dot = path.ReverseFind('.');
    return dot > slash + 1;
}

} // namespace

FileDialogHook AfxSetFileDialogHook(FileDialogHook hook)
{
    FileDialogHook previous = std::move(Hook());
    Hook() = std::move(hook);
    return previous;
}

CFileDialog::CFileDialog(
    BOOL bOpenFileDialog, LPCSTR defaultExtension, LPCSTR fileName, DWORD flags, LPCSTR filter, CWnd* parent)
    : m_request { bOpenFileDialog != FALSE, CString(defaultExtension), CString(fileName), flags,
        CString(filter), parent ? parent->m_hWnd : HWND(), CString() }
{
}

int CFileDialog::DoModal()
{
    AfxRunIdleHandlers();
    m_request.initialDir = CString(m_ofn.lpstrInitialDir);
    const FileDialogAnswer answer = Hook() ? Hook()(m_request) : ShowWithToolkit(m_request);
    if (answer.result != IDOK || answer.path.IsEmpty())
        return IDCANCEL;
    m_path = answer.path;
    if (!m_request.defaultExtension.IsEmpty() && !HasExtension(m_path))
        m_path += "." + m_request.defaultExtension;
    return IDOK;
}
