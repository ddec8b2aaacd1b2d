#pragma once
// The Qt fonts and metrics of a few class-library fonts, kept so that painting many rows does not
// resolve a font family for each text.

#include "Platform/graphics/Graphics.h"

#include <QFont>
#include <QFontMetrics>
#include <string>
#include <vector>

class TLTFontCache {
public:
    const QFont& Font(const TFont& font) { return Entry(font).Font; }
    const QFontMetrics& Metrics(const TFont& font) { return Entry(font).Metrics; }
    void Clear() { FEntries.clear(); }

private:
    struct TEntry {
        std::string Name;
        int Height;
        std::uint64_t Style;
        TFontPitch Pitch;
        QFont Font;
        QFontMetrics Metrics;
    };
    TEntry& Entry(const TFont& font);
    std::vector<TEntry> FEntries; // the most recently used first
};
