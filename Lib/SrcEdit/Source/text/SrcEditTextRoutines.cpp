// Free text routines of the editor.

#include "SrcEdit/Source/text/SrcEditTextRoutines.h"

#include "SrcEdit/Source/highlighters/SrcEditHighlighter.h"
#include "SrcEdit/Source/highlighters/SrcEditHighlighterMulti.h"

#include "Platform/graphics/Canvas.h"
#include "Platform/core/Component.h"
#include "Platform/text/TextChars.h"
#include "Platform/text/TextUtils.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <typeinfo>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

bool HasTab(std::string_view text)
{
    return !text.empty() && std::memchr(text.data(), '\t', text.size()) != nullptr;
}

// Columns from `column` (0-based) to the next tab stop; the mask variant needs a power of two.
struct MaskStop {
    static int Width(int column, int tabWidth) { return tabWidth - (column & (tabWidth - 1)); }
};
struct RemainderStop {
    static int Width(int column, int tabWidth) { return tabWidth - column % tabWidth; }
};

template <typename Stop>
std::string PadTabs(std::string_view text, int tabWidth)
{
    std::string out;
    out.reserve(text.size() + static_cast<size_t>(tabWidth));
    int column = 0;
    for (size_t i = 0; i < text.size();) {
        if (text[i] == '\t') {
            const int n = Stop::Width(column, tabWidth);
            out.append(static_cast<size_t>(n), '\t');
            column += n;
            ++i;
            continue;
        }
        const auto len = static_cast<size_t>(TextChars::CharLength(text, i));
        column += TextChars::CharColumns(text, i);
        out.append(text.substr(i, len));
        i += len;
    }
    return out;
}

std::string TabsToSpaces(std::string_view text, int)
{
    std::string out(text);
    std::replace(out.begin(), out.end(), '\t', ' ');
    return out;
}

template <typename Stop>
std::string ExpandPadded(std::string_view text, int tabWidth)
{
    return HasTab(text) ? PadTabs<Stop>(text, tabWidth) : std::string(text);
}

std::string ExpandSpaced(std::string_view text, int tabWidth)
{
    return HasTab(text) ? TabsToSpaces(text, tabWidth) : std::string(text);
}

template <typename Stop>
std::string ExpandLinePadded(std::string_view text, int tabWidth, bool& hasTabs)
{
    hasTabs = HasTab(text);
    return hasTabs ? PadTabs<Stop>(text, tabWidth) : std::string(text);
}

std::string ExpandLineSpaced(std::string_view text, int tabWidth, bool& hasTabs)
{
    hasTabs = HasTab(text);
    return hasTabs ? TabsToSpaces(text, tabWidth) : std::string(text);
}

// Length of the run of 16-byte groups from `from` that hold neither a tab nor a byte above 127
// (each such byte is one column).
size_t PlainAsciiRun(std::string_view text, size_t from)
{
    size_t i = from;
#if defined(__SSE2__)
    const __m128i tab = _mm_set1_epi8('\t');
    while (i + 16 <= text.size()) {
        const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + i));
        if (_mm_movemask_epi8(_mm_or_si128(chunk, _mm_cmpeq_epi8(chunk, tab))) != 0)
            break;
        i += 16;
    }
#endif
    return i - from;
}

bool IsPowerOfTwo(int value)
{
    return value > 0 && (value & (value - 1)) == 0;
}

// Start of the first character at or after the 0-based byte `pos` (skips a partial character).
size_t CharBoundaryAtOrAfter(std::string_view text, size_t pos)
{
    if (!TextChars::IsTrailByte(text, pos))
        return pos;
    const size_t start = TextChars::CharStart(text, pos);
    return start + static_cast<size_t>(TextChars::CharLength(text, start));
}

bool InText(std::string_view text, int index)
{
    return index >= 1 && static_cast<size_t>(index) <= text.size();
}

} // namespace

TTabExpander SelectTabExpander(int tabWidth)
{
    if (tabWidth <= 1)
        return &ExpandSpaced;
    if (IsPowerOfTwo(tabWidth) && tabWidth <= 65536)
        return &ExpandPadded<MaskStop>;
    return &ExpandPadded<RemainderStop>;
}

TLineTabExpander SelectLineTabExpander(int tabWidth)
{
    if (tabWidth <= 1)
        return &ExpandLineSpaced;
    if (IsPowerOfTwo(tabWidth) && tabWidth <= 65536)
        return &ExpandLinePadded<MaskStop>;
    return &ExpandLinePadded<RemainderStop>;
}

bool FindFirstTab(std::string_view text, int& charsBefore)
{
    const size_t tab = text.find('\t');
    charsBefore = static_cast<int>(tab == std::string_view::npos ? text.size() : tab);
    return tab != std::string_view::npos;
}

