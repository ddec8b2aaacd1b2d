#pragma once
// Speed buttons: windowless push buttons that can be flat, stay down alone or as one of a group,
// repeat their click while held, pop up a drop-down menu, and paint a picture (from a bitmap
// strip or an image list) with a caption.

#include "ExLib/run/buttons/ExButtonGlyph.h"
#include "ExLib/run/controls/ExComponent.h"

#include "Platform/controls/ActnList.h"
#include "Platform/controls/ControlFont.h"
#include "Platform/controls/Menus.h"

#include <QTimer>

// The group message: WParam the group index, LParam the button that went down.
constexpr UINT CM_BUTTONGROUP = CM_BASE + 0x51;

enum class TButtonStyle { bsAutoDetect, bsWin31, bsNew };
enum class TExDropDownMenuPos { dmpBottom, dmpRight };

struct TExSpeedButtonHotTrackOptions {
    bool Enabled = false;
    TColor Color = 0x00D2BDB6;
    TColor FrameColor = 0x006A240A;
};

class TExCustomSpeedButton : public TExGraphicControl {
public:
    explicit TExCustomSpeedButton(TComponent* AOwner, QWidget* parent = nullptr);
    ~TExCustomSpeedButton() override;

    const std::string& Caption() const { return Text(); }
    void SetCaption(const std::string& caption) { SetText(caption); }
    TFont& Font() { return FFont.Font(); }
    TFont& HotTrackFont() { return FHotTrackFont; }
    void SetHotTrackFont(const TFont& font) { FHotTrackFont.Assign(font); }
    TExTrackFontOptions HotTrackFontOptions() const { return FHotTrackFontOptions; }
    void SetHotTrackFontOptions(TExTrackFontOptions options);

    bool Down() const { return FDown; }
    void SetDown(bool value);
    int GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int value);
    bool AllowAllUp() const { return FAllowAllUp; }
    void SetAllowAllUp(bool value);
    bool AllowTimer() const { return FAllowTimer; }
    void SetAllowTimer(bool value);
    int InitPause = 500;
    int RepeatInterval = 100;

    bool Flat() const { return FFlat; }
    void SetFlat(bool value) { SetLook(FFlat, value); }
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool value) { SetLook(FTransparent, value); }
    bool GrayedInactive() const { return FGrayedInactive; }
    void SetGrayedInactive(bool value) { SetLook(FGrayedInactive, value); }
    bool MarkDropDown() const { return FMarkDropDown; }
    void SetMarkDropDown(bool value) { SetLook(FMarkDropDown, value); }
    bool HotTrack() const { return FHotTrack; }
    void SetHotTrack(bool value) { SetLook(FHotTrack, value); }
    bool DoubleBuffered = true;
    TButtonStyle Style() const { return FStyle; }
    void SetStyle(TButtonStyle style);
    TButtonLayout Layout() const { return FLayout; }
    void SetLayout(TButtonLayout layout);
    int Margin() const { return FMargin; }
    // -1 centres; values below -1 are ignored.
    void SetMargin(int value);
    int Spacing() const { return FSpacing; }
    void SetSpacing(int value);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment alignment);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool value);
    bool GrayNewStyle() const { return FGrayNewStyle; }
    void SetGrayNewStyle(bool value);
    TExSpeedButtonHotTrackOptions HotTrackOptions;

    TPopupMenu* DropDownMenu() const { return FDropDownMenu; }
    void SetDropDownMenu(TPopupMenu* menu);
    TExDropDownMenuPos MenuPosition = TExDropDownMenuPos::dmpBottom;
    int ModalResult = 0;
    // The screen point where the drop-down menu opens.
    TPoint DropDownMenuOrigin() const;

    TAction* Action() const { return FAction; }
    void SetAction(TAction* action);

    TExButtonState State() const { return FState; }
    bool MouseOver() const { return FMouseOver; }
    QTimer* RepeatTimer() const { return FRepeatTimer.get(); }

    using TExGraphicControl::HintColor;
    using TExGraphicControl::OnMouseEnter;
    using TExGraphicControl::OnMouseLeave;
    using TExGraphicControl::OnParentColorChange;
    using TExGraphicControl::SetHintColor;

    void Click() override;

