#pragma once
// TExStaticText: an owner-drawn static text with margins, vertical layout, a border, an
// accelerator that focuses another control, auto-size and an optional hot-track font.

#include "ExLib/run/controls/ExComponent.h"

#include "Platform/controls/ControlFont.h"

class TExCustomStaticText;

class TExTextMargins : public TPersistent {
public:
    explicit TExTextMargins(TNotifyEvent onChange = {}) : FOnChange(std::move(onChange)) {}
    int X() const { return FX; }
    void SetX(int value);
    int Y() const { return FY; }
    void SetY(int value);
    void Assign(const TPersistent& source) override;

private:
    int FX = 0;
    int FY = 0;
    TNotifyEvent FOnChange;
};

enum class TStaticBorderStyle { sbsNone, sbsSingle, sbsSunken };

class TExCustomStaticText : public TExWinControl {
public:
    explicit TExCustomStaticText(TComponent* AOwner, QWidget* parent = nullptr);
    ~TExCustomStaticText() override;

    const std::string& Caption() const { return Text(); }
    void SetCaption(const std::string& caption) { SetText(caption); }
    TFont& Font() { return FFont.Font(); }

    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment value);
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool value);
    TStaticBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TStaticBorderStyle value);
    TWinControlCore* FocusControl() const { return FFocusControl; }
    void SetFocusControl(TWinControlCore* control);
    bool HotTrack = false;
    TFont& HotTrackFont() { return FHotTrackFont; }
    void SetHotTrackFont(const TFont& font) { FHotTrackFont.Assign(font); }
    TExTrackFontOptions HotTrackFontOptions() const { return FHotTrackFontOptions; }
    void SetHotTrackFontOptions(TExTrackFontOptions options);
    TTextLayout Layout() const { return FLayout; }
    void SetLayout(TTextLayout value);
    bool ShowAccelChar() const { return FShowAccelChar; }
    void SetShowAccelChar(bool value);
    TExTextMargins& TextMargins() { return FTextMargins; }
    void SetTextMargins(const TExTextMargins* margins);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool value);

    // The text flags of the current settings (DT_*).
    unsigned TextFlags() const;
    // Where the caption is drawn inside `r` (the client area less the border).
    TRect CaptionRect(TCanvas& canvas, TRect r) const;
    void AdjustToText();
    void Loaded() override;

    using TExWinControl::HintColor;
    using TExWinControl::OnMouseEnter;
    using TExWinControl::OnMouseLeave;
    using TExWinControl::OnParentColorChange;
    using TExWinControl::SetHintColor;

protected:
    // Draws the text: background, border and caption.
    virtual void PaintOwnerDrawn(TCanvas& canvas, TRect r);
    void Paint() override;
    void TextChanged() override;
    void FontChanged() override;
    bool DialogChar(char32_t key, TShiftState shift, const std::u32string& keyText) override;
    void MouseEnter(TWinControlCore* control) override;
    void MouseLeave(TWinControlCore* control) override;
    void Resize() override;
    void Notification(TComponent* component, TOperation operation) override;

private:
    TControlFont FFont;
    TFont FHotTrackFont;
    TFont FSavedFont;
    TExTrackFontOptions FHotTrackFontOptions{hoFollowFont, hoPreserveColor, hoPreserveStyle};
    TAlignment FAlignment = TAlignment::taLeftJustify;
    bool FAutoSize = true;
    TStaticBorderStyle FBorderStyle = TStaticBorderStyle::sbsNone;
    TWinControlCore* FFocusControl = nullptr;
    TTextLayout FLayout = TTextLayout::tlTop;
    bool FShowAccelChar = true;
    TExTextMargins FTextMargins;
    bool FWordWrap = false;
    bool FHot = false;
};

class TExStaticText : public TExCustomStaticText {
public:
    using TExCustomStaticText::TExCustomStaticText;
};
