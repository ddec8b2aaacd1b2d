#include "ShellBrowsing/Source/explorer/ExplorerContextMenuManager.h"

#include "ShellBrowsing/Source/explorer/ShellExplorerTree.h"

#include "TreeView/Source/header/LTHeader.h"

#include "Platform/graphics/ImgList.h"

#include <QApplication>
#include <QCursor>
#include <QMenu>

TContextMenuManager::TContextMenuManager(TCustomShellExplorerTree& tree) : FTree(tree) {}

bool TContextMenuManager::Enabled() const
{
    return FTree.Has(toContextMenus);
}

TPoint TContextMenuManager::MenuPointForNode(PLazyNode node)
{
    if (!node)
        return {0, 0};
    const TRect row = FTree.NodeDisplayRect(node, NoColumn, false);
    const int halfImage = FTree.Images() ? FTree.Images()->Width() / 2 : 0;
    return FTree.ClientToScreen({row.Left + halfImage, (row.Top + row.Bottom) / 2});
}

void TContextMenuManager::Reset()
{
    FMenuNode = nullptr;
    FPreviousSelected = nullptr;
    FPreviousSelection.clear();
    FPreviousFocused = nullptr;
    FRenamePending = false;
    FRightClickActive = false;
    FCommandSucceeded = false;
}

void TContextMenuManager::TakeNodeForMenu(PLazyNode node)
{
    FRightClickActive = true;
    FMenuNode = node;
    FPreviousSelection = FTree.CollectSelectedNodes(false);
    FPreviousSelected = FPreviousSelection.empty() ? nullptr : FPreviousSelection.front();
    FPreviousFocused = FTree.FocusNode();
    if (FTree.GetNodeSelected(node))
        return;
    if (FTree.Has(toRightButtonSelect)) {
        FPreviousSelected = node;
        FPreviousSelection = {node};
        FPreviousFocused = node;
    }
    FTree.DeselectAll();
    FTree.SetNodeSelected(node, true);
    FTree.AssignFocusedNode(node);
}

void TContextMenuManager::RightButton(int x, int y, bool screen, bool afterMenu)
{
    if (!afterMenu) {
        Reset();
        const TPoint p = screen ? FTree.ScreenToClient({x, y}) : TPoint{x, y};
        TLTHitRecord hit;
        FTree.HitTestAt(p.X, p.Y, true, hit);
        const bool onItem = hit.HitParts.Contains(htOnLabel) || hit.HitParts.Contains(htOnNormalImage) ||
                            FTree.Has(toFullRowContextMenuActivate);
        if (hit.HitNode && onItem)
            TakeNodeForMenu(hit.HitNode);
        return;
    }
    if (FRightClickActive && !FRenamePending && !FTree.IsDestroying()) {
        if (FTree.Has(toRightButtonSelect)) {
            // Selected again after the reset, so that the choice is announced.
            const std::vector<PLazyNode> selected = FTree.CollectSelectedNodes(false);
            Reset();
            if (!selected.empty()) {
                FTree.SetNodeSelected(selected.front(), false);
                FTree.SetNodeSelected(selected.front(), true);
            }
            return;
        }
        if (!FPreviousSelected || !FTree.GetNodeSelected(FPreviousSelected)) {
            // The command may have taken nodes away (a refresh): only live ones come back.
            FTree.DeselectAll();
            for (PLazyNode old : FPreviousSelection)
                if (FTree.NodeExists(old))
                    FTree.SetNodeSelected(old, true);
            if (FTree.NodeExists(FPreviousFocused))
                FTree.AssignFocusedNode(FPreviousFocused);
        }
    }
    Reset();
}

bool TContextMenuManager::ShowMenuForClick(const QPoint& screenPos)
{
    TNamespace* ns = FTree.NodeNamespace(FMenuNode);
    return Enabled() && ns && ShowMenuFor(ns, screenPos);
}

bool TContextMenuManager::ShowMenuForKeyboard()
{
    const std::vector<PLazyNode> selected = FTree.CollectSelectedNodes(false);
    TNamespace* ns = selected.empty() ? nullptr : FTree.NodeNamespace(selected.front());
    return Enabled() && ns && ShowMenuFor(ns, MenuPointForNode(selected.front()).ToQt());
}

