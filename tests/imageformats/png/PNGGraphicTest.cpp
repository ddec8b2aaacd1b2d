// The PNG reader on hand-made files: chunk rules, errors and the pixel layouts.

#include "imageformats/ImageTestSupport.h"

#include "imageformats/png/PNGGraphic.h"

#include <gtest/gtest.h>

#include <zlib.h>

namespace {

std::string BigEndian(std::uint32_t v)
{
    return {static_cast<char>(v >> 24), static_cast<char>(v >> 16), static_cast<char>(v >> 8), static_cast<char>(v)};
}

std::string Chunk(const std::string& type, const std::string& data)
{
    const std::string body = type + data;
    const auto crc = static_cast<std::uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(body.data()), static_cast<uInt>(body.size())));
    return BigEndian(static_cast<std::uint32_t>(data.size())) + body + BigEndian(crc);
}

std::string Header(std::uint32_t width, std::uint32_t height, int depth, int colorType, int interlace = 0)
{
    return Chunk("IHDR", BigEndian(width) + BigEndian(height) + std::string{static_cast<char>(depth), static_cast<char>(colorType), 0, 0,
                                                                          static_cast<char>(interlace)});
}

std::string Deflated(const std::string& raw)
{
    std::string packed(compressBound(raw.size()), '\0');
    uLongf size = packed.size();
    compress(reinterpret_cast<Bytef*>(packed.data()), &size, reinterpret_cast<const Bytef*>(raw.data()), raw.size());
    packed.resize(size);
    return packed;
}

const std::string Signature = Hex("89 50 4E 47 0D 0A 1A 0A");

// A 2 × 2 grey image of depth 8, rows filtered with None.
std::string GreyFile(const std::string& between = {}, const std::string& idatName = "IDAT")
{
    return Signature + Header(2, 2, 8, 0) + between + Chunk(idatName, Deflated(Hex("00 10 20 00 30 40"))) + Chunk("IEND", "");
}

std::string LoadError(const std::string& bytes)
{
    try {
        LoadFromBytes(TPNGGraphic::ClassInfo(), bytes);
    } catch (const std::exception& e) {
        return e.what();
    }
    return "loaded";
}

TEST(PNGReader, ImageDataChunkNamesCompareWithoutCase)
{
    for (const char* name : {"IDAT", "IdAT", "idat"}) {
        const auto image = LoadFromBytes(TPNGGraphic::ClassInfo(), GreyFile({}, name));
        EXPECT_EQ(image->Pixel(1, 1), RGBColor(0x40, 0x40, 0x40)) << name;
    }
}

struct TErrorCase {
    const char* Name;
    std::string Bytes;
    std::string Message;
};

class PNGErrors : public testing::TestWithParam<TErrorCase> {};

TEST_P(PNGErrors, EndInTheirMessage)
{
    EXPECT_EQ(LoadError(GetParam().Bytes), GetParam().Message);
}

std::string DamagedCRC(std::string chunk)
{
    chunk.back() = static_cast<char>(chunk.back() ^ 1);
    return chunk;
}

const std::string Critical = "Cannot load PNG image. Unexpected but critical chunk detected.";