protected:
    // Draws picture, caption and the drop-down mark into the content rectangle.
    virtual void PaintContent(TCanvas& canvas, const TRect& content, TPoint offset, bool dropDownMark,
                              TExButtonState pictureState) = 0;
    virtual void ActionChange();
    // The picture engine whose settings the button keeps.
    virtual TJvxButtonGlyph& MainGlyph() = 0;
    // Whether the hot-track font and picture apply now.
    bool Hot() const { return FMouseOver || FPressing; }

    void Paint() override;
    void WndProc(TMessage& message) override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseEnter(TWinControlCore* control) override;
    void MouseLeave(TWinControlCore* control) override;
    void EnabledChanged() override;
    void VisibleChanged() override;
    void FontChanged() override;
    void TextChanged() override;
    bool DialogChar(char32_t key, TShiftState shift, const std::u32string& keyText) override;
    void Notification(TComponent* component, TOperation operation) override;

private:
    void SetLook(bool& field, bool value);
    void NotifyGroupMates();
    void FinishPress(TMouseButton button, int x, int y);
    void RefreshMouseOver();
    void TimerExpired();
    bool Inside(int x, int y) const { return x >= 0 && x < ClientWidth() && y >= 0 && y <= ClientHeight(); }
    void PaintButtonBorder(TCanvas& canvas, TRect& r, bool pressed);

    TControlFont FFont;
    TFont FHotTrackFont;
    TExTrackFontOptions FHotTrackFontOptions{hoFollowFont, hoPreserveColor, hoPreserveStyle};
    TExButtonState FState = TExButtonState::bsUp;
    bool FDown = false;
    int FGroupIndex = 0;
    bool FAllowAllUp = false;
    bool FAllowTimer = false;
    bool FFlat = false;
    bool FTransparent = false;
    bool FGrayedInactive = true;
    bool FMarkDropDown = true;
    bool FHotTrack = false;
    bool FGrayNewStyle = true;
    TButtonStyle FStyle = TButtonStyle::bsAutoDetect;
    TButtonLayout FLayout = TButtonLayout::blGlyphTop;
    int FMargin = -1;
    int FSpacing = 1;
    TAlignment FAlignment = TAlignment::taCenter;
    bool FWordWrap = false;
    bool FMouseOver = false;
    bool FPressing = false;
    bool FMenuTracking = false;
    TPopupMenu* FDropDownMenu = nullptr;
    TAction* FAction = nullptr;
    QMetaObject::Connection FActionConnection;
    std::unique_ptr<QTimer> FRepeatTimer;
};

class TExSpeedButton : public TExCustomSpeedButton {
public:
    explicit TExSpeedButton(TComponent* AOwner, QWidget* parent = nullptr);

    const QImage& Glyph() const { return FGlyph.Glyph(); }
    void SetGlyph(const QImage& glyph) { FGlyph.SetGlyph(glyph); }
    const QImage& HotTrackGlyph() const { return FHotGlyph.Glyph(); }
    void SetHotTrackGlyph(const QImage& glyph) { FHotGlyph.SetGlyph(glyph); }
    int NumGlyphs() const { return FGlyph.NumGlyphs(); }
    void SetNumGlyphs(int value) { FGlyph.SetNumGlyphs(value); }
    TJvxButtonGlyph& GlyphObject() { return FGlyph; }

protected:
    void PaintContent(TCanvas& canvas, const TRect& content, TPoint offset, bool dropDownMark,
                      TExButtonState pictureState) override;
    TJvxButtonGlyph& MainGlyph() override { return FGlyph; }

private:
    TJvxButtonGlyph FGlyph;
    TJvxButtonGlyph FHotGlyph;
};

class TExImageSpeedButton : public TExCustomSpeedButton {
public:
    explicit TExImageSpeedButton(TComponent* AOwner, QWidget* parent = nullptr);
    ~TExImageSpeedButton() override;

    TCustomImageList* Images() const { return FImages; }
    void SetImages(TCustomImageList* images);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int index);
    int HotTrackImageIndex() const { return FHotTrackImageIndex; }
    void SetHotTrackImageIndex(int index);

protected:
    void PaintContent(TCanvas& canvas, const TRect& content, TPoint offset, bool dropDownMark,
                      TExButtonState pictureState) override;
    TJvxButtonGlyph& MainGlyph() override { return FGlyph; }
    void Notification(TComponent* component, TOperation operation) override;
    // The picture object, for buttons that draw their own pictures through it.
    TJvxButtonGlyph& GlyphObject() { return FGlyph; }

private:
    TJvxButtonGlyph FGlyph;
    TCustomImageList* FImages = nullptr;
    int FImagesLink = 0;
    int FImageIndex = -1;
    int FHotTrackImageIndex = 0;
};
