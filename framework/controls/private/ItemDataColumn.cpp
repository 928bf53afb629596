#include "framework/controls/private/ItemDataColumn.h"

#include "framework/controls/private/RowCompaction.h"

void ItemDataColumn::Set(std::size_t row, DWORD_PTR value)
{
    if (value < kWide) {
        m_entries[row] = static_cast<std::uint32_t>(value);
        return;
    }
    m_entries[row] = kWide | static_cast<std::uint32_t>(m_wideValues.size());
    m_wideValues.push_back(value);
}

void ItemDataColumn::InsertZero(std::size_t row)
{
    m_entries.insert(m_entries.begin() + static_cast<std::ptrdiff_t>(row), 0);
}

void ItemDataColumn::Erase(std::size_t row)
{
    m_entries.erase(m_entries.begin() + static_cast<std::ptrdiff_t>(row));
}

void ItemDataColumn::Clear()
{
    // Swapping with fresh containers hands the memory back at once.
    std::deque<std::uint32_t>().swap(m_entries);
    std::vector<DWORD_PTR>().swap(m_wideValues);
}

void ItemDataColumn::RemoveRows(const std::vector<bool>& remove)
{
    KeepUnremovedRows(m_entries, remove);
}
