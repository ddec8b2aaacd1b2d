// Undo and redo in the editor: how each recorded item is reverted and replayed, and how the two
// lists drive the modified flag and OnChange.

#include "SrcEdit/Source/view/SrcEdit.h"

#include "SrcEdit/Source/view/SrcEditScopes.h"

#include <algorithm>

namespace {

bool IsInsertion(TSrcUndoReason reason)
{
    return reason == TSrcUndoReason::urInsert || reason == TSrcUndoReason::urPaste ||
           reason == TSrcUndoReason::urDragDropInsert;
}

bool IsDeletion(TSrcUndoReason reason)
{
    return reason == TSrcUndoReason::urDelete || reason == TSrcUndoReason::urDeleteAfterCursor ||
           reason == TSrcUndoReason::urSilentDelete || reason == TSrcUndoReason::urSilentDeleteAfterCursor ||
           reason == TSrcUndoReason::urDeleteAll;
}

} // namespace

void TCustomSrcEdit::UndoLastChange()
{
    if (ReadOnly() || !FUndoList->HasItems())
        return;
    WithPaintLock([&] {
        const bool sync = UndoStep(*FUndoList, *FRedoList, FOptions.Contains(eoGroupUndo),
                                   [this](const TSrcEditUndoItem& item) { RevertUndoItem(item); });
        if (sync)
            SyncModifiedFlag();
    });
}

void TCustomSrcEdit::RedoLastChange()
{
    if (ReadOnly() || !FRedoList->HasItems())
        return;
    WithPaintLock([&] {
        const bool sync = RedoStep(*FRedoList, *FUndoList, FOptions.Contains(eoGroupUndo),
                                   [this](const TSrcEditUndoItem& item) { ReplayRedoItem(item); });
        if (sync)
            SyncModifiedFlag();
    });
}

bool TCustomSrcEdit::UndoAvailable() const
{
    return !ReadOnly() && FUndoList->HasItems();
}

bool TCustomSrcEdit::RedoAvailable() const
{
    return !ReadOnly() && FRedoList->HasItems();
}

void TCustomSrcEdit::ClearUndoHistory()
{
    FUndoList->Clear();
    FRedoList->Clear();
}

void TCustomSrcEdit::SuspendUndoRecording()
{
    FUndoList->Lock();
    FRedoList->Lock();
}

void TCustomSrcEdit::ResumeUndoRecording()
{
    FUndoList->Unlock();
    FRedoList->Unlock();
}

void TCustomSrcEdit::SyncModifiedFlag()
{
    SetContentModified(!FUndoList->IsAtSavedState());
}

void TCustomSrcEdit::HandleUndoItemAdded(TObject* list)
{
    SyncModifiedFlag();
    if (list == FUndoList.get() && !State(sfInsideRedo) && FUndoList->LastReason() != TSrcUndoReason::urGroupBreak)
        FRedoList->Clear(); // a new change invalidates the redo history
    const auto* undoList = static_cast<const TSrcEditUndoList*>(list);
    if (undoList->BlockCount() == 0)
        FireChange();
}

// Undo and redo alike: the current caret or selection goes on `inverse`, the item's takes its place.
void TCustomSrcEdit::ExchangeCaretOrSelection(const TSrcEditUndoItem& item, TSrcEditUndoList& inverse)
{
    if (item.Reason == TSrcUndoReason::urCaret) {
        inverse.RecordChange(item.Reason, FCaret, FCaret, {}, FActiveSelectionMode);
        MoveCaret(item.StartPos);
        return;
    }
    inverse.RecordChange(item.Reason, GetSelectionStart(), GetSelectionEnd(), {}, FActiveSelectionMode);
    InvalidateSelectionRows();
    FBlockBegin = item.StartPos;
    FBlockEnd = item.EndPos;
    InvalidateSelectionRows();
}

// ---- undo

