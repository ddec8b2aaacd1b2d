// Listing the tree's top folder on the enumeration thread: starting and stopping the thread,
// and merging the batches it posts into the rows while the window stays responsive.

#include "ShellBrowsing/Source/explorer/ExplorerEnumeration.h"

#include "ShellBrowsing/Source/explorer/ExplorerViewState.h"
#include "ShellBrowsing/Source/explorer/IconThread.h"
#include "ShellBrowsing/Source/explorer/ShellExplorerTree.h"

#include "TreeView/Source/header/LTHeader.h"

#include "Platform/core/PostedMessage.h"

#include <algorithm>
#include <atomic>

namespace {

std::uint64_t NextTicket()
{
    static std::atomic<std::uint64_t> ticket{0};
    return ++ticket;
}

// About a second of 50 ms ticks before a listing counts as lengthy.
constexpr int LengthyTicks = 20;

} // namespace

bool TCustomShellExplorerTree::Enumerating() const
{
    return FEnumListing != nullptr;
}

TShellBackGndEnumThread* TCustomShellExplorerTree::EnumThread() const
{
    return FEnumListing ? FEnumListing->Thread.get() : nullptr;
}

void TCustomShellExplorerTree::StopBackgroundEnum()
{
    if (!FEnumListing)
        return;
    std::unique_ptr<TEnumListing> listing = std::move(FEnumListing);
    listing->Ticker.stop();
    listing->Thread->Cancel();
    // why: after Cancel nothing more is posted; what was posted goes with the listing.
    for (TMessage& message : TakePostedMessages(this, VM_ENUMBATCH))
        delete reinterpret_cast<TEnumBatch*>(message.WParam);
    // The rows already made own their items; the entries only point at them.
    listing->Entries.clear();
    setCursor(listing->SavedCursor);
}

QWidget* TCustomShellExplorerTree::EnumAnimation() const
{
    return FEnumListing ? FEnumListing->Animation.get() : nullptr;
}

void TCustomShellExplorerTree::ShowEnumAnimation()
{
    if (!FEnumListing || FEnumListing->Animation)
        return;
    // A bar that runs to and fro: the platform has no animation of its own for a search.
    auto animation = std::make_unique<QProgressBar>(viewport());
    animation->setRange(0, 0);
    animation->setTextVisible(false);
    const int width = std::min(240, std::max(viewport()->width() - 20, 40));
    animation->setGeometry((viewport()->width() - width) / 2, viewport()->height() / 3, width, 18);
    animation->show();
    FEnumListing->Animation = std::move(animation);
}

void TCustomShellExplorerTree::SelectWhenListed(PCItemIDList list)
{
    if (FEnumListing && list)
        FEnumListing->SelectWhenListed.Reset(PIDLMgr().CopyPIDL(list));
}

bool TCustomShellExplorerTree::DeferRefreshWhileListing()
{
    if (!FEnumListing)
        return false;
    FEnumListing->RefreshAfterwards = true;
    return true;
}

void TCustomShellExplorerTree::StartBackgroundEnum()
{
    StopBackgroundEnum();
    TNamespace* folder = NodeNamespace(HiddenRoot());
    if (!folder)
        return;
    auto listing = std::make_unique<TEnumListing>();
    listing->Keyed = SortsByName();
    listing->SortColumn = Header().SortColumn();
    listing->SortDirection = Header().SortDirection();
    listing->Thread = std::make_unique<TShellBackGndEnumThread>(folder->AbsolutePIDL(), this, FFileObjects,
                                                                listing->Keyed, NextTicket());
    listing->Ticker.setInterval(50);
    QObject::connect(&listing->Ticker, &QTimer::timeout, this, [this] {
        if (!FEnumListing || ++FEnumListing->Ticks <= LengthyTicks)
            return;
        bool showAnimation = true;
        if (OnEnumThreadLengthyOperation)
            OnEnumThreadLengthyOperation(this, showAnimation);
        if (showAnimation && FEnumListing)
            ShowEnumAnimation();
    });
    listing->Ticker.start();
    listing->SavedCursor = cursor();
    FEnumListing = std::move(listing);
    setCursor(Qt::BusyCursor);
    FEnumListing->Thread->Start();
}

