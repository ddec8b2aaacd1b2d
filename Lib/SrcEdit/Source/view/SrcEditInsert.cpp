// The editor's text insertion primitives: replacing the selection with a text laid out in one of
// the three selection modes, deleting the selection, and writing a line.

#include "SrcEdit/Source/view/SrcEdit.h"

#include "SrcEdit/Source/view/SrcEditScopes.h"

#include <algorithm>

std::vector<std::string> SrcEditSplitLines(std::string_view text)
{
    std::vector<std::string> pieces;
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n')
            continue;
        pieces.emplace_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    pieces.emplace_back(text.substr(start));
    return pieces;
}

std::string SrcEditTrimTrailing(std::string_view text)
{
    size_t end = text.size();
    while (end > 0 && (text[end - 1] == ' ' || text[end - 1] == '\t'))
        --end;
    return std::string(text.substr(0, end));
}

void TCustomSrcEdit::StoreLine(int index, std::string text)
{
    if (FOptions.Contains(eoTrimTrailingSpaces))
        text = SrcEditTrimTrailing(text);
    FLines->Put(index, text);
}

void TCustomSrcEdit::RecordTrimmedTail(int lineNumber, std::string_view tail, bool blankTail)
{
    if (!FOptions.Contains(eoTrimTrailingSpaces) || lineNumber < 1 || lineNumber > LineCount())
        return;
    const size_t kept = SrcEditTrimTrailing(tail).size();
    if ((kept == 0 && !blankTail) || kept == tail.size())
        return; // nothing to take, or the blanks touch the edit, whose record takes them
    const int length = LineLength(lineNumber);
    const int run = static_cast<int>(tail.size() - kept);
    // why: recorded as taken before the edit, the blanks come back after the edit is undone, in
    // the line as it was then; the caret then goes back to where it stood before the edit.
    FUndoList->RecordLeadingChange(TSrcUndoReason::urCaret, FCaret, FCaret, {}, TSrcSelectionMode::smNormal);
    FUndoList->RecordLeadingChange(TSrcUndoReason::urSilentDelete, MakeBufferCoord(length - run + 1, lineNumber),
                                   MakeBufferCoord(length + 1, lineNumber), std::string(tail.substr(kept)),
                                   TSrcSelectionMode::smNormal);
}

void TCustomSrcEdit::RecordInsertion(TBufferCoord start, TBufferCoord end, const std::string& replaced)
{
    std::string lost = replaced;
    WidenInsertionRecord(start, lost);
    // why: a line-mode insertion puts whole lines before the caret line and the last piece in
    // front of it; as a stream from its start to the caret it covers exactly what was inserted,
    // whereas a line-mode record would take the whole caret line with it on undo.
    TSrcSelectionMode mode = FActiveSelectionMode;
    if (mode == TSrcSelectionMode::smLine) {
        mode = TSrcSelectionMode::smNormal;
        start.CharIndex = 1;
    }
    FUndoList->RecordChange(TSrcUndoReason::urInsert, start, end, lost, mode);
}

void TCustomSrcEdit::WidenInsertionRecord(TBufferCoord& start, std::string& replaced)
{
    if (FTrimmedInsertionStart.LineNumber == start.LineNumber && FTrimmedInsertionStart.CharIndex < start.CharIndex) {
        start = FTrimmedInsertionStart;
        replaced.insert(0, FTrimmedBeforeInsertion);
    }
    FTrimmedBeforeInsertion.clear();
    FTrimmedInsertionStart = {0, 0};
}

void TCustomSrcEdit::WidenDeletionRecord(TBufferCoord& from, TBufferCoord& to, std::string& text) const
{
    if (LineCount() == 0 || from.LineNumber > LineCount())
        return;
    const std::string first = LineText(from.LineNumber);
    // A start beyond the line end deletes from the line end; the columns up to it were no text.
    from.CharIndex = std::min(from.CharIndex, static_cast<int>(first.size()) + 1);
    if (!FOptions.Contains(eoScrollPastEol) || !FOptions.Contains(eoTrimTrailingSpaces))
        return;
    const std::string last = LineText(to.LineNumber);
    const auto prefix = static_cast<size_t>(from.CharIndex - 1);
    const std::string suffix =
        static_cast<size_t>(to.CharIndex - 1) < last.size() ? last.substr(static_cast<size_t>(to.CharIndex - 1)) : "";
    const size_t kept = SrcEditTrimTrailing(first.substr(0, prefix) + suffix).size();
    // invariant: only what trimming takes right next to the deletion can join its record; blanks
    // it takes from the end of a rest that keeps some text lie apart from it.
    if (kept > prefix || kept == prefix + suffix.size())
        return;
    text.insert(0, first.substr(kept, prefix - kept));
    from.CharIndex = static_cast<int>(kept) + 1;
    if (!suffix.empty()) {
        text += suffix;
        to.CharIndex = static_cast<int>(last.size()) + 1;
    }
}

