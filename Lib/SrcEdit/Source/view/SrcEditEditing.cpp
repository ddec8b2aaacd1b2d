// The editing commands that type and delete: characters and input-method strings, Backspace,
// Delete and the word and line deletions, and the line break.

#include "SrcEdit/Source/view/SrcEdit.h"

#include "SrcEdit/Source/view/SrcEditScopes.h"

#include "Platform/text/TextChars.h"

#include <algorithm>

// ---- helpers

int TCustomSrcEdit::LeadingBlankCount(std::string_view text, bool tabWeighted) const
{
    if (text.empty() || !FOptions.Contains(eoAutoIndent))
        return 0;
    int count = 0;
    for (char c : text) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 1 || b > 32)
            break;
        count += c == '\t' && tabWeighted ? FTabWidth : 1;
    }
    return count;
}

std::string TCustomSrcEdit::IndentString(int width, bool allowTabs) const
{
    width = std::max(width, 0);
    if (!allowTabs || FOptions.Contains(eoTabsToSpaces) || width < FTabWidth)
        return std::string(static_cast<size_t>(width), ' ');
    return std::string(static_cast<size_t>(width / FTabWidth), '\t') +
           std::string(static_cast<size_t>(width % FTabWidth), ' ');
}

void TCustomSrcEdit::ScrollAfterTyping()
{
    if (CaretDisplayColumn() >= FFirstVisibleColumn + FCharsInWindow)
        SetFirstVisibleChar(FFirstVisibleColumn + std::min(25, FCharsInWindow - 1));
}

int TCustomSrcEdit::FillCaretLine()
{
    const std::string line = LineText(FCaret.LineNumber);
    const int gap = FCaret.CharIndex - 1 - static_cast<int>(line.size());
    if (gap <= 0 || FCaret.LineNumber > LineCount())
        return 0;
    // why: blanks that reach a caret in virtual space are recorded, so that undoing what is then
    // typed there gives back the line exactly as it was.
    const int from = static_cast<int>(line.size()) + 1;
    FLines->Put(FCaret.LineNumber - 1, line + std::string(static_cast<size_t>(gap), ' '));
    FUndoList->RecordChange(TSrcUndoReason::urFillBlanks, MakeBufferCoord(FCaret.CharIndex, FCaret.LineNumber),
                            MakeBufferCoord(from, FCaret.LineNumber), {}, TSrcSelectionMode::smNormal);
    return gap;
}

void TCustomSrcEdit::RecordTyping(TBufferCoord start, TBufferCoord end, const std::string& replaced)
{
    // why: typed text goes in at the caret whatever the selection mode; recorded in line or
    // column mode, undo would take away more than was typed, or redo not retype it.
    FUndoList->RecordChange(TSrcUndoReason::urInsert, start, end, replaced, TSrcSelectionMode::smNormal);
}

void TCustomSrcEdit::DeleteSelectionRecorded()
{
    TBufferCoord begin = FBlockBegin;
    TBufferCoord end = FBlockEnd;
    const TSrcSelectionMode mode = FActiveSelectionMode;
    std::string text = SelectedTextForUndo();
    WidenSelectionDeletion(begin, end, text);
    const bool forward = EarlierCoord(begin, end) == begin && begin != end;
    // invariant: the deletion is recorded before it is made, so that what the deletion records
    // of its own (trimmed column lines) is undone first.
    WithUndoBlock([&] {
        RecordTrimmedSelectionTail();
        FUndoList->RecordChange(forward ? TSrcUndoReason::urDelete : TSrcUndoReason::urDeleteAfterCursor, begin, end,
                                text, mode);
        PutSelectionText({});
    });
}

// ---- typing

