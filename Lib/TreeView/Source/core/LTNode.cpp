#include "TreeView/Source/core/LTNode.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace {
// why: blocks grow with the tree so small trees stay small and big ones allocate rarely.
constexpr std::size_t FirstBlockSlots = 64;
constexpr std::size_t MaxBlockBytes = std::size_t{4} << 20;
constexpr std::size_t SlotAlign = alignof(TLTNodeRecord);
static_assert(SlotAlign <= __STDCPP_DEFAULT_NEW_ALIGNMENT__);
} // namespace

void TLTNodePool::SetSlotSize(std::size_t bytes)
{
    bytes = std::max(bytes, sizeof(TLTNodeRecord));
    bytes = (bytes + SlotAlign - 1) / SlotAlign * SlotAlign;
    if (bytes == FSlotSize)
        return;
    // Slots of the old size cannot be reused.
    FBlocks.clear();
    FCursor = FBlockEnd = FFreeList = nullptr;
    FReserved = 0;
    FSlotSize = bytes;
}

void TLTNodePool::AddBlock()
{
    const std::size_t slotCount =
        std::max(FirstBlockSlots, std::min(FReserved / FSlotSize, MaxBlockBytes / FSlotSize));
    const std::size_t bytes = slotCount * FSlotSize;
    FBlocks.push_back(std::make_unique_for_overwrite<std::byte[]>(bytes));
    FCursor = FBlocks.back().get();
    FBlockEnd = FCursor + bytes;
    FReserved += bytes;
}

PLazyNode TLTNodePool::Allocate()
{
    std::byte* slot;
    if (FFreeList) {
        slot = FFreeList;
        std::memcpy(&FFreeList, slot, sizeof(FFreeList));
    } else {
        if (FCursor == FBlockEnd)
            AddBlock();
        slot = FCursor;
        FCursor += FSlotSize;
    }
    std::memset(slot, 0, FSlotSize);
    ++FInUse;
    return new (slot) TLTNodeRecord{};
}

void TLTNodePool::Release(PLazyNode node)
{
    if (!node)
        return;
    node->~TLTNodeRecord();
    auto* slot = reinterpret_cast<std::byte*>(node);
    std::memcpy(slot, &FFreeList, sizeof(FFreeList));
    FFreeList = slot;
    if (--FInUse == 0) {
        // why: an emptied tree gives its memory back.
        FBlocks.clear();
        FCursor = FBlockEnd = FFreeList = nullptr;
        FReserved = 0;
    }
}
