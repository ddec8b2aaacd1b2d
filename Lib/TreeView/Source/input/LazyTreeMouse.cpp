// Mouse handling of TBaseLazyTree: what a press, a release, a double click and a move do to the
// focus, the selection, expanding, check boxes, drags, the rubber band, the editor and the hot
// node; the cursor, the popup menus and the part of a row a point hits.

#include "TreeView/Source/core/LazyTree.h"

#include "TreeView/Source/core/LTErrors.h"
#include "TreeView/Source/header/LTHeader.h"

#include "Platform/controls/Keys.h"
#include "Platform/docking/DockCore.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QMouseEvent>

namespace {

bool HeaderBusy(const TLTHeader* header)
{
    return header && (header->States().Contains(hsDragging) || header->States().Contains(hsTracking) ||
                      header->States().Contains(hsDragPending) || header->States().Contains(hsTrackPending));
}

} // namespace

// Qt's own handlers of the client area must neither scroll nor pass the events on: the tree
// takes them through its messages.
void TBaseLazyTree::mousePressEvent(QMouseEvent* event)
{
    event->accept();
}

void TBaseLazyTree::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
}

void TBaseLazyTree::mouseDoubleClickEvent(QMouseEvent* event)
{
    event->accept();
}

void TBaseLazyTree::mouseMoveEvent(QMouseEvent* event)
{
    event->accept();
}

TShiftState TBaseLazyTree::ShiftWithButtons(TShiftState keys) const
{
    TShiftState shift = keys - TShiftState{ssLeft, ssRight, ssMiddle};
    if (FStates.Contains(tsLeftButtonDown))
        shift.Include(ssLeft);
    if (FStates.Contains(tsMiddleButtonDown))
        shift.Include(ssMiddle);
    if (FStates.Contains(tsRightButtonDown))
        shift.Include(ssRight);
    return shift;
}

bool TBaseLazyTree::RouteMouseMessage(TMessage& message)
{
    const int x = LowWordSigned(message.LParam);
    const int y = HighWordSigned(message.LParam);
    auto hitTest = [&] {
        TLTHitRecord hit;
        HitTestAt(x, y, true, hit);
        return hit;
    };
    auto inherited = [&] { TQtScrollControl<QAbstractScrollArea>::WndProc(message); };
    const bool headerBusy = HeaderBusy(FHeader.get());
    switch (message.Msg) {
    case WM_LBUTTONDOWN: {
        ShiftTreeStates(tsLeftButtonDown, {});
        inherited();
        MousePressed(message, hitTest());
        return true;
    }
    case WM_LBUTTONUP: {
        ShiftTreeStates({}, tsLeftButtonDown);
        MouseReleased(message, hitTest());
        inherited();
        return true;
    }
    case WM_LBUTTONDBLCLK:
        inherited();
        MouseDoubleClicked(message, hitTest());
        return true;
    case WM_RBUTTONDOWN:
        ShiftTreeStates(tsRightButtonDown, {});
        if (headerBusy)
            return true;
        inherited();
        if (HasOption(toRightClickSelect))
            MousePressed(message, hitTest());
        return true;
    case WM_RBUTTONUP: {
        ShiftTreeStates({}, TLazyTreeStates{tsRightButtonDown, tsPopupMenuShown});
        if (headerBusy)
            return true;
        if (MouseSelecting() && FPopupMenu) {
            ShiftTreeStates({}, TLazyTreeStates{tsDrawSelPending, tsDrawSelecting});
            InvalidateClient();
        }
        inherited();
        const TLTHitRecord hit = hitTest();
        if (HasOption(toRightClickSelect))
            MouseReleased(message, hit);
        if (!FPopupMenu)
            ShowNodePopup(hit.HitNode, hit.HitColumn, {x, y});
        return true;
    }
    case WM_RBUTTONDBLCLK:
        inherited();
        if (HasOption(toRightClickSelect))
            MouseDoubleClicked(message, hitTest());
        return true;
    case WM_MBUTTONDOWN: {
        ShiftTreeStates(tsMiddleButtonDown, {});
        if (headerBusy)
            return true;
        inherited();
        const bool panning = FStates.Contains(tsWheelPanning) || FStates.Contains(tsWheelScrolling);
        if (HasOption(toWheelPanning) && !panning && (FRangeX > ClientWidth() || FRangeY > ClientHeight())) {
            FLastClickPos = {x, y};
            BeginWheelPanning({x, y});
            return true;
        }
        EndWheelPanning();
        if (HasOption(toMiddleClickSelect))
            MousePressed(message, hitTest());
        return true;
    }
    case WM_MBUTTONUP:
        ShiftTreeStates({}, tsMiddleButtonDown);
        if (FStates.Contains(tsWheelPanning) || FStates.Contains(tsWheelScrolling)) {
            // A short click keeps panning until the next click; a drag ends it at the release.
            if (FStates.Contains(tsWheelScrolling))
                ShiftTreeStates({}, tsWheelPanning);
            else
                EndWheelPanning();
            return true;
        }
        if (headerBusy)
            return true;
        inherited();
        if (HasOption(toMiddleClickSelect))
            MouseReleased(message, hitTest());
        return true;
    case WM_MBUTTONDBLCLK:
        inherited();
        if (HasOption(toMiddleClickSelect))
            MouseDoubleClicked(message, hitTest());
        return true;
    case CM_MOUSELEAVE:
        MsgMouseLeave();
        inherited();
        return true;
    default:
        return false;
    }
}

