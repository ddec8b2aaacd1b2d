// Node operations of TBaseLazyTree: batch updates, adding, inserting, deleting and moving
// nodes, expanding and collapsing, and re-initialising.

#include "TreeView/Source/core/LazyTree.h"

#include "TreeView/Source/core/LTErrors.h"
#include "TreeView/Source/header/LTHeader.h"

#include "Platform/files/Streams.h"

#include <QClipboard>
#include <QGuiApplication>
#include <algorithm>

namespace {
constexpr const char* IteratingMessage = "Deleting nodes during tree iteration leads to invalid pointers.";

// Nothing can be placed beside the hidden root.
TLTNodeAttachMode MapForRoot(TLTNodeAttachMode mode)
{
    if (mode == TLTNodeAttachMode::amInsertBefore)
        return TLTNodeAttachMode::amAddChildFirst;
    if (mode == TLTNodeAttachMode::amInsertAfter)
        return TLTNodeAttachMode::amAddChildLast;
    return mode;
}

bool IsChildMode(TLTNodeAttachMode mode)
{
    return mode == TLTNodeAttachMode::amAddChildFirst || mode == TLTNodeAttachMode::amAddChildLast;
}

// Lowers a raised update counter when an operation ends, also by an exception.
class TDepthGuard {
public:
    explicit TDepthGuard(int& depth) : FDepth(depth) { ++FDepth; }
    ~TDepthGuard()
    {
        if (FDepth > 0)
            --FDepth;
    }
    TDepthGuard(const TDepthGuard&) = delete;
    TDepthGuard& operator=(const TDepthGuard&) = delete;

private:
    int& FDepth;
};

// Keeps a batch update open for its scope.
class TBatch {
public:
    explicit TBatch(TBaseLazyTree& tree) : FTree(tree) { FTree.StartBatchUpdate(); }
    ~TBatch()
    {
        try {
            FTree.FinishBatchUpdate();
        } catch (...) {
            // why: a handler failing while the batch closes must not escape a destructor.
        }
    }
    TBatch(const TBatch&) = delete;
    TBatch& operator=(const TBatch&) = delete;

private:
    TBaseLazyTree& FTree;
};
} // namespace

// ---- batch updates

void TBaseLazyTree::StartBatchUpdate()
{
    if (!IsDestroying()) {
        if (FUpdateDepth > 0) {
            FireUpdating(TLTUpdateState::usUpdate);
        } else {
            FireUpdating(TLTUpdateState::usBegin);
            if (WindowExists() && isVisible())
                viewport()->setUpdatesEnabled(false);
        }
    }
    ++FUpdateDepth;
    ShiftTreeStates(tsUpdating, {});
}

void TBaseLazyTree::FinishBatchUpdate()
{
    if (FUpdateDepth > 0)
        --FUpdateDepth;
    if (IsDestroying())
        return;
    if (FUpdateDepth == 0 && FStates.Contains(tsUpdating)) {
        if (FStates.Contains(tsUpdateHiddenChildrenNeeded)) {
            UpdateAllChildrenHiddenFlags();
            ShiftTreeStates({}, tsUpdateHiddenChildrenNeeded);
        }
        ShiftTreeStates({}, tsUpdating);
        PackSelection();
        ScheduleCacheValidation();
        if (WindowExists())
            RefreshScrollBars(false);
        if (FStates.Contains(tsStructureChangePending))
            FireStructureChange(FPendingStructureNode, FPendingStructureReason);
        if (FStates.Contains(tsChangePending))
            FireChange(FLastChangedNode);
        if (HasOption(toAutoSort) && Header().SortColumn() > InvalidColumn)
            SortAllNodes(Header().SortColumn(), Header().SortDirection(), true);
        if (WindowExists()) {
            viewport()->setUpdatesEnabled(true);
            InvalidateClient();
        }
        NotifyFormDesigner();
    }
    FireUpdating(FUpdateDepth == 0 ? TLTUpdateState::usEnd : TLTUpdateState::usUpdate);
}

// ---- adding

namespace {
void StoreUserData(TBaseLazyTree& tree, PLazyNode node, std::uint32_t userData)
{
    if (userData == 0)
        return;
    if (tree.NodeDataSize() < 4)
        RaiseTreeError(hcTFCannotSetUserData);
    auto* bytes = static_cast<unsigned char*>(tree.NodeUserData(node));
    for (int i = 0; i < 4; ++i)
        bytes[i] = static_cast<unsigned char>((userData >> (8 * i)) & 0xFF);
    node->StateBits.Include(nsFreeCallNeeded);
}
} // namespace

