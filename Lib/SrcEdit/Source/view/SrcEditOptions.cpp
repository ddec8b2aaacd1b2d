// Selection colours, gutter and bookmark options of the editor.

#include "SrcEdit/Source/view/SrcEditOptions.h"

#include "Platform/text/Format.h"

#include <algorithm>

namespace {

bool SameFont(const TFont& a, const TFont& b)
{
    return a.Name() == b.Name() && a.Height() == b.Height() && a.Style() == b.Style() && a.Color() == b.Color() &&
           a.Charset() == b.Charset() && a.Pitch() == b.Pitch() && a.PixelsPerInch() == b.PixelsPerInch();
}

// Stores the value; true when it differed from the one it replaced.
template <class T>
bool Store(T& field, T value)
{
    if (field == value)
        return false;
    field = value;
    return true;
}

} // namespace

// ---- TSrcSelectedColor

void TSrcSelectedColor::Changed()
{
    if (OnChange)
        OnChange(this);
}

void TSrcSelectedColor::SetBackground(TColor value)
{
    if (Store(FBackground, value))
        Changed();
}

void TSrcSelectedColor::SetForeground(TColor value)
{
    if (Store(FForeground, value))
        Changed();
}

void TSrcSelectedColor::Assign(const TPersistent& source)
{
    if (auto src = dynamic_cast<const TSrcSelectedColor*>(&source)) {
        FBackground = src->FBackground;
        FForeground = src->FForeground;
        Changed();
        return;
    }
    TPersistent::Assign(source);
}

// ---- TSrcGutter

TSrcGutter::TSrcGutter()
{
    FFont.SetName("Courier New");
    FFont.SetSize(8);
    FFont.SetStyle({});
    FFont.OnChange = [this](TObject*) {
        if (!FAssigning)
            Changed();
    };
}

void TSrcGutter::Changed()
{
    if (OnChange)
        OnChange(this);
}

template <class T>
void TSrcGutter::Set(T& field, T value)
{
    if (Store(field, value))
        Changed();
}

void TSrcGutter::SetAutoSize(bool value)
{
    Set(FAutoSize, value);
}

void TSrcGutter::SetBorderStyle(TSrcGutterBorderStyle value)
{
    FBorderStyle = value;
    Changed();
}

void TSrcGutter::SetColor(TColor value)
{
    Set(FColor, value);
}

void TSrcGutter::SetBorderColor(TColor value)
{
    Set(FBorderColor, value);
}

void TSrcGutter::SetDigitCount(int value)
{
    value = std::clamp(value, 2, 12);
    if (value == FDigitCount)
        return;
    FDigitCount = value;
    FAutoDigitCount = value;
    Changed();
}

void TSrcGutter::SetFont(const TFont& value)
{
    if (!SameFont(value, FFont))
        FFont.Assign(value);
}

void TSrcGutter::SetLeadingZeros(bool value)
{
    Set(FLeadingZeros, value);
}

void TSrcGutter::SetLeftOffset(int value)
{
    Set(FLeftOffset, std::max(0, value));
}

void TSrcGutter::SetRightOffset(int value)
{
    Set(FRightOffset, std::max(0, value));
}

void TSrcGutter::SetShowLineNumbers(bool value)
{
    Set(FShowLineNumbers, value);
}

void TSrcGutter::SetUseFontStyle(bool value)
{
    Set(FUseFontStyle, value);
}

void TSrcGutter::SetVisible(bool value)
{
    Set(FVisible, value);
}

void TSrcGutter::SetWidth(int value)
{
    Set(FWidth, std::max(0, value));
}

void TSrcGutter::SetZeroStart(bool value)
{
    Set(FZeroStart, value);
}

void TSrcGutter::SetLineNumberStart(int value)
{
    value = std::max(0, value);
    if (value == FLineNumberStart)
        return;
    FLineNumberStart = value;
    FZeroStart = value == 0;
    Changed();
}

void TSrcGutter::SetGradient(bool value)
{
    Set(FGradient, value);
}

void TSrcGutter::SetGradientStartColor(TColor value)
{
    Set(FGradientStartColor, value);
}

