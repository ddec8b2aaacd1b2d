#pragma once
// Alpha blending over 32-bit images (bytes blue, green, red, alpha in memory), the rectangle
// arithmetic by which a drag image moves, and the colour values image-list drawing takes.
// The blend is the fixed-point formula (d * (256 - a) + s * a) div 256 per byte; scalar code
// gives the same bytes as the packed-integer kernels the format was designed for, so blending
// is always available.

#include "Platform/core/Types.h"
#include "Platform/graphics/Colors.h"

#include <QImage>
#include <cstdint>

enum class TBlendKind { bkConstantAlpha, bkPerPixelAlpha, bkMasterAlpha, bkConstantAlphaAndColor };

// Whether blending may be used (it always may here).
bool MMXAvailable();

struct TBitmapBits {
    std::uint8_t* Bits = nullptr;
    int Width = 0;
    int Height = 0; // positive: rows are stored bottom-up; negative: in reading order
};

// The bits of a 32-bit image; fails an assertion for other depths or a null image. QImage rows
// run top-down, so the height is answered negative.
TBitmapBits BitmapBitsOf(QImage& image);
// The address of `row` for bits stored as TBitmapBits describes.
std::uint8_t* ScanlineAddress(std::uint8_t* bits, int width, int height, int row);

// Blends rectangle `r` of `source` onto `destination` at `target` (modes 0 to 2); mode 3 tints
// rectangle `r` of `destination` with the colour passed as `bias` (source may be null then).
void BlendRectangle(QImage* source, QImage& destination, const TRect& r, TPoint target, TBlendKind mode,
                    int constantAlpha, int bias);

// The colour value for image-list drawing: RGB, clNone as "no colour" (all bits set), clDefault
// as "default colour" (only the highest byte set).
std::uint32_t ImageListColor(TColor color);

// Rectangles of a drag image of `width` x `height` that moves by (dx, dy): ClipBox is the
// whole image; ScrollBox (given by its edges) is the part of the saved background that stays
// valid; the Sample rectangles are the newly covered screen parts, the Restore rectangles the
// uncovered ones. Entries a case leaves alone keep their values.
struct TOriginExtent {
    int X = 0;
    int Y = 0;
    int Width = 0;
    int Height = 0;
    constexpr bool operator==(const TOriginExtent&) const = default;
};
struct TDragRectangles {
    TRect ClipBox;
    TRect ScrollBox;
    TOriginExtent SampleA;
    TOriginExtent SampleB;
    TOriginExtent RestoreA;
    TOriginExtent RestoreB;
};
void ComputeDragRectangles(int width, int height, int dx, int dy, TDragRectangles& rects);