PLazyNode TBaseLazyTree::AppendChildNode(PLazyNode parent, std::uint32_t userData)
{
    if (HasOption(toReadOnly))
        return nullptr;
    CancelNodeEdit();
    if (!parent)
        parent = FRoot;
    if (parent != FRoot && !parent->Has(nsReady))
        PrepareNode(parent);
    {
        TDepthGuard depth(FUpdateDepth);
        SetNodeChildCount(parent, parent->NumChildren + 1);
        parent->StateBits.Exclude(nsKidsAllHidden);
    }
    PLazyNode node = parent->ChildTail;
    StoreUserData(*this, node, userData);
    if (FUpdateDepth > 0)
        return node;
    ScheduleCacheValidation();
    if (FStates.Contains(tsStructureChangePending))
        NotifyStructureChange(parent == FRoot ? nullptr : parent, TChangeReason::crChildAdded);
    if (HasOption(toAutoSort) && Header().SortColumn() > InvalidColumn)
        SortChildren(parent, Header().SortColumn(), Header().SortDirection(), true);
    RepaintToBottom(parent);
    RefreshScrollBars(true);
    return node;
}

PLazyNode TBaseLazyTree::PlaceNewNode(PLazyNode node, TLTNodeAttachMode mode, std::uint32_t userData)
{
    if (mode == TLTNodeAttachMode::amNoWhere || HasOption(toReadOnly))
        return nullptr;
    CancelNodeEdit();
    if (!node)
        node = FRoot;
    if (node == FRoot)
        mode = MapForRoot(mode);
    PLazyNode result = AllocateNode();
    if (IsChildMode(mode) && node != FRoot && !node->Has(nsReady))
        PrepareNode(node);
    LinkNodeAt(result, node, this, mode);
    StoreUserData(*this, result, userData);
    if (FUpdateDepth == 0) {
        if (HasOption(toAutoSort) && Header().SortColumn() > InvalidColumn)
            SortChildren(IsChildMode(mode) ? node : node->ParentLink, Header().SortColumn(), Header().SortDirection(),
                         true);
        ScheduleCacheValidation();
        RefreshScrollBars(true);
        RepaintToBottom(mode == TLTNodeAttachMode::amInsertBefore ? result : node);
    }
    NotifyStructureChange(result, TChangeReason::crNodeAdded);
    return result;
}

// ---- deleting

void TBaseLazyTree::ClearNodeReferences()
{
    FFocusNode = nullptr;
    FHotNode = nullptr;
    FDropTargetNode = nullptr;
    FLastChangedNode = nullptr;
    FPendingStructureNode = nullptr;
    FRangeAnchor = nullptr;
    FCheckNode = nullptr;
}

void TBaseLazyTree::RemoveNode(PLazyNode node, bool reindex)
{
    if (!node || node == FRoot || HasOption(toReadOnly))
        return;
    LTAssert(!FStates.Contains(tsIterating), IteratingMessage);
    PLazyNode parent = node->ParentLink;
    const bool parentClearing = parent->Has(nsClearingKids);
    if (!parentClearing)
        NotifyStructureChange(parent == FRoot ? nullptr : parent, TChangeReason::crChildDeleted);
    const int offsetX = FOffsetX;
    const int offsetY = FOffsetY;
    if (!node->Has(nsPicked)) {
        RepaintToBottom(parent);
    } else if (FUpdateDepth > 0) {
        UnselectNodeQuiet(node);
    } else {
        const bool synch = FStates.Contains(tsSynchMode);
        FStates.Include(tsSynchMode);
        try {
            UnselectNode(node);
        } catch (...) {
            if (!synch)
                FStates.Exclude(tsSynchMode);
            throw;
        }
        if (!synch)
            FStates.Exclude(tsSynchMode);
        RepaintToBottom(parent);
    }
    if (FStates.Contains(tsHint))
        ShiftTreeStates({}, tsHint);
    RemoveChildNodes(node, false);
    UnlinkNode(node, false, reindex);
    FireFreeNodeAndDispose(node);
    if (parentClearing)
        return;
    if (parent != FRoot)
        UpdateAllChildrenHiddenFlag(parent);
    if (AfterVisibleChange() && (offsetX != FOffsetX || offsetY != FOffsetY))
        InvalidateClient();
}