void TCustomSrcEdit::InsertCharAtCaret(char32_t aChar)
{
    if (ReadOnly() || aChar < 32 || aChar == 127)
        return;
    const std::string chars = TextChars::Encode(aChar);
    if (HasSelection()) {
        WithUndoBlock([&] {
            TBufferCoord start = GetSelectionStart();
            if (FActiveSelectionMode == TSrcSelectionMode::smLine)
                start.CharIndex = 1;
            RecordSelectionDeletion();
            PutSelectionText(chars);
            if (FActiveSelectionMode != TSrcSelectionMode::smColumn)
                RecordInsertion(start, FBlockEnd, {});
        });
        FirePaintTransient(TTransientType::ttAfter);
        return;
    }
    const int lineNumber = FCaret.LineNumber;
    const std::string oldLine = LineText(lineNumber);
    const int caretChar = FCaret.CharIndex;
    std::string line = oldLine;
    std::string fill;
    // invariant: typing over the end of a line inserts; overwriting a blank of the fill would
    // leave that blank behind on undo.
    const bool overwrite = !FInsertMode && caretChar <= static_cast<int>(oldLine.size());
    if (static_cast<int>(oldLine.size()) < caretChar) {
        const int missing = caretChar - static_cast<int>(oldLine.size()) - 1;
        fill = oldLine.empty() ? IndentString(missing, true) : std::string(static_cast<size_t>(missing), ' ');
        line += fill;
    }
    WithPastEolMode([&] {
        if (!overwrite) {
            if (!FWordWrapPlugin && !FOptions.Contains(eoAutoSizeMaxScrollWidth) && FMaxScrollWidth < caretChar)
                return;
            const int at = std::min(caretChar, static_cast<int>(line.size()) + 1);
            line.insert(static_cast<size_t>(at - 1), chars);
            int newChar = at + static_cast<int>(chars.size());
            if (FOptions.Contains(eoTrimTrailingSpaces) && (aChar == ' ' || aChar == '\t') &&
                SrcEditBlanksOnly(oldLine))
                newChar = ExpandedTextLength(line, FTabWidth) + 1;
            else if (oldLine.empty())
                newChar = static_cast<int>(line.size()) + 1;
            const TBufferCoord start = MakeBufferCoord(at, lineNumber);
            const TBufferCoord end = MakeBufferCoord(at + static_cast<int>(chars.size()), lineNumber);
            if (static_cast<size_t>(at - 1) < oldLine.size())
                RecordTrimmedTail(lineNumber, std::string_view(oldLine).substr(static_cast<size_t>(at - 1)), true);
            // why: a blank typed on a line of blanks only has the line trimmed away; blanks and
            // tabs the line held before are recorded as replaced, so that undo gives them back.
            auto recordTyped = [&] {
                const auto stored = static_cast<size_t>(LineLength(lineNumber));
                if (stored >= std::min(oldLine.size(), static_cast<size_t>(at - 1))) {
                    RecordTyping(start, end, {});
                    return;
                }
                RecordTyping(MakeBufferCoord(static_cast<int>(stored) + 1, lineNumber), end,
                             line.substr(stored, static_cast<size_t>(at - 1) - stored));
            };
            if (fill.empty()) {
                StoreLine(lineNumber - 1, line);
                MoveCaret(MakeBufferCoord(newChar, lineNumber));
                recordTyped();
            } else {
                WithUndoBlock([&] {
                    StoreLine(lineNumber - 1, line);
                    MoveCaret(MakeBufferCoord(newChar, lineNumber));
                    FUndoList->RecordChange(TSrcUndoReason::urFillBlanks, start,
                                            MakeBufferCoord(at - static_cast<int>(fill.size()), lineNumber), {},
                                            TSrcSelectionMode::smNormal);
                    recordTyped();
                });
            }
        } else {
            const size_t at = static_cast<size_t>(caretChar - 1);
            const std::string replaced = line.substr(at, static_cast<size_t>(TextChars::CharLength(line, at)));
            RecordTrimmedTail(lineNumber, std::string_view(oldLine).substr(at + replaced.size()), true);
            line.replace(at, replaced.size(), chars);
            StoreLine(lineNumber - 1, line);
            // The record spans the new character: its bytes need not match those it replaced.
            RecordTyping(MakeBufferCoord(caretChar, lineNumber),
                         MakeBufferCoord(caretChar + static_cast<int>(chars.size()), lineNumber), replaced);
            MoveCaret(MakeBufferCoord(caretChar + static_cast<int>(chars.size()), lineNumber));
        }
        ScrollAfterTyping();
    });
    FirePaintTransient(TTransientType::ttAfter);
}

