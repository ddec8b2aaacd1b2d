#pragma once
// What the editor's implementation files share: small text helpers, and the brackets they run
// changes in (a line-store update, the paint lock, an undo block, the temporary past-end mode and
// a stretch without trailing-blank trimming), each of which closes on the normal path and also
// when the body raises.

#include "SrcEdit/Source/view/SrcEdit.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

// The 1-based character index that shows at a 1-based display column of a line: every column of
// a tab maps to the tab, the second column of a wide character past it, columns beyond the end
// to virtual positions one per column.
int SrcEditColumnToCharIndex(std::string_view text, int column, int tabWidth);

// The 1-based index itself, or the start of the next character when it lies inside a UTF-8
// sequence (an index beyond the text stays as it is).
int SrcEditCharStartAtOrAfter(std::string_view text, int index);

// The pieces of a text between its line breaks (CR LF, CR or LF); one piece without a break.
std::vector<std::string> SrcEditSplitLines(std::string_view text);

// The text without trailing blanks and tabs.
std::string SrcEditTrimTrailing(std::string_view text);

// A blank or a tab: what indentation, word breaks and trimming count as blank.
constexpr bool SrcEditIsBlank(char c)
{
    return c == ' ' || c == '\t';
}

// True when the text holds nothing but blanks and tabs (also when it is empty).
inline bool SrcEditBlanksOnly(std::string_view text)
{
    return std::all_of(text.begin(), text.end(), SrcEditIsBlank);
}

// Runs `body` inside one update of the line store, so that its changes repaint once; the update
// closes also when the body raises.
template <class F>
void WithLinesUpdate(TStrings& lines, F&& body)
{
    lines.BeginUpdate();
    try {
        body();
    } catch (...) {
        lines.EndUpdate();
        throw;
    }
    lines.EndUpdate();
}

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

template <class F>
void TCustomSrcEdit::WithoutTrailingTrim(F&& body)
{
    const bool wasOn = FOptions.Contains(eoTrimTrailingSpaces);
    if (wasOn)
        FOptions.Exclude(eoTrimTrailingSpaces);
    try {
        body();
    } catch (...) {
        if (wasOn)
            FOptions.Include(eoTrimTrailingSpaces);
        throw;
    }
    if (wasOn)
        FOptions.Include(eoTrimTrailingSpaces);
}
