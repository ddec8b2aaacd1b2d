#pragma once
// TExLabel: a windowless text label with a drop shadow, rotation by any angle, ellipses, an
// optional glyph from an image list, a plain or chamfered frame, a hot-track font while the mouse
// is over it, an accelerator that focuses another control, a URL that a click opens, and a data
// consumer through which caption and drawing can come from a provider's selected item.

#include "ExLib/run/controls/ExComponent.h"
#include "ExLib/run/data/ExDataConsumer.h"

#include "Platform/controls/ControlFont.h"
#include "Platform/graphics/ImageListLink.h"

#include <array>

enum class TShadowPosition { spLeftTop, spLeftBottom, spRightBottom, spRightTop };
enum class TExTextEllipsis { teNone, teWordEllipsis, tePathEllipsis, teEndEllipsis };

// The consumer attribute of a label.
constexpr int ConsumerAttributeLabel = 2;

class TExCustomLabel : public TExGraphicControl {
public:
    explicit TExCustomLabel(TComponent* AOwner, QWidget* parent = nullptr);
    ~TExCustomLabel() override;

    const std::string& Caption() const { return Text(); }
    void SetCaption(const std::string& caption) { SetText(caption); }
    TFont& Font() { return FFont.Font(); }

    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment value) { SetAndRepaint(FAlignment, value); }
    TTextLayout Layout() const { return FLayout; }
    void SetLayout(TTextLayout value) { SetAndRepaint(FLayout, value); }
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool value);
    // Writing sets all four margins (clamped to at least 0); reading gives the left one.
    int Margin() const { return FTextMargins[0]; }
    void SetMargin(int value);
    // Left, top, right, bottom.
    const std::array<int, 4>& TextMargins() const { return FTextMargins; }
    TColor FrameColor() const { return FFrameColor; }
    void SetFrameColor(TColor value) { SetAndRepaint(FFrameColor, value); }
    // Accepted only from 0 up to below half the height.
    int RoundedFrame() const { return FRoundedFrame; }
    void SetRoundedFrame(int value);
    TColor ShadowColor() const { return FShadowColor; }
    void SetShadowColor(TColor value) { SetAndRepaint(FShadowColor, value); }
    int ShadowSize() const { return FShadowSize; }
    void SetShadowSize(std::uint8_t value);
    TShadowPosition ShadowPos() const { return FShadowPos; }
    void SetShadowPos(TShadowPosition value) { SetAndRepaint(FShadowPos, value); }
    bool ShowAccelChar() const { return FShowAccelChar; }
    void SetShowAccelChar(bool value) { SetAndRepaint(FShowAccelChar, value); }
    bool ShowFocus() const { return FShowFocus; }
    void SetShowFocus(bool value) { SetAndRepaint(FShowFocus, value); }
    TExTextEllipsis TextEllipsis() const { return FTextEllipsis; }
    void SetTextEllipsis(TExTextEllipsis value) { SetAndRepaint(FTextEllipsis, value); }
    // True exactly when the control style lacks csOpaque; with themes on a label stays transparent.
    bool Transparent() const { return !ControlStyle().Contains(csOpaque); }
    void SetTransparent(bool value);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool value);
    // Degrees counter-clockwise, -360..360; a negative angle is stored plus 360.
    int Angle() const { return FAngle; }
    void SetAngle(int value);
    int Spacing() const { return FSpacing; }
    void SetSpacing(int value);
    TWinControlCore* FocusControl() const { return FFocusControl; }
    void SetFocusControl(TWinControlCore* control);
    bool HotTrack() const { return FHotTrack; }
    void SetHotTrack(bool value) { FHotTrack = value; }
    TFont& HotTrackFont() { return FHotTrackFont; }
    void SetHotTrackFont(const TFont& font) { FHotTrackFont.Assign(font); }
    TExTrackFontOptions HotTrackFontOptions() const { return FHotTrackFontOptions; }
    void SetHotTrackFontOptions(TExTrackFontOptions options);
    TCustomImageList* Images() const { return FImages.Images(); }
    void SetImages(TCustomImageList* images);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int index);
    bool AutoOpenURL() const { return FAutoOpenURL; }
    void SetAutoOpenURL(bool value) { FAutoOpenURL = value; }
    const std::string& URL() const { return FURL; }
    void SetURL(const std::string& url) { FURL = url; }
    // The consumer; the property itself cannot be replaced.
    TExDataConsumer& Provider() { return *FConsumer; }

    // Records whether the bounds change (a refit may follow), then sets them.
    void SetBounds(int left, int top, int width, int height);
    void Loaded() override;
    void Click() override;

    // The text the label shows: the selected item's caption while a provider is linked.
    virtual std::string DisplayedCaption();
    bool HasGlyph() const { return FImages.Images() && FImageIndex >= 0; }
    bool HasProviderLink() const { return FConsumer && FConsumer->Provider(); }
    bool FitPending() const { return FFitPending; }

    using TExGraphicControl::HintColor;
    using TExGraphicControl::OnMouseEnter;
    using TExGraphicControl::OnMouseLeave;
    using TExGraphicControl::OnParentColorChange;
    using TExGraphicControl::SetHintColor;

