#include "TreeView/Source/paint/LTBlend.h"

#include "TreeView/Source/core/LTErrors.h"

#include <algorithm>

namespace {

// One channel: the blend in 16-bit lanes (exact for alpha <= 256).
inline int BlendByte(int s, int d, int alpha)
{
    const auto t = static_cast<std::uint16_t>((s - d) * alpha + d * 256);
    return t >> 8;
}

// The bias step: signed 16-bit saturation around 128, then the unsigned byte saturation of the
// packing step (a 16-bit value that wrapped negative packs to 0).
inline std::uint8_t BiasByte(int t, int bias)
{
    const int u = std::clamp(t - 128 + bias, -32768, 32767) + 128;
    const auto wrapped = static_cast<std::int16_t>(static_cast<std::uint16_t>(u));
    return static_cast<std::uint8_t>(std::clamp<int>(wrapped, 0, 255));
}

} // namespace

bool MMXAvailable()
{
    return true;
}

TBitmapBits BitmapBitsOf(QImage& image)
{
    LTAssert(image.isNull() || image.depth() == 32, "Alpha blending error: bitmap must use 32 bpp.");
    std::uint8_t* bits = image.isNull() ? nullptr : image.bits();
    LTAssert(bits != nullptr, "Alpha blending DC error: no bitmap available.");
    return {bits, image.width(), -image.height()};
}

std::uint8_t* ScanlineAddress(std::uint8_t* bits, int width, int height, int row)
{
    const int index = height > 0 ? height - row - 1 : row;
    return bits + static_cast<std::ptrdiff_t>(width) * 4 * index;
}

void BlendRectangle(QImage* source, QImage& destination, const TRect& r, TPoint target, TBlendKind mode,
                    int constantAlpha, int bias)
{
    if (r.IsEmpty())
        return;
    const TBitmapBits dst = BitmapBitsOf(destination);
    if (mode == TBlendKind::bkConstantAlphaAndColor) {
        const TColor rgb = ColorToRGB(static_cast<TColor>(bias));
        const int color[4] = {GetBValue(rgb), GetGValue(rgb), GetRValue(rgb), 0};
        for (int y = r.Top; y < r.Bottom; ++y) {
            std::uint8_t* d = ScanlineAddress(dst.Bits, dst.Width, dst.Height, y) + r.Left * 4;
            for (int x = 0; x < r.Width(); ++x, d += 4)
                for (int c = 0; c < 4; ++c)
                    d[c] = static_cast<std::uint8_t>(
                        std::clamp((d[c] * (256 - constantAlpha) + color[c] * constantAlpha) / 256, 0, 255));
        }
        return;
    }
    if (!source)
        return;
    const TBitmapBits src = BitmapBitsOf(*source);
    for (int k = 0; k < r.Height(); ++k) {
        const std::uint8_t* s = ScanlineAddress(src.Bits, src.Width, src.Height, r.Top + k) + r.Left * 4;
        std::uint8_t* d = ScanlineAddress(dst.Bits, dst.Width, dst.Height, target.Y + k) + target.X * 4;
        for (int x = 0; x < r.Width(); ++x, s += 4, d += 4) {
            int alpha = constantAlpha;
            if (mode == TBlendKind::bkPerPixelAlpha)
                alpha = s[3];
            else if (mode == TBlendKind::bkMasterAlpha)
                alpha = static_cast<std::uint16_t>(constantAlpha * s[3]) >> 8;
            for (int c = 0; c < 4; ++c)
                d[c] = BiasByte(BlendByte(s[c], d[c], alpha), bias);
        }
    }
}

std::uint32_t ImageListColor(TColor color)
{
    if (color == clNone)
        return 0xFFFFFFFFu;
    if (color == clDefault)
        return 0xFF000000u;
    return static_cast<std::uint32_t>(ColorToRGB(color));
}

void ComputeDragRectangles(int w, int h, int dx, int dy, TDragRectangles& r)
{
    r.ClipBox = {0, 0, w, h};
    if (dx > 0) {
        r.SampleA = {0, 0, dx, h};
        if (dy != 0)
            r.RestoreB = {w - dx, 0, dx, h};
        if (dy == 0) {
            r.ScrollBox = {0, 0, w - dx, h};
            r.RestoreA = {w - dx, 0, dx, h};
        } else if (dy > 0) {
            r.ScrollBox = {0, 0, w - dx, h - dy};
            r.SampleB = {dx, 0, w - dx, dy};
            r.RestoreA = {0, h - dy, w - dx, dy};
        } else {
            r.ScrollBox = {0, -dy, w - dx, h};
            r.SampleB = {dx, h + dy, w - dx, -dy};
            r.RestoreA = {0, 0, w - dx, -dy};
        }
    } else if (dx == 0) {
        if (dy >= 0) {
            r.ScrollBox = {0, 0, w, h - dy};
            r.SampleB = {0, 0, w, dy};
            r.RestoreB = {0, h - dy, w, dy};
        } else {
            r.ScrollBox = {0, -dy, w, h};
            r.SampleB = {0, h + dy, w, -dy};
            r.RestoreB = {0, 0, w, -dy};
        }
    } else {
        r.RestoreA = {0, 0, -dx, h};
        if (dy == 0) {
            r.ScrollBox = {-dx, 0, w, h};
            r.SampleA = {w + dx, 0, -dx, h};
        } else if (dy > 0) {
            r.ScrollBox = {-dx, 0, w, h};
            r.SampleA = {0, 0, w + dx, dy};
            r.SampleB = {w + dx, 0, -dx, h};
            r.RestoreB = {-dx, h - dy, w + dx, dy};
        } else {
            r.ScrollBox = {-dx, -dy, w, h};
            r.SampleA = {0, h + dy, w + dx, -dy};
            r.SampleB = {w + dx, 0, -dx, h};
            r.RestoreB = {-dx, 0, w + dx, -dy};
        }
    }
}