void TCustomSrcEdit::RevertUndoItem(const TSrcEditUndoItem& item)
{
    const TSrcSelectionMode mode = item.SelectionMode;
    const TBufferCoord start = item.StartPos;
    const TBufferCoord end = item.EndPos;
    WithPaintLock([&] {
        FActiveSelectionMode = mode;
        // why: undo puts back what was there, blanks included; trimming between the items of
        // one step would take away blanks that an older item (the blanks that reached a caret
        // beyond a line end) has yet to account for.
        WithoutTrailingTrim([&] { WithPastEolMode([&] {
            const TSrcUndoReason reason = item.Reason;
            if (IsInsertion(reason) || reason == TSrcUndoReason::urFillBlanks) {
                SelectRange(start, end, start);
                FRedoList->RecordChange(reason, start, end, SelectedTextForUndo(), mode);
                InsertBlockText(mode, item.Text, false);
                // why: an insertion that overwrote text (overwrite mode) must take that text away
                // again when it is redone; the redo list gets a deletion of it, replayed first.
                if (IsInsertion(reason) && !item.Text.empty() &&
                    (mode != TSrcSelectionMode::smColumn || start.LineNumber == end.LineNumber) &&
                    item.Text.find_first_of("\r\n") == std::string::npos)
                    FRedoList->RecordChange(
                        TSrcUndoReason::urSilentDeleteAfterCursor, start,
                        MakeBufferCoord(start.CharIndex + static_cast<int>(item.Text.size()), start.LineNumber), {},
                        TSrcSelectionMode::smNormal);
                MoveCaret(start);
                return;
            }
            if (IsDeletion(reason)) {
                TBufferCoord p = EarlierCoord(start, end);
                if (mode == TSrcSelectionMode::smColumn)
                    p = MakeBufferCoord(std::min(start.CharIndex, end.CharIndex),
                                        std::min(start.LineNumber, end.LineNumber));
                const bool afterCursor = reason == TSrcUndoReason::urDeleteAfterCursor ||
                                         reason == TSrcUndoReason::urSilentDeleteAfterCursor;
                if (afterCursor && p.LineNumber > LineCount())
                    FLines->Add({});
                SetCaretCoord(p);
                // why: the column was cut from the first character starting at or after its left
                // edge on each line, and the column insertion puts text back by the same rule;
                // the caret, kept off the middle of a character on the first line, would move
                // the whole column one character to the left.
                if (mode == TSrcSelectionMode::smColumn && p.LineNumber == FCaret.LineNumber)
                    FCaret.CharIndex = p.CharIndex;
                FActiveSelectionMode = mode;
                InsertBlockText(mode, item.Text, false);
                switch (reason) {
                case TSrcUndoReason::urDelete:
                case TSrcUndoReason::urDeleteAll:
                    SelectRange(start, end, end);
                    break;
                case TSrcUndoReason::urDeleteAfterCursor:
                    SelectRange(start, end, start);
                    break;
                case TSrcUndoReason::urSilentDeleteAfterCursor:
                    SetCaretCoord(start);
                    break;
                default:
                    SetCaretCoord(end);
                    break;
                }
                FActiveSelectionMode = mode;
                if (reason == TSrcUndoReason::urDeleteAll)
                    SetCaretCoord(MakeBufferCoord(1, 1));
                FRedoList->RecordChange(reason, start, end, {}, mode);
                ScrollCaretIntoView();
                return;
            }
            switch (reason) {
            case TSrcUndoReason::urLineBreak: {
                SetCaretCoord(start);
                FRedoList->RecordChange(reason, start, end, item.Text, mode);
                const int lineNumber = FCaret.LineNumber;
                std::string line = LineText(lineNumber);
                // why: blanks are added only to reach the caret before text that follows it;
                // with nothing to append they would be text the line never had. A text that
                // starts with blanks or tabs carries what trimming took from the line itself.
                if (!item.Text.empty() && !SrcEditIsBlank(item.Text.front()) &&
                    static_cast<int>(line.size()) < FCaret.CharIndex - 1)
                    line.append(static_cast<size_t>(FCaret.CharIndex - 1) - line.size(), ' ');
                line += item.Text;
                bool joined = false;
                WithLinesUpdate(*FLines, [&] {
                    StoreLine(lineNumber - 1, line);
                    if (lineNumber < LineCount()) {
                        FLines->Delete(lineNumber);
                        joined = true;
                    }
                });
                // why: the marks of the line joined in go with its text to the caret line, those
                // below move up; a mark left on the removed line could lie past the last line.
                if (joined)
                    AdjustMarksForDeletedLines(lineNumber, 1);
                break;
            }
            case TSrcUndoReason::urIndent:
                FRedoList->RecordChange(reason, start, end, {}, mode);
                SelectRange(start, end, end);
                break;
            case TSrcUndoReason::urUnindent: {
                FRedoList->RecordChange(reason, start, end, item.Text, mode);
                const int column =
                    mode == TSrcSelectionMode::smColumn ? std::min(start.CharIndex, end.CharIndex) : 1;
                InsertColumnBlock(MakeBufferCoord(column, start.LineNumber), MakeBufferCoord(column, end.LineNumber),
                                  false, item.Text);
                FActiveSelectionMode = mode;
                SelectRange(start, end, start);
                break;
            }
            case TSrcUndoReason::urCaret:
            case TSrcUndoReason::urSelection:
                ExchangeCaretOrSelection(item, *FRedoList);
                break;
            default:
                break; // markers, group breaks and urNothing are only consumed by the step
            }
        }); });
    });
}