std::string TCustomSrcEdit::WidenStoredDeletion(const std::string& original, int lineNumber, int& from, int& to) const
{
    const int size = static_cast<int>(original.size());
    const int kept = LineLength(lineNumber);
    const int intended = size - (to - from);
    if (kept < intended && kept <= from) {
        if (intended > from)
            to = size;
        from = kept;
    }
    return original.substr(static_cast<size_t>(from), static_cast<size_t>(to - from));
}

std::string TCustomSrcEdit::TrimmedAroundInsertion(const std::string& before, int lineNumber, int& at,
                                                   size_t inserted) const
{
    const auto kept = static_cast<size_t>(LineLength(lineNumber));
    const auto position = static_cast<size_t>(at);
    // Nothing lost, or only blanks at the end of a rest that keeps some text: apart from the
    // insertion, they cannot join its record.
    if (kept >= before.size() + inserted || kept > position + inserted)
        return {};
    std::string lost = before.substr(position);
    if (kept < position) {
        lost.insert(0, before.substr(kept, position - kept));
        at = static_cast<int>(kept);
    }
    return lost;
}

void TCustomSrcEdit::RecordSelectionDeletion()
{
    TBufferCoord begin = FBlockBegin;
    TBufferCoord end = FBlockEnd;
    std::string text = SelectedTextForUndo();
    WidenSelectionDeletion(begin, end, text);
    RecordTrimmedSelectionTail();
    FUndoList->RecordChange(TSrcUndoReason::urDelete, begin, end, text, FActiveSelectionMode);
}

void TCustomSrcEdit::RecordTrimmedSelectionTail()
{
    // invariant: as DeleteSelectionByMode trims the joined line.
    if (FActiveSelectionMode != TSrcSelectionMode::smNormal || !HasSelection() || !FOptions.Contains(eoScrollPastEol))
        return;
    const TBufferCoord end = GetSelectionEnd();
    const std::string last = LineText(end.LineNumber);
    if (static_cast<size_t>(end.CharIndex - 1) < last.size())
        RecordTrimmedTail(end.LineNumber, std::string_view(last).substr(static_cast<size_t>(end.CharIndex - 1)));
}

void TCustomSrcEdit::WidenSelectionDeletion(TBufferCoord& begin, TBufferCoord& end, std::string& text) const
{
    if (FActiveSelectionMode != TSrcSelectionMode::smNormal || !HasSelection())
        return;
    const bool forward = EarlierCoord(begin, end) == begin;
    TBufferCoord& from = forward ? begin : end;
    TBufferCoord& to = forward ? end : begin;
    WidenDeletionRecord(from, to, text);
}

void TCustomSrcEdit::SetSelectedText(const std::string& text)
{
    WithUndoBlock([&] {
        const bool hadSelection = HasSelection();
        if (hadSelection)
            RecordSelectionDeletion();
        else
            FActiveSelectionMode = FSelectionMode;
        // invariant: both ends are read before either is written; a selection made backwards
        // would otherwise lose its end and the text would go in beside it.
        // why: without a selection the text goes in at the caret, which an empty block left
        // elsewhere (a selection made in virtual space, a caret moved on) need not share; the
        // record must start where the text went in.
        const TBufferCoord start = hadSelection ? GetSelectionStart() : FCaret;
        const TBufferCoord end = hadSelection ? GetSelectionEnd() : FCaret;
        // why: without virtual space the caret, and so the text, cannot go beyond the line end
        // where a selection may start (an indented empty line that trimming emptied again).
        TBufferCoord insertedAt = start;
        if (!FOptions.Contains(eoScrollPastEol) && start.LineNumber <= LineCount())
            insertedAt.CharIndex = std::min(start.CharIndex, LineLength(start.LineNumber) + 1);
        FBlockBegin = start;
        FBlockEnd = end;
        PutSelectionText(text);
        if (!text.empty() && FActiveSelectionMode != TSrcSelectionMode::smColumn)
            RecordInsertion(insertedAt, FBlockEnd, {});
    });
}

