#include "framework/window/DropFiles.h"

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

// Sits on the widget of a window that accepts files and turns a drop of
// local files into WM_DROPFILES to that window.
class DropFilter : public QObject {
public:
    explicit DropFilter(QWidget* widget)
        : QObject(widget)
    {
        setObjectName(kFilterName);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto* drag = static_cast<QDropEvent*>(event);
            if (LocalFiles(drag->mimeData()).empty())
                return false;
            drag->acceptProposedAction();
            return true;
        }
        case QEvent::Drop: {
            auto* drop = static_cast<QDropEvent*>(event);
            DropFiles files { LocalFiles(drop->mimeData()) };
            CWnd* wnd = WindowOfWidget(static_cast<QWidget*>(watched));
            if (files.paths.empty() || !wnd)
                return false;
            drop->acceptProposedAction();
            wnd->SendMessage(WM_DROPFILES, reinterpret_cast<WPARAM>(&files));
            return true;
        }
        default:
            return false;
        }
    }
};

} // namespace

void CWnd::DragAcceptFiles(BOOL bAccept)
{
    QWidget* widget = WidgetOf(this);
    if (!widget)
        return;
    QObject* filter = widget->findChild<QObject*>(kFilterName, Qt::FindDirectChildrenOnly);
    if (bAccept && !filter)
        widget->installEventFilter(new DropFilter(widget));
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
