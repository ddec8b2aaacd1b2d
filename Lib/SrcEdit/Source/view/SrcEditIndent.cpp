// The editing commands that indent and change case: Tab and Shift+Tab, block indent and
// unindent, and the word and block case commands.

#include "SrcEdit/Source/view/SrcEdit.h"

#include "SrcEdit/Source/view/SrcEditScopes.h"

#include "Platform/core/QtBridge.h"

#include <QString>
#include <algorithm>

namespace {

std::string Join(const std::vector<std::string>& pieces)
{
    std::string out;
    for (size_t i = 0; i < pieces.size(); ++i) {
        if (i > 0)
            out += "\r\n";
        out += pieces[i];
    }
    return out;
}

} // namespace

bool TCustomSrcEdit::TabIndentsSelection() const
{
    if (!HasSelection())
        return false;
    const TBufferCoord s = GetSelectionStart();
    const TBufferCoord e = GetSelectionEnd();
    if (s.LineNumber != e.LineNumber && FActiveSelectionMode != TSrcSelectionMode::smColumn)
        return true;
    return s.CharIndex == 1 && e.LineNumber == FCaret.LineNumber && e.CharIndex > LineLength(FCaret.LineNumber);
}

// ---- Tab

void TCustomSrcEdit::InsertTabAtCaret()
{
    if (ReadOnly())
        return;
    if (FOptions.Contains(eoTabIndent) && TabIndentsSelection()) {
        const bool wholeLine = GetSelectionStart().LineNumber == GetSelectionEnd().LineNumber;
        IndentBlock();
        if (wholeLine) {
            if (FBlockBegin.CharIndex < FBlockEnd.CharIndex)
                FBlockBegin.CharIndex = 1;
            else
                FBlockEnd.CharIndex = 1;
            InvalidateSelectionRows();
        }
        return;
    }
    const int lineNumber = FCaret.LineNumber;
    int caretColumn = CharIndexToColumn(FCaret.CharIndex, FTabWidth, LineText(lineNumber));
    // The smart target: the start of the next word, after the caret's column, on the nearest
    // line above that reaches that column.
    int smartTarget = 0;
    if (FOptions.Contains(eoSmartTabs) && lineNumber > 1) {
        for (int above = lineNumber - 1; above >= 1; --above) {
            const std::string text = LineText(above);
            if (ExpandedTextLength(text, FTabWidth) < caretColumn)
                continue;
            int i = SrcEditColumnToCharIndex(text, caretColumn, FTabWidth) - 1;
            while (i < static_cast<int>(text.size()) && !SrcEditIsBlank(text[static_cast<size_t>(i)]))
                ++i;
            while (i < static_cast<int>(text.size()) && SrcEditIsBlank(text[static_cast<size_t>(i)]))
                ++i;
            smartTarget = CharIndexToColumn(i + 1, FTabWidth, text);
            break;
        }
    }
    int newChar = FCaret.CharIndex;
    WithUndoBlock([&] {
        if (HasSelection()) {
            RecordSelectionDeletion();
            PutSelectionText({});
        }
        const std::string line = LineText(FCaret.LineNumber);
        caretColumn = CharIndexToColumn(FCaret.CharIndex, FTabWidth, line);
        int width = smartTarget > caretColumn ? smartTarget - caretColumn : 0;
        if (width == 0) {
            width = FTabWidth;
            if (FOptions.Contains(eoTabsToSpaces))
                width = FTabWidth - (caretColumn - 1) % FTabWidth;
        }
        const int nextStop = ((caretColumn - 1) / FTabWidth + 1) * FTabWidth + 1;
        std::string text;
        newChar = FCaret.CharIndex;
        if (FOptions.Contains(eoTabsToSpaces)) {
            text.assign(static_cast<size_t>(width), ' ');
            newChar += width;
        } else if (FOptions.Contains(eoTrimTrailingSpaces) && FCaret.CharIndex > static_cast<int>(line.size())) {
            // Nothing is written: the caret only moves in virtual space.
            newChar += (smartTarget > caretColumn ? smartTarget : nextStop) - caretColumn;
        } else {
            if (smartTarget > caretColumn) {
                std::string before = line.substr(0, std::min(line.size(), static_cast<size_t>(FCaret.CharIndex - 1)));
                before.erase(std::remove(before.begin(), before.end(), '\t'), before.end());
                if (!SrcEditTrimTrailing(before).empty()) {
                    text = "\t";
                } else {
                    int column = caretColumn;
                    if (smartTarget >= nextStop) {
                        text += '\t';
                        column = nextStop;
                        while (column + FTabWidth <= smartTarget) {
                            text += '\t';
                            column += FTabWidth;
                        }
                    }
                    text.append(static_cast<size_t>(smartTarget - column), ' ');
                }
            } else {
                text = "\t";
            }
            newChar += static_cast<int>(text.size());
            if (FOptions.Contains(eoTrimTrailingSpaces) && SrcEditBlanksOnly(line)) {
                // On a blank line the caret keeps the text's display width, as it will be trimmed.
                int column = caretColumn;
                for (char c : text)
                    column += c == '\t' ? FTabWidth - (column - 1) % FTabWidth : 1;
                newChar = FCaret.CharIndex + column - caretColumn;
            }
        }
        if (!text.empty()) {
            FillCaretLine();
            const TBufferCoord start = FCaret;
            PutSelectionText(text);
            if (FActiveSelectionMode != TSrcSelectionMode::smColumn)
                RecordInsertion(start, FCaret, {});
        }
    });
    WithPastEolMode([&] { MoveCaret(MakeBufferCoord(newChar, lineNumber)); });
    ScrollCaretIntoView();
}

