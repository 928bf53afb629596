// Framework-private: texts packed end to end in large blocks, so a list of
// millions of cells costs the bytes of its texts and a little more, not a
// heap allocation per text. A text stays where it was put until the arena is
// cleared; releasing one only counts its bytes as dead, and the owner
// decides when copying the live texts into a fresh arena is worth it.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

class TextArena {
public:
    // Where a text was put; only meaningful to the arena that gave it. A
    // position fits in 56 bits (a block number and an offset in the block),
    // so an owner can pack it beside a tag byte.
    using Position = std::uint64_t;

    Position Add(std::string_view text);
    std::string_view Text(Position position) const
    {
        const Block& block = m_blocks[static_cast<std::size_t>(position >> kOffsetBits)];
        const char* at = block.bytes.get() + (position & 0xffffffffu);
        std::size_t length = 0;
        for (int shift = 0;; shift += 7) {
            const auto byte = static_cast<unsigned char>(*at++);
            length |= static_cast<std::size_t>(byte & 0x7f) << shift;
            if ((byte & 0x80) == 0)
                return { at, length };
        }
    }
    void Release(Position position);
    void Clear();

    std::size_t LiveBytes() const { return m_liveBytes; }
    std::size_t DeadBytes() const { return m_deadBytes; }

private:
    struct Block {
        std::unique_ptr<char[]> bytes;
        std::uint32_t size = 0;
        std::uint32_t used = 0;
    };
    static constexpr int kOffsetBits = 32;

    char* Reserve(std::size_t bytes, Position& position);

    std::vector<Block> m_blocks;
    std::size_t m_liveBytes = 0;
    std::size_t m_deadBytes = 0;
};
