// How an explorer tree follows the file system: change events, the merge refresh of a folder,
// and the icons that the icon thread sends back.

#include "ShellBrowsing/Source/explorer/ShellExplorerTree.h"

#include "ShellBrowsing/Source/explorer/IconThread.h"
#include "ShellBrowsing/Source/icons/ShellSysImages.h"
#include "ShellBrowsing/Source/idlist/PIDLManager.h"
#include "ShellBrowsing/Source/namespace/KnownNamespaces.h"
#include "ShellBrowsing/Source/namespace/ShellLocations.h"
#include "ShellBrowsing/Source/notify/ShellChangeNotifier.h"
#include "ShellBrowsing/Source/notify/ShellEvents.h"
#include "ShellBrowsing/Source/threads/BackgroundEnumThread.h"
#include "ShellBrowsing/Source/threads/ExpandMarkThread.h"

#include "TreeView/Source/header/LTHeader.h"

#include "Platform/core/PostedMessage.h"

#include <algorithm>

void TCustomShellExplorerTree::WndProc(TMessage& message)
{
    if (message.Msg == WM_RBUTTONDBLCLK)
        FireTreeDblClick(TMouseButton::mbRight, {LowWordSigned(message.LParam), HighWordSigned(message.LParam)});
    if (HandleMenuAndDragMessage(message))
        return;
    switch (message.Msg) {
    case VM_SHELLEVENTS:
        HandleShellEvents(reinterpret_cast<TShellKitEventList*>(message.WParam));
        return;
    case VM_ICONREADY:
        ApplyIconAnswer(message);
        return;
    case VM_EXPANDMARKREADY:
        ApplyExpandMarkAnswer(message);
        return;
    case VM_ENUMBATCH:
        TakeEnumBatch(message);
        return;
    case VM_RETRYRENAME:
        RetryRename(reinterpret_cast<PLazyNode>(message.WParam));
        return;
    default:
        TCustomLazyStringTree::WndProc(message);
    }
}

// ---- registrations

void TCustomShellExplorerTree::SetChangeNotifierThread(bool on)
{
    if (on == FChangeNotifierOn)
        return;
    if (!on) {
        DrainPostedShellEvents();
        ChangeNotifier().UnRegisterShellChangeNotify(this);
        FWatched.clear();
        FChangeNotifierOn = false;
    } else if (Has(toChangeNotifierThread)) {
        ChangeNotifier().RegisterShellChangeNotify(this);
        FChangeNotifierOn = true;
        // Folders enumerated before are watched from now on.
        std::vector<PLazyNode> pending{HiddenRoot()};
        while (!pending.empty()) {
            PLazyNode node = pending.back();
            pending.pop_back();
            if (node->ChildHead || node == HiddenRoot())
                WatchNodeFolder(node);
            for (PLazyNode child = node->ChildHead; child; child = child->NextLink)
                if (child->ChildHead)
                    pending.push_back(child);
        }
    }
}

void TCustomShellExplorerTree::SetThreadedImages(bool on)
{
    if (on == FThreadedImagesOn)
        return;
    if (on) {
        TIconThreadManager::Instance().RegisterControl(this);
    } else {
        TIconThreadManager::Instance().UnRegisterControl(this);
    }
    FThreadedImagesOn = on;
}

void TCustomShellExplorerTree::DrainPostedShellEvents()
{
    // why: each posted batch holds a reference that only its handler gives back.
    for (TMessage& message : TakePostedMessages(this, VM_SHELLEVENTS))
        if (auto* list = reinterpret_cast<TShellKitEventList*>(message.WParam))
            list->Release();
}

bool TCustomShellExplorerTree::IsReadyForShellEvents()
{
    return !EditorActive() && !DragInProgress() && !ContextMenuShown();
}

void TCustomShellExplorerTree::DeliverShellEvents(TMessage& message)
{
    HandleShellEvents(reinterpret_cast<TShellKitEventList*>(message.WParam));
}

// ---- events

void TCustomShellExplorerTree::HandleShellEvents(TShellKitEventList* list)
{
    if (!list)
        return;
    if (!ValidateRootNamespace()) {
        list->Release();
        return;
    }
    if (!ShellNotifyManager().OkToDispatch()) {
        ShellNotifyManager().QueueEventList(list);
        return;
    }
    std::vector<TShellKitEvent*>& events = list->LockList();
    try {
        for (TShellKitEvent* event : events)
            HandleShellEvent(*event);
    } catch (...) {
        list->UnlockList();
        list->Release();
        throw;
    }
    list->UnlockList();
    list->Release();
}

