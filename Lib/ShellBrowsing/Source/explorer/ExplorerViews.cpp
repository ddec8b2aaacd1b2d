#include "ShellBrowsing/Source/explorer/ExplorerViews.h"

#include "ShellBrowsing/Source/explorer/ChangeDispatch.h"
#include "ShellBrowsing/Source/idlist/PIDLManager.h"

#include "TreeView/Source/header/LTHeader.h"

#include "Platform/controls/Keys.h"

namespace {

// Links `client` to follow `server` (nil: no partner any more).
template <class TClient, class TServer>
void Relink(TClient* client, TServer*& field, TServer* value)
{
    if (value == field)
        return;
    if (field)
        VETChangeDispatch().UnRegisterChangeLink(field, client, TLinkMatch::Both);
    field = value;
    if (value)
        VETChangeDispatch().RegisterChangeLink(
            value, client, [client](QObject* server, PCItemIDList list) { client->ChangeLinkDispatch(server, list); },
            [client, &field](TVETChangeLink& link) {
                if (link.Client == client && link.Server == field)
                    field = nullptr;
            });
}

} // namespace

// ---- tree view

TShellExplorerTreeview::TShellExplorerTreeview(TComponent* AOwner, QWidget* parent)
    : TCustomShellExplorerTree(AOwner, parent)
{
    AssignDefaultOptions();
    ApplyRegistrations();
}

TShellExplorerTreeview::~TShellExplorerTreeview()
{
    VETChangeDispatch().UnRegisterChangeLink(this, this, TLinkMatch::Either);
}

void TShellExplorerTreeview::AssignDefaultOptions()
{
    SetFileObjects({TFileObject::foFolders, TFileObject::foHidden});
    TCustomLazyTreeOptions& options = TreeOptions();
    options.SetAutoOptions({toAutoScroll});
    options.SetSelectionOptions({toLevelSelectConstraint});
    options.SetMiscOptions({toAcceptOLEDrop, toEditable, toToggleOnDblClick});
    options.SetPaintOptions({toShowButtons, toShowTreeLines, toUseBlendedImages, toGhostedIfUnfocused});
    SetVETFolderOptions({toFoldersExpandable});
    SetVETShellOptions({toContextMenus});
    SetVETMiscOptions({toBrowseExecuteFolder, toBrowseExecuteFolderShortcut, toBrowseExecuteZipFolder,
                       toChangeNotifierThread, toRemoveContextMenuShortCut});
    SetVETImageOptions({toImages, toThreadedImages, toMarkCutAndCopy});
    SetVETSyncOptions({toCollapseTargetFirst, toExpandTarget, toSelectTarget});
}

void TShellExplorerTreeview::SetShellExplorerListview(TShellExplorerListview* value)
{
    Relink(this, FListview, value);
}

// ---- list view

TShellExplorerListview::TShellExplorerListview(TComponent* AOwner, QWidget* parent)
    : TCustomShellExplorerTree(AOwner, parent)
{
    AssignDefaultOptions();
    ApplyRegistrations();
}

TShellExplorerListview::~TShellExplorerListview()
{
    VETChangeDispatch().UnRegisterChangeLink(this, this, TLinkMatch::Either);
}

