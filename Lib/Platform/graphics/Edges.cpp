#include "Platform/graphics/Edges.h"

#include "Platform/graphics/Colors.h"

#include <QPainter>

namespace {

// One ring of lines: `topLeft` on the left and upper sides, `bottomRight` on the others.
void Ring(QPainter& p, TRect& r, unsigned flags, TColor topLeft, TColor bottomRight)
{
    if (r.IsEmpty())
        return;
    const QColor tl = ToQColor(topLeft);
    const QColor br = ToQColor(bottomRight);
    if (flags & BF_LEFT)
        p.fillRect(QRect(r.Left, r.Top, 1, r.Height()), tl);
    if (flags & BF_TOP)
        p.fillRect(QRect(r.Left, r.Top, r.Width(), 1), tl);
    if (flags & BF_RIGHT)
        p.fillRect(QRect(r.Right - 1, r.Top, 1, r.Height()), br);
    if (flags & BF_BOTTOM)
        p.fillRect(QRect(r.Left, r.Bottom - 1, r.Width(), 1), br);
    if (flags & BF_LEFT)
        ++r.Left;
    if (flags & BF_TOP)
        ++r.Top;
    if (flags & BF_RIGHT)
        --r.Right;
    if (flags & BF_BOTTOM)
        --r.Bottom;
}

} // namespace

void DrawEdge(QPainter& painter, TRect& r, unsigned edge, unsigned flags)
{
    TRect inner = r;
    const bool flat = flags & (BF_FLAT | BF_MONO);
    const unsigned outer = edge & 0x3;
    const unsigned innerEdge = edge & 0xC;
    if (outer) {
        TColor tl = clBtnShadow;
        TColor br = clBtnShadow;
        if (flags & BF_MONO) {
            tl = br = clWindowFrame;
        } else if (!flat) {
            const bool raised = outer & BDR_RAISEDOUTER;
            tl = raised ? ((flags & BF_SOFT) ? clBtnHighlight : cl3DLight) : clBtnShadow;
            br = raised ? cl3DDkShadow : clBtnHighlight;
        }
        Ring(painter, inner, flags, tl, br);
    }
    if (innerEdge) {
        TColor tl = clBtnFace;
        TColor br = clBtnFace;
        if (!flat) {
            const bool raised = innerEdge & BDR_RAISEDINNER;
            tl = raised ? ((flags & BF_SOFT) ? cl3DLight : clBtnHighlight) : cl3DDkShadow;
            br = raised ? clBtnShadow : cl3DLight;
        }
        Ring(painter, inner, flags, tl, br);
    }
    if ((flags & BF_MIDDLE) && !inner.IsEmpty())
        painter.fillRect(inner.ToQt(), ToQColor(flat ? clWindow : clBtnFace));
    if (flags & BF_ADJUST)
        r = inner;
}
