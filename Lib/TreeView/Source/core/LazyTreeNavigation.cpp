// Walking the nodes of TBaseLazyTree in every order. "Raw" walks touch only links and states;
// the others initialise the node they return and create children where they descend.

#include "TreeView/Source/core/LazyTree.h"

#include "TreeView/Source/core/LTErrors.h"

namespace {
constexpr const char* NotHiddenRoot = "Node must not be the hidden root node.";
}

// ---- first nodes and flagged nodes

PLazyNode TBaseLazyTree::FirstNodeRaw() const
{
    return FRoot->ChildHead;
}

PLazyNode TBaseLazyTree::FirstNode()
{
    return FirstChildOf(nullptr);
}

PLazyNode TBaseLazyTree::FirstChildOf(PLazyNode node)
{
    if (!node)
        node = FRoot;
    Ready<true>(node);
    EnsureChildren<true>(node);
    return Ready<true>(node->ChildHead);
}

PLazyNode TBaseLazyTree::FirstVisibleNodeRaw() const
{
    if (!FRoot->Has(nsMayHaveChildren))
        return nullptr;
    PLazyNode node = FRoot->ChildHead;
    while (node && !node->Has(nsShown))
        node = node->NextLink;
    return node;
}

PLazyNode TBaseLazyTree::FirstVisibleNode()
{
    PLazyNode node = FirstChildOf(nullptr);
    if (node && !node->Has(nsShown))
        node = NextVisibleSiblingOf(node);
    return node;
}

PLazyNode TBaseLazyTree::FirstVisibleChildOf(PLazyNode node)
{
    PLazyNode result = FirstChildOf(node);
    if (result && !result->Has(nsShown))
        result = NextVisibleSiblingOf(result);
    return result;
}

PLazyNode TBaseLazyTree::FirstSelectedNode() const
{
    return NextSelectedAfter(nullptr);
}

PLazyNode TBaseLazyTree::NextSelectedAfter(PLazyNode node) const
{
    if (FSelectionCount == 0)
        return nullptr;
    for (PLazyNode run = node ? NextNodeRaw(node) : FirstNodeRaw(); run; run = NextNodeRaw(run))
        if (run->Has(nsPicked))
            return run;
    return nullptr;
}

PLazyNode TBaseLazyTree::FirstCutCopyNode() const
{
    return NextCutCopyAfter(nullptr);
}

PLazyNode TBaseLazyTree::NextCutCopyAfter(PLazyNode node) const
{
    if (!FStates.Contains(tsCutPending) && !FStates.Contains(tsCopyPending))
        return nullptr;
    for (PLazyNode run = node ? NextNodeRaw(node) : FirstNodeRaw(); run; run = NextNodeRaw(run))
        if (run->Has(nsCutCopyMarked))
            return run;
    return nullptr;
}

PLazyNode TBaseLazyTree::FirstInitializedNode() const
{
    return NextInitializedAfter(nullptr);
}

PLazyNode TBaseLazyTree::NextInitializedAfter(PLazyNode node) const
{
    for (PLazyNode run = node ? NextNodeRaw(node) : FirstNodeRaw(); run; run = NextNodeRaw(run))
        if (run->Has(nsReady))
            return run;
    return nullptr;
}

// ---- the walks, for both kinds

template <bool Prepare>
PLazyNode TBaseLazyTree::Ready(PLazyNode node)
{
    if constexpr (Prepare)
        if (node && node != FRoot && !node->Has(nsReady))
            PrepareNode(node);
    return node;
}

template <bool Prepare>
void TBaseLazyTree::EnsureChildren(PLazyNode node)
{
    if constexpr (Prepare)
        if (node != FRoot && node->Has(nsMayHaveChildren) && node->NumChildren == 0)
            LoadChildNodes(node);
}

template <bool Prepare>
PLazyNode TBaseLazyTree::LastChildWalk(PLazyNode node)
{
    if (!node)
        node = FRoot;
    Ready<Prepare>(node);
    EnsureChildren<Prepare>(node);
    return node->Has(nsMayHaveChildren) ? Ready<Prepare>(node->ChildTail) : nullptr;
}

template <bool Prepare>
PLazyNode TBaseLazyTree::LastNodeWalk(PLazyNode node)
{
    PLazyNode result = nullptr;
    for (PLazyNode next = LastChildWalk<Prepare>(node); next; next = LastChildWalk<Prepare>(next))
        result = next;
    return result;
}