void TBaseLazyTree::RemoveChildNodes(PLazyNode node, bool resetHasChildren)
{
    if (!node)
        node = FRoot;
    if ((node->NumChildren == 0 && !node->ChildHead) || HasOption(toReadOnly)) {
        if (resetHasChildren && node->NumChildren == 0 && !HasOption(toReadOnly))
            node->StateBits.Exclude(nsMayHaveChildren);
        return;
    }
    LTAssert(!FStates.Contains(tsIterating), IteratingMessage);
    const int offsetX = FOffsetX;
    const int offsetY = FOffsetY;
    {
        TDepthGuard depth(FUpdateDepth);
        HaltCacheWorker();
        const bool childrenVisible = node == FRoot || (node->Has(nsOpen) && ReachableRow(node));
        node->StateBits.Include(nsClearingKids);
        try {
            PLazyNode child = node->ChildTail;
            while (child) {
                if (childrenVisible && child->Has(nsShown))
                    --FVisibleRowCount;
                child->StateBits.Include(nsBeingRemoved);
                PLazyNode previous = child->PrevLink;
                if (previous)
                    previous->NextLink = nullptr;
                RemoveNode(child, true);
                child = previous;
            }
        } catch (...) {
            node->StateBits.Exclude(nsClearingKids);
            throw;
        }
        node->StateBits.Exclude(nsClearingKids);
        if (resetHasChildren)
            node->StateBits.Exclude(nsMayHaveChildren);
        if (node != FRoot)
            node->StateBits.Exclude(nsOpen);
        node->NumChildren = 0;
        node->ChildHead = node->ChildTail = nullptr;
        if (node == FRoot || node->Has(nsBeingRemoved)) {
            node->SubtreeHeight = FDefaultNodeHeight + static_cast<std::uint32_t>(GetRowHeight(node));
            node->SubtreeCount = 1;
        } else {
            BumpSubtreeHeights(node, node->RowHeight, false);
            BumpSubtreeCounts(node, 1, false);
        }
        if (node != FRoot)
            UpdateAllChildrenHiddenFlag(node);
    }
    if (FUpdateDepth == 0)
        PackSelection();
    if (AfterVisibleChange()) {
        if (offsetX == FOffsetX && offsetY == FOffsetY)
            RepaintToBottom(node);
        else
            InvalidateClient();
    }
    NotifyStructureChange(node, TChangeReason::crChildDeleted);
}

void TBaseLazyTree::RemoveSelectedNodes()
{
    if (FSelectionCount == 0 || HasOption(toReadOnly))
        return;
    TBatch batch(*this);
    const std::vector<PLazyNode> nodes = CollectSelectedNodes(true);
    for (std::size_t i = nodes.size(); i-- > 1;)
        RemoveNode(nodes[i], nodes[i]->ParentLink != nodes[i - 1]->ParentLink);
    if (!nodes.empty())
        RemoveNode(nodes[0], true);
}

void TBaseLazyTree::RemoveAllNodes()
{
    if (HasOption(toReadOnly) && !IsDestroying())
        return;
    TBatch batch(*this);
    HaltCacheWorker();
    if (FStates.Contains(tsEditing))
        AbortNodeEdit();
    if (FStates.Contains(tsCutPending) || FStates.Contains(tsCopyPending)) {
        if (!IsDestroying() && SourceTreeOfDataObject(QGuiApplication::clipboard()->mimeData()) == this)
            QGuiApplication::clipboard()->clear();
        ShiftTreeStates({}, TLazyTreeStates{tsCutPending, tsCopyPending});
    }
    DeselectAll();
    ClearNodeReferences();
    // why: the tree's own destruction lifts read-only before, so this always empties the tree.
    const bool readOnly = HasOption(toReadOnly);
    if (readOnly)
        TreeOptions().SetMiscOptions(TreeOptions().MiscOptions() - toReadOnly);
    RemoveChildNodes(FRoot, true);
    if (readOnly)
        TreeOptions().SetMiscOptions(TreeOptions().MiscOptions() + toReadOnly);
    FVisibleRowCount = 0;
    FOffsetX = 0;
    FOffsetY = 0;
}