bool TCustomShellExplorerTree::RowsAreEntries(PLazyNode root, const std::vector<TEnumEntry>& rows) const
{
    // why: a row deleted or added meanwhile (a command, a change on disk) would leave the
    // entries pointing at freed items or at the wrong rows.
    if (root->NumChildren != rows.size())
        return false;
    std::size_t i = 0;
    for (PLazyNode child = root->ChildHead; child; child = child->NextLink, ++i)
        if (AreaOf(child).Namespace != rows[i].Item)
            return false;
    return true;
}

void TCustomShellExplorerTree::AppendEnumRows(PLazyNode root, TEnumListing& listing, std::vector<TEnumEntry>& taken)
{
    if (listing.Keyed && listing.SortDirection == TSortDirection::sdDescending)
        std::reverse(taken.begin(), taken.end());
    if (!listing.Keyed)
        listing.Entries.clear();
    if (taken.empty())
        return;
    const std::uint32_t before = root->NumChildren;
    SetNodeChildCount(root, before + static_cast<std::uint32_t>(taken.size()));
    std::size_t i = 0;
    for (PLazyNode child = root->ChildTail; child && i < taken.size(); child = child->PrevLink, ++i)
        SetAreaOf(child, TNodeArea{taken[taken.size() - 1 - i].Item, nullptr});
    if (listing.Keyed)
        listing.Entries.insert(listing.Entries.end(), std::make_move_iterator(taken.begin()),
                               std::make_move_iterator(taken.end()));
}

void TCustomShellExplorerTree::MergeEnumRows(PLazyNode root, TEnumListing& listing, std::vector<TEnumEntry>& taken)
{
    std::vector<TEnumEntry>& rows = listing.Entries;
    const std::size_t before = rows.size();
    const bool descending = listing.SortDirection == TSortDirection::sdDescending;
    if (descending)
        std::reverse(taken.begin(), taken.end());
    rows.insert(rows.end(), std::make_move_iterator(taken.begin()), std::make_move_iterator(taken.end()));
    std::inplace_merge(rows.begin(), rows.begin() + static_cast<std::ptrdiff_t>(before), rows.end(),
                       [descending](const TEnumEntry& a, const TEnumEntry& b) {
                           return descending ? EnumEntryLess(b, a) : EnumEntryLess(a, b);
                       });
    // why: rows change items below; answers for a row's former item must not reach the new one.
    if (ThreadedImagesOn())
        TIconThreadManager::Instance().ClearPendingItems(this, VM_ICONREADY);
    for (TEnumEntry& row : rows)
        if (row.Item->ThreadIconLoading())
            row.Item->SetThreadIconLoading(false);
    // why: the user may have picked rows meanwhile; the choice stays with the items, not the places.
    std::vector<TNamespace*> selected;
    for (PLazyNode node : CollectSelectedNodes(false))
        selected.push_back(NodeNamespace(node));
    TNamespace* focused = NodeNamespace(FocusNode());
    SetNodeChildCount(root, static_cast<std::uint32_t>(rows.size()));
    std::vector<PLazyNode> reselect;
    PLazyNode refocus = nullptr;
    std::size_t i = 0;
    for (PLazyNode child = root->ChildHead; child && i < rows.size(); child = child->NextLink, ++i) {
        TNamespace* item = rows[i].Item;
        if (!selected.empty() && std::find(selected.begin(), selected.end(), item) != selected.end())
            reselect.push_back(child);
        if (item == focused)
            refocus = child;
        TNodeArea area = AreaOf(child);
        if (area.Namespace == item)
            continue;
        area.Namespace = item;
        SetAreaOf(child, area);
        if (child->Has(nsReady))
            RepaintNode(child);
    }
    if (!selected.empty() || focused) {
        DeselectAll();
        for (PLazyNode node : reselect)
            SetNodeSelected(node, true);
        AssignFocusedNode(refocus);
    }
}

