#pragma once
// TContextMenuManager: the items' context menu of one explorer tree. A right click selects the
// clicked item for the menu (the earlier selection and focus come back when the menu closes,
// unless the tree keeps right-clicked items selected), the menu key shows the menu of the
// selection, and the menu's events reach the tree's handlers. A right press on an item may also
// start a drag with the right button, whose drop asks what to do (see DropMenu.h).

#include "TreeView/Source/core/LTNode.h"

#include "Platform/core/Types.h"

#include <QString>
#include <functional>
#include <vector>

class QAction;
class QMenu;
class TCustomShellExplorerTree;
class TNamespace;
class TPopupMenu;

// After a command of the menu ran (`succeeded` tells how it went).
using TVETContextMenuAfterCmdEvent = std::function<void(TCustomShellExplorerTree* Sender, TNamespace* Namespace,
                                                        const QString& Verb, int MenuItemID, bool Succeeded)>;
// The highlighted entry of the menu changed; `SubMenu` is the menu the entry opens (nil for a
// command), `MouseSelect` whether the mouse moved onto it.
using TVETContextMenuItemChangeEvent = std::function<void(TCustomShellExplorerTree* Sender, TNamespace* Namespace,
                                                          int MenuItemID, QMenu* SubMenu, bool MouseSelect)>;

class TContextMenuManager {
public:
    explicit TContextMenuManager(TCustomShellExplorerTree& tree);
    TContextMenuManager(const TContextMenuManager&) = delete;
    TContextMenuManager& operator=(const TContextMenuManager&) = delete;

    // Where the keyboard's menu of a node shows (screen): half an icon into its row, at the
    // row's middle; (0, 0) for no node.
    TPoint MenuPointForNode(PLazyNode node);
    // A right press (before the menu) or release (after it) at a point of the tree's client area
    // or, with `screen`, of the screen.
    void RightButton(int x, int y, bool screen, bool afterMenu);
    // The menu of the node a right press chose, at a screen point; true when it showed.
    bool ShowMenuForClick(const QPoint& screenPos);
    // The menu of the selection at its first node; true when it showed.
    bool ShowMenuForKeyboard();
    // Reports the highlighted entry of the shown menu to OnContextMenuItemChange.
    void MenuSelect(QAction* action, QMenu* menu);
    void Reset();
    // Selects a node for the menu as a right click on it does.
    void TakeNodeForMenu(PLazyNode node);

    // Follows the tree's toContextMenus.
    bool Enabled() const;
    bool MenuShown() const { return FMenuShown; }
    bool RightClickActive() const { return FRightClickActive; }
    bool RenamePending() const { return FRenamePending; }
    PLazyNode MenuNode() const { return FMenuNode; }
    // Whether the last command of the menu ran successfully.
    bool CommandSucceeded() const { return FCommandSucceeded; }
    // Set by the tree while it handles a right release, so that a menu it shows is the click's.
    bool ClickInProgress = false;

    // The program's own menu, added to the items' menu as a submenu under this caption.
    TPopupMenu* ShellContextSubMenu = nullptr;
    QString ShellContextSubMenuCaption;

    // ---- the right-button drag
    // Remembers where a right press that may start a drag was made (client co-ordinates).
    void ArmRightDrag(TPoint start);
    void DisarmRightDrag() { FRightDragArmed = false; }
    // True once the mouse moved far enough with the right button held; the drag starts there.
    bool RightDragDue(TPoint now, bool rightButtonHeld);
    TPoint RightDragStart() const { return FRightDragStart; }

private:
    bool ShowMenuFor(TNamespace* ns, const QPoint& screenPos);
    void RemoveShortcutEntry(QMenu& menu) const;

    PLazyNode FMenuNode = nullptr;
    PLazyNode FPreviousSelected = nullptr;
    // why: the whole earlier selection comes back after the menu, not just its first node.
    std::vector<PLazyNode> FPreviousSelection;
    TCustomShellExplorerTree& FTree;
    PLazyNode FPreviousFocused = nullptr;
    bool FRenamePending = false;
    bool FRightClickActive = false;
    bool FMenuShown = false;
    bool FCommandSucceeded = false;
    bool FRightDragArmed = false;
    TPoint FRightDragStart;
};