void TBaseLazyTree::DropCutCopyMarks()
{
    if (FStates.Contains(tsCutPending) || FStates.Contains(tsCopyPending))
        for (PLazyNode node = FirstNodeRaw(); node; node = NextNodeRaw(node))
            node->StateBits.Exclude(nsCutCopyMarked);
    ShiftTreeStates({}, TLazyTreeStates{tsCutPending, tsCopyPending});
}

void TBaseLazyTree::RemoveCutNodes()
{
    if (!FStates.Contains(tsCutPending))
        return;
    TBatch batch(*this);
    PLazyNode node = FirstNodeRaw();
    while (node) {
        PLazyNode next;
        if (node->Has(nsCutCopyMarked)) {
            // The walk goes on after the node's subtree, which goes with it.
            next = node;
            while (next != FRoot && !next->NextLink)
                next = next->ParentLink;
            next = next == FRoot ? nullptr : next->NextLink;
            RemoveNode(node, true);
        } else {
            next = NextNodeRaw(node);
        }
        node = next;
    }
    ShiftTreeStates({}, tsCutPending);
}

// ---- moving

void TBaseLazyTree::RelocateNode(PLazyNode source, PLazyNode target, TLTNodeAttachMode mode, bool childrenOnly)
{
    LTAssert(!source || source == FRoot || OwningTreeOf(source) == this, "The source tree must contain the source node.");
    const bool allowedMove = source != target ||
                             (childrenOnly && (mode == TLTNodeAttachMode::amInsertBefore ||
                                               mode == TLTNodeAttachMode::amInsertAfter));
    if (!allowedMove || mode == TLTNodeAttachMode::amNoWhere || !source || source == FRoot || HasOption(toReadOnly))
        return;
    TBaseLazyTree* targetTree = this;
    if (!target) {
        target = FRoot;
        mode = TLTNodeAttachMode::amAddChildFirst;
    } else {
        targetTree = OwningTreeOf(target);
    }
    if (target == targetTree->FRoot)
        mode = MapForRoot(mode);
    if (target != targetTree->FRoot) {
        if (!target->Has(nsReady))
            targetTree->PrepareNode(target);
        else if (target->Has(nsMayHaveChildren) && target->NumChildren == 0)
            targetTree->LoadChildNodes(target);
    }
    bool allowed = false;
    if (targetTree == this) {
        allowed = FireNodeMoving(source, target == FRoot ? nullptr : target);
        if (allowed) {
            if (source != target && IsDescendantOf(target, source))
                RaiseTreeError(hcTFWrongMoveError);
            if (!childrenOnly) {
                UnlinkNode(source, true, true);
                LinkNodeAt(source, target, this, mode);
                FireNodeMoved(source);
            } else {
                std::vector<PLazyNode> children;
                for (PLazyNode child = source->ChildHead; child; child = child->NextLink)
                    children.push_back(child);
                // why: each child placed at the target itself would come before the one placed
                // earlier in these two modes; walking backwards keeps the children's order.
                if (mode == TLTNodeAttachMode::amAddChildFirst || mode == TLTNodeAttachMode::amInsertAfter)
                    std::reverse(children.begin(), children.end());
                for (PLazyNode child : children) {
                    UnlinkNode(child, true, false);
                    LinkNodeAt(child, target, this, mode);
                    FireNodeMoved(child);
                }
            }
        }
    } else {
        allowed = FireNodeMoving(source, target == targetTree->FRoot ? nullptr : target);
        if (allowed) {
            TMemoryStream stream;
            if (childrenOnly) {
                for (PLazyNode child = source->ChildHead; child; child = child->NextLink)
                    EmitNodeBlock(stream, child);
            } else {
                EmitNodeBlock(stream, source);
            }
            {
                TBatch targetBatch(*targetTree);
                stream.SetPosition(0);
                targetTree->InsertNodeBlocks(stream, target, mode, [targetTree](PLazyNode node) {
                    targetTree->FireNodeMoved(node);
                    return true;
                });
            }
            TBatch batch(*this);
            if (childrenOnly)
                RemoveChildNodes(source, false);
            else
                RemoveNode(source, true);
        }
    }
    DropPositionCache();
    if (targetTree != this)
        targetTree->DropPositionCache();
    if (allowed && FUpdateDepth == 0) {
        ScheduleCacheValidation();
        RefreshScrollBars(true);
        InvalidateClient();
        if (targetTree != this) {
            targetTree->ScheduleCacheValidation();
            targetTree->RefreshScrollBars(true);
            targetTree->InvalidateClient();
        }
    }
    NotifyStructureChange(source, TChangeReason::crNodeMoved);
}