void TCustomSrcEdit::DeleteSelectedText()
{
    if (HasSelection())
        SetSelectedText({});
}

void TCustomSrcEdit::InsertColumnBlock(TBufferCoord at, TBufferCoord blockEnd, bool addToUndo, const std::string& text)
{
    WithPaintLock([&] {
        WithUndoBlock([&] {
            MoveCaret(at);
            FBlockBegin = at;
            FBlockEnd = blockEnd;
            FActiveSelectionMode = TSrcSelectionMode::smColumn;
            // why: the rectangle between the two ends is replaced; recording only the inserted
            // pieces would let undo drop it for good.
            if (addToUndo && HasSelection())
                RecordSelectionDeletion();
            InsertBlockText(TSrcSelectionMode::smColumn, text, addToUndo);
            FStatusChanges.Include(scSelection);
        });
    });
}

void TCustomSrcEdit::InsertBlockText(TSrcSelectionMode mode, const std::string& text, bool addToUndo)
{
    WithPaintLock([&] {
        WithLinesUpdate(*FLines, [&] {
            const TBufferCoord bb = GetSelectionStart();
            const TBufferCoord be = GetSelectionEnd();
            FTrimmedBeforeInsertion.clear();
            FTrimmedInsertionStart = {0, 0};
            if (HasSelection())
                DeleteSelectionByMode(bb, be, addToUndo);
            // why: a stream inserted beyond the end of a line is preceded by blanks up to the
            // caret; recorded, undo takes them away again with the text.
            if (!text.empty() && addToUndo && mode == TSrcSelectionMode::smNormal)
                FillCaretLine();
            if (!text.empty()) {
                FInsertedAt = FCaret;
                TBufferCoord caret = FCaret;
                const int startLine = caret.LineNumber;
                const bool beyondFirst = caret.CharIndex > 1;
                if (addToUndo && mode != TSrcSelectionMode::smColumn && caret.LineNumber <= LineCount()) {
                    const std::string line = LineText(caret.LineNumber);
                    // A line-mode insertion keeps the whole caret line at the end of its last line.
                    const size_t at = mode == TSrcSelectionMode::smLine ? 0 : static_cast<size_t>(caret.CharIndex - 1);
                    if (at < line.size())
                        RecordTrimmedTail(caret.LineNumber, std::string_view(line).substr(at), true);
                }
                switch (mode) {
                case TSrcSelectionMode::smNormal:
                    if (const int added = InsertNormalText(text, caret); added > 0)
                        AdjustMarksForInsertedLines(startLine + (beyondFirst ? 1 : 0), added);
                    break;
                case TSrcSelectionMode::smLine:
                    if (const int added = InsertLineText(text, caret); added > 0)
                        AdjustMarksForInsertedLines(startLine, added);
                    break;
                case TSrcSelectionMode::smColumn:
                    // Lines a column block adds come at the end of the text, below every mark.
                    InsertColumnText(text, addToUndo, caret);
                    break;
                }
                MoveCaret(caret);
            }
            if (FCaret.LineNumber <= 0)
                FCaret.LineNumber = 1;
        });
    });
}

