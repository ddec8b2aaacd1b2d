// The colour manager: converter choice, the row converters and the palettes.

#include "imageformats/common/GraphicColor.h"
#include "imageformats/common/GraphicStrings.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Convert(TColorManager& colors, const Bytes& source, std::size_t targetBytes, std::uint32_t count,
              std::uint8_t mask = 0xFF, std::uint8_t fill = 0)
{
    Bytes target(targetBytes, fill);
    colors.ConvertLine(source, target, count, mask);
    return target;
}

TColorManager Manager(TColorScheme source, TColorScheme target, std::uint8_t sourceBits, std::uint8_t targetBits,
                      std::uint8_t sourceSamples, std::uint8_t targetSamples)
{
    TColorManager colors;
    colors.SetSourceScheme(source);
    colors.SetTargetScheme(target);
    colors.SetSourceBits(sourceBits);
    colors.SetTargetBits(targetBits);
    colors.SetSourceSamples(sourceSamples);
    colors.SetTargetSamples(targetSamples);
    return colors;
}

TEST(ColorManager, RefusesIndexedToNonIndexedAtTheFirstConversion)
{
    TColorManager colors = Manager(schemeGray, schemeBGR, 8, 8, 1, 3);
    try {
        Convert(colors, {1, 2}, 6, 2);
        FAIL();
    } catch (const EColorConversionError& e) {
        EXPECT_STREQ(e.what(), GraphicStrings::gesIndexedNotSupported);
    }
    TColorManager greyAlpha = Manager(schemeGrayAlpha, schemeIndexed, 8, 8, 1, 1);
    EXPECT_EQ(Convert(greyAlpha, {10, 255, 20, 0}, 2, 2), (Bytes{10, 20}));
}

TEST(ColorManager, RejectsSettingsOutsideTheirRanges)
{
    TColorManager colors;
    EXPECT_THROW(colors.SetSourceBits(0), EColorConversionError);
    EXPECT_THROW(colors.SetTargetBits(17), EColorConversionError);
    EXPECT_THROW(colors.SetSourceSamples(5), EColorConversionError);
    EXPECT_THROW(colors.SetChromaParameters({0.3f}, 3, 1), EColorConversionError);
    EXPECT_THROW(colors.SetChromaParameters({0.3f}, 1, 2), EColorConversionError);
    TColorManager none = Manager(schemeCMY, schemeBGR, 8, 8, 3, 3);
    EXPECT_THROW(Convert(none, {1, 2, 3}, 3, 1), EColorConversionError);
}

TEST(ColorManager, RescalesPackedIndices)
{
    TColorManager colors = Manager(schemeGray, schemeGray, 2, 4, 1, 1);
    // 00 01 10 11 become 0, 5, 10, 15 packed two to a byte
    EXPECT_EQ(Convert(colors, {0x1B}, 2, 4), (Bytes{0x05, 0xAF}));
}

TEST(ColorManager, MaskConvertsSelectedPixelsOnly)
{
    TColorManager colors = Manager(schemeIndexed, schemeIndexed, 8, 8, 1, 1);
    // mask 136: pixels 0 and 4 take the first two source pixels, the others stay as they were
    EXPECT_EQ(Convert(colors, {7, 9}, 8, 8, 136, 0xEE), (Bytes{7, 0xEE, 0xEE, 0xEE, 9, 0xEE, 0xEE, 0xEE}));
}

struct TPixelCase {
    const char* Name;
    TColorScheme Source, Target;
    std::uint8_t SourceBits, SourceSamples, TargetSamples, SourceOptions;
    Bytes Source_, Expected;
};

class PixelConversion : public testing::TestWithParam<TPixelCase> {};

