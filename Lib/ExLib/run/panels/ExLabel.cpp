#include "ExLib/run/panels/ExLabel.h"

#include "ExLib/run/common/ExFileNameUtils.h"
#include "ExLib/run/common/ExStrUtils.h"
#include "ExLib/run/controls/ExDrawUtils.h"
#include "ExLib/run/controls/ExTextDraw.h"
#include "ExLib/run/controls/ExThemes.h"
#include "ExLib/run/data/ExDataItems.h"

#include "Platform/graphics/FocusRect.h"

#include <QApplication>
#include <QCursor>
#include <QPainter>
#include <cmath>

namespace {

unsigned AlignmentFlag(TAlignment alignment)
{
    return alignment == taRightJustify ? DT_RIGHT : alignment == taCenter ? DT_CENTER : DT_LEFT;
}

unsigned EllipsisFlag(TExTextEllipsis ellipsis)
{
    switch (ellipsis) {
    case TExTextEllipsis::teWordEllipsis: return DT_WORD_ELLIPSIS;
    case TExTextEllipsis::tePathEllipsis: return DT_PATH_ELLIPSIS;
    case TExTextEllipsis::teEndEllipsis: return DT_END_ELLIPSIS;
    default: return 0;
    }
}

// The offset of a shadow `size` pixels off in `position`.
TPoint ShadowOffset(TShadowPosition position, int size)
{
    switch (position) {
    case TShadowPosition::spLeftTop: return {-size, -size};
    case TShadowPosition::spLeftBottom: return {-size, size};
    case TShadowPosition::spRightTop: return {size, -size};
    default: return {size, size};
    }
}

// Text drawn at (x, y) turned `angle` degrees counter-clockwise about that point.
void TextOutRotated(TCanvas& canvas, int x, int y, int angle, const std::string& text)
{
    QPainter* painter = canvas.Handle();
    painter->save();
    painter->translate(x, y);
    painter->rotate(-angle);
    canvas.TextOut(0, 0, text);
    painter->restore();
}

} // namespace

void PaintChamferedFrame(TCanvas& canvas, const TRect& r, TColor frameColor, int cut)
{
    canvas.Pen().SetColor(frameColor);
    const int left = r.Left, top = r.Top, right = r.Right - 1, bottom = r.Bottom - 1;
    canvas.Polygon({{left + cut, top}, {right - cut, top}, {right, top + cut}, {right, bottom - cut},
                    {right - cut, bottom}, {left + cut, bottom}, {left, bottom - cut}, {left, top + cut},
                    {left + cut, top}});
}

int PaintTextWithShadow(TCanvas& canvas, std::string_view text, TShadowPosition position, TColor shadowRGB, int size,
                        unsigned flags, TRect& rect)
{
    TRect shadow = rect;
    const TPoint offset = ShadowOffset(position, size);
    OffsetRect(shadow, offset.X, offset.Y);
    const TColor textColor = canvas.Font().Color();
    canvas.Font().SetColor(shadowRGB);
    const int height = DrawTextOnCanvas(canvas, text, -1, flags, shadow);
    canvas.Font().SetColor(textColor);
    DrawTextOnCanvas(canvas, text, -1, flags, rect);
    UnionRect(rect, rect, shadow);
    return height > 0 ? height + size : height;
}

// ---- label

TExCustomLabel::TExCustomLabel(TComponent* AOwner, QWidget* parent)
    : TExGraphicControl(AOwner, parent),
      FFont(*this),
      FConsumer(std::make_unique<TExDataConsumer>(this, std::vector<int>{ConsumerAttributeLabel}))
{
    FConsumer->OnChanged = [this](TObject*, int reason) { ConsumerChanged(reason); };
    TControlStyle style = ControlStyle() + TControlStyle{csOpaque, csReplicatable};
    if (CurrentThemeServices().ThemesEnabled())
        style.Exclude(csOpaque);
    SetControlStyle(style);
    FHotTrackFont.OnChange = [this](TObject*) {
        if (MouseInside())
            Invalidate();
    };
    ApplyTrackFontOptions(FHotTrackFont, Font(), FHotTrackFontOptions);
    resize(65, 17);
}

TExCustomLabel::~TExCustomLabel()
{
    if (FFocusControl)
        FFocusControl->RemoveFreeNotification(this);
    FHotTrackFont.OnChange = nullptr;
    FConsumer.reset();
}

