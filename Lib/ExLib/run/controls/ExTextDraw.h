#pragma once
// Text drawing for the controls: shortening a text or a path to a pixel width, the platform's
// formatted text drawing with DT_* flags, bit-block copies with raster operations, and the
// width and height of a rectangle.

#include "Platform/graphics/Canvas.h"

#include <QImage>
#include <string>
#include <string_view>

class QPainter;

// Formatted-text flags.
enum : unsigned {
    DT_LEFT = 0x0, DT_CENTER = 0x1, DT_RIGHT = 0x2, DT_VCENTER = 0x4, DT_BOTTOM = 0x8, DT_WORDBREAK = 0x10,
    DT_SINGLELINE = 0x20, DT_EXPANDTABS = 0x40, DT_NOCLIP = 0x100, DT_CALCRECT = 0x400, DT_NOPREFIX = 0x800,
    DT_PATH_ELLIPSIS = 0x4000, DT_END_ELLIPSIS = 0x8000, DT_MODIFYSTRING = 0x10000, DT_WORD_ELLIPSIS = 0x40000,
};

// Raster operations of CopyBits.
enum : unsigned {
    BLACKNESS = 0x00000042, NOTSRCERASE = 0x001100A6, NOTSRCCOPY = 0x00330008, SRCERASE = 0x00440328,
    DSTINVERT = 0x00550009, SRCINVERT = 0x00660046, SRCAND = 0x008800C6, MERGEPAINT = 0x00BB0226,
    SRCCOPY = 0x00CC0020, SRCPAINT = 0x00EE0086, WHITENESS = 0x00FF0062,
};

// The text, or its first characters followed by "..." so that it fits `maxWidth` in the canvas's
// font; "..." when nothing else fits.
std::string ShortenTextToWidth(std::string_view text, const TCanvas& canvas, int maxWidth);
// The path with "..." in place of middle components when it is wider than `maxWidth`; the part
// after the last "/" is kept as far as possible.
std::string ShortenPathToWidth(std::string_view path, TCanvas& canvas, int maxWidth);

// Draws `length` bytes of `text` (-1: all) into `rect` with the canvas's font and DT_* `format`;
// DT_MODIFYSTRING is ignored. With DT_CALCRECT nothing is drawn and `rect` grows to the text's
// extent. Returns the height of the text.
int DrawTextOnCanvas(TCanvas& canvas, std::string_view text, int length, unsigned format, TRect& rect);

// Copies a `width` x `height` block of `source` at (sourceX, sourceY) to (x, y) on `dest` with a
// raster operation; false for an operation this platform cannot do.
bool CopyBits(QPainter& dest, int x, int y, int width, int height, const QImage& source, int sourceX, int sourceY,
              unsigned rasterOp);

constexpr int RectWidthOf(const TRect& r) { return r.Right - r.Left; }
constexpr int RectHeightOf(const TRect& r) { return r.Bottom - r.Top; }
