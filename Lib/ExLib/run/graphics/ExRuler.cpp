#include "ExLib/run/graphics/ExRuler.h"

#include "ExLib/run/controls/ExTextDraw.h"

#include <cmath>

std::vector<TRulerMark> RulerMarks(int length, TJvgSizeUnit unit, int dpi)
{
    std::vector<TRulerMark> marks;
    for (double position = 0.5;; position += 0.5) {
        int pixels = 0;
        switch (unit) {
        case TJvgSizeUnit::fsuCentimeters: pixels = static_cast<int>(std::lround(dpi * position / 2.54)); break;
        case TJvgSizeUnit::fsuInches: pixels = static_cast<int>(std::lround(dpi * position)); break;
        case TJvgSizeUnit::fsuPixels: pixels = static_cast<int>(std::lround(position * 50)); break;
        }
        if (pixels > length)
            break;
        const bool whole = position == std::floor(position);
        TRulerMark mark{pixels, whole ? 3 : 8, {}};
        if (whole)
            mark.Label = unit == TJvgSizeUnit::fsuPixels ? std::to_string(pixels)
                                                         : std::to_string(static_cast<int>(position));
        marks.push_back(mark);
    }
    return marks;
}

TJvgRuler::TJvgRuler(TComponent* AOwner, QWidget* parent) : TExGraphicControl(AOwner, parent), FFont(*this)
{
    resize(100, 15);
}

void TJvgRuler::SetOrientation(TJvgOrientation value)
{
    if (value == FOrientation)
        return;
    FOrientation = value;
    Invalidate();
}

void TJvgRuler::SetUseUnit(TJvgSizeUnit value)
{
    if (value == FUseUnit)
        return;
    FUseUnit = value;
    Invalidate();
}

void TJvgRuler::Paint()
{
    TCanvas& canvas = Canvas();
    canvas.Font().Assign(FFont.Font());
    canvas.Brush().SetStyle(TBrushStyle::bsClear);
    canvas.Pen().SetColor(FFont.Font().Color());
    const bool horizontal = FOrientation == TJvgOrientation::goHorizontal;
    const int length = horizontal ? Width() : Height();
    const int dpi = horizontal ? logicalDpiX() : logicalDpiY();
    for (const TRulerMark& mark : RulerMarks(length, FUseUnit, dpi)) {
        const int p = mark.Position;
        if (!mark.Label.empty()) {
            TRect r = horizontal ? Rect(p - 10, 0, p + 10, Height()) : Rect(0, p - 10, Width(), p + 10);
            DrawTextOnCanvas(canvas, mark.Label, -1, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOCLIP, r);
        }
        if (horizontal) {
            canvas.MoveTo(p, Height() - mark.Length);
            canvas.LineTo(p, Height() - 1);
        } else {
            canvas.MoveTo(Width() - mark.Length, p);
            canvas.LineTo(Width() - 1, p);
        }
    }
}
