#include "framework/controls/CDialog.h"

#include <QEventLoop>
#include <QFontMetrics>
#include <QKeySequence>
#include <QLabel>
#include <QShortcut>
#include <QWidget>
#include <algorithm>
#include <cstring>

#include "framework/controls/ControlStyles.h"

#include "framework/window/private/FontData.h"
#include "framework/window/private/WindowBacking.h"

IMPLEMENT_DYNAMIC(CDialog, CWnd)

namespace {

ModalDialogHook& Hook()
{
    static ModalDialogHook hook;
    return hook;
}

int MulDiv(int value, int numerator, int denominator)
{
    return static_cast<int>((static_cast<long long>(value) * numerator + denominator / 2) / denominator);
}

bool IsClass(const DialogItemTemplate& item, const char* cls)
{
    return std::strcmp(item.className, cls) == 0;
}

bool HasWords(const QString& text)
{
    return std::any_of(text.begin(), text.end(), [](QChar c) { return c.isLetterOrNumber(); });
}

// The label of a control: the static text nearest to its left on its row.
const DialogItemTemplate* LabelOf(const DialogTemplate& dialog, const DialogItemTemplate& control)
{
    const DialogItemTemplate* label = nullptr;
    for (const DialogItemTemplate& item : dialog.items) {
        const bool sameRow = item.y < control.y + control.cy && control.y < item.y + item.cy;
        if (IsClass(item, WC_STATIC) && (item.style & SS_TYPEMASK) != SS_ICON && sameRow
            && item.x + item.cx <= control.x && HasWords(ToQString(item.text))
            && (!label || item.x + item.cx > label->x + label->cx))
            label = &item;
    }
    return label;
}

// A screen reader names a control by its text; fields have none, and a
// button of dots says nothing. They take the text of their label, as a
// sighted user reads the form: "导入文件:" names the field beside it
// "导入文件" and its "..." button "导入文件...".
void NameControlsAfterLabels(const DialogTemplate& dialog, const std::vector<std::unique_ptr<CWnd>>& controls)
{
    for (std::size_t i = 0; i < dialog.items.size() && i < controls.size(); ++i) {
        const DialogItemTemplate& item = dialog.items[i];
        const bool field = IsClass(item, WC_EDIT);
        const bool dots = IsClass(item, WC_BUTTON) && (item.style & BS_TYPEMASK) != BS_GROUPBOX
            && !HasWords(ToQString(item.text));
        const DialogItemTemplate* label = field || dots ? LabelOf(dialog, item) : nullptr;
        if (!label)
            continue;
        QString name = ToQString(label->text).trimmed();
        while (name.endsWith(':') || name.endsWith(u'\uFF1A'))
            name.chop(1);
        QWidget* widget = WidgetOf(controls[i].get());
        widget->setAccessibleName(field ? name : name + ToQString(item.text));
        auto* labelWidget = qobject_cast<QLabel*>(
            WidgetOf(controls[static_cast<std::size_t>(label - dialog.items.data())].get()));
        if (field && labelWidget)
            labelWidget->setBuddy(widget);
    }
}

} // namespace

ModalDialogHook AfxSetModalDialogHook(ModalDialogHook hook)
{
    ModalDialogHook previous = std::move(Hook());
    Hook() = std::move(hook);
    return previous;
}

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_nIDTemplate(nIDTemplate)
    , m_pParentWnd(pParentWnd)
{
}

BOOL CDialog::Create(UINT nIDTemplate, CWnd* pParentWnd)
{
    m_nIDTemplate = nIDTemplate;
    m_pParentWnd = pParentWnd;
    const DialogTemplate* dialog = AfxFindDialog(nIDTemplate);
    return dialog && CreateFromTemplate(*dialog, pParentWnd, 0);
}

