// The literal scan of the regular-expression matcher.

#include "SrcEdit/Source/regexpr/SrcEditRegExprScan.h"

#include <cstring>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace RegExprDetail {

TLiteralScan::TLiteralScan(std::string text, std::string alt)
    : FText(std::move(text)), FAlt(std::move(alt)), FCaseless(FText != FAlt)
{
}

bool TLiteralScan::MatchesAt(const unsigned char* at) const
{
    const size_t n = FText.size();
    if (!FCaseless)
        return std::memcmp(at, FText.data(), n) == 0;
    for (size_t i = 0; i < n; ++i)
        if (at[i] != static_cast<unsigned char>(FText[i]) && at[i] != static_cast<unsigned char>(FAlt[i]))
            return false;
    return true;
}

int TLiteralScan::Find(const unsigned char* text, int length, int from) const
{
    const int n = Size();
    if (n == 0)
        return from <= length ? from : -1;
    if (from < 0 || length - from < n)
        return -1;
    const unsigned char* p = text + from;
    const unsigned char* const last = text + length - n;  // the last place the literal fits
    if (n == 1 && !FCaseless) {
        const void* hit = std::memchr(p, FText[0], static_cast<size_t>(last - p + 1));
        return hit ? static_cast<int>(static_cast<const unsigned char*>(hit) - text) : -1;
    }
#if defined(__SSE2__)
    // why: the first and the last byte together are rare in source text even when each alone
    // is common, so few places reach the full comparison.
    const size_t k = static_cast<size_t>(n - 1);
    const __m128i first1 = _mm_set1_epi8(FText[0]);
    const __m128i first2 = _mm_set1_epi8(FAlt[0]);
    const __m128i last1 = _mm_set1_epi8(FText[k]);
    const __m128i last2 = _mm_set1_epi8(FAlt[k]);
    // invariant: both loads of a block lie inside the text.
    while (last - p >= 15) {
        const __m128i head = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const __m128i tail = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + k));
        const __m128i headHit = _mm_or_si128(_mm_cmpeq_epi8(head, first1), _mm_cmpeq_epi8(head, first2));
        const __m128i tailHit = _mm_or_si128(_mm_cmpeq_epi8(tail, last1), _mm_cmpeq_epi8(tail, last2));
        auto mask = static_cast<unsigned>(_mm_movemask_epi8(_mm_and_si128(headHit, tailHit)));
        while (mask != 0) {
            const int bit = __builtin_ctz(mask);
            if (MatchesAt(p + bit))
                return static_cast<int>(p + bit - text);
            mask &= mask - 1;
        }
        p += 16;
    }
#endif
    for (; p <= last; ++p)
        if (MatchesAt(p))
            return static_cast<int>(p - text);
    return -1;
}

}  // namespace RegExprDetail