void TCustomShellExplorerTree::TakeEnumBatch(TMessage& message)
{
    std::unique_ptr<TEnumBatch> batch(reinterpret_cast<TEnumBatch*>(message.WParam));
    if (!batch || !FEnumListing || batch->Ticket != FEnumListing->Thread->Ticket())
        return;
    if (!Active()) {
        StopBackgroundEnum();
        return;
    }
    TEnumListing* listing = FEnumListing.get();
    listing->Ticker.stop();
    listing->Animation.reset();
    PLazyNode root = HiddenRoot();
    TNamespace* folder = NodeNamespace(root);
    // A header click meanwhile sorted the rows another way: they are sorted again at the end.
    if (!batch->Keyed || listing->SortColumn != Header().SortColumn() ||
        listing->SortDirection != Header().SortDirection())
        listing->Keyed = false;

    std::vector<TEnumEntry> taken;
    taken.reserve(batch->Entries.size());
    for (TEnumEntry& entry : batch->Entries) {
        std::unique_ptr<TNamespace> item(std::exchange(entry.Item, nullptr));
        item->SetParentOfSameFolder(folder);
        if (Has(toForceHideRecycleBin) && item->IsRecycleBin())
            continue;
        bool allow = true;
        if (OnEnumFolder)
            OnEnumFolder(this, item.get(), allow);
        if (!allow)
            continue;
        taken.push_back(std::move(entry));
        taken.back().Item = item.release();
    }
    if (FEnumListing.get() != listing) {
        // A handler browsed elsewhere.
        for (TEnumEntry& entry : taken)
            delete entry.Item;
        return;
    }

    StartBatchUpdate();
    std::vector<TEnumEntry>& rows = listing->Entries;
    if (listing->Keyed && !RowsAreEntries(root, rows))
        listing->Keyed = false;
    if (listing->Keyed && !rows.empty() && !taken.empty())
        MergeEnumRows(root, *listing, taken);
    else
        AppendEnumRows(root, *listing, taken);
    const bool last = batch->Last;
    const bool refreshAfterwards = listing->RefreshAfterwards;
    TPIDLHolder selectTarget;
    const TEnumListing::TRestore restoreState = listing->RestoreState;
    if (last) {
        selectTarget.Reset(listing->SelectWhenListed.Release());
        if (!listing->Keyed && root->NumChildren > 1)
            SortChildren(root, Header().SortColumn(), Header().SortDirection(), false);
        // The thread has posted its last batch and is ending.
        setCursor(listing->SavedCursor);
        FEnumListing.reset();
    }
    FinishBatchUpdate();
    if (!FocusNode())
        if (PLazyNode first = FirstNodeRaw())
            AssignFocusedNode(first);
    if (!last)
        return;
    if (batch->Failed || !folder || !folder->OkToBrowse()) {
        // The folder went while it was read: no rows stand for items that are gone.
        RemoveChildNodes(root);
        ValidateRootNamespace();
    } else {
        WatchNodeFolder(root);
        const std::uint32_t listed = root->NumChildren;
        FireCustomNamespace(root);
        if (root->NumChildren != listed && root->NumChildren > 1)
            SortChildren(root, Header().SortColumn(), Header().SortDirection(), false);
        if (refreshAfterwards)
            RefreshNodeChildren(root, true);
        if (PLazyNode target = selectTarget ? FindExistingNodeByPIDL(selectTarget.Get()) : nullptr) {
            DeselectAll();
            SetNodeSelected(target, true);
            AssignFocusedNode(target);
            MakeNodeVisible(target);
        }
        if (restoreState != TEnumListing::TRestore::None)
            FViewState->RestoreShown(*this, true, restoreState == TEnumListing::TRestore::WithUppermost, true);
    }
    if (OnEnumFinished)
        OnEnumFinished(this);
}
