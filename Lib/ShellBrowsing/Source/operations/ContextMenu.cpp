// TNamespace: the context menu of one or several items, with the caller's own commands.

#include "ShellBrowsing/Source/namespace/Namespace.h"

#include "ShellBrowsing/Source/common/ShellTexts.h"
#include "ShellBrowsing/Source/namespace/ShellLocations.h"
#include "ShellBrowsing/Source/operations/ShellClipboard.h"
#include "ShellBrowsing/Source/operations/ShellVerbs.h"
#include "ShellBrowsing/Source/operations/Trash.h"

#include "Platform/controls/Menus.h"
#include "Platform/core/Exceptions.h"
#include "Platform/core/QtBridge.h"

#include <QCursor>
#include <QGuiApplication>
#include <QMenu>
#include <QPointer>

namespace {

struct TMenuPlan {
    bool Trashed = false;      // every item is in the trash
    bool OneFolder = false;    // one item, a folder one can paste into
    bool CanDelete = true;
    bool CanRename = false;
    bool CanLink = false;
    bool HasFiles = true;      // every item lives on the file system
};

TMenuPlan PlanFor(const TNamespaceArray& items, bool renameByCaller)
{
    TMenuPlan plan;
    plan.Trashed = std::all_of(items.begin(), items.end(),
                               [](TNamespace* item) { return ShellTrash::IsTrashedItem(item->PathBytes()); });
    plan.HasFiles = std::all_of(items.begin(), items.end(), [](TNamespace* item) { return !item->PathBytes().empty(); });
    plan.CanDelete = std::all_of(items.begin(), items.end(), [](TNamespace* item) { return item->CanDeleteItem(); });
    plan.OneFolder = items.size() == 1 && items.front()->AcceptsDrops() && !items.front()->IsRecycleBin();
    plan.CanRename = renameByCaller && items.size() == 1 && items.front()->CanRenameItem();
    plan.CanLink = std::all_of(items.begin(), items.end(), [](TNamespace* item) { return item->CanLinkItem(); });
    return plan;
}

QAction* AddVerb(QMenu& menu, const QString& caption, const char* verb, int& command, bool enabled = true)
{
    QAction* action = menu.addAction(caption);
    action->setProperty("zentuCommand", ++command);
    action->setProperty("zentuVerb", QString::fromLatin1(verb));
    action->setEnabled(enabled);
    return action;
}

void AddSeparator(QMenu& menu)
{
    if (!menu.actions().isEmpty() && !menu.actions().back()->isSeparator())
        menu.addSeparator();
}

void BuildShellMenu(QMenu& menu, const TMenuPlan& plan, bool extended, int& command)
{
    std::vector<std::string> clipboard;
    bool cut = false;
    const bool canPaste = plan.OneFolder && ShellClipboard::ClipboardFiles(clipboard, cut);
    if (plan.Trashed) {
        AddVerb(menu, QStringLiteral("Restore"), "restore", command);
        AddSeparator(menu);
        AddVerb(menu, QStringLiteral("Delete Permanently"), "deletepermanently", command, plan.CanDelete);
        AddSeparator(menu);
        AddVerb(menu, QStringLiteral("Properties"), "properties", command);
        return;
    }
    AddVerb(menu, QStringLiteral("Open"), "open", command, plan.HasFiles);
    AddSeparator(menu);
    if (plan.HasFiles) {
        AddVerb(menu, QStringLiteral("Cut"), "cut", command, plan.CanDelete);
        AddVerb(menu, QStringLiteral("Copy"), "copy", command);
    }
    if (plan.OneFolder)
        AddVerb(menu, QStringLiteral("Paste"), "paste", command, canPaste);
    AddSeparator(menu);
    if (plan.OneFolder)
        AddVerb(menu, QStringLiteral("New Folder"), "newfolder", command);
    if (plan.HasFiles) {
        if (extended)
            AddVerb(menu, QStringLiteral("Delete Permanently"), "deletepermanently", command, plan.CanDelete);
        else
            AddVerb(menu, QStringLiteral("Delete"), "delete", command, plan.CanDelete);
    }
    if (plan.CanRename)
        AddVerb(menu, QStringLiteral("Rename"), "rename", command);
    AddSeparator(menu);
    if (plan.HasFiles) {
        // In a group of its own, as explorers that drop it leave the others as they were.
        AddVerb(menu, QStringLiteral("Make Link"), "link", command, plan.CanLink);
        AddSeparator(menu);
        AddVerb(menu, QStringLiteral("Properties"), "properties", command);
    }
}

// The caller's popup as a submenu after a separator, its items in their order, each with the
// next command number that the shell's items do not use.
void AddCustomPopup(QMenu& menu, TPopupMenu* popup, const QString& caption, int& command)
{
    TMenuItem* root = popup ? popup->Items() : nullptr;
    if (!root || root->Count() == 0)
        return;
    menu.addSeparator();
    QMenu* sub = menu.addMenu(caption);
    for (int i = 0; i < root->Count(); ++i) {
        TMenuItem* item = root->Items(i);
        if (!item->Visible())
            continue;
        if (item->IsLine()) {
            sub->addSeparator();
            continue;
        }
        QAction* action = sub->addAction(QStr(item->Caption()));
        action->setCheckable(item->Checked() || item->RadioItem());
        action->setChecked(item->Checked());
        action->setEnabled(item->Enabled());
        if (item->Default()) {
            QFont font = action->font();
            font.setBold(true);
            action->setFont(font);
        }
        action->setProperty("zentuCommand", ++command);
        action->setProperty("zentuVerb", QString::fromStdString(item->Caption()));
        action->setProperty("zentuCustomItem", QVariant::fromValue(static_cast<void*>(item)));
    }
}

} // namespace

