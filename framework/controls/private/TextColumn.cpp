#include "framework/controls/private/TextColumn.h"

#include <algorithm>

#include "framework/controls/private/RowCompaction.h"

void TextColumn::Set(std::size_t row, std::string_view text)
{
    if (!m_slotted) {
        const int code = SharedIndex(text);
        if (code >= 0) {
            m_codes[row] = static_cast<std::uint8_t>(code);
            return;
        }
        ConvertToSlots();
    }
    Slot& slot = m_slots[row];
    // The new text is stored before the old one is let go: `text` may be a
    // view of the old one.
    const Slot old = slot;
    slot = StoreInSlot(text);
    ReleaseSlot(old);
    CompactArenaIfWasteful();
}

void TextColumn::InsertEmpty(std::size_t row)
{
    if (m_slotted)
        m_slots.insert(m_slots.begin() + static_cast<std::ptrdiff_t>(row), InlineSlot({}));
    else
        m_codes.insert(m_codes.begin() + static_cast<std::ptrdiff_t>(row), 0);
}

void TextColumn::Erase(std::size_t row)
{
    if (m_slotted) {
        ReleaseSlot(m_slots[row]);
        m_slots.erase(m_slots.begin() + static_cast<std::ptrdiff_t>(row));
        CompactArenaIfWasteful();
    } else {
        m_codes.erase(m_codes.begin() + static_cast<std::ptrdiff_t>(row));
    }
}

void TextColumn::Clear()
{
    // Swapping with fresh containers hands the memory back at once.
    std::deque<std::string> { std::string() }.swap(m_shared);
    std::deque<std::uint8_t>().swap(m_codes);
    std::deque<Slot>().swap(m_slots);
    m_arena.Clear();
    m_slotted = false;
}

void TextColumn::RemoveRows(const std::vector<bool>& remove)
{
    if (m_slotted) {
        for (std::size_t row = 0; row < std::min(remove.size(), m_slots.size()); ++row) {
            if (remove[row])
                ReleaseSlot(m_slots[row]);
        }
        KeepUnremovedRows(m_slots, remove);
        CompactArenaIfWasteful();
    } else {
        KeepUnremovedRows(m_codes, remove);
    }
}

TextColumn::Slot TextColumn::InlineSlot(std::string_view text)
{
    Slot slot {};
    slot[0] = static_cast<char>(kInline | (text.size() << 2));
    std::copy(text.begin(), text.end(), slot.begin() + 1);
    return slot;
}

TextColumn::Slot TextColumn::TaggedSlot(SlotKind kind, std::uint64_t value)
{
    Slot slot {};
    slot[0] = static_cast<char>(kind);
    for (std::size_t i = 1; i < slot.size(); ++i, value >>= 8)
        slot[i] = static_cast<char>(value & 0xff);
    return slot;
}

int TextColumn::SharedIndex(std::string_view text)
{
    for (std::size_t i = 0; i < m_shared.size(); ++i) {
        if (m_shared[i] == text)
            return static_cast<int>(i);
    }
    if (m_shared.size() == kMaxSharedTexts)
        return -1;
    m_shared.emplace_back(text);
    return static_cast<int>(m_shared.size() - 1);
}

void TextColumn::ConvertToSlots()
{
    std::deque<Slot> slots;
    for (const std::uint8_t code : m_codes) {
        const std::string& text = m_shared[code];
        slots.push_back(text.size() <= kInlineBytes ? InlineSlot(text) : TaggedSlot(kShared, code));
    }
    std::deque<std::uint8_t>().swap(m_codes);
    m_slots.swap(slots);
    m_slotted = true;
}

TextColumn::Slot TextColumn::StoreInSlot(std::string_view text)
{
    if (text.size() <= kInlineBytes)
        return InlineSlot(text);
    return TaggedSlot(kArena, m_arena.Add(text));
}

void TextColumn::ReleaseSlot(const Slot& slot)
{
    if (KindOf(slot) == kArena)
        m_arena.Release(ValueOf(slot));
}

void TextColumn::CompactArenaIfWasteful()
{
    constexpr std::size_t kSmallWaste = std::size_t { 1 } << 20;
    if (m_arena.DeadBytes() <= std::max(m_arena.LiveBytes(), kSmallWaste))
        return;
    TextArena fresh;
    for (Slot& slot : m_slots) {
        if (KindOf(slot) == kArena)
            slot = TaggedSlot(kArena, fresh.Add(m_arena.Text(ValueOf(slot))));
    }
    std::swap(m_arena, fresh);
}
