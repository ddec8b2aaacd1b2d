// Keyboard handling of TBaseLazyTree: navigation with selection and expansion, column moves,
// check boxes pressed by Space, the editing, help, popup and expand keys, and the characters fed
// to the type-ahead search.

#include "TreeView/Source/core/LazyTree.h"

#include "TreeView/Source/header/LTHeader.h"

#include "Platform/core/Application.h"

#include <QKeyEvent>

namespace {

bool IsNavigationKey(WORD key)
{
    switch (key) {
    case VK_BACK:
    case VK_TAB:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_END:
    case VK_HOME:
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN:
        return true;
    default:
        return false;
    }
}

} // namespace

bool TBaseLazyTree::event(QEvent* e)
{
    // The character a key makes with Ctrl released decides whether it counts as a numeric-pad
    // operator key; the message carries only the virtual key.
    if (e->type() == QEvent::KeyPress)
        FLastQtKey = static_cast<QKeyEvent*>(e)->key();
    return TQtScrollControl<QAbstractScrollArea>::event(e);
}

void TBaseLazyTree::keyPressEvent(QKeyEvent* event)
{
    // Keys the tree left alone travel on to the parent (a dialog's Escape and Return).
    event->ignore();
}

LRESULT TBaseLazyTree::NativeDialogCode() const
{
    return DLGC_WANTARROWS | DLGC_WANTCHARS | (FWantTabs ? LRESULT{DLGC_WANTTAB} : LRESULT{0});
}

void TBaseLazyTree::KeyDown(WORD& key, TShiftState shift)
{
    TQtScrollControl<QAbstractScrollArea>::KeyDown(key, shift);
    if (key != 0 && HandleTreeKey(key, shift))
        key = 0;
}

void TBaseLazyTree::KeyUp(WORD& key, TShiftState shift)
{
    TQtScrollControl<QAbstractScrollArea>::KeyUp(key, shift);
    if (key == VK_SPACE && FStates.Contains(tsKeyCheckPending)) {
        ShiftTreeStates({}, tsKeyCheckPending);
        ReleaseCheckControl(FCheckNode == FFocusNode ? FCheckNode : nullptr);
    }
}

void TBaseLazyTree::KeyPress(char32_t& key)
{
    if (FStates.Contains(tsIncrementalSearchPending)) {
        IncrementalSearchKey(key);
        ShiftTreeStates({}, tsIncrementalSearchPending);
    }
    TQtScrollControl<QAbstractScrollArea>::KeyPress(key);
}

bool TBaseLazyTree::HandleTreeKey(WORD key, TShiftState shift)
{
    if (!FireKeyAction(key, shift))
        return false;
    if (FStates.Contains(tsKeyCheckPending) && key != VK_SPACE) {
        ShiftTreeStates({}, tsKeyCheckPending);
        PLazyNode pressed = FCheckNode;
        CancelCheckPress();
        RedrawNodeNow(pressed);
    }
    if (IsNavigationKey(key))
        return HandleNavigationKey(key, shift);
    return HandleCommandKey(key, shift);
}

