// Node records and tree structure of TBaseLazyTree: allocation, the hidden root, child counts,
// initialisation on demand, linking and unlinking, and the subtree counts and heights.

#include "TreeView/Source/core/LazyTree.h"

#include "TreeView/Source/core/LTErrors.h"
#include "TreeView/Source/editing/LTEditLink.h"
#include "TreeView/Source/header/LTHeader.h"

#include <algorithm>
#include <cstring>

namespace {
constexpr std::uint16_t HiddenRootStates = nsReady | nsOpen | nsMayHaveChildren | nsShown;
constexpr std::uint16_t TransientLinkStates = nsCheckChanging | nsCutCopyMarked | nsBeingRemoved | nsClearingKids;

std::uint16_t ClampHeight(std::int64_t value)
{
    return static_cast<std::uint16_t>(std::clamp<std::int64_t>(value, 0, 0xFFFF));
}
} // namespace

// ---- allocation

void TBaseLazyTree::SetUpHiddenRoot(int oldSize)
{
    const auto size = static_cast<std::size_t>(NodeHeaderSize + FInternalAreaSize);
    if (!FRoot) {
        FRootStorage = std::make_unique<std::byte[]>(size);
        FRoot = new (FRootStorage.get()) TLTNodeRecord{};
    } else {
        auto storage = std::make_unique<std::byte[]>(size);
        std::memcpy(storage.get(), FRootStorage.get(), static_cast<std::size_t>(oldSize));
        // The links to the hidden root itself move with it.
        auto* root = reinterpret_cast<PLazyNode>(storage.get());
        for (PLazyNode child = FRoot->ChildHead; child; child = child->NextLink)
            child->ParentLink = root;
        FRoot->~TLTNodeRecord();
        FRootStorage = std::move(storage);
        FRoot = root;
    }
    FRoot->ParentLink = reinterpret_cast<PLazyNode>(this);
    FRoot->PrevLink = FRoot;
    FRoot->NextLink = FRoot;
    FRoot->StateBits.SetValue(HiddenRootStates);
    FRoot->SubtreeCount = std::max<std::uint32_t>(FRoot->SubtreeCount, 1);
    FRoot->RowHeight = ClampHeight(FDefaultNodeHeight);
    if (FRoot->SubtreeHeight < FRoot->RowHeight)
        FRoot->SubtreeHeight = FRoot->RowHeight;
    FRoot->RowAlign = 50;
}

int TBaseLazyTree::ReserveInternalNodeData(int size)
{
    LTAssert(!FRoot || (FRoot->ChildHead == nullptr && FNodePool.InUse() == 0),
             "Internal data allocation must be done before any node is created.");
    const int offset = NodeHeaderSize + FInternalAreaSize;
    const int oldSize = NodeHeaderSize + FInternalAreaSize;
    FInternalAreaSize += (std::max(size, 0) + 3) / 4 * 4;
    SetUpHiddenRoot(FRoot ? oldSize : 0);
    return offset;
}

void TBaseLazyTree::ResolveNodeDataSize(int& size)
{
    if (OnGetNodeDataSize)
        OnGetNodeDataSize(this, size);
}

PLazyNode TBaseLazyTree::AllocateNode()
{
    if (FNodeDataSize == -1) {
        int size = 0;
        ResolveNodeDataSize(size);
        FNodeDataSize = std::max(size, 0);
    }
    if (FNodePool.InUse() == 0)
        FNodePool.SetSlotSize(static_cast<std::size_t>(UserDataOffset() + FNodeDataSize));
    PLazyNode node = FNodePool.Allocate();
    node->SubtreeCount = 1;
    node->RowHeight = ClampHeight(FDefaultNodeHeight);
    node->SubtreeHeight = node->RowHeight;
    node->RowAlign = 50;
    node->StateBits.SetValue(nsShown);
    return node;
}

