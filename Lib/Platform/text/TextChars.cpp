#include "Platform/text/TextChars.h"

#include <algorithm>
#include <iterator>

namespace TextChars {

namespace {

// Length of a valid sequence starting at `index`, or 1 for an invalid byte.
int SequenceLength(std::string_view text, size_t index, char32_t* codePoint)
{
    const auto b0 = static_cast<unsigned char>(text[index]);
    if (b0 < 0x80) {
        if (codePoint)
            *codePoint = b0;
        return 1;
    }
    int need;
    char32_t cp;
    char32_t min;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        need = 1;
        cp = b0 & 0x1F;
        min = 0x80;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        need = 2;
        cp = b0 & 0x0F;
        min = 0x800;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        need = 3;
        cp = b0 & 0x07;
        min = 0x10000;
    } else {
        if (codePoint)
            *codePoint = 0xFFFD;
        return 1;
    }
    if (text.size() - index <= static_cast<size_t>(need)) {
        if (codePoint)
            *codePoint = 0xFFFD;
        return 1;
    }
    for (int k = 1; k <= need; ++k) {
        const auto b = static_cast<unsigned char>(text[index + static_cast<size_t>(k)]);
        if ((b & 0xC0) != 0x80) {
            if (codePoint)
                *codePoint = 0xFFFD;
            return 1;
        }
        cp = (cp << 6) | (b & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        if (codePoint)
            *codePoint = 0xFFFD;
        return 1;
    }
    if (codePoint)
        *codePoint = cp;
    return need + 1;
}

struct Range {
    char32_t first, last;
};

// East Asian Wide and Fullwidth blocks.
constexpr Range WideRanges[] = {
    {0x1100, 0x115F},   {0x231A, 0x231B},   {0x2329, 0x232A},   {0x23E9, 0x23EC},   {0x23F0, 0x23F0},
    {0x23F3, 0x23F3},   {0x25FD, 0x25FE},   {0x2614, 0x2615},   {0x2648, 0x2653},   {0x267F, 0x267F},
    {0x2693, 0x2693},   {0x26A1, 0x26A1},   {0x26AA, 0x26AB},   {0x26BD, 0x26BE},   {0x26C4, 0x26C5},
    {0x26CE, 0x26CE},   {0x26D4, 0x26D4},   {0x26EA, 0x26EA},   {0x26F2, 0x26F3},   {0x26F5, 0x26F5},
    {0x26FA, 0x26FA},   {0x26FD, 0x26FD},   {0x2705, 0x2705},   {0x270A, 0x270B},   {0x2728, 0x2728},
    {0x274C, 0x274C},   {0x274E, 0x274E},   {0x2753, 0x2755},   {0x2757, 0x2757},   {0x2795, 0x2797},
    {0x27B0, 0x27B0},   {0x27BF, 0x27BF},   {0x2B1B, 0x2B1C},   {0x2B50, 0x2B50},   {0x2B55, 0x2B55},
    {0x2E80, 0x303E},   {0x3041, 0x33FF},   {0x3400, 0x4DBF},   {0x4E00, 0x9FFF},   {0xA000, 0xA4CF},
    {0xA960, 0xA97F},   {0xAC00, 0xD7A3},   {0xF900, 0xFAFF},   {0xFE10, 0xFE19},   {0xFE30, 0xFE6F},
    {0xFF00, 0xFF60},   {0xFFE0, 0xFFE6},   {0x16FE0, 0x16FE4}, {0x17000, 0x18CFF}, {0x1B000, 0x1B2FF},
    {0x1F004, 0x1F004}, {0x1F0CF, 0x1F0CF}, {0x1F18E, 0x1F18E}, {0x1F191, 0x1F19A}, {0x1F200, 0x1F251},
    {0x1F300, 0x1F64F}, {0x1F680, 0x1F6FF}, {0x1F7E0, 0x1F7EB}, {0x1F90C, 0x1F9FF}, {0x1FA70, 0x1FAFF},
    {0x20000, 0x2FFFD}, {0x30000, 0x3FFFD},
};

} // namespace

bool IsWideCodePoint(char32_t cp)
{
    const auto it = std::upper_bound(std::begin(WideRanges), std::end(WideRanges), cp,
                                     [](char32_t v, const Range& r) { return v < r.first; });
    return it != std::begin(WideRanges) && cp <= std::prev(it)->last;
}

int CharLength(std::string_view text, size_t index)
{
    if (index >= text.size())
        return 0;
    return SequenceLength(text, index, nullptr);
}

int CharColumns(std::string_view text, size_t index)
{
    if (index >= text.size())
        return 0;
    char32_t cp = 0;
    SequenceLength(text, index, &cp);
    return IsWideCodePoint(cp) ? 2 : 1;
}

size_t TextColumns(std::string_view text)
{
    size_t columns = 0;
    for (size_t i = 0; i < text.size();) {
        char32_t cp = 0;
        i += static_cast<size_t>(SequenceLength(text, i, &cp));
        columns += IsWideCodePoint(cp) ? 2 : 1;
    }
    return columns;
}

size_t CharStart(std::string_view text, size_t index)
{
    if (index >= text.size() || (static_cast<unsigned char>(text[index]) & 0xC0) != 0x80)
        return index;
    // A character is at most 4 bytes: look back at most 3 bytes for a sequence covering `index`.
    for (size_t back = 1; back <= 3 && back <= index; ++back) {
        const size_t start = index - back;
        const auto b = static_cast<unsigned char>(text[start]);
        if ((b & 0xC0) == 0x80)
            continue;
        return SequenceLength(text, start, nullptr) > static_cast<int>(back) ? start : index;
    }
    return index;
}

bool IsTrailByte(std::string_view text, size_t index)
{
    return index < text.size() && CharStart(text, index) != index;
}

bool IsLeadByte(std::string_view text, size_t index)
{
    return CharLength(text, index) > 1;
}

size_t PrevCharStart(std::string_view text, size_t index)
{
    if (index == 0)
        return 0;
    if (index > text.size())
        return text.size() == 0 ? 0 : CharStart(text, text.size() - 1);
    return CharStart(text, index - 1);
}

size_t NextCharStart(std::string_view text, size_t index)
{
    if (index >= text.size())
        return text.size();
    return index + static_cast<size_t>(SequenceLength(text, index, nullptr));
}

char32_t Decode(std::string_view text, size_t index, int* length)
{
    if (index >= text.size()) {
        if (length)
            *length = 0;
        return 0;
    }
    char32_t cp = 0;
    const int n = SequenceLength(text, index, &cp);
    if (length)
        *length = n;
    return cp;
}

std::string Encode(char32_t cp)
{
    std::string s;
    if (cp < 0x80) {
        s += static_cast<char>(cp);
    } else if (cp < 0x800) {
        s += static_cast<char>(0xC0 | (cp >> 6));
        s += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        if (cp >= 0xD800 && cp <= 0xDFFF)
            return Encode(0xFFFD);
        s += static_cast<char>(0xE0 | (cp >> 12));
        s += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        s += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp <= 0x10FFFF) {
        s += static_cast<char>(0xF0 | (cp >> 18));
        s += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        s += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        s += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        return Encode(0xFFFD);
    }
    return s;
}

} // namespace TextChars