void TCustomSrcEdit::InsertImeString(const std::string& text)
{
    if (ReadOnly() || text.empty())
        return;
    if (HasSelection()) {
        WithUndoBlock([&] {
            const TBufferCoord start = GetSelectionStart();
            RecordSelectionDeletion();
            PutSelectionText(text);
            // why: a column insertion recorded its pieces itself; recorded once more, undo would
            // take away text beside them.
            if (FActiveSelectionMode != TSrcSelectionMode::smColumn)
                RecordInsertion(start, FBlockEnd, {});
        });
        InvalidateWholeGutter();
        return;
    }
    WithUndoBlock([&] {
        WithPastEolMode([&] {
            FillCaretLine();
            const TBufferCoord start = FCaret;
            std::string line = LineText(start.LineNumber);
            const size_t at = static_cast<size_t>(start.CharIndex - 1);
            std::string removed;
            if (!FInsertMode && at < line.size()) {
                size_t stop = std::min(at + text.size(), line.size());
                if (stop < line.size() && TextChars::IsTrailByte(line, stop))
                    stop = TextChars::CharStart(line, stop); // never split a character
                removed = line.substr(at, stop - at);
                line.erase(at, removed.size());
            }
            if (at < line.size())
                RecordTrimmedTail(start.LineNumber, std::string_view(line).substr(at), true);
            line.insert(at, text);
            StoreLine(start.LineNumber - 1, line);
            const TBufferCoord end = MakeBufferCoord(start.CharIndex + static_cast<int>(text.size()), start.LineNumber);
            MoveCaret(end);
            RecordTyping(start, end, removed);
            ScrollAfterTyping();
        });
    });
}

// ---- deleting

