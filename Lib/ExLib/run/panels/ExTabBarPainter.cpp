#include "ExLib/run/panels/ExTabBarPainter.h"

#include "ExLib/run/panels/ExTabBar.h"

void TExTabBarPainter::NotifyPainterChanged()
{
    if (OnChangeCallback)
        OnChangeCallback(this);
}

TExModernTabBarPainter::TExModernTabBarPainter(TComponent* AOwner) : TExTabBarPainter(AOwner)
{
    FFont.SetColor(clWindowText);
    FDisabledFont.SetColor(clGrayText);
    FSelectedFont.Assign(FFont);
    for (TFont* font : {&FFont, &FDisabledFont, &FSelectedFont})
        font->OnChange = [this](TObject*) { NotifyPainterChanged(); };
}

void TExModernTabBarPainter::Change(TColor& field, TColor value)
{
    if (value == field)
        return;
    field = value;
    NotifyPainterChanged();
}

void TExModernTabBarPainter::Line(TCanvas& canvas, TColor color, int x1, int y1, int x2, int y2)
{
    canvas.Pen().SetColor(color);
    canvas.MoveTo(x1, y1);
    canvas.LineTo(x2, y2);
}

int TExModernTabBarPainter::TabDividerWidth(TCanvas& canvas, TExTabBarItem& tab)
{
    (void)canvas;
    (void)tab;
    return 1;
}

TSize TExModernTabBarPainter::MeasureTab(TCanvas& canvas, TExTabBarItem& tab)
{
    TExCustomTabBar* bar = tab.TabBar();
    canvas.Font().Assign(tab.Enabled() ? FFont : FDisabledFont);
    int width = canvas.TextWidth(tab.Caption()) + 11;
    if (bar && bar->CloseButton())
        width += 15;
    if (bar && tab.ImageIndex() != -1 && bar->Images())
        width += bar->Images()->Width() + 2;
    return {width, canvas.TextHeight(tab.Caption() + "Ag") + 7};
}

TRect TExModernTabBarPainter::CloseButtonBounds(TCanvas& canvas, TExTabBarItem& tab, const TRect& tabRect)
{
    (void)canvas;
    (void)tab;
    return {tabRect.Left + 5, tabRect.Top + 5, tabRect.Left + 17, tabRect.Top + 16};
}

void TExModernTabBarPainter::PaintBarBackground(TCanvas& canvas, TExCustomTabBar& bar, const TRect& r)
{
    canvas.Brush().SetStyle(TBrushStyle::bsSolid);
    canvas.Brush().SetColor(FColor);
    canvas.FillRect(r);
    canvas.Brush().SetColor(FBorderColor);
    canvas.FrameRect(r);
    // The edge that faces the page.
    if (bar.Orientation() == TExTabBarOrientation::toBottom)
        Line(canvas, FControlDivideColor, r.Left, r.Top, r.Right, r.Top);
    else
        Line(canvas, FControlDivideColor, r.Left, r.Bottom - 1, r.Right, r.Bottom - 1);
}

