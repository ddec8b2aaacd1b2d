#include "TreeView/Source/paint/LTFontCache.h"

#include <algorithm>

TLTFontCache::TEntry& TLTFontCache::Entry(const TFont& font)
{
    const std::uint64_t style = font.Style().Bits();
    for (size_t i = 0; i < FEntries.size(); ++i) {
        TEntry& e = FEntries[i];
        if (e.Height == font.Height() && e.Style == style && e.Pitch == font.Pitch() && e.Name == font.Name()) {
            if (i > 0)
                std::rotate(FEntries.begin(), FEntries.begin() + static_cast<std::ptrdiff_t>(i),
                            FEntries.begin() + static_cast<std::ptrdiff_t>(i) + 1);
            return FEntries.front();
        }
    }
    constexpr size_t Kept = 8;
    if (FEntries.size() >= Kept)
        FEntries.pop_back();
    const QFont qt = font.ToQFont();
    FEntries.insert(FEntries.begin(), TEntry{font.Name(), font.Height(), style, font.Pitch(), qt, QFontMetrics(qt)});
    return FEntries.front();
}
