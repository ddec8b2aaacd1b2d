// Selection of TBaseLazyTree: the address-sorted array of selected nodes, the constraints, range
// and toggle selection, the click rules, the rubber band, and the focused node and column.
//
// invariant: FSelection[0, FSelectionCount) is ascending by address; an entry with its lowest
// bit set is marked for removal (node records are at least 4-byte aligned) and is never
// dereferenced, since its node may already be gone.

#include "TreeView/Source/core/LazyTree.h"

#include "TreeView/Source/core/LTErrors.h"
#include "TreeView/Source/header/LTHeader.h"

#include "Platform/graphics/ImgList.h"

#include <QApplication>
#include <algorithm>

namespace {
std::uintptr_t AddressOf(PLazyNode node)
{
    return reinterpret_cast<std::uintptr_t>(node);
}

bool IsMarked(PLazyNode entry)
{
    return (AddressOf(entry) & 1u) != 0;
}

PLazyNode Marked(PLazyNode node)
{
    return reinterpret_cast<PLazyNode>(AddressOf(node) | 1u);
}

bool Intersects(const TRect& a, const TRect& b)
{
    return !a.IsEmpty() && !b.IsEmpty() && a.Left < b.Right && b.Left < a.Right && a.Top < b.Bottom &&
           b.Top < a.Bottom;
}
} // namespace

// ---- the array

bool TBaseLazyTree::SelectionBinarySearch(PLazyNode node, int& index, int lowBound, int highBound) const
{
    int lo = lowBound < 0 ? 0 : lowBound;
    int hi = highBound < 0 ? static_cast<int>(FSelectionCount) - 1 : highBound;
    const std::uintptr_t key = AddressOf(node);
    while (lo <= hi) {
        const int mid = (lo + hi) / 2;
        const std::uintptr_t value = AddressOf(FSelection[static_cast<size_t>(mid)]);
        if (value == key) {
            index = mid;
            return true;
        }
        if (value < key)
            lo = mid + 1;
        else
            hi = mid - 1;
    }
    index = lo;
    return false;
}

int TBaseLazyTree::PackMarkedNodes(int count, PLazyNode* nodes) const
{
    if (count <= 0)
        return -1;
    int kept = 0;
    for (int i = 0; i < count; ++i)
        if (!IsMarked(nodes[i]))
            nodes[kept++] = nodes[i];
    return kept;
}

void TBaseLazyTree::PackSelection()
{
    if (FSelectionCount == 0)
        return;
    const int kept = PackMarkedNodes(static_cast<int>(FSelectionCount), FSelection.data());
    FSelectionCount = static_cast<std::uint32_t>(std::max(kept, 0));
    FSelection.resize(FSelectionCount);
    if (FSelectionCount == 0)
        ResetSelectionAnchor();
}

bool TBaseLazyTree::PickNodes(PLazyNode* nodes, int count, bool force)
{
    if (count <= 0)
        return false;
    int index = 0;
    if (force) {
        for (int i = 0; i < count; ++i) {
            // why: a node already in the array must not be entered twice.
            if (SelectionBinarySearch(nodes[i], index, -1, -1))
                nodes[i] = Marked(nodes[i]);
            else
                nodes[i]->StateBits.Include(nsPicked);
        }
    } else {
        if (HasOption(toLevelSelectConstraint) && FLastSelectionLevel == -1)
            FLastSelectionLevel = DepthOfNode(nodes[0]);
        if (HasOption(toSiblingSelectConstraint) && !FRangeAnchor)
            FRangeAnchor = nodes[0];
        for (int i = 0; i < count; ++i) {
            PLazyNode node = nodes[i];
            const bool reject =
                node->Has(nsPicked | nsInactive) ||
                (HasOption(toLevelSelectConstraint) && DepthOfNode(node) != FLastSelectionLevel) ||
                (HasOption(toSiblingSelectConstraint) && FRangeAnchor && node->ParentLink != FRangeAnchor->ParentLink);
            if (reject)
                nodes[i] = Marked(node);
            else
                node->StateBits.Include(nsPicked);
        }
    }
    const int added = PackMarkedNodes(count, nodes);
    if (added <= 0)
        return false;
    std::sort(nodes, nodes + added, [](PLazyNode a, PLazyNode b) { return AddressOf(a) < AddressOf(b); });
    // Both runs are ascending; one merge puts the new entries in place.
    std::vector<PLazyNode> merged;
    merged.reserve(FSelectionCount + static_cast<std::uint32_t>(added));
    std::merge(FSelection.begin(), FSelection.begin() + FSelectionCount, nodes, nodes + added,
               std::back_inserter(merged), [](PLazyNode a, PLazyNode b) { return AddressOf(a) < AddressOf(b); });
    FSelection = std::move(merged);
    FSelectionCount = static_cast<std::uint32_t>(FSelection.size());
    return true;
}