void TCustomSrcEdit::RemoveTabAtCaret()
{
    if (ReadOnly())
        return;
    if (FOptions.Contains(eoTabIndent) && TabIndentsSelection()) {
        UnindentBlock();
        return;
    }
    const int lineNumber = FCaret.LineNumber;
    const std::string line = LineText(lineNumber);
    const int caretChar = FCaret.CharIndex;
    int x = caretChar;
    if (FOptions.Contains(eoSmartTabs) && x > 1 && lineNumber <= LineCount()) {
        for (int above = lineNumber - 1; above >= 1; --above) {
            const std::string text = LineText(above);
            if (static_cast<int>(text.size()) < x - 1)
                continue;
            int pos = x - 1;
            while (pos >= 1 && text[static_cast<size_t>(pos - 1)] == ' ')
                --pos;
            while (pos >= 1 && text[static_cast<size_t>(pos - 1)] != ' ')
                --pos;
            x = std::max(pos + 1, 1);
            break;
        }
    }
    if (x == caretChar) {
        const int stop = FTabWidth * ((caretChar - 2) / FTabWidth) + 1;
        if (static_cast<int>(line.size()) < x - 1)
            x = stop;
        else if (x > stop && line[static_cast<size_t>(x - 2)] == '\t')
            --x;
        else
            while (x > stop && line[static_cast<size_t>(x - 2)] == ' ')
                --x;
    }
    if (x >= caretChar)
        return;
    const int from = std::min(x - 1, static_cast<int>(line.size()));
    const int to = std::min(caretChar - 1, static_cast<int>(line.size()));
    const std::string deleted = from < to ? line.substr(static_cast<size_t>(from), static_cast<size_t>(to - from)) : "";
    WithPastEolMode([&] {
        TBufferCoord start = MakeBufferCoord(x, lineNumber);
        TBufferCoord end = MakeBufferCoord(caretChar, lineNumber);
        std::string recorded = deleted;
        if (!deleted.empty()) {
            std::string text = line;
            text.erase(static_cast<size_t>(from), deleted.size());
            RecordTrimmedTail(lineNumber, std::string_view(line).substr(static_cast<size_t>(to)));
            StoreLine(lineNumber - 1, text);
            // why: what trimming took next to the deleted characters goes back with them on undo.
            int widenedFrom = from;
            int widenedTo = to;
            recorded = WidenStoredDeletion(line, lineNumber, widenedFrom, widenedTo);
            if (widenedFrom < from)
                start.CharIndex = widenedFrom + 1;
            if (widenedTo > to)
                end.CharIndex = widenedTo + 1;
        }
        FUndoList->RecordChange(TSrcUndoReason::urSilentDelete, start, end, recorded, TSrcSelectionMode::smNormal);
        MoveCaret(MakeBufferCoord(x, lineNumber));
    });
}

// ---- block indentation