void TCustomSrcEdit::DeleteSelectionByMode(TBufferCoord bb, TBufferCoord be, bool addToUndo)
{
    switch (FActiveSelectionMode) {
    case TSrcSelectionMode::smNormal: {
        if (LineCount() == 0)
            break;
        const std::string first = LineText(bb.LineNumber);
        const std::string last = LineText(be.LineNumber);
        std::string joined = first.substr(0, std::min(static_cast<size_t>(bb.CharIndex - 1), first.size()));
        if (static_cast<size_t>(be.CharIndex - 1) < last.size())
            joined += last.substr(static_cast<size_t>(be.CharIndex - 1));
        if (FOptions.Contains(eoScrollPastEol) && FOptions.Contains(eoTrimTrailingSpaces))
            joined = SrcEditTrimTrailing(joined);
        FLines->Put(bb.LineNumber - 1, joined);
        FLines->DeleteLineRange(bb.LineNumber, be.LineNumber - bb.LineNumber);
        // why: without virtual space a start beyond its line's end (an indented empty line that
        // trimming emptied again) means the join point; the caret clamped against the joined
        // line would land after the text brought up and the new text would go in there.
        if (!FOptions.Contains(eoScrollPastEol))
            bb.CharIndex = std::min(bb.CharIndex, static_cast<int>(first.size()) + 1);
        MoveCaret(bb);
        if (be.LineNumber > bb.LineNumber)
            AdjustMarksForDeletedLines(bb.LineNumber, be.LineNumber - bb.LineNumber);
        break;
    }
    case TSrcSelectionMode::smLine:
        if (be.LineNumber >= LineCount()) {
            FLines->Put(be.LineNumber - 1, {});
            FLines->DeleteLineRange(bb.LineNumber - 1, be.LineNumber - bb.LineNumber);
        } else {
            FLines->DeleteLineRange(bb.LineNumber - 1, be.LineNumber - bb.LineNumber + 1);
        }
        MoveCaret(MakeBufferCoord(1, bb.LineNumber));
        AdjustMarksForDeletedLines(bb.LineNumber, be.LineNumber + 1 - bb.LineNumber);
        break;
    case TSrcSelectionMode::smColumn: {
        const int left = std::min(bb.CharIndex, be.CharIndex);
        const int right = std::max(bb.CharIndex, be.CharIndex);
        for (int line = bb.LineNumber; line <= be.LineNumber && line <= LineCount(); ++line) {
            std::string text = LineText(line);
            const int l = SrcEditCharStartAtOrAfter(text, left);
            const int r = SrcEditCharStartAtOrAfter(text, right);
            if (static_cast<int>(text.size()) < l)
                continue; // the line ends before the column: unchanged
            const int stop = std::min(r, static_cast<int>(text.size()) + 1);
            if (stop <= l)
                continue;
            text.erase(static_cast<size_t>(l - 1), static_cast<size_t>(stop - l));
            StoreLine(line - 1, text);
            // why: the column's record gives back only the deleted characters; blanks and tabs
            // that trimming took from the rest of the line are recorded on their own.
            if (const int kept = LineLength(line); addToUndo && kept < static_cast<int>(text.size()))
                FUndoList->RecordChange(TSrcUndoReason::urSilentDelete, MakeBufferCoord(kept + 1, line),
                                        MakeBufferCoord(static_cast<int>(text.size()) + 1, line),
                                        text.substr(static_cast<size_t>(kept)), TSrcSelectionMode::smNormal);
        }
        MoveCaret(MakeBufferCoord(left, FBlockEnd.LineNumber));
        break;
    }
    }
}

int TCustomSrcEdit::InsertNormalText(const std::string& text, TBufferCoord& caret)
{
    const std::vector<std::string> pieces = SrcEditSplitLines(text);
    const std::string line = LineText(caret.LineNumber);
    const size_t column = static_cast<size_t>(caret.CharIndex - 1);
    std::string left = line.substr(0, std::min(column, line.size()));
    if (left.size() < column)
        left.append(column - left.size(), ' '); // the caret stood in virtual space
    const std::string right = column < line.size() ? line.substr(column) : std::string();
    std::string lastPart;
    const int firstLine = caret.LineNumber;
    if (pieces.size() == 1) {
        lastPart = left + text;
        StoreLine(caret.LineNumber - 1, lastPart + right);
    } else {
        StoreLine(caret.LineNumber - 1, left + pieces.front());
        FLines->InsertBlankLines(caret.LineNumber, static_cast<int>(pieces.size()) - 1);
        for (size_t k = 1; k < pieces.size(); ++k) {
            ++caret.LineNumber;
            lastPart = pieces[k];
            StoreLine(caret.LineNumber - 1, k + 1 == pieces.size() ? lastPart + right : lastPart);
        }
    }
    // why: trimming the first line may take blanks and tabs that stood before the insertion
    // point; the insertion's record takes them over, so undo puts them back.
    if (const size_t stored = LineText(firstLine).size(); stored < left.size()) {
        FTrimmedBeforeInsertion = left.substr(stored);
        FTrimmedInsertionStart = MakeBufferCoord(static_cast<int>(stored) + 1, firstLine);
    }
    if (!FOptions.Contains(eoTrimTrailingSpaces)) {
        caret.CharIndex = static_cast<int>(lastPart.size()) + 1;
    } else if (!right.empty()) {
        const std::string stored = SrcEditTrimTrailing(lastPart + right);
        caret.CharIndex = static_cast<int>(stored.size() - SrcEditTrimTrailing(right).size()) + 1;
    } else {
        // The caret keeps its screen column although trailing blanks were trimmed.
        caret.CharIndex = SrcEditColumnToCharIndex(LineText(caret.LineNumber),
                                                   ExpandedTextLength(lastPart, FTabWidth) + 1, FTabWidth);
    }
    return static_cast<int>(pieces.size()) - 1;
}

