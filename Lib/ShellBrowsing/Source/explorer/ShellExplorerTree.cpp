#include "ShellBrowsing/Source/explorer/ShellExplorerTree.h"

#include "ShellBrowsing/Source/explorer/ChangeDispatch.h"
#include "ShellBrowsing/Source/explorer/ExplorerEnumeration.h"
#include "ShellBrowsing/Source/explorer/ExplorerViewState.h"
#include "ShellBrowsing/Source/explorer/IconThread.h"
#include "ShellBrowsing/Source/icons/ShellSysImages.h"
#include "ShellBrowsing/Source/idlist/PIDLManager.h"
#include "ShellBrowsing/Source/namespace/ShellLocations.h"
#include "ShellBrowsing/Source/namespace/KnownNamespaces.h"
#include "ShellBrowsing/Source/notify/ShellChangeNotifier.h"
#include "ShellBrowsing/Source/views/ExplorerViewManager.h"

#include "TreeView/Source/header/LTHeader.h"

#include "Platform/core/Exceptions.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <cstring>

namespace {

// The process-wide hourglass: shown while any explorer works.
int& WaitCursorUsers()
{
    static int users = 0;
    return users;
}

TShellSortHelper& SortHelper()
{
    static TShellSortHelper helper;
    return helper;
}

} // namespace

TCustomShellExplorerTree::TCustomShellExplorerTree(TComponent* AOwner, QWidget* parent)
    : TCustomLazyStringTree(AOwner, parent)
{
    ShellNotifyManager().RegisterExplorer(this);
    FRegisteredWithManager = true;
    SuppressChangeLinks();
    SetDefaultNodeHeight(17);
    Header().SetHeight(17);
    SetDragHeight(250);
    SetDragWidth(150);
    SetHintMode(TLTHintMode::hmHint);
    FViewState = std::make_unique<TVETPersistent>();
    FViewManager = std::make_unique<TViewManager>();
    FContextMenuManager = std::make_unique<TContextMenuManager>(*this);
    FUnknownFileImageIndex = DefaultSystemImageIndex(2);
    FFolderImageIndex = DefaultSystemImageIndex(0);
    BeginRootRebuildLock();
    AssignDefaultOptions();
    FRootRebuildLock = 0;
    FAreaOffset = ReserveInternalNodeData(static_cast<int>(sizeof(TNodeArea)));
    SetImages(SmallSysImages());
}

TCustomShellExplorerTree::~TCustomShellExplorerTree()
{
    StopBackgroundEnum();
    if (FRegisteredWithManager)
        ShellNotifyManager().UnRegisterExplorer(this);
    if (FThreadedImagesOn) {
        TIconThreadManager::Instance().UnRegisterControl(this);
        FThreadedImagesOn = false;
    }
    SetThreadedExpandMark(false);
    if (FChangeNotifierOn) {
        DrainPostedShellEvents();
        ChangeNotifier().UnRegisterShellChangeNotify(this);
        FChangeNotifierOn = false;
    }
    VETChangeDispatch().UnRegisterChangeLink(this, this, TLinkMatch::Either);
    // why: nodes must go while this class can still free their namespaces.
    RemoveAllNodes();
    FreeHiddenRootNamespace();
    PIDLFree(FRootFolderCustomPIDL);
    ReleaseChangeLinks();
    // The base's hourglass count is ours to give back.
    while (FWaitCount > 0)
        WaitCursor(false);
}

void TCustomShellExplorerTree::AssignDefaultOptions()
{
    TCustomLazyTreeOptions& options = TreeOptions();
    options.SetPaintOptions({toShowButtons, toShowTreeLines, toUseBlendedImages, toGhostedIfUnfocused});
    FFolderOptions = {toFoldersExpandable};
    FShellOptions = {toRightAlignSizeColumn, toContextMenus};
    FMiscOptions = {toBrowseExecuteFolder, toBrowseExecuteFolderShortcut, toBrowseExecuteZipFolder, toExecuteOnDblClk};
    FImageOptions = {toImages, toMarkCutAndCopy};
    FSyncOptions = {toCollapseTargetFirst, toExpandTarget, toSelectTarget};
}

void TCustomShellExplorerTree::ApplyRegistrations()
{
    SetThreadedImages(Has(toThreadedImages));
    SetThreadedExpandMark(Has(toThreadedExpandMark));
    SetChangeNotifierThread(Has(toChangeNotifierThread));
}

void TCustomShellExplorerTree::SetVETMiscOptions(TVETMiscOptions value)
{
    FMiscOptions = value;
    SetChangeNotifierThread(Has(toChangeNotifierThread));
}

void TCustomShellExplorerTree::SetVETImageOptions(TVETImageOptions value)
{
    FImageOptions = value;
    SetImages(Has(toImages) ? (Has(toLargeImages) ? LargeSysImages() : SmallSysImages()) : nullptr);
    SetThreadedImages(Has(toThreadedImages));
}

