// Framework-private: the item data of a list's rows, four bytes a row. Item
// data is mostly small numbers (row tags); a value that does not fit in 31
// bits is kept in a side table the row's entry points into.
#pragma once

#include <cstdint>
#include <deque>
#include <vector>

#include "framework/base/Types.h"

class ItemDataColumn {
public:
    DWORD_PTR Get(std::size_t row) const
    {
        const std::uint32_t entry = m_entries[row];
        return entry & kWide ? m_wideValues[entry & ~kWide] : entry;
    }
    void Set(std::size_t row, DWORD_PTR value);
    void InsertZero(std::size_t row);
    void Erase(std::size_t row);
    void Clear();
    // As KeepUnremovedRows.
    void RemoveRows(const std::vector<bool>& remove);

private:
    static constexpr std::uint32_t kWide = 0x80000000u;

    std::deque<std::uint32_t> m_entries;
    // Values written once and never reclaimed before Clear(): only a list
    // whose owner stores large values over and over grows this.
    std::vector<DWORD_PTR> m_wideValues;
};
