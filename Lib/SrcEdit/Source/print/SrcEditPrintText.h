#pragma once
// Text output of printing: font metrics in device pixels and text set on a fixed character grid,
// where every character, whatever its own width, advances by one cell.

#include "Platform/graphics/Colors.h"

#include <QFont>

#include <string_view>

class QPainter;
class TFont;

struct TPrintFontMetrics {
    int Height = 0;   // ascent + descent
    int Ascent = 0;
    int Descent = 0;
    int ExternalLeading = 0;
    int AveCharWidth = 0;
};

TPrintFontMetrics PrintFontMetrics(const QFont& font);
TPrintFontMetrics PrintFontMetrics(const TFont& font);

// Number of characters (not bytes) of a UTF-8 text.
int CharCount(std::string_view text);

// A font made ready for text on a grid of `CellAdvance` pixels.
struct TGridFont {
    QFont Font;
    // The font with the letter spacing that puts a fixed-pitch font's glyphs on the grid.
    QFont Spaced;
    int Ascent = 0;
    int CellAdvance = 1;
    // Narrow characters can be drawn in one call with Spaced.
    bool OneCall = false;
};
TGridFont MakeGridFont(const QFont& font, int cellAdvance);

// Draws `text` with its top at y, character n at x + n * CellAdvance, in one call for any
// length. A background other than clNone fills the cells first. Leaves the painter's pen and
// font changed.
void DrawGridText(QPainter& painter, const TGridFont& font, TColor textColor, TColor backColor, int x, int y,
                  int lineHeight, std::string_view text);
