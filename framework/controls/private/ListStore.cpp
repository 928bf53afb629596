#include "framework/controls/private/ListStore.h"

#include <algorithm>

std::string_view ListStore::Cell(int row, int col) const
{
    return HasCell(row, col) ? m_columns[static_cast<std::size_t>(col)].Text(static_cast<std::size_t>(row))
                             : std::string_view();
}

bool ListStore::SetCell(int row, int col, std::string_view text)
{
    if (!HasCell(row, col))
        return false;
    m_columns[static_cast<std::size_t>(col)].Set(static_cast<std::size_t>(row), text);
    MarkRowChanged(row);
    return true;
}

int ListStore::InsertRow(int row, std::string_view firstCell)
{
    if (ColumnCount() == 0)
        return -1;
    row = std::clamp(row, 0, m_rows);
    for (TextColumn& column : m_columns)
        column.InsertEmpty(static_cast<std::size_t>(row));
    m_columns.front().Set(static_cast<std::size_t>(row), firstCell);
    m_data.InsertZero(static_cast<std::size_t>(row));
    ++m_rows;
    m_structureChanged = true;
    return row;
}

bool ListStore::DeleteRow(int row)
{
    if (row < 0 || row >= m_rows)
        return false;
    for (TextColumn& column : m_columns)
        column.Erase(static_cast<std::size_t>(row));
    m_data.Erase(static_cast<std::size_t>(row));
    --m_rows;
    m_structureChanged = true;
    return true;
}

void ListStore::DeleteAll()
{
    for (TextColumn& column : m_columns)
        column.Clear();
    m_data.Clear();
    m_rows = 0;
    m_structureChanged = true;
}

int ListStore::DeleteRows(const std::vector<bool>& remove)
{
    int removed = 0;
    for (std::size_t row = 0; row < std::min(remove.size(), static_cast<std::size_t>(m_rows)); ++row)
        removed += remove[row] ? 1 : 0;
    if (removed == 0)
        return 0;
    for (TextColumn& column : m_columns)
        column.RemoveRows(remove);
    m_data.RemoveRows(remove);
    m_rows -= removed;
    m_structureChanged = true;
    return removed;
}

bool ListStore::SetData(int row, DWORD_PTR data)
{
    if (row < 0 || row >= m_rows)
        return false;
    m_data.Set(static_cast<std::size_t>(row), data);
    return true;
}

DWORD_PTR ListStore::Data(int row) const
{
    return row >= 0 && row < m_rows ? m_data.Get(static_cast<std::size_t>(row)) : 0;
}

int ListStore::InsertColumn(int col, const CString& heading)
{
    col = std::clamp(col, 0, ColumnCount());
    m_headings.insert(m_headings.begin() + col, heading);
    TextColumn& column = *m_columns.emplace(m_columns.begin() + col);
    for (int row = 0; row < m_rows; ++row)
        column.InsertEmpty(static_cast<std::size_t>(row));
    m_structureChanged = true;
    return col;
}

void ListStore::MarkRowChanged(int row)
{
    m_firstChanged = std::min(m_firstChanged <= m_lastChanged ? m_firstChanged : row, row);
    m_lastChanged = std::max(m_lastChanged, row);
}

void ListStore::ClearChanges()
{
    m_structureChanged = false;
    m_firstChanged = 1;
    m_lastChanged = 0;
}