void TBaseLazyTree::MsgMouseLeave()
{
    CancelHint();
    if (!FStates.Contains(tsWheelPanning) && !FStates.Contains(tsWheelScrolling)) {
        KillTreeTimer(ScrollTimer);
        ShiftTreeStates({}, TLazyTreeStates{tsScrollPending, tsScrolling});
    }
    if (FHotNode) {
        PLazyNode old = FHotNode;
        FireHotChange(old, nullptr);
        FHotNode = nullptr;
        RepaintNode(old);
    }
    if (FHeader) {
        FHeader->Columns().PressedIndex = NoColumn;
        FHeader->Columns().HoverIndex = NoColumn;
    }
}

void TBaseLazyTree::contextMenuEvent(QContextMenuEvent* event)
{
    ShiftTreeStates({}, TLazyTreeStates{tsClearPending, tsEditPending, tsOLEDragPending, tsVCLDragPending});
    event->accept();
    if (FStates.Contains(tsPopupMenuShown) || !FPopupMenu)
        return;
    FPopupMenu->popup(event->globalPos());
}

void TBaseLazyTree::ApplyCursor()
{
    if (FStates.Contains(tsWheelPanning) || FStates.Contains(tsWheelScrolling))
        return;
    TCursor cursor = crDefault;
    if (HasOption(toHotTrack) && FHotNode && FHotCursor != crDefault)
        cursor = FHotCursor;
    FireGetCursor(cursor);
    if (cursor == crDefault)
        viewport()->unsetCursor();
    else
        viewport()->setCursor(CursorShape(cursor));
}

void TBaseLazyTree::TrackHotNode(int x, int y)
{
    TLTHitRecord hit;
    HitTestAt(x, y, true, hit);
    PLazyNode candidate = hit.HitNode;
    if (!hit.HitParts.Contains(htOnLabel) && !hit.HitParts.Contains(htOnCheckBox) && !HasOption(toFullRowSelect))
        candidate = nullptr;
    if (candidate == FHotNode)
        return;
    PLazyNode old = FHotNode;
    FireHotChange(old, candidate);
    FHotNode = candidate;
    if (HasOption(toHotTrack) || HasOption(toCheckSupport)) {
        RepaintNode(old);
        RepaintNode(candidate);
    }
    ApplyCursor();
}

bool TBaseLazyTree::FireDragAllowed(PLazyNode node, TColumnIndex column)
{
    bool allowed = false;
    if (OnDragAllowed)
        OnDragAllowed(this, node, column, allowed);
    return allowed;
}