void TExCustomLabel::Refit()
{
    FFitPending = true;
    FitToContent();
}

void TExCustomLabel::SetAutoSize(bool value)
{
    if (value == FAutoSize)
        return;
    FAutoSize = value;
    FFitPending = value;
    FitToContent();
}

void TExCustomLabel::SetMargin(int value)
{
    value = std::max(0, value);
    if (value == FTextMargins[0])
        return;
    FTextMargins.fill(value);
    Refit();
    Invalidate();
}

void TExCustomLabel::SetRoundedFrame(int value)
{
    if (value < 0 || value >= Height() / 2 || value == FRoundedFrame)
        return;
    FRoundedFrame = value;
    Invalidate();
}

void TExCustomLabel::SetShadowSize(std::uint8_t value)
{
    if (value == FShadowSize)
        return;
    FShadowSize = value;
    Refit();
    Invalidate();
}

void TExCustomLabel::SetTransparent(bool value)
{
    if (value == Transparent())
        return;
    TControlStyle style = ControlStyle();
    if (CurrentThemeServices().ThemesEnabled() || value)
        style.Exclude(csOpaque);
    else
        style.Include(csOpaque);
    SetControlStyle(style);
    Invalidate();
}

void TExCustomLabel::SetWordWrap(bool value)
{
    if (value == FWordWrap)
        return;
    FWordWrap = value;
    Refit();
}

void TExCustomLabel::SetAngle(int value)
{
    value = std::clamp(value, -360, 360);
    if (value == FAngle)
        return;
    FAngle = value < 0 ? value + 360 : value;
    FFitPending = FAutoSize;
    FitToContent();
    Invalidate();
}

void TExCustomLabel::SetSpacing(int value)
{
    if (value == FSpacing)
        return;
    FSpacing = value;
    if (FAutoSize)
        Refit();
    else
        Invalidate();
}

void TExCustomLabel::SetFocusControl(TWinControlCore* control)
{
    if (FFocusControl)
        FFocusControl->RemoveFreeNotification(this);
    FFocusControl = control;
    if (control)
        control->FreeNotification(this);
    if (FShowFocus)
        Invalidate();
}

void TExCustomLabel::SetHotTrackFontOptions(TExTrackFontOptions options)
{
    if (options == FHotTrackFontOptions)
        return;
    FHotTrackFontOptions = options;
    ApplyTrackFontOptions(FHotTrackFont, Font(), options);
}

void TExCustomLabel::SetImages(TCustomImageList* images)
{
    if (FImages.Set(images, [this](TObject*) { Invalidate(); }))
        ImagesChanged();
}

void TExCustomLabel::ImagesChanged()
{
    DetachProvider();
    if (FAutoSize)
        Refit();
    else
        Invalidate();
}

void TExCustomLabel::SetImageIndex(int index)
{
    if (index == FImageIndex)
        return;
    if (HasGlyph())
        DetachProvider();
    FFitPending = true;
    FImageIndex = index;
    FitToContent();
    Invalidate();
}

void TExCustomLabel::SetBounds(int left, int top, int width, int height)
{
    FFitPending = left != Left() || top != Top() || width != Width() || height != Height();
    TExGraphicControl::SetBounds(left, top, width, height);
}

void TExCustomLabel::DetachProvider()
{
    if (HasProviderLink())
        FConsumer->SetProvider(nullptr);
}

void TExCustomLabel::ConsumerChanged(int reason)
{
    if (HasProviderLink() || reason == ccrProviderSet)
        Refit();
}

int TExCustomLabel::GlyphWidth()
{
    return HasGlyph() && !HasProviderLink() ? Images()->Width() : 0;
}

int TExCustomLabel::GlyphHeight()
{
    return HasGlyph() && !HasProviderLink() ? Images()->Height() : 0;
}

// ---- notifications

void TExCustomLabel::Loaded()
{
    TExGraphicControl::Loaded();
    FConsumer->AfterOwnerLoaded();
    Refit();
}

void TExCustomLabel::Notification(TComponent* component, TOperation operation)
{
    TExGraphicControl::Notification(component, operation);
    if (operation != TOperation::opRemove)
        return;
    if (component == static_cast<TComponent*>(FFocusControl))
        SetFocusControl(nullptr);
    if (FImages.Forget(component))
        ImagesChanged();
}

void TExCustomLabel::TextChanged()
{
    TExGraphicControl::TextChanged();
    DetachProvider();
    Invalidate();
    Refit();
}

