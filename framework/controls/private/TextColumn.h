// Framework-private: the texts of one list column, stored for lists of
// millions of rows.
//
// A column of few distinct texts (a status column) costs one byte a row: a
// code into a small table of its texts. The first text the table has no room
// for turns the column into eight-byte slots, once: a slot holds a text of up
// to seven bytes itself (line numbers, short marks), or names a text of the
// table, or the place of a longer text in the column's arena.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "framework/controls/private/TextArena.h"

class TextColumn {
public:
    std::size_t Size() const { return m_slotted ? m_slots.size() : m_codes.size(); }
    // Valid until the column changes.
    std::string_view Text(std::size_t row) const
    {
        if (!m_slotted)
            return m_shared[m_codes[row]];
        const Slot& slot = m_slots[row];
        switch (KindOf(slot)) {
        case kInline:
            return { slot.data() + 1, static_cast<std::size_t>(static_cast<unsigned char>(slot[0]) >> 2) };
        case kShared:
            return m_shared[ValueOf(slot)];
        default:
            return m_arena.Text(ValueOf(slot));
        }
    }
    void Set(std::size_t row, std::string_view text);
    // Inserts an empty cell before `row` (at most Size()).
    void InsertEmpty(std::size_t row);
    void Erase(std::size_t row);
    void Clear();
    // Removes, in one pass, every row whose flag is set; flags past the end
    // count as clear. The other rows keep their order.
    void RemoveRows(const std::vector<bool>& remove);

private:
    using Slot = std::array<char, 8>;
    // What a slot's first byte says of the other seven.
    enum SlotKind : unsigned char { kInline = 0, kShared = 1, kArena = 2 };
    static constexpr std::size_t kInlineBytes = 7;
    // Codes fit in a byte, but the table is searched on every write.
    static constexpr std::size_t kMaxSharedTexts = 16;

    static Slot InlineSlot(std::string_view text);
    static Slot TaggedSlot(SlotKind kind, std::uint64_t value);
    static SlotKind KindOf(const Slot& slot) { return static_cast<SlotKind>(slot[0] & 3); }
    static std::uint64_t ValueOf(const Slot& slot)
    {
        std::uint64_t value = 0;
        for (std::size_t i = slot.size() - 1; i >= 1; --i)
            value = (value << 8) | static_cast<unsigned char>(slot[i]);
        return value;
    }
    // The index of `text` in the shared table, added when there is room;
    // -1 when it is not there and there is no room.
    int SharedIndex(std::string_view text);
    void ConvertToSlots();
    Slot StoreInSlot(std::string_view text);
    void ReleaseSlot(const Slot& slot);
    // Copies the live arena texts into a fresh arena once most of its bytes
    // are dead, so rewriting cells cannot grow memory without bound.
    void CompactArenaIfWasteful();

    // The shared texts; a deque keeps each string where it is, so views of
    // them stay valid as the table grows. Entry 0 is the empty text.
    std::deque<std::string> m_shared { std::string() };
    bool m_slotted = false;
    std::deque<std::uint8_t> m_codes;
    std::deque<Slot> m_slots;
    TextArena m_arena;
};
