#include "Platform/graphics/FocusRect.h"

#include "Platform/graphics/PainterState.h"

#include <QPainter>

void DrawFocusRect(TCanvas& canvas, const TRect& r)
{
    QPainter* painter = canvas.Handle();
    if (!painter || r.IsEmpty())
        return;
    const TPainterStateGuard state(*painter);
    painter->setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    painter->setPen(Qt::NoPen);
    // Every other pixel along the frame.
    for (int x = r.Left; x < r.Right; x += 2) {
        painter->fillRect(x, r.Top, 1, 1, Qt::white);
        painter->fillRect(x, r.Bottom - 1, 1, 1, Qt::white);
    }
    for (int y = r.Top + 2; y < r.Bottom - 1; y += 2) {
        painter->fillRect(r.Left, y, 1, 1, Qt::white);
        painter->fillRect(r.Right - 1, y, 1, 1, Qt::white);
    }
}
