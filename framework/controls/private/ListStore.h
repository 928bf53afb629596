// Framework-private: the rows of a list control, and what changed since the
// widget last caught up.
#pragma once

#include <deque>
#include <string_view>
#include <vector>

#include "framework/base/CString.h"
#include "framework/controls/private/ItemDataColumn.h"
#include "framework/controls/private/TextColumn.h"

class ListStore {
public:
    int RowCount() const { return m_rows; }
    int ColumnCount() const { return static_cast<int>(m_headings.size()); }

    // Valid until the list changes; empty for a cell the list does not have.
    std::string_view Cell(int row, int col) const;
    bool SetCell(int row, int col, std::string_view text);
    int InsertRow(int row, std::string_view firstCell);
    bool DeleteRow(int row);
    void DeleteAll();
    int DeleteRows(const std::vector<bool>& remove);
    bool SetData(int row, DWORD_PTR data);
    DWORD_PTR Data(int row) const;

    int InsertColumn(int col, const CString& heading);
    const CString& Heading(int col) const { return m_headings[static_cast<std::size_t>(col)]; }

    // Change tracking for the widget.
    bool StructureChanged() const { return m_structureChanged; }
    int FirstChangedRow() const { return m_firstChanged; }
    int LastChangedRow() const { return m_lastChanged; }
    bool HasChanges() const { return m_structureChanged || m_firstChanged <= m_lastChanged; }
    void ClearChanges();

private:
    bool HasCell(int row, int col) const
    {
        return row >= 0 && row < m_rows && col >= 0 && col < ColumnCount();
    }
    void MarkRowChanged(int row);

    std::deque<TextColumn> m_columns;
    ItemDataColumn m_data;
    std::vector<CString> m_headings;
    int m_rows = 0;
    bool m_structureChanged = false;
    int m_firstChanged = 1;
    int m_lastChanged = 0;
};