void TExCustomLabel::FontChanged()
{
    FFont.Sync();
    TExGraphicControl::FontChanged();
    Refit();
    ApplyTrackFontOptions(FHotTrackFont, Font(), FHotTrackFontOptions);
}

void TExCustomLabel::FocusChanged(TWinControlCore* control)
{
    const bool active = FFocusControl && control == FFocusControl;
    if (active != FFocusControlActive && FShowFocus)
        Invalidate();
    FFocusControlActive = active;
    TExGraphicControl::FocusChanged(control);
}

void TExCustomLabel::EnabledChanged()
{
    TExGraphicControl::EnabledChanged();
    UpdateHoverState();
}

void TExCustomLabel::VisibleChanged()
{
    TExGraphicControl::VisibleChanged();
    if (Visible())
        UpdateHoverState();
}

void TExCustomLabel::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    TExGraphicControl::MouseDown(button, shift, x, y);
    if (button == TMouseButton::mbRight)
        UpdateHoverState();
}

void TExCustomLabel::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    TExGraphicControl::MouseUp(button, shift, x, y);
    UpdateHoverState();
}

void TExCustomLabel::MouseEnter(TWinControlCore* control)
{
    TExGraphicControl::MouseEnter(control);
    if (MouseInside() && Enabled() && ThreadOwnsActiveWindow() && FHotTrack)
        FontChanged();
}

void TExCustomLabel::MouseLeave(TWinControlCore* control)
{
    const bool refit = MouseInside() && FHotTrack;
    // why: the refit must measure with the normal font again, so the mouse leaves first.
    TExGraphicControl::MouseLeave(control);
    if (refit)
        FontChanged();
}

void TExCustomLabel::UpdateHoverState()
{
    const bool was = MouseInside();
    const bool now =
        Enabled() && QApplication::widgetAt(QCursor::pos()) == static_cast<QWidget*>(this) && ThreadOwnsActiveWindow();
    if (now == was)
        return;
    if (now)
        MouseEnter(this);
    else
        MouseLeave(this);
}

bool TExCustomLabel::DialogChar(char32_t key, TShiftState shift, const std::u32string&)
{
    if (!FFocusControl || !Enabled() || !FShowAccelChar || !shift.Contains(ssAlt) ||
        !IsAccelerator(key, DisplayedCaption()))
        return false;
    if (FFocusControl->CanFocus())
        FFocusControl->SetFocus();
    return true;
}

void TExCustomLabel::Click()
{
    bool handled = false;
    if (HasProviderLink())
        FConsumer->WithAccess([&] {
            auto* selection = Supports<IExDataItemSelection>(FConsumer.get());
            if (auto* click = Supports<IExDataItemClick>(selection ? selection->SelectedItem() : nullptr))
                handled = click->Click(this);
        });
    if (handled)
        return;
    TExGraphicControl::Click();
    if (FAutoOpenURL && !FURL.empty())
        OpenWithShell(FURL);
}

// ---- content

std::string TExCustomLabel::DisplayedCaption()
{
    std::string caption = Caption();
    if (HasProviderLink())
        FConsumer->WithAccess([&] {
            auto* selection = Supports<IExDataItemSelection>(FConsumer.get());
            if (auto* text = Supports<IExDataItemText>(selection ? selection->SelectedItem() : nullptr))
                caption = text->Caption();
        });
    return caption;
}

void TExCustomLabel::SelectFont(TCanvas& canvas, bool withNormalColor)
{
    if (MouseInside()) {
        canvas.Font().Assign(FHotTrackFont);
        return;
    }
    canvas.Font().Assign(Font());
    if (withNormalColor)
        canvas.Font().SetColor(NormalFontColor());
}

void TExCustomLabel::RenderContent(TCanvas& canvas, TRect& rect, unsigned flags)
{
    if (HasProviderLink())
        PaintProviderItem(canvas, rect, flags);
    else
        PaintCaptionText(canvas, rect, flags);
}

