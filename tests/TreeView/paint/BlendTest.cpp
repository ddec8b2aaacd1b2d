// Alpha blending of 32-bit images byte by byte, and the rectangles a moving drag image uses.

#include "TreeView/Source/paint/LTBlend.h"

#include "Platform/core/Exceptions.h"

#include <gtest/gtest.h>

#include <array>

namespace {

using TPixel = std::array<int, 4>; // blue, green, red, alpha as stored

QImage OnePixel(TPixel p)
{
    QImage image(1, 1, QImage::Format_ARGB32);
    std::uint8_t* bits = image.bits();
    for (int c = 0; c < 4; ++c)
        bits[c] = static_cast<std::uint8_t>(p[static_cast<size_t>(c)]);
    return image;
}

TPixel PixelOf(const QImage& image)
{
    const std::uint8_t* bits = image.constBits();
    return {bits[0], bits[1], bits[2], bits[3]};
}

TPixel Blend(TPixel source, TPixel destination, TBlendKind mode, int alpha, int bias)
{
    QImage s = OnePixel(source);
    QImage d = OnePixel(destination);
    BlendRectangle(&s, d, {0, 0, 1, 1}, {0, 0}, mode, alpha, bias);
    return PixelOf(d);
}

} // namespace

TEST(Blend, ModesGiveTheFixedPointBytes)
{
    struct TCase {
        const char* Name;
        TPixel Source;
        TPixel Destination;
        TBlendKind Mode;
        int Alpha;
        int Bias;
        TPixel Expected;
    };
    const TCase cases[] = {
        {"alpha 0 keeps", {200, 100, 50, 255}, {10, 20, 30, 40}, TBlendKind::bkConstantAlpha, 0, 0, {10, 20, 30, 40}},
        {"alpha 256 copies", {200, 100, 50, 255}, {10, 20, 30, 40}, TBlendKind::bkConstantAlpha, 256, 0,
         {200, 100, 50, 255}},
        // (d * 128 + s * 128) div 256
        {"half", {200, 100, 51, 0}, {0, 0, 0, 255}, TBlendKind::bkConstantAlpha, 128, 0, {100, 50, 25, 127}},
        {"bias brightens and saturates", {250, 100, 0, 200}, {250, 100, 0, 200}, TBlendKind::bkConstantAlpha, 256,
         20, {255, 120, 20, 220}},
        {"bias darkens down to 0", {250, 100, 5, 200}, {250, 100, 5, 200}, TBlendKind::bkConstantAlpha, 256, -20,
         {230, 80, 0, 180}},
        {"per pixel alpha", {255, 255, 255, 64}, {0, 0, 0, 0}, TBlendKind::bkPerPixelAlpha, 0, 0, {63, 63, 63, 16}},
        // alpha = (128 * 128) >> 8 = 64
        {"master alpha", {255, 255, 255, 128}, {0, 0, 0, 0}, TBlendKind::bkMasterAlpha, 128, 0, {63, 63, 63, 32}},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(Blend(c.Source, c.Destination, c.Mode, c.Alpha, c.Bias), c.Expected) << c.Name;
}

TEST(Blend, ColourTintHalvesTowardsTheColourAndLeavesTheSourceAlone)
{
    QImage d = OnePixel({10, 100, 201, 90});
    BlendRectangle(nullptr, d, {0, 0, 1, 1}, {5, 5}, TBlendKind::bkConstantAlphaAndColor, 128, clWhite);
    EXPECT_EQ(PixelOf(d), (TPixel{(10 + 255) / 2, (100 + 255) / 2, (201 + 255) / 2, 45}));
    QImage red = OnePixel({0, 0, 0, 0});
    BlendRectangle(nullptr, red, {0, 0, 1, 1}, {}, TBlendKind::bkConstantAlphaAndColor, 256, clRed);
    EXPECT_EQ(PixelOf(red), (TPixel{0, 0, 255, 0})) << "the colour in pixel byte order";
}

TEST(Blend, RectanglesMapRowByRowOntoTheTarget)
{
    QImage source(4, 3, QImage::Format_ARGB32);
    source.fill(QColor(0, 0, 0, 0));
    source.setPixelColor(2, 1, QColor(255, 255, 255, 255));
    QImage destination(5, 5, QImage::Format_ARGB32);
    destination.fill(QColor(0, 0, 0, 0));
    BlendRectangle(&source, destination, {1, 1, 3, 3}, {3, 2}, TBlendKind::bkConstantAlpha, 256, 0);
    EXPECT_EQ(destination.pixelColor(4, 2), QColor(255, 255, 255, 255)) << "(2, 1) lands at (3 + 1, 2 + 0)";
    EXPECT_EQ(destination.pixelColor(3, 2), QColor(0, 0, 0, 0));
    BlendRectangle(&source, destination, {1, 1, 1, 3}, {0, 0}, TBlendKind::bkConstantAlpha, 256, 0);
    EXPECT_EQ(destination.pixelColor(0, 0), QColor(0, 0, 0, 0)) << "an empty rectangle does nothing";
}

TEST(Blend, OnlyThirtyTwoBitImagesAreAccepted)
{
    QImage rgb24(2, 2, QImage::Format_RGB888);
    QImage d = OnePixel({1, 2, 3, 4});
    try {
        BlendRectangle(&rgb24, d, {0, 0, 1, 1}, {}, TBlendKind::bkConstantAlpha, 128, 0);
        FAIL() << "no assertion";
    } catch (const EAssertionFailed& e) {
        EXPECT_EQ(e.Message(), "Alpha blending error: bitmap must use 32 bpp.");
    }
    QImage none;
    EXPECT_THROW(BitmapBitsOf(none), EAssertionFailed);
    std::uint8_t bits[4 * 2 * 3] = {};
    EXPECT_EQ(ScanlineAddress(bits, 2, 3, 0), bits + 16) << "bottom-up rows";
    EXPECT_EQ(ScanlineAddress(bits, 2, -3, 1), bits + 8) << "top-down rows";
}

TEST(Blend, ImageListColours)
{
    EXPECT_EQ(ImageListColor(clNone), 0xFFFFFFFFu);
    EXPECT_EQ(ImageListColor(clDefault), 0xFF000000u);
    EXPECT_EQ(ImageListColor(clRed), 0x0000FFu);
}

TEST(Blend, DragRectanglesFollowTheDirectionOfTheMove)
{
    using R = TOriginExtent;
    struct TCase {
        int Dx;
        int Dy;
        TRect Scroll;
        R SampleA;
        R SampleB;
        R RestoreA;
        R RestoreB;
    };
    const R unchanged{-1, -1, -1, -1};
    const int w = 100;
    const int h = 50;
    const TCase cases[] = {
        {5, 0, {0, 0, 95, 50}, {0, 0, 5, 50}, unchanged, {95, 0, 5, 50}, unchanged},
        {5, 3, {0, 0, 95, 47}, {0, 0, 5, 50}, {5, 0, 95, 3}, {0, 47, 95, 3}, {95, 0, 5, 50}},
        {5, -3, {0, 3, 95, 50}, {0, 0, 5, 50}, {5, 47, 95, 3}, {0, 0, 95, 3}, {95, 0, 5, 50}},
        {0, 3, {0, 0, 100, 47}, unchanged, {0, 0, 100, 3}, unchanged, {0, 47, 100, 3}},
        {0, 0, {0, 0, 100, 50}, unchanged, {0, 0, 100, 0}, unchanged, {0, 50, 100, 0}},
        {0, -3, {0, 3, 100, 50}, unchanged, {0, 47, 100, 3}, unchanged, {0, 0, 100, 3}},
        {-5, 0, {5, 0, 100, 50}, {95, 0, 5, 50}, unchanged, {0, 0, 5, 50}, unchanged},
        {-5, 3, {5, 0, 100, 50}, {0, 0, 95, 3}, {95, 0, 5, 50}, {0, 0, 5, 50}, {5, 47, 95, 3}},
        {-5, -3, {5, 3, 100, 50}, {0, 47, 95, 3}, {95, 0, 5, 50}, {0, 0, 5, 50}, {5, 0, 95, 3}},
    };
    for (const TCase& c : cases) {
        TDragRectangles r{{}, {}, unchanged, unchanged, unchanged, unchanged};
        ComputeDragRectangles(w, h, c.Dx, c.Dy, r);
        const std::string name = std::to_string(c.Dx) + "," + std::to_string(c.Dy);
        EXPECT_EQ(r.ClipBox, (TRect{0, 0, w, h})) << name;
        EXPECT_EQ(r.ScrollBox, c.Scroll) << name;
        EXPECT_EQ(r.SampleA, c.SampleA) << name;
        EXPECT_EQ(r.SampleB, c.SampleB) << name;
        EXPECT_EQ(r.RestoreA, c.RestoreA) << name;
        EXPECT_EQ(r.RestoreB, c.RestoreB) << name;
    }
}
