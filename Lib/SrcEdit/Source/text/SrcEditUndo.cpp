// The undo and redo lists of the editor and the grouping of one undo or redo step.

#include "SrcEdit/Source/text/SrcEditUndo.h"

#include <algorithm>

// ---- TSrcEditUndoItem

void TSrcEditUndoItem::Assign(const TPersistent& source)
{
    if (const auto* item = dynamic_cast<const TSrcEditUndoItem*>(&source)) {
        Reason = item->Reason;
        SelectionMode = item->SelectionMode;
        StartPos = item->StartPos;
        EndPos = item->EndPos;
        Text = item->Text;
        ChangeNumber = item->ChangeNumber;
        return;
    }
    TPersistent::Assign(source);
}

// ---- TSrcEditUndoList

namespace {

std::unique_ptr<TSrcEditUndoItem> NewUndoItem(TSrcUndoReason reason, TBufferCoord startPos, TBufferCoord endPos,
                                              const std::string& text, TSrcSelectionMode selectionMode)
{
    auto item = std::make_unique<TSrcEditUndoItem>();
    item->Reason = reason;
    item->SelectionMode = selectionMode;
    item->StartPos = startPos;
    item->EndPos = endPos;
    item->Text = text;
    return item;
}

} // namespace

TSrcEditUndoList::~TSrcEditUndoList() = default;

void TSrcEditUndoList::AdvanceChangeNumber()
{
    // invariant: 0 is never a change number, so a block number of 0 always means "no block".
    FNextChangeNumber = static_cast<std::int32_t>(static_cast<std::uint32_t>(FNextChangeNumber) + 1u);
    if (FNextChangeNumber == 0)
        FNextChangeNumber = 1;
}

void TSrcEditUndoList::RecordChange(TSrcUndoReason reason, TBufferCoord startPos, TBufferCoord endPos,
                                    const std::string& text, TSrcSelectionMode selectionMode)
{
    if (FLockCount > 0)
        return;
    auto item = NewUndoItem(reason, startPos, endPos, text, selectionMode);
    if (FBlockChangeNumber != 0) {
        item->ChangeNumber = FBlockChangeNumber;
    } else {
        item->ChangeNumber = FNextChangeNumber;
        if (FBlockCount == 0)
            AdvanceChangeNumber();
    }
    PushItem(std::move(item));
}

void TSrcEditUndoList::RecordLeadingChange(TSrcUndoReason reason, TBufferCoord startPos, TBufferCoord endPos,
                                           const std::string& text, TSrcSelectionMode selectionMode)
{
    if (FLockCount > 0)
        return;
    auto item = NewUndoItem(reason, startPos, endPos, text, selectionMode);
    item->ChangeNumber = FBlockChangeNumber != 0 ? FBlockChangeNumber : FNextChangeNumber;
    PushItem(std::move(item));
}

void TSrcEditUndoList::OpenBlock()
{
    // why: a block opened while an undo or redo step gives this list its number (a line break
    // redone as a command) belongs to that step; a number of its own would split the step, so
    // that one Ctrl+Z would take back only part of what one redo did.
    if (FBlockCount++ == 0)
        FStepChangeNumber = FBlockChangeNumber;
    FBlockChangeNumber = FStepChangeNumber != 0 ? FStepChangeNumber : FNextChangeNumber;
}

void TSrcEditUndoList::CloseBlock()
{
    if (FBlockCount == 0)
        return;
    if (--FBlockCount > 0)
        return;
    const std::int32_t closed = FBlockChangeNumber;
    FBlockChangeNumber = FStepChangeNumber;
    FStepChangeNumber = 0;
    AdvanceChangeNumber();
    if (!FItems.empty() && FItems.back()->ChangeNumber == closed && OnItemAdded)
        OnItemAdded(this);
}

void TSrcEditUndoList::PushItem(std::unique_ptr<TSrcEditUndoItem> item)
{
    if (!item)
        return;
    const TSrcUndoReason reason = item->Reason;
    // invariant: from here the list owns the item, also when a handler below raises.
    FItems.push_back(std::move(item));
    TrimToLimit();
    if (reason != TSrcUndoReason::urGroupBreak && OnItemAdded)
        OnItemAdded(this);
}

std::unique_ptr<TSrcEditUndoItem> TSrcEditUndoList::PopItem()
{
    if (FItems.empty())
        return nullptr;
    std::unique_ptr<TSrcEditUndoItem> item = std::move(FItems.back());
    FItems.pop_back();
    return item;
}

TSrcEditUndoItem* TSrcEditUndoList::PeekItem() const
{
    return FItems.empty() ? nullptr : FItems.back().get();
}

TSrcUndoReason TSrcEditUndoList::LastReason() const
{
    return FItems.empty() ? TSrcUndoReason::urNothing : FItems.back()->Reason;
}

void TSrcEditUndoList::AddGroupBreak()
{
    if (LastReason() != TSrcUndoReason::urGroupBreak)
        RecordChange(TSrcUndoReason::urGroupBreak, {}, {}, {}, TSrcSelectionMode::smNormal);
}

void TSrcEditUndoList::Clear()
{
    FItems.clear();
    FHistoryTruncated = false;
}

void TSrcEditUndoList::SetMaxEntries(int value)
{
    value = std::max(value, 0);
    if (value == FMaxEntries)
        return;
    FMaxEntries = value;
    TrimToLimit();
}