void TExCustomLabel::PaintCaptionText(TCanvas& canvas, TRect& rect, unsigned flags)
{
    std::string text = DisplayedCaption();
    if ((flags & DT_CALCRECT) && (text.empty() || (FShowAccelChar && text == "&")))
        text += ' ';
    if (!FShowAccelChar)
        flags |= DT_NOPREFIX;
    flags |= EllipsisFlag(FTextEllipsis);
    SelectFont(canvas, true);
    TShadowPosition position = FShadowPos;
    int size = FShadowSize;
    TColor shadowColor = FShadowColor;
    if (!Enabled()) {
        // The engraved look.
        if (size == 0) {
            position = TShadowPosition::spRightBottom;
            size = 1;
        }
        canvas.Font().SetColor(clGrayText);
        shadowColor = clBtnHighlight;
    }
    if (HasGlyph())
        rect.Left += GlyphWidth() + FSpacing;
    if (FAngle != 0)
        PaintRotatedText(canvas, rect, flags, position, ColorToRGB(shadowColor), size, HasGlyph());
    else
        PaintTextWithShadow(canvas, text, position, ColorToRGB(shadowColor), size, flags, rect);
    if (HasGlyph() && !(flags & DT_CALCRECT)) {
        int y = FTextMargins[1];
        if (FLayout == TTextLayout::tlBottom)
            y = Height() - Images()->Height() - FTextMargins[3];
        else if (FLayout == TTextLayout::tlCenter)
            y = (Height() - Images()->Height()) / 2;
        Images()->Draw(canvas, FTextMargins[0], std::max(y, FTextMargins[1]), FImageIndex, Enabled());
    }
}

void TExCustomLabel::PaintRotatedText(TCanvas& canvas, TRect& rect, unsigned flags, TShadowPosition position,
                                      TColor shadowRGB, int size, bool withGlyph)
{
    std::string text = DisplayedCaption().substr(0, 4096);
    if ((flags & DT_CALCRECT) && (text.empty() || (FShowAccelChar && text == "&")))
        text += ' ';
    SelectFont(canvas, true);
    // Rotation always uses Font's face, size and style.
    const TColor textColor = canvas.Font().Color();
    canvas.Font().Assign(Font());
    canvas.Font().SetColor(textColor);

    const long double a = FAngle * 10 * 3.14159265358979323846L / 1800;
    const long double tw = canvas.TextWidth(text), th = canvas.TextHeight(text);
    const long double cosA = std::cos(a), sinA = std::sin(a);
    int width = 0, height = 0, x = 0, y = 0;
    if (FAutoSize) {
        width = static_cast<int>(std::fabs(cosA) * tw + std::fabs(sinA) * th) + 4;
        height = static_cast<int>(std::fabs(cosA) * th + std::fabs(sinA) * tw) + 4;
        x = 2;
        if (FAngle > 90 && FAngle < 270)
            x += static_cast<int>(std::fabs(cosA) * tw);
        if (FAngle > 180)
            x += static_cast<int>(std::fabs(sinA) * th);
        y = 2;
        if (FAngle < 180)
            y += static_cast<int>(std::fabs(sinA) * tw);
        if (FAngle > 90 && FAngle < 270)
            y += static_cast<int>(std::fabs(cosA) * th);
    } else {
        width = rect.Width();
        height = rect.Height();
        x = static_cast<int>(width / 2.0L - cosA * tw / 2 - sinA * th / 2);
        y = static_cast<int>(height / 2.0L - cosA * th / 2 + sinA * tw / 2);
    }
    const int glyphWidth = withGlyph ? Images()->Width() : 0;
    if (flags & DT_CALCRECT) {
        rect.Right = rect.Left + width + glyphWidth + FTextMargins[0] + FTextMargins[2];
        rect.Bottom = rect.Top + height + FTextMargins[1] + FTextMargins[3];
        return;
    }
    x += glyphWidth + FTextMargins[0];
    y += FTextMargins[1];
    canvas.Brush().SetStyle(TBrushStyle::bsClear);
    if (size != 0) {
        const TPoint offset = ShadowOffset(position, size);
        canvas.Font().SetColor(shadowRGB);
        TextOutRotated(canvas, x + offset.X, y + offset.Y, FAngle, text);
    }
    canvas.Font().SetColor(Font().Color());
    if (!Enabled()) {
        canvas.Font().SetColor(clBtnHighlight);
        TextOutRotated(canvas, x + 1, y + 1, FAngle, text);
        canvas.Font().SetColor(clBtnShadow);
    }
    TextOutRotated(canvas, x, y, FAngle, text);
}