void TBaseLazyTree::FireFreeNodeAndDispose(PLazyNode node)
{
    if (node == FHotNode)
        FHotNode = nullptr;
    // why: a notification still pending for the node would hand the handler a freed node.
    if (node == FLastChangedNode)
        FLastChangedNode = nullptr;
    if (node == FPendingStructureNode)
        FPendingStructureNode = nullptr;
    if (node == FFocusNode)
        FFocusNode = nullptr;
    if (node == FRangeAnchor)
        FRangeAnchor = nullptr;
    if (node == FDropTargetNode)
        FDropTargetNode = nullptr;
    if (node == FCheckNode)
        FCheckNode = nullptr;
    if (node == FLastSearchHit)
        FLastSearchHit = nullptr;
    if (node->Has(nsReady | nsFreeCallNeeded) && OnFreeNode)
        OnFreeNode(this, node);
    FNodePool.Release(node);
}

void TBaseLazyTree::SetNodeDataSize(int value)
{
    value = std::max(value, -1);
    if (value == FNodeDataSize)
        return;
    FNodeDataSize = value;
    if (Loading())
        return;
    const std::uint32_t count = RootNodeCount();
    RemoveAllNodes();
    SetRootNodeCount(count);
}

void* TBaseLazyTree::NodeUserData(PLazyNode node) const
{
    LTAssert(FNodeDataSize > 0, "NodeDataSize not initialized.");
    if (!node || node == FRoot)
        return nullptr;
    return node->Bytes() + UserDataOffset();
}

// ---- children and counts

std::uint32_t TBaseLazyTree::GetNodeChildCount(PLazyNode node) const
{
    return (!node || node == FRoot) ? RootNodeCount() : node->NumChildren;
}

bool TBaseLazyTree::ChildrenReady(PLazyNode node) const
{
    return !(node->Has(nsMayHaveChildren) && node->NumChildren == 0);
}

void TBaseLazyTree::SetRootNodeCount(std::uint32_t value)
{
    if (Loading()) {
        FRoot->NumChildren = value;
        ShiftTreeStates(tsNeedRootCountUpdate, {});
        return;
    }
    if (value == RootNodeCount())
        return;
    HaltCacheWorker();
    StartBatchUpdate();
    try {
        SetNodeChildCount(FRoot, value);
    } catch (...) {
        FinishBatchUpdate();
        throw;
    }
    FinishBatchUpdate();
}

void TBaseLazyTree::SetNodeChildCount(PLazyNode node, std::uint32_t newCount)
{
    if (HasOption(toReadOnly))
        return;
    if (!node)
        node = FRoot;
    if (newCount == 0) {
        RemoveChildNodes(node, false);
    } else {
        if (newCount == node->NumChildren)
            return;
        HaltCacheWorker();
        while (node->NumChildren > newCount)
            RemoveNode(node->ChildTail, true);
        if (newCount > node->NumChildren)
            LinkNewChildren(node, newCount);
        if (FUpdateDepth == 0) {
            ScheduleCacheValidation();
            RefreshScrollBars(true);
            InvalidateClient();
        }
    }
    NotifyStructureChange(node == FRoot ? nullptr : node, TChangeReason::crChildAdded);
}

// Appends blank children up to `newCount`, keeping the counts and heights of the ancestors.
void TBaseLazyTree::LinkNewChildren(PLazyNode node, std::uint32_t newCount)
{
    const std::uint32_t added = newCount - node->NumChildren;
    std::uint32_t index = 0;
    if (node->ChildTail) {
        index = node->ChildTail->SiblingIndex + 1;
    } else {
        index = 0;
        node->StateBits.Include(nsMayHaveChildren);
    }
    node->StateBits.Exclude(nsKidsAllHidden);
    std::int64_t heightSum = 0;
    PLazyNode tail = node->ChildTail;
    // why: measuring may change a row height, which must not schedule a cache rebuild while
    // the chain is half built.
    ++FUpdateDepth;
    for (std::uint32_t i = 0; i < added; ++i) {
        PLazyNode child = AllocateNode();
        child->SiblingIndex = index++;
        child->ParentLink = node;
        child->PrevLink = tail;
        if (tail)
            tail->NextLink = child;
        else
            node->ChildHead = child;
        tail = child;
        node->ChildTail = child;
        // A measured height reaches the ancestors through SetRowHeight; the sum takes the
        // height the node was linked with.
        heightSum += child->RowHeight;
        try {
            GetRowHeight(child);
        } catch (...) {
            --FUpdateDepth;
            throw;
        }
    }
    --FUpdateDepth;
    if (node->Has(nsOpen)) {
        BumpSubtreeHeights(node, heightSum, true);
        if (ReachableRow(node))
            FVisibleRowCount += added;
    }
    BumpSubtreeCounts(node, added, true);
    node->NumChildren = newCount;
    if (FUpdateDepth == 0 && HasOption(toAutoSort) && Header().SortColumn() >= NoColumn)
        SortChildren(node, Header().SortColumn(), Header().SortDirection(), true);
    DropPositionCache();
}

