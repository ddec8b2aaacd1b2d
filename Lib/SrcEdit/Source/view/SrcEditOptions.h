#pragma once
// Option objects that an editor owns and publishes: selection colours (TSrcSelectedColor), the
// gutter (TSrcGutter) and the bookmark options (TSrcBookMarkOpt). Every writer compares with the
// current value and reports a real change through OnChange (Sender = the object).

#include "SrcEdit/Source/view/SrcEditCursor.h"

#include "Platform/graphics/Colors.h"
#include "Platform/core/Component.h"
#include "Platform/graphics/Graphics.h"

#include <string>

class TSrcSelectedColor : public TPersistent {
public:
    TColor Background() const { return FBackground; }
    void SetBackground(TColor value);
    TColor Foreground() const { return FForeground; }
    void SetForeground(TColor value);

    void Assign(const TPersistent& source) override;
    TNotifyEvent OnChange;

private:
    void Changed();
    TColor FBackground = clHighlight;
    TColor FForeground = clHighlightText;
};

enum class TSrcGutterBorderStyle { gbsNone, gbsMiddle, gbsRight };

class TSrcGutter : public TPersistent {
public:
    TSrcGutter();

    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool value);
    TSrcGutterBorderStyle BorderStyle() const { return FBorderStyle; }
    // Stores and reports a change even when the value is the current one.
    void SetBorderStyle(TSrcGutterBorderStyle value);
    TColor Color() const { return FColor; }
    void SetColor(TColor value);
    TColor BorderColor() const { return FBorderColor; }
    void SetBorderColor(TColor value);
    // Plain store, no event.
    TCursor Cursor() const { return FCursor; }
    void SetCursor(TCursor value) { FCursor = value; }
    // Clamped to 2..12; also resets the automatic digit count.
    int DigitCount() const { return FDigitCount; }
    void SetDigitCount(int value);
    // A change of the font, also in place, is reported as a change of the gutter.
    TFont& Font() { return FFont; }
    const TFont& Font() const { return FFont; }
    void SetFont(const TFont& value);
    bool LeadingZeros() const { return FLeadingZeros; }
    void SetLeadingZeros(bool value);
    int LeftOffset() const { return FLeftOffset; }
    void SetLeftOffset(int value);
    int RightOffset() const { return FRightOffset; }
    void SetRightOffset(int value);
    bool ShowLineNumbers() const { return FShowLineNumbers; }
    void SetShowLineNumbers(bool value);
    bool UseFontStyle() const { return FUseFontStyle; }
    void SetUseFontStyle(bool value);
    bool Visible() const { return FVisible; }
    void SetVisible(bool value);
    int Width() const { return FWidth; }
    void SetWidth(int value);
    bool ZeroStart() const { return FZeroStart; }
    void SetZeroStart(bool value);
    // Negative becomes 0; also sets ZeroStart to (value = 0).
    int LineNumberStart() const { return FLineNumberStart; }
    void SetLineNumberStart(int value);
    bool Gradient() const { return FGradient; }
    void SetGradient(bool value);
    TColor GradientStartColor() const { return FGradientStartColor; }
    void SetGradientStartColor(TColor value);
    TColor GradientEndColor() const { return FGradientEndColor; }
    void SetGradientEndColor(TColor value);
    int GradientSteps() const { return FGradientSteps; }
    void SetGradientSteps(int value);

    // The number of digits line numbers are shown with.
    int AutoDigitCount() const { return FAutoDigitCount; }
    // With Visible, AutoSize and ShowLineNumbers: widens the digit count to the number of the
    // last line (reporting a change); otherwise it returns to DigitCount silently.
    void UpdateDigitCount(int lineCount);
    std::string LineNumberText(int line) const;
    int PixelWidth(int charWidth) const;

    // Copies the font, the line-number settings, offsets and sizes (not the border, cursor or
    // gradient settings) and reports one change.
    void Assign(const TPersistent& source) override;
    TNotifyEvent OnChange;

private:
    void Changed();
    int DisplayedNumber(int line) const;
    template <class T>
    void Set(T& field, T value);

    bool FAutoSize = false;
    TSrcGutterBorderStyle FBorderStyle = TSrcGutterBorderStyle::gbsMiddle;
    TColor FColor = clBtnFace;
    TColor FBorderColor = clWindow;
    TCursor FCursor = 0;
    int FDigitCount = 4;
    int FAutoDigitCount = 4;
    TFont FFont;
    bool FLeadingZeros = false;
    int FLeftOffset = 16;
    int FRightOffset = 2;
    bool FShowLineNumbers = false;
    bool FUseFontStyle = true;
    bool FVisible = true;
    int FWidth = 30;
    bool FZeroStart = false;
    int FLineNumberStart = 1;
    bool FGradient = false;
    TColor FGradientStartColor = clWindow;
    TColor FGradientEndColor = clBtnFace;
    int FGradientSteps = 48;
    bool FAssigning = false;
};

class TSrcBookMarkOpt : public TPersistent {
public:
    // `owner` is the editor; it is told when the bookmark image list is destroyed.
    explicit TSrcBookMarkOpt(TComponent* owner) : FOwner(owner) {}

    // The image list for bookmark and mark images (none by default).
    TComponent* BookmarkImages() const { return FBookmarkImages; }
    void SetBookmarkImages(TComponent* value);
    bool DrawBookmarksFirst() const { return FDrawBookmarksFirst; }
    void SetDrawBookmarksFirst(bool value);
    // Plain store, no event.
    bool EnableKeys() const { return FEnableKeys; }
    void SetEnableKeys(bool value) { FEnableKeys = value; }
    bool GlyphsVisible() const { return FGlyphsVisible; }
    void SetGlyphsVisible(bool value);
    int LeftMargin() const { return FLeftMargin; }
    void SetLeftMargin(int value);
    int Xoffset() const { return FXoffset; }
    void SetXoffset(int value);

    void Assign(const TPersistent& source) override;
    TNotifyEvent OnChange;

private:
    void Changed();

    TComponent* FOwner;
    TComponent* FBookmarkImages = nullptr;
    bool FDrawBookmarksFirst = true;
    bool FEnableKeys = true;
    bool FGlyphsVisible = true;
    int FLeftMargin = 2;
    int FXoffset = 12;
};
