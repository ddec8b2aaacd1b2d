// Tree states, timers and the coalesced change notifications of TBaseLazyTree.

#include "TreeView/Source/core/LazyTree.h"

#include "TreeView/Source/header/LTHeader.h"

#include <QPainter>

namespace {
}

void TBaseLazyTree::ShiftTreeStates(TLazyTreeStates enter, TLazyTreeStates leave)
{
    if (OnStateChange && (!FStates.ContainsAll(enter) || !(FStates * leave).Empty()))
        OnStateChange(this, enter, leave);
    FStates = (FStates + enter) - leave;
}

void TBaseLazyTree::KillTreeTimer(std::uintptr_t id)
{
    KillTimer(id);
}

void TBaseLazyTree::MarkChangePending(bool isStructure, PLazyNode node, TChangeReason reason)
{
    if (isStructure) {
        if (FStates.Contains(tsStructureChangePending))
            KillTreeTimer(StructureChangeTimer);
        else
            ShiftTreeStates(tsStructureChangePending, {});
        FPendingStructureNode = node;
        if (FPendingStructureReason == TChangeReason::crIgnore)
            FPendingStructureReason = reason;
        else if (reason != TChangeReason::crIgnore)
            FPendingStructureReason = TChangeReason::crAccumulated;
    } else {
        if (FStates.Contains(tsChangePending))
            KillTreeTimer(ChangeTimer);
        else
            ShiftTreeStates(tsChangePending, {});
        FLastChangedNode = node;
    }
}

void TBaseLazyTree::NotifyNodeChange(PLazyNode node)
{
    MarkChangePending(false, node);
    if (FUpdateDepth > 0)
        return;
    if (FChangeDelay == 0 || FStates.Contains(tsSynchMode))
        FireChange(node);
    else
        SetTimer(ChangeTimer, FChangeDelay);
}

void TBaseLazyTree::NotifyStructureChange(PLazyNode node, TChangeReason reason)
{
    MarkChangePending(true, node, reason);
    if (FUpdateDepth > 0)
        return;
    if (FChangeDelay == 0 || FStates.Contains(tsSynchMode))
        FireStructureChange(FPendingStructureNode, FPendingStructureReason);
    else
        SetTimer(StructureChangeTimer, FChangeDelay);
}

void TBaseLazyTree::FireChange(PLazyNode node)
{
    KillTreeTimer(ChangeTimer);
    if (OnChange)
        OnChange(this, node);
    ShiftTreeStates({}, tsChangePending);
    FLastChangedNode = nullptr;
}

void TBaseLazyTree::FireStructureChange(PLazyNode node, TChangeReason reason)
{
    KillTreeTimer(StructureChangeTimer);
    if (OnStructureChange)
        OnStructureChange(this, node, reason);
    ShiftTreeStates({}, tsStructureChangePending);
    FPendingStructureNode = nullptr;
    FPendingStructureReason = TChangeReason::crIgnore;
}

void TBaseLazyTree::FireUpdating(TLTUpdateState state)
{
    if (OnUpdating)
        OnUpdating(this, state);
}

void TBaseLazyTree::MsgTimer(TMessage& message)
{
    switch (message.WParam) {
    case EditTimer:
        OpenNodeEditor();
        break;
    case ChangeTimer:
        FireChange(FLastChangedNode);
        break;
    case StructureChangeTimer:
        FireStructureChange(FPendingStructureNode, FPendingStructureReason);
        break;
    case ExpandTimer:
        ExpandDropTarget();
        break;
    case ScrollTimer:
        if (FStates.Contains(tsScrollPending)) {
            CancelHint();
            SetTimer(ScrollTimer, FAutoScrollInterval);
            ShiftTreeStates(tsScrolling, tsScrollPending);
        }
        AutoScrollStep();
        break;
    case SearchTimer:
        EndIncrementalSearch();
        break;
    default:
        break;
    }
}

void TBaseLazyTree::WndProc(TMessage& message)
{
    if (FHeader && FHeader->HeaderMessage(message))
        return;
    switch (message.Msg) {
    case WM_CHANGESTATE:
        MsgValidationState(message);
        return;
    case WM_TIMER:
        MsgTimer(message);
        return;
    case WM_SETFOCUS:
        TQtScrollControl<QAbstractScrollArea>::WndProc(message);
        MsgSetFocus();
        return;
    case WM_KILLFOCUS:
        TQtScrollControl<QAbstractScrollArea>::WndProc(message);
        MsgKillFocus();
        return;
    case CM_CANCELMODE:
        MsgCancelMode();
        TQtScrollControl<QAbstractScrollArea>::WndProc(message);
        return;
    case WM_COPY:
        CopySelectionToClipboard();
        return;
    case WM_CUT:
        CutSelectionToClipboard();
        return;
    case WM_PASTE:
        PasteClipboardNodes();
        return;
    case WM_PRINTCLIENT:
        if (auto* painter = reinterpret_cast<QPainter*>(message.WParam))
            PaintTree(*painter, {-FOffsetX, -FOffsetY, ClientWidth() - FOffsetX, ClientHeight() - FOffsetY}, {0, 0},
                      ControlPaintFlags - tpColumnColors);
        return;
    default:
        if (AnswerTreeViewQuery(message))
            return;
        if (!RouteMouseMessage(message))
            TQtScrollControl<QAbstractScrollArea>::WndProc(message);
        return;
    }
}