void TSrcGutter::SetGradientEndColor(TColor value)
{
    Set(FGradientEndColor, value);
}

void TSrcGutter::SetGradientSteps(int value)
{
    Set(FGradientSteps, std::max(2, value));
}

int TSrcGutter::DisplayedNumber(int line) const
{
    if (FZeroStart)
        return line - 1;
    if (FLineNumberStart > 1)
        return line + FLineNumberStart - 1;
    return line;
}

void TSrcGutter::UpdateDigitCount(int lineCount)
{
    if (!(FVisible && FAutoSize && FShowLineNumbers)) {
        FAutoDigitCount = FDigitCount;
        return;
    }
    const int digits = std::max(static_cast<int>(std::to_string(DisplayedNumber(lineCount)).size()), FDigitCount);
    if (digits != FAutoDigitCount) {
        FAutoDigitCount = digits;
        Changed();
    }
}

std::string TSrcGutter::LineNumberText(int line) const
{
    std::string text = Format("%*d", {FAutoDigitCount, DisplayedNumber(line)});
    if (FLeadingZeros)
        for (size_t i = 0; i + 1 < text.size() && text[i] == ' '; ++i)
            text[i] = '0';
    return text;
}

int TSrcGutter::PixelWidth(int charWidth) const
{
    if (!FVisible)
        return 0;
    if (!FShowLineNumbers)
        return FWidth;
    return FLeftOffset + FRightOffset + charWidth * FAutoDigitCount + 2;
}

void TSrcGutter::Assign(const TPersistent& source)
{
    auto src = dynamic_cast<const TSrcGutter*>(&source);
    if (!src) {
        TPersistent::Assign(source);
        return;
    }
    if (src == this)
        return;
    FAssigning = true; // why: the whole copy reports one change, not one for the font as well
    FFont.Assign(src->FFont);
    FAssigning = false;
    FUseFontStyle = src->FUseFontStyle;
    FColor = src->FColor;
    FVisible = src->FVisible;
    FWidth = src->FWidth;
    FShowLineNumbers = src->FShowLineNumbers;
    FLeadingZeros = src->FLeadingZeros;
    FZeroStart = src->FZeroStart;
    FLeftOffset = src->FLeftOffset;
    FDigitCount = src->FDigitCount;
    FRightOffset = src->FRightOffset;
    FAutoSize = src->FAutoSize;
    FAutoDigitCount = src->FAutoDigitCount;
    FLineNumberStart = src->FLineNumberStart;
    Changed();
}

// ---- TSrcBookMarkOpt

void TSrcBookMarkOpt::Changed()
{
    if (OnChange)
        OnChange(this);
}

void TSrcBookMarkOpt::SetBookmarkImages(TComponent* value)
{
    if (value == FBookmarkImages)
        return;
    FBookmarkImages = value;
    if (value && FOwner)
        FOwner->FreeNotification(value);
    Changed();
}

void TSrcBookMarkOpt::SetDrawBookmarksFirst(bool value)
{
    if (Store(FDrawBookmarksFirst, value))
        Changed();
}

void TSrcBookMarkOpt::SetGlyphsVisible(bool value)
{
    if (Store(FGlyphsVisible, value))
        Changed();
}

void TSrcBookMarkOpt::SetLeftMargin(int value)
{
    if (Store(FLeftMargin, value))
        Changed();
}

void TSrcBookMarkOpt::SetXoffset(int value)
{
    if (Store(FXoffset, value))
        Changed();
}

void TSrcBookMarkOpt::Assign(const TPersistent& source)
{
    if (auto src = dynamic_cast<const TSrcBookMarkOpt*>(&source)) {
        FBookmarkImages = src->FBookmarkImages;
        if (FBookmarkImages && FOwner)
            FOwner->FreeNotification(FBookmarkImages);
        FDrawBookmarksFirst = src->FDrawBookmarksFirst;
        FEnableKeys = src->FEnableKeys;
        FGlyphsVisible = src->FGlyphsVisible;
        FLeftMargin = src->FLeftMargin;
        FXoffset = src->FXoffset;
        Changed();
        return;
    }
    TPersistent::Assign(source);
}
