// The TIFF reader on hand-made files, some compared with libtiff's own decode.

#include "imageformats/ImageTestSupport.h"

#include "imageformats/tiff/TIFFGraphic.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace {

constexpr std::uint16_t SHORT = 3, LONG = 4, RATIONAL = 5;

// A grey image of `width` × `height` at 8 bits with the given compression and strip data.
TTIFFBuilder GreyTiff(std::uint32_t width, std::uint32_t height, std::uint32_t compression, const std::string& data,
                      std::uint32_t bits = 8, std::uint32_t photometric = 1)
{
    TTIFFBuilder tiff;
    const int block = tiff.AddBlock(data);
    tiff.Add(256, LONG, {width});
    tiff.Add(257, LONG, {height});
    tiff.Add(258, SHORT, {bits});
    tiff.Add(259, SHORT, {compression});
    tiff.Add(262, SHORT, {photometric});
    tiff.Add(273, LONG, {TTIFFBuilder::BlockOffset(block)});
    tiff.Add(279, LONG, {static_cast<std::uint32_t>(data.size())});
    return tiff;
}

std::string LoadError(const std::string& bytes)
{
    try {
        LoadFromBytes(TTIFFGraphic::ClassInfo(), bytes);
    } catch (const std::exception& e) {
        return e.what();
    }
    return "loaded";
}

// Our pixels against tifftopnm's (libtiff) for a hand-made file.
void ExpectSameAsLibtiff(const std::string& bytes)
{
    TempDir dir;
    const std::string file = dir.Write("image.tif", bytes);
    const TPNMImage reference = ParsePNM(RunToolOutput(file));
    ASSERT_TRUE(reference.Valid());
    const auto image = LoadFromBytes(TTIFFGraphic::ClassInfo(), bytes);
    ASSERT_EQ(image->Width(), reference.Width);
    for (int y = 0; y < reference.Height; ++y)
        for (int x = 0; x < reference.Width; ++x)
            ASSERT_EQ(GetRValue(image->Pixel(x, y)), Scaled(reference, x, y, 0)) << x << "," << y;
}

TEST(TIFFReader, ThunderScanMatchesLibtiff)
{
    // two rows of 6 pixels: new 7, run 3, delta +1; new 2, deltas +3 -3 +1 -1 0
    TTIFFBuilder tiff = GreyTiff(6, 2, 32809, Hex("C7 03 94 01 C2 9D 64"), 4);
    ExpectSameAsLibtiff(tiff.Build());
}

TEST(TIFFReader, ModifiedHuffmanMatchesLibtiff)
{
    // rows of 8 pixels: white 3 black 5; white 8; white 0 black 8 (MH rows end on a byte)
    TTIFFBuilder tiff = GreyTiff(8, 3, 2, Hex("83 98 35 14"), 1, 0);
    ExpectSameAsLibtiff(tiff.Build());
}

struct TErrorCase {
    const char* Name;
    std::string Bytes;
    std::string Message;
};

class TIFFErrors : public testing::TestWithParam<TErrorCase> {};

TEST_P(TIFFErrors, EndInTheirMessage)
{
    EXPECT_EQ(LoadError(GetParam().Bytes), GetParam().Message);
}

std::string WithTag(TTIFFBuilder tiff, std::uint16_t tag, std::uint16_t type, std::vector<std::uint32_t> values,
                    std::uint32_t count = 0)
{
    tiff.Add(tag, type, std::move(values), count);
    return tiff.Build();
}

const std::string Unsupported = "Cannot load image. The compression scheme is not supported for TIF/TIFF files.";
const std::string Invalid = "Cannot load image. Invalid or unexpected TIF/TIFF image format.";

INSTANTIATE_TEST_SUITE_P(
    Cases, TIFFErrors,
    testing::Values(
        TErrorCase{"Group4", GreyTiff(8, 1, 4, "x", 1).Build(), Unsupported},
        TErrorCase{"OldJPEG", GreyTiff(8, 1, 6, "x").Build(), Unsupported},
        // two-dimensional group 3 data is refused instead of loading as damaged rows
        TErrorCase{"Group3TwoDimensional", WithTag(GreyTiff(8, 1, 3, "x", 1), 292, LONG, {1}), Unsupported},
        // a strip that the file does not hold is a damaged file, not a partial picture
        TErrorCase{"StripCutOff", GreyTiff(8, 4, 1, "abcdefgh").Build(), "Stream read error"},
        TErrorCase{"StripOffsetsMissing", [] {
                       TTIFFBuilder tiff;
                       tiff.Add(256, LONG, {8});
                       tiff.Add(257, LONG, {1});
                       tiff.Add(259, SHORT, {1});
                       return tiff.Build();
                   }(), Invalid},
        TErrorCase{"ZeroWidth", WithTag(GreyTiff(0, 1, 1, "x"), 1, SHORT, {0}), Invalid},
        // a colour map whose count exceeds the file is refused before it is read
        TErrorCase{"HugeColourMap", WithTag(GreyTiff(1, 1, 1, "x", 8, 3), 320, SHORT, {0, 0, 0}, 0xFFFFFFu), "Stream read error"},
        TErrorCase{"HugeSizeTinyStrip", GreyTiff(50000, 50000, 5, "x").Build(), Invalid}),
    [](const testing::TestParamInfo<TErrorCase>& info) { return std::string(info.param.Name); });

TEST(TIFFReader, LargeColourMapIsReadWhole)
{
    // 4-bit palette image with a colour map of 3 × 300 values: the first entries are used
    TTIFFBuilder tiff = GreyTiff(2, 1, 1, Hex("01 00"), 4, 3);
    std::vector<std::uint32_t> map(900, 0);
    map[1] = 0xFFFF;           // red of entry 1
    map[300 + 0] = 0xFFFF;     // green of entry 0
    tiff.Add(320, SHORT, map);
    const auto image = LoadFromBytes(TTIFFGraphic::ClassInfo(), tiff.Build());
    EXPECT_EQ(image->Pixel(0, 0), RGBColor(0, 255, 0));
    EXPECT_EQ(image->Pixel(1, 0), RGBColor(255, 0, 0));
}

TEST(TIFFReader, MissingRowsPerStripIsOneStripAndCentimetresBecomeInches)
{
    TTIFFBuilder tiff = GreyTiff(2, 2, 1, Hex("01 02 03 04"));
    tiff.Add(282, RATIONAL, {118});
    tiff.Add(283, RATIONAL, {118});
    tiff.Add(296, SHORT, {3});
    const auto image = LoadFromBytes(TTIFFGraphic::ClassInfo(), tiff.Build());
    EXPECT_EQ(image->Pixel(1, 1), RGBColor(4, 4, 4));
    EXPECT_NEAR(image->ImageProperties().ResolutionX, 299.72, 0.01);
}

TEST(TIFFReader, SecondImageOfASingleImageFileIsNotThere)
{
    TTIFFGraphic image;
    TMemoryStream stream(GreyTiff(1, 1, 1, "x").Build());
    EXPECT_FALSE(image.ReadImageHeader(stream, 1));
}

} // namespace