bool TBaseLazyTree::HandleNavigationKey(WORD key, TShiftState shift)
{
    const bool ctrl = shift.Contains(ssCtrl);
    const bool shiftSelect = shift.Contains(ssShift) && HasOption(toMultiSelect) && !FStates.Contains(tsEditing);
    bool rangeKey = (key == VK_PRIOR || key == VK_NEXT || key == VK_END || key == VK_HOME) && shiftSelect;
    const bool repaintAll = rangeKey || FSelectionCount > 1;
    const bool gridKeys = HasOption(toGridExtensions);
    const bool clearSelection = !(!shift.Empty() && (!gridKeys || shift.Contains(ssShift)) &&
                                  HasOption(toMultiSelect) && key != VK_BACK && key != VK_TAB);
    PLazyNode oldFocus = FFocusNode;
    if (!oldFocus && !shift.Empty())
        oldFocus = FirstVisibleNode();
    if (!FRangeAnchor)
        FRangeAnchor = FSelectionCount > 0 ? FirstSelectedNode() : FirstNode();
    const PLazyNode focusBefore = FFocusNode;
    TLazyTreeColumns* columns = FHeader && FHeader->Columns().Count() > 0 ? &FHeader->Columns() : nullptr;
    const int clientHeight = ClientHeight();

    // Focuses `target` as the arrow keys do: an edit ends first, the main column is taken when none is.
    auto focusVertically = [&](PLazyNode target, bool deselectOldAfterAnchor) {
        if (!target) {
            RepaintNode(FFocusNode);
            return;
        }
        if (FStates.Contains(tsEditing) && !CommitNodeEdit())
            return;
        if (shiftSelect && oldFocus && FRangeAnchor) {
            const int order = TreeOrderCompare(oldFocus, FRangeAnchor);
            if (deselectOldAfterAnchor ? order > 0 : order < 0)
                UnselectNode(oldFocus);
        }
        if (FFocusedColumn == NoColumn && FHeader)
            FFocusedColumn = FHeader->MainColumn();
        AssignFocusedNode(target);
    };
    // Walks visible nodes from the focus while the rows stay within one client height.
    auto pageWalk = [&](bool forward) {
        PLazyNode node = FFocusNode;
        if (!node)
            return forward ? LastVisibleNode() : FirstVisibleNode();
        int height = 0;
        for (;;) {
            PLazyNode next = forward ? NextVisibleAfter(node) : PreviousVisibleBefore(node);
            if (!next)
                break;
            height += GetRowHeight(forward ? node : next);
            if (height >= clientHeight && node != FFocusNode)
                break;
            node = next;
            if (height >= clientHeight)
                break;
        }
        return node;
    };
    // The column nearest to `start` walking inwards that the focus may move to (-1 without columns).
    auto allowedColumnFrom = [&](bool fromLeft, PLazyNode node, TColumnIndex& column) {
        column = NoColumn;
        if (!columns)
            return true;
        for (TColumnIndex c = fromLeft ? columns->FirstShownColumn() : columns->LastShownColumn(); c >= 0;
             c = fromLeft ? columns->NextShownColumn(c) : columns->PreviousShownColumn(c))
            if (FireFocusChanging(FFocusNode, node, FFocusedColumn, c)) {
                column = c;
                return true;
            }
        return false;
    };

    switch (key) {
    case VK_BACK:
        if (FStates.Contains(tsIncrementalSearching))
            ShiftTreeStates(tsIncrementalSearchPending, {});
        else if (FFocusNode && FFocusNode->ParentLink != FRoot)
            AssignFocusedNode(FFocusNode->ParentLink);
        break;
    case VK_TAB:
        if (HasOption(toExtendedFocus) && columns && FFocusNode) {
            const bool back = shift.Contains(ssShift);
            PLazyNode node = FFocusNode;
            TColumnIndex column = FFocusedColumn;
            for (;;) {
                column = back ? columns->PreviousShownColumn(column) : columns->NextShownColumn(column);
                if (column < 0) {
                    node = back ? PreviousVisibleBefore(node) : NextVisibleAfter(node);
                    if (!node)
                        break;
                    column = back ? columns->LastShownColumn() : columns->FirstShownColumn();
                }
                if (FireFocusChanging(FFocusNode, node, FFocusedColumn, column)) {
                    FocusNodeAndColumn(node, column);
                    break;
                }
            }
        }
        break;
    case VK_PRIOR:
    case VK_NEXT: {
        const bool down = key == VK_NEXT;
        if (ctrl) {
            SetOffsetY(FOffsetY + (down ? -clientHeight : clientHeight));
            break;
        }
        focusVertically(pageWalk(down), !down);
        break;
    }
    case VK_HOME:
    case VK_END: {
        const bool home = key == VK_HOME;
        PLazyNode target = home ? FirstVisibleNode() : LastVisibleNode();
        TColumnIndex column = NoColumn;
        if (!allowedColumnFrom(home, target, column))
            break;
        if (shift == TShiftState{ssCtrl} && !gridKeys) {
            if (target)
                MakeNodeVisible(target, HasOption(toCenterScrollIntoView), !HasOption(toDisableAutoscrollOnFocus));
            SetOffsetX(home ? 0 : -FRangeX);
            break;
        }
        if (!gridKeys || ctrl)
            focusVertically(target, !home);
        if (gridKeys && !HasOption(toFullRowSelect) && columns && column >= 0)
            AssignFocusedColumn(column);
        break;
    }
    case VK_LEFT:
    case VK_RIGHT: {
        const bool left = key == VK_LEFT;
        if (ctrl) {
            SetOffsetX(FOffsetX + (left ? 1 : -1) * static_cast<int>(FIndent));
            break;
        }
        if (!FFocusNode) {
            AssignFocusedNode(FirstVisibleNode());
            break;
        }
        if (HasOption(toExtendedFocus) && gridKeys && columns) {
            const TColumnIndex next =
                left ? columns->PreviousShownColumn(FFocusedColumn) : columns->NextShownColumn(FFocusedColumn);
            if (next >= 0)
                AssignFocusedColumn(next);
            break;
        }
        if (left) {
            if (FFocusNode->Has(nsOpen) && FFocusNode->Has(nsMayHaveChildren) && shift.Empty()) {
                FlipExpanded(FFocusNode);
            } else if (FFocusNode->ParentLink != FRoot) {
                PLazyNode parent = FFocusNode->ParentLink;
                if (shiftSelect) {
                    if (FFocusNode->SiblingIndex == 0)
                        rangeKey = true;
                    if (FRangeAnchor && TreeOrderCompare(parent, FRangeAnchor) > 0)
                        UnselectNode(FFocusNode);
                }
                AssignFocusedNode(parent);
            }
        } else {
            if (!FFocusNode->Has(nsOpen) && FFocusNode->Has(nsMayHaveChildren) && shift.Empty()) {
                FlipExpanded(FFocusNode);
            } else if (PLazyNode child = FirstVisibleChildOf(FFocusNode)) {
                if (shiftSelect && FRangeAnchor && TreeOrderCompare(child, FRangeAnchor) < 0)
                    UnselectNode(FFocusNode);
                AssignFocusedNode(child);
            }
        }
        break;
    }
    case VK_UP:
    case VK_DOWN: {
        const bool up = key == VK_UP;
        if (ctrl) {
            SetOffsetY(FOffsetY + (up ? 1 : -1) * static_cast<int>(FDefaultNodeHeight));
            break;
        }
        PLazyNode target;
        if (FFocusNode)
            target = up ? PreviousVisibleBefore(FFocusNode) : NextVisibleAfter(FFocusNode);
        else
            target = up ? LastVisibleNode() : FirstVisibleNode();
        focusVertically(target, up);
        break;
    }
    default:
        break;
    }

    const bool focusMoved = FFocusNode != focusBefore;
    bool cleared = false;
    if (clearSelection && !(FSelectionCount == 1 && !focusMoved && FFocusNode && FFocusNode->Has(nsPicked))) {
        DeselectAll();
        cleared = true;
    }
    if (shift.Empty()) {
        FRangeAnchor = FFocusNode;
        FLastSelectionLevel = FFocusNode ? DepthOfNode(FFocusNode) : -1;
    }
    if (rangeKey && FFocusNode)
        ToggleRangeSelection(oldFocus, FFocusNode);
    if (FFocusNode && (cleared || focusMoved) && !FFocusNode->Has(nsPicked))
        AddNodeToSelection(FFocusNode);
    if (repaintAll)
        InvalidateClient();
    return true;
}