TEST_P(PixelConversion, ConvertsOnePixel)
{
    const TPixelCase& c = GetParam();
    TColorManager colors = Manager(c.Source, c.Target, c.SourceBits, 8, c.SourceSamples, c.TargetSamples);
    colors.SourceOptions = c.SourceOptions;
    EXPECT_EQ(Convert(colors, c.Source_, c.Expected.size(), 1), c.Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PixelConversion,
    testing::Values(
        TPixelCase{"CMYKWhite", schemeCMYK, schemeBGR, 8, 4, 3, 0, {0, 0, 0, 0}, {255, 255, 255}},
        TPixelCase{"CMYKBlack", schemeCMYK, schemeBGR, 8, 4, 3, 0, {255, 255, 255, 255}, {0, 0, 0}},
        TPixelCase{"CMYKCyan", schemeCMYK, schemeBGR, 8, 4, 3, 0, {255, 0, 0, 0}, {255, 255, 0}},
        TPixelCase{"YCbCrGrey", schemeYCbCr, schemeBGR, 8, 3, 3, 0, {128, 128, 128}, {128, 128, 128}},
        TPixelCase{"LabWhite", schemeCIELab, schemeBGR, 8, 3, 3, 8, {255, 0, 0}, {255, 255, 255}},
        TPixelCase{"RGB16Swapped", schemeRGB, schemeBGR, 16, 3, 3, 4, {0xFF, 0xFF, 0x80, 0x00, 0x00, 0x00}, {0, 127, 255}},
        TPixelCase{"RGBAKeepsAlpha", schemeRGBA, schemeBGRA, 8, 4, 4, 0, {1, 2, 3, 4}, {3, 2, 1, 4}},
        TPixelCase{"RGBADropsAlpha", schemeRGBA, schemeBGR, 8, 4, 3, 0, {1, 2, 3, 4}, {3, 2, 1}}),
    [](const testing::TestParamInfo<TPixelCase>& info) { return std::string(info.param.Name); });

TEST(ColorManager, PlanesGiveOneSamplePerPointer)
{
    TColorManager colors = Manager(schemeRGB, schemeBGR, 8, 8, 3, 3);
    const Bytes red{1, 2}, green{3, 4}, blue{5, 6};
    const std::span<const std::uint8_t> planes[] = {red, green, blue};
    Bytes target(6);
    colors.ConvertLine(planes, target, 2, 0xFF);
    EXPECT_EQ(target, (Bytes{5, 3, 1, 6, 4, 2}));
}

TEST(ColorManager, RefusesRowsThatDoNotFitTheirBuffers)
{
    TColorManager colors = Manager(schemeRGB, schemeBGR, 8, 8, 3, 3);
    Bytes target(3);
    EXPECT_THROW(colors.ConvertLine(Bytes{1, 2, 3}, target, 2, 0xFF), EColorConversionError);
}

TEST(ColorManager, GrayPaletteRunsEitherWay)
{
    TColorManager colors = Manager(schemeGray, schemeGray, 4, 4, 1, 1);
    const TPalette ramp = colors.BuildGrayPalette(false);
    ASSERT_EQ(ramp.size(), 16u);
    EXPECT_EQ(ramp[1], (TPaletteEntry{17, 17, 17}));
    EXPECT_EQ(ramp[15], (TPaletteEntry{255, 255, 255}));
    EXPECT_EQ(colors.BuildGrayPalette(true)[0], (TPaletteEntry{255, 255, 255}));
}

TEST(ColorManager, ColorPaletteFollowsRescaledIndices)
{
    TColorManager colors = Manager(schemeIndexed, schemeIndexed, 2, 4, 1, 1);
    const Bytes triples{10, 11, 12, 20, 21, 22, 30, 31, 32, 40, 41, 42};
    const std::span<const std::uint8_t> data[] = {triples};
    const TPalette palette = colors.BuildColorPalette(data, 0, 4);
    ASSERT_EQ(palette.size(), 16u);
    // index v is rescaled to 5v, whose entry is the v-th colour
    EXPECT_EQ(palette[5], (TPaletteEntry{20, 21, 22}));
    EXPECT_EQ(palette[15], (TPaletteEntry{40, 41, 42}));
}

TEST(ColorManager, GammaNearOneOverDisplayLeavesLevels)
{
    TColorManager colors;
    colors.SetGamma(0.45455f, 2.2f);
    for (int i : {0, 50, 128, 255})
        EXPECT_NEAR(colors.GammaTable()[static_cast<std::size_t>(i)], i, 1);
}

} // namespace
