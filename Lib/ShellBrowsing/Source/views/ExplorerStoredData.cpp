// What an explorer tree keeps in its node storage: check marks of items and the column layout
// of the folder it shows; and the header's column menu with the column settings dialog.

#include "ShellBrowsing/Source/common/ShellTexts.h"
#include "ShellBrowsing/Source/explorer/ExplorerViewState.h"
#include "ShellBrowsing/Source/explorer/ShellExplorerTree.h"
#include "ShellBrowsing/Source/views/ColumnLayout.h"
#include "ShellBrowsing/Source/views/ColumnSettingsDialog.h"
#include "ShellBrowsing/Source/views/NodeStorage.h"

#include "TreeView/Source/core/LTOptions.h"
#include "TreeView/Source/header/LTColumn.h"
#include "TreeView/Source/header/LTHeader.h"

#include <QMenu>
#include <set>

namespace {

constexpr int MoreColumnsEntry = -2;

} // namespace

// ---- column layouts

namespace {

// Layouts are kept per folder, for shell columns only.
bool KeepsColumnLayouts(TCustomShellExplorerTree& tree)
{
    return tree.Has(toPersistentColumns) && tree.ColumnDetails() == TColumnDetailType::cdShellColumns &&
           tree.RootNamespace() && tree.RootNamespace()->IsFolderItem();
}

} // namespace

void TCustomShellExplorerTree::StoreColumnState()
{
    if (!KeepsColumnLayouts(*this))
        return;
    TNodeStorage* storage = FViewState->NodeStorage().Store(FRootNamespace->AbsolutePIDL(), stColumns);
    if (!storage)
        return;
    TColumnStorage& stored = storage->Storage.Columns;
    stored = {};
    for (const TColumnLayoutEntry& entry : TakeColumnLayout(Header().Columns())) {
        stored.Widths.push_back(static_cast<std::uint16_t>(std::clamp(entry.Width, 0, 0xFFFF)));
        stored.Positions.push_back(static_cast<std::uint16_t>(entry.Position));
        stored.Visible.push_back(entry.Visible ? 1 : 0);
    }
}

void TCustomShellExplorerTree::RestoreColumnState()
{
    if (!KeepsColumnLayouts(*this))
        return;
    TNodeStorage* storage = FViewState->NodeStorage().FindStored(FRootNamespace->AbsolutePIDL(), stColumns);
    if (!storage)
        return;
    const TColumnStorage& stored = storage->Storage.Columns;
    TColumnLayout layout;
    if (stored.Positions.size() == stored.Widths.size() && stored.Visible.size() == stored.Widths.size())
        for (std::size_t i = 0; i < stored.Widths.size(); ++i)
            layout.push_back({stored.Positions[i], stored.Widths[i], stored.Visible[i] != 0});
    const bool wasBuilding = FColumnsBuilding;
    FColumnsBuilding = true;
    if (ApplyColumnLayout(Header().Columns(), layout))
        Header().RepaintHeader();
    else // made for other columns
        FViewState->NodeStorage().Delete(FRootNamespace->AbsolutePIDL(), stColumns, false, false);
    FColumnsBuilding = wasBuilding;
}

void TCustomShellExplorerTree::FireHeaderDragged(TColumnIndex column, int oldPosition)
{
    TCustomLazyStringTree::FireHeaderDragged(column, oldPosition);
    StoreColumnState();
}

void TCustomShellExplorerTree::ColumnResized(TColumnIndex column)
{
    TCustomLazyStringTree::ColumnResized(column);
    if (!FColumnsBuilding)
        StoreColumnState();
}

// ---- check marks