void TCustomSrcEdit::IndentBlock()
{
    if (ReadOnly() || !HasSelection())
        return;
    const TBufferCoord begin = GetSelectionStart();
    const TBufferCoord end = GetSelectionEnd();
    const TBufferCoord oldCaret = FCaret;
    const int lastLine = end.CharIndex == 1 ? end.LineNumber - 1 : end.LineNumber;
    if (lastLine < begin.LineNumber)
        return;
    const std::string unit =
        FOptions.Contains(eoTabsToSpaces) ? std::string(static_cast<size_t>(FTabWidth), ' ') : "\t";
    const int unitLength = static_cast<int>(unit.size());
    const TSrcSelectionMode mode = FActiveSelectionMode;
    const int column = mode == TSrcSelectionMode::smColumn ? std::min(begin.CharIndex, end.CharIndex) : 1;
    std::vector<std::string> pieces(static_cast<size_t>(lastLine - begin.LineNumber + 1), unit);
    const TBufferCoord shiftedBegin = MakeBufferCoord(begin.CharIndex + unitLength, begin.LineNumber);
    const TBufferCoord shiftedEnd =
        MakeBufferCoord(end.CharIndex == 1 ? 1 : end.CharIndex + unitLength, end.LineNumber);
    WithPaintLock([&] {
        WithUndoBlock([&] {
            WithPastEolMode([&] {
                InsertColumnBlock(MakeBufferCoord(column, begin.LineNumber), MakeBufferCoord(column, lastLine), true,
                                  Join(pieces));
            });
            FUndoList->RecordChange(TSrcUndoReason::urIndent, begin, end, {}, TSrcSelectionMode::smColumn);
            FUndoList->RecordChange(TSrcUndoReason::urIndent, shiftedBegin, shiftedEnd, {},
                                    TSrcSelectionMode::smColumn);
        });
        const bool caretAtEnd = oldCaret == end;
        const TBufferCoord caret = caretAtEnd ? shiftedEnd
                                              : MakeBufferCoord(oldCaret.CharIndex + unitLength, oldCaret.LineNumber);
        InvalidateSelectionRows();
        WithPastEolMode([&] { MoveCaret(caret); });
        FBlockBegin = caretAtEnd ? shiftedBegin : shiftedEnd;
        FBlockEnd = caretAtEnd ? shiftedEnd : shiftedBegin;
        // why: an empty line keeps no indent when trailing blanks are trimmed; without virtual
        // space a selection end left beyond it would make the next edit record text that is
        // not where it went in.
        if (mode != TSrcSelectionMode::smColumn && !FOptions.Contains(eoScrollPastEol)) {
            for (TBufferCoord* p : {&FBlockBegin, &FBlockEnd})
                if (p->LineNumber <= LineCount())
                    p->CharIndex = std::min(p->CharIndex, LineLength(p->LineNumber) + 1);
        }
        FActiveSelectionMode = mode;
        InvalidateSelectionRows();
        FStatusChanges.Include(scSelection);
    });
}

