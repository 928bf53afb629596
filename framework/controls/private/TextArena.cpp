#include "framework/controls/private/TextArena.h"

#include <algorithm>
#include <cstring>

namespace {

// Blocks this large keep the per-block bookkeeping negligible; a text longer
// than a block gets a block of its own.
constexpr std::size_t kBlockBytes = std::size_t { 1 } << 20;

// Each text is stored as its length (seven bits a byte, low bits first, the
// top bit saying more follow) and then its bytes: one byte of overhead for
// any text shorter than 128 bytes.
std::size_t LengthPrefixBytes(std::size_t length)
{
    std::size_t bytes = 1;
    while (length >= 0x80) {
        length >>= 7;
        ++bytes;
    }
    return bytes;
}

} // namespace

TextArena::Position TextArena::Add(std::string_view text)
{
    const std::size_t prefix = LengthPrefixBytes(text.size());
    Position position = 0;
    char* out = Reserve(prefix + text.size(), position);
    std::size_t length = text.size();
    for (std::size_t i = 0; i + 1 < prefix; ++i, length >>= 7)
        *out++ = static_cast<char>(0x80 | (length & 0x7f));
    *out++ = static_cast<char>(length);
    if (!text.empty())
        std::memcpy(out, text.data(), text.size());
    m_liveBytes += prefix + text.size();
    return position;
}

void TextArena::Release(Position position)
{
    const std::size_t length = Text(position).size();
    const std::size_t bytes = LengthPrefixBytes(length) + length;
    m_liveBytes -= bytes;
    m_deadBytes += bytes;
}

void TextArena::Clear()
{
    std::vector<Block>().swap(m_blocks);
    m_liveBytes = 0;
    m_deadBytes = 0;
}

char* TextArena::Reserve(std::size_t bytes, Position& position)
{
    if (m_blocks.empty() || m_blocks.back().size - m_blocks.back().used < bytes) {
        // Blocks are left uninitialised: pages no text reached yet cost no
        // memory.
        const std::size_t size = std::max(bytes, kBlockBytes);
        m_blocks.push_back(
            Block { std::unique_ptr<char[]>(new char[size]), static_cast<std::uint32_t>(size), 0 });
    }
    Block& block = m_blocks.back();
    position = (static_cast<Position>(m_blocks.size() - 1) << kOffsetBits) | block.used;
    char* at = block.bytes.get() + block.used;
    block.used += static_cast<std::uint32_t>(bytes);
    return at;
}