void TCustomShellExplorerTree::HandleShellEvent(TShellKitEvent& event)
{
    if (OnShellNotify)
        OnShellNotify(this, &event);
    const bool foldersOnly = !FFileObjects.Contains(TFileObject::foNonFolders);
    switch (event.Kind) {
    case TShellKitEventKind::ASSOCCHANGED:
        FlushImageLists();
        RefreshKeepingState(Has(toRestoreTopNodeOnRefresh));
        break;
    case TShellKitEventKind::ATTRIBUTES:
        InvalidateChildNamespaces(FindExistingNodeByPIDL(event.ParentPIDL1), false);
        break;
    case TShellKitEventKind::DRIVEADD:
    case TShellKitEventKind::DRIVEADDGUI:
    case TShellKitEventKind::DRIVEREMOVED:
    case TShellKitEventKind::RENAMEFOLDER:
    case TShellKitEventKind::RENAMEITEM:
        if (PLazyNode node = FindExistingNodeByPIDL(event.ParentPIDL1))
            RefreshNodeChildren(node, foldersOnly);
        break;
    case TShellKitEventKind::NETSHARE:
    case TShellKitEventKind::NETUNSHARE:
    case TShellKitEventKind::SERVERDISCONNECT:
    case TShellKitEventKind::UPDATEITEM:
        if (PLazyNode node = FindExistingNodeByPIDL(event.PIDL1))
            if (TNamespace* ns = NodeNamespace(node)) {
                StartBatchUpdate();
                ns->ReloadPIDL(FFileObjects);
                FinishBatchUpdate();
                RepaintNode(node);
            }
        break;
    case TShellKitEventKind::MEDIAINSERTED:
    case TShellKitEventKind::MEDIAREMOVED:
        if (PLazyNode node = FindExistingNodeByPIDL(event.PIDL1))
            RefreshNode(node);
        break;
    case TShellKitEventKind::UPDATEDIR:
        if (event.PIDL1)
            if (PLazyNode node = FindExistingNodeByPIDL(event.InvalidNamespace ? event.ParentPIDL1 : event.PIDL1))
                RefreshNodeChildren(node, foldersOnly);
        break;
    case TShellKitEventKind::UPDATEIMAGE:
        FlushImageLists();
        viewport()->update();
        break;
    default:
        break;
    }
}

void TCustomShellExplorerTree::DeleteNodeKeepFocus(PLazyNode node)
{
    if (node == FocusNode()) {
        PLazyNode next = node->NextLink ? node->NextLink : node->PrevLink;
        if (!next && node->ParentLink != HiddenRoot())
            next = node->ParentLink;
        AssignFocusedNode(next);
        if (next && GetNodeSelected(node))
            SetNodeSelected(next, true);
    }
    RemoveNode(node);
}

