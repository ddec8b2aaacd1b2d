// The plain-text search engine.

#include "SrcEdit/Source/search/SrcEditSearch.h"

#include "Platform/core/Exceptions.h"
#include "Platform/text/TextChars.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

TSrcEditSearch::TSrcEditSearch(TComponent* AOwner) : TSrcEditSearchCustom(AOwner)
{
    BuildTranslation();
}

std::string TSrcEditSearch::ReadPattern() const
{
    return FPattern;
}

void TSrcEditSearch::AssignPattern(const std::string& text)
{
    if (text != FPattern) {
        FPattern = text;
        FSkipValid = false;
    }
    FPositions.clear();
}

int TSrcEditSearch::MatchLength(int) const
{
    return static_cast<int>(FPattern.size());
}

int TSrcEditSearch::MatchPosition(int index) const
{
    if (index < 0 || index >= MatchCount())
        return 0;
    return FPositions[static_cast<size_t>(index)];
}

int TSrcEditSearch::MatchCount() const
{
    return static_cast<int>(FPositions.size());
}

void TSrcEditSearch::ApplyOptions(TSrcEditSearchFlags options)
{
    const bool matchCase = options.Contains(sfMatchCase);
    if (matchCase != FMatchCase) {
        FMatchCase = matchCase;
        BuildTranslation();
        FSkipValid = false;
    }
    FWholeWord = options.Contains(sfWholeWord);
}

std::string TSrcEditSearch::ReplacementFor(const std::string&, const std::string& replaceText)
{
    return replaceText;
}

