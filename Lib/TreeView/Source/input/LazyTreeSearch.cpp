// Type-ahead search: characters typed within the time-out form a text; the next node whose text
// starts with it (as FireIncrementalSearch judges) is focused and selected.

#include "TreeView/Source/core/LazyTree.h"

#include <QApplication>

void TBaseLazyTree::SetIncrementalSearch(TLTIncrementalSearch value)
{
    if (value == FIncrementalSearch)
        return;
    FIncrementalSearch = value;
    if (value == TLTIncrementalSearch::isNone) {
        KillTreeTimer(SearchTimer);
        FSearchBuffer.clear();
        FLastSearchHit = nullptr;
    }
}

void TBaseLazyTree::EndIncrementalSearch()
{
    ShiftTreeStates({}, tsIncrementalSearching);
    KillTreeTimer(SearchTimer);
    FSearchBuffer.clear();
    FLastSearchHit = nullptr;
}

void TBaseLazyTree::IncrementalSearchKey(char32_t charCode)
{
    KillTreeTimer(SearchTimer);
    if (FIncrementalSearch == TLTIncrementalSearch::isNone)
        return;
    if (charCode != 0) {
        ShiftTreeStates(tsIncrementalSearching, {});
        const bool backspace = charCode == 8;
        const QString typed = QString::fromUcs4(&charCode, 1);
        if (!(backspace && FSearchBuffer.size() <= 1)) {
            PLazyNode start = nullptr;
            if (FIncrementalSearchStart == TLTSearchStart::ssLastHit)
                start = FLastSearchHit;
            else if (FIncrementalSearchStart == TLTSearchStart::ssFocusedNode)
                start = FFocusNode;
            if (start && FIncrementalSearch == TLTIncrementalSearch::isInitializedOnly && !start->Has(nsReady))
                start = nullptr;
            if (start && FIncrementalSearch == TLTIncrementalSearch::isVisibleOnly && !ReachableRow(start))
                start = nullptr;
            const PLazyNode endNode = start;
            bool forward = FIncrementalSearchDirection == TLTSearchDirection::sdForward;
            if (backspace)
                forward = !forward;
            const bool sameLetter = FSearchBuffer.size() == 1 && !backspace && typed == FSearchBuffer && start &&
                                    FireIncrementalSearch(start, FSearchBuffer + typed) != 0;
            // One step of the walk in the search's direction, wrapping at the ends.
            auto step = [&](PLazyNode node) -> PLazyNode {
                PLazyNode next = nullptr;
                switch (FIncrementalSearch) {
                case TLTIncrementalSearch::isInitializedOnly:
                    next = node ? (forward ? NextNodeRaw(node) : PreviousNodeRaw(node)) : nullptr;
                    return next ? next : (forward ? FirstNodeRaw() : LastNodeRaw());
                case TLTIncrementalSearch::isVisibleOnly:
                    next = node ? (forward ? NextVisibleAfter(node) : PreviousVisibleBefore(node)) : nullptr;
                    return next ? next : (forward ? FirstVisibleNode() : LastVisibleNode());
                default:
                    next = node ? (forward ? NextNodeInOrder(node) : PreviousNodeInOrder(node)) : nullptr;
                    return next ? next : (forward ? FirstNode() : LastNode());
                }
            };
            const bool startAtNext = FSearchBuffer.isEmpty() || !start || sameLetter || backspace;
            QString text = sameLetter ? FSearchBuffer : backspace ? FSearchBuffer.chopped(1) : FSearchBuffer + typed;
            PLazyNode node = startAtNext ? step(start) : start;
            const PLazyNode first = node;
            PLazyNode found = nullptr;
            bool lastMatched = false;
            // The walk ends with its end node (the start), asked last when the walk began after it.
            bool stepped = false;
            while (node) {
                lastMatched = FireIncrementalSearch(node, text) == 0;
                if (lastMatched) {
                    found = node;
                    break;
                }
                if (stepped && node == endNode)
                    break;
                node = step(node);
                stepped = true;
                if (node == first)
                    break;
            }
            if (found) {
                DeselectAll();
                FSearchBuffer = text;
                FLastSearchHit = found;
                AssignFocusedNode(found);
                AddNodeToSelection(found);
            } else if (!lastMatched) {
                QApplication::beep();
            }
        }
    }
    SetTimer(SearchTimer, FIncrementalSearchTimeout);
}