void TCustomSrcEdit::UnindentBlock()
{
    if (ReadOnly() || !HasSelection())
        return;
    const TBufferCoord begin = GetSelectionStart();
    const TBufferCoord end = GetSelectionEnd();
    const TBufferCoord oldCaret = FCaret;
    const int lastLine = end.CharIndex == 1 ? end.LineNumber - 1 : end.LineNumber;
    if (lastLine < begin.LineNumber)
        return;
    const TSrcSelectionMode mode = FActiveSelectionMode;
    const int column = mode == TSrcSelectionMode::smColumn ? std::min(begin.CharIndex, end.CharIndex) : 1;
    std::vector<std::string> pieces;
    bool any = false;
    for (int line = begin.LineNumber; line <= lastLine; ++line) {
        const std::string text = LineText(line);
        std::string prefix;
        size_t i = static_cast<size_t>(column - 1);
        if (i < text.size() && text[i] == '\t') {
            prefix = "\t";
        } else {
            while (i < text.size() && text[i] == ' ' && static_cast<int>(prefix.size()) < FTabWidth)
                prefix += text[i++];
            if (static_cast<int>(prefix.size()) < FTabWidth && i < text.size() && text[i] == '\t')
                prefix += '\t';
        }
        any = any || !prefix.empty();
        pieces.push_back(prefix);
    }
    if (!any)
        return;
    WithPaintLock([&] {
        WithLinesUpdate(*FLines, [&] {
            for (int line = begin.LineNumber; line <= lastLine; ++line) {
                const std::string& prefix = pieces[static_cast<size_t>(line - begin.LineNumber)];
                if (prefix.empty())
                    continue;
                std::string text = LineText(line);
                text.erase(static_cast<size_t>(column - 1), prefix.size());
                FLines->Put(line - 1, text);
            }
        });
        FUndoList->RecordChange(TSrcUndoReason::urUnindent, begin, end, Join(pieces), mode);
        auto lost = [&](int line) {
            if (line < begin.LineNumber || line > lastLine)
                return 0;
            return static_cast<int>(pieces[static_cast<size_t>(line - begin.LineNumber)].size());
        };
        TBufferCoord newBegin = begin;
        TBufferCoord newEnd = end;
        TBufferCoord caret = oldCaret;
        if (mode != TSrcSelectionMode::smColumn) {
            if (caret.CharIndex > 1)
                caret.CharIndex = std::max(1, caret.CharIndex - lost(caret.LineNumber));
            newBegin.CharIndex = std::max(1, newBegin.CharIndex - lost(begin.LineNumber));
            if (end.CharIndex > 1)
                newEnd.CharIndex = std::max(1, newEnd.CharIndex - lost(end.LineNumber));
        }
        InvalidateSelectionRows();
        WithPastEolMode([&] { MoveCaret(caret); });
        const bool caretAtEnd = oldCaret == end;
        FBlockBegin = caretAtEnd ? newBegin : newEnd;
        FBlockEnd = caretAtEnd ? newEnd : newBegin;
        FActiveSelectionMode = mode;
        InvalidateSelectionRows();
        FStatusChanges.Include(scSelection);
    });
}

// ---- case

namespace {

std::string ConvertCase(TSrcEditorCommand command, const std::string& text)
{
    const QString s = QStr(text);
    switch (command) {
    case ecUpperCase:
    case ecUpperCaseBlock:
        return StdStr(s.toUpper());
    case ecLowerCase:
    case ecLowerCaseBlock:
        return StdStr(s.toLower());
    case ecTitleCase:
        return s.isEmpty() ? text : StdStr(s.left(1).toUpper() + s.mid(1).toLower());
    default: {
        QString out;
        for (const QChar c : s) {
            const QChar upper = c.toUpper();
            out += upper == c ? c.toLower() : upper;
        }
        return StdStr(out);
    }
    }
}

} // namespace

void TCustomSrcEdit::ChangeCase(TSrcEditorCommand command)
{
    if (ReadOnly())
        return;
    const bool hadSelection = HasSelection();
    const TBufferCoord oldBegin = FBlockBegin;
    const TBufferCoord oldEnd = FBlockEnd;
    const TBufferCoord oldCaret = FCaret;
    const bool wordCommand = command >= ecUpperCase && command <= ecTitleCase;
    WithPaintLock([&] {
        if (wordCommand) {
            SelectWordAtCaret();
            for (int tries = 0; tries < 2 && GetSelectedText().empty(); ++tries) {
                MoveCaret(PreviousWordStartAtCaret());
                SelectWordAtCaret();
            }
        } else if (!hadSelection) {
            if (FCaret.CharIndex > LineLength(FCaret.LineNumber)) {
                MoveCaret(MakeBufferCoord(1, FCaret.LineNumber + 1));
                return;
            }
            MoveCaretHorizontally(1, true);
        }
        const std::string text = GetSelectedText();
        if (!text.empty()) {
            const std::string converted = ConvertCase(command, text);
            WithUndoBlock([&] {
                FUndoList->RecordChange(
                    TSrcUndoReason::urSelection, hadSelection ? EarlierCoord(oldBegin, oldEnd) : oldCaret,
                    hadSelection ? (EarlierCoord(oldBegin, oldEnd) == oldBegin ? oldEnd : oldBegin) : oldCaret, {},
                    FActiveSelectionMode);
                FUndoList->RecordChange(TSrcUndoReason::urCaret, oldCaret, oldCaret, {}, FActiveSelectionMode);
                SetSelectedText(converted);
            });
        }
        if (!wordCommand && hadSelection) {
            MoveCaret(oldCaret);
            FBlockBegin = oldBegin;
            FBlockEnd = oldEnd;
            InvalidateSelectionRows();
        } else if (wordCommand) {
            SetCaretCoord(oldCaret);
        }
    });
}
