// The GIF reader on hand-made files.

#include "imageformats/ImageTestSupport.h"

#include "imageformats/gif/GIFGraphic.h"
#include "imageformats/tiff/TIFFGraphic.h"

#include <gtest/gtest.h>

namespace {

std::string Word(unsigned v)
{
    return {static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)};
}

// Codes of `size` + 1 bits (no width change happens for these short streams), least significant first.
std::string Packed(const std::vector<unsigned>& codes, unsigned width)
{
    std::string bytes;
    unsigned long long buffer = 0;
    unsigned bits = 0;
    for (unsigned code : codes) {
        buffer |= static_cast<unsigned long long>(code) << bits;
        bits += width;
        while (bits >= 8) {
            bytes += static_cast<char>(buffer & 0xFF);
            buffer >>= 8;
            bits -= 8;
        }
    }
    if (bits)
        bytes += static_cast<char>(buffer & 0xFF);
    return bytes;
}

// A file with a 4-colour global table, an extension block and one image of `width` × `height`
// whose pixels are the given values (code size 2: each value one code after a clear).
std::string GIFFile(unsigned width, unsigned height, const std::vector<unsigned>& values, char descriptorFlags = 0,
                    const std::string& header = "GIF89a", unsigned screenWidth = 0)
{
    std::string file = header + Word(screenWidth ? screenWidth : width) + Word(height) + "\x81" + std::string(2, '\0');
    file += Hex("00 00 00 FF 00 00 00 FF 00 00 00 FF");
    file += Hex("21 F9 04 01 00 00 02 00");       // graphic control, transparent index 2
    file += Hex("21 FE 03 61 62 63 00");          // comment
    file += "," + Word(0) + Word(0) + Word(screenWidth ? 0 : width) + Word(screenWidth ? 0 : height) + descriptorFlags;
    std::vector<unsigned> codes;
    for (unsigned v : values) {
        codes.push_back(4);
        codes.push_back(v);
    }
    codes.push_back(5);
    const std::string data = Packed(codes, 3);
    file += "\x02" + std::string(1, static_cast<char>(data.size())) + data + std::string(1, '\0') + ";";
    return file;
}

TEST(GIFReader, LoadsIndicesWithTheGlobalPaletteAndNoTransparency)
{
    const auto image = LoadFromBytes(TGIFGraphic::ClassInfo(), GIFFile(2, 2, {0, 1, 2, 3}));
    EXPECT_EQ(image->PixelFormat(), TPixelFormat::pf8bit);
    EXPECT_EQ(image->Pixel(0, 0), RGBColor(0, 0, 0));
    EXPECT_EQ(image->Pixel(1, 0), RGBColor(255, 0, 0));
    EXPECT_EQ(image->Pixel(0, 1), RGBColor(0, 255, 0));
    EXPECT_FALSE(image->Transparent);
    EXPECT_EQ(image->ImageProperties().FormatVersion, 89u);
    EXPECT_EQ(image->ImageProperties().SampleBits, 2);
}

TEST(GIFReader, LowerCaseSignatureLoads)
{
    EXPECT_EQ(LoadFromBytes(TGIFGraphic::ClassInfo(), GIFFile(1, 1, {1}, 0, "gif89a"))->Pixel(0, 0), RGBColor(255, 0, 0));
}

TEST(GIFReader, InterlacedRowsFillInPassOrder)
{
    // ten rows of one pixel; decoded row k holds the value k % 4
    std::vector<unsigned> values;
    for (unsigned k = 0; k < 10; ++k)
        values.push_back(k % 4);
    const auto image = LoadFromBytes(TGIFGraphic::ClassInfo(), GIFFile(1, 10, values, 0x40));
    const unsigned order[10] = {0, 8, 4, 2, 6, 1, 3, 5, 7, 9};
    for (unsigned k = 0; k < 10; ++k)
        EXPECT_EQ(image->ScanLine(static_cast<int>(order[k]))[0], k % 4) << "row " << order[k];
}

TEST(GIFReader, ZeroSizeDescriptorTakesTheScreenSize)
{
    const auto image = LoadFromBytes(TGIFGraphic::ClassInfo(), GIFFile(2, 1, {3, 2}, 0, "GIF87a", 2));
    EXPECT_EQ(image->Width(), 2);
    EXPECT_EQ(image->Height(), 1);
}

TEST(GIFReader, HeaderTableAndTrailerLoadEmpty)
{
    const std::string file = "GIF89a" + Word(4) + Word(4) + "\x81" + std::string(2, '\0') + std::string(12, '\0') + ";";
    const auto image = LoadFromBytes(TGIFGraphic::ClassInfo(), file + std::string(8, '\0'));
    EXPECT_TRUE(image->Empty());
    EXPECT_EQ(image->Palette().size(), 4u);
}

TEST(GIFReader, TiffReaderRefusesAGif)
{
    try {
        LoadFromBytes(TTIFFGraphic::ClassInfo(), GIFFile(1, 1, {1}));
        FAIL();
    } catch (const EInvalidGraphic& e) {
        EXPECT_STREQ(e.what(), "Cannot load image. Invalid or unexpected TIF/TIFF image format.");
    }
}

TEST(GIFReader, ExtensionBlocksRunningToTheEndEndInAReadError)
{
    std::string file = "GIF89a" + Word(1) + Word(1) + std::string(3, '\0');
    for (int i = 0; i < 1000; ++i)
        file += Hex("21 FE 01 41");
    EXPECT_THROW(LoadFromBytes(TGIFGraphic::ClassInfo(), file), EReadError);
}

} // namespace
