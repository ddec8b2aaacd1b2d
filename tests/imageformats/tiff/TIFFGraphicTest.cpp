// The TIFF reader on hand-made files, some compared with libtiff's own decode.

#include "imageformats/ImageTestSupport.h"

#include "imageformats/tiff/TIFFGraphic.h"

#include "support/ConsumerTools.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <functional>
#include <sstream>

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

// A grey picture with flat areas (long strings, a code naming itself), gradients and noise
// (single bytes), large enough for the writer to clear its table on the way.
constexpr int LZWWidth = 160, LZWHeight = 120;

std::string LZWPicture()
{
    std::string pixels;
    for (int y = 0; y < LZWHeight; ++y)
        for (int x = 0; x < LZWWidth; ++x) {
            const int v = y < 30 ? (x / 40) * 60 + 30 : y < 70 ? (x + y) : (x * 7919 + y * 104729) >> 3;
            pixels += static_cast<char>(v & 0xFF);
        }
    return pixels;
}

// The picture's single LZW strip as libtiff's tiffcp writes it.
std::string LZWStrip(const std::string& pixels)
{
    TempDir dir;
    const std::string pgm = dir.Write("picture.pgm", "P5\n" + std::to_string(LZWWidth) + " " + std::to_string(LZWHeight) + "\n255\n" + pixels);
    const std::string plain = dir.Write("plain.tif", RunTool("pnmtotiff", {pgm}).Output);
    const std::string packed = dir.File("lzw.tif");
    if (RunTool("tiffcp", {"-c", "lzw", "-r", "100000", plain, packed}).ExitCode != 0)
        return {};
    // tiffinfo -s lists the strips as "0: [offset, count]"
    std::istringstream lines(RunTool("tiffinfo", {"-s", packed}).Output);
    std::string line;
    while (std::getline(lines, line)) {
        unsigned long offset = 0, count = 0;
        if (std::sscanf(line.c_str(), " 0: [ %lu, %lu]", &offset, &count) == 2)
            return ReadWholeFile(packed).substr(offset, count);
    }
    return {};
}

struct TDamageCase {
    const char* Name;
    std::function<std::string(std::string)> Damage;
    // Leading pixels that must still be the picture's, given the strip's length.
    std::function<std::size_t(std::size_t)> GoodPixels;
    // Whether the pixels past the good ones are black (the data ran out) or may be anything.
    bool RestBlack;
};

void PrintTo(const TDamageCase& c, std::ostream* os)
{
    *os << c.Name;
}

class DamagedLZW : public testing::TestWithParam<TDamageCase> {};

TEST_P(DamagedLZW, KeepsThePixelsBeforeTheDamageAndStaysInTheImage)
{
    const std::string pixels = LZWPicture();
    const std::string strip = LZWStrip(pixels);
    ASSERT_GT(strip.size(), 1000u) << "pnmtotiff and tiffcp (netpbm, libtiff-tools) are needed";
    const TDamageCase& c = GetParam();
    std::unique_ptr<TImgLibGraphic> image;
    try {
        image = LoadFromBytes(TTIFFGraphic::ClassInfo(), GreyTiff(LZWWidth, LZWHeight, 5, c.Damage(strip)).Build());
    } catch (const std::exception&) {
        // a reader error is a clean end too; the sanitizers watch the rest
        ASSERT_FALSE(c.RestBlack);
        return;
    }
    ASSERT_EQ(image->Width(), LZWWidth);
    ASSERT_EQ(image->Height(), LZWHeight);
    std::string loaded;
    for (int y = 0; y < LZWHeight; ++y)
        loaded.append(reinterpret_cast<const char*>(image->ScanLine(y)), LZWWidth);
    std::size_t same = 0;
    while (same < loaded.size() && loaded[same] == pixels[same])
        ++same;
    EXPECT_GE(same, std::min(pixels.size(), c.GoodPixels(strip.size())));
    if (c.RestBlack) {
        EXPECT_EQ(loaded.find_first_not_of('\0', same), std::string::npos) << "first pixel past the data at " << same;
    }
}

// why: codes are at most 12 bits and each yields at least one pixel, so the codes wholly inside
// the first n bytes give at least n / 2 pixels.
std::size_t HalfOf(std::size_t n) { return n / 2; }

INSTANTIATE_TEST_SUITE_P(
    Cases, DamagedLZW,
    testing::Values(
        TDamageCase{"Whole", [](std::string s) { return s; }, [](std::size_t) { return std::size_t{LZWWidth * LZWHeight}; }, false},
        // bytes after the end code are never read
        TDamageCase{"TrailingBytes", [](std::string s) { return s + std::string(64, '\xFF'); },
                    [](std::size_t) { return std::size_t{LZWWidth * LZWHeight}; }, false},
        TDamageCase{"CutToOneByte", [](std::string s) { return s.substr(0, 1); }, [](std::size_t) { return std::size_t{0}; }, true},
        // the flat rows come first: the data ends just after a long string
        TDamageCase{"CutInsideLongStrings", [](std::string s) { return s.substr(0, 40); },
                    [](std::size_t) { return HalfOf(40); }, true},
        TDamageCase{"CutAfterAQuarter", [](std::string s) { return s.substr(0, s.size() / 4); },
                    [](std::size_t n) { return HalfOf(n / 4); }, true},
        TDamageCase{"CutBeforeTheEnd", [](std::string s) { return s.substr(0, s.size() - 3); },
                    [](std::size_t n) { return HalfOf(n - 3); }, true},
        // flipped bits name codes not yet in the table, codes past it, early end and clear codes
        TDamageCase{"GarbledMiddle", [](std::string s) {
                        for (std::size_t i = s.size() / 2; i < s.size() / 2 + 24; ++i)
                            s[i] = static_cast<char>(s[i] ^ (0x5A + i));
                        return s;
                    }, [](std::size_t n) { return HalfOf(n / 2); }, false},
        TDamageCase{"GarbledStart", [](std::string s) {
                        for (std::size_t i = 0; i < 6; ++i)
                            s[i] = static_cast<char>(~s[i]);
                        return s;
                    }, [](std::size_t) { return std::size_t{0}; }, false},
        TDamageCase{"Noise", [](std::string s) {
                        std::uint32_t state = 12345;
                        for (char& b : s) {
                            state = state * 1103515245u + 12345u;
                            b = static_cast<char>(state >> 23);
                        }
                        return s;
                    }, [](std::size_t) { return std::size_t{0}; }, false}),
    [](const testing::TestParamInfo<TDamageCase>& info) { return std::string(info.param.Name); });

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