void TBaseLazyTree::PickOneNode(PLazyNode node, bool force)
{
    LTAssert(node != nullptr, "Node must not be nil!");
    PLazyNode one[] = {node};
    PickNodes(one, 1, force);
}

void TBaseLazyTree::AddNodeToSelection(PLazyNode node)
{
    LTAssert(node != nullptr, "Node must not be nil!");
    PLazyNode one[] = {node};
    if (PickNodes(one, 1, false)) {
        RepaintNode(node);
        NotifyNodeChange(node);
    }
}

void TBaseLazyTree::AddNodesToSelection(PLazyNode* nodes, int count, bool force)
{
    PLazyNode single = count == 1 ? nodes[0] : nullptr;
    if (!PickNodes(nodes, count, force))
        return;
    if (single) {
        RepaintNode(single);
        NotifyNodeChange(single);
    } else {
        InvalidateClient();
        NotifyNodeChange(nullptr);
    }
}

void TBaseLazyTree::UnselectNode(PLazyNode node)
{
    LTAssert(node != nullptr, "Node must not be nil!");
    if (!node->Has(nsPicked))
        return;
    node->StateBits.Exclude(nsPicked);
    int index = 0;
    if (SelectionBinarySearch(node, index, -1, -1)) {
        FSelection.erase(FSelection.begin() + index);
        --FSelectionCount;
    }
    if (FSelectionCount == 0)
        ResetSelectionAnchor();
    NotifyNodeChange(node);
}

void TBaseLazyTree::UnselectNodeQuiet(PLazyNode node)
{
    int index = 0;
    if (!SelectionBinarySearch(node, index, -1, -1))
        return;
    node->StateBits.Exclude(nsPicked);
    FSelection[static_cast<size_t>(index)] = Marked(node);
}

void TBaseLazyTree::DropWholeSelection()
{
    if (FUpdateDepth > 0)
        PackSelection();
    for (std::uint32_t i = 0; i < FSelectionCount; ++i)
        if (!IsMarked(FSelection[i]))
            FSelection[i]->StateBits.Exclude(nsPicked);
    ResetSelectionAnchor();
    FSelection.clear();
    FSelectionCount = 0;
    ShiftTreeStates({}, tsClearPending);
}

void TBaseLazyTree::DeselectAll()
{
    if (FSelectionCount == 0 || IsDestroying())
        return;
    InvalidateClient();
    DropWholeSelection();
    NotifyNodeChange(nullptr);
}

void TBaseLazyTree::ResetSelectionAnchor()
{
    FRangeAnchor = FFocusNode;
    FLastSelectionLevel = -1;
}

void TBaseLazyTree::AddScratchNode(PLazyNode node)
{
    if (FScratchCount == static_cast<int>(FScratchNodes.size()))
        FScratchNodes.resize(FScratchNodes.empty() ? 100 : FScratchNodes.size() + FScratchNodes.size() / 10);
    FScratchNodes[static_cast<size_t>(FScratchCount++)] = node;
}

void TBaseLazyTree::ResetScratchNodeList()
{
    FScratchNodes.clear();
    FScratchCount = 0;
}

