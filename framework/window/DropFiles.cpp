#include "framework/window/DropFiles.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <cstring>
#include <vector>

#include "framework/window/private/WindowBacking.h"

struct DropFiles {
    std::vector<CString> paths;
};

namespace {

constexpr const char* kFilterName = "brisquelDropFiles";

// Only files on this machine can be opened by path; other URLs are refused.
std::vector<CString> LocalFiles(const QMimeData* mime)
{
    std::vector<CString> paths;
    if (!mime || !mime->hasUrls())
        return paths;
    for (const QUrl& url : mime->urls()) {
        if (url.isLocalFile())
            paths.push_back(FromQString(url.toLocalFile()));
    }
    return paths;
}

// Turns a drop of local files anywhere on a window that accepts them into
// WM_DROPFILES to that window. It watches the whole program, not only the
// window's widget: a field of the window would otherwise take the drop as
// text. Owned by the window's widget.
class DropFilter : public QObject {
public:
    explicit DropFilter(QWidget* window)
        : QObject(window)
        , m_window(window)
    {
        setObjectName(kFilterName);
        QApplication::instance()->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        const QEvent::Type type = event->type();
        if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)
            return false;
        auto* target = qobject_cast<QWidget*>(watched);
        if (!target || target->window() != m_window)
            return false;
        auto* drag = static_cast<QDropEvent*>(event);
        DropFiles files { LocalFiles(drag->mimeData()) };
        if (files.paths.empty())
            return false;
        drag->acceptProposedAction();
        if (type == QEvent::Drop) {
            if (CWnd* wnd = WindowOfWidget(m_window))
                wnd->SendMessage(WM_DROPFILES, reinterpret_cast<WPARAM>(&files));
        }
        return true;
    }

private:
    QWidget* m_window;
};

} // namespace

void CWnd::DragAcceptFiles(BOOL bAccept)
{
    QWidget* widget = WidgetOf(this);
    if (!widget)
        return;
    QObject* filter = widget->findChild<QObject*>(kFilterName, Qt::FindDirectChildrenOnly);
    if (bAccept && !filter)
        new DropFilter(widget);
    else if (!bAccept)
        delete filter;
    widget->setAcceptDrops(bAccept != FALSE);
}

UINT DragQueryFile(HDROP hDrop, UINT iFile, LPSTR lpszFile, UINT cch)
{
    if (!hDrop)
        return 0;
    if (iFile == 0xFFFFFFFF)
        return static_cast<UINT>(hDrop->paths.size());
    if (iFile >= hDrop->paths.size())
        return 0;
    const CString& path = hDrop->paths[iFile];
    const UINT length = static_cast<UINT>(path.GetLength());
    if (!lpszFile || cch == 0)
        return length;
    const UINT copied = std::min(length, cch - 1);
    std::memcpy(lpszFile, path.GetString(), copied);
    lpszFile[copied] = '\0';
    return copied;
}