int TCustomSrcEdit::InsertLineText(const std::string& text, TBufferCoord& caret)
{
    const std::vector<std::string> pieces = SrcEditSplitLines(text);
    caret.CharIndex = 1;
    const int complete = static_cast<int>(pieces.size()) - 1;
    for (int k = 0; k < complete; ++k) {
        FLines->Insert(std::min(caret.LineNumber - 1, LineCount()), pieces[static_cast<size_t>(k)]);
        ++caret.LineNumber;
    }
    const std::string& last = pieces.back();
    if (caret.LineNumber > LineCount())
        StoreLine(LineCount(), last);
    else
        StoreLine(caret.LineNumber - 1, last + LineText(caret.LineNumber));
    caret.CharIndex = static_cast<int>(last.size()) + 1;
    return complete;
}

int TCustomSrcEdit::InsertColumnText(const std::string& text, bool addToUndo, TBufferCoord& caret)
{
    const std::vector<std::string> pieces = SrcEditSplitLines(text);
    const int position = caret.CharIndex;
    int added = 0;
    for (size_t k = 0; k < pieces.size(); ++k) {
        const std::string& piece = pieces[k];
        int at = position;
        int recordAt = position;
        std::string lost;
        if (caret.LineNumber > LineCount()) {
            const int previous = caret.LineNumber - 1;
            FLines->Add({});
            ++added;
            // why: the first line of an empty text has no line before it to break; a break
            // recorded there would come back as a second, empty line on redo.
            if (addToUndo && previous >= 1)
                FUndoList->RecordChange(TSrcUndoReason::urLineBreak,
                                        MakeBufferCoord(LineLength(previous) + 1, previous),
                                        MakeBufferCoord(LineLength(previous) + 1, previous), {},
                                        TSrcSelectionMode::smColumn);
            if (!piece.empty())
                StoreLine(caret.LineNumber - 1, std::string(static_cast<size_t>(position - 1), ' ') + piece);
        } else if (!piece.empty()) {
            std::string line = LineText(caret.LineNumber);
            at = SrcEditCharStartAtOrAfter(line, position);
            std::string before;
            if (static_cast<int>(line.size()) < at - 1) {
                // why: the blanks that reach the column are recorded too, so that undo leaves
                // the short line as it was.
                if (addToUndo)
                    FUndoList->RecordChange(TSrcUndoReason::urFillBlanks, MakeBufferCoord(at, caret.LineNumber),
                                            MakeBufferCoord(static_cast<int>(line.size()) + 1, caret.LineNumber), {},
                                            TSrcSelectionMode::smNormal);
                line.append(static_cast<size_t>(at - 1) - line.size(), ' ');
                before = line;
                line += piece;
            } else {
                before = line;
                if (addToUndo)
                    RecordTrimmedTail(caret.LineNumber, std::string_view(before).substr(static_cast<size_t>(at - 1)));
                line.insert(static_cast<size_t>(at - 1), piece);
            }
            StoreLine(caret.LineNumber - 1, line);
            // why: trimming the line may take blanks and tabs that stood around the piece; its
            // record starts where the stored line ends and carries them as replaced text.
            int from = at - 1;
            lost = TrimmedAroundInsertion(before, caret.LineNumber, from, piece.size());
            recordAt = from + 1;
        }
        // why: an empty piece leaves its line alone; padding a short line with blanks for it
        // would add text that undo could not tell from the user's own. A piece is recorded as
        // a column piece whatever the active mode: a column block pasted in line mode, recorded
        // in line mode, would take the whole line with it on undo.
        if (addToUndo && !piece.empty())
            FUndoList->RecordChange(TSrcUndoReason::urPaste, MakeBufferCoord(recordAt, caret.LineNumber),
                                    MakeBufferCoord(at + static_cast<int>(piece.size()), caret.LineNumber), lost,
                                    TSrcSelectionMode::smColumn);
        if (k + 1 < pieces.size())
            ++caret.LineNumber;
    }
    caret.CharIndex = position + static_cast<int>(pieces.back().size());
    return added;
}
