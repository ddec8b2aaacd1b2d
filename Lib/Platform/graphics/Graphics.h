#pragma once
// Graphic objects of the class library: TFont, TPen and TBrush. Each tells its OnChange
// handler when a property really changes; the canvas applies them to a QPainter.

#include "Platform/graphics/Colors.h"
#include "Platform/core/Component.h"
#include "Platform/core/Set.h"

#include <QBrush>
#include <QFont>
#include <QPen>

enum TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using TFontStyles = TSet<TFontStyle>;
enum class TFontPitch { fpDefault, fpVariable, fpFixed };
using TFontCharset = std::uint8_t;
constexpr TFontCharset ANSI_CHARSET = 0, DEFAULT_CHARSET = 1, SYMBOL_CHARSET = 2, OEM_CHARSET = 255;

class TFont : public TPersistent {
public:
    TFont();

    const std::string& Name() const { return FName; }
    void SetName(const std::string& name);
    // Size in points; Height in pixels, negative for the character height without leading.
    int Size() const;
    void SetSize(int points);
    int Height() const { return FHeight; }
    void SetHeight(int pixels);
    TFontStyles Style() const { return FStyle; }
    void SetStyle(TFontStyles style);
    TColor Color() const { return FColor; }
    void SetColor(TColor color);
    TFontCharset Charset() const { return FCharset; }
    void SetCharset(TFontCharset charset);
    TFontPitch Pitch() const { return FPitch; }
    void SetPitch(TFontPitch pitch);
    int PixelsPerInch() const { return FPixelsPerInch; }
    void SetPixelsPerInch(int ppi);

    // The Qt font for this description. A family that the system lacks is replaced: fixed-pitch
    // families ("Courier New" ...) by the system's fixed font, others by Qt's own matching.
    QFont ToQFont() const;
    void Assign(const TPersistent& source) override;

    TNotifyEvent OnChange;

private:
    void Changed();

    std::string FName = "MS Sans Serif";
    int FHeight = -11;
    TFontStyles FStyle;
    TColor FColor = clWindowText;
    TFontCharset FCharset = DEFAULT_CHARSET;
    TFontPitch FPitch = TFontPitch::fpDefault;
    int FPixelsPerInch = 96;
};

// number * numerator / denominator in 64-bit precision, rounded half away from zero;
// -1 when denominator is 0 or the result does not fit an int, as the platform routine answers.
int MulDiv(int number, int numerator, int denominator);

// The family Qt will use for `name`: the name itself when installed, else its substitute.
std::string ResolveFontFamily(const std::string& name);

enum class TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
enum class TPenMode { pmCopy, pmNot, pmXor, pmNotXor, pmMerge, pmMask };

class TPen : public TPersistent {
public:
    TColor Color() const { return FColor; }
    void SetColor(TColor color);
    int Width() const { return FWidth; }
    void SetWidth(int width);
    TPenStyle Style() const { return FStyle; }
    void SetStyle(TPenStyle style);
    TPenMode Mode() const { return FMode; }
    void SetMode(TPenMode mode);

    QPen ToQPen() const;
    void Assign(const TPersistent& source) override;
    TNotifyEvent OnChange;

private:
    void Changed();
    TColor FColor = clBlack;
    int FWidth = 1;
    TPenStyle FStyle = TPenStyle::psSolid;
    TPenMode FMode = TPenMode::pmCopy;
};

enum class TBrushStyle { bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross };

class TBrush : public TPersistent {
public:
    TColor Color() const { return FColor; }
    void SetColor(TColor color);
    TBrushStyle Style() const { return FStyle; }
    void SetStyle(TBrushStyle style);

    QBrush ToQBrush() const;
    void Assign(const TPersistent& source) override;
    TNotifyEvent OnChange;

private:
    void Changed();
    TColor FColor = clWhite;
    TBrushStyle FStyle = TBrushStyle::bsSolid;
};