// The selection is painted in the focused column only; a column that is none or hidden would
// leave selected rows looking unselected.
void TBaseLazyTree::FocusShownColumnForSelection()
{
    if (!FHeader || FHeader->Columns().Count() == 0)
        return;
    const TLazyTreeColumns& columns = FHeader->Columns();
    const TLazyTreeColumn* focused = columns.ColumnAt(FFocusedColumn);
    if (focused && focused->Options().Contains(coVisible))
        return;
    const TLazyTreeColumn* main = columns.ColumnAt(FHeader->MainColumn());
    FFocusedColumn = (main && main->Options().Contains(coVisible)) ? FHeader->MainColumn() : columns.FirstShownColumn();
}

void TBaseLazyTree::SetNodeSelected(PLazyNode node, bool value)
{
    if (!node || node == FRoot || node->Has(nsPicked) == value)
        return;
    if (value) {
        if (FSelectionCount == 0)
            FRangeAnchor = node;
        else if (!HasOption(toMultiSelect))
            DeselectAll();
        AddNodeToSelection(node);
        FocusShownColumnForSelection();
        if (!FRangeAnchor)
            FRangeAnchor = node;
    } else {
        UnselectNode(node);
        if (FSelectionCount == 0)
            ResetSelectionAnchor();
    }
    if (ReachableRow(node))
        RepaintNode(node);
}

// ---- ranges

// A range starts at a visible node: nil means the first root-level node, a node without a row
// the visible node before it.
PLazyNode TBaseLazyTree::RangeStart(PLazyNode node) const
{
    if (node && ReachableRow(node))
        return node;
    PLazyNode previous = node ? PreviousVisibleBeforeRaw(node) : nullptr;
    return previous ? previous : FirstNodeRaw();
}

namespace {
// The earlier and the later of two nodes in tree order.
void Order(const TBaseLazyTree& tree, PLazyNode& first, PLazyNode& last)
{
    if (tree.TreeOrderCompare(first, last) > 0)
        std::swap(first, last);
}
} // namespace

void TBaseLazyTree::SelectNodeRange(PLazyNode startNode, PLazyNode endNode, bool addOnly)
{
    LTAssert(endNode != nullptr, "EndNode must not be nil!");
    ResetScratchNodeList();
    startNode = RangeStart(startNode);
    if (!startNode)
        return;
    PLazyNode first = startNode;
    PLazyNode last = endNode;
    Order(*this, first, last);
    PLazyNode anchor = FRangeAnchor;
    if (!addOnly)
        DropWholeSelection();
    for (PLazyNode node = first; node; node = NextVisibleAfter(node)) {
        AddScratchNode(node);
        if (node == last)
            break;
    }
    AddNodesToSelection(FScratchNodes.data(), FScratchCount, false);
    ResetScratchNodeList();
    if (anchor && anchor->Has(nsPicked))
        FRangeAnchor = anchor;
}

void TBaseLazyTree::ToggleRangeSelection(PLazyNode startNode, PLazyNode endNode)
{
    LTAssert(endNode != nullptr, "EndNode must not be nil!");
    startNode = RangeStart(startNode);
    if (!startNode || startNode == endNode)
        return;
    ResetScratchNodeList();
    PLazyNode first = startNode;
    PLazyNode last = endNode;
    Order(*this, first, last);
    auto invert = [this](PLazyNode node) {
        if (node->Has(nsPicked))
            UnselectNodeQuiet(node);
        else
            AddScratchNode(node);
    };
    const bool firstBeforeAnchor = FRangeAnchor && TreeOrderCompare(first, FRangeAnchor) < 0;
    const bool lastAfterAnchor = FRangeAnchor && TreeOrderCompare(last, FRangeAnchor) > 0;
    if (firstBeforeAnchor)
        invert(first);
    for (PLazyNode node = NextVisibleAfter(first); node && node != last; node = NextVisibleAfter(node))
        invert(node);
    if (lastAfterAnchor)
        invert(last);
    PackSelection();
    if (FRangeAnchor && !FRangeAnchor->Has(nsPicked))
        AddScratchNode(FRangeAnchor);
    AddNodesToSelection(FScratchNodes.data(), FScratchCount, false);
    ResetScratchNodeList();
}

