#include "Platform/graphics/Frame3D.h"

void Frame3D(TCanvas& canvas, TRect& r, TColor topLeft, TColor bottomRight)
{
    canvas.Pen().SetColor(topLeft);
    canvas.MoveTo(r.Left, r.Bottom - 1);
    canvas.LineTo(r.Left, r.Top);
    canvas.LineTo(r.Right - 1, r.Top);
    canvas.Pen().SetColor(bottomRight);
    canvas.LineTo(r.Right - 1, r.Bottom - 1);
    canvas.LineTo(r.Left - 1, r.Bottom - 1);
    InflateRect(r, -1, -1);
}