BOOL CDialog::CreateFromTemplate(const DialogTemplate& dialog, CWnd* parent, DWORD extraStyle)
{
    m_font = std::make_unique<CFont>();
    m_font->CreatePointFont(dialog.pointSize, dialog.fontFace);
    // The classic base units: the average width of the Latin letters and the
    // font's height; four horizontal and eight vertical units per base unit.
    const QFontMetrics fm(m_font->Data()->font);
    const int alphabet
        = fm.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    m_baseUnitX = (alphabet / 26 + 1) / 2;
    m_baseUnitY = fm.height();

    CRect rect(0, 0, dialog.cx, dialog.cy);
    MapDialogRect(&rect);
    const DWORD style = (dialog.style | extraStyle) & ~WS_VISIBLE;
    if (!CWnd::Create(WC_DIALOG, dialog.caption, style, rect, parent, 0))
        return FALSE;
    QWidget* widget = WidgetOf(this);
    widget->setFont(m_font->Data()->font);
    if (!(style & WS_CHILD))
        widget->setFixedSize(rect.Width(), rect.Height());

    QWidget* previous = nullptr;
    for (const DialogItemTemplate& item : dialog.items) {
        CRect r(item.x, item.y, item.x + item.cx, item.y + item.cy);
        MapDialogRect(&r);
        auto control = std::make_unique<CWnd>();
        if (!control->Create(item.className, item.text, item.style | WS_CHILD | WS_VISIBLE, r, this,
                static_cast<UINT>(item.id)))
            return FALSE;
        QWidget* controlWidget = WidgetOf(control.get());
        controlWidget->setFocusPolicy((item.style & WS_TABSTOP) ? Qt::StrongFocus : Qt::NoFocus);
        if (previous && (item.style & WS_TABSTOP))
            QWidget::setTabOrder(previous, controlWidget);
        if (item.style & WS_TABSTOP)
            previous = controlWidget;
        // A group box frames the controls created before it; it must not
        // cover them.
        if (std::strcmp(item.className, WC_BUTTON) == 0 && (item.style & BS_TYPEMASK) == BS_GROUPBOX)
            controlWidget->lower();
        m_controls.push_back(std::move(control));
    }
    NameControlsAfterLabels(dialog, m_controls);
    SendMessage(WM_INITDIALOG);
    OnInitDialog();
    if (dialog.style & WS_VISIBLE)
        ShowWindow(SW_SHOW);
    return TRUE;
}

int CDialog::DoModal()
{
    const DialogTemplate* dialog = AfxFindDialog(m_nIDTemplate);
    CWnd* owner = m_pParentWnd ? m_pParentWnd : AfxGetMainWnd();
    if (!dialog || !CreateFromTemplate(*dialog, owner, 0))
        return -1;
    m_modalResult = -1;
    AfxRunIdleHandlers();
    if (Hook()) {
        m_modalResult = Hook()(*this);
    } else {
        QWidget* widget = WidgetOf(this);
        widget->setWindowModality(Qt::ApplicationModal);
        // Centred over its owner, as a modal box is expected to appear.
        if (const QWidget* ownerWidget = WidgetOf(owner)) {
            const QRect area = ownerWidget->frameGeometry();
            widget->move(area.center() - QPoint(widget->width() / 2, widget->height() / 2));
        }
        // Enter and Escape answer a modal dialog as its OK and Cancel.
        const HWND self = m_hWnd;
        for (const auto& [key, id] :
            { std::pair { Qt::Key_Return, IDOK }, { Qt::Key_Enter, IDOK }, { Qt::Key_Escape, IDCANCEL } }) {
            auto* shortcut = new QShortcut(QKeySequence(key), widget);
            QObject::connect(shortcut, &QShortcut::activated, widget,
                [self, id] { PostMessageA(self, WM_COMMAND, static_cast<WPARAM>(id), 0); });
        }
        ShowWindow(SW_SHOW);
        widget->activateWindow();
        QEventLoop loop;
        m_endModalLoop = [&loop] { loop.quit(); };
        if (m_modalResult == -1)
            loop.exec();
        m_endModalLoop = nullptr;
    }
    DestroyWindow();
    return m_modalResult;
}

void CDialog::EndDialog(int nResult)
{
    m_modalResult = nResult;
    if (m_endModalLoop)
        m_endModalLoop();
}

BOOL CDialog::OnInitDialog()
{
    return TRUE;
}

void CDialog::OnOK()
{
    EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

BOOL CDialog::PreTranslateMessage(MSG*)
{
    return FALSE;
}

void CDialog::MapDialogRect(RECT* rect) const
{
    rect->left = MulDiv(rect->left, m_baseUnitX, 4);
    rect->right = MulDiv(rect->right, m_baseUnitX, 4);
    rect->top = MulDiv(rect->top, m_baseUnitY, 8);
    rect->bottom = MulDiv(rect->bottom, m_baseUnitY, 8);
}

BOOL CDialog::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (CWnd::OnCommand(wParam, lParam))
        return TRUE;
    switch (LOWORD(wParam)) {
    case IDOK:
        OnOK();
        return TRUE;
    case IDCANCEL:
        OnCancel();
        return TRUE;
    default:
        return FALSE;
    }
}

LRESULT CDialog::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    // The close box of a dialog is its Cancel.
    if (message == WM_CLOSE) {
        OnCancel();
        return 0;
    }
    return CWnd::DefWindowProc(message, wParam, lParam);
}

void CDialog::PostNcDestroy()
{
    m_controls.clear();
}