// ---- expanding and collapsing

void TBaseLazyTree::FlipExpanded(PLazyNode node)
{
    LTAssert(node != nullptr, "Node must not be nil.");
    if (node == FRoot || node->Has(nsToggling | nsBeingRemoved))
        return;
    node->StateBits.Include(nsToggling);
    try {
        PLazyNode oldTop = FUpdateDepth == 0 ? NodeAtTop() : nullptr;
        bool changed = false;
        if (node->Has(nsOpen)) {
            if (FireCollapsing(node)) {
                changed = true;
                StopWorkerBeforeChange();
                const bool reachable = ReachableRow(node);
                const std::uint32_t rows = VisibleDescendantCount(node);
                BumpSubtreeHeights(node, node->RowHeight, false);
                if (reachable)
                    FVisibleRowCount -= rows;
                node->StateBits.Exclude(nsOpen);
                FireCollapsed(node);
                if (HasOption(toAutoFreeOnCollapse) && node->ChildHead) {
                    RemoveChildNodes(node, false);
                    node->StateBits.Include(nsMayHaveChildren);
                    node->StateBits.Exclude(nsKidsAllHidden);
                }
            }
        } else if (FireExpanding(node)) {
            changed = true;
            if (!node->Has(nsReady))
                PrepareNode(node);
            if (node->Has(nsMayHaveChildren) && node->NumChildren == 0)
                LoadChildNodes(node);
            if (node->ChildHead && !node->Has(nsOpen)) {
                StopWorkerBeforeChange();
                std::int64_t heightDelta = 0;
                for (PLazyNode child = node->ChildHead; child; child = child->NextLink)
                    if (child->Has(nsShown))
                        heightDelta += child->SubtreeHeight;
                node->StateBits.Include(nsOpen);
                BumpSubtreeHeights(node, heightDelta, true);
                if (ReachableRow(node))
                    FVisibleRowCount += VisibleDescendantCount(node);
                FireExpanded(node);
            }
        }
        if (changed)
            FinishScrollAfterExpand(node, oldTop, node->Has(nsOpen));
    } catch (...) {
        node->StateBits.Exclude(nsToggling);
        throw;
    }
    node->StateBits.Exclude(nsToggling);
}

void TBaseLazyTree::FinishScrollAfterExpand(PLazyNode node, PLazyNode oldTop, bool expanded)
{
    DropPositionCache();
    if (FUpdateDepth > 0)
        return;
    ScheduleCacheValidation();
    if (!node->ChildHead) {
        RepaintNode(node);
        return;
    }
    RefreshScrollBars(true);
    if (HasOption(toAutoScrollOnExpand) && expanded && ReachableRow(node)) {
        if (ClientHeight() < static_cast<int>(node->SubtreeHeight))
            SetNodeAtTop(node);
        else if (PLazyNode last = LastVisibleChildOfRaw(node))
            MakeNodeVisible(last, HasOption(toCenterScrollIntoView), false);
    }
    if (NodeAtTop() == oldTop)
        RepaintToBottom(node);
    else
        InvalidateClient();
}

void TBaseLazyTree::CollapseSubtree(PLazyNode node)
{
    if (FRoot->SubtreeCount < 2)
        return;
    if (node == FRoot)
        node = nullptr;
    ShiftTreeStates(tsCollapsing, {});
    try {
        TBatch batch(*this);
        PLazyNode run = LastVisibleNodeRaw(node);
        while (run && run != node) {
            PLazyNode previous = PreviousNodeRaw(run);
            if (run->HasAll(nsMayHaveChildren | nsOpen))
                FlipExpanded(run);
            run = previous;
        }
        if (node && node->HasAll(nsMayHaveChildren | nsOpen))
            FlipExpanded(node);
    } catch (...) {
        ShiftTreeStates({}, tsCollapsing);
        throw;
    }
    ShiftTreeStates({}, tsCollapsing);
}