void TCustomShellExplorerTree::SetFileObjects(TFileObjects value)
{
    if (value == FFileObjects)
        return;
    FFileObjects = value;
    RebuildTree();
}

void TCustomShellExplorerTree::WaitCursor(bool show)
{
    if (show) {
        if (FWaitCount++ == 0 && WaitCursorUsers()++ == 0)
            QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    } else if (FWaitCount > 0) {
        if (--FWaitCount == 0 && --WaitCursorUsers() == 0)
            QGuiApplication::restoreOverrideCursor();
    }
}

// ---- node area

TCustomShellExplorerTree::TNodeArea TCustomShellExplorerTree::AreaOf(PLazyNode node) const
{
    TNodeArea area{};
    if (node)
        std::memcpy(&area, node->Bytes() + FAreaOffset, sizeof area);
    return area;
}

void TCustomShellExplorerTree::SetAreaOf(PLazyNode node, const TNodeArea& area)
{
    std::memcpy(node->Bytes() + FAreaOffset, &area, sizeof area);
}

bool TCustomShellExplorerTree::NamespaceOfNode(PLazyNode node, TNamespace*& ns) const
{
    ns = AreaOf(node).Namespace;
    return ns != nullptr;
}

TNamespace* TCustomShellExplorerTree::NodeNamespace(PLazyNode node) const
{
    return AreaOf(node).Namespace;
}

TColumnManager* TCustomShellExplorerTree::ColumnManagerOfNode(PLazyNode node)
{
    if (!node)
        return nullptr;
    TNodeArea area = AreaOf(node);
    if (!area.ColumnManager) {
        area.ColumnManager = new TColumnManager;
        SetAreaOf(node, area);
    }
    return area.ColumnManager;
}

void TCustomShellExplorerTree::FireFreeNodeAndDispose(PLazyNode node)
{
    if (FThreadedImagesOn)
        TIconThreadManager::Instance().ClearPendingItem(this, node, VM_ICONREADY,
                                                        [this](TMessage& message) { ApplyIconAnswer(message); });
    WithdrawExpandMarks(node);
    if (node == FShellDropNode)
        FShellDropNode = nullptr;
    const TNodeArea area = AreaOf(node);
    if (area.Namespace && FWatched.erase(node) > 0 && FChangeNotifierOn)
        ChangeNotifier().UnwatchFolder(this, area.Namespace->AbsolutePIDL());
    SetAreaOf(node, TNodeArea{});
    TCustomLazyStringTree::FireFreeNodeAndDispose(node);
    delete area.Namespace;
    delete area.ColumnManager;
}

void TCustomShellExplorerTree::FreeHiddenRootNamespace()
{
    StopBackgroundEnum();
    PLazyNode root = HiddenRoot();
    if (!root)
        return;
    const TNodeArea area = AreaOf(root);
    if (area.Namespace && FWatched.erase(root) > 0 && FChangeNotifierOn)
        ChangeNotifier().UnwatchFolder(this, area.Namespace->AbsolutePIDL());
    SetAreaOf(root, TNodeArea{});
    delete area.Namespace;
    delete area.ColumnManager;
}

// ---- root and activation

void TCustomShellExplorerTree::SetActive(bool value)
{
    if (value == FActive)
        return;
    FActive = value;
    if (FThreadedImagesOn)
        TIconThreadManager::Instance().ClearPendingItems(this, VM_ICONREADY);
    WithdrawExpandMarks(nullptr);
    if (FActive && !FActiveApplied) {
        if (!FRootNamespace)
            ApplyRoot(FRootFolder);
        else
            RebuildTree();
        FActiveApplied = true;
    } else if (!FActive && FActiveApplied) {
        FActiveApplied = false;
        RemoveAllNodes();
    }
}

std::unique_ptr<TNamespace> TCustomShellExplorerTree::RootFolderNamespace(TRootFolder value)
{
    switch (value) {
    case TRootFolder::rfDesktop:
        return CreateSpecialNamespace(CSIDL_DESKTOP);
    case TRootFolder::rfDrives:
        return CreateSpecialNamespace(CSIDL_DRIVES);
    case TRootFolder::rfPersonal:
        return CreateSpecialNamespace(CSIDL_PERSONAL);
    case TRootFolder::rfBitBucket:
        return CreateSpecialNamespace(CSIDL_BITBUCKET);
    case TRootFolder::rfCustom:
        return std::make_unique<TNamespace>(PathToPIDL(FRootFolderCustomPath));
    case TRootFolder::rfCustomPIDL:
        return std::make_unique<TNamespace>(PIDLMgr().CopyPIDL(FRootFolderCustomPIDL));
    }
    return nullptr;
}

