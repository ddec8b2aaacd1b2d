// Sorting the children of a node, and the whole tree level by level, through OnCompareNodes.

#include "TreeView/Source/core/LazyTree.h"

#include <cstddef>
#include <vector>

namespace {
// Merges the sorted runs from[lo, mid) and from[mid, hi) into to[lo, hi). `takeLater(a, b)` is
// asked with the earlier run's node first; only a strict "later first" takes from the second
// run, so equal nodes keep their order.
template <class TakeLater>
void MergeRuns(const PLazyNode* from, PLazyNode* to, std::size_t lo, std::size_t mid, std::size_t hi,
               const TakeLater& takeLater)
{
    std::size_t a = lo;
    std::size_t b = mid;
    std::size_t out = lo;
    while (a < mid && b < hi) {
        if (takeLater(from[a], from[b]))
            to[out++] = from[b++];
        else
            to[out++] = from[a++];
    }
    while (a < mid)
        to[out++] = from[a++];
    while (b < hi)
        to[out++] = from[b++];
}

// Sorts to[lo, hi) with `from` as scratch; both hold the same nodes on entry. Splitting from the
// top merges short runs while their scattered node records are still cached, where a pass over
// the whole level at every width would fetch every record again from memory.
template <class TakeLater>
void SortRuns(PLazyNode* from, PLazyNode* to, std::size_t lo, std::size_t hi, const TakeLater& takeLater)
{
    if (hi - lo < 2)
        return;
    const std::size_t mid = lo + (hi - lo) / 2;
    SortRuns(to, from, lo, mid, takeLater);
    SortRuns(to, from, mid, hi, takeLater);
    MergeRuns(from, to, lo, mid, hi, takeLater);
}
} // namespace

// A stable merge sort over an array of the siblings, linked anew once at the end: equal nodes
// keep their order in both directions, and every comparison asks the event with the earlier
// run's node first.
void TBaseLazyTree::SortChildrenChain(PLazyNode node, TColumnIndex column, TSortDirection direction)
{
    const std::size_t count = node->NumChildren;
    std::vector<PLazyNode> sorted(count);
    // why: walking from both ends follows two independent chains at once, so the fetches of
    // scattered records overlap instead of waiting on each other.
    std::size_t front = 0;
    std::size_t back = count;
    for (PLazyNode head = node->ChildHead, tail = node->ChildTail; front < back;) {
        sorted[front++] = head;
        if (front == back)
            break;
        sorted[--back] = tail;
        head = head->NextLink;
        tail = tail->PrevLink;
    }
    std::vector<PLazyNode> scratch(sorted);
    if (direction == TSortDirection::sdAscending)
        SortRuns(scratch.data(), sorted.data(), 0, count,
                 [&](PLazyNode a, PLazyNode b) { return FireCompareNodes(a, b, column) > 0; });
    else
        SortRuns(scratch.data(), sorted.data(), 0, count,
                 [&](PLazyNode a, PLazyNode b) { return FireCompareNodes(a, b, column) < 0; });
    // why: a compare event that sorted another level has handed the tree to the worker again.
    StopWorkerBeforeChange();
    PLazyNode previous = nullptr;
    std::uint32_t index = 0;
    for (PLazyNode child : sorted) {
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
    // why: children created here are initialised too; the event must never see a node whose
    // data OnInitNode has not filled yet.
    if (doInit)
        EnsureChildrenReady(node, false);
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