void TBaseLazyTree::UnselectNodeRange(PLazyNode startNode, PLazyNode endNode)
{
    LTAssert(endNode != nullptr, "EndNode must not be nil!");
    startNode = RangeStart(startNode);
    if (!startNode)
        return;
    PLazyNode first = startNode;
    PLazyNode last = endNode;
    Order(*this, first, last);
    for (PLazyNode node = first; node; node = NextVisibleAfter(node)) {
        UnselectNodeQuiet(node);
        if (node == last)
            break;
    }
    PackSelection();
}

void TBaseLazyTree::ApplyClickSelection(PLazyNode, PLazyNode newNode, TShiftState shift, bool dragAllowed)
{
    if (!newNode)
        return;
    const bool ctrl = shift.Contains(ssCtrl);
    const bool withShift = shift.Contains(ssShift);
    if (ctrl && withShift) {
        SelectNodeRange(FRangeAnchor, newNode, true);
        InvalidateClient();
    } else if (ctrl) {
        if (!HasOption(toSiblingSelectConstraint))
            FRangeAnchor = newNode;
        if (dragAllowed) {
            ShiftTreeStates(tsToggleFocusedSelection, {});
        } else if (newNode->Has(nsPicked)) {
            UnselectNode(newNode);
        } else {
            AddNodeToSelection(newNode);
        }
    } else if (withShift) {
        if (!FRangeAnchor)
            FRangeAnchor = FirstNodeRaw();
        SelectNodeRange(FRangeAnchor, newNode, false);
        InvalidateClient();
    } else {
        if (!newNode->Has(nsPicked)) {
            AddNodeToSelection(newNode);
            RepaintNode(newNode);
        }
        FRangeAnchor = newNode;
    }
}

// ---- selection-wide operations

void TBaseLazyTree::SelectAllNodes(bool visibleOnly)
{
    if (!HasOption(toMultiSelect))
        return;
    ResetScratchNodeList();
    PLazyNode node = visibleOnly ? FirstVisibleNode() : FirstNode();
    while (node) {
        if (!node->Has(nsPicked))
            AddScratchNode(node);
        node = visibleOnly ? NextVisibleAfter(node) : NextNodeInOrder(node);
    }
    if (FScratchCount > 0)
        AddNodesToSelection(FScratchNodes.data(), FScratchCount, false);
    ResetScratchNodeList();
    InvalidateClient();
}

void TBaseLazyTree::FlipSelection(bool visibleOnly)
{
    if (!HasOption(toMultiSelect))
        return;
    ResetScratchNodeList();
    PLazyNode node = visibleOnly ? FirstVisibleNodeRaw() : FirstNodeRaw();
    while (node) {
        if (node->Has(nsPicked))
            UnselectNodeQuiet(node);
        else
            AddScratchNode(node);
        node = visibleOnly ? NextVisibleAfterRaw(node) : NextNodeRaw(node);
    }
    const std::uint32_t before = FSelectionCount;
    PackSelection();
    const bool changed = before != FSelectionCount;
    if (FScratchCount > 0)
        AddNodesToSelection(FScratchNodes.data(), FScratchCount, false);
    ResetScratchNodeList();
    InvalidateClient();
    if (changed)
        NotifyNodeChange(nullptr);
}

namespace {
std::vector<PLazyNode> CollectFlagged(const TBaseLazyTree& tree, std::uint16_t flag, bool resolve)
{
    std::vector<PLazyNode> result;
    PLazyNode node = tree.FirstNodeRaw();
    const PLazyNode root = tree.HiddenRoot();
    while (node) {
        if (node->Has(flag)) {
            result.push_back(node);
            if (resolve) {
                while (node != root && !node->NextLink)
                    node = node->ParentLink;
                node = node == root ? nullptr : node->NextLink;
                continue;
            }
        }
        node = tree.NextNodeRaw(node);
    }
    return result;
}
} // namespace

