// Framework-private: closing up a column of cells over removed rows.
#pragma once

#include <cstddef>
#include <vector>

// Keeps, in order, the cells whose row flag in `remove` is clear (flags past
// the end count as clear), and hands back the memory the others held.
template <typename Cells> void KeepUnremovedRows(Cells& cells, const std::vector<bool>& remove)
{
    std::size_t kept = 0;
    for (std::size_t row = 0; row < cells.size(); ++row) {
        if (row < remove.size() && remove[row])
            continue;
        if (kept != row)
            cells[kept] = cells[row];
        ++kept;
    }
    cells.resize(kept);
    cells.shrink_to_fit();
}
