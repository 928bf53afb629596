#include "framework/controls/private/ListWidget.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPointer>
#include <QStyle>
#include <algorithm>

#include "framework/controls/CListCtrl.h"
#include "framework/controls/ControlStyles.h"
#include "framework/window/MessageMap.h"
#include "framework/window/MessageQueue.h"
#include "framework/window/private/WindowBacking.h"

ListModel::ListModel(ListStore* store, ListWidget* list)
    : QAbstractTableModel(list)
    , m_store(store)
    , m_list(list)
{
}

int ListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_shownRows;
}

int ListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_shownColumns;
}

QVariant ListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return QVariant();
    switch (role) {
    case Qt::DisplayRole:
        // The store may be ahead of what the view was told; cells it no
        // longer has read as empty until the view catches up.
        return ToQString(CString(m_store->Cell(index.row(), index.column())));
    case Qt::ToolTipRole:
    case Qt::AccessibleDescriptionRole: {
        // One text for the eye and for assistive technology.
        const QString tip = m_list->InfoTip(index.row(), index.column());
        return tip.isEmpty() ? QVariant() : QVariant(tip);
    }
    default:
        return QVariant();
    }
}

QVariant ListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal || section >= m_store->ColumnCount())
        return QVariant();
    return ToQString(m_store->Heading(section));
}

void ListModel::CatchUp()
{
    if (!m_store->HasChanges())
        return;
    if (m_store->StructureChanged() || m_shownColumns != m_store->ColumnCount()) {
        beginResetModel();
        m_shownRows = m_store->RowCount();
        m_shownColumns = m_store->ColumnCount();
        endResetModel();
    } else {
        const int last = std::min(m_store->LastChangedRow(), m_shownRows - 1);
        if (m_store->FirstChangedRow() <= last)
            emit dataChanged(index(m_store->FirstChangedRow(), 0), index(last, m_shownColumns - 1));
    }
    m_store->ClearChanges();
}

ListWidget::ListWidget(QWidget* parent)
    : QTableView(parent)
    , m_model(new ListModel(&m_store, this))
{
    setModel(m_model);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setShowGrid(false);
    setWordWrap(false);
    setTextElideMode(Qt::ElideRight);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Uniform row heights keep a million rows as cheap as a hundred.
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    horizontalHeader()->setStretchLastSection(false);
    horizontalHeader()->setHighlightSections(false);
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
        [this](const QModelIndex& current) { OnCurrentChanged(current); });
    // Rows removed or replaced take the selection with them.
    connect(m_model, &QAbstractItemModel::modelReset, this, [this] { m_selectionMark = -1; });
    AfxAddIdleHandler(this, [this] { CatchUp(); });
}

ListWidget::~ListWidget()
{
    AfxRemoveIdleHandler(this);
}

void ListWidget::CatchUp()
{
    m_model->CatchUp();
}

void ListWidget::SetExtendedStyle(DWORD exStyle)
{
    m_exStyle = exStyle;
    setShowGrid((exStyle & LVS_EX_GRIDLINES) != 0);
    setSelectionBehavior(
        (exStyle & LVS_EX_FULLROWSELECT) ? QAbstractItemView::SelectRows : QAbstractItemView::SelectItems);
}

void ListWidget::SetShowSelectionAlways(bool on)
{
    if (!on)
        return;
    QPalette p = palette();
    p.setColor(QPalette::Inactive, QPalette::Highlight, p.color(QPalette::Active, QPalette::Highlight));
    p.setColor(
        QPalette::Inactive, QPalette::HighlightedText, p.color(QPalette::Active, QPalette::HighlightedText));
    setPalette(p);
}

int ListWidget::FittingColumnWidth(int col) const
{
    return std::max(horizontalHeader()->sectionSizeHint(col), sizeHintForColumn(col));
}