void TCustomShellExplorerTree::SetRootFolder(TRootFolder value)
{
    if (value != TRootFolder::rfCustom && value != TRootFolder::rfCustomPIDL) {
        FPendingRootNamespace = RootFolderNamespace(value);
        bool allow = true;
        if (OnRootChanging)
            OnRootChanging(this, value, FPendingRootNamespace.get(), allow);
        if (!allow) {
            FPendingRootNamespace.reset();
            return;
        }
    }
    ApplyRoot(value);
}

void TCustomShellExplorerTree::ApplyRoot(TRootFolder value)
{
    if (!FPendingRootNamespace)
        FPendingRootNamespace = RootFolderNamespace(value);
    StartBatchUpdate();
    RemoveAllNodes();
    FRootFolder = value;
    if (value != TRootFolder::rfCustom)
        FRootFolderCustomPath.clear();
    if (value != TRootFolder::rfCustomPIDL) {
        PIDLFree(FRootFolderCustomPIDL);
        FRootFolderCustomPIDL = nullptr;
    }
    FreeHiddenRootNamespace();
    FRootNamespace = std::move(FPendingRootNamespace);
    FinishBatchUpdate();
    if (FRootNamespace)
        RebuildTree();
    if (OnRootChange)
        OnRootChange(this);
}

void TCustomShellExplorerTree::SetRootFolderCustomPath(const QString& path)
{
    QString withSlash = path;
    if (!withSlash.isEmpty() && !withSlash.endsWith(QLatin1Char('/')))
        withSlash += QLatin1Char('/');
    PItemIDList list = withSlash.isEmpty() ? nullptr : PathToPIDL(withSlash);
    FPendingRootNamespace = std::make_unique<TNamespace>(list);
    bool allow = true;
    if (OnRootChanging)
        OnRootChanging(this, TRootFolder::rfCustom, FPendingRootNamespace.get(), allow);
    if (allow && !withSlash.isEmpty() && QFileInfo(withSlash).isDir()) {
        FRootFolderCustomPath = withSlash;
        ApplyRoot(TRootFolder::rfCustom);
    }
    FPendingRootNamespace.reset();
}

void TCustomShellExplorerTree::SetRootFolderCustomPIDL(PCItemIDList list)
{
    if (!list)
        return;
    FPendingRootNamespace = std::make_unique<TNamespace>(PIDLMgr().CopyPIDL(list));
    bool allow = true;
    if (OnRootChanging)
        OnRootChanging(this, TRootFolder::rfCustomPIDL, FPendingRootNamespace.get(), allow);
    if (allow && list != FRootFolderCustomPIDL) {
        PIDLFree(FRootFolderCustomPIDL);
        FRootFolderCustomPIDL = PIDLMgr().CopyPIDL(list);
        ApplyRoot(TRootFolder::rfCustomPIDL);
    }
    FPendingRootNamespace.reset();
}

void TCustomShellExplorerTree::EndRootRebuildLock()
{
    if (FRootRebuildLock > 0 && --FRootRebuildLock == 0)
        RebuildTree();
}

bool TCustomShellExplorerTree::ValidateRootNamespace()
{
    if (FRootNamespace && FRootNamespace->OkToBrowse())
        return true;
    if (OnInvalidRootNamespace)
        OnInvalidRootNamespace(this);
    return false;
}

void TCustomShellExplorerTree::RebuildTree()
{
    if (FRootRebuildLock > 0 || !ShellNotifyManager().OkToDispatch() || Loading() || !FRootNamespace || !FActive)
        return;
    WaitCursor(true);
    StartBatchUpdate();
    try {
        RemoveAllNodes();
        if (FThreadedImagesOn)
            TIconThreadManager::Instance().ClearPendingItems(this, VM_ICONREADY);
        WithdrawExpandMarks(nullptr);
        FreeHiddenRootNamespace();
        if (Has(toHideRootFolder)) {
            TNodeArea area{};
            area.Namespace = FRootNamespace->CloneNamespace().release();
            SetAreaOf(HiddenRoot(), area);
            EnumerateNodeChildren(HiddenRoot());
        } else {
            SetRootNodeCount(1);
        }
    } catch (...) {
        FinishBatchUpdate();
        WaitCursor(false);
        throw;
    }
    FinishBatchUpdate();
    WaitCursor(false);
    if (PLazyNode first = FirstNodeRaw())
        AssignFocusedNode(first);
    DispatchChangeLink();
    if (OnRootRebuild)
        OnRootRebuild(this);
}

PLazyNode TCustomShellExplorerTree::RootNode()
{
    return Has(toHideRootFolder) ? HiddenRoot() : FirstNodeRaw();
}

// ---- nodes and children