void TCustomSrcEdit::DeleteLastChar()
{
    if (ReadOnly())
        return;
    FirePaintTransientLocked(TTransientType::ttBefore, true);
    if (HasSelection()) {
        DeleteSelectionRecorded();
    } else {
        const TBufferCoord oldCaret = FCaret;
        const int lineNumber = FCaret.LineNumber;
        const std::string line = LineText(lineNumber);
        const int length = static_cast<int>(line.size());
        const int caretChar = FCaret.CharIndex;
        std::string deleted;
        // The recorded range; left at the caret's move unless trimming took more.
        TBufferCoord from{0, 0};
        TBufferCoord to = oldCaret;
        if (caretChar > length + 1) {
            int newChar = caretChar - 1;
            if (FOptions.Contains(eoSmartTabDelete)) {
                if (length > 0) {
                    newChar = length + 1;
                } else {
                    newChar = 1;
                    for (int above = lineNumber - 1; above >= 1; --above) {
                        const int count =
                            LeadingBlankCount(LineText(above), FOptions.Contains(eoTrimTrailingSpaces));
                        if (count < caretChar - 1) {
                            newChar = count + 1;
                            break;
                        }
                    }
                }
            }
            MoveCaret(MakeBufferCoord(newChar, lineNumber));
        } else if (caretChar == 1) {
            if (lineNumber > 1) {
                const std::string previous = LineText(lineNumber - 1);
                RecordTrimmedTail(lineNumber, line);
                MoveCaret(MakeBufferCoord(static_cast<int>(previous.size()) + 1, lineNumber - 1));
                FLines->Delete(lineNumber - 1);
                AdjustMarksForDeletedLines(lineNumber - 1, 1);
                const std::string appended = FOptions.Contains(eoTrimTrailingSpaces) ? SrcEditTrimTrailing(line) : line;
                FLines->Put(lineNumber - 2, previous + appended);
                deleted = "\r\n";
                // why: a line of blanks only is trimmed away whole; its blanks go with the break.
                if (appended.empty() && !line.empty()) {
                    deleted += line;
                    to = MakeBufferCoord(length + 1, lineNumber);
                }
            }
        } else {
            const int leading = LeadingBlankCount(line, false);
            const char before = line[static_cast<size_t>(caretChar - 2)];
            std::string text = line;
            int newChar;
            if (!SrcEditIsBlank(before) || caretChar - 1 != leading) {
                const auto start = static_cast<int>(TextChars::CharStart(line, static_cast<size_t>(caretChar - 2)));
                deleted = line.substr(static_cast<size_t>(start), static_cast<size_t>(caretChar - 1 - start));
                text.erase(static_cast<size_t>(start), deleted.size());
                newChar = start + 1;
            } else {
                int count = 0;
                if (FOptions.Contains(eoSmartTabDelete)) {
                    int target = 0;
                    for (int above = lineNumber - 1; above >= 1; --above) {
                        const int indent = LeadingBlankCount(LineText(above), false);
                        if (indent < leading) {
                            target = indent;
                            break;
                        }
                    }
                    count = leading - target;
                } else {
                    const int column = CharIndexToColumn(caretChar, FTabWidth, line);
                    int span = (column - 1) % FTabWidth;
                    if (span == 0)
                        span = FTabWidth;
                    int pos = caretChar - 1;
                    while (pos > 0 && count < span) {
                        const char c = line[static_cast<size_t>(pos - 1)];
                        if (c == '\t') {
                            ++count;
                            break;
                        }
                        if (c != ' ')
                            break;
                        ++count;
                        --pos;
                    }
                }
                count = std::clamp(count, 1, caretChar - 1);
                deleted = line.substr(static_cast<size_t>(caretChar - 1 - count), static_cast<size_t>(count));
                text.erase(static_cast<size_t>(caretChar - 1 - count), static_cast<size_t>(count));
                newChar = caretChar - count;
            }
            RecordTrimmedTail(lineNumber, std::string_view(line).substr(static_cast<size_t>(caretChar - 1)));
            StoreLine(lineNumber - 1, text);
            const std::string stored = LineText(lineNumber);
            // why: what trimming took next to the deleted characters is recorded with them, so that
            // undo gives back tabs as tabs.
            int deletedFrom = newChar - 1;
            int deletedTo = caretChar - 1;
            deleted = WidenStoredDeletion(line, lineNumber, deletedFrom, deletedTo);
            from = MakeBufferCoord(deletedFrom + 1, lineNumber);
            if (deletedTo > caretChar - 1)
                to = MakeBufferCoord(deletedTo + 1, lineNumber);
            if (FOptions.Contains(eoTrimTrailingSpaces) && stored != text && text.find('\t') != std::string::npos)
                newChar += CharIndexToColumn(newChar, FTabWidth, text) - CharIndexToColumn(newChar, FTabWidth, stored);
            MoveCaret(MakeBufferCoord(newChar, lineNumber));
        }
        if (FCaret != oldCaret || !deleted.empty())
            FUndoList->RecordChange(TSrcUndoReason::urSilentDelete, from.LineNumber > 0 ? from : FCaret, to, deleted,
                                    TSrcSelectionMode::smNormal);
    }
    ScrollCaretIntoView();
    FirePaintTransientLocked(TTransientType::ttAfter, true);
}