void TCustomShellExplorerTree::FireChecked(PLazyNode node)
{
    if (TNamespace* ns = NodeNamespace(node)) {
        TRootNodeStorage& storage = FViewState->NodeStorage();
        if (GetNodeCheckMark(node) != csUncheckedNormal) {
            if (TNodeStorage* stored = storage.Store(ns->AbsolutePIDL(), stChecks)) {
                stored->Storage.CheckState = GetNodeCheckMark(node);
                stored->Storage.CheckType = GetNodeCheckKind(node);
            }
        } else {
            storage.Delete(ns->AbsolutePIDL(), stChecks, false, false);
        }
    }
    TCustomLazyStringTree::FireChecked(node);
}

void TCustomShellExplorerTree::ApplyStoredCheckState(PLazyNode parentNode, PLazyNode node)
{
    if (!HasOption(toCheckSupport))
        return;
    TNamespace* ns = NodeNamespace(node);
    if (!ns)
        return;
    if (GetNodeCheckKind(node) == chkNone)
        SetNodeCheckKind(node, HasOption(toAutoTristateTracking) ? chkTriState : chkBox);
    TRootNodeStorage& storage = FViewState->NodeStorage();
    const bool parentShown = parentNode && parentNode != HiddenRoot();
    if (HasOption(toAutoTristateTracking) && parentShown && GetNodeCheckMark(parentNode) == csCheckedNormal) {
        node->CheckMark = csCheckedNormal;
        if (TNodeStorage* stored = storage.Store(ns->AbsolutePIDL(), stChecks)) {
            stored->Storage.CheckState = csCheckedNormal;
            stored->Storage.CheckType = GetNodeCheckKind(node);
        }
        return;
    }
    if (TNodeStorage* stored = storage.FindStored(ns->AbsolutePIDL(), stChecks)) {
        node->CheckKind = stored->Storage.CheckType == chkNone ? node->CheckKind : stored->Storage.CheckType;
        node->CheckMark = stored->Storage.CheckState;
        if (HasOption(toAutoTristateTracking) && node->CheckMark != csUncheckedNormal)
            for (PLazyNode up = parentNode; up && up != HiddenRoot(); up = up->ParentLink)
                if (up->CheckMark == csUncheckedNormal)
                    up->CheckMark = csMixedNormal;
    }
}

// ---- the column menu and the column settings

void TCustomShellExplorerTree::ShowColumnMenu(const QPoint& screenPos)
{
    QMenu menu(this);
    TLazyTreeColumns& columns = Header().Columns();
    const bool shellColumns = FColumnDetails == TColumnDetailType::cdShellColumns;
    std::set<QString> listed;
    for (int i = 0; i < columns.Count(); ++i) {
        const QString caption = columns[i]->Text();
        if (shellColumns) {
            const bool secondary =
                FRootNamespace && FRootNamespace->DetailsColumnState(i).Contains(TSHColumnState::csSecondaryUI);
            if (secondary || static_cast<int>(listed.size()) >= FColumnMenuItemCount || caption.isEmpty() ||
                listed.count(caption))
                continue;
        }
        listed.insert(caption);
        QAction* action = menu.addAction(caption);
        action->setCheckable(true);
        action->setChecked(columns[i]->Options().Contains(coVisible));
        action->setData(i);
    }
    // why: always offered, since the dialog also orders and sizes columns, which the menu cannot.
    menu.addSeparator();
    menu.addAction(QString::fromUtf8(ShellTexts::MoreColumns))->setData(MoreColumnsEntry);
    QAction* chosen = menu.exec(screenPos);
    if (!chosen)
        return;
    const int index = chosen->data().toInt();
    if (index == MoreColumnsEntry) {
        ShowColumnSettings();
        return;
    }
    if (TLazyTreeColumn* column = columns[index]) {
        column->SetOptions(chosen->isChecked() ? column->Options() + coVisible : column->Options() - coVisible);
        StoreColumnState();
        if (OnColumnUserChangedVisiblility)
            OnColumnUserChangedVisiblility(this);
    }
}

bool TCustomShellExplorerTree::ShowColumnSettings()
{
    TColumnSettingsSession session(*this);
    const bool accepted = session.Dialog().exec() == QDialog::Accepted;
    session.Finish(accepted);
    return accepted;
}
