// Drops onto explorer items go to the items themselves (copy, move or link by the keys held; a
// drag made with the right button asks with the drop menu); drags carry the tree's own data and
// the items as files (text/uri-list); the context menu is the items' own, shown through the
// tree's context menu manager.

#include "ShellBrowsing/Source/explorer/ShellExplorerTree.h"

#include "ShellBrowsing/Source/explorer/ExplorerDataObject.h"

#include "TreeView/Source/transfer/LTDragManager.h"

#include <QMenu>
#include <QMimeData>
#include <QTimer>

namespace {

std::uint32_t KeyStateOf(TShiftState shift)
{
    std::uint32_t keys = 0;
    if (shift.Contains(ssShift))
        keys |= 0x4; // MK_SHIFT
    if (shift.Contains(ssCtrl))
        keys |= 0x8; // MK_CONTROL
    if (shift.Contains(ssAlt))
        keys |= MK_ALT_KEY;
    if (shift.Contains(ssLeft))
        keys |= MK_LBUTTON;
    if (shift.Contains(ssRight))
        keys |= MK_RBUTTON;
    return keys;
}

} // namespace

PLazyNode TCustomShellExplorerTree::DropTargetFor(PLazyNode node)
{
    // A file takes no drops: in a list the drop goes to the folder shown.
    TNamespace* ns = NodeNamespace(node);
    if (node && ns && ns->AcceptsDrops())
        return node;
    return Has(toHideRootFolder) ? HiddenRoot() : node;
}

bool TCustomShellExplorerTree::FireDragOver(QObject* source, TShiftState shift, TDragState state, TPoint pt,
                                            TDropMode mode, int& effect)
{
    const bool accept = TCustomLazyStringTree::FireDragOver(source, shift, state, pt, mode, effect);
    return !Has(toVETReadOnly) && (accept || !OnDragOver);
}

void TCustomShellExplorerTree::TrackShellDropNode(PLazyNode node, TShiftState shift, TPoint pt, int& effect)
{
    if (node == FShellDropNode)
        return;
    if (TNamespace* old = NodeNamespace(FShellDropNode))
        old->DragLeave();
    FShellDropNode = node;
    if (TNamespace* ns = NodeNamespace(node); ns && FDragData) {
        std::uint32_t e = static_cast<std::uint32_t>(effect);
        ns->DragEnter(FDragData, KeyStateOf(shift), pt.ToQt(), e);
    }
}

int TCustomShellExplorerTree::OleDragEntered(TShiftState shift, TPoint pt, int& effect)
{
    const int offered = effect;
    // why: a drop no longer knows the button; the drag's entering does. A drag whose button is
    // not reported (some programs' drags) counts as one made with the left button.
    FDragButton = shift.Contains(ssRight) ? 2 : 1;
    FDragData = ObtainDragManager().DragData();
    const int result = TCustomLazyStringTree::OleDragEntered(shift, pt, effect);
    effect = offered;
    TrackShellDropNode(DropTargetFor(DropTargetNode()), shift, pt, effect);
    return result;
}

int TCustomShellExplorerTree::OleDragMoved(TBaseLazyTree* source, TShiftState shift, TDragState state, TPoint pt,
                                           int& effect)
{
    const int offered = effect;
    const int result = TCustomLazyStringTree::OleDragMoved(source, shift, state, pt, effect);
    if (result != S_OK || Has(toVETReadOnly)) {
        effect = 0;
        return result;
    }
    effect = offered;
    if (FDropping)
        return result;
    PLazyNode target = DropTargetFor(DropTargetNode());
    TrackShellDropNode(target, shift, pt, effect);
    TNamespace* ns = NodeNamespace(target);
    if (ns && FDragData) {
        std::uint32_t e = static_cast<std::uint32_t>(offered);
        ns->DragOver(KeyStateOf(shift), pt.ToQt(), e);
        effect = static_cast<int>(e);
    } else {
        effect = 0;
    }
    FLastDropEffect = static_cast<std::uint32_t>(effect);
    return result;
}

