#include "framework/thread/Interlocked.h"

#include <atomic>
#include <cstdint>

namespace {

// The classic signature says volatile; atomic_ref wants the plain object.
std::atomic_ref<LONG> Counter(LONG volatile* addend)
{
    return std::atomic_ref<LONG>(*const_cast<LONG*>(addend));
}

// Unsigned arithmetic, so that wrapping past the maximum is defined.
LONG Add(LONG value, std::uint32_t delta)
{
    return static_cast<LONG>(static_cast<std::uint32_t>(value) + delta);
}

} // namespace

LONG InterlockedIncrement(LONG volatile* addend)
{
    return Add(Counter(addend).fetch_add(1), 1u);
}

LONG InterlockedDecrement(LONG volatile* addend)
{
    return Add(Counter(addend).fetch_sub(1), static_cast<std::uint32_t>(-1));
}
