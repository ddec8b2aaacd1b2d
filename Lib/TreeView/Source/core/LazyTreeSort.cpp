// Sorting the children of a node, and the whole tree level by level, through OnCompareNodes.

#include "TreeView/Source/core/LazyTree.h"

#include <utility>
#include <vector>

namespace {
// How far ahead a merge fetches the nodes it will compare next.
constexpr std::size_t PrefetchDistance = 8;
} // namespace

// A stable merge sort of the sibling chain: equal nodes keep their order in both directions,
// and every comparison asks the event with the earlier run's node first.
void TBaseLazyTree::SortChildrenChain(PLazyNode node, TColumnIndex column, TSortDirection direction)
{
    const std::size_t n = node->NumChildren;
    std::vector<PLazyNode> runs;
    runs.reserve(n);
    for (PLazyNode child = node->ChildHead; child; child = child->NextLink)
        runs.push_back(child);
    std::vector<PLazyNode> merged(runs.size());
    const bool ascending = direction == TSortDirection::sdAscending;
    const std::size_t dataOffset = static_cast<std::size_t>(UserDataOffset());
    auto prefetch = [&](const std::vector<PLazyNode>& from, std::size_t index, std::size_t end) {
        if (index < end)
            __builtin_prefetch(reinterpret_cast<const char*>(from[index]) + dataOffset);
    };
    const std::size_t count = runs.size();
    for (std::size_t width = 1; width < count; width *= 2) {
        for (std::size_t lo = 0; lo < count; lo += 2 * width) {
            const std::size_t mid = std::min(lo + width, count);
            const std::size_t hi = std::min(lo + 2 * width, count);
            std::size_t a = lo;
            std::size_t b = mid;
            std::size_t out = lo;
            while (a < mid && b < hi) {
                prefetch(runs, a + PrefetchDistance, mid);
                prefetch(runs, b + PrefetchDistance, hi);
                const int result = FireCompareNodes(runs[a], runs[b], column);
                const bool takeB = ascending ? result > 0 : result < 0;
                merged[out++] = takeB ? runs[b++] : runs[a++];
            }
            while (a < mid)
                merged[out++] = runs[a++];
            while (b < hi)
                merged[out++] = runs[b++];
        }
        runs.swap(merged);
    }
    PLazyNode previous = nullptr;
    std::uint32_t index = 0;
    for (PLazyNode child : runs) {
        child->PrevLink = previous;
        child->SiblingIndex = index++;
        if (previous)
            previous->NextLink = child;
        else
            node->ChildHead = child;
        previous = child;
    }
    if (previous) {
        previous->NextLink = nullptr;
        node->ChildTail = previous;
    }
}

void TBaseLazyTree::SortChildren(PLazyNode node, TColumnIndex column, TSortDirection direction, bool doInit)
{
    HaltCacheWorker();
    if (FStates.Contains(tsEditPending)) {
        KillTreeTimer(EditTimer);
        ShiftTreeStates({}, tsEditPending);
    }
    const bool committed = !FStates.Contains(tsEditing) || CommitNodeEdit();
    if (!node)
        node = FRoot;
    if (!committed || !node->Has(nsMayHaveChildren)) {
        // Nothing sorted: the halted worker takes the tree up again.
        if (FUpdateDepth == 0)
            ScheduleCacheValidation();
        return;
    }
    if (doInit) {
        if (node->NumChildren == 0)
            LoadChildNodes(node);
        else
            EnsureChildrenReady(node, false);
    }
    if (node->NumChildren > 1)
        SortChildrenChain(node, column, direction);
    DropPositionCache();
    if (FUpdateDepth == 0) {
        ScheduleCacheValidation();
        InvalidateClient();
    }
}

void TBaseLazyTree::SortSubtree(PLazyNode node, TColumnIndex column, TSortDirection direction, bool doInit)
{
    // An explicit stack: deep trees would overflow the call stack.
    std::vector<PLazyNode> pending{node};
    while (!pending.empty()) {
        PLazyNode current = pending.back();
        pending.pop_back();
        SortChildren(current, column, direction, doInit);
        std::vector<PLazyNode> children;
        for (PLazyNode child = current->ChildHead; child; child = child->NextLink) {
            if (doInit && !child->Has(nsReady))
                PrepareNode(child);
            if (child->Has(nsReady))
                children.push_back(child);
        }
        pending.insert(pending.end(), children.rbegin(), children.rend());
    }
}

void TBaseLazyTree::SortAllNodes(TColumnIndex column, TSortDirection direction, bool doInit)
{
    // why: the counter is raised directly; a batch update's end would sort again under toAutoSort.
    ++FUpdateDepth;
    try {
        if (column > InvalidColumn)
            SortSubtree(FRoot, column, direction, doInit);
        DropPositionCache();
    } catch (...) {
        if (FUpdateDepth > 0)
            --FUpdateDepth;
        throw;
    }
    if (FUpdateDepth > 0)
        --FUpdateDepth;
    if (FUpdateDepth == 0) {
        ScheduleCacheValidation();
        InvalidateClient();
    }
}
