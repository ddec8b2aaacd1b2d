#include "ExLib/run/panels/ExStaticText.h"

#include "ExLib/run/common/ExStrUtils.h"
#include "ExLib/run/controls/ExDrawUtils.h"
#include "ExLib/run/controls/ExTextDraw.h"
#include "ExLib/run/controls/ExThemes.h"

#include <QPainter>

void TExTextMargins::SetX(int value)
{
    if (value == FX)
        return;
    FX = value;
    if (FOnChange)
        FOnChange(this);
}

void TExTextMargins::SetY(int value)
{
    if (value == FY)
        return;
    FY = value;
    if (FOnChange)
        FOnChange(this);
}

void TExTextMargins::Assign(const TPersistent& source)
{
    const auto* other = dynamic_cast<const TExTextMargins*>(&source);
    if (!other) {
        TPersistent::Assign(source);
        return;
    }
    SetX(other->FX);
    SetY(other->FY);
}

TExCustomStaticText::TExCustomStaticText(TComponent* AOwner, QWidget* parent)
    : TExWinControl(AOwner, parent), FFont(*this), FTextMargins([this](TObject*) { Invalidate(); })
{
    SetCustomPaint(true);
    resize(65, 17);
    SetControlStyle(TControlStyle{csCaptureMouse, csClickEvents, csSetCaption, csOpaque, csReplicatable,
                                  csDoubleClicks});
    AddThemeStyle(*this, TControlStyle{csParentBackground});
    setFocusPolicy(Qt::NoFocus);
    ApplyTrackFontOptions(FHotTrackFont, FFont.Font(), FHotTrackFontOptions);
}

TExCustomStaticText::~TExCustomStaticText()
{
    if (FFocusControl)
        FFocusControl->RemoveFreeNotification(this);
}

void TExCustomStaticText::SetAlignment(TAlignment value)
{
    if (value == FAlignment)
        return;
    FAlignment = value;
    Invalidate();
}

void TExCustomStaticText::SetAutoSize(bool value)
{
    if (value == FAutoSize)
        return;
    FAutoSize = value;
    if (value)
        AdjustToText();
}

void TExCustomStaticText::SetBorderStyle(TStaticBorderStyle value)
{
    if (value == FBorderStyle)
        return;
    FBorderStyle = value;
    Invalidate();
}

void TExCustomStaticText::SetLayout(TTextLayout value)
{
    if (value == FLayout)
        return;
    FLayout = value;
    Invalidate();
}

void TExCustomStaticText::SetShowAccelChar(bool value)
{
    if (value == FShowAccelChar)
        return;
    FShowAccelChar = value;
    Invalidate();
}

void TExCustomStaticText::SetWordWrap(bool value)
{
    if (value == FWordWrap)
        return;
    FWordWrap = value;
    AdjustToText();
    Invalidate();
}

void TExCustomStaticText::SetTextMargins(const TExTextMargins* margins)
{
    FTextMargins.SetX(margins ? margins->X() : 0);
    FTextMargins.SetY(margins ? margins->Y() : 0);
}

void TExCustomStaticText::SetHotTrackFontOptions(TExTrackFontOptions options)
{
    if (options == FHotTrackFontOptions)
        return;
    FHotTrackFontOptions = options;
    ApplyTrackFontOptions(FHotTrackFont, FFont.Font(), options);
}

void TExCustomStaticText::SetFocusControl(TWinControlCore* control)
{
    if (FFocusControl)
        FFocusControl->RemoveFreeNotification(this);
    FFocusControl = control;
    if (control)
        control->FreeNotification(this);
}

void TExCustomStaticText::Notification(TComponent* component, TOperation operation)
{
    TExWinControl::Notification(component, operation);
    if (operation == TOperation::opRemove && component == static_cast<TComponent*>(FFocusControl))
        FFocusControl = nullptr;
}

unsigned TExCustomStaticText::TextFlags() const
{
    unsigned flags = DT_EXPANDTABS;
    flags |= FAlignment == TAlignment::taRightJustify ? DT_RIGHT : FAlignment == TAlignment::taCenter ? DT_CENTER : DT_LEFT;
    flags |= FLayout == TTextLayout::tlCenter ? DT_VCENTER : FLayout == TTextLayout::tlBottom ? DT_BOTTOM : 0u;
    if (!FShowAccelChar)
        flags |= DT_NOPREFIX;
    if (FWordWrap)
        flags |= DT_WORDBREAK;
    return flags;
}