void TCustomSrcEdit::DeleteCharAtCaret()
{
    if (ReadOnly())
        return;
    FirePaintTransient(TTransientType::ttBefore);
    if (HasSelection()) {
        DeleteSelectionRecorded();
    } else {
        RememberCaretColumn();
        const int lineNumber = FCaret.LineNumber;
        const std::string line = LineText(lineNumber);
        const int length = static_cast<int>(line.size());
        const int caretChar = FCaret.CharIndex;
        if (caretChar > length && lineNumber < LineCount()) {
            const std::string next = LineText(lineNumber + 1);
            // why: when trimming takes the joined line's end, blanks that would reach the caret
            // would go with it: none are filled in, and the record covers all the line loses.
            const bool endTrimmed = FOptions.Contains(eoTrimTrailingSpaces) && SrcEditBlanksOnly(next);
            const int gap = endTrimmed ? 0 : std::max(caretChar - 1 - length, 0);
            WithUndoBlock([&] {
                RecordTrimmedTail(lineNumber + 1, next);
                StoreLine(lineNumber - 1, line + std::string(static_cast<size_t>(gap), ' ') + next);
                FLines->Delete(lineNumber);
                AdjustMarksForDeletedLines(lineNumber, 1);
                // why: the blanks that joined the lines at a caret in virtual space go again on undo.
                if (gap > 0)
                    FUndoList->RecordChange(TSrcUndoReason::urFillBlanks, FCaret,
                                            MakeBufferCoord(length + 1, lineNumber), {}, TSrcSelectionMode::smNormal);
                if (endTrimmed) {
                    const auto kept = static_cast<int>(LineLength(lineNumber));
                    FUndoList->RecordChange(TSrcUndoReason::urSilentDeleteAfterCursor,
                                            MakeBufferCoord(kept + 1, lineNumber),
                                            MakeBufferCoord(static_cast<int>(next.size()) + 1, lineNumber + 1),
                                            line.substr(static_cast<size_t>(kept)) + "\r\n" + next,
                                            TSrcSelectionMode::smNormal);
                } else {
                    FUndoList->RecordChange(TSrcUndoReason::urSilentDeleteAfterCursor, FCaret,
                                            MakeBufferCoord(1, lineNumber + 1), "\r\n", TSrcSelectionMode::smNormal);
                }
            });
        } else if (caretChar <= length) {
            const auto count = static_cast<size_t>(TextChars::CharLength(line, static_cast<size_t>(caretChar - 1)));
            std::string text = line;
            text.erase(static_cast<size_t>(caretChar - 1), count);
            RecordTrimmedTail(lineNumber, std::string_view(line).substr(static_cast<size_t>(caretChar - 1) + count));
            StoreLine(lineNumber - 1, text);
            int from = caretChar - 1;
            int to = from + static_cast<int>(count);
            const std::string lost = WidenStoredDeletion(line, lineNumber, from, to);
            FUndoList->RecordChange(TSrcUndoReason::urSilentDeleteAfterCursor, MakeBufferCoord(from + 1, lineNumber),
                                    MakeBufferCoord(to + 1, lineNumber), lost, TSrcSelectionMode::smNormal);
        }
    }
    FirePaintTransient(TTransientType::ttAfter);
}

