// Drops onto explorer items go to the items themselves (copy, move or link by the keys held);
// drags carry the items as files (text/uri-list); the context menu is the items' own.

#include "ShellBrowsing/Source/explorer/ShellExplorerTree.h"

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
            std::uint32_t e = static_cast<std::uint32_t>(offered);
            ns->Drop(dataObject, KeyStateOf(shift), pt.ToQt(), e);
            effect = static_cast<int>(e);
            result = S_OK;
        } else {
            effect = 0;
        }
    } catch (...) {
        FShellDropNode = nullptr;
        FDropping = false;
        FDragData = nullptr;
        WaitCursor(false);
        throw;
    }
    FShellDropNode = nullptr;
    FDropping = false;
    FDragData = nullptr;
    WaitCursor(false);
    return result;
}

bool TCustomShellExplorerTree::FireDragAllowed(PLazyNode node, TColumnIndex column)
{
    return Has(toDragDrop) && !Has(toVETReadOnly) && NodeNamespace(node) &&
           TCustomLazyStringTree::FireDragAllowed(node, column);
}

void TCustomShellExplorerTree::FireCreateDataObject(std::unique_ptr<QMimeData>& dataObject)
{
    TCustomLazyStringTree::FireCreateDataObject(dataObject);
    if (dataObject)
        return;
    const TNamespaceArray items = SelectedNamespaces();
    if (!items.empty())
        dataObject = items.front()->DataObjectMulti(items);
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

void TCustomShellExplorerTree::ShowNodePopup(PLazyNode node, TColumnIndex column, TPoint p)
{
    if (Has(toContextMenus) && !Has(toVETReadOnly) && NodeNamespace(node)) {
        ShowContextMenuAt(node, ClientToScreen(p).ToQt());
        return;
    }
    TCustomLazyStringTree::ShowNodePopup(node, column, p);
}

bool TCustomShellExplorerTree::ShowContextMenuAt(PLazyNode node, const QPoint& screenPos)
{
    if (!node || !NodeNamespace(node) || FMenuShown)
        return false;
    // A right click on an unselected item shows the menu for that item alone; the earlier
    // selection comes back afterwards unless the clicked item is to stay selected.
    const std::vector<PLazyNode> before = CollectSelectedNodes(false);
    PLazyNode previousFocus = FocusNode();
    const bool wasSelected = GetNodeSelected(node);
    if (!wasSelected) {
        DeselectAll();
        SetNodeSelected(node, true);
        AssignFocusedNode(node);
    }
    TContextMenuHandlers handlers;
    bool renamePending = false;
    handlers.OnShow = [this](TNamespace* item, QMenu* menu, bool& allow) {
        if (Has(toRemoveContextMenuShortCut))
            for (QAction* action : menu->actions())
                if (action->property("zentuVerb").toString() == QLatin1String("link"))
                    menu->removeAction(action);
        if (OnContextMenuShow)
            OnContextMenuShow(this, item, menu, allow);
    };
    handlers.OnCommand = [this, &renamePending](TNamespace* item, const QString& verb, int id, bool& handled) {
        if (OnContextMenuCmd)
            OnContextMenuCmd(this, item, verb, id, handled);
        if (!handled && verb == QLatin1String("rename")) {
            renamePending = true;
            handled = true;
        }
    };
    handlers.AfterCommand = [this](TNamespace*, const QString& verb, int, bool succeeded) {
        if (succeeded && verb == QLatin1String("copy"))
            MarkSelectionCopied();
        else if (succeeded && verb == QLatin1String("cut"))
            MarkSelectionCut();
    };
    const TNamespaceArray items = SelectedNamespaces();
    bool result = false;
    FMenuShown = true;
    try {
        result = !items.empty() && items.front()->ShowContextMenuMulti(this, items, false, handlers, &screenPos);
    } catch (...) {
        FMenuShown = false;
        throw;
    }
    FMenuShown = false;
    if (renamePending) {
        EditSelectedName();
        return true;
    }
    if (!wasSelected && !Has(toRightButtonSelect) && !IsDestroying()) {
        // The nodes may have gone with the command (a delete): only live ones come back.
        DeselectAll();
        for (PLazyNode old : before)
            if (NodeExists(old))
                SetNodeSelected(old, true);
        if (NodeExists(previousFocus))
            AssignFocusedNode(previousFocus);
    }
    return result;
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
