#include "Platform/controls/ExtCtrls.h"

#include <QPainter>

TCustomPanel::TCustomPanel(TComponent* AOwner, QWidget* parent) : TQtControl<QWidget>(AOwner, parent)
{
    SetCustomPaint(true);
    setAutoFillBackground(true);
    SetControlStyle(ControlStyle() + TControlStyle{csAcceptsControls, csOpaque});
}

void TCustomPanel::SetBevelOuter(TPanelBevel bevel)
{
    if (bevel == FBevelOuter)
        return;
    FBevelOuter = bevel;
    Invalidate();
}

void TCustomPanel::Paint()
{
    const TRect r = ClientRect();
    if (FBevelOuter != TPanelBevel::bvNone && !r.IsEmpty()) {
        const bool raised = FBevelOuter == TPanelBevel::bvRaised;
        const TColor topLeft = raised ? clBtnHighlight : clBtnShadow;
        const TColor bottomRight = raised ? clBtnShadow : clBtnHighlight;
        Canvas().Brush().SetColor(topLeft);
        Canvas().FillRect(Rect(r.Left, r.Top, r.Right, r.Top + 1));
        Canvas().FillRect(Rect(r.Left, r.Top, r.Left + 1, r.Bottom));
        Canvas().Brush().SetColor(bottomRight);
        Canvas().FillRect(Rect(r.Left, r.Bottom - 1, r.Right, r.Bottom));
        Canvas().FillRect(Rect(r.Right - 1, r.Top, r.Right, r.Bottom));
    }
    if (Text().empty())
        return;
    Canvas().Font().SetColor(clBtnText);
    const TSize size = Canvas().TextExtent(Text());
    Canvas().Brush().SetStyle(TBrushStyle::bsClear);
    Canvas().TextOut((r.Width() - size.cx) / 2, (r.Height() - size.cy) / 2, Text());
    Canvas().Brush().SetStyle(TBrushStyle::bsSolid);
}