void TCustomSrcEdit::DeleteWordOrToEol(TSrcEditorCommand command)
{
    if (ReadOnly())
        return;
    FirePaintTransient(TTransientType::ttBefore);
    const TBufferCoord caret = FCaret;
    const std::string line = LineText(caret.LineNumber);
    const int length = static_cast<int>(line.size());
    TBufferCoord end = MakeBufferCoord(length + 1, caret.LineNumber);
    if (command == ecDeleteWord) {
        end = WordFinishAtCaret();
        if (caret.CharIndex >= end.CharIndex) {
            if (caret.CharIndex > length) {
                if (caret.LineNumber >= LineCount())
                    return;
                end = MakeBufferCoord(1, caret.LineNumber + 1);
            } else if (!SrcEditIsBlank(line[static_cast<size_t>(end.CharIndex - 1)])) {
                const size_t next = TextChars::NextCharStart(line, static_cast<size_t>(end.CharIndex - 1));
                end.CharIndex = static_cast<int>(next) + 1;
            }
        }
        const std::string endLine = LineText(end.LineNumber);
        while (end.CharIndex <= static_cast<int>(endLine.size()) &&
               SrcEditIsBlank(endLine[static_cast<size_t>(end.CharIndex - 1)]))
            ++end.CharIndex;
    }
    if (end == caret || EarlierCoord(end, caret) == end)
        return;
    WithUndoBlock([&] {
        WithPastEolMode([&] {
            int gap = std::max(caret.CharIndex - 1 - length, 0);
            FActiveSelectionMode = TSrcSelectionMode::smNormal;
            // A normal selection starts at most at the line end; the blanks up to a caret in
            // virtual space keep what follows at the caret's column.
            FBlockBegin = MakeBufferCoord(std::min(caret.CharIndex, length + 1), caret.LineNumber);
            FBlockEnd = end;
            std::string text = GetSelectedText();
            TBufferCoord from = caret;
            TBufferCoord to = end;
            // why: blanks before a rest that trimming takes away would go with it; then nothing
            // is filled in and the record covers all that the line loses.
            const std::string endLine = LineText(end.LineNumber);
            const std::string rest = static_cast<size_t>(end.CharIndex - 1) < endLine.size()
                                         ? endLine.substr(static_cast<size_t>(end.CharIndex - 1))
                                         : std::string();
            if (FOptions.Contains(eoTrimTrailingSpaces) && SrcEditBlanksOnly(rest))
                gap = 0;
            if (gap == 0)
                WidenDeletionRecord(from, to, text);
            RecordTrimmedSelectionTail();
            PutSelectionText(std::string(static_cast<size_t>(gap), ' '));
            if (gap > 0)
                FUndoList->RecordChange(TSrcUndoReason::urFillBlanks, caret,
                                        MakeBufferCoord(length + 1, caret.LineNumber), {}, TSrcSelectionMode::smNormal);
            FUndoList->RecordChange(TSrcUndoReason::urSilentDeleteAfterCursor, from, to, text,
                                    TSrcSelectionMode::smNormal);
            MoveCaret(caret);
        });
    });
}

void TCustomSrcEdit::DeleteLastWordOrToBol(TSrcEditorCommand command)
{
    if (ReadOnly())
        return;
    FirePaintTransient(TTransientType::ttBefore);
    const TBufferCoord caret = FCaret;
    const TBufferCoord start =
        command == ecDeleteLastWord ? PreviousWordStartAtCaret() : MakeBufferCoord(1, caret.LineNumber);
    if (start != caret && EarlierCoord(start, caret) == start) {
        WithPastEolMode([&] {
            FActiveSelectionMode = TSrcSelectionMode::smNormal;
            FBlockBegin = caret;
            FBlockEnd = start;
            std::string text = GetSelectedText();
            TBufferCoord from = start;
            TBufferCoord to = caret;
            WidenDeletionRecord(from, to, text);
            RecordTrimmedSelectionTail();
            PutSelectionText({});
            FUndoList->RecordChange(TSrcUndoReason::urSilentDelete, from, to, text, TSrcSelectionMode::smNormal);
            MoveCaret(start);
        });
    }
    FirePaintTransient(TTransientType::ttAfter);
}

