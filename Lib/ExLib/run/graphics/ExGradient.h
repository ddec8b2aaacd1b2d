#pragma once
// Gradients and placed pictures: a two-colour persistent with a change event, the gradient with
// seven orientations, hatched or solid bands and partial filling, and the routines that paint a
// gradient or a picture placed, stretched or tiled into a rectangle.

#include "Platform/graphics/Canvas.h"

#include <QImage>

class QPaintDevice;

class TJvgTwainColors : public TPersistent {
public:
    TColor FromColor() const { return FFromColor; }
    void SetFromColor(TColor color);
    TColor ToColor() const { return FToColor; }
    void SetToColor(TColor color);
    // The RGB values the colours had when they were set.
    TColor RGBFromColor() const { return FRGBFrom; }
    TColor RGBToColor() const { return FRGBTo; }
    void Assign(const TPersistent& source) override;
    TNotifyEvent OnChanged;

protected:
    virtual void NotifyColorsChanged();

private:
    TColor FFromColor = clGray;
    TColor FToColor = clBlack;
    TColor FRGBFrom = clGray;
    TColor FRGBTo = clBlack;
};

enum class TglGradientDir {
    fgdHorizontal, fgdVertical, fgdLeftBias, fgdRightBias, fgdRectangle, fgdHorzConvergent, fgdVertConvergent,
};

class TJvgGradient : public TJvgTwainColors {
public:
    bool Active() const { return FActive; }
    void SetActive(bool value) { Set(FActive, value); }
    bool BufferedDraw() const { return FBufferedDraw; }
    void SetBufferedDraw(bool value) { Set(FBufferedDraw, value); }
    TglGradientDir Orientation() const { return FOrientation; }
    void SetOrientation(TglGradientDir value) { Set(FOrientation, value); }
    int Steps() const { return FSteps; }
    // Clamped to 1..255.
    void SetSteps(int value) { Set(FSteps, std::clamp(value, 1, 255)); }
    int PercentFilling() const { return FPercentFilling; }
    void SetPercentFilling(int value) { Set(FPercentFilling, std::clamp(value, 0, 100)); }
    TBrushStyle BrushStyle() const { return FBrushStyle; }
    void SetBrushStyle(TBrushStyle value) { Set(FBrushStyle, value); }
    void Assign(const TPersistent& source) override;

    // Swaps the two colours for a moment (convergent gradients paint in two halves).
    void SwapColors();

private:
    template <class T>
    void Set(T& field, T value)
    {
        if (field == value)
            return;
        field = value;
        NotifyColorsChanged();
    }
    bool FActive = false;
    bool FBufferedDraw = false;
    TglGradientDir FOrientation = TglGradientDir::fgdHorizontal;
    int FSteps = 255;
    int FPercentFilling = 100;
    TBrushStyle FBrushStyle = TBrushStyle::bsSolid;
};

// Paints the gradient into `r`; the pen width and style serve the two bias orientations only.
void PaintGradient(TJvgGradient& gradient, QPainter& painter, const TRect& r, int penWidth, TPenStyle penStyle);
void DrawGradientBox(QPainter& painter, TRect r, TJvgGradient& gradient, TPenStyle penStyle, int penWidth);

enum class TAxis { Horizontal, Vertical };
// The device's pixels for a length, rounded.
int InchesToPixels(const QPaintDevice* device, TAxis axis, double inches);
int CentimetersToPixels(const QPaintDevice* device, TAxis axis, double centimetres);

bool HasBitmapImage(const QImage& bitmap);
// Corner 1 upper-left, 2 lower-left, 3 upper-right, 4 lower-right; 0 otherwise or when empty.
TColor CornerPixelColor(const QImage& bitmap, int corner);
void ReplaceBitmapColor(QImage& bitmap, TColor from, TColor to);

// Placement 0 once, 1 stretched, 2 stretched keeping the proportions, 3 tiled; state 0 normal,
// 1 disabled, 2 with white and grey in the 3D colours.
void PaintBitmapPlaced(QPainter& painter, const QImage& bitmap, const TRect& r, int x, int y, int placement,
                       int state, bool transparent, TColor transparentColor, TColor disabledMaskColor);
