// RowSet: a set of row indexes of the list, one bit a row, with a second level
// of one bit per 64-row word that has any row in it. Finding the next row from
// a given one skips empty stretches 4096 rows at a time, so a walk over the
// set costs about the rows it meets, not the length of the list.
#pragma once

#include <cstdint>
#include <vector>

class RowSet {
public:
    // Rows 0 .. rows - 1, none of them in the set.
    void Reset(int rows);
    // Rows outside 0 .. rows - 1 are ignored.
    void Insert(int row);
    void Erase(int row);
    // The first row in the set at or after `row`, or -1.
    int FindFrom(int row) const;
    int Count() const { return m_count; }

private:
    std::vector<std::uint64_t> m_words; // bit (row % 64) of word row / 64
    std::vector<std::uint64_t> m_usedWords; // bit (word % 64) of entry word / 64: the word is not 0
    int m_rows = 0;
    int m_count = 0;
};
