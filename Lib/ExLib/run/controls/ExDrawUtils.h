#pragma once
// Drawing routines the controls share: the parent's image behind a windowless control, cells of
// an image strip, images with a transparent colour, disabled and embossed looks, a checker
// pattern, gradient bands, the hot-track font rule, and a few questions about fonts, windows
// and message boxes. Images are QImages; a monochrome image (Format_Mono) masks white.

#include "ExLib/run/common/ExLibTypes.h"

#include "Platform/graphics/Canvas.h"
#include "Platform/controls/Control.h"

#include <QImage>
#include <string>

// Paints into `canvas` what lies under `control`: its parent's background and painting, then
// the parent's windowless children below it that it overlaps.
void PaintParentImage(TWinControlCore& control, TCanvas& canvas);

// `dest` becomes cell `index` of the `columns` x `rows` grid of `source` (counts below 1 count
// as 1, an index below 0 as 0); nothing happens for an empty source.
void ExtractBitmapCell(const QImage& source, QImage& dest, int columns, int rows, int index);

// Stretch-copies a part of `source`, leaving its pixels of `maskColor` out.
void MaskedStretchBlit(QPainter& dest, int destX, int destY, int destWidth, int destHeight, const QImage& source,
                       int sourceX, int sourceY, int sourceWidth, int sourceHeight, TColor maskColor);
// Stretch-draws (a part of) `bitmap`: a destination size below 1 takes the bitmap's size, a
// source size below 1 takes the whole bitmap. clNone draws every pixel, clDefault leaves out the
// colour of the bottom-left pixel, any other colour leaves out that colour.
void StretchBitmapMasked(TCanvas& canvas, const QImage& bitmap, TColor transparentColor, int destX, int destY,
                         int destWidth, int destHeight, int sourceX, int sourceY, int sourceWidth, int sourceHeight);
void DrawBitmapMasked(TCanvas& canvas, int x, int y, const QImage& bitmap, TColor transparentColor);

// The disabled looks: a picture of the same size in `backColor` on which the glyph's shape shows
// in a shadow colour, with a highlight-coloured copy one pixel down and right.
// Embossed: the shape is every pixel that is neither `backColor` nor white.
QImage MakeEmbossedDisabledBitmap(const QImage& bitmap, TColor backColor);
// The shape is every pixel of `outlineColor`.
QImage MakeDisabledBitmapWith(const QImage& bitmap, TColor outlineColor, TColor backColor, bool withHighlight,
                              TColor shadowColor, TColor highlightColor);
QImage MakeDisabledBitmap(const QImage& bitmap, TColor outlineColor);
// Draws the opaque shape of `image` at (x, y) in the disabled look.
void DrawImageDisabled(const QImage& image, TCanvas& canvas, int x, int y, bool withHighlight, TColor shadowColor,
                       TColor highlightColor);

// An 8 x 8 picture in `color1` whose pixels with x and y both even or both odd are `color2`.
QImage MakeCheckerPattern(TColor color1, TColor color2);
// The colour's RGB value with the palette-relative flag 0x02000000.
TColor PaletteColorOf(TColor color);

// Fills `r` with `colors` bands from `startColor` to `endColor`: direction 0 downwards, 1
// upwards, 2 rightwards, 3 leftwards.
void FillGradient(TCanvas& canvas, const TRect& r, TColor startColor, TColor endColor, int direction, int colors);

// With hoFollowFont the hot-track font takes the font's character set, colour, height, name,
// pitch and style, except those the options preserve.
void ApplyTrackFontOptions(TFont& trackFont, const TFont& font, TExTrackFontOptions options);
// The line height of the canvas's font.
int FontLineHeight(TCanvas& canvas);
// True when the active window belongs to the calling thread.
bool ThreadOwnsActiveWindow();
// The application's message box; an empty caption shows the application's title.
int ShowMessageBox(const std::string& text, const std::string& caption, unsigned flags);
