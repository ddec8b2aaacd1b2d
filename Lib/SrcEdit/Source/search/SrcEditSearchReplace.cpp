// The editor's search and replace: finding the next or previous occurrence through the search
// engine line by line, and replacing one, all or prompted occurrences in the whole text, from
// the caret or inside the selection.

#include "SrcEdit/Source/view/SrcEdit.h"

#include "SrcEdit/Source/view/SrcEditScopes.h"

#include <algorithm>
#include <utility>

namespace {

// The part of the text a search covers and how its ends bound a match.
struct TSearchRange {
    TBufferCoord Start;
    TBufferCoord End;
    bool SelectionOnly;
    TSrcSelectionMode Mode;

    bool ColumnBlock() const { return SelectionOnly && Mode == TSrcSelectionMode::smColumn; }

    bool Contains(int line, int first, int last) const
    {
        if (SelectionOnly && Mode == TSrcSelectionMode::smLine)
            return true;
        if (SelectionOnly && Mode == TSrcSelectionMode::smColumn)
            return (first >= Start.CharIndex && last <= End.CharIndex) || End.CharIndex - Start.CharIndex < 1;
        const bool beforeStart = line == Start.LineNumber && first < Start.CharIndex;
        const bool afterEnd = line == End.LineNumber && last > End.CharIndex;
        return !beforeStart && !afterEnd;
    }
};

} // namespace

int TCustomSrcEdit::FindAndReplace(const std::string& search, const std::string& replace, TSrcEditSearchFlags options)
{
    if (!FSearchEngine)
        throw ESrcEditError("No search engine has been assigned");
    if (search.empty())
        return 0;
    const bool replacing = options.Contains(sfReplace) || options.Contains(sfReplaceAll);
    // why: a read-only text (the browser's page source) must not change through a replacement
    // either; the caller learns of the refusal from the count 0.
    if (replacing && ReadOnly())
        return 0;
    if (!HasSelection())
        options.Exclude(sfSelectionOnly);

    const bool backwards = options.Contains(sfBackwards);
    bool prompt = options.Contains(sfPromptReplace);
    bool replaceAll = options.Contains(sfReplaceAll);
    TSearchRange range{MakeBufferCoord(1, 1), MakeBufferCoord(1, 1), options.Contains(sfSelectionOnly),
                       FActiveSelectionMode};
    if (range.SelectionOnly) {
        range.Start = GetSelectionStart();
        range.End = GetSelectionEnd();
        if (range.Mode == TSrcSelectionMode::smLine) {
            range.Start.CharIndex = 1;
            range.End.CharIndex = LineLength(range.End.LineNumber) + 1;
        } else if (range.Mode == TSrcSelectionMode::smColumn && range.End.CharIndex < range.Start.CharIndex) {
            std::swap(range.Start.CharIndex, range.End.CharIndex);
        }
    } else {
        range.End = MakeBufferCoord(LineLength(LineCount()) + 1, LineCount());
        if (!options.Contains(sfWholeScope)) {
            if (backwards)
                range.End = FCaret;
            else
                range.Start = FCaret;
        }
    }

    FSearchEngine->ApplyOptions(options);
    FSearchEngine->AssignPattern(search);
    int count = 0;
    int replaceLength = 0;
    bool paintLocked = false;
    bool undoBlockOpen = false;
    FirePaintTransient(TTransientType::ttBefore);
    const auto finish = [&] {
        if (paintLocked) {
            paintLocked = false;
            UnlockPainting();
        }
        if (undoBlockOpen) {
            undoBlockOpen = false;
            EndUndoBlock();
        }
        FirePaintTransient(TTransientType::ttAfter);
    };
    if (replaceAll && !prompt) {
        LockPainting();
        paintLocked = true;
        BeginUndoBlock();
        undoBlockOpen = true;
    }
    try {
        int line = backwards ? range.End.LineNumber : range.Start.LineNumber;
        bool done = false;
        while (!done && line >= range.Start.LineNumber && line <= range.End.LineNumber) {
            int left = FSearchEngine->FindAllInLine(LineText(line));
            int index = backwards ? left - 1 : 0;
            // Where the rest of this line's matches stand now: replacements before them shift them
            // (and one that brings line breaks moves them down to the line where it ends).
            int matchLine = line;
            int shift = 0;
            for (; left > 0 && !done; --left) {
                const int position = FSearchEngine->MatchPosition(index) + shift;
                const int length = FSearchEngine->MatchLength(index);
                index += backwards ? -1 : 1;
                // why: a replacement made on this line may have let trimming take the blanks at
                // its end, and with them a match found before; replacing it would put text into
                // virtual space and record a deletion of nothing.
                if (position + length - 1 > LineLength(matchLine))
                    continue;
                if (!range.Contains(matchLine, position, position + length))
                    continue;
                ++count;
                const TBufferCoord matchStart = MakeBufferCoord(position, matchLine);
                const TBufferCoord matchEnd = MakeBufferCoord(position + length, matchLine);
                SetSelectionStart(matchStart);
                MoveCaretEx(false, MakeBufferCoord(1, matchLine));
                ScrollCaretIntoViewEx(true);
                SetSelectionEnd(matchEnd);
                // why: an occurrence is a run of characters on one line; selected in the line or
                // column mode the editor may be set to, replacing it would replace whole lines or
                // a rectangle instead.
                SetActiveSelectionMode(TSrcSelectionMode::smNormal);
                MoveCaret(backwards ? matchStart : matchEnd);
                if (!options.Contains(sfReplace) && !replaceAll) {
                    done = true;
                    break;
                }
                TSrcReplaceAction action = TSrcReplaceAction::raReplace;
                if (prompt && OnReplaceText) {
                    action = FireReplaceText(search, replace, matchLine, position);
                    if (action == TSrcReplaceAction::raCancel) {
                        done = true;
                        break;
                    }
                }
                if (action == TSrcReplaceAction::raReplaceAll) {
                    if (!paintLocked) {
                        LockPainting();
                        paintLocked = true;
                    }
                    replaceAll = true;
                    prompt = false;
                    if (!undoBlockOpen) {
                        BeginUndoBlock();
                        undoBlockOpen = true;
                    }
                }
                int linesAdded = 0;
                if (action != TSrcReplaceAction::raSkip) {
                    SetSelectedText(FSearchEngine->ReplacementFor(GetSelectedText(), replace));
                    linesAdded = FCaret.LineNumber - matchLine;
                    replaceLength = FCaret.CharIndex - position;
                }
                if (!backwards) {
                    if (action == TSrcReplaceAction::raSkip) {
                        MoveCaret(MakeBufferCoord(position + replaceLength, matchLine));
                    } else if (replaceLength != length || linesAdded != 0) {
                        const int difference = replaceLength - length;
                        shift += difference;
                        const bool onLastLine = matchLine == range.End.LineNumber;
                        if (range.End.LineNumber > matchLine)
                            range.End.LineNumber += linesAdded;
                        // A column range keeps its columns; any other range end moves with the text.
                        if (!range.ColumnBlock() && onLastLine) {
                            range.End.LineNumber += linesAdded;
                            range.End.CharIndex += difference;
                            SetSelectionEnd(range.End);
                            SetActiveSelectionMode(TSrcSelectionMode::smNormal);
                        }
                        matchLine += linesAdded;
                    }
                }
                if (!replaceAll)
                    done = true;
            }
            line = backwards ? line - 1 : matchLine + 1;
        }
    } catch (...) {
        try {
            finish();
        } catch (...) {
            // invariant: the engine's error is the one reported.
        }
        throw;
    }
    finish();
    return count;
}