void TCustomShellExplorerTree::RefreshNodeChildren(PLazyNode node, bool sortAfterwards)
{
    TNamespace* ns = NodeNamespace(node);
    if (!ns || (node == HiddenRoot() && DeferRefreshWhileListing()))
        return;
    if (!ns->OkToBrowse()) {
        if (node == HiddenRoot())
            return;
        FireNamespaceStructureChange(node, ns, TNamespaceStructureChange::nscDelete);
        if (SelectionCount() == 1 && GetNodeSelected(node)) {
            PLazyNode neighbour = node->PrevLink ? node->PrevLink : node->NextLink;
            if (!neighbour && node->ParentLink != HiddenRoot())
                neighbour = node->ParentLink;
            if (neighbour) {
                DeselectAll();
                SetNodeSelected(neighbour, true);
                AssignFocusedNode(neighbour);
            }
        }
        DeleteNodeKeepFocus(node);
        return;
    }
    PShellFolder folder = ns->ShellFolder();
    if (!folder)
        return;
    auto order = [&](PCItemIDList a, PCItemIDList b) { return static_cast<std::int16_t>(folder->CompareIDs(0, a, b)); };

    // why: the documents folder that toForceShowMyDocuments added is not the desktop's own item;
    // the listing never names it, and it must not go with every refresh.
    TPIDLHolder addedDocuments(Has(toForceShowMyDocuments) && ns->IsDesktop() ? MyDocumentsPIDL() : nullptr);
    std::vector<std::pair<PLazyNode, TNamespace*>> existing;
    for (PLazyNode child = node->ChildHead; child; child = child->NextLink)
        if (TNamespace* item = NodeNamespace(child))
            if (!addedDocuments || !PIDLMgr().EqualPIDL(item->AbsolutePIDL(), addedDocuments.Get()))
                existing.emplace_back(child, item);
    std::sort(existing.begin(), existing.end(),
              [&](const auto& a, const auto& b) { return order(a.second->RelativePIDL(), b.second->RelativePIDL()) < 0; });

    ns->InvalidateNamespace(true);
    std::vector<TPIDLHolder> found;
    found.reserve(8192);
    if (std::unique_ptr<TEnumIDList> items = folder->EnumObjects(EnumFlags()))
        while (PItemIDList item = items->Next())
            found.emplace_back(item);
    std::sort(found.begin(), found.end(), [&](const auto& a, const auto& b) { return order(a.Get(), b.Get()) < 0; });

    StartBatchUpdate();
    auto add = [&](const TPIDLHolder& item) {
        auto child = std::make_unique<TNamespace>(PIDLMgr().CopyPIDL(item.Get()), ns);
        if (Has(toForceHideRecycleBin) && child->IsRecycleBin())
            return;
        bool allow = true;
        if (OnEnumFolder)
            OnEnumFolder(this, child.get(), allow);
        if (allow)
            AddNamespaceNode(node == HiddenRoot() ? nullptr : node, std::move(child), true);
    };
    auto remove = [&](const std::pair<PLazyNode, TNamespace*>& gone) {
        FireNamespaceStructureChange(gone.first, gone.second, TNamespaceStructureChange::nscDelete);
        DeleteNodeKeepFocus(gone.first);
    };
    std::size_t i = 0, j = 0;
    while (i < existing.size() && j < found.size()) {
        const int cmp = order(existing[i].second->RelativePIDL(), found[j].Get());
        if (cmp == 0) {
            ++i;
            ++j;
        } else if (cmp < 0) {
            remove(existing[i++]);
        } else {
            add(found[j++]);
        }
    }
    for (; i < existing.size(); ++i)
        remove(existing[i]);
    for (; j < found.size(); ++j)
        add(found[j]);
    FireCustomNamespace(node);
    if (sortAfterwards)
        SortChildren(node, Header().SortColumn(), Header().SortDirection(), false);
    if (node != HiddenRoot() && node->NumChildren > 0 && Has(toFoldersExpandable))
        SetNodeHasChildren(node, true);
    FinishBatchUpdate();
}

// ---- icons

TCustomImageList* TCustomShellExplorerTree::FireGetImageIndex(PLazyNode node, TLTImageKind kind, TColumnIndex column,
                                                              bool& ghosted, int& index)
{
    TCustomImageList* result = TCustomLazyStringTree::FireGetImageIndex(node, kind, column, ghosted, index);
    TNamespace* ns = NodeNamespace(node);
    if (result || !ns || column != Header().MainColumn() || !Has(toImages))
        return result;
    if (ns->ThreadIconLoaded() || !FThreadedImagesOn) {
        switch (kind) {
        case TLTImageKind::ikNormal:
        case TLTImageKind::ikSelected: {
            ghosted = ns->IsHiddenItem() && !Has(toDisableGhostedFolders);
            const bool open = node->Has(nsOpen) || (kind == TLTImageKind::ikSelected && Has(toShowOpenIconOnSelect));
            index = ns->IconIndexFor(open, Has(toLargeImages) ? 1 : 0);
            break;
        }
        case TLTImageKind::ikOverlay:
            // The folders offer no overlays of their own: links get the link emblem.
            if (ns->IsShellLinkItem())
                index = ns->OverlayIndex() >= 0 ? ns->OverlayIndex() : DefaultSystemImageIndex(3);
            break;
        case TLTImageKind::ikState:
            break;
        }
        return result;
    }
    if (kind == TLTImageKind::ikState || kind == TLTImageKind::ikOverlay) {
        index = -1;
        return result;
    }
    if (!ns->ThreadIconLoading()) {
        ns->SetThreadIconLoading(true);
        TIconThreadManager::Instance().AddNewItem(this, VM_ICONREADY, ns->AbsolutePIDL(), Has(toLargeImages), node);
    }
    ghosted = ns->IsHiddenItem() && !Has(toDisableGhostedFolders);
    index = ns->IsFolderItem() && ns->IsFileSystemItem() ? FFolderImageIndex : FUnknownFileImageIndex;
    return result;
}

void TCustomShellExplorerTree::ApplyIconAnswer(TMessage& message)
{
    std::unique_ptr<TImageThreadRequest> request(reinterpret_cast<TImageThreadRequest*>(message.WParam));
    if (!request)
        return;
    if (TNamespace* ns = NodeNamespace(request->Node)) {
        ns->SetIconIndexFromThread(request->ImageIndex, true);
        if (SmallSysImages())
            SmallSysImages()->Sync();
        RepaintNode(request->Node);
    }
}