template <bool Prepare>
PLazyNode TBaseLazyTree::LastVisibleChildWalk(PLazyNode node)
{
    if (!node)
        node = FRoot;
    if (node != FRoot && !(node->Has(nsOpen) && ReachableRow(node)))
        return nullptr;
    PLazyNode result = LastChildWalk<Prepare>(node);
    if (result && !result->Has(nsShown))
        result = PreviousVisibleSiblingWalk<Prepare>(result);
    return result;
}

template <bool Prepare>
PLazyNode TBaseLazyTree::LastVisibleNodeWalk(PLazyNode node)
{
    PLazyNode result = nullptr;
    for (PLazyNode next = LastVisibleChildWalk<Prepare>(node); next; next = LastVisibleChildWalk<Prepare>(next))
        result = next;
    return result;
}

template <bool Prepare>
PLazyNode TBaseLazyTree::NextNodeWalk(PLazyNode node)
{
    if (!node)
        return nullptr;
    LTAssert(node != FRoot, NotHiddenRoot);
    EnsureChildren<Prepare>(node);
    if (node->ChildHead)
        return Ready<Prepare>(node->ChildHead);
    while (node != FRoot) {
        if (node->NextLink)
            return Ready<Prepare>(node->NextLink);
        node = node->ParentLink;
    }
    return nullptr;
}

template <bool Prepare>
PLazyNode TBaseLazyTree::PreviousNodeWalk(PLazyNode node)
{
    if (!node)
        return nullptr;
    LTAssert(node != FRoot, NotHiddenRoot);
    if (PLazyNode sibling = Ready<Prepare>(node->PrevLink)) {
        PLazyNode last = LastNodeWalk<Prepare>(sibling);
        return last ? last : sibling;
    }
    return node->ParentLink == FRoot ? nullptr : Ready<Prepare>(node->ParentLink);
}

template <bool Prepare>
PLazyNode TBaseLazyTree::PreviousVisibleSiblingWalk(PLazyNode node)
{
    LTAssert(node && node != FRoot, "Invalid parameter.");
    PLazyNode result = Ready<Prepare>(node->PrevLink);
    while (result && !result->Has(nsShown))
        result = Ready<Prepare>(result->PrevLink);
    return result;
}

template <bool Prepare>
PLazyNode TBaseLazyTree::NextVisibleWalk(PLazyNode node)
{
    if (!node)
        return nullptr;
    LTAssert(node != FRoot, NotHiddenRoot);
    if (!ReachableRow(node)) {
        node = VisibleParentOf(node);
        if (node == FRoot) {
            PLazyNode first = Ready<Prepare>(FRoot->Has(nsMayHaveChildren) ? FRoot->ChildHead : nullptr);
            while (first && !first->Has(nsShown))
                first = Ready<Prepare>(first->NextLink);
            return first;
        }
    }
    // invariant: only an open node's children are read, so the cache worker never looks at
    // child links the GUI thread is filling in.
    if (node->Has(nsOpen)) {
        EnsureChildren<Prepare>(node);
        if (PLazyNode child = Ready<Prepare>(node->ChildHead)) {
            if (child->Has(nsShown))
                return child;
            node = child;
        }
    }
    for (;;) {
        for (PLazyNode sibling = Ready<Prepare>(node->NextLink); sibling; sibling = Ready<Prepare>(sibling->NextLink))
            if (sibling->Has(nsShown))
                return sibling;
        node = node->ParentLink;
        if (node == FRoot)
            return nullptr;
    }
}

template <bool Prepare>
PLazyNode TBaseLazyTree::PreviousVisibleWalk(PLazyNode node)
{
    if (!node)
        return nullptr;
    LTAssert(node != FRoot, NotHiddenRoot);
    if (!ReachableRow(node)) {
        PLazyNode parent = VisibleParentOf(node);
        if (parent == FRoot)
            parent = nullptr;
        PLazyNode last = LastVisibleNodeWalk<Prepare>(parent);
        return last ? last : parent;
    }
    for (PLazyNode sibling = Ready<Prepare>(node->PrevLink); sibling; sibling = Ready<Prepare>(sibling->PrevLink))
        if (sibling->Has(nsShown)) {
            PLazyNode last = LastVisibleNodeWalk<Prepare>(sibling);
            return last ? last : sibling;
        }
    return node->ParentLink == FRoot ? nullptr : node->ParentLink;
}

// ---- the public walks

PLazyNode TBaseLazyTree::LastChildOf(PLazyNode node)
{
    return LastChildWalk<true>(node);
}

