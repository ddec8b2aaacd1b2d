#pragma once
// Brackets the editor's implementation files run changes in: the paint lock, an undo block and
// the temporary past-end mode. Each closes on the normal path and, quietly, when the body raises.

#include "SrcEdit.h"

#include <string>
#include <string_view>
#include <vector>

// The 1-based character index that shows at a 1-based display column of a line: every column of
// a tab maps to the tab, the second column of a wide character past it, columns beyond the end
// to virtual positions one per column.
int SrcEditColumnToCharIndex(std::string_view text, int column, int tabWidth);

// The pieces of a text between its line breaks (CR LF, CR or LF); one piece without a break.
std::vector<std::string> SrcEditSplitLines(std::string_view text);

// The text without trailing blanks and tabs.
std::string SrcEditTrimTrailing(std::string_view text);

template <class F>
void TCustomSrcEdit::WithPaintLock(F&& body)
{
    LockPainting();
    try {
        body();
    } catch (...) {
        // why: an exception leaves the pending updates for the next unlock to deliver.
        AbandonPaintLock();
        throw;
    }
    UnlockPainting();
}

template <class F>
void TCustomSrcEdit::WithUndoBlock(F&& body)
{
    BeginUndoBlock();
    try {
        body();
    } catch (...) {
        try {
            EndUndoBlock();
        } catch (...) {
            // invariant: the first error is the one reported.
        }
        throw;
    }
    EndUndoBlock();
}

template <class F>
void TCustomSrcEdit::WithPastEolMode(F&& body)
{
    const bool wasOff = !FOptions.Contains(eoScrollPastEol);
    if (wasOff)
        FOptions.Include(eoScrollPastEol);
    try {
        body();
    } catch (...) {
        if (wasOff)
            FOptions.Exclude(eoScrollPastEol);
        throw;
    }
    if (wasOff)
        FOptions.Exclude(eoScrollPastEol);
}
