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

void DrawGridText(QPainter& painter, const QFont& font, TColor textColor, TColor backColor, int x, int y,
                  int cellAdvance, int lineHeight, std::string_view text)
{
    if (text.empty())
        return;
    const int count = CharCount(text);
    if (backColor != clNone)
        painter.fillRect(QRect(x, y, count * cellAdvance, lineHeight), ToQColor(backColor));
    painter.save();
    painter.setPen(ToQColor(textColor));
    const int baseline = y + QFontMetrics(font).ascent();
    const QFontMetricsF metrics(font);
    const double natural = metrics.horizontalAdvance(QLatin1Char('W'));
    if (metrics.horizontalAdvance(QLatin1Char('i')) == natural && AllNarrow(text)) {
        // why: one call per piece keeps a long document fast; letter spacing puts the glyphs of a
        // fixed-pitch font on the grid exactly.
        QFont spaced(font);
        spaced.setLetterSpacing(QFont::AbsoluteSpacing, cellAdvance - natural);
        spaced.setKerning(false);
        painter.setFont(spaced);
        painter.drawText(QPointF(x, baseline), QStr(text));
    } else {
        painter.setFont(font);
        int n = 0;
        for (size_t i = 0; i < text.size(); ++n) {
            const size_t len = static_cast<size_t>(TextChars::CharLength(text, i));
            painter.drawText(QPoint(x + n * cellAdvance, baseline), QStr(text.substr(i, len)));
            i += len;
        }
    }
    painter.restore();
}