bool TNamespace::ShowContextMenu(QWidget* owner, const TContextMenuHandlers& handlers, const QPoint* position,
                                 TPopupMenu* customPopup, const QString& customCaption)
{
    return ShowContextMenuMulti(owner, {this}, false, handlers, position, customPopup, customCaption);
}

bool TNamespace::ShowContextMenuMulti(QWidget* owner, const TNamespaceArray& items, bool useDesktop,
                                      const TContextMenuHandlers& handlers, const QPoint* position,
                                      TPopupMenu* customPopup, const QString& customCaption)
{
    if (!owner)
        throw EAssertionFailed(ShellTexts::ContextMenuOwner);
    if (items.empty())
        return false;
    const QPoint at = position ? *position : QCursor::pos();
    const bool extended = QGuiApplication::queryKeyboardModifiers() & Qt::ShiftModifier;
    QMenu menu(owner);
    int command = 0;
    BuildShellMenu(menu, PlanFor(items, static_cast<bool>(handlers.OnCommand)), extended, command);
    AddCustomPopup(menu, customPopup, customCaption, command);

    struct TMenuScope {
        TNamespace* Item;
        ~TMenuScope() { Item->CurrentContextMenu = nullptr; }
    } scope{this};
    CurrentContextMenu = &menu;
    bool allow = true;
    if (handlers.OnShow)
        handlers.OnShow(this, &menu, allow);
    if (!allow)
        return false;
    QPointer<QAction> chosen = menu.exec(at);
    if (!chosen)
        return false;
    const int id = chosen->property("zentuCommand").toInt();
    QString verb = chosen->property("zentuVerb").toString();
    if (verb.isEmpty())
        verb = QString::fromLatin1(ShellTexts::UnknownCommand);
    if (auto* item = static_cast<TMenuItem*>(chosen->property("zentuCustomItem").value<void*>())) {
        item->Click();
        return true;
    }
    if (handlers.OnCommand) {
        bool handled = false;
        handlers.OnCommand(this, verb, id, handled);
        if (handled)
            return verb != QLatin1String(ShellTexts::UnknownCommand);
    }
    std::vector<std::string> paths;
    for (TNamespace* item : items)
        if (std::string path = item->PathBytes(); !path.empty())
            paths.push_back(std::move(path));
    (void)useDesktop; // every item is addressed by its path, whichever folder shows it
    const bool succeeded = ShellVerbs::Run(verb, paths, owner);
    if (handlers.AfterCommand)
        handlers.AfterCommand(this, verb, id, succeeded);
    return succeeded;
}