void TBaseLazyTree::SetNodeHasChildren(PLazyNode node, bool value)
{
    if (!node || HasOption(toReadOnly))
        return;
    if (value) {
        node->StateBits.Include(nsMayHaveChildren);
        node->StateBits.Exclude(nsKidsAllHidden);
    } else {
        node->StateBits.Exclude(nsMayHaveChildren);
        RemoveChildNodes(node);
    }
}

// ---- initialisation on demand

void TBaseLazyTree::PrepareNode(PLazyNode node)
{
    // why: set first, so that a re-entrant call does not initialise twice.
    node->StateBits.Include(nsReady);
    TShellNodeInitStates initial;
    PLazyNode parent = node->ParentLink == FRoot ? nullptr : node->ParentLink;
    FireInitNode(parent, node, initial);
    if (initial.Contains(ivsDisabled))
        node->StateBits.Include(nsInactive);
    if (initial.Contains(ivsHasChildren)) {
        node->StateBits.Include(nsMayHaveChildren);
        if (node->NumChildren == 0)
            node->StateBits.Exclude(nsKidsAllHidden);
    }
    if (initial.Contains(ivsSelected)) {
        PLazyNode one[] = {node};
        PickNodes(one, 1, false);
    }
    if (initial.Contains(ivsMultiline))
        node->StateBits.Include(nsWrapText);
    if (initial.Contains(ivsExpanded) != node->Has(nsOpen)) {
        if (initial.Contains(ivsExpanded))
            FlipExpanded(node);
        else if (node->Has(nsMayHaveChildren))
            LoadChildNodes(node);
    }
}

void TBaseLazyTree::LoadChildNodes(PLazyNode node)
{
    if (!node || node == FRoot || !node->Has(nsMayHaveChildren))
        return;
    std::uint32_t count = node->NumChildren;
    FireInitChildren(node, count);
    if (count > 0) {
        SetNodeChildCount(node, count);
    } else {
        RemoveChildNodes(node);
        node->StateBits.Exclude(nsMayHaveChildren);
        UpdateAllChildrenHiddenFlag(node);
    }
}

// ---- linking

