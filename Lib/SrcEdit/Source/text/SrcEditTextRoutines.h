#pragma once
// Free text routines of the editor: tab expansion and column arithmetic, character-set scans
// that never split a multi-byte character, line ends, slash escaping, double-byte character
// classes, highlighter naming and the gutter's gradient painter.
//
// Text is bytes in UTF-8. Character indexes are 1-based byte positions; columns are display
// columns (a wide East Asian character takes two, any other character or invalid byte one).

#include "SrcEdit/Source/text/SrcEditTypes.h"

#include "Platform/graphics/Colors.h"
#include "Platform/core/Types.h"

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

class TCanvas;
class TObject;
class TSrcCustomHighlighter;
class TSrcHighlighterAttributes;

// Expands the tabs of a text for tab width W (used by printing).
using TTabExpander = std::string (*)(std::string_view text, int tabWidth);
// The same, also telling whether the text held a tab (used by the line store).
using TLineTabExpander = std::string (*)(std::string_view text, int tabWidth, bool& hasTabs);

// W <= 1: each tab becomes one space. Otherwise a tab becomes tab characters up to the next
// multiple of W, counted in display columns. Text without a tab comes back unchanged.
TTabExpander SelectTabExpander(int tabWidth);
TLineTabExpander SelectLineTabExpander(int tabWidth);

// Whether the text holds a tab; charsBefore is the number of bytes before the first one (the
// whole length when there is none).
bool FindFirstTab(std::string_view text, int& charsBefore);

// Display columns of a text with tabs advancing to the next multiple of W (W <= 1: one column).
int ExpandedTextLength(std::string_view text, int tabWidth);

// 1-based display column of the 1-based character index in a line; positions beyond the end
// count one column each, and a position inside a multi-byte character gets its character's column.
int CharIndexToColumn(int index, int tabWidth, std::string_view line);

constexpr int ClampToRange(int value, int low, int high)
{
    return value > high ? high : (value < low ? low : value);
}

// The earlier of two positions (line first, then character); A when equal.
constexpr TBufferCoord EarlierCoord(TBufferCoord a, TBufferCoord b)
{
    if (b.LineNumber < a.LineNumber || (b.LineNumber == a.LineNumber && b.CharIndex < a.CharIndex))
        return b;
    return a;
}

// Scans for single-byte characters in `set`; multi-byte characters are stepped over whole and
// never tested. Results and indexes are 1-based; 0 means none or an index outside the text.
int ScanForCharInSet(std::string_view text, int index, const TSrcCharSet& set);
int ReverseScanForCharInSet(std::string_view text, int index, const TSrcCharSet& set);
// The first character of two or more bytes at or after `index` (after it when `index` lies
// inside a character), and the last one that starts at or before `index`.
int ScanForLeadByte(std::string_view text, int index);
int ReverseScanForLeadByte(std::string_view text, int index);

// 0-based position of the first CR, LF or NUL; the length when there is none; npos for no text.
size_t FindLineEnd(std::string_view text);

// Backslash -> two backslashes, "/" -> backslash + "."; Unescape reverses it, turning a
// backslash before any other character (or at the end) into "/".
std::string EscapeSlashes(std::string_view text);
std::string UnescapeSlashes(std::string_view text);

// Character-type-3 flags as the double-byte classification reports them.
enum : unsigned {
    C3_SYMBOL = 0x0008,
    C3_KATAKANA = 0x0010,
    C3_HIRAGANA = 0x0020,
    C3_HALFWIDTH = 0x0040,
    C3_FULLWIDTH = 0x0080,
    C3_IDEOGRAPH = 0x0100,
    C3_LEXICAL = 0x0400,
    C3_ALPHA = 0x8000,
};
// Word-boundary class (0..9) of a character from its type-3 flags.
int DoubleByteCharClass(unsigned flags);

// "TSrcPHPSyn" -> "PHP", "TMySyn" -> "My": drops a leading "TSrc" or "T" and a trailing "syn".
std::string HighlighterShortName(std::string_view className);
// 1 + the number of highlighters of the same class before `highlighter` in `visited`.
int HighlighterOrdinal(const TObject* highlighter, const std::vector<const TObject*>& visited);

// Receives each attribute under its unique name ("PHP1.Comment"); false ends the walk.
using TSrcAttributeCallback = std::function<bool(TSrcCustomHighlighter* highlighter, TSrcHighlighterAttributes* attribute,
                                                 const std::string& uniqueName)>;
// Walks every attribute of a highlighter in index order. A highlighter met again is skipped
// with skipDuplicates, else walked again. Returns the last callback result: false when a
// callback stopped the walk or there is no highlighter or no callback.
bool ForEachHighlighterAttribute(TSrcCustomHighlighter* highlighter, bool skipDuplicates,
                                 const TSrcAttributeCallback& callback);

// Fills `rect` with Steps bands (clamped to 2..256) from the start to the end colour.
void PaintGradient(TCanvas& canvas, TColor startColor, TColor endColor, bool horizontal, const TRect& rect, int steps);