std::vector<PLazyNode> TBaseLazyTree::CollectSelectedNodes(bool resolve) const
{
    if (FSelectionCount == 0)
        return {};
    return CollectFlagged(*this, nsPicked, resolve);
}

std::vector<PLazyNode> TBaseLazyTree::CollectCutCopyNodes(bool resolve) const
{
    return CollectFlagged(*this, nsCutCopyMarked, resolve);
}

// ---- rubber band

void TBaseLazyTree::StartBandSelection(int x, int y, TShiftState shift)
{
    FBandShift = shift;
    FBandRect = {x - FOffsetX, y - FOffsetY, x - FOffsetX, y - FOffsetY};
    FPreviousBandRect = FBandRect;
    ShiftTreeStates(tsDrawSelecting, tsDrawSelPending);
}

bool TBaseLazyTree::ComputeDrawSelectionRect(int x, int y)
{
    if (FStates.Contains(tsDrawSelecting))
        FPreviousBandRect = FBandRect;
    FBandRect.Right = std::clamp(x - FOffsetX, 0, std::max(ClientWidth(), FRangeX));
    FBandRect.Bottom = std::clamp(y - FOffsetY, 0, std::max(ClientHeight(), FRangeY));
    return !(FBandRect == FPreviousBandRect);
}

bool TBaseLazyTree::ApplyBandSelection(int, int)
{
    if (FRoot->NumChildren == 0 || !FStates.Contains(tsDrawSelecting))
        return false;
    const TRect current = NormalizeRect(FBandRect);
    const TRect previous = NormalizeRect(FPreviousBandRect);
    ResetScratchNodeList();
    const bool useColumns = FHeader && FHeader->Columns().Count() > 0;
    TColumnIndex column = useColumns ? FHeader->MainColumn() : NoColumn;
    TAlignment alignment = FAlignment;
    int columnLeft = 0;
    int columnRight = std::max(ClientWidth(), FRangeX);
    if (const TLazyTreeColumn* c = useColumns ? FHeader->Columns().ColumnAt(column) : nullptr) {
        alignment = c->Alignment();
        columnLeft = c->AbsoluteLeft();
        columnRight = columnLeft + c->Width();
    }
    const int top = std::min(current.Top, previous.Top);
    const int bottom = std::max(current.Bottom, previous.Bottom);
    int rowY = 0;
    PLazyNode node = NodeAtY(top, false, &rowY);
    int y = rowY;
    bool changed = false;
    while (node && y < bottom) {
        if (!node->Has(nsReady))
            PrepareNode(node);
        const int height = GetRowHeight(node);
        int left = columnLeft + FMargin +
                   (DepthOfNode(node) + (HasOption(toShowRoot) ? 1 : 0)) * static_cast<int>(FIndent);
        if (HasCheckControl(node))
            left += CheckImageWidth() + 2;
        int index = -1;
        if (FImages && NodeImage(node, TLTImageKind::ikNormal, column, index))
            left += FImages->Width() + 2;
        if (FStateImages && NodeImage(node, TLTImageKind::ikState, column, index))
            left += FStateImages->Width() + 2;
        int right = columnRight;
        if (HasOption(toSimpleDrawSelection)) {
            left = columnLeft;
        } else {
            if (useColumns && HasOption(toAutoSpanColumns))
                for (TColumnIndex next = FHeader->Columns().NextShownColumn(column);
                     next >= 0 && FireGetCellIsEmpty(node, next); next = FHeader->Columns().NextShownColumn(next))
                    right += FHeader->Columns().ColumnAt(next)->Width();
            const int width = NodeContentWidth(node, column, &Canvas());
            switch (alignment) {
            case TAlignment::taRightJustify:
                left = std::max(left, right - width);
                break;
            case TAlignment::taCenter: {
                const int start = left + (right - left - width) / 2;
                left = std::max(left, start);
                right = std::min(right, start + width);
                break;
            }
            default:
                right = std::min(right, left + width);
                break;
            }
        }
        const TRect area{left, y, right, y + height};
        const bool inNew = Intersects(area, current);
        const bool inOld = Intersects(area, previous);
        if (inNew != inOld) {
            changed = true;
            if (FBandShift.Contains(ssCtrl)) {
                if (node->Has(nsPicked))
                    UnselectNodeQuiet(node);
                else
                    AddScratchNode(node);
            } else if (inNew) {
                if (!node->Has(nsPicked))
                    AddScratchNode(node);
            } else {
                UnselectNodeQuiet(node);
            }
        }
        y += height;
        node = NextVisibleAfter(node);
    }
    if (changed) {
        PackSelection();
        if (FScratchCount > 0)
            AddNodesToSelection(FScratchNodes.data(), FScratchCount, false);
        ResetScratchNodeList();
        NotifyNodeChange(nullptr);
    }
    return changed;
}