void TBaseLazyTree::LinkNodeAt(PLazyNode node, PLazyNode destination, TBaseLazyTree* tree, TLTNodeAttachMode mode)
{
    if (!tree)
        tree = this;
    tree->StopWorkerBeforeChange();
    PLazyNode parent = nullptr;
    switch (mode) {
    case TLTNodeAttachMode::amInsertBefore: {
        parent = destination->ParentLink;
        node->PrevLink = destination->PrevLink;
        node->NextLink = destination;
        node->ParentLink = parent;
        node->SiblingIndex = destination->SiblingIndex;
        if (destination->PrevLink)
            destination->PrevLink->NextLink = node;
        else
            parent->ChildHead = node;
        destination->PrevLink = node;
        for (PLazyNode run = destination; run; run = run->NextLink)
            ++run->SiblingIndex;
        break;
    }
    case TLTNodeAttachMode::amInsertAfter: {
        parent = destination->ParentLink;
        node->PrevLink = destination;
        node->NextLink = destination->NextLink;
        node->ParentLink = parent;
        if (destination->NextLink)
            destination->NextLink->PrevLink = node;
        else
            parent->ChildTail = node;
        destination->NextLink = node;
        std::uint32_t index = destination->SiblingIndex;
        for (PLazyNode run = node; run; run = run->NextLink)
            run->SiblingIndex = ++index;
        break;
    }
    case TLTNodeAttachMode::amAddChildFirst: {
        parent = destination;
        node->PrevLink = nullptr;
        node->NextLink = destination->ChildHead;
        node->ParentLink = destination;
        if (destination->ChildHead)
            destination->ChildHead->PrevLink = node;
        else
            destination->ChildTail = node;
        destination->ChildHead = node;
        std::uint32_t index = 0;
        for (PLazyNode run = node; run; run = run->NextLink)
            run->SiblingIndex = index++;
        break;
    }
    case TLTNodeAttachMode::amAddChildLast: {
        parent = destination;
        node->PrevLink = destination->ChildTail;
        node->NextLink = nullptr;
        node->ParentLink = destination;
        node->SiblingIndex = destination->ChildTail ? destination->ChildTail->SiblingIndex + 1 : 0;
        if (destination->ChildTail)
            destination->ChildTail->NextLink = node;
        else
            destination->ChildHead = node;
        destination->ChildTail = node;
        break;
    }
    case TLTNodeAttachMode::amNoWhere:
        break;
    }
    node->StateBits.Exclude(TransientLinkStates);
    if (!parent)
        return;
    ++parent->NumChildren;
    parent->StateBits.Include(nsMayHaveChildren);
    tree->BumpSubtreeCounts(parent, node->SubtreeCount, true);
    if (parent->Has(nsOpen) && node->Has(nsShown))
        tree->BumpSubtreeHeights(parent, node->SubtreeHeight, true);
    if (tree->ReachableRow(node)) {
        tree->FVisibleRowCount += tree->VisibleDescendantCount(node) + 1;
        tree->DropPositionCache();
    }
    if (parent != tree->FRoot) {
        if (node->Has(nsShown))
            parent->StateBits.Exclude(nsKidsAllHidden);
        else if (parent->NumChildren == 1)
            parent->StateBits.Include(nsKidsAllHidden);
    }
}

void TBaseLazyTree::UnlinkNode(PLazyNode node, bool keepFocus, bool reindex)
{
    LTAssert(node && node != FRoot, "Node must neither be nil nor the root node.");
    StopWorkerBeforeChange();
    if (node == FFocusNode && !keepFocus) {
        MoveFocusTo(nullptr, false);
        FireFocusChanged(FFocusNode, FFocusedColumn);
    }
    if (node == FRangeAnchor)
        ResetSelectionAnchor();
    PLazyNode parent = node->ParentLink;
    const bool updateHiddenFlag = parent != FRoot && !parent->Has(nsClearingKids);
    if (updateHiddenFlag && FUpdateDepth > 0)
        ShiftTreeStates(tsUpdateHiddenChildrenNeeded, {});
    if (node->Has(nsBeingRemoved))
        return;
    node->StateBits.Exclude(nsCheckChanging);
    // why: the rows leave before the parent may collapse below, which would hide them from the count.
    const std::uint32_t visibleRows = ReachableRow(node) ? VisibleDescendantCount(node) + 1 : 0;
    --parent->NumChildren;
    const bool heightApplies = parent->Has(nsOpen) && node->Has(nsShown);
    if (parent->NumChildren == 0) {
        parent->StateBits.Exclude(nsMayHaveChildren | nsKidsAllHidden);
        if (parent != FRoot)
            parent->StateBits.Exclude(nsOpen);
    }
    BumpSubtreeCounts(parent, -static_cast<std::int64_t>(node->SubtreeCount), true);
    if (heightApplies)
        BumpSubtreeHeights(parent, -static_cast<std::int64_t>(node->SubtreeHeight), true);
    FVisibleRowCount -= visibleRows;
    if (visibleRows > 0)
        DropPositionCache();
    if (node->PrevLink)
        node->PrevLink->NextLink = node->NextLink;
    else
        parent->ChildHead = node->NextLink;
    if (node->NextLink) {
        node->NextLink->PrevLink = node->PrevLink;
        if (reindex) {
            std::uint32_t index = node->SiblingIndex;
            for (PLazyNode run = node->NextLink; run; run = run->NextLink)
                run->SiblingIndex = index++;
        }
    } else {
        parent->ChildTail = node->PrevLink;
    }
    // why: after the splice, so that the flag no longer counts the node that left.
    if (updateHiddenFlag && FUpdateDepth == 0)
        UpdateAllChildrenHiddenFlag(parent);
}

