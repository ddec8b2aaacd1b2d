#pragma once
// Text output of printing: font metrics in device pixels and text set on a fixed character grid,
// where every character, whatever its own width, advances by one cell.

#include "Platform/graphics/Colors.h"

#include <string_view>

class QFont;
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

// Draws `text` with its top at y, character n at x + n * cellAdvance, in one call for any
// length. A background other than clNone fills the cells first.
void DrawGridText(QPainter& painter, const QFont& font, TColor textColor, TColor backColor, int x, int y,
                  int cellAdvance, int lineHeight, std::string_view text);
