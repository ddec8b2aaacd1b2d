// The in-place editing protocol of TBaseLazyTree: the tree asks for an edit link, attaches it to
// the focused cell, keeps it in place and ends it by committing or cancelling.

#include "TreeView/Source/core/LazyTree.h"

#include "TreeView/Source/core/LTErrors.h"
#include "TreeView/Source/header/LTHeader.h"

bool TBaseLazyTree::EditAllowed(PLazyNode node, TColumnIndex column)
{
    bool allowed = HasOption(toEditable) && isEnabled() && !HasOption(toReadOnly);
    FireEditing(node, column, allowed);
    return allowed;
}

void TBaseLazyTree::OpenNodeEditor()
{
    KillTreeTimer(ScrollTimer);
    KillTreeTimer(EditTimer);
    ShiftTreeStates({}, tsEditPending);
    if (!FFocusNode || FFocusNode->Has(nsInactive) || HasOption(toReadOnly) || FEditLink)
        return;
    PLTEditLink link;
    FireCreateEditor(FFocusNode, FEditColumn, link);
    if (!link)
        return;
    FEditLink = link;
    ShiftTreeStates(tsEditing, TLazyTreeStates{tsToggleFocusedSelection, tsClearPending, tsDrawSelPending,
                                               tsDrawSelecting, tsMouseCheckPending, tsOLEDragging,
                                               tsOLEDragPending, tsScrolling, tsScrollPending});
    MakeNodeVisible(FFocusNode, HasOption(toCenterScrollIntoView), !HasOption(toDisableAutoscrollOnEdit));
    if (link->AttachToCell(this, FFocusNode, FEditColumn)) {
        PositionEditor();
        RepaintNode(FFocusNode);
        if (!link->ShowEditor())
            ShiftTreeStates({}, tsEditing);
    } else {
        ShiftTreeStates({}, tsEditing);
    }
    if (!FStates.Contains(tsEditing))
        FEditLink.reset();
}

bool TBaseLazyTree::CommitNodeEdit()
{
    KillTreeTimer(EditTimer);
    bool result = false;
    if (FStates.Contains(tsEditing) && FEditLink) {
        // why: the link may end the tree's reference to it while it concludes.
        PLTEditLink link = FEditLink;
        if (link->ConcludeEdit()) {
            ShiftTreeStates({}, tsEditing);
            FEditLink.reset();
            if (OnEdited)
                OnEdited(this, FFocusNode, FEditColumn);
            result = true;
        }
    }
    ShiftTreeStates({}, tsEditPending);
    return result;
}

bool TBaseLazyTree::AbortNodeEdit()
{
    KillTreeTimer(EditTimer);
    ShiftTreeStates({}, tsEditPending);
    if (!FStates.Contains(tsEditing) || !FEditLink)
        return false;
    PLTEditLink link = FEditLink;
    if (!link->AbandonEdit())
        return false;
    ShiftTreeStates({}, tsEditing);
    if (OnEditCancelled)
        OnEditCancelled(this, FEditColumn);
    if (!IsDestroying())
        FEditLink.reset();
    return true;
}

void TBaseLazyTree::PositionEditor()
{
    if (!FStates.Contains(tsEditing) || !FEditLink || !FFocusNode)
        return;
    TRect r = NodeDisplayRect(FFocusNode, FEditColumn, !FFocusNode->Has(nsWrapText), true);
    if (HasOption(toGridExtensions) && FHeader && FHeader->Columns().ColumnIndexValid(FEditColumn)) {
        int left = 0;
        int right = 0;
        FHeader->Columns().ColumnEdges(FEditColumn, left, right);
        const TAlignment alignment = FHeader->Columns().ColumnAt(FEditColumn)->Alignment();
        if (alignment == TAlignment::taLeftJustify)
            r.Right = right;
        else
            r.Left = left;
    }
    if (HasOption(toShowHorzGridLines))
        --r.Bottom;
    FEditLink->PlaceEditor(r);
}

void TBaseLazyTree::MainColumnSwitched()
{
    AbortNodeEdit();
}

bool TBaseLazyTree::BeginNodeEdit(PLazyNode node, TColumnIndex column)
{
    LTAssert(node != nullptr, "Node must not be nil.");
    const int columnCount = FHeader ? FHeader->Columns().Count() : 0;
    LTAssert(column >= NoColumn && column < columnCount, "Column must be a valid column index (-1 if no header is shown).");
    if (FStates.Contains(tsEditing) || HasOption(toReadOnly))
        return FStates.Contains(tsEditing);
    AssignFocusedNode(node);
    if (FFocusNode != node || !EditAllowed(node, column))
        return false;
    FEditColumn = column;
    if (!node->Has(nsReady))
        PrepareNode(node);
    OpenNodeEditor();
    return FStates.Contains(tsEditing);
}

bool TBaseLazyTree::FinishNodeEdit()
{
    if (FStates.Contains(tsEditing) || FStates.Contains(tsEditPending))
        return CommitNodeEdit();
    return true;
}

bool TBaseLazyTree::CancelNodeEdit()
{
    if (WindowExists() && (FStates.Contains(tsEditing) || FStates.Contains(tsEditPending)))
        return AbortNodeEdit();
    return true;
}
