#include "SrcEdit/Source/print/SrcEditPrintText.h"

#include "Platform/core/QtBridge.h"
#include "Platform/graphics/Graphics.h"
#include "Platform/text/TextChars.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QPainter>

#include <cmath>

TPrintFontMetrics PrintFontMetrics(const QFont& font)
{
    const QFontMetrics m(font);
    TPrintFontMetrics r;
    r.Ascent = m.ascent();
    r.Descent = m.descent();
    r.Height = m.height();
    r.ExternalLeading = std::max(0, m.leading());
    // why: as the platform reports it, a fixed-pitch font's average width is its one advance; some
    // fonts' own average field, and styles the system synthesises, say otherwise and would spread
    // the text apart.
    r.AveCharWidth = font.fixedPitch() || QFontInfo(font).fixedPitch() ? qRound(QFontMetricsF(font).horizontalAdvance(QLatin1Char('x')))
                                                  : m.averageCharWidth();
    return r;
}

TPrintFontMetrics PrintFontMetrics(const TFont& font)
{
    return PrintFontMetrics(font.ToQFont());
}

int CharCount(std::string_view text)
{
    int count = 0;
    for (size_t i = 0; i < text.size(); i += static_cast<size_t>(TextChars::CharLength(text, i)))
        ++count;
    return count;
}

namespace {

bool AllNarrow(std::string_view text)
{
    for (size_t i = 0; i < text.size(); i += static_cast<size_t>(TextChars::CharLength(text, i)))
        if (static_cast<unsigned char>(text[i]) >= 0x80 && TextChars::CharColumns(text, i) != 1)
            return false;
    return true;
}

} // namespace

TGridFont MakeGridFont(const QFont& font, int cellAdvance)
{
    TGridFont grid;
    grid.Font = font;
    grid.CellAdvance = std::max(1, cellAdvance);
    grid.Ascent = QFontMetrics(font).ascent();
    const QFontMetricsF metrics(font);
    const double natural = metrics.horizontalAdvance(QLatin1Char('W'));
    grid.OneCall = metrics.horizontalAdvance(QLatin1Char('i')) == natural;
    // why: one call per piece keeps a long document fast; letter spacing puts the glyphs of a
    // fixed-pitch font on the grid exactly.
    grid.Spaced = font;
    grid.Spaced.setLetterSpacing(QFont::AbsoluteSpacing, grid.CellAdvance - natural);
    grid.Spaced.setKerning(false);
    return grid;
}

void DrawGridText(QPainter& painter, const TGridFont& font, TColor textColor, TColor backColor, int x, int y,
                  int lineHeight, std::string_view text)
{
    if (text.empty())
        return;
    if (backColor != clNone)
        painter.fillRect(QRect(x, y, CharCount(text) * font.CellAdvance, lineHeight), ToQColor(backColor));
    painter.setPen(ToQColor(textColor));
    const int baseline = y + font.Ascent;
    if (font.OneCall && AllNarrow(text)) {
        painter.setFont(font.Spaced);
        painter.drawText(QPoint(x, baseline), QStr(text));
        return;
    }
    painter.setFont(font.Font);
    int n = 0;
    for (size_t i = 0; i < text.size(); ++n) {
        const size_t len = static_cast<size_t>(TextChars::CharLength(text, i));
        painter.drawText(QPoint(x + n * font.CellAdvance, baseline), QStr(text.substr(i, len)));
        i += len;
    }
}