PLazyNode TBaseLazyTree::LastChildOfRaw(PLazyNode node) const
{
    return Mutable()->LastChildWalk<false>(node);
}

PLazyNode TBaseLazyTree::LastNode(PLazyNode node)
{
    return LastNodeWalk<true>(node);
}

PLazyNode TBaseLazyTree::LastNodeRaw(PLazyNode node) const
{
    return Mutable()->LastNodeWalk<false>(node);
}

PLazyNode TBaseLazyTree::LastVisibleChildOf(PLazyNode node)
{
    return LastVisibleChildWalk<true>(node);
}

PLazyNode TBaseLazyTree::LastVisibleChildOfRaw(PLazyNode node) const
{
    return Mutable()->LastVisibleChildWalk<false>(node);
}

PLazyNode TBaseLazyTree::LastVisibleNode(PLazyNode node)
{
    return LastVisibleNodeWalk<true>(node);
}

PLazyNode TBaseLazyTree::LastVisibleNodeRaw(PLazyNode node) const
{
    return Mutable()->LastVisibleNodeWalk<false>(node);
}

PLazyNode TBaseLazyTree::NextNodeRaw(PLazyNode node) const
{
    return Mutable()->NextNodeWalk<false>(node);
}

PLazyNode TBaseLazyTree::NextNodeInOrder(PLazyNode node)
{
    return NextNodeWalk<true>(node);
}

PLazyNode TBaseLazyTree::PreviousNodeRaw(PLazyNode node) const
{
    return Mutable()->PreviousNodeWalk<false>(node);
}

PLazyNode TBaseLazyTree::PreviousNodeInOrder(PLazyNode node)
{
    return PreviousNodeWalk<true>(node);
}

PLazyNode TBaseLazyTree::NextSiblingOf(PLazyNode node)
{
    if (!node)
        return nullptr;
    LTAssert(node != FRoot, NotHiddenRoot);
    return Ready<true>(node->NextLink);
}

PLazyNode TBaseLazyTree::NextVisibleSiblingOf(PLazyNode node)
{
    LTAssert(node && node != FRoot, "Invalid parameter.");
    PLazyNode result = node;
    do
        result = NextSiblingOf(result);
    while (result && !result->Has(nsShown));
    return result;
}

PLazyNode TBaseLazyTree::PreviousSiblingOf(PLazyNode node)
{
    if (!node)
        return nullptr;
    LTAssert(node != FRoot, NotHiddenRoot);
    return Ready<true>(node->PrevLink);
}

PLazyNode TBaseLazyTree::PreviousVisibleSiblingOf(PLazyNode node)
{
    return PreviousVisibleSiblingWalk<true>(node);
}

PLazyNode TBaseLazyTree::PreviousVisibleSiblingOfRaw(PLazyNode node) const
{
    return Mutable()->PreviousVisibleSiblingWalk<false>(node);
}

PLazyNode TBaseLazyTree::NextVisibleAfterRaw(PLazyNode node) const
{
    return Mutable()->NextVisibleWalk<false>(node);
}

PLazyNode TBaseLazyTree::NextVisibleAfter(PLazyNode node)
{
    return NextVisibleWalk<true>(node);
}

PLazyNode TBaseLazyTree::PreviousVisibleBeforeRaw(PLazyNode node) const
{
    return Mutable()->PreviousVisibleWalk<false>(node);
}

PLazyNode TBaseLazyTree::PreviousVisibleBefore(PLazyNode node)
{
    return PreviousVisibleWalk<true>(node);
}

PLazyNode TBaseLazyTree::VisibleParentOf(PLazyNode node) const
{
    LTAssert(node != nullptr, "Node must not be nil.");
    PLazyNode run = node;
    for (;;) {
        run = run->ParentLink;
        while (run != FRoot && !run->Has(nsOpen))
            run = run->ParentLink;
        if (run == FRoot || ReachableRow(run))
            return run;
    }
}

int TBaseLazyTree::DepthOfNode(PLazyNode node) const
{
    if (!node || node == FRoot)
        return 0;
    int depth = 0;
    for (PLazyNode run = node->ParentLink; run != FRoot; run = run->ParentLink)
        ++depth;
    return depth;
}

bool TBaseLazyTree::IsDescendantOf(PLazyNode node, PLazyNode ancestor) const
{
    if (!node || !ancestor || node == ancestor || node == FRoot)
        return false;
    if (ancestor == FRoot)
        return true;
    for (PLazyNode run = node->ParentLink; run && run != FRoot; run = run->ParentLink)
        if (run == ancestor)
            return true;
    return false;
}