bool TCustomShellExplorerTree::MayHaveChildren(TNamespace* ns, PLazyNode node)
{
    const bool firstLevel = node && node->ParentLink == HiddenRoot();
    if (!(Has(toFoldersExpandable) || (firstLevel && !Has(toHideRootFolder))))
        return false;
    if (!ns->IsFolderItem() || ns->IsRecycleBin())
        return ns->IsFolderItem();
    if (ns->HasSubFolders())
        return true;
    if (FFileObjects.Contains(TFileObject::foFolders)) {
        TFileObjects folders = FFileObjects;
        folders.Exclude(TFileObject::foNonFolders);
        if (ns->HasChildren(FileObjectsToFlags(folders)))
            return true;
    }
    return FFileObjects.Contains(TFileObject::foNonFolders) && ns->HasChildren(EnumFlags());
}

void TCustomShellExplorerTree::FireInitNode(PLazyNode parentNode, PLazyNode node, TShellNodeInitStates& initialStates)
{
    if (!parentNode && RootNodeCount() < 2 && !Has(toHideRootFolder)) {
        TNodeArea area = AreaOf(node);
        delete area.Namespace;
        area.Namespace = FRootNamespace ? FRootNamespace->CloneNamespace().release() : new TNamespace();
        SetAreaOf(node, area);
        initialStates.Include(ivsExpanded);
    }
    if (TNamespace* ns = NodeNamespace(node)) {
        if (ns->IsRemovableItem() && Has(toFoldersExpandable)) {
            if (ns->HasSubFolders())
                initialStates.Include(ivsHasChildren);
        } else if (QueueExpandMark(node, ns)) {
            // Shown until the expand-mark thread finds the folder empty.
            initialStates.Include(ivsHasChildren);
        } else if (MayHaveChildren(ns, node)) {
            initialStates.Include(ivsHasChildren);
        }
    }
    TCustomLazyStringTree::FireInitNode(parentNode, node, initialStates);
    ApplyStoredCheckState(parentNode, node);
}

void TCustomShellExplorerTree::FireInitChildren(PLazyNode node, std::uint32_t& childCount)
{
    if (node->NumChildren == 0)
        childCount = static_cast<std::uint32_t>(EnumerateNodeChildren(node));
    TCustomLazyStringTree::FireInitChildren(node, childCount);
}

int TCustomShellExplorerTree::EnumerateNodeChildren(PLazyNode node)
{
    TNamespace* ns = NodeNamespace(node);
    if (!ns)
        return 0;
    const bool topNode = node == HiddenRoot() || node == FirstNodeRaw();
    if (!(Has(toFoldersExpandable) || topNode) || !ns->OkToBrowse())
        return 0;
    if (node->NumChildren > 0)
        return 0;
    if (FThreadedEnum && node == HiddenRoot()) {
        StartBackgroundEnum();
        return 0;
    }
    WaitCursor(true);
    std::vector<TNamespace*> found;
    try {
        ns->EnumerateFolder(FFileObjects, [&](TNamespace& folder, PItemIDList relative, bool&) {
            auto child = std::make_unique<TNamespace>(relative, &folder);
            if (Has(toForceHideRecycleBin) && child->IsRecycleBin())
                return false;
            bool allow = true;
            if (OnEnumFolder)
                OnEnumFolder(this, child.get(), allow);
            if (!allow)
                return false;
            found.push_back(child.release());
            return true;
        });
    } catch (...) {
        for (TNamespace* item : found)
            delete item;
        WaitCursor(false);
        throw;
    }
    const bool presorted = PresortByName(found);
    StartBatchUpdate();
    if (!found.empty()) {
        // why: one bulk link of all children is far cheaper than appending them one by one.
        SetNodeChildCount(node, static_cast<std::uint32_t>(found.size()));
        std::size_t i = 0;
        for (PLazyNode child = node->ChildHead; child && i < found.size(); child = child->NextLink)
            SetAreaOf(child, TNodeArea{found[i++], nullptr});
    }
    try {
        FireCustomNamespace(node);
    } catch (...) {
        FinishBatchUpdate();
        WaitCursor(false);
        throw;
    }
    if (node->NumChildren > 0 && (!presorted || node->NumChildren != found.size()))
        SortChildren(node, Header().SortColumn(), Header().SortDirection(), false);
    FinishBatchUpdate();
    WaitCursor(false);
    WatchNodeFolder(node);
    return static_cast<int>(node->NumChildren);
}

bool TCustomShellExplorerTree::ColumnSortsByName(TColumnIndex column) const
{
    const bool byName = column < 0 || (FColumnDetails == TColumnDetailType::cdShellColumns
                                           ? column == 0
                                           : ColumnKind(column) == TColumnDetails::cdFileName);
    return byName && !Has(toUserSort);
}