void TBaseLazyTree::MousePressed(TMessage& message, const TLTHitRecord& hit)
{
    CancelHint();
    if (FStates.Contains(tsWheelPanning) || FStates.Contains(tsWheelScrolling)) {
        EndWheelPanning();
        return;
    }
    if (FStates.Contains(tsEditPending)) {
        KillTreeTimer(EditTimer);
        ShiftTreeStates({}, tsEditPending);
    }
    if (FStates.Contains(tsEditing) && !CommitNodeEdit())
        return;
    if (!hasFocus() && CanFocus())
        setFocus(Qt::MouseFocusReason);
    if (FHeader)
        FHeader->Columns().ClickIndex = hit.HitColumn;

    const bool onLabel = hit.HitParts.Contains(htOnLabel);
    bool columnChange = false;
    TColumnIndex newColumn = FFocusedColumn;
    if (onLabel || HasOption(toFullRowSelect) || HasOption(toGridExtensions)) {
        columnChange = hit.HitColumn != FFocusedColumn;
        newColumn = HasOption(toExtendedFocus) ? hit.HitColumn : (FHeader ? FHeader->MainColumn() : NoColumn);
        if (!HasOption(toExtendedFocus))
            columnChange = newColumn != FFocusedColumn;
    }
    const bool nodeChange = hit.HitNode != FFocusNode;
    const int x = LowWordSigned(message.LParam);
    const int y = HighWordSigned(message.LParam);
    TShiftState shift = ShiftStateFromMouseFlags(message.WParam) * TShiftState{ssShift, ssAlt, ssCtrl};
    const bool altPressed = shift.Contains(ssAlt);
    shift.Exclude(ssAlt);

    const bool labelHit = !altPressed && (onLabel || hit.HitParts.Contains(htOnNormalImage));
    const bool cellHit = !altPressed && !labelHit && hit.HitNode && !hit.HitParts.Contains(htOnButton) &&
                         !hit.HitParts.Contains(htOnCheckBox) &&
                         (HasOption(toFullRowSelect) || HasOption(toGridExtensions));
    const bool anyHit = labelHit || cellHit;
    const bool nodeSelected = anyHit && hit.HitNode->Has(nsPicked);
    const bool multiSelect = HasOption(toMultiSelect);
    const bool shiftEmpty = shift.Empty();
    const bool fullRowDrag = HasOption(toFullRowDrag);

    bool dragAllowed = (::DragMode(*this) == TDragMode::dmAutomatic || DragInProgress()) && (!cellHit || fullRowDrag);
    if (hit.HitNode && !dragAllowed && ::DragMode(*this) == TDragMode::dmManual)
        dragAllowed = FireDragAllowed(hit.HitNode, newColumn) && (!cellHit || fullRowDrag);

    if (hit.HitParts.Contains(htOnButton) && hit.HitNode && hit.HitNode->Has(nsMayHaveChildren)) {
        FlipExpanded(hit.HitNode);
        return;
    }
    if (hit.HitParts.Contains(htOnCheckBox) && hit.HitNode) {
        if (!FStates.Contains(tsKeyCheckPending) && !FStates.Contains(tsMouseCheckPending) &&
            !hit.HitNode->Has(nsInactive) && PressCheckControl(hit.HitNode))
            ShiftTreeStates(tsMouseCheckPending, {});
        return;
    }
    if ((FRoot->NumChildren > 0 && shiftEmpty) || FSelectionCount == 0) {
        PLazyNode levelNode = hit.HitNode ? hit.HitNode : LastVisibleNode();
        FLastSelectionLevel = levelNode ? DepthOfNode(levelNode) : -1;
    }
    if (multiSelect && shiftEmpty && anyHit && dragAllowed && nodeSelected)
        ShiftTreeStates(tsClearPending, {});
    const bool noDragOrPopup =
        !dragAllowed && !(QApplication::mouseButtons().testFlag(Qt::RightButton) && PopupAvailable(hit.HitNode, hit.HitColumn, {x, y}));
    if ((multiSelect && shiftEmpty && !(anyHit || fullRowDrag)) ||
        (anyHit && (!nodeSelected || noDragOrPopup) && (shiftEmpty || !multiSelect))) {
        LTAssert(!FStates.Contains(tsClearPending), "Pending and direct clearance are mutual exclusive!");
        const bool mainColumn = hit.HitColumn == NoColumn || (FHeader && hit.HitColumn == FHeader->MainColumn());
        if (nodeSelected || (altPressed && hit.HitNode && mainColumn)) {
            const bool several = FSelectionCount > 1;
            DropWholeSelection();
            PickOneNode(hit.HitNode, true);
            if (several) {
                InvalidateClient();
                NotifyNodeChange(nullptr);
            }
        } else {
            DeselectAll();
        }
    }
    const bool onRowForEdit = onLabel || (HasOption(toGridExtensions) && hit.HitNode);
    if (hasFocus() && onRowForEdit && nodeSelected && !columnChange && shiftEmpty)
        ShiftTreeStates(tsEditPending, {});
    if (!HasOption(toDisableDrawSelection) && !labelHit && !fullRowDrag && multiSelect) {
        ShiftTreeStates(tsDrawSelPending, {});
        FBandShift = shift;
        FBandRect = {x - FOffsetX, y - FOffsetY, x - FOffsetX, y - FOffsetY};
        FPreviousBandRect = {};
        if (!cellHit)
            return;
    }
    FLastClickPos = {x, y};
    if (anyHit && FireFocusChanging(FFocusNode, hit.HitNode, FFocusedColumn, newColumn)) {
        PLazyNode oldFocus = FFocusNode;
        if (columnChange) {
            RepaintColumn(FFocusedColumn);
            RepaintColumn(newColumn);
            FFocusedColumn = newColumn;
        }
        if (::DragKind(*this) == TDragKind::dkDock)
            StopAutoScroll();
        if (nodeChange || columnChange)
            MoveFocusTo(hit.HitNode, false);
        if (!multiSelect || shiftEmpty) {
            if (shiftEmpty)
                FRangeAnchor = hit.HitNode;
            if (!nodeSelected)
                AddNodeToSelection(hit.HitNode);
        } else {
            ApplyClickSelection(oldFocus, hit.HitNode, shift, dragAllowed);
        }
        if (nodeChange || columnChange)
            FireFocusChanged(FFocusNode, FFocusedColumn);
    }
    if (dragAllowed && anyHit && QApplication::mouseButtons() != Qt::NoButton)
        ShiftTreeStates(FDragType == TLTDragType::dtOLE ? TLazyTreeStates{tsOLEDragPending} : TLazyTreeStates{tsVCLDragPending},
                        {});
}

