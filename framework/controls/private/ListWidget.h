// Framework-private: the widget that shows a list control's rows. It reads
// the rows straight from the store and catches up with the store's changes
// at idle time (or before a nested loop), never per cell operation.
#pragma once

#include <QAbstractTableModel>
#include <QTableView>

#include <utility>
#include <vector>

#include "framework/base/Types.h"
#include "framework/controls/private/ListStore.h"
#include "framework/window/MessageMap.h"

class ListWidget;

class ListModel : public QAbstractTableModel {
public:
    ListModel(ListStore* store, ListWidget* list);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // Tells the views what changed in the store since the last call.
    void CatchUp();

private:
    ListStore* m_store;
    ListWidget* m_list;
    int m_shownRows = 0;
    int m_shownColumns = 0;
};

class ListWidget : public QTableView {
public:
    explicit ListWidget(QWidget* parent);
    ~ListWidget() override;

    ListStore& Store() { return m_store; }
    ListModel& Model() { return *m_model; }
    void CatchUp();

    int SelectionMark() const { return m_selectionMark; }
    void SetSelectionMark(int row) { m_selectionMark = row; }
    // The selected rows as sorted, disjoint runs (first, last). A selection
    // made before rows were replaced or removed names no rows.
    std::vector<std::pair<int, int>> SelectedRowRuns();
    DWORD ExtendedStyle() const { return m_exStyle; }
    void SetExtendedStyle(DWORD exStyle);
    void SetShowSelectionAlways(bool on);
    // The width that shows the column's heading and its visible cells whole.
    int FittingColumnWidth(int col) const;
    // The column width that shows `text` whole in a cell.
    int CellWidth(const QString& text) const;
    // The cell's tip as the list's owner gives it (LVN_GETINFOTIP); empty
    // when it gives none.
    QString InfoTip(int row, int column) const;

protected:
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    void resizeEvent(QResizeEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void OnCurrentChanged(const QModelIndex& current);
    // Sends a notification of the list to its parent, which reflects it
    // back to the list's own window.
    void Notify(NMHDR& header) const;

    ListStore m_store;
    ListModel* m_model;
    int m_selectionMark = -1;
    DWORD m_exStyle = 0;
};