void TCustomShellExplorerTree::OleDragLeft()
{
    TCustomLazyStringTree::OleDragLeft();
    if (TNamespace* ns = NodeNamespace(FShellDropNode))
        ns->DragLeave();
    FShellDropNode = nullptr;
    FDragData = nullptr;
    FDragButton = 0;
}

int TCustomShellExplorerTree::OleDropped(const QMimeData* dataObject, TShiftState shift, TPoint pt, int& effect)
{
    const int offered = effect;
    FDragData = dataObject;
    WaitCursor(true);
    int result = S_OK;
    try {
        // The base asks OnDragDrop and forgets its drop target; the item under the point decides.
        TLTHitRecord hit;
        HitTestAt(pt.X, pt.Y, true, hit);
        PLazyNode target = DropTargetFor(hit.HitNode);
        result = TCustomLazyStringTree::OleDropped(dataObject, shift, pt, effect);
        FDropping = true;
        TNamespace* ns = NodeNamespace(target);
        if (!Has(toVETReadOnly) && ns && dataObject) {
            std::uint32_t keys = KeyStateOf(shift);
            std::uint32_t e = static_cast<std::uint32_t>(offered);
            if (FDragButton == 2 || shift.Contains(ssRight)) {
                // The drop menu offers what the drag allows, whatever the keys chose last.
                keys |= MK_RBUTTON;
                e &= DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
            }
            ns->Drop(dataObject, keys, pt.ToQt(), e);
            effect = static_cast<int>(e);
            result = S_OK;
        } else {
            effect = 0;
        }
    } catch (...) {
        FShellDropNode = nullptr;
        FDropping = false;
        FDragData = nullptr;
        FDragButton = 0;
        WaitCursor(false);
        throw;
    }
    FShellDropNode = nullptr;
    FDropping = false;
    FDragData = nullptr;
    FDragButton = 0;
    WaitCursor(false);
    return result;
}

bool TCustomShellExplorerTree::FireDragAllowed(PLazyNode node, TColumnIndex column)
{
    TNamespace* ns = NodeNamespace(node);
    if (!Has(toDragDrop) || Has(toVETReadOnly) || !ns || ns->IsDesktop())
        return false;
    // why: an item may be dragged unless the handler says no; the base's answer starts at no,
    // which kept every item in place.
    bool allowed = true;
    if (OnDragAllowed)
        OnDragAllowed(this, node, column, allowed);
    return allowed;
}

void TCustomShellExplorerTree::FireCreateDataObject(std::unique_ptr<QMimeData>& dataObject)
{
    TCustomLazyStringTree::FireCreateDataObject(dataObject);
    if (dataObject)
        return;
    const TNamespaceArray items = SelectedNamespaces();
    FSelectionDataObject = items.empty() ? nullptr : std::shared_ptr<QMimeData>(items.front()->DataObjectMulti(items));
    if (FSelectionDataObject)
        dataObject = std::make_unique<TVETDataObject>(this, FSelectionDataObject);
}

void TCustomShellExplorerTree::CollectClipboardFormats(TFormatEtcArray& formats)
{
    TCustomLazyStringTree::CollectClipboardFormats(formats);
    if (!FSelectionDataObject)
        return;
    for (const TFormatEtc& format : ItemsDataFormats(*FSelectionDataObject))
        if (std::none_of(formats.begin(), formats.end(),
                         [&](const TFormatEtc& known) { return known.cfFormat == format.cfFormat; }))
            formats.push_back(format);
}

void TCustomShellExplorerTree::RunOleDrag(TPoint hotSpot)
{
    struct TDragScope {
        TCustomShellExplorerTree& Tree;
        ~TDragScope()
        {
            // The drag's data object keeps the items' data as long as a consumer holds it.
            Tree.FSelectionDataObject.reset();
            Tree.FContextMenuManager->Reset();
            Tree.viewport()->update();
        }
    } scope{*this};
    TCustomLazyStringTree::RunOleDrag(hotSpot);
}

// ---- context menu

