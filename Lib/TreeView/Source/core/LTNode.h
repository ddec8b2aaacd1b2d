#pragma once
// The node record of the tree and the pool its nodes live in.
//
// A node is one zero-filled slot: the header fields below, then the internal data areas that
// tree classes reserve, then the application's data. Applications and subclasses read the
// header fields directly; the counts and heights obey the invariants kept by TBaseLazyTree.
//
// invariant: StateBits is the only field the GUI thread writes while the cache worker may walk
// the tree; every other change of what the worker reads (links, row heights, visibility,
// counts) first halts the worker. StateBits is therefore an atomic word, written only by the
// GUI thread (plain loads and stores, no read-modify-write atomics needed).

#include "TreeView/Source/core/LTTypes.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

class TLTNodeStateBits {
public:
    std::uint16_t Value() const { return FBits.load(std::memory_order_relaxed); }
    void SetValue(std::uint16_t bits) { FBits.store(bits, std::memory_order_relaxed); }
    // True when any of the bits in `mask` is set.
    bool Has(std::uint16_t mask) const { return (Value() & mask) != 0; }
    bool HasAll(std::uint16_t mask) const { return (Value() & mask) == mask; }
    void Include(std::uint16_t mask) { SetValue(static_cast<std::uint16_t>(Value() | mask)); }
    void Exclude(std::uint16_t mask) { SetValue(static_cast<std::uint16_t>(Value() & ~mask)); }
    void Assign(std::uint16_t mask, bool on) { on ? Include(mask) : Exclude(mask); }

private:
    std::atomic<std::uint16_t> FBits{0};
};

struct TLTNodeRecord {
    std::uint32_t SiblingIndex;
    std::uint32_t NumChildren;
    std::uint16_t RowHeight;
    TLTNodeStateBits StateBits;
    std::uint8_t RowAlign;
    TCheckState CheckMark;
    TLTCheckKind CheckKind;
    std::uint8_t Spare;
    std::uint32_t SubtreeCount;
    std::uint32_t SubtreeHeight;
    // The parent; the hidden root's ParentLink holds its tree (see OwningTreeOf).
    PLazyNode ParentLink;
    PLazyNode PrevLink;
    PLazyNode NextLink;
    PLazyNode ChildHead;
    PLazyNode ChildTail;

    bool Has(std::uint16_t mask) const { return StateBits.Has(mask); }
    bool HasAll(std::uint16_t mask) const { return StateBits.HasAll(mask); }
    std::byte* Bytes() { return reinterpret_cast<std::byte*>(this); }
};

// Bytes of the header; internal areas start here.
constexpr int NodeHeaderSize = static_cast<int>(sizeof(TLTNodeRecord));
static_assert(alignof(TLTNodeRecord) <= alignof(std::max_align_t));

// Fixed-size node slots handed out from large blocks; a freed slot is reused. The slot size may
// change only while no slot is in use.
class TLTNodePool {
public:
    TLTNodePool() = default;
    TLTNodePool(const TLTNodePool&) = delete;
    TLTNodePool& operator=(const TLTNodePool&) = delete;

    // Rounds `bytes` up to the node alignment. Precondition: no slot is in use.
    void SetSlotSize(std::size_t bytes);
    std::size_t SlotSize() const { return FSlotSize; }

    // A zero-filled slot with a constructed node header.
    PLazyNode Allocate();
    void Release(PLazyNode node);
    std::size_t InUse() const { return FInUse; }
    // Bytes held in blocks (used and free slots).
    std::size_t ReservedBytes() const { return FReserved; }

private:
    void AddBlock();

    std::size_t FSlotSize = sizeof(TLTNodeRecord);
    std::vector<std::unique_ptr<std::byte[]>> FBlocks;
    std::byte* FCursor = nullptr;   // next never-used slot in the newest block
    std::byte* FBlockEnd = nullptr;
    std::byte* FFreeList = nullptr; // released slots, linked through their first bytes
    std::size_t FInUse = 0;
    std::size_t FReserved = 0;
};