QString ListWidget::InfoTip(int row, int column) const
{
    CWnd* self = WindowOfWidget(this);
    if (!self || row < 0 || row >= m_store.RowCount())
        return QString();
    char text[INFOTIPSIZE] = "";
    NMLVGETINFOTIP tip {};
    tip.hdr = { self->m_hWnd, static_cast<UINT_PTR>(self->GetDlgCtrlID()), LVN_GETINFOTIP };
    tip.pszText = text;
    tip.cchTextMax = INFOTIPSIZE;
    tip.iItem = row;
    tip.iSubItem = column;
    tip.lParam = static_cast<LPARAM>(m_store.Data(row));
    Notify(tip.hdr);
    text[INFOTIPSIZE - 1] = '\0';
    return ToQString(CString(text));
}

void ListWidget::Notify(NMHDR& header) const
{
    CWnd* self = WindowOfWidget(this);
    CWnd* parent = self ? self->GetParent() : nullptr;
    if (CWnd* to = parent ? parent : self)
        to->SendMessage(WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header));
}

int ListWidget::CellWidth(const QString& text) const
{
    // What the item delegate asks for a cell showing `text`, plus the grid
    // line, as when the column is fitted to its cells.
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    option.text = text;
    option.features |= QStyleOptionViewItem::HasDisplay;
    const int grid = showGrid() ? 1 : 0;
    return style()->sizeFromContents(QStyle::CT_ItemViewItem, &option, QSize(), this).width() + grid;
}

QModelIndex ListWidget::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers)
{
    // The list is a list of rows: Home and End go to the first and the last
    // row (with Ctrl too), not along the row to its first or last cell. The
    // column stays, so the view does not scroll sideways.
    const int rows = m_model->rowCount();
    if ((action == MoveHome || action == MoveEnd) && rows > 0) {
        const QModelIndex current = currentIndex();
        return m_model->index(action == MoveHome ? 0 : rows - 1, current.isValid() ? current.column() : 0);
    }
    return QTableView::moveCursor(action, modifiers);
}

void ListWidget::OnCurrentChanged(const QModelIndex& current)
{
    // A shift-extended selection keeps the row it started from.
    if (!(QApplication::keyboardModifiers() & Qt::ShiftModifier))
        m_selectionMark = current.isValid() ? current.row() : -1;
}

void ListWidget::resizeEvent(QResizeEvent* event)
{
    QTableView::resizeEvent(event);
    NotifyResized(this);
}

void ListWidget::contextMenuEvent(QContextMenuEvent* event)
{
    CWnd* self = WindowOfWidget(this);
    if (!self)
        return;
    event->accept();
    NMHDR header { self->m_hWnd, static_cast<UINT_PTR>(self->GetDlgCtrlID()), NM_RCLICK };
    Notify(header);
}

void ListWidget::keyPressEvent(QKeyEvent* event)
{
    const QPointer<ListWidget> alive(this);
    const int key = event->key();
    CWnd* self = WindowOfWidget(this);
    if (self && ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9))) {
        // Qt's key codes of letters and digits are their virtual-key codes.
        NMLVKEYDOWN keyDown { { self->m_hWnd, static_cast<UINT_PTR>(self->GetDlgCtrlID()), LVN_KEYDOWN },
            static_cast<WORD>(key), 0 };
        Notify(keyDown.hdr);
        if (!alive)
            return;
    }
    // The list itself copies nothing: what a copy takes is the owner's choice.
    if (event->matches(QKeySequence::Copy)) {
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

std::vector<std::pair<int, int>> ListWidget::SelectedRowRuns()
{
    // Catching up with rows replaced or removed resets the view and with it
    // the selection; changed texts leave the selection as it is.
    if (m_store.StructureChanged())
        CatchUp();
    std::vector<std::pair<int, int>> ranges;
    for (const QItemSelectionRange& range : selectionModel()->selection())
        ranges.emplace_back(range.top(), range.bottom());
    std::sort(ranges.begin(), ranges.end());
    // Ranges of one row may overlap or touch (cells picked one by one).
    std::vector<std::pair<int, int>> runs;
    for (const auto& [first, last] : ranges) {
        if (!runs.empty() && first <= runs.back().second + 1)
            runs.back().second = std::max(runs.back().second, last);
        else
            runs.emplace_back(first, last);
    }
    return runs;
}
