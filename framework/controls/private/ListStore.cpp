#include "framework/controls/private/ListStore.h"

#include <algorithm>

namespace {

const CString& EmptyText()
{
    static const CString empty;
    return empty;
}

} // namespace

const CString& ListStore::Cell(int row, int col) const
{
    if (row < 0 || row >= m_rows || col < 0 || col >= ColumnCount())
        return EmptyText();
    return m_cells[Index(row, col)];
}

bool ListStore::SetCell(int row, int col, const CString& text)
{
    if (row < 0 || row >= m_rows || col < 0 || col >= ColumnCount())
        return false;
    m_cells[Index(row, col)] = text;
    MarkRowChanged(row);
    return true;
}

int ListStore::InsertRow(int row, const CString& firstCell)
{
    if (ColumnCount() == 0)
        return -1;
    row = std::clamp(row, 0, m_rows);
    const std::size_t columns = m_headings.size();
    if (row == m_rows) {
        m_cells.push_back(firstCell);
        m_cells.resize(m_cells.size() + columns - 1);
        m_data.push_back(0);
    } else {
        auto at = m_cells.insert(
            m_cells.begin() + static_cast<std::ptrdiff_t>(Index(row, 0)), columns, CString());
        *at = firstCell;
        m_data.insert(m_data.begin() + row, 0);
    }
    ++m_rows;
    m_structureChanged = true;
    return row;
}

bool ListStore::DeleteRow(int row)
{
    if (row < 0 || row >= m_rows)
        return false;
    auto first = m_cells.begin() + static_cast<std::ptrdiff_t>(Index(row, 0));
    m_cells.erase(first, first + static_cast<std::ptrdiff_t>(m_headings.size()));
    m_data.erase(m_data.begin() + row);
    --m_rows;
    m_structureChanged = true;
    return true;
}

void ListStore::DeleteAll()
{
    // Swapping with fresh containers hands the memory back at once.
    std::deque<CString>().swap(m_cells);
    std::deque<DWORD_PTR>().swap(m_data);
    m_rows = 0;
    m_structureChanged = true;
}

int ListStore::DeleteRows(const std::vector<bool>& remove)
{
    const std::size_t columns = m_headings.size();
    std::size_t kept = 0;
    for (int row = 0; row < m_rows; ++row) {
        if (static_cast<std::size_t>(row) < remove.size() && remove[static_cast<std::size_t>(row)])
            continue;
        if (kept != static_cast<std::size_t>(row)) {
            for (std::size_t c = 0; c < columns; ++c)
                m_cells[kept * columns + c] = std::move(m_cells[static_cast<std::size_t>(row) * columns + c]);
            m_data[kept] = m_data[static_cast<std::size_t>(row)];
        }
        ++kept;
    }
    const int removed = m_rows - static_cast<int>(kept);
    if (removed > 0) {
        m_cells.resize(kept * columns);
        m_data.resize(kept);
        m_cells.shrink_to_fit();
        m_data.shrink_to_fit();
        m_rows = static_cast<int>(kept);
        m_structureChanged = true;
    }
    return removed;
}

bool ListStore::SetData(int row, DWORD_PTR data)
{
    if (row < 0 || row >= m_rows)
        return false;
    m_data[static_cast<std::size_t>(row)] = data;
    return true;
}

DWORD_PTR ListStore::Data(int row) const
{
    return row >= 0 && row < m_rows ? m_data[static_cast<std::size_t>(row)] : 0;
}

int ListStore::InsertColumn(int col, const CString& heading)
{
    col = std::clamp(col, 0, ColumnCount());
    const std::size_t oldColumns = m_headings.size();
    m_headings.insert(m_headings.begin() + col, heading);
    if (m_rows > 0) {
        std::deque<CString> cells;
        for (int row = 0; row < m_rows; ++row) {
            for (std::size_t c = 0; c < oldColumns; ++c) {
                if (c == static_cast<std::size_t>(col))
                    cells.emplace_back();
                cells.push_back(std::move(m_cells[static_cast<std::size_t>(row) * oldColumns + c]));
            }
            if (static_cast<std::size_t>(col) == oldColumns)
                cells.emplace_back();
        }
        m_cells.swap(cells);
    }
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