QMenu* TCustomShellExplorerTree::FireGetPopupMenu(PLazyNode node, TColumnIndex column, TPoint p)
{
    if (Has(toContextMenus) && NodeNamespace(node))
        return nullptr;
    return TCustomLazyStringTree::FireGetPopupMenu(node, column, p);
}

bool TCustomShellExplorerTree::PopupAvailable(PLazyNode node, TColumnIndex column, TPoint p)
{
    return (Has(toContextMenus) && NodeNamespace(node)) || TCustomLazyStringTree::PopupAvailable(node, column, p);
}

bool TCustomShellExplorerTree::HandleMenuAndDragMessage(TMessage& message)
{
    const TPoint p{LowWordSigned(message.LParam), HighWordSigned(message.LParam)};
    TContextMenuManager& manager = *FContextMenuManager;
    switch (message.Msg) {
    case WM_RBUTTONDOWN: {
        const TLazyTreeStates states = TreeStates();
        const bool buttonsFree = !states.Contains(tsLeftButtonDown) && !states.Contains(tsMiddleButtonDown) &&
                                 !states.Contains(tsRightButtonDown);
        manager.DisarmRightDrag();
        if (!Has(toVETReadOnly))
            manager.RightButton(p.X, p.Y, false, false);
        TCustomLazyStringTree::WndProc(message);
        TLTHitRecord hit;
        HitTestAt(p.X, p.Y, true, hit);
        if (buttonsFree && hit.HitNode && FireDragAllowed(hit.HitNode, hit.HitColumn))
            manager.ArmRightDrag(p);
        return true;
    }
    case WM_MOUSEMOVE:
        if (!manager.RightDragDue(p, message.WParam & MK_RBUTTON))
            return false;
        RunOleDrag(manager.RightDragStart());
        return true;
    case WM_RBUTTONUP:
        manager.DisarmRightDrag();
        manager.ClickInProgress = true;
        try {
            TCustomLazyStringTree::WndProc(message);
        } catch (...) {
            manager.ClickInProgress = false;
            manager.Reset();
            throw;
        }
        manager.ClickInProgress = false;
        manager.RightButton(p.X, p.Y, false, true);
        return true;
    default:
        return false;
    }
}

void TCustomShellExplorerTree::ShowNodePopup(PLazyNode node, TColumnIndex column, TPoint p)
{
    TContextMenuManager& manager = *FContextMenuManager;
    if (Has(toVETReadOnly) || TreeStates().Contains(tsOLEDragging))
        return;
    // why: a press on a selected item arms the in-place editor; the menu is the click's answer.
    KillTreeTimer(EditTimer);
    ShiftTreeStates({}, tsEditPending);
    if (manager.ClickInProgress) {
        if (!manager.ShowMenuForClick(ClientToScreen(p).ToQt()))
            TCustomLazyStringTree::ShowNodePopup(node, column, p);
        return;
    }
    // The menu key.
    if (!manager.ShowMenuForKeyboard()) {
        const std::vector<PLazyNode> selected = CollectSelectedNodes(false);
        if (!manager.Enabled() && !selected.empty())
            p = ScreenToClient(manager.MenuPointForNode(selected.front()));
        TCustomLazyStringTree::ShowNodePopup(node, column, p);
    }
    manager.Reset();
}

bool TCustomShellExplorerTree::ShowContextMenuAt(PLazyNode node, const QPoint& screenPos)
{
    TContextMenuManager& manager = *FContextMenuManager;
    if (!node || !NodeNamespace(node) || manager.MenuShown())
        return false;
    manager.Reset();
    manager.TakeNodeForMenu(node);
    manager.ShowMenuForClick(screenPos);
    const bool succeeded = manager.CommandSucceeded();
    manager.RightButton(0, 0, false, true);
    return succeeded;
}

bool TCustomShellExplorerTree::NodeExists(PLazyNode node)
{
    if (!node)
        return false;
    for (PLazyNode walk = FirstNodeRaw(); walk; walk = NextNodeRaw(walk))
        if (walk == node)
            return true;
    return false;
}