void TBaseLazyTree::ExpandSubtree(PLazyNode node)
{
    if (FRoot->SubtreeCount < 2)
        return;
    if (node == FRoot)
        node = nullptr;
    ShiftTreeStates(tsExpanding, {});
    try {
        TBatch batch(*this);
        PLazyNode stop = nullptr;
        PLazyNode run;
        if (node) {
            for (PLazyNode up = node; up != FRoot && !stop; up = up->ParentLink)
                stop = up->NextLink;
            run = node;
        } else {
            run = FirstNodeRaw();
        }
        if (run && !run->Has(nsReady))
            PrepareNode(run);
        while (run && run != stop) {
            if (!run->Has(nsOpen))
                FlipExpanded(run);
            run = NextNodeInOrder(run);
        }
    } catch (...) {
        ShiftTreeStates({}, tsExpanding);
        throw;
    }
    ShiftTreeStates({}, tsExpanding);
}

// ---- re-initialising

void TBaseLazyTree::ReinitializeNode(PLazyNode node, bool recursive)
{
    if (node && node != FRoot) {
        node->StateBits.Exclude(nsCheckChanging | nsCutCopyMarked | nsBeingRemoved | nsHeightKnown);
        PrepareNode(node);
    }
    if (recursive)
        ReinitializeChildren(node, true);
}

void TBaseLazyTree::ReinitializeChildren(PLazyNode node, bool recursive)
{
    if (!node)
        node = FRoot;
    LoadChildNodes(node);
    for (PLazyNode child = node->ChildHead; child;) {
        PLazyNode next = child->NextLink;
        ReinitializeNode(child, recursive);
        child = next;
    }
}

void TBaseLazyTree::ResetNodeToUninitialized(PLazyNode node)
{
    AbortNodeEdit();
    if (!node || node == FRoot) {
        RemoveAllNodes();
        return;
    }
    FireResetNode(node);
    RemoveChildNodes(node, false);
    node->StateBits.Exclude(nsReady | nsCheckChanging | nsCutCopyMarked | nsBeingRemoved | nsOpen |
                            nsMayHaveChildren | nsHeightKnown);
    UpdateAllChildrenHiddenFlag(node);
    RepaintNode(node);
}

void TBaseLazyTree::EnsureChildrenReady(PLazyNode node, bool recursive)
{
    if (!node)
        node = FRoot;
    if (node != FRoot && node->Has(nsMayHaveChildren) && node->NumChildren == 0)
        LoadChildNodes(node);
    for (PLazyNode child = node->ChildHead; child; child = child->NextLink)
        EnsureNodeReady(child, recursive);
}

void TBaseLazyTree::EnsureNodeReady(PLazyNode node, bool recursive)
{
    if (!node)
        node = FRoot;
    if (node != FRoot && !node->Has(nsReady))
        PrepareNode(node);
    if (recursive)
        EnsureChildrenReady(node, true);
}

// ---- small queries and timers

bool TBaseLazyTree::DragInProgress() const
{
    return FStates.Contains(tsOLEDragPending) || FStates.Contains(tsOLEDragging) ||
           FStates.Contains(tsVCLDragging);
}

bool TBaseLazyTree::MouseSelecting() const
{
    return FStates.Contains(tsDrawSelPending) || FStates.Contains(tsDrawSelecting);
}

void TBaseLazyTree::StopAutoScrollAndEditTimers()
{
    KillTreeTimer(ScrollTimer);
    ShiftTreeStates({}, TLazyTreeStates{tsScrolling, tsScrollPending});
    KillTreeTimer(EditTimer);
    ShiftTreeStates({}, tsEditPending);
}

void TBaseLazyTree::ColumnResized(TColumnIndex column)
{
    for (PLazyNode node = FirstNodeRaw(); node; node = NextNodeRaw(node))
        if (node->Has(nsWrapText))
            node->StateBits.Exclude(nsHeightKnown);
    if (WindowExists())
        RefreshScrollBars(false);
    if (FHeader) {
        if (const TLazyTreeColumn* c = FHeader->Columns().ColumnAt(column); c && !HasOption(toAutoSpanColumns)) {
            const TRect r{c->ColumnLeft(), 0, ClientWidth(), ClientHeight()};
            InvalidateClient(&r);
        } else {
            InvalidateClient();
        }
        FHeader->RepaintHeader(column, true);
    }
    if (OnColumnResize)
        OnColumnResize(FHeader.get(), column);
    PositionEditor();
}