void TExCustomLabel::PaintProviderItem(TCanvas& canvas, TRect& rect, unsigned flags)
{
    FConsumer->WithAccess([&] {
        const TProviderDrawState state = Enabled() ? 0 : pdsDisabled;
        auto* selection = Supports<IExDataItemSelection>(FConsumer.get());
        IExDataItem* item = selection ? selection->SelectedItem() : nullptr;
        IExDataItemsPainter* listPainter = item ? Supports<IExDataItemsPainter>(item->OwnerItems()) : nullptr;
        IExDataItemPainter* itemPainter = item && !listPainter ? Supports<IExDataItemPainter>(item) : nullptr;
        if (!listPainter && !itemPainter) {
            PaintCaptionText(canvas, rect, flags);
            return;
        }
        canvas.Brush().SetColor(Color());
        SelectFont(canvas, false);
        if (flags & DT_CALCRECT) {
            const TSize size = listPainter ? listPainter->SizeOfItem(canvas, item) : itemPainter->SizeOfSelf(canvas);
            rect.Right = size.cx;
            rect.Bottom = size.cy;
        } else if (listPainter) {
            listPainter->PaintItem(canvas, rect, item, state);
        } else {
            itemPainter->PaintSelf(canvas, rect, state);
        }
    });
}

void TExCustomLabel::FitToContent()
{
    const bool reading = ComponentState().Contains(csLoading) || ComponentState().Contains(csReading);
    if (!reading && FAutoSize && FFitPending) {
        TRect r = ClientRect();
        r.Left += 1;
        r.Right -= 1;
        TCanvas canvas;
        const auto [ml, mt, mr, mb] = FTextMargins;
        if (FAngle == 0) {
            r = {r.Left + ml, r.Top + mt, r.Right - mr, r.Bottom - mb};
            RenderContent(canvas, r, (FWordWrap ? DT_WORDBREAK : 0u) | DT_CALCRECT | DT_EXPANDTABS);
            r = {r.Left - ml, r.Top - mt, r.Right + mr, r.Bottom + mb};
        } else {
            PaintRotatedText(canvas, r, AlignmentFlag(FAlignment) | DT_CALCRECT | DT_EXPANDTABS | DT_WORDBREAK,
                             TShadowPosition::spLeftTop, 0, 0, HasGlyph());
        }
        r.Left -= 1;
        r.Right += 1;
        int x = Left();
        if (HasGlyph())
            r.Bottom = std::max(r.Bottom, r.Top + GlyphHeight());
        if (FAlignment == taRightJustify && !HasGlyph())
            x += Width() - r.Right;
        SetBounds(x, Top(), r.Right, r.Bottom);
    }
    FFitPending = false;
}

// ---- painting

void TExCustomLabel::Paint()
{
    TCanvas& canvas = Canvas();
    canvas.Brush().SetColor(Color());
    canvas.Brush().SetStyle(TBrushStyle::bsSolid);
    const TRect client = ClientRect();
    if (!Transparent() && (FRoundedFrame == 0 || FFrameColor == clNone))
        PaintThemedBackground(*this, canvas, client);
    else if (Transparent())
        canvas.Brush().SetStyle(TBrushStyle::bsClear);
    if (FFrameColor != clNone) {
        if (FRoundedFrame == 0) {
            canvas.Brush().SetColor(FFrameColor);
            canvas.FrameRect(client);
        } else {
            canvas.Brush().SetColor(Color());
            PaintChamferedFrame(canvas, client, FFrameColor, FRoundedFrame);
        }
    }
    const auto [ml, mt, mr, mb] = FTextMargins;
    TRect r{client.Left + ml + 1, client.Top + mt, client.Right - mr - 1, client.Bottom - mb};
    const unsigned flags = (FWordWrap ? DT_WORDBREAK : 0u) | DT_EXPANDTABS | AlignmentFlag(FAlignment);
    if (FLayout != TTextLayout::tlTop) {
        TRect measured = r;
        RenderContent(canvas, measured, flags | DT_CALCRECT);
        const int dy = FLayout == TTextLayout::tlBottom ? Height() - measured.Bottom : (Height() - measured.Bottom) / 2;
        OffsetRect(r, 0, dy);
    }
    r.Left = ml;
    r.Right = ClientWidth() - 1 - mr;
    canvas.Brush().SetStyle(TBrushStyle::bsClear);
    RenderContent(canvas, r, flags);
    if (FShowFocus && FFocusControl && FFocusControlActive && !ComponentState().Contains(csDesigning)) {
        InflateRect(r, 1, 0);
        canvas.Brush().SetColor(Color());
        DrawFocusRect(canvas, r);
    }
}