bool TBaseLazyTree::HandleCommandKey(WORD key, TShiftState shift)
{
    const bool ctrl = shift.Contains(ssCtrl);
    switch (FLastQtKey) {
    case Qt::Key_Asterisk:
        key = VK_MULTIPLY;
        break;
    case Qt::Key_Plus:
        key = VK_ADD;
        break;
    case Qt::Key_Minus:
        key = VK_SUBTRACT;
        break;
    case Qt::Key_Slash:
        key = VK_DIVIDE;
        break;
    default:
        break;
    }
    const bool searching = FStates.Contains(tsIncrementalSearching);
    const bool operatorKey = key == VK_MULTIPLY || key == VK_ADD || key == VK_SUBTRACT || key == VK_DIVIDE;
    if (searching && operatorKey) {
        ShiftTreeStates(tsIncrementalSearchPending, {});
        return false;
    }
    switch (key) {
    case VK_ESCAPE:
        if (MouseSelecting()) {
            ShiftTreeStates({}, TLazyTreeStates{tsDrawSelPending, tsDrawSelecting});
            InvalidateClient();
            return true;
        }
        if (FStates.Contains(tsEditing) || FStates.Contains(tsEditPending)) {
            CancelNodeEdit();
            return true;
        }
        return false;
    case VK_SPACE:
        if (HasOption(toCheckSupport) && FFocusNode && FFocusNode->CheckKind != chkNone) {
            if (!FStates.Contains(tsKeyCheckPending) && !FStates.Contains(tsMouseCheckPending) &&
                !FFocusNode->Has(nsInactive) && PressCheckControl(FFocusNode)) {
                ShiftTreeStates(tsKeyCheckPending, {});
                RedrawNodeNow(FFocusNode);
            }
            return true;
        }
        break;
    case 0x41:
    case 0x61:
        if (ctrl) {
            SelectAllNodes(true);
            return true;
        }
        break;
    case VK_APPS:
        if (FFocusNode) {
            const TRect cell = NodeDisplayRect(FFocusNode, FFocusedColumn, false);
            int width = NodeContentWidth(FFocusNode, FFocusedColumn, &Canvas());
            const TLazyTreeColumn* column = FHeader ? FHeader->Columns().ColumnAt(FFocusedColumn) : nullptr;
            width = std::min(width, column ? column->Width() : ClientWidth());
            ShowNodePopup(FFocusNode, FFocusedColumn, {cell.Left + width / 2, (cell.Top + cell.Bottom) / 2});
        }
        return true;
    case VK_MULTIPLY:
        if (FFocusNode)
            ExpandSubtree(FFocusNode);
        return true;
    case VK_ADD:
        if (ctrl && shift.Contains(ssShift))
            ExpandSubtree(nullptr);
        else if (ctrl && FHeader)
            FHeader->FitColumnsToContent(true);
        else if (FFocusNode && !FFocusNode->Has(nsOpen))
            FlipExpanded(FFocusNode);
        return true;
    case VK_SUBTRACT:
        if (ctrl && shift.Contains(ssShift))
            CollapseSubtree(nullptr);
        else if (ctrl && FHeader)
            FHeader->RestoreColumnWidths();
        else if (FFocusNode && FFocusNode->Has(nsOpen))
            FlipExpanded(FFocusNode);
        return true;
    case VK_DIVIDE:
        if (FFocusNode)
            CollapseSubtree(FFocusNode);
        return true;
    case VK_F1:
        if (OnGetHelpContext && FFocusNode) {
            int context = 0;
            for (PLazyNode node = FFocusNode; node != FRoot && context == 0; node = node->ParentLink)
                context = FireGetHelpContext(node, 0);
            if (context != 0 && Application())
                return Application()->HelpContext(context);
        }
        return false;
    case VK_F2:
        if (shift.Empty() && FFocusNode && EditAllowed(FFocusNode, FFocusedColumn)) {
            FEditColumn = FFocusedColumn;
            OpenNodeEditor();
            return true;
        }
        return false;
    default:
        break;
    }
    if (shift.Contains(ssAlt) || ctrl || key < 0x20)
        return false;
    ShiftTreeStates(tsIncrementalSearchPending, {});
    return false;
}