int ExpandedTextLength(std::string_view text, int tabWidth)
{
    // why: a width of 0 or less would divide by zero; such a tab takes one column like width 1.
    const int width = std::max(tabWidth, 1);
    int column = 0;
    for (size_t i = 0; i < text.size();) {
        const size_t plain = PlainAsciiRun(text, i);
        if (plain > 0) {
            column += static_cast<int>(plain);
            i += plain;
            continue;
        }
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == '\t') {
            column += width - column % width;
            ++i;
        } else if (c < 0x80) {
            ++column;
            ++i;
        } else {
            column += TextChars::CharColumns(text, i);
            i += static_cast<size_t>(TextChars::CharLength(text, i));
        }
    }
    return column;
}

int CharIndexToColumn(int index, int tabWidth, std::string_view line)
{
    if (index < 2)
        return 1;
    const int width = std::max(tabWidth, 1);
    const size_t target = static_cast<size_t>(index) - 1; // bytes before the position
    const size_t end = std::min(target, line.size());
    int column = 0;
    size_t pos = 0;
    while (pos < end) {
        if (line[pos] == '\t') {
            column += width - column % width;
            ++pos;
            continue;
        }
        const auto len = static_cast<size_t>(TextChars::CharLength(line, pos));
        if (pos + len > target)
            break; // the position lies inside this character
        column += TextChars::CharColumns(line, pos);
        pos += len;
    }
    if (target > line.size())
        column += static_cast<int>(target - line.size());
    return column + 1;
}

int ScanForCharInSet(std::string_view text, int index, const TSrcCharSet& set)
{
    if (!InText(text, index))
        return 0;
    for (size_t pos = CharBoundaryAtOrAfter(text, static_cast<size_t>(index) - 1); pos < text.size();) {
        const int len = TextChars::CharLength(text, pos);
        if (len == 1 && set.test(static_cast<unsigned char>(text[pos])))
            return static_cast<int>(pos) + 1;
        pos += static_cast<size_t>(len);
    }
    return 0;
}

int ReverseScanForCharInSet(std::string_view text, int index, const TSrcCharSet& set)
{
    if (!InText(text, index))
        return 0;
    int found = 0;
    for (size_t pos = 0; pos < static_cast<size_t>(index);) {
        const int len = TextChars::CharLength(text, pos);
        if (len == 1 && set.test(static_cast<unsigned char>(text[pos])))
            found = static_cast<int>(pos) + 1;
        pos += static_cast<size_t>(len);
    }
    return found;
}

int ScanForLeadByte(std::string_view text, int index)
{
    if (!InText(text, index))
        return 0;
    for (size_t pos = CharBoundaryAtOrAfter(text, static_cast<size_t>(index) - 1); pos < text.size();) {
        const int len = TextChars::CharLength(text, pos);
        if (len > 1)
            return static_cast<int>(pos) + 1;
        pos += static_cast<size_t>(len);
    }
    return 0;
}

int ReverseScanForLeadByte(std::string_view text, int index)
{
    if (!InText(text, index))
        return 0;
    int found = 0;
    for (size_t pos = 0; pos < static_cast<size_t>(index);) {
        const int len = TextChars::CharLength(text, pos);
        if (len > 1)
            found = static_cast<int>(pos) + 1;
        pos += static_cast<size_t>(len);
    }
    return found;
}

size_t FindLineEnd(std::string_view text)
{
    if (text.empty())
        return std::string_view::npos;
    const size_t pos = text.find_first_of(std::string_view("\r\n\0", 3));
    return pos == std::string_view::npos ? text.size() : pos;
}

std::string EscapeSlashes(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        if (c == '\\')
            out += "\\\\";
        else if (c == '/')
            out += "\\.";
        else
            out += c;
    }
    return out;
}

std::string UnescapeSlashes(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            out += text[i];
        } else if (i + 1 < text.size() && text[i + 1] == '\\') {
            out += '\\';
            ++i;
        } else {
            out += '/';
            ++i; // the escaped character is dropped
        }
    }
    return out;
}

int DoubleByteCharClass(unsigned flags)
{
    if (flags == C3_SYMBOL)
        return 9;
    if (flags & C3_HALFWIDTH) {
        if (flags == C3_HALFWIDTH || flags == (C3_HALFWIDTH | C3_ALPHA))
            return 1;
        if (flags & (C3_SYMBOL | C3_LEXICAL))
            return 2;
        if (flags & C3_KATAKANA)
            return 3;
        return 0;
    }
    if (flags == C3_FULLWIDTH || flags == (C3_FULLWIDTH | C3_ALPHA))
        return 4;
    if (flags & (C3_SYMBOL | C3_LEXICAL))
        return 5;
    if (flags & C3_KATAKANA)
        return 6;
    if (flags & C3_HIRAGANA)
        return 7;
    if (flags & C3_IDEOGRAPH)
        return 8;
    return 0;
}

