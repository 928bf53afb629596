#include "framework/window/WindowTable.h"

#include <mutex>
#include <vector>

namespace {

constexpr std::uint32_t kIndexBits = 16;
constexpr std::uint32_t kIndexMask = (1u << kIndexBits) - 1;

struct Slot {
    CWnd* wnd = nullptr;
    std::uint32_t generation = 1;
};

struct Table {
    std::mutex mutex;
    std::vector<Slot> slots { Slot {} }; // slot 0 is never used: handle 0 is null
    std::vector<std::uint32_t> free;
};

Table& TheTable()
{
    static Table table;
    return table;
}

HWND MakeHandle(std::uint32_t index, std::uint32_t generation)
{
    return HWND((generation << kIndexBits) | index);
}

} // namespace

namespace WindowTable {

HWND Add(CWnd* wnd)
{
    Table& t = TheTable();
    std::lock_guard lock(t.mutex);
    std::uint32_t index;
    if (!t.free.empty()) {
        index = t.free.back();
        t.free.pop_back();
    } else {
        index = static_cast<std::uint32_t>(t.slots.size());
        if (index > kIndexMask)
            return HWND();
        t.slots.push_back(Slot {});
    }
    t.slots[index].wnd = wnd;
    return MakeHandle(index, t.slots[index].generation);
}

void Remove(HWND hWnd)
{
    Table& t = TheTable();
    std::lock_guard lock(t.mutex);
    const std::uint32_t index = hWnd.value & kIndexMask;
    if (index == 0 || index >= t.slots.size())
        return;
    Slot& slot = t.slots[index];
    if (slot.wnd == nullptr || MakeHandle(index, slot.generation) != hWnd)
        return;
    slot.wnd = nullptr;
    // Generation 0 would let a handle of value 0 appear; skip it on wrap.
    slot.generation = (slot.generation + 1) & 0xFFFF;
    if (slot.generation == 0)
        slot.generation = 1;
    t.free.push_back(index);
}

CWnd* Lookup(HWND hWnd)
{
    Table& t = TheTable();
    std::lock_guard lock(t.mutex);
    const std::uint32_t index = hWnd.value & kIndexMask;
    if (index == 0 || index >= t.slots.size())
        return nullptr;
    const Slot& slot = t.slots[index];
    return MakeHandle(index, slot.generation) == hWnd ? slot.wnd : nullptr;
}

bool IsWindow(HWND hWnd)
{
    return Lookup(hWnd) != nullptr;
}

} // namespace WindowTable