// ---- redo

void TCustomSrcEdit::ReplayRedoItem(const TSrcEditUndoItem& item)
{
    const TSrcSelectionMode mode = item.SelectionMode;
    const TBufferCoord start = item.StartPos;
    const TBufferCoord end = item.EndPos;
    SetState(sfInsideRedo, true);
    try {
        WithPaintLock([&] {
            FActiveSelectionMode = mode;
            WithPastEolMode([&] {
                const TSrcUndoReason reason = item.Reason;
                if (IsInsertion(reason)) {
                    SetCaretCoord(start);
                    FActiveSelectionMode = mode;
                    // why: the text is what undo took away, as it stood; trimming here would take
                    // blanks that the edit kept (whole lines pasted in line mode). What the edit's
                    // trimming took is recorded and replayed on its own.
                    WithoutTrailingTrim([&] { InsertBlockText(mode, item.Text, false); });
                    MoveCaret(end);
                    FUndoList->RecordChange(reason, start, end, GetSelectedText(), mode);
                    if (reason == TSrcUndoReason::urDragDropInsert)
                        SelectRange(start, end, start);
                    return;
                }
                if (IsDeletion(reason)) {
                    SelectRange(start, end, start);
                    FActiveSelectionMode = mode;
                    FUndoList->RecordChange(reason, start, end, SelectedTextForUndo(), mode);
                    // why: what trimming took when the deletion was made is in its record or in
                    // records of its own that follow it; trimming here would take it twice.
                    WithoutTrailingTrim([&] { InsertBlockText(mode, item.Text, false); });
                    if (reason == TSrcUndoReason::urDeleteAfterCursor)
                        MoveCaret(end);
                    else if (reason == TSrcUndoReason::urSilentDeleteAfterCursor)
                        MoveCaret(EarlierCoord(start, end));
                    else
                        MoveCaret(start);
                    return;
                }
                switch (reason) {
                case TSrcUndoReason::urLineBreak:
                    // The end is where the line break left the caret: on the same place when the
                    // line was inserted without moving it.
                    SetCaretCoord(start);
                    DispatchCommand(end == start ? ecInsertLine : ecLineBreak, U'\r', nullptr);
                    break;
                case TSrcUndoReason::urIndent:
                    FUndoList->RecordChange(reason, start, end, {}, mode);
                    SelectRange(start, end, end);
                    break;
                case TSrcUndoReason::urUnindent: {
                    FUndoList->RecordChange(reason, start, end, item.Text, mode);
                    const int column =
                        mode == TSrcSelectionMode::smColumn ? std::min(start.CharIndex, end.CharIndex) : 1;
                    const std::vector<std::string> pieces = SrcEditSplitLines(item.Text);
                    WithLinesUpdate(*FLines, [&] {
                        for (size_t k = 0; k < pieces.size(); ++k) {
                            const int line = start.LineNumber + static_cast<int>(k);
                            std::string text = LineText(line);
                            if (pieces[k].empty() || line > LineCount() ||
                                text.compare(static_cast<size_t>(column - 1), pieces[k].size(), pieces[k]) != 0)
                                continue;
                            text.erase(static_cast<size_t>(column - 1), pieces[k].size());
                            FLines->Put(line - 1, text);
                        }
                    });
                    if (mode == TSrcSelectionMode::smColumn) {
                        SelectRange(start, end, start);
                    } else {
                        const TBufferCoord anchor =
                            MakeBufferCoord(std::max(1, start.CharIndex - FTabWidth), start.LineNumber);
                        const TBufferCoord freeEnd = MakeBufferCoord(
                            std::max(1, end.CharIndex - static_cast<int>(pieces.back().size())), end.LineNumber);
                        SelectRange(anchor, freeEnd, anchor);
                    }
                    FActiveSelectionMode = mode;
                    break;
                }
                case TSrcUndoReason::urCaret:
                case TSrcUndoReason::urSelection:
                    ExchangeCaretOrSelection(item, *FUndoList);
                    break;
                case TSrcUndoReason::urFillBlanks:
                    FUndoList->RecordChange(reason, start, end, {}, mode);
                    SetCaretCoord(end);
                    FActiveSelectionMode = mode;
                    // why: the blanks only lead up to what the next item of the step puts
                    // after them; trimmed here, that text would land after plain blanks
                    // instead of the tabs the edit wrote.
                    WithoutTrailingTrim([&] { InsertBlockText(mode, item.Text, false); });
                    MoveCaret(start);
                    break;
                default:
                    break;
                }
            });
        });
    } catch (...) {
        SetState(sfInsideRedo, false);
        throw;
    }
    SetState(sfInsideRedo, false);
}