void TBaseLazyTree::MouseReleased(TMessage& message, const TLTHitRecord& hit)
{
    if (FStates.Contains(tsVCLDragPending))
        return;
    if (MouseSelecting()) {
        ShiftTreeStates({}, TLazyTreeStates{tsToggleFocusedSelection, tsDrawSelPending, tsDrawSelecting});
        InvalidateClient();
    }
    if (FStates.Contains(tsClearPending)) {
        const bool focusSelected = FFocusNode && FFocusNode->Has(nsPicked);
        ShiftTreeStates({}, tsClearPending);
        DeselectAll();
        if (focusSelected)
            AddNodeToSelection(FFocusNode);
    }
    if (FStates.Contains(tsToggleFocusedSelection) && hit.HitNode && hit.HitNode == FFocusNode) {
        if (hit.HitNode->Has(nsPicked))
            UnselectNode(hit.HitNode);
        else
            AddNodeToSelection(hit.HitNode);
        RepaintNode(hit.HitNode);
    }
    ShiftTreeStates({}, TLazyTreeStates{tsToggleFocusedSelection, tsClearPending, tsDrawSelPending, tsOLEDragging,
                                        tsOLEDragPending, tsScrolling, tsScrollPending});
    KillTreeTimer(ScrollTimer);
    if (FStates.Contains(tsMouseCheckPending)) {
        ShiftTreeStates({}, tsMouseCheckPending);
        const bool onRow = hit.HitNode == FCheckNode && hit.HitParts.Contains(htOnRow);
        ReleaseCheckControl(onRow ? hit.HitNode : nullptr);
    }
    if (FHeader && FHeader->Columns().ClickIndex >= 0 && FHeader->Columns().ClickIndex == hit.HitColumn)
        FireColumnClick(hit.HitColumn, ShiftStateFromMouseFlags(message.WParam));
    if (FStates.Contains(tsEditPending)) {
        if (hit.HitNode && hit.HitNode == FFocusNode && hit.HitParts.Contains(htOnRow) &&
            EditAllowed(FFocusNode, hit.HitColumn)) {
            FEditColumn = FFocusedColumn;
            SetTimer(EditTimer, FEditDelay);
        } else {
            ShiftTreeStates({}, tsEditPending);
        }
    }
}

