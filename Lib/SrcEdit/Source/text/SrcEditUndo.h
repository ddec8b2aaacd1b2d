#pragma once
// The undo and redo lists of the editor: recorded changes with change numbers, blocks, group
// breaks, a size limit and the saved-state mark, and the rule by which one undo or redo step
// takes several items.

#include "SrcEdit/Source/text/SrcEditTypes.h"

#include "Platform/core/Component.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

enum class TSrcUndoReason : std::uint8_t {
    urInsert,
    urPaste,
    urDragDropInsert,
    urDeleteAfterCursor,
    urDelete,
    urLineBreak,
    urIndent,
    urUnindent,
    urSilentDelete,
    urSilentDeleteAfterCursor,
    urMarkerBegin1,
    urMarkerEnd1,
    urMarkerBegin2,
    urMarkerEnd2,
    urMarkerBegin3,
    urMarkerEnd3,
    urMarkerBegin4,
    urMarkerEnd4,
    urCaret,
    urSelection,
    urNothing,
    urGroupBreak,
    urDeleteAll,
    urFillBlanks,
};

constexpr bool IsUndoEndMarker(TSrcUndoReason reason)
{
    return reason == TSrcUndoReason::urMarkerEnd1 || reason == TSrcUndoReason::urMarkerEnd2 ||
           reason == TSrcUndoReason::urMarkerEnd3 || reason == TSrcUndoReason::urMarkerEnd4;
}

// The begin marker that an end marker closes.
constexpr TSrcUndoReason MatchingBeginMarker(TSrcUndoReason endMarker)
{
    return static_cast<TSrcUndoReason>(static_cast<int>(endMarker) - 1);
}

class TSrcEditUndoItem : public TPersistent {
public:
    TSrcUndoReason Reason = TSrcUndoReason::urNothing;
    TSrcSelectionMode SelectionMode = TSrcSelectionMode::smNormal;
    TBufferCoord StartPos;
    TBufferCoord EndPos;
    // What the change removed or overwrote; undo puts it back.
    std::string Text;
    // Items with one number are undone and redone as one step.
    std::int32_t ChangeNumber = 0;

    void Assign(const TPersistent& source) override;
};

class TSrcEditUndoList : public TPersistent {
public:
    TSrcEditUndoList() = default;
    ~TSrcEditUndoList() override;

    void RecordChange(TSrcUndoReason reason, TBufferCoord startPos, TBufferCoord endPos, const std::string& text,
                      TSrcSelectionMode selectionMode);
    // As RecordChange, for a change made on the way to an edit that is recorded after it: outside
    // a block the next item recorded gets the same number, so that both undo in one step.
    void RecordLeadingChange(TSrcUndoReason reason, TBufferCoord startPos, TBufferCoord endPos,
                             const std::string& text, TSrcSelectionMode selectionMode);
    void OpenBlock();
    void CloseBlock();
    void PushItem(std::unique_ptr<TSrcEditUndoItem> item);
    // The newest item, handed to the caller; nullptr when empty.
    std::unique_ptr<TSrcEditUndoItem> PopItem();
    TSrcEditUndoItem* PeekItem() const;
    TSrcUndoReason LastReason() const;
    void AddGroupBreak();
    void Clear();

    int ItemCount() const { return static_cast<int>(FItems.size()); }
    bool HasItems() const { return !FItems.empty(); }
    bool HistoryTruncated() const { return FHistoryTruncated; }

    int MaxEntries() const { return FMaxEntries; }
    void SetMaxEntries(int value);

    void Lock() { ++FLockCount; }
    void Unlock();
    int LockCount() const { return FLockCount; }

    // The change number that items get while a block is open; 0 when none is. The editor sets
    // it for the length of one undo or redo step, so the items of the step stay together.
    std::int32_t BlockChangeNumber() const { return FBlockChangeNumber; }
    void SetBlockChangeNumber(std::int32_t value) { FBlockChangeNumber = value; }
    int BlockCount() const { return FBlockCount; }
    std::int32_t NextChangeNumber() const { return FNextChangeNumber; }

    void SetSavedStateMark(bool saved);
    bool IsAtSavedState() const;

    void Assign(const TPersistent& source) override;

    TNotifyEvent OnItemAdded;

private:
    void AdvanceChangeNumber();
    void TrimToLimit();

    std::int32_t FBlockChangeNumber = 0;
    int FBlockCount = 0;
    // The number a step had given the list when the outermost block opened; 0 outside steps.
    std::int32_t FStepChangeNumber = 0;
    bool FHistoryTruncated = false;
    std::vector<std::unique_ptr<TSrcEditUndoItem>> FItems; // oldest first
    int FLockCount = 0;
    int FMaxEntries = 1024;
    std::int32_t FNextChangeNumber = 1;
    std::int32_t FSavedStateMark = 0;
};

// Reverts (for undo) or replays (for redo) one popped item; it records the inverse item on the
// other list itself.
using TSrcUndoItemHandler = std::function<void(const TSrcEditUndoItem& item)>;

// One undo step: moves a leading group break to the redo list, then pops and reverts items
// while they belong to the same step. Returns true when the step ended on a marker pair, after
// which the modified flag must be synchronised with the undo list.
bool UndoStep(TSrcEditUndoList& undoList, TSrcEditUndoList& redoList, bool groupUndo,
              const TSrcUndoItemHandler& revert);
// One redo step: the same with the lists exchanged; a group break left on top of the redo list
// afterwards moves back to the undo list. Returns true when the modified flag must be
// synchronised.
bool RedoStep(TSrcEditUndoList& redoList, TSrcEditUndoList& undoList, bool groupUndo,
              const TSrcUndoItemHandler& replay);