INSTANTIATE_TEST_SUITE_P(
    Cases, PNGErrors,
    testing::Values(
        TErrorCase{"SecondHeader", GreyFile(Header(2, 2, 8, 0)), Critical},
        TErrorCase{"UnknownAncillarySkipped", GreyFile(Chunk("tEXt", "a\0b")), "loaded"},
        TErrorCase{"DamagedAncillaryUnnoticed", GreyFile(DamagedCRC(Chunk("tEXt", "ab"))), "loaded"},
        TErrorCase{"DamagedGamma", GreyFile(DamagedCRC(Chunk("gAMA", BigEndian(45455)))),
                   "Cannot load image. CRC error found in PNG file."},
        TErrorCase{"PaletteOfTenBytes", GreyFile(Chunk("PLTE", std::string(10, 'a'))),
                   "Cannot load image. Palette in PNG file is invalid."},
        TErrorCase{"Indexed16", Signature + Header(1, 1, 16, 3) + Chunk("IDAT", Deflated(Hex("00 00 00"))) + Chunk("IEND", ""),
                   "Invalid color format in PNG file."},
        TErrorCase{"Truecolour4", Signature + Header(1, 1, 4, 2) + Chunk("IDAT", Deflated(Hex("00 00"))) + Chunk("IEND", ""),
                   "Invalid color format in PNG file."},
        // the header is checked before any chunk scales a level by its depth
        TErrorCase{"Depth0WithTransparency",
                   Signature + Header(2, 2, 0, 0) + Chunk("tRNS", Hex("00 01")) + Chunk("IDAT", Deflated(Hex("00 00"))) +
                       Chunk("IEND", ""),
                   "Invalid color format in PNG file."},
        TErrorCase{"Depth0WithBackground", Signature + Header(2, 2, 0, 4) + Chunk("bKGD", Hex("00 01")) + Chunk("IEND", ""),
                   "Invalid color format in PNG file."},
        TErrorCase{"ColourType5", Signature + Header(2, 2, 8, 5) + Chunk("IEND", ""), "Invalid color format in PNG file."},
        TErrorCase{"FilterMethod1",
                   Signature + Chunk("IHDR", Hex("00 00 00 02 00 00 00 02 08 00 00 01 00")) + Chunk("IEND", ""),
                   "Cannot load image. Invalid or unexpected PNG image format."},
        TErrorCase{"InterlaceMethod2", Signature + Header(2, 2, 8, 0, 2) + Chunk("IEND", ""),
                   "Cannot load image. Invalid or unexpected PNG image format."},
        TErrorCase{"WidthAboveTwoToThe31", Signature + Chunk("IHDR", Hex("80 00 00 00 00 00 00 01 08 00 00 00 00")) +
                                               Chunk("IEND", ""),
                   "Cannot load image. Invalid or unexpected PNG image format."},
        TErrorCase{"CompressionMethod1",
                   Signature + Chunk("IHDR", Hex("00 00 00 02 00 00 00 02 08 00 01 00 00")) + Chunk("IEND", ""),
                   "Cannot load image. The compression scheme is not supported for PNG files."},
        TErrorCase{"NotPNG", "GIF89a" + std::string(30, '\0'), "Cannot load image. Invalid or unexpected PNG image format."},
        // image data that ends before the last row is a damaged file, not a partial picture
        TErrorCase{"ImageDataEndsEarly",
                   Signature + Header(2, 2, 8, 0) + Chunk("IDAT", Deflated(Hex("00 10 20"))) + Chunk("IEND", ""),
                   "Cannot load image. Compression error found in PNG file."},
        TErrorCase{"ImageDataChunksMissing", Signature + Header(2, 2, 8, 0) + Chunk("IEND", ""),
                   "Cannot load image. Compression error found in PNG file."},
        TErrorCase{"CutInsideImageData", GreyFile().substr(0, 60), "Stream read error"},
        // a size that no data of this file could fill is refused before anything is allocated
        TErrorCase{"HugeSizeTinyData",
                   Signature + Header(60000, 60000, 8, 6) + Chunk("IDAT", Deflated(std::string(100, '\0'))) + Chunk("IEND", ""),
                   "Cannot load image. Invalid or unexpected PNG image format."}),
    [](const testing::TestParamInfo<TErrorCase>& info) { return std::string(info.param.Name); });

TEST(PNGReader, TruecolourPaletteIsCheckedAndIgnored)
{
    const std::string file = Signature + Header(1, 1, 8, 2) + Chunk("PLTE", Hex("01 02 03")) +
                             Chunk("IDAT", Deflated(Hex("00 0A 0B 0C"))) + Chunk("IEND", "");
    const auto image = LoadFromBytes(TPNGGraphic::ClassInfo(), file);
    EXPECT_EQ(image->PixelFormat(), TPixelFormat::pf24bit);
    EXPECT_EQ(image->Pixel(0, 0), RGBColor(0x0A, 0x0B, 0x0C));
}

TEST(PNGReader, Grey2BitsBecomeFourBitIndicesOfAGreyRamp)
{
    const std::string file = Signature + Header(4, 1, 2, 0) + Chunk("IDAT", Deflated(Hex("00 1B"))) + Chunk("IEND", "");
    const auto image = LoadFromBytes(TPNGGraphic::ClassInfo(), file);
    EXPECT_EQ(image->PixelFormat(), TPixelFormat::pf4bit);
    EXPECT_EQ(image->ScanLine(0)[0], 0x05);
    EXPECT_EQ(image->ScanLine(0)[1], 0xAF);
    EXPECT_EQ(image->Palette()[1], (TPaletteEntry{17, 17, 17}));
}

TEST(PNGReader, AssignCopiesPixelsAndProperties)
{
    const auto image = LoadFromBytes(TPNGGraphic::ClassInfo(), GreyFile(Chunk("gAMA", BigEndian(45455))));
    TPNGGraphic copy;
    copy.Assign(*image);
    EXPECT_EQ(copy.ImageProperties().ImageWidth, 2u);
    EXPECT_EQ(copy.ImageProperties().Scheme, schemeGray);
    EXPECT_FLOAT_EQ(copy.ImageProperties().Gamma, 0.45455f);
    EXPECT_EQ(copy.Pixel(1, 0), image->Pixel(1, 0));
}

TEST(PNGReader, HeaderOfOtherDataAnswersFalseWithClearedProperties)
{
    TPNGGraphic image;
    TMemoryStream stream("GIF89a" + std::string(30, '\0'));
    EXPECT_FALSE(image.ReadImageHeader(stream, 0));
    EXPECT_EQ(image.ImageProperties().ImageWidth, 0u);
    EXPECT_FLOAT_EQ(image.ImageProperties().Gamma, 1.0f);
}

} // namespace