bool TCustomShellExplorerTree::PresortByName(std::vector<TNamespace*>& items)
{
    if (!SortsByName() || items.size() < 2)
        return false;
    // Only file-system entries (the entry kind) are ordered by their names alone, folders first.
    std::vector<TEnumEntry> keyed;
    keyed.reserve(items.size());
    for (TNamespace* item : items) {
        TEnumEntry entry;
        entry.Item = item;
        if (!KeyEnumEntry(entry))
            return false;
        keyed.push_back(std::move(entry));
    }
    std::sort(keyed.begin(), keyed.end(), EnumEntryLess);
    if (Header().SortDirection() == TSortDirection::sdDescending)
        std::reverse(keyed.begin(), keyed.end());
    for (std::size_t i = 0; i < keyed.size(); ++i)
        items[i] = keyed[i].Item;
    return true;
}

void TCustomShellExplorerTree::WatchNodeFolder(PLazyNode node)
{
    TNamespace* ns = NodeNamespace(node);
    if (!FChangeNotifierOn || !ns || !FWatched.insert(node).second)
        return;
    ChangeNotifier().WatchFolder(this, ns->AbsolutePIDL());
}

PLazyNode TCustomShellExplorerTree::AddNamespaceNode(PLazyNode parent, std::unique_ptr<TNamespace> ns, bool hasChildren)
{
    PLazyNode node = AppendChildNode(parent);
    if (!node)
        return nullptr;
    TNamespace* item = ns.release();
    SetAreaOf(node, TNodeArea{item, nullptr});
    if (hasChildren && node->Has(nsReady) && MayHaveChildren(item, node))
        SetNodeHasChildren(node, true);
    FireNamespaceStructureChange(node, item, TNamespaceStructureChange::nscAdd);
    return node;
}

void TCustomShellExplorerTree::FireCustomNamespace(PLazyNode parentNode)
{
    if (Has(toForceShowMyDocuments))
        AddMyDocumentsNode(parentNode);
    if (OnCustomNamespace)
        OnCustomNamespace(this, parentNode);
}

void TCustomShellExplorerTree::AddMyDocumentsNode(PLazyNode node)
{
    TNamespace* folder = NodeNamespace(node);
    if (!folder || !folder->IsDesktop())
        return;
    TPIDLHolder documents(MyDocumentsPIDL());
    if (!documents)
        return;
    for (PLazyNode child = node->ChildHead; child; child = child->NextLink)
        if (TNamespace* ns = NodeNamespace(child); ns && PIDLMgr().EqualPIDL(ns->AbsolutePIDL(), documents.Get()))
            return;
    auto item = std::make_unique<TNamespace>(documents.Release(), nullptr);
    AddNamespaceNode(node == HiddenRoot() ? nullptr : node, std::move(item), true);
}

void TCustomShellExplorerTree::FireNamespaceStructureChange(PLazyNode node, TNamespace* ns,
                                                            TNamespaceStructureChange change)
{
    if (OnNamespaceStructureChange)
        OnNamespaceStructureChange(this, node, ns, change);
}

// ---- sorting, expanding, collapsing

int TCustomShellExplorerTree::FireCompareNodes(PLazyNode node1, PLazyNode node2, TColumnIndex column)
{
    if (Has(toUserSort))
        return TCustomLazyStringTree::FireCompareNodes(node1, node2, column);
    if (FSortKeys)
        return CompareSortKeys(node1, node2);
    TNamespace* ns1 = NodeNamespace(node1);
    TNamespace* ns2 = NodeNamespace(node2);
    if (!ns1 || !ns2)
        return 0;
    TShellSortHelper& helper = SortHelper();
    helper.FileSort = FFileSort;
    if (column < 0)
        return CompareShellColumn(0, ns1, ns2);
    switch (ColumnKind(column)) {
    case TColumnDetails::cdFileName:
        return CompareShellColumn(0, ns1, ns2);
    case TColumnDetails::cdSize:
        return helper.SortFileSize(ns1, ns2);
    case TColumnDetails::cdType:
        return helper.SortType(ns1, ns2);
    case TColumnDetails::cdModified:
        return helper.SortFileTime(ns1->ModifiedTime(), ns2->ModifiedTime(), ns1, ns2);
    case TColumnDetails::cdAccessed:
        return helper.SortFileTime(ns1->AccessedTime(), ns2->AccessedTime(), ns1, ns2);
    case TColumnDetails::cdCreated:
        return helper.SortFileTime(ns1->CreatedTime(), ns2->CreatedTime(), ns1, ns2);
    case TColumnDetails::cdAttributes:
        return helper.SortString(ns1->AttributesText(), ns2->AttributesText(), ns1, ns2);
    case TColumnDetails::cdPath:
        return helper.SortString(ns1->ParsingPathForAddressBar(), ns2->ParsingPathForAddressBar(), ns1, ns2);
    case TColumnDetails::cdDOSName:
        return helper.SortString(ns1->ShortFileName(), ns2->ShortFileName(), ns1, ns2);
    case TColumnDetails::cdCustom:
        if (FColumnDetails == TColumnDetailType::cdShellColumns && column < FShellColumnCount)
            return CompareShellColumn(column, ns1, ns2);
        return TCustomLazyStringTree::FireCompareNodes(node1, node2, column);
    }
    return 0;
}