void TShellExplorerListview::AssignDefaultOptions()
{
    SetFileObjects({TFileObject::foFolders, TFileObject::foNonFolders, TFileObject::foHidden});
    TCustomLazyTreeOptions& options = TreeOptions();
    options.SetAutoOptions({toAutoScroll});
    options.SetSelectionOptions({toMultiSelect, toRightClickSelect, toSiblingSelectConstraint});
    options.SetMiscOptions({toAcceptOLEDrop, toEditable, toReportMode, toToggleOnDblClick});
    options.SetPaintOptions({toShowTreeLines, toUseBlendedImages, toGhostedIfUnfocused});
    SetVETFolderOptions({toHideRootFolder});
    SetVETShellOptions({toRightAlignSizeColumn, toContextMenus, toShellColumnMenu});
    SetVETMiscOptions({toBrowseExecuteFolder, toBrowseExecuteFolderShortcut, toBrowseExecuteZipFolder,
                       toChangeNotifierThread, toExecuteOnDblClk});
    SetVETImageOptions({toImages, toThreadedImages, toMarkCutAndCopy});
    SetVETSyncOptions({toCollapseTargetFirst, toExpandTarget, toSelectTarget});
    TLTHeader& header = Header();
    header.SetHeight(17);
    header.SetOptions({hoColumnResize, hoDblClickResize, hoDrag, hoShowSortGlyphs});
    SetIndent(0);
    SetMargin(4);
    SetColumnDetails(TColumnDetailType::cdShellColumns);
}

void TShellExplorerListview::SetShellExplorerTreeview(TShellExplorerTreeview* value)
{
    Relink(this, FTreeview, value);
}

void TShellExplorerListview::SetBrowseLimitRoot()
{
    if (!RootNamespace()) {
        FBrowseLimitRoot.reset();
        return;
    }
    if (!FBrowseLimitRoot || !ILIsEqual(FBrowseLimitRoot->AbsolutePIDL(), RootNamespace()->AbsolutePIDL()))
        FBrowseLimitRoot = RootNamespace()->CloneNamespace();
}

bool TShellExplorerListview::BrowseAllowed(PCItemIDList list)
{
    if (!Has(toListviewLimitBrowseToRoot) || !FBrowseLimitRoot)
        return true;
    TNamespace* limit = FTreeview ? FTreeview->RootNamespace() : FBrowseLimitRoot.get();
    if (!limit)
        return true;
    return ILIsEqual(limit->AbsolutePIDL(), list) || ILIsParent(limit->AbsolutePIDL(), list, false);
}

bool TShellExplorerListview::BrowseTo(PCItemIDList list, bool, bool selectTarget, bool, bool, bool)
{
    if (!list || !BrowseAllowed(list))
        return false;
    TNamespace item(PIDLMgr().CopyPIDL(list));
    TPIDLHolder folderList(PIDLMgr().CopyPIDL(list));
    const bool isFolder = item.IsFolderItem();
    if (!isFolder)
        PIDLMgr().StripLastID(folderList.Get());
    if (!RootNamespace() || !ILIsEqual(RootNamespace()->AbsolutePIDL(), folderList.Get())) {
        FBrowsingRoot = true;
        try {
            SetRootFolderCustomPIDL(folderList.Get());
        } catch (...) {
            FBrowsingRoot = false;
            throw;
        }
        FBrowsingRoot = false;
    }
    if (!isFolder && selectTarget)
        if (PLazyNode node = FindExistingNodeByPIDL(list)) {
            DeselectAll();
            SetNodeSelected(node, true);
            AssignFocusedNode(node);
            MakeNodeVisible(node);
        }
    return RootNamespace() != nullptr;
}

bool TShellExplorerListview::BrowseUp()
{
    if (!RootNamespace() || RootNamespace()->IsDesktop())
        return false;
    TPIDLHolder parentList(PIDLMgr().CopyPIDL(RootNamespace()->AbsolutePIDL()));
    PIDLMgr().StripLastID(parentList.Get());
    if (!BrowseAllowed(parentList.Get()))
        return false;
    return BrowseTo(parentList.Get(), false, false, false, false, true);
}

void TShellExplorerListview::RebuildTree()
{
    if (RootRebuildLocked())
        return;
    TCustomShellExplorerTree::RebuildTree();
    // Each folder may keep a column layout of its own.
    if (ColumnDetails() == TColumnDetailType::cdShellColumns &&
        (Header().Columns().Count() == 0 || Has(toPersistentColumns)))
        RebuildColumns();
    if (!FBrowsingRoot)
        SetBrowseLimitRoot();
}