// ---- counts, heights and visibility

void TBaseLazyTree::BumpSubtreeCounts(PLazyNode node, std::int64_t value, bool relative)
{
    const std::int64_t delta = relative ? value : value - static_cast<std::int64_t>(node->SubtreeCount);
    if (delta == 0)
        return;
    for (PLazyNode run = node; run; run = run == FRoot ? nullptr : run->ParentLink)
        run->SubtreeCount = static_cast<std::uint32_t>(static_cast<std::int64_t>(run->SubtreeCount) + delta);
}

void TBaseLazyTree::BumpSubtreeHeights(PLazyNode node, std::int64_t value, bool relative)
{
    const std::int64_t delta = relative ? value : value - static_cast<std::int64_t>(node->SubtreeHeight);
    if (delta == 0)
        return;
    PLazyNode run = node;
    for (;;) {
        run->SubtreeHeight = static_cast<std::uint32_t>(static_cast<std::int64_t>(run->SubtreeHeight) + delta);
        if (run == FRoot || !run->Has(nsShown))
            break;
        PLazyNode parent = run->ParentLink;
        if (!parent || !parent->Has(nsOpen))
            break;
        run = parent;
    }
}

int TBaseLazyTree::GetRowHeight(PLazyNode node)
{
    if (!node || node == FRoot)
        return 0;
    if (HasOption(toVariableNodeHeight))
        MeasureRowHeight(&Canvas(), node);
    return node->RowHeight;
}

void TBaseLazyTree::MeasureRowHeight(TCanvas* canvas, PLazyNode node)
{
    if (node->Has(nsHeightKnown))
        return;
    node->StateBits.Include(nsHeightKnown);
    int height = node->RowHeight;
    FireMeasureItem(canvas, node, height);
    if (height != node->RowHeight)
        SetRowHeight(node, height);
}

void TBaseLazyTree::SetRowHeight(PLazyNode node, int height)
{
    if (!node || node == FRoot || HasOption(toReadOnly))
        return;
    const std::uint16_t newHeight = ClampHeight(height);
    if (newHeight == node->RowHeight)
        return;
    const bool onVisiblePath = ReachableRow(node);
    if (onVisiblePath)
        StopWorkerBeforeChange();
    const int difference = newHeight - node->RowHeight;
    node->RowHeight = newHeight;
    BumpSubtreeHeights(node, difference, true);
    PositionEditor();
    if (onVisiblePath && AfterVisibleChange())
        RepaintToBottom(node);
}

bool TBaseLazyTree::ReachableRow(PLazyNode node) const
{
    LTAssert(node != nullptr, "Invalid parameter.");
    if (node == FRoot)
        return node->Has(nsShown);
    return node->Has(nsShown) && AncestorsOpen(node);
}

bool TBaseLazyTree::AncestorsOpen(PLazyNode node) const
{
    LTAssert(node && node != FRoot, "Invalid parameters.");
    PLazyNode run = node->ParentLink;
    while (run && run != FRoot) {
        if (!run->HasAll(nsOpen | nsShown))
            return false;
        run = run->ParentLink;
    }
    return run == FRoot;
}

bool TBaseLazyTree::GetNodeShown(PLazyNode node)
{
    if (!node)
        node = FRoot;
    if (node != FRoot && !node->Has(nsReady))
        PrepareNode(node);
    return node->Has(nsShown);
}

void TBaseLazyTree::SetNodeShown(PLazyNode node, bool value)
{
    if (!node || node == FRoot || node->Has(nsShown) == value)
        return;
    StopWorkerBeforeChange();
    PLazyNode parent = node->ParentLink;
    const bool ancestorsOpen = AncestorsOpen(node);
    const std::uint32_t rows = VisibleDescendantCount(node) + 1;
    if (value) {
        node->StateBits.Include(nsShown);
        if (parent->Has(nsOpen))
            BumpSubtreeHeights(parent, node->SubtreeHeight, true);
        if (ancestorsOpen)
            FVisibleRowCount += rows;
    } else {
        if (parent->Has(nsOpen))
            BumpSubtreeHeights(parent, -static_cast<std::int64_t>(node->SubtreeHeight), true);
        if (ancestorsOpen)
            FVisibleRowCount -= rows;
        node->StateBits.Exclude(nsShown);
        if (node == FHotNode)
            FHotNode = nullptr;
    }
    if (parent != FRoot)
        UpdateAllChildrenHiddenFlag(parent);
    if (AfterVisibleChange())
        InvalidateClient();
}