void TSrcEditSearch::BuildTranslation()
{
    for (int c = 0; c < 256; ++c)
        FTranslation[static_cast<size_t>(c)] =
            static_cast<unsigned char>(!FMatchCase && c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
}

void TSrcEditSearch::PrepareSkipData()
{
    if (FSkipValid)
        return;
    if (FPattern.empty())
        throw Exception("Pattern is empty");
    const size_t len = FPattern.size();
    FShift.fill(len + 1);
    // why: later positions overwrite earlier ones, so each byte keeps its last occurrence.
    for (size_t j = 0; j < len; ++j)
        FShift[Translated(FPattern[j])] = len - j;
    const unsigned char last = Translated(FPattern[len - 1]);
    FLookAt = 1;
    while (FLookAt < len && Translated(FPattern[len - 1 - FLookAt]) != last)
        ++FLookAt;
    FSkipValid = true;
}

bool TSrcEditSearch::Acceptable(std::string_view line, size_t start) const
{
    const size_t end = start + FPattern.size();
    if (TextChars::IsTrailByte(line, start) || TextChars::IsTrailByte(line, end))
        return false;
    if (!FWholeWord)
        return true;
    return (start == 0 || !TextChars::IsIdentChar(static_cast<unsigned char>(line[start - 1])))
        && (end == line.size() || !TextChars::IsIdentChar(static_cast<unsigned char>(line[end])));
}

namespace {

// The skip loop, with the case translation compiled away when matching case.
template <bool Fold>
size_t ScanWindows(std::string_view line, size_t pos, std::string_view pattern,
                   const std::array<unsigned char, 256>& translation, const std::array<size_t, 256>& shift,
                   size_t lookAt, const auto& acceptable)
{
    const auto tr = [&](char c) -> unsigned char {
        if constexpr (Fold)
            return translation[static_cast<unsigned char>(c)];
        else
            return static_cast<unsigned char>(c);
    };
    const size_t len = pattern.size();
    const size_t size = line.size();
    const char* text = line.data();
    const unsigned char last = tr(pattern[len - 1]);
    while (pos < size) {
        if (tr(text[pos]) != last) {
            // why: the byte just behind the window decides how far the next window can start;
            // at the line end no further window fits.
            if (pos + 1 >= size)
                break;
            pos += shift[tr(text[pos + 1])];
            continue;
        }
        const size_t start = pos + 1 - len;
        size_t i = 0;
        while (i < len && tr(text[start + i]) == tr(pattern[i]))
            ++i;
        if (i == len && acceptable(start))
            return pos;
        // invariant: no window ending between pos and pos + lookAt can match, as the pattern
        // holds its last byte nowhere in between.
        pos += lookAt;
        if (pos < size)
            pos += shift[tr(text[pos])] - 1;
    }
    return std::string_view::npos;
}

#if defined(__SSE2__)
// Finds candidate windows sixteen at a time: a window can only match where both its first and
// its last byte match the pattern's (letters folded to lower case when ignoring case). Returns
// the start of the first window at or after `start` that matches whole and is acceptable, or
// npos; `tail` receives the first start the vector loop did not examine.
template <bool Fold>
size_t VectorScan(std::string_view line, size_t start, std::string_view pattern,
                  const std::array<unsigned char, 256>& translation, const auto& acceptable, size_t& tail)
{
    const size_t len = pattern.size();
    const char* text = line.data();
    const auto tr = [&](char c) { return translation[static_cast<unsigned char>(c)]; };
    const unsigned char first = tr(pattern[0]);
    const unsigned char last = tr(pattern[len - 1]);
    const bool foldFirst = Fold && first >= 'a' && first <= 'z';
    const bool foldLast = Fold && last >= 'a' && last <= 'z';
    const __m128i firstV = _mm_set1_epi8(static_cast<char>(first));
    const __m128i lastV = _mm_set1_epi8(static_cast<char>(last));
    const __m128i caseBit = _mm_set1_epi8(0x20);
    // why: OR-ing 0x20 folds A-Z onto a-z but also maps other bytes onto letters; a candidate is
    // only a hint, the byte-wise comparison below decides.
    for (; start + len - 1 + 16 <= line.size(); start += 16) {
        __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + start));
        __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + start + len - 1));
        if (foldFirst)
            a = _mm_or_si128(a, caseBit);
        if (foldLast)
            b = _mm_or_si128(b, caseBit);
        unsigned mask = static_cast<unsigned>(
            _mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(a, firstV), _mm_cmpeq_epi8(b, lastV))));
        while (mask != 0) {
            const size_t candidate = start + static_cast<size_t>(__builtin_ctz(mask));
            mask &= mask - 1;
            size_t i = 0;
            while (i < len && tr(text[candidate + i]) == tr(pattern[i]))
                ++i;
            if (i == len && acceptable(candidate))
                return candidate;
        }
    }
    tail = start;
    return std::string_view::npos;
}
#endif

} // namespace

size_t TSrcEditSearch::Scan(std::string_view line, size_t pos) const
{
    const auto acceptable = [&](size_t start) { return Acceptable(line, start); };
#if defined(__SSE2__)
    size_t tail = pos + 1 - FPattern.size();
    const size_t hit = FMatchCase ? VectorScan<false>(line, tail, FPattern, FTranslation, acceptable, tail)
                                  : VectorScan<true>(line, tail, FPattern, FTranslation, acceptable, tail);
    if (hit != std::string_view::npos)
        return hit + FPattern.size() - 1;
    pos = tail + FPattern.size() - 1;
#endif
    return FMatchCase ? ScanWindows<false>(line, pos, FPattern, FTranslation, FShift, FLookAt, acceptable)
                      : ScanWindows<true>(line, pos, FPattern, FTranslation, FShift, FLookAt, acceptable);
}

int TSrcEditSearch::FindAllInLine(const std::string& line)
{
    FPositions.clear();
    PrepareSkipData();
    const size_t len = FPattern.size();
    if (line.size() < len)
        return 0;
    // invariant: pos is the index of the byte under the pattern's last byte; the next window
    // starts right after the previous match, so matches never overlap.
    for (size_t pos = Scan(line, len - 1); pos != std::string_view::npos; pos = Scan(line, pos + len))
        FPositions.push_back(static_cast<int>(pos + 2 - len));
    return MatchCount();
}