void TShellExplorerListview::RefreshNodeChildren(PLazyNode node, bool sortAfterwards)
{
    if (node == HiddenRoot())
        TCustomShellExplorerTree::RefreshNodeChildren(node, sortAfterwards);
}

void TShellExplorerListview::ExecuteNode(PLazyNode node)
{
    TNamespace* ns = NodeNamespace(node);
    if (ns && ns->IsFolderItem() && Has(toBrowseExecuteFolder) &&
        (ns->ExtensionText().compare(QLatin1String(".zip"), Qt::CaseInsensitive) != 0 || Has(toBrowseExecuteZipFolder))) {
        const std::vector<PLazyNode> selected = CollectSelectedNodes(false);
        PLazyNode first = selected.empty() ? node : selected.front();
        if (TNamespace* target = NodeNamespace(first); target && target->IsFolderItem()) {
            TPIDLHolder list(PIDLMgr().CopyPIDL(target->AbsolutePIDL()));
            if (BrowseTo(list.Get(), false, false, false, false, true))
                return;
        }
    }
    TCustomShellExplorerTree::ExecuteNode(node);
}

bool TShellExplorerListview::PasteFromClipboard()
{
    if (Has(toVETReadOnly) || !RootNamespace())
        return false;
    // Into the folder shown, whatever is selected; copies, or moves after a cut.
    RootNamespace()->Paste({RootNamespace()}, true);
    return true;
}

void TShellExplorerListview::PasteIntoSelection(bool all)
{
    const std::vector<PLazyNode> selected = CollectSelectedNodes(false);
    if (!all && selected.size() > 1)
        return;
    if (selected.empty()) {
        PasteFromClipboard();
        return;
    }
    for (std::size_t i = 0; i < (all ? selected.size() : 1); ++i)
        if (TNamespace* ns = NodeNamespace(selected[i]))
            ns->Paste({ns}, true);
}

void TShellExplorerListview::DispatchChangeLink()
{
    if (TNamespace* root = NodeNamespace(HiddenRoot()))
        VETChangeDispatch().DispatchChange(this, root->AbsolutePIDL());
}

void TShellExplorerListview::ChangeLinkDispatch(QObject*, PCItemIDList list)
{
    if (!list || FollowingNow())
        return;
    TNamespace* root = NodeNamespace(HiddenRoot());
    if (root && ILIsEqual(root->AbsolutePIDL(), list))
        return;
    SetFollowing(true);
    try {
        BrowseTo(list, Has(toExpandTarget), Has(toSelectTarget), false, Has(toCollapseTargetFirst), true);
    } catch (...) {
        SetFollowing(false);
        throw;
    }
    SetFollowing(false);
}

bool TShellExplorerListview::FireKeyAction(WORD& charCode, TShiftState& shift)
{
    if (charCode == VK_BACK) {
        BrowseUp();
        return false;
    }
    if (charCode == VK_RETURN && SelectionCount() == 1 && !shift.Contains(ssAlt)) {
        if (FTreeview && FTreeview->FocusNode())
            FTreeview->RefreshNode(FTreeview->FocusNode());
        ExecuteNode(CollectSelectedNodes(false).front());
        return false;
    }
    if (charCode == 'V' && shift.Contains(ssCtrl)) {
        WaitCursor(true);
        bool handled = false;
        if (OnClipboardPaste)
            OnClipboardPaste(this, handled);
        if (!handled)
            PasteFromClipboard();
        WaitCursor(false);
        return false;
    }
    return TCustomShellExplorerTree::FireKeyAction(charCode, shift);
}

TCustomImageList* TShellExplorerListview::FireGetImageIndex(PLazyNode node, TLTImageKind kind, TColumnIndex column,
                                                            bool& ghosted, int& index)
{
    return TCustomShellExplorerTree::FireGetImageIndex(
        node, kind == TLTImageKind::ikSelected ? TLTImageKind::ikNormal : kind, column, ghosted, index);
}
