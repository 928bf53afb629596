#include "urllist/RowSet.h"

#include <bit>
#include <cstddef>

namespace {

constexpr std::size_t kBits = 64;

// The bits of `word` from `first` on.
std::uint64_t From(std::uint64_t word, std::size_t first)
{
    return word & (~std::uint64_t { 0 } << first);
}

} // namespace

void RowSet::Reset(int rows)
{
    m_rows = rows > 0 ? rows : 0;
    m_count = 0;
    const std::size_t words = (static_cast<std::size_t>(m_rows) + kBits - 1) / kBits;
    m_words.assign(words, 0);
    m_usedWords.assign((words + kBits - 1) / kBits, 0);
}

void RowSet::Insert(int row)
{
    if (row < 0 || row >= m_rows)
        return;
    const std::size_t word = static_cast<std::size_t>(row) / kBits;
    const std::uint64_t bit = std::uint64_t { 1 } << (static_cast<std::size_t>(row) % kBits);
    if (m_words[word] & bit)
        return;
    m_words[word] |= bit;
    m_usedWords[word / kBits] |= std::uint64_t { 1 } << (word % kBits);
    ++m_count;
}

void RowSet::Erase(int row)
{
    if (row < 0 || row >= m_rows)
        return;
    const std::size_t word = static_cast<std::size_t>(row) / kBits;
    const std::uint64_t bit = std::uint64_t { 1 } << (static_cast<std::size_t>(row) % kBits);
    if (!(m_words[word] & bit))
        return;
    m_words[word] &= ~bit;
    if (m_words[word] == 0)
        m_usedWords[word / kBits] &= ~(std::uint64_t { 1 } << (word % kBits));
    --m_count;
}

int RowSet::FindFrom(int row) const
{
    if (row < 0)
        row = 0;
    if (row >= m_rows)
        return -1;
    std::size_t word = static_cast<std::size_t>(row) / kBits;
    const std::uint64_t here = From(m_words[word], static_cast<std::size_t>(row) % kBits);
    if (here != 0)
        return static_cast<int>(word * kBits + static_cast<std::size_t>(std::countr_zero(here)));
    ++word;
    std::size_t entry = word / kBits;
    if (entry >= m_usedWords.size())
        return -1;
    std::uint64_t used = From(m_usedWords[entry], word % kBits);
    while (used == 0) {
        if (++entry >= m_usedWords.size())
            return -1;
        used = m_usedWords[entry];
    }
    word = entry * kBits + static_cast<std::size_t>(std::countr_zero(used));
    return static_cast<int>(word * kBits + static_cast<std::size_t>(std::countr_zero(m_words[word])));
}