int TCustomShellExplorerTree::CompareShellColumn(TColumnIndex column, TNamespace* ns1, TNamespace* ns2)
{
    TShellSortHelper& helper = SortHelper();
    // why: the file system's own order knows no folders; a file browser lists them first. Its
    // first four columns are name, size, type and modified.
    if (!ns1->IsFileSystemItem() || !ns2->IsFileSystemItem())
        return helper.CompareIDSort(column, ns1, ns2);
    switch (column) {
    case 1:
        return helper.SortFileSize(ns1, ns2);
    case 2:
        return helper.SortType(ns1, ns2);
    case 3:
        return helper.SortFileTime(ns1->ModifiedTime(), ns2->ModifiedTime(), ns1, ns2);
    default:
        if (const int folders = helper.DiscriminateFolders(ns1, ns2))
            return folders;
        return helper.CompareIDSort(column, ns1, ns2);
    }
}

bool TCustomShellExplorerTree::FireExpanding(PLazyNode node)
{
    const bool mayExpand = Has(toBrowseExecuteFolder) || node == FirstNodeRaw() || FExpandButtonHit;
    return mayExpand && TCustomLazyStringTree::FireExpanding(node);
}

bool TCustomShellExplorerTree::FireCollapsing(PLazyNode node)
{
    const bool allowed = TCustomLazyStringTree::FireCollapsing(node);
    if (allowed) {
        const std::vector<PLazyNode> selected = CollectSelectedNodes(false);
        if (!selected.empty() && IsDescendantOf(selected.front(), node)) {
            AssignFocusedNode(nullptr);
            DeselectAll();
            SetNodeSelected(node, true);
            AssignFocusedNode(node);
        }
    }
    return allowed;
}

void TCustomShellExplorerTree::FireCollapsed(PLazyNode node)
{
    TCustomLazyStringTree::FireCollapsed(node);
    if (!FBrowsing && FThreadedImagesOn)
        WithdrawHiddenIconRequests(node);
    if (!FBrowsing)
        WithdrawExpandMarks(nullptr);
}

void TCustomShellExplorerTree::WithdrawHiddenIconRequests(PLazyNode collapsed)
{
    std::unordered_set<PLazyNode> hidden;
    std::vector<PLazyNode> pending{collapsed};
    while (!pending.empty()) {
        PLazyNode parent = pending.back();
        pending.pop_back();
        for (PLazyNode child = parent->ChildHead; child; child = child->NextLink) {
            hidden.insert(child);
            if (child->ChildHead)
                pending.push_back(child);
        }
    }
    if (hidden.empty())
        return;
    // Answers that arrived already are applied; the rows still shown keep their lookups.
    TIconThreadManager::Instance().ClearPendingItemsOf(
        this, VM_ICONREADY, [&hidden](PLazyNode node) { return hidden.contains(node); },
        [this](TMessage& message) { ApplyIconAnswer(message); });
    // why: a withdrawn row asks again when it is shown again.
    for (PLazyNode node : hidden)
        if (TNamespace* ns = NodeNamespace(node); ns && ns->ThreadIconLoading())
            ns->SetThreadIconLoading(false);
}

void TCustomShellExplorerTree::FireUpdating(TLTUpdateState state)
{
    if (state == TLTUpdateState::usBegin) {
        WaitCursor(true);
        SuppressChangeLinks();
    }
    TCustomLazyStringTree::FireUpdating(state);
    if (state == TLTUpdateState::usEnd) {
        ReleaseChangeLinks();
        WaitCursor(false);
    }
}

void TCustomShellExplorerTree::FireChange(PLazyNode node)
{
    // A right click's selection for the menu is no choice of the user's: nobody follows it.
    if (FContextMenuManager->MenuShown() || FContextMenuManager->RightClickActive())
        return;
    TCustomLazyStringTree::FireChange(node);
    DispatchChangeLink();
}

// ---- lookup and browsing