protected:
    // Draw, or with DT_CALCRECT in `flags` measure, into `rect` on `canvas`.
    virtual void PaintCaptionText(TCanvas& canvas, TRect& rect, unsigned flags);
    virtual void PaintProviderItem(TCanvas& canvas, TRect& rect, unsigned flags);
    virtual void RenderContent(TCanvas& canvas, TRect& rect, unsigned flags);
    // The auto-size step: takes the measured content size when a fit is pending.
    virtual void FitToContent();
    virtual TColor NormalFontColor() { return Font().Color(); }
    virtual int GlyphWidth();
    virtual int GlyphHeight();

    // Rotated text; returns nothing, grows `rect` when measuring.
    void PaintRotatedText(TCanvas& canvas, TRect& rect, unsigned flags, TShadowPosition position, TColor shadowRGB,
                          int size, bool withGlyph);
    void UpdateHoverState();

    void Paint() override;
    void Notification(TComponent* component, TOperation operation) override;
    void TextChanged() override;
    void FontChanged() override;
    bool DialogChar(char32_t key, TShiftState shift, const std::u32string& keyText) override;
    void FocusChanged(TWinControlCore* control) override;
    void EnabledChanged() override;
    void VisibleChanged() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseEnter(TWinControlCore* control) override;
    void MouseLeave(TWinControlCore* control) override;

private:
    template <class T>
    void SetAndRepaint(T& field, T value)
    {
        if (field == value)
            return;
        field = value;
        Invalidate();
    }
    void Refit();
    // After the image list changed: the provider link goes, the label refits or repaints.
    void ImagesChanged();
    void DetachProvider();
    void ConsumerChanged(int reason);
    // The canvas font as the state asks: the hot-track font while the mouse is inside.
    void SelectFont(TCanvas& canvas, bool withNormalColor);

    TControlFont FFont;
    TFont FHotTrackFont;
    TExTrackFontOptions FHotTrackFontOptions{hoFollowFont, hoPreserveColor, hoPreserveStyle};
    std::unique_ptr<TExDataConsumer> FConsumer;
    TAlignment FAlignment = taLeftJustify;
    TTextLayout FLayout = TTextLayout::tlTop;
    bool FAutoSize = true;
    std::array<int, 4> FTextMargins{0, 0, 0, 0};
    TColor FFrameColor = clNone;
    int FRoundedFrame = 0;
    TColor FShadowColor = clBtnHighlight;
    int FShadowSize = 0;
    TShadowPosition FShadowPos = TShadowPosition::spRightBottom;
    bool FShowAccelChar = true;
    bool FShowFocus = false;
    TExTextEllipsis FTextEllipsis = TExTextEllipsis::teNone;
    bool FWordWrap = false;
    int FAngle = 0;
    int FSpacing = 4;
    TWinControlCore* FFocusControl = nullptr;
    bool FFocusControlActive = false;
    bool FHotTrack = false;
    TImageListLink FImages{*this};
    int FImageIndex = -1;
    bool FAutoOpenURL = true;
    std::string FURL;
    bool FFitPending = false;
};

class TExLabel : public TExCustomLabel {
public:
    using TExCustomLabel::TExCustomLabel;
};

// Draws the outline of `r` with corners cut by `cut` pixels, filled with the canvas's brush.
void PaintChamferedFrame(TCanvas& canvas, const TRect& r, TColor frameColor, int cut);
// Draws (or with DT_CALCRECT measures) `text` with a shadow `size` pixels off in `position`,
// then the text itself; `rect` becomes the union of both. Returns the text height, plus `size`
// when the height is not 0.
int PaintTextWithShadow(TCanvas& canvas, std::string_view text, TShadowPosition position, TColor shadowRGB, int size,
                        unsigned flags, TRect& rect);