bool TBaseLazyTree::GetNodeExpanded(PLazyNode node) const
{
    return node && node->Has(nsOpen);
}

void TBaseLazyTree::SetNodeExpanded(PLazyNode node, bool value)
{
    if (!node || node == FRoot || node->Has(nsOpen) == value)
        return;
    FlipExpanded(node);
}

bool TBaseLazyTree::GetNodeDisabled(PLazyNode node) const
{
    return node && node->Has(nsInactive);
}

void TBaseLazyTree::SetNodeDisabled(PLazyNode node, bool value)
{
    if (!node || node == FRoot || node->Has(nsInactive) == value)
        return;
    node->StateBits.Assign(nsInactive, value);
    RepaintNode(node);
}

std::uint32_t TBaseLazyTree::VisibleDescendantCount(PLazyNode node) const
{
    if (!node->Has(nsOpen))
        return 0;
    std::uint32_t count = 0;
    for (PLazyNode child = node->ChildHead; child; child = child->NextLink)
        if (child->Has(nsShown))
            count += 1 + VisibleDescendantCount(child);
    return count;
}

void TBaseLazyTree::UpdateAllChildrenHiddenFlag(PLazyNode node)
{
    if (node->ChildHead) {
        bool anyShown = false;
        for (PLazyNode child = node->ChildHead; child && !anyShown; child = child->NextLink)
            anyShown = child->Has(nsShown);
        node->StateBits.Assign(nsKidsAllHidden, !anyShown);
    } else {
        node->StateBits.Assign(nsKidsAllHidden, !node->Has(nsMayHaveChildren));
    }
}

void TBaseLazyTree::UpdateAllChildrenHiddenFlags()
{
    for (PLazyNode node = FirstNodeRaw(); node; node = NextNodeRaw(node))
        UpdateAllChildrenHiddenFlag(node);
}

int TBaseLazyTree::LevelDistance(PLazyNode node1, PLazyNode node2) const
{
    LTAssert(node1 && node2, "Both nodes must be Assigned.");
    auto level = [this](PLazyNode node) {
        int result = 0;
        while (node != FRoot) {
            ++result;
            node = node->ParentLink;
        }
        return result;
    };
    return level(node2) - level(node1);
}

int TBaseLazyTree::TreeOrderCompare(PLazyNode node1, PLazyNode node2) const
{
    LTAssert(node1 && node2, "Nodes must never be nil.");
    if (node1 == node2)
        return 0;
    if (IsDescendantOf(node1, node2))
        return 1;
    if (IsDescendantOf(node2, node1))
        return -1;
    const int distance = LevelDistance(node1, node2);
    PLazyNode run1 = node1;
    PLazyNode run2 = node2;
    for (int i = 0; i < distance; ++i)
        run2 = run2->ParentLink;
    for (int i = 0; i < -distance; ++i)
        run1 = run1->ParentLink;
    while (run1->ParentLink != run2->ParentLink) {
        run1 = run1->ParentLink;
        run2 = run2->ParentLink;
    }
    return static_cast<int>(run1->SiblingIndex) - static_cast<int>(run2->SiblingIndex);
}

bool TBaseLazyTree::ShownSiblingFollows(PLazyNode node) const
{
    for (PLazyNode run = node->NextLink; run; run = run->NextLink)
        if (run->Has(nsShown))
            return true;
    return false;
}

bool TBaseLazyTree::FirstShownChildIs(PLazyNode parent, PLazyNode node) const
{
    PLazyNode run = parent->ChildHead;
    while (run && !run->Has(nsShown))
        run = run->NextLink;
    return run == node;
}

bool TBaseLazyTree::LastShownChildIs(PLazyNode parent, PLazyNode node) const
{
    PLazyNode run = parent->ChildTail;
    while (run && !run->Has(nsShown))
        run = run->PrevLink;
    return run == node;
}
