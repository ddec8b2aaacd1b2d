// The position cache of TBaseLazyTree: every 2000th visible row with the upper edge of its
// row, rebuilt by the cache worker, and the handshake with the worker.

#include "TreeView/Source/core/LazyTree.h"

#include "TreeView/Source/cache/LTWorkerThread.h"
#include "TreeView/Source/core/LTErrors.h"

#include <algorithm>

namespace {
constexpr WPARAM StopBit = 1, UseCacheBit = 2, ValidatingBit = 4, NeededBit = 8;
constexpr int RequestShift = 8;

TLazyTreeStates StatesOfBits(std::uintptr_t bits)
{
    TLazyTreeStates states;
    if (bits & StopBit)
        states.Include(tsStopValidation);
    if (bits & UseCacheBit)
        states.Include(tsUseCache);
    if (bits & ValidatingBit)
        states.Include(tsValidating);
    if (bits & NeededBit)
        states.Include(tsValidationNeeded);
    return states;
}
} // namespace

int TBaseLazyTree::PositionCacheSlots() const
{
    if (FVisibleRowCount < 2)
        return 0;
    return static_cast<int>((FVisibleRowCount + CacheThreshold - 1) / CacheThreshold);
}

void TBaseLazyTree::DropPositionCache()
{
    // why: a result the worker reports later describes the tree as it was.
    FAcceptRequest = 0;
    ShiftTreeStates(tsValidationNeeded, tsUseCache);
}

void TBaseLazyTree::ScheduleCacheValidation()
{
    HaltCacheWorker();
    if (!FStates.Contains(tsValidationNeeded) || !FWorker)
        return;
    // why: measuring asks the application (OnMeasureItem); that happens here, on the GUI thread,
    // never on the worker.
    if (HasOption(toVariableNodeHeight))
        MeasureVisibleRows();
    FWorker->QueueTree(this);
    FAcceptRequest = FCacheRequest;
}

void TBaseLazyTree::MeasureVisibleRows()
{
    ++FUpdateDepth;
    bool changed = false;
    try {
        for (PLazyNode node = FirstVisibleNodeRaw(); node; node = NextVisibleAfterRaw(node))
            if (!node->Has(nsHeightKnown)) {
                const int before = node->RowHeight;
                MeasureRowHeight(&Canvas(), node);
                changed = changed || before != node->RowHeight;
            }
    } catch (...) {
        --FUpdateDepth;
        throw;
    }
    --FUpdateDepth;
    if (changed)
        RefreshScrollBars(true);
}

void TBaseLazyTree::HaltCacheWorker()
{
    // why: a cache that is no longer used must be rebuilt by the next scheduling, or the tree
    // would walk from the first row for good.
    TLazyTreeStates enter{tsStopValidation};
    if (FStates.Contains(tsUseCache))
        enter.Include(tsValidationNeeded);
    ShiftTreeStates(enter, tsUseCache);
    FStopValidation = true;
    FAcceptRequest = 0;
    if (!FWorker || !FInWorker.load())
        return;
    if (FWorker->Halt(this))
        ShiftTreeStates(tsValidationNeeded, {});
}

void TBaseLazyTree::StopWorkerBeforeChange()
{
    if (FInWorker.load())
        HaltCacheWorker();
}

bool TBaseLazyTree::AfterVisibleChange()
{
    DropPositionCache();
    if (FUpdateDepth > 0)
        return false;
    ScheduleCacheValidation();
    RefreshScrollBars(true);
    return true;
}

bool TBaseLazyTree::RebuildPositionCache()
{
    // Runs on the worker thread: reads links, shown and open bits and row heights only.
    if (FStopValidation.load())
        return false;
    FPositionCache.clear();
    if (FVisibleRowCount <= CacheThreshold)
        return false;
    const auto slotCount = static_cast<std::size_t>(PositionCacheSlots());
    FPositionCache.resize(slotCount);
    std::size_t index = 0;
    std::uint32_t position = 0;
    std::uint32_t steps = 0;
    for (PLazyNode node = FirstVisibleNodeRaw(); node && !FStopValidation.load(); node = NextVisibleAfterRaw(node)) {
        if (steps % CacheThreshold == 0) {
            if (index == slotCount)
                break;
            FPositionCache[index++] = {node, position};
        }
        position += node->RowHeight;
        ++steps;
    }
    FPositionCache.resize(index);
    return steps > 0 && !FStopValidation.load();
}

PLazyNode TBaseLazyTree::CacheEntryForY(std::uint32_t y, std::uint32_t& entryTop) const
{
    if (FPositionCache.empty())
        return nullptr;
    auto it = std::upper_bound(FPositionCache.begin(), FPositionCache.end(), y,
                               [](std::uint32_t value, const TLTCacheEntry& e) { return value < e.EntryTop; });
    if (it != FPositionCache.begin())
        --it;
    entryTop = it->EntryTop;
    return it->EntryNode;
}

PLazyNode TBaseLazyTree::CacheEntryForNode(PLazyNode node, std::uint32_t& entryTop) const
{
    if (FPositionCache.empty())
        return nullptr;
    // The last entry whose node does not come after `node` in tree order.
    int lo = 0;
    int hi = static_cast<int>(FPositionCache.size()) - 1;
    int found = 0;
    while (lo <= hi) {
        const int mid = (lo + hi) / 2;
        if (TreeOrderCompare(FPositionCache[static_cast<size_t>(mid)].EntryNode, node) <= 0) {
            found = mid;
            lo = mid + 1;
        } else {
            hi = mid - 1;
        }
    }
    entryTop = FPositionCache[static_cast<size_t>(found)].EntryTop;
    return FPositionCache[static_cast<size_t>(found)].EntryNode;
}

void TBaseLazyTree::MsgValidationState(TMessage& message)
{
    const std::uint64_t request = message.WParam >> RequestShift;
    const TLazyTreeStates enter = StatesOfBits(message.WParam & 0xFF);
    const TLazyTreeStates leave = StatesOfBits(static_cast<std::uintptr_t>(message.LParam) & 0xFF);
    const bool current = request == FAcceptRequest && request != 0;
    const bool finish = !enter.Contains(tsValidating);
    if (current) {
        ShiftTreeStates(enter, leave);
        if (finish) {
            FAcceptRequest = 0;
            if (enter.Contains(tsUseCache) && HasOption(toVariableNodeHeight))
                RefreshScrollBars(true);
        }
    } else if (finish) {
        ShiftTreeStates({}, tsValidating);
    }
}