void TCustomSrcEdit::DeleteCaretLine()
{
    const int lineNumber = FCaret.LineNumber;
    if (ReadOnly() || LineCount() == 0 || (lineNumber >= LineCount() && LineText(lineNumber).empty()))
        return;
    FirePaintTransient(TTransientType::ttBefore);
    SetSelectionStart(FCaret);
    const std::string text = LineText(lineNumber);
    if (lineNumber >= LineCount()) {
        FLines->Put(lineNumber - 1, {});
        FUndoList->RecordChange(TSrcUndoReason::urSilentDeleteAfterCursor, MakeBufferCoord(1, lineNumber),
                                MakeBufferCoord(static_cast<int>(text.size()) + 1, lineNumber), text,
                                TSrcSelectionMode::smNormal);
    } else {
        FLines->Delete(lineNumber - 1);
        FUndoList->RecordChange(TSrcUndoReason::urSilentDeleteAfterCursor, MakeBufferCoord(1, lineNumber),
                                MakeBufferCoord(1, lineNumber + 1), text + "\r\n", TSrcSelectionMode::smNormal);
        // Marks of the deleted line go to the line above (line 1 keeps its own).
        AdjustMarksForDeletedLines(std::max(lineNumber - 1, 1), 1);
    }
    MoveCaret(MakeBufferCoord(1, lineNumber));
}

// ---- line break

void TCustomSrcEdit::InsertLineBreak(bool moveCaret)
{
    if (ReadOnly())
        return;
    WithUndoBlock([&] {
        if (HasSelection()) {
            RecordSelectionDeletion();
            PutSelectionText({});
        }
        if (LineCount() == 0)
            FLines->Add({});
        const TBufferCoord caret = FCaret;
        const int lineNumber = caret.LineNumber;
        const std::string line = LineText(lineNumber);
        const int length = static_cast<int>(line.size());
        const bool atStart = caret.CharIndex == 1;
        // The nearest line at or above the caret that is not empty.
        auto sourceLine = [&] {
            int above = lineNumber;
            while (above > 1 && LineText(above).empty())
                --above;
            return LineText(above);
        };
        TBufferCoord newCaret = caret;
        std::string right; // what the join on undo appends to the caret line again
        if (length == 0) {
            const int indent = LeadingBlankCount(sourceLine(), true);
            FLines->Insert(lineNumber - 1, {});
            newCaret = MakeBufferCoord(indent + 1, lineNumber + 1);
        } else if (length < caret.CharIndex) {
            const std::string source = sourceLine();
            const int indent = LeadingBlankCount(source, false);
            FLines->Insert(lineNumber, {});
            if (moveCaret && indent > 0)
                FLines->Put(lineNumber, source.substr(0, static_cast<size_t>(indent)));
            newCaret = MakeBufferCoord(indent + 1, lineNumber + 1);
        } else if (atStart) {
            FLines->Insert(lineNumber - 1, {});
            right = line;
            newCaret = MakeBufferCoord(1, lineNumber + 1);
        } else {
            const std::string left = line.substr(0, static_cast<size_t>(caret.CharIndex - 1));
            right = line.substr(static_cast<size_t>(caret.CharIndex - 1));
            const std::string indent = IndentString(LeadingBlankCount(left, true), true);
            WithLinesUpdate(*FLines, [&] {
                StoreLine(lineNumber - 1, left);
                FLines->Insert(lineNumber, indent + right);
            });
            // why: blanks and tabs that trimming took from the end of the first part go back
            // with the rest of the line on undo; padding with blanks would turn tabs into blanks.
            right.insert(0, left.substr(LineText(lineNumber).size()));
            newCaret = MakeBufferCoord(static_cast<int>(indent.size()) + 1, lineNumber + 1);
        }
        // why: the end is where the caret went, so that redo runs the same command again: a
        // line inserted with the caret left in place gets no indentation beyond the line end.
        FUndoList->RecordChange(TSrcUndoReason::urLineBreak, caret, moveCaret ? newCaret : caret, right,
                                TSrcSelectionMode::smNormal);
        // The new line came before the caret line or after it; marks below it move down.
        AdjustMarksForInsertedLines(atStart ? lineNumber : lineNumber + 1, 1);
        if (moveCaret)
            MoveCaret(newCaret);
        SetSelectionStart(FCaret);
        ScrollCaretIntoView();
        RememberCaretColumn();
    });
}