// ---- focus

void TBaseLazyTree::MoveFocusTo(PLazyNode node, bool ask)
{
    if (FStates.Contains(tsEditing) && !CommitNodeEdit())
        return;
    if (node == FRoot)
        node = nullptr;
    const bool changed = node != FFocusNode && (!ask || FireFocusChanging(FFocusNode, node, FFocusedColumn, FFocusedColumn));
    if (changed) {
        PLazyNode old = FFocusNode;
        if (old && HasOption(toAutoExpand) && node && old->ParentLink == node->ParentLink && old->Has(nsOpen))
            FlipExpanded(old);
        else if (old)
            RepaintNode(old);
        FFocusNode = node;
    }
    if (FFocusNode && changed) {
        if (FHeader && FHeader->Columns().Count() > 0 && !FHeader->Columns().ColumnIndexValid(FFocusedColumn))
            FFocusedColumn = 0;
        if (HasOption(toAutoExpand) && !FFocusNode->Has(nsOpen))
            FlipExpanded(FFocusNode);
        RepaintNode(FFocusNode);
        if (FUpdateDepth == 0) {
            const bool buttonDown = QApplication::mouseButtons() != Qt::NoButton;
            MakeNodeVisible(FFocusNode, HasOption(toCenterScrollIntoView) && !buttonDown,
                            !HasOption(toDisableAutoscrollOnFocus));
        }
    }
    if (FSelectionCount == 0)
        ResetSelectionAnchor();
}

void TBaseLazyTree::AssignFocusedNode(PLazyNode node)
{
    const PLazyNode old = FFocusNode;
    MoveFocusTo(node, true);
    if (old != FFocusNode && FFocusNode == (node == FRoot ? nullptr : node))
        FireFocusChanged(FFocusNode, FFocusedColumn);
}

void TBaseLazyTree::AssignFocusedColumn(TColumnIndex column)
{
    if (column == FFocusedColumn || !FireFocusChanging(FFocusNode, FFocusNode, FFocusedColumn, column))
        return;
    CancelNodeEdit();
    FFocusedColumn = column;
    if (FFocusNode) {
        MakeNodeVisible(FFocusNode, false, !HasOption(toDisableAutoscrollOnFocus));
        RepaintNode(FFocusNode);
    }
    if (FDropTargetNode)
        RepaintNode(FDropTargetNode);
    FireFocusChanged(FFocusNode, FFocusedColumn);
}

void TBaseLazyTree::FocusNodeAndColumn(PLazyNode node, TColumnIndex column)
{
    const TColumnIndex oldColumn = FFocusedColumn;
    const PLazyNode oldNode = FFocusNode;
    FFocusedColumn = column;
    MoveFocusTo(node, true);
    if (FFocusNode == node) {
        CancelNodeEdit();
        if (oldNode != FFocusNode || oldColumn != FFocusedColumn)
            FireFocusChanged(FFocusNode, FFocusedColumn);
    } else {
        FFocusedColumn = oldColumn;
    }
}