void TContextMenuManager::RemoveShortcutEntry(QMenu& menu) const
{
    const QList<QAction*> actions = menu.actions();
    for (qsizetype i = 0; i < actions.size(); ++i) {
        if (actions[i]->property("zentuVerb").toString() != QLatin1String("link"))
            continue;
        delete actions[i];
        const bool separatorBefore = i > 0 && actions[i - 1]->isSeparator();
        const bool nothingAfter = i + 1 >= actions.size() || actions[i + 1]->isSeparator();
        if (separatorBefore && nothingAfter)
            delete actions[i - 1];
        return;
    }
}

void TContextMenuManager::MenuSelect(QAction* action, QMenu* menu)
{
    TNamespace* ns = FTree.NodeNamespace(FMenuNode);
    if (!FMenuShown || !action || !FTree.OnContextMenuItemChange)
        return;
    if (!ns) {
        const std::vector<PLazyNode> selected = FTree.CollectSelectedNodes(false);
        ns = selected.empty() ? nullptr : FTree.NodeNamespace(selected.front());
    }
    if (!ns)
        return;
    const QRect area = menu->actionGeometry(action);
    const bool byMouse = area.contains(menu->mapFromGlobal(QCursor::pos()));
    FTree.OnContextMenuItemChange(&FTree, ns, action->property("zentuCommand").toInt(), action->menu(), byMouse);
}

bool TContextMenuManager::ShowMenuFor(TNamespace* ns, const QPoint& screenPos)
{
    bool shown = false;
    TContextMenuHandlers handlers;
    handlers.OnShow = [this, &shown](TNamespace* item, QMenu* menu, bool& allow) {
        if (FTree.Has(toRemoveContextMenuShortCut))
            RemoveShortcutEntry(*menu);
        if (FTree.OnContextMenuShow)
            FTree.OnContextMenuShow(&FTree, item, menu, allow);
        QObject::connect(menu, &QMenu::hovered, menu, [this, menu](QAction* action) { MenuSelect(action, menu); });
        shown = allow;
    };
    handlers.OnCommand = [this](TNamespace* item, const QString& verb, int id, bool& handled) {
        if (FTree.OnContextMenuCmd)
            FTree.OnContextMenuCmd(&FTree, item, verb, id, handled);
        if (!handled && verb == QLatin1String("rename")) {
            // The tree renames in place; the shell's own rename is not asked.
            FRenamePending = true;
            FTree.EditSelectedName();
            handled = true;
        }
    };
    handlers.AfterCommand = [this](TNamespace* item, const QString& verb, int id, bool succeeded) {
        if (succeeded && verb == QLatin1String("copy"))
            FTree.MarkSelectionCopied();
        else if (succeeded && verb == QLatin1String("cut"))
            FTree.MarkSelectionCut();
        if (FTree.OnContextMenuAfterCmd)
            FTree.OnContextMenuAfterCmd(&FTree, item, verb, id, succeeded);
    };
    struct TShownScope {
        bool& Flag;
        ~TShownScope() { Flag = false; }
    } scope{FMenuShown};
    FMenuShown = true;
    FCommandSucceeded = false;
    if (FTree.CollectSelectedNodes(false).size() == 1)
        FCommandSucceeded =
            ns->ShowContextMenu(&FTree, handlers, &screenPos, ShellContextSubMenu, ShellContextSubMenuCaption);
    else
        FCommandSucceeded = ns->ShowContextMenuMulti(&FTree, FTree.SelectedNamespaces(), false, handlers, &screenPos,
                                                     ShellContextSubMenu, ShellContextSubMenuCaption);
    return shown;
}

void TContextMenuManager::ArmRightDrag(TPoint start)
{
    FRightDragArmed = true;
    FRightDragStart = start;
}

bool TContextMenuManager::RightDragDue(TPoint now, bool rightButtonHeld)
{
    if (!FRightDragArmed)
        return false;
    if (!rightButtonHeld) {
        FRightDragArmed = false;
        return false;
    }
    const int threshold = QApplication::startDragDistance();
    if (std::abs(now.X - FRightDragStart.X) < threshold && std::abs(now.Y - FRightDragStart.Y) < threshold)
        return false;
    FRightDragArmed = false;
    return true;
}