std::string HighlighterShortName(std::string_view className)
{
    if (StartsText("TSrc", className))
        className.remove_prefix(4);
    else if (StartsText("T", className))
        className.remove_prefix(1);
    if (EndsText("syn", className))
        className.remove_suffix(3);
    return std::string(className);
}

int HighlighterOrdinal(const TObject* highlighter, const std::vector<const TObject*>& visited)
{
    int ordinal = 1;
    for (const TObject* other : visited) {
        if (other == highlighter)
            break;
        if (other && highlighter && typeid(*other) == typeid(*highlighter))
            ++ordinal;
    }
    return ordinal;
}

namespace {

class TAttributeWalk {
public:
    TAttributeWalk(bool skipDuplicates, const TSrcAttributeCallback& callback)
        : FSkipDuplicates(skipDuplicates), FCallback(callback)
    {
    }

    bool Visit(TSrcCustomHighlighter* highlighter)
    {
        if (!highlighter) // a multi-language highlighter's empty slot
            return true;
        if (FSkipDuplicates && std::find(FVisited.begin(), FVisited.end(), highlighter) != FVisited.end())
            return true;
        FVisited.push_back(highlighter);
        const std::string prefix = HighlighterShortName(highlighter->HighlighterClass().ClassName) +
                                   std::to_string(HighlighterOrdinal(highlighter, FVisited)) + ".";
        // why: a multi-language highlighter lists its nested highlighters' attributes as its own;
        // named after it they would not be unique, so each is named after its own highlighter.
        if (auto* multi = dynamic_cast<TSrcMultiSyn*>(highlighter))
            return VisitSchemes(*multi, prefix);
        bool result = true;
        for (int i = 0; i < highlighter->AttriCount() && result; ++i) {
            TSrcHighlighterAttributes* attribute = highlighter->AttriByIndex(i);
            result = FCallback(highlighter, attribute, prefix + attribute->Name());
        }
        return result;
    }

private:
    bool VisitSchemes(TSrcMultiSyn& multi, const std::string& prefix)
    {
        if (!Visit(multi.DefaultHighlighter()))
            return false;
        for (int i = 0; i < multi.Schemes().Count(); ++i) {
            const TScheme* scheme = multi.Schemes().SchemeAt(i);
            TSrcHighlighterAttributes* marker = scheme->MarkerAttri();
            if (!FCallback(&multi, marker, prefix + marker->Name() + std::to_string(i + 1)))
                return false;
            if (!Visit(scheme->Highlighter()))
                return false;
        }
        return true;
    }

    bool FSkipDuplicates;
    const TSrcAttributeCallback& FCallback;
    std::vector<const TObject*> FVisited;
};

} // namespace

bool ForEachHighlighterAttribute(TSrcCustomHighlighter* highlighter, bool skipDuplicates,
                                 const TSrcAttributeCallback& callback)
{
    if (!highlighter || !callback)
        return false;
    TAttributeWalk walk(skipDuplicates, callback);
    return walk.Visit(highlighter);
}

void PaintGradient(TCanvas& canvas, TColor startColor, TColor endColor, bool horizontal, const TRect& rect, int steps)
{
    steps = ClampToRange(steps, 2, 256);
    const TColor start = ColorToRGB(startColor);
    const TColor end = ColorToRGB(endColor);
    const int size = horizontal ? rect.Width() : rect.Height();
    const int dr = GetRValue(end) - GetRValue(start);
    const int dg = GetGValue(end) - GetGValue(start);
    const int db = GetBValue(end) - GetBValue(start);
    for (int i = 0; i < steps; ++i) {
        const int from = MulDiv(i, size, steps);
        const int to = MulDiv(i + 1, size, steps);
        TRect band = rect;
        if (horizontal) {
            band.Left = rect.Left + from;
            band.Right = rect.Left + to;
        } else {
            band.Top = rect.Top + from;
            band.Bottom = rect.Top + to;
        }
        canvas.Brush().SetStyle(TBrushStyle::bsSolid);
        canvas.Brush().SetColor(RGBColor(GetRValue(start) + MulDiv(i, dr, steps - 1),
                                         GetGValue(start) + MulDiv(i, dg, steps - 1),
                                         GetBValue(start) + MulDiv(i, db, steps - 1)));
        canvas.FillRect(band);
    }
}