PLazyNode TCustomShellExplorerTree::FindExistingNodeByPIDL(PCItemIDList list)
{
    if (!list || !FRootNamespace)
        return nullptr;
    PLazyNode node = RootNode();
    TNamespace* rootNs = NodeNamespace(node);
    if (!node || !rootNs)
        return nullptr;
    if (PIDLMgr().IsDesktopFolder(list) && PIDLMgr().IsDesktopFolder(rootNs->AbsolutePIDL()))
        return node;
    if (ILIsEqual(rootNs->AbsolutePIDL(), list))
        return node;
    if (!ILIsParent(rootNs->AbsolutePIDL(), list, false))
        return nullptr;
    const int rootCount = PIDLMgr().IDCount(rootNs->AbsolutePIDL());
    const int count = PIDLMgr().IDCount(list);
    for (int level = rootCount + 1; level <= count && node; ++level) {
        TPIDLHolder cut(PIDLMgr().CopyPIDL(list));
        while (PIDLMgr().IDCount(cut.Get()) > level)
            PIDLMgr().StripLastID(cut.Get());
        PLazyNode match = nullptr;
        for (PLazyNode child = node->ChildHead; child && !match; child = child->NextLink)
            if (TNamespace* ns = NodeNamespace(child); ns && ILIsEqual(ns->AbsolutePIDL(), cut.Get()))
                match = child;
        node = match;
    }
    return node;
}

PLazyNode TCustomShellExplorerTree::LocateNodeByPIDL(PCItemIDList list, bool select, bool expandPath,
                                                     bool reinitializeChildren, bool doExpansion)
{
    if (!list || !FRootNamespace)
        return nullptr;
    PLazyNode node = RootNode();
    if (node && node != HiddenRoot() && !node->Has(nsReady))
        EnsureNodeReady(node, false);
    TNamespace* rootNs = NodeNamespace(node);
    if (!node || !rootNs)
        return nullptr;
    const bool equal = ILIsEqual(rootNs->AbsolutePIDL(), list);
    if (!equal && !ILIsParent(rootNs->AbsolutePIDL(), list, false))
        return nullptr;
    const int rootCount = PIDLMgr().IDCount(rootNs->AbsolutePIDL());
    const int count = PIDLMgr().IDCount(list);
    for (int level = rootCount + 1; level <= count && node; ++level) {
        if (doExpansion) {
            if (reinitializeChildren)
                ReinitializeChildren(node, false);
            else if (expandPath && node != HiddenRoot() && !node->Has(nsOpen))
                SetNodeExpanded(node, true);
        }
        TPIDLHolder cut(PIDLMgr().CopyPIDL(list));
        while (PIDLMgr().IDCount(cut.Get()) > level)
            PIDLMgr().StripLastID(cut.Get());
        PLazyNode match = nullptr;
        PLazyNode child = node == HiddenRoot() ? node->ChildHead : (doExpansion ? FirstChildOf(node) : node->ChildHead);
        for (; child && !match; child = child->NextLink)
            if (TNamespace* ns = NodeNamespace(child); ns && ILIsEqual(ns->AbsolutePIDL(), cut.Get()))
                match = child;
        node = match;
    }
    if (node && select && node != HiddenRoot()) {
        DeselectAll();
        SetNodeSelected(node, true);
        SetNodeAtTop(node);
        AssignFocusedNode(node);
    }
    return node;
}

bool TCustomShellExplorerTree::BrowseAllowed(PCItemIDList)
{
    return true;
}

bool TCustomShellExplorerTree::BrowseTo(PCItemIDList list, bool expandTarget, bool selectTarget, bool takeFocus,
                                        bool collapseAllFirst, bool expandPath)
{
    if (!BrowseAllowed(list))
        return false;
    FBrowsing = true;
    SuppressChangeLinks();
    StartBatchUpdate();
    PLazyNode node = nullptr;
    try {
        node = LocateNodeByPIDL(list, false, expandPath, false, true);
        if (node && collapseAllFirst)
            for (PLazyNode top = FirstNodeRaw(); top; top = top->NextLink)
                CollapseSubtree(top);
        if (node && node != HiddenRoot()) {
            if (expandTarget && !node->Has(nsOpen))
                SetNodeExpanded(node, true);
            if (takeFocus)
                setFocus(Qt::OtherFocusReason);
        }
        if (selectTarget && node && node != HiddenRoot()) {
            DeselectAll();
            AssignFocusedNode(nullptr);
            SetNodeSelected(node, true);
            AssignFocusedNode(node);
        }
    } catch (...) {
        FinishBatchUpdate();
        FBrowsing = false;
        throw;
    }
    FinishBatchUpdate();
    if (node && node != HiddenRoot())
        MakeNodeVisible(node, false, Has(toAutoScrollHorz));
    FBrowsing = false;
    return node != nullptr;
}

bool TCustomShellExplorerTree::BrowseToPath(const QString& path)
{
    TPIDLHolder list(PathToPIDL(path));
    if (!list)
        return false;
    return BrowseTo(list.Get(), Has(toExpandTarget), Has(toSelectTarget), false, Has(toCollapseTargetFirst), true);
}

// ---- refresh