void TExModernTabBarPainter::PaintTabItem(TCanvas& canvas, TExTabBarItem& tab, const TRect& r)
{
    TExCustomTabBar* bar = tab.TabBar();
    if (!bar)
        return;
    const bool selected = tab.Selected();
    const bool enabled = tab.Enabled();
    TRect rect = r;
    canvas.Brush().SetStyle(TBrushStyle::bsSolid);
    if (selected) {
        canvas.Brush().SetColor(FTabColor);
        canvas.FillRect(rect);
        canvas.Pen().SetColor(FControlDivideColor);
        if (bar->Orientation() == TExTabBarOrientation::toBottom)
            canvas.Polyline({{rect.Left, rect.Top}, {rect.Left, rect.Bottom - 1}, {rect.Right - 1, rect.Bottom - 1},
                             {rect.Right - 1, rect.Top - 1}});
        else
            canvas.Polyline({{rect.Left, rect.Bottom}, {rect.Left, rect.Top}, {rect.Right - 1, rect.Top},
                             {rect.Right - 1, rect.Bottom}});
    } else if (enabled && bar->HotTab() == &tab) {
        Line(canvas, FDividerColor, rect.Left, rect.Top, rect.Right - 2, rect.Top);
    }
    if (bar->CloseButton()) {
        const TRect c = CloseButtonBounds(canvas, tab, rect);
        const bool held = bar->CloseButtonDown() == &tab;
        const TColor background = selected ? FCloseColorSelected : FCloseColor;
        canvas.Brush().SetColor(background);
        canvas.Pen().SetColor(enabled ? FCloseRectColor : FCloseRectColorDisabled);
        TRect frame = c;
        if (held)
            InflateRect(frame, -1, -1);
        canvas.Rectangle(frame);
        TColor cross = FCloseCrossColor;
        if (tab.Modified())
            cross = FModifiedCrossColor;
        else if (!enabled)
            cross = FCloseCrossColorDisabled;
        else if (selected && !held)
            cross = FCloseCrossColorSelected;
        Line(canvas, cross, c.Left + 3, c.Top + 3, c.Right - 3, c.Bottom - 3);
        Line(canvas, cross, c.Left + 4, c.Top + 3, c.Right - 4, c.Bottom - 3);
        Line(canvas, cross, c.Right - 4, c.Top + 3, c.Left + 2, c.Bottom - 3);
        Line(canvas, cross, c.Right - 5, c.Top + 3, c.Left + 3, c.Bottom - 3);
        if (tab.Modified()) {
            // Only the arms of the cross stay.
            canvas.Brush().SetColor(background);
            canvas.FillRect({c.Left + 5, c.Top + 4, c.Right - 5, c.Bottom - 4});
        }
        rect.Left = c.Right;
    }
    InflateRect(rect, -1, -1);
    if (!bar->CloseButton())
        rect.Left += 2;
    if (tab.ImageIndex() != -1 && bar->Images()) {
        TCustomImageList* images = bar->Images();
        images->Draw(canvas, rect.Left, rect.Top + (rect.Height() - images->Height()) / 2, tab.ImageIndex(), enabled);
        rect.Left += images->Width() + 2;
    }
    canvas.Font().Assign(selected ? FSelectedFont : enabled ? FFont : FDisabledFont);
    canvas.Brush().SetStyle(TBrushStyle::bsClear);
    canvas.TextRect(rect, rect.Left + 3, rect.Top + 3, tab.Caption());
    canvas.Brush().SetStyle(TBrushStyle::bsSolid);
}

void TExModernTabBarPainter::PaintTabDivider(TCanvas& canvas, TExTabBarItem& tab, const TRect& r)
{
    TExCustomTabBar* bar = tab.TabBar();
    if (!bar || tab.Selected())
        return;
    for (int i = tab.Index() + 1; i < bar->Tabs().Count(); ++i) {
        TExTabBarItem* next = bar->Tabs().Items(i);
        if (!next->Visible())
            continue;
        if (next->Selected())
            return;
        break;
    }
    Line(canvas, FDividerColor, r.Right - 1, r.Top + 3, r.Right - 1, r.Bottom - 3);
}

void TExModernTabBarPainter::PaintMoveMarker(TCanvas& canvas, TExTabBarItem& tab, bool moveLeft)
{
    TExCustomTabBar* bar = tab.TabBar();
    if (!bar)
        return;
    TRect r = bar->TabRect(&tab);
    r.Top += 4;
    r.Bottom -= 2;
    canvas.Brush().SetStyle(TBrushStyle::bsSolid);
    canvas.Brush().SetColor(FMoveDividerColor);
    if (moveLeft)
        canvas.FillRect({r.Left - 1, r.Top, r.Left + 3, r.Bottom});
    else
        canvas.FillRect({r.Right - 5, r.Top, r.Right - 1, r.Bottom});
}
