#pragma once
// Pictures the editor draws in its gutter: a glyph with a mask colour and a built-in fallback
// (TSrcGlyph, the word-wrap glyph) and strips of same-size images shared through a process-wide
// cache (TSrcInternalImage, the bookmark images).

#include "Platform/graphics/Canvas.h"
#include "Platform/graphics/Colors.h"
#include "Platform/core/Component.h"

#include <QImage>
#include <string>

class TSrcGlyph : public TPersistent {
public:
    // The internal glyph comes from the named bitmap resource (none for an empty name), drawn
    // with `internalMaskColor` transparent. A missing resource raises EResNotFound.
    explicit TSrcGlyph(const std::string& resourceName = {}, TColor internalMaskColor = clNone);

    const QImage& Glyph() const { return FGlyph; }
    // Copies the bitmap; a different picture reports a change.
    void SetGlyph(const QImage& value);
    TColor MaskColor() const { return FMaskColor; }
    void SetMaskColor(TColor value);
    bool Visible() const { return FVisible; }
    void SetVisible(bool value);

    const QImage& InternalGlyph() const { return FInternalGlyph; }
    TColor InternalMaskColor() const { return FInternalMaskColor; }

    // The width of Glyph, else of the internal glyph, else 0.
    int GlyphWidth() const;
    // Draws Glyph (or the internal glyph) in a row of LineHeight pixels at (X, Y): centred when
    // the row is higher, else only the middle LineHeight rows of the picture. Pixels of the mask
    // colour stay transparent.
    void DrawGlyph(TCanvas& canvas, int X, int Y, int LineHeight) const;

    // Copies both pictures, both mask colours and Visible; reports one change.
    void Assign(const TPersistent& source) override;
    TNotifyEvent OnChange;

private:
    void Changed();

    QImage FGlyph;
    TColor FMaskColor = clNone;
    bool FVisible = true;
    QImage FInternalGlyph;
    TColor FInternalMaskColor;
};

class TSrcInternalImage : public TObject {
public:
    // Shares the bitmap of the resource (letter case ignored) with every other strip made from
    // it; the first one loads it. A missing resource raises EResNotFound.
    TSrcInternalImage(const std::string& resourceName, int count);
    ~TSrcInternalImage() override;

    int Count() const { return FCount; }
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    const QImage& Bitmap() const { return FBitmap; }

    // Draws image Index (nothing outside 0..Count-1) opaque, centred in or cut to the row like
    // TSrcGlyph::DrawGlyph.
    void DrawImage(TCanvas& canvas, int index, int X, int Y, int LineHeight) const;

    // Bitmaps held by the shared cache, for checks of its life cycle.
    static int CachedBitmapCount();

private:
    std::string FKey;
    QImage FBitmap;
    int FCount;
    int FWidth;
    int FHeight;
};