void TBaseLazyTree::MouseDoubleClicked(TMessage& message, const TLTHitRecord& hit)
{
    if (FStates.Contains(tsEditPending)) {
        KillTreeTimer(EditTimer);
        ShiftTreeStates({}, tsEditPending);
    }
    if (FStates.Contains(tsEditing) && !CommitNodeEdit())
        return;
    if (FHeader && hit.HitColumn == FHeader->Columns().ClickIndex)
        FireColumnDblClick(hit.HitColumn, ShiftStateFromMouseFlags(message.WParam));
    if (!hit.HitNode)
        return;
    if (hit.HitParts.Contains(htOnCheckBox)) {
        if (!FStates.Contains(tsKeyCheckPending) && !FStates.Contains(tsMouseCheckPending) &&
            !hit.HitNode->Has(nsInactive) && PressCheckControl(hit.HitNode))
            ShiftTreeStates(tsMouseCheckPending, {});
        return;
    }
    const bool onButton = hit.HitParts.Contains(htOnButton);
    const bool onContent = hit.HitParts.Contains(htOnLabel) || hit.HitParts.Contains(htOnNormalImage) ||
                           hit.HitParts.Contains(htOnStateImage);
    if (onButton || (HasOption(toToggleOnDblClick) && (onContent || HasOption(toFullRowSelect))))
        FlipExpanded(hit.HitNode);
}

void TBaseLazyTree::MouseMove(TShiftState shift, int x, int y)
{
    FLastMousePos = {x, y};
    if (FStates.Contains(tsDrawSelPending)) {
        if (ComputeDrawSelectionRect(x, y))
            viewport()->update();
        const int threshold = QApplication::startDragDistance();
        const TRect band = NormalizeRect(FBandRect);
        if (band.Width() <= threshold && band.Height() <= threshold)
            return;
        if (FStates.Contains(tsClearPending)) {
            ShiftTreeStates({}, tsClearPending);
            DeselectAll();
        }
        ShiftTreeStates(tsDrawSelecting, tsDrawSelPending);
        if (FHeader)
            AssignFocusedColumn(FHeader->MainColumn());
        if (ApplyBandSelection(x, y))
            InvalidateClient();
        return;
    }
    const int threshold = QApplication::startDragDistance();
    if (FStates.Contains(tsWheelPanning) && FStates.Contains(tsWheelScrolling) &&
        (std::abs(x - FLastClickPos.X) >= threshold || std::abs(y - FLastClickPos.Y) >= threshold))
        ShiftTreeStates({}, tsWheelScrolling);
    if (FStates.Contains(tsOLEDragPending) &&
        (std::abs(x - FLastClickPos.X) >= threshold || std::abs(y - FLastClickPos.Y) >= threshold)) {
        RunOleDrag(FLastClickPos);
        return;
    }
    if (AutoScrollAllowed())
        StartAutoScrollTimer(x, y);
    if (FStates.Contains(tsWheelPanning) || FStates.Contains(tsWheelScrolling))
        PickPanningCursor(x, y);
    if (FStates.Contains(tsDrawSelecting)) {
        if (FStates.Contains(tsScrolling))
            return;
        if (ComputeDrawSelectionRect(x, y)) {
            if (!ApplyBandSelection(x, y)) {
                TRect both;
                UnionRect(both, NormalizeRect(FBandRect), NormalizeRect(FPreviousBandRect));
                OffsetRect(both, FOffsetX, FOffsetY);
                InflateRect(both, 1, 1);
                InvalidateClient(&both);
            } else {
                InvalidateClient();
            }
            viewport()->repaint();
        }
        return;
    }
    TrackHotNode(x, y);
    if (FLastHintRect.IsEmpty() ? false : !FLastHintRect.Contains({x, y}))
        CancelHint();
    // Tooltips for truncated texts come at once, without the hint pause.
    if (FShowHint && FHintMode == TLTHintMode::hmTooltip && !QApplication::mouseButtons())
        ShowHintAt({x, y});
    TQtScrollControl<QAbstractScrollArea>::MouseMove(shift, x, y);
}

void TBaseLazyTree::ShowNodePopup(PLazyNode node, TColumnIndex column, TPoint p)
{
    QMenu* menu = FireGetPopupMenu(node, column, p);
    if (!menu)
        return;
    ShiftTreeStates(tsPopupMenuShown, {});
    KillTreeTimer(EditTimer);
    menu->popup(ClientToScreen(p).ToQt());
}

bool TBaseLazyTree::PopupAvailable(PLazyNode node, TColumnIndex column, TPoint p)
{
    return FPopupMenu || FireGetPopupMenu(node, column, p);
}