bool TCustomShellExplorerTree::RefreshNode(PLazyNode node)
{
    TNamespace* ns = NodeNamespace(node);
    if (!ShellNotifyManager().OkToDispatch() || !ns)
        return false;
    StartBatchUpdate();
    TVETPersistent state;
    state.SaveSubtree(*this, node, true);
    if (node->NumChildren > 0)
        RemoveChildNodes(node);
    if (FWatched.erase(node) > 0 && FChangeNotifierOn)
        ChangeNotifier().UnwatchFolder(this, ns->AbsolutePIDL());
    ns->InvalidateCache();
    if (node == HiddenRoot())
        EnumerateNodeChildren(node);
    else
        SetNodeHasChildren(node, MayHaveChildren(ns, node));
    state.RestoreExpanded(*this);
    state.RestoreSelection(*this);
    FinishBatchUpdate();
    if (node != HiddenRoot())
        RepaintNode(node);
    return true;
}

bool TCustomShellExplorerTree::RefreshKeepingState(bool restoreUppermost)
{
    if (!ShellNotifyManager().OkToDispatch())
        return false;
    WaitCursor(true);
    FViewState->SaveTree(*this, true, true);
    FViewState->RestoreTree(*this, true, restoreUppermost, true);
    // The rows of a listing on the enumeration thread come later: the state returns with them.
    if (FEnumListing)
        FEnumListing->RestoreState = restoreUppermost ? TEnumListing::TRestore::WithUppermost
                                                      : TEnumListing::TRestore::Shown;
    WaitCursor(false);
    return true;
}

void TCustomShellExplorerTree::InvalidateChildNamespaces(PLazyNode node, bool forgetIcons)
{
    if (!node)
        return;
    StartBatchUpdate();
    for (PLazyNode child = node->ChildHead; child; child = child->NextLink)
        if (TNamespace* ns = NodeNamespace(child)) {
            ns->InvalidateNamespace(forgetIcons);
            RepaintNode(child);
        }
    FinishBatchUpdate();
}

// ---- selection

TNamespaceArray TCustomShellExplorerTree::SelectedNamespaces()
{
    TNamespaceArray result;
    PLazyNode focus = FocusNode();
    std::size_t focusIndex = SIZE_MAX;
    for (PLazyNode node : CollectSelectedNodes(false))
        if (TNamespace* ns = NodeNamespace(node); ns && ns->OkToBrowse()) {
            if (node == focus)
                focusIndex = result.size();
            result.push_back(ns);
        }
    if (focusIndex != SIZE_MAX && focusIndex > 0)
        std::swap(result[0], result[focusIndex]);
    return result;
}

TPIDLArray TCustomShellExplorerTree::SelectedRelativePIDLs()
{
    TPIDLArray result;
    for (PLazyNode node : CollectSelectedNodes(false))
        if (TNamespace* ns = NodeNamespace(node); ns && ns->OkToBrowse())
            result.push_back(ns->RelativePIDL());
    return result;
}

// ---- change links

void TCustomShellExplorerTree::SuppressChangeLinks()
{
    FChangeLinksSuppressed = true;
    ++FSuppressedDispatches;
}

void TCustomShellExplorerTree::ReleaseChangeLinks()
{
    FChangeLinksSuppressed = false;
    if (FSuppressedDispatches > 0) {
        FSuppressedDispatches = 0;
        DispatchChangeLink();
    }
}

void TCustomShellExplorerTree::DispatchChangeLink()
{
    if (FChangeLinksSuppressed || TreeStates().Contains(tsDrawSelecting) || IsDestroying())
        return;
    PLazyNode node = nullptr;
    const std::vector<PLazyNode> selected = CollectSelectedNodes(false);
    if (!selected.empty())
        node = selected.front();
    else if (SelectionCount() == 0)
        node = FocusNode();
    if (TNamespace* ns = NodeNamespace(node))
        VETChangeDispatch().DispatchChange(this, ns->AbsolutePIDL());
}

void TCustomShellExplorerTree::ChangeLinkDispatch(QObject*, PCItemIDList list)
{
    if (FFollowing || !list)
        return;
    FFollowing = true;
    try {
        const std::vector<PLazyNode> selected = CollectSelectedNodes(false);
        TNamespace* current = selected.empty() ? nullptr : NodeNamespace(selected.front());
        if (!current || !ILIsEqual(current->AbsolutePIDL(), list))
            BrowseTo(list, Has(toExpandTarget), Has(toSelectTarget), false, Has(toCollapseTargetFirst), true);
    } catch (...) {
        FFollowing = false;
        throw;
    }
    FFollowing = false;
}

// ---- streams

void TCustomShellExplorerTree::ReadTreeStream(TStream&)
{
    throw EAssertionFailed("LoadFromStream is not supported in VET. Use the ViewManager Property");
}

void TCustomShellExplorerTree::WriteTreeStream(TStream&, PLazyNode)
{
    throw EAssertionFailed("SaveToStream is not supported in VET. Use the ViewManager Property");
}
