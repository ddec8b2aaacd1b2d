#pragma once
// The undo list of the compare text view: at most 100 steps; a new step drops every step that
// could have been redone, and beyond the limit the oldest step makes room for the newest.

#include <cstdint>
#include <string>
#include <vector>

enum TUndoKind : std::uint8_t { ukCharTyped = 0, ukCharDeleted = 1, ukBlockDeleted = 2, ukBlockInserted = 3 };

// One change: at Offset, OldText was removed and NewText put in its place (line breaks as CR LF).
// The selection is given by its anchor and caret offsets.
struct TUndoItem {
    TUndoKind Kind = ukCharTyped;
    std::int32_t Offset = 0;
    std::string OldText;
    std::string NewText;
    std::int32_t AnchorBefore = 0;
    std::int32_t CaretBefore = 0;
    std::int32_t AnchorAfter = 0;
    std::int32_t CaretAfter = 0;
    // An inserted block that replaced (or moved) the deleted block of the step before it; both
    // are undone and redone together.
    bool Replaces = false;
};

class TUndo {
public:
    static constexpr int Limit = 100;

    void Add(TUndoItem item);
    void Clear();
    int Count() const { return static_cast<int>(FItems.size()); }
    // The index of the next step to redo.
    int Position() const { return FPosition; }
    bool CanUndo() const { return !FItems.empty() && FPosition > 0; }
    bool CanRedo() const { return !FItems.empty() && FPosition < Count(); }

    // The step an undo takes back (moving the position before it), or null.
    const TUndoItem* TakeUndo();
    // The step a redo applies again (moving the position past it), or null.
    const TUndoItem* TakeRedo();
    // The step an undo would take next, or null.
    const TUndoItem* PeekUndo() const { return CanUndo() ? &FItems[static_cast<size_t>(FPosition - 1)] : nullptr; }
    const TUndoItem* PeekRedo() const { return CanRedo() ? &FItems[static_cast<size_t>(FPosition)] : nullptr; }

    // Set while an undo or redo runs: its changes record no steps.
    bool Running = false;

private:
    std::vector<TUndoItem> FItems;
    int FPosition = 0;
};