void TSrcEditUndoList::TrimToLimit()
{
    if (static_cast<int>(FItems.size()) <= FMaxEntries)
        return;
    FHistoryTruncated = true;
    FItems.erase(FItems.begin(), FItems.end() - FMaxEntries);
}

void TSrcEditUndoList::Unlock()
{
    if (FLockCount > 0)
        --FLockCount;
}

void TSrcEditUndoList::SetSavedStateMark(bool saved)
{
    if (saved)
        FSavedStateMark = FItems.empty() ? 0 : FItems.back()->ChangeNumber;
    else if (IsAtSavedState())
        FSavedStateMark = -1;
}

bool TSrcEditUndoList::IsAtSavedState() const
{
    return FItems.empty() ? FSavedStateMark == 0 : FItems.back()->ChangeNumber == FSavedStateMark;
}

void TSrcEditUndoList::Assign(const TPersistent& source)
{
    const auto* list = dynamic_cast<const TSrcEditUndoList*>(&source);
    if (!list) {
        TPersistent::Assign(source);
        return;
    }
    if (list == this)
        return;
    std::vector<std::unique_ptr<TSrcEditUndoItem>> items;
    items.reserve(list->FItems.size());
    for (const auto& item : list->FItems) {
        auto copy = std::make_unique<TSrcEditUndoItem>();
        copy->Assign(*item);
        items.push_back(std::move(copy));
    }
    FItems = std::move(items);
    FBlockChangeNumber = list->FBlockChangeNumber;
    FBlockCount = list->FBlockCount;
    FStepChangeNumber = list->FStepChangeNumber;
    FHistoryTruncated = list->FHistoryTruncated;
    FLockCount = list->FLockCount;
    FMaxEntries = list->FMaxEntries;
    FNextChangeNumber = list->FNextChangeNumber;
}

// ---- One undo or redo step

namespace {

// Gives a list a block number for the length of a step and restores the old one afterwards.
class TBlockNumberScope {
public:
    TBlockNumberScope(TSrcEditUndoList& list, std::int32_t number) : FList(list), FSaved(list.BlockChangeNumber())
    {
        FList.SetBlockChangeNumber(number);
    }
    ~TBlockNumberScope() { FList.SetBlockChangeNumber(FSaved); }
    TBlockNumberScope(const TBlockNumberScope&) = delete;
    TBlockNumberScope& operator=(const TBlockNumberScope&) = delete;

private:
    TSrcEditUndoList& FList;
    std::int32_t FSaved;
};

// Moves the group break on top of `from` to `to`, keeping its change number.
void MoveGroupBreak(TSrcEditUndoList& from, TSrcEditUndoList& to)
{
    const std::unique_ptr<TSrcEditUndoItem> item = from.PopItem();
    const TBlockNumberScope scope(to, item->ChangeNumber);
    to.AddGroupBreak();
}

bool IsIndentReason(TSrcUndoReason reason)
{
    return reason == TSrcUndoReason::urIndent || reason == TSrcUndoReason::urUnindent;
}

// Pops and handles the items of one step; true when it ended on a marker pair.
bool TransferStep(TSrcEditUndoList& from, TSrcEditUndoList& to, bool groupUndo, const TSrcUndoItemHandler& handle)
{
    const TSrcUndoReason first = from.LastReason();
    const std::int32_t number = from.PeekItem()->ChangeNumber;
    const TBlockNumberScope scope(to, number);
    TSrcUndoReason handled = first;
    std::int32_t handledNumber = number;
    auto takeOne = [&] {
        const std::unique_ptr<TSrcEditUndoItem> item = from.PopItem();
        handled = item->Reason;
        handledNumber = item->ChangeNumber;
        handle(*item);
    };
    const bool bracketed = IsUndoEndMarker(first);
    const TSrcUndoReason beginMarker = bracketed ? MatchingBeginMarker(first) : TSrcUndoReason::urNothing;
    for (;;) {
        takeOne();
        const TSrcEditUndoItem* next = from.PeekItem();
        // why: a group break ends a step even when it carries the step's number (one recorded
        // inside the edit's own undo block); taken in, redo would lose it and join two steps.
        if (!next || (!bracketed && next->Reason == TSrcUndoReason::urGroupBreak))
            break;
        const bool sameStep = bracketed ? next->Reason != beginMarker
                                        : next->ChangeNumber == number ||
                                              // why: an edit grouped in takes all of its own items
                                              // with it, also those of another kind.
                                              next->ChangeNumber == handledNumber ||
                                              (groupUndo && next->Reason == handled && !IsIndentReason(handled));
        if (!sameStep)
            break;
    }
    if (bracketed && from.LastReason() == beginMarker) {
        takeOne();
        return true;
    }
    return false;
}

} // namespace

bool UndoStep(TSrcEditUndoList& undoList, TSrcEditUndoList& redoList, bool groupUndo, const TSrcUndoItemHandler& revert)
{
    if (undoList.LastReason() == TSrcUndoReason::urGroupBreak)
        MoveGroupBreak(undoList, redoList);
    if (!undoList.HasItems())
        return false;
    return TransferStep(undoList, redoList, groupUndo, revert);
}

bool RedoStep(TSrcEditUndoList& redoList, TSrcEditUndoList& undoList, bool groupUndo, const TSrcUndoItemHandler& replay)
{
    if (!redoList.HasItems())
        return false;
    bool syncModified = TransferStep(redoList, undoList, groupUndo, replay);
    if (redoList.LastReason() == TSrcUndoReason::urGroupBreak) {
        MoveGroupBreak(redoList, undoList);
        syncModified = true;
    }
    return syncModified;
}