void TExCustomStaticText::AdjustToText()
{
    if (!FAutoSize || ComponentState().Contains(csLoading) || ComponentState().Contains(csReading))
        return;
    TCanvas canvas;
    canvas.Font().Assign(FFont.Font());
    if (FWordWrap) {
        TRect r = ClientRect();
        DrawTextOnCanvas(canvas, Caption(), -1, TextFlags() | DT_CALCRECT, r);
        resize(r.Right, r.Bottom);
        return;
    }
    TRect r = Rect(0, 0, 0, 0);
    DrawTextOnCanvas(canvas, Caption(), -1, (TextFlags() & ~unsigned(DT_WORDBREAK)) | DT_CALCRECT, r);
    // 4 x the system's border width and height.
    resize(r.Width() + 4, r.Height() + 4);
}

void TExCustomStaticText::Loaded()
{
    TExWinControl::Loaded();
    AdjustToText();
}

TRect TExCustomStaticText::CaptionRect(TCanvas& canvas, TRect r) const
{
    DrawTextOnCanvas(canvas, Caption(), -1, TextFlags() | DT_CALCRECT, r);
    int dy = 0;
    switch (FLayout) {
    case TTextLayout::tlTop: dy = FTextMargins.Y(); break;
    case TTextLayout::tlCenter: dy = (ClientHeight() - r.Bottom) / 2; break;
    case TTextLayout::tlBottom: dy = ClientHeight() - r.Bottom - FTextMargins.Y(); break;
    }
    int dx = 0;
    switch (FAlignment) {
    case TAlignment::taLeftJustify: dx = FTextMargins.X(); break;
    case TAlignment::taRightJustify: dx = Width() - r.Right - FTextMargins.X(); break;
    case TAlignment::taCenter: dx = (Width() - r.Right) / 2; break;
    }
    OffsetRect(r, dx, dy);
    return r;
}

void TExCustomStaticText::PaintOwnerDrawn(TCanvas& canvas, TRect r)
{
    TBrush brush;
    brush.SetColor(Color());
    PaintThemedBackground(*this, *canvas.Handle(), r, brush, true);
    if (FBorderStyle != TStaticBorderStyle::sbsNone) {
        // A one-pixel sunken edge: mono in the frame colour, flat in the shadow colour.
        canvas.Pen().SetColor(FBorderStyle == TStaticBorderStyle::sbsSingle ? clWindowFrame : clBtnShadow);
        canvas.Brush().SetStyle(TBrushStyle::bsClear);
        canvas.Rectangle(r);
        InflateRect(r, -1, -1);
    }
    canvas.Font().Assign(FFont.Font());
    TRect text = CaptionRect(canvas, r);
    canvas.Brush().SetStyle(TBrushStyle::bsClear);
    DrawTextOnCanvas(canvas, Caption(), -1, TextFlags(), text);
}

void TExCustomStaticText::Paint()
{
    PaintOwnerDrawn(Canvas(), ClientRect());
}

void TExCustomStaticText::TextChanged()
{
    AdjustToText();
    Invalidate();
    TExWinControl::TextChanged();
}

void TExCustomStaticText::FontChanged()
{
    FFont.Sync();
    if (!FHot)
        ApplyTrackFontOptions(FHotTrackFont, FFont.Font(), FHotTrackFontOptions);
    AdjustToText();
    TExWinControl::FontChanged();
}

bool TExCustomStaticText::DialogChar(char32_t key, TShiftState shift, const std::u32string&)
{
    if (FFocusControl && Enabled() && FShowAccelChar && shift.Contains(ssAlt) && IsAccelerator(key, Caption())) {
        if (FFocusControl->CanFocus())
            FFocusControl->SetFocus();
        return true;
    }
    return false;
}

void TExCustomStaticText::MouseEnter(TWinControlCore* control)
{
    if (ComponentState().Contains(csDesigning) || MouseInside())
        return;
    if (HotTrack) {
        FSavedFont.Assign(FFont.Font());
        FHot = true;
        FFont.SetFont(FHotTrackFont);
    }
    TExWinControl::MouseEnter(control);
}

void TExCustomStaticText::MouseLeave(TWinControlCore* control)
{
    if (!MouseInside())
        return;
    if (HotTrack && FHot) {
        FFont.SetFont(FSavedFont);
        FHot = false;
    }
    TExWinControl::MouseLeave(control);
}

void TExCustomStaticText::Resize()
{
    TExWinControl::Resize();
    Invalidate();
}
