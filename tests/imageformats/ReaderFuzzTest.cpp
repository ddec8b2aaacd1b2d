// Mutation fuzzing of the three readers, seeded from the committed corpus of encoder-made
// images (and, for the compressions no Debian encoder writes, small hand-made files). A load
// ends in a picture or in one of the readers' errors; a crash, a sanitizer report, a hang or a
// huge allocation fails with the case that reproduces it.

#include "imageformats/ImageTestSupport.h"

#include "imageformats/gif/GIFGraphic.h"
#include "imageformats/png/PNGGraphic.h"
#include "imageformats/tiff/TIFFGraphic.h"

#include "support/MutationFuzzer.h"

#include "Platform/core/Application.h"

#include <gtest/gtest.h>

#include <zlib.h>

namespace {

const std::string Corpus = ZENTU_TEST_SOURCE_DIR "/corpus/files";

std::uint32_t BigEndianAt(const std::string& data, std::size_t at)
{
    std::uint32_t v = 0;
    for (std::size_t i = 0; i < 4; ++i)
        v = (v << 8) | static_cast<std::uint8_t>(data[at + i]);
    return v;
}

// Recomputes the CRC of every whole chunk, so that mutated chunk data reaches the decoders.
void RepairChunkCRCs(std::string& data)
{
    std::size_t at = 8;
    while (at + 12 <= data.size()) {
        const std::uint64_t length = BigEndianAt(data, at);
        if (length > data.size() - at - 12)
            break;
        const auto* body = reinterpret_cast<const Bytef*>(data.data() + at + 4);
        const auto crc = static_cast<std::uint32_t>(crc32(0, body, static_cast<uInt>(length + 4)));
        const std::size_t end = at + 8 + static_cast<std::size_t>(length);
        for (int i = 0; i < 4; ++i)
            data[end + i] = static_cast<char>(crc >> (24 - 8 * i));
        at = end + 4;
    }
}

void Load(TGraphicClass reader, const std::string& bytes)
{
    LoadFromBytes(reader, bytes);
}

// why: damaged JPEG data in TIFF files shows the library's warnings in message boxes
class ReaderFuzz : public testing::Test {
protected:
    void SetUp() override
    {
        FHook = Application()->MessageBoxHook;
        Application()->MessageBoxHook = [](const TMessageBoxRequest&) { return IDOK; };
    }
    void TearDown() override { Application()->MessageBoxHook = FHook; }

private:
    decltype(TApplication::MessageBoxHook) FHook;
};

TEST_F(ReaderFuzz, PNG)
{
    const std::vector<std::string> seeds = fuzz::ReadCorpus(Corpus, {"png"});
    ASSERT_FALSE(seeds.empty());
    fuzz::TFuzzOptions options;
    options.Cases = 60000;
    options.Repair = RepairChunkCRCs;
    options.Dictionary = {"IHDR", "PLTE", "IDAT", "IEND", "tRNS", "bKGD", "gAMA", "tEXt", std::string("\0\0\0\0", 4),
                          std::string("\x78\x9C", 2)};
    EXPECT_GT(fuzz::FuzzReader("png", seeds, [](const std::string& b) { Load(TPNGGraphic::ClassInfo(), b); }, options),
              options.Cases);
}

TEST_F(ReaderFuzz, GIF)
{
    const std::vector<std::string> seeds = fuzz::ReadCorpus(Corpus, {"gif"});
    ASSERT_FALSE(seeds.empty());
    fuzz::TFuzzOptions options;
    options.Cases = 30000;
    options.Dictionary = {"GIF89a", "GIF87a", ",", ";", "\x21\xF9\x04", "\x21\xFE", "\x21\xFF\x0B", "\x21\x01",
                          std::string(1, '\0')};
    EXPECT_GT(fuzz::FuzzReader("gif", seeds, [](const std::string& b) { Load(TGIFGraphic::ClassInfo(), b); }, options),
              options.Cases);
}

// Hand-made seeds for the compressions that no encoder at hand writes: ThunderScan, modified
// Huffman and its word-aligned form.
std::vector<std::string> HandMadeTIFFSeeds()
{
    constexpr std::uint16_t SHORT = 3, LONG = 4;
    const auto grey = [](std::uint32_t width, std::uint32_t height, std::uint32_t compression, const std::string& data,
                         std::uint32_t bits, std::uint32_t photometric) {
        TTIFFBuilder tiff;
        const int block = tiff.AddBlock(data);
        tiff.Add(256, LONG, {width});
        tiff.Add(257, LONG, {height});
        tiff.Add(258, SHORT, {bits});
        tiff.Add(259, SHORT, {compression});
        tiff.Add(262, SHORT, {photometric});
        tiff.Add(273, LONG, {TTIFFBuilder::BlockOffset(block)});
        tiff.Add(278, LONG, {height});
        tiff.Add(279, LONG, {static_cast<std::uint32_t>(data.size())});
        return tiff.Build();
    };
    return {
        grey(6, 2, 32809, Hex("C7 03 94 01 C2 9D 64"), 4, 1),
        grey(8, 3, 2, Hex("83 98 35 14"), 1, 0),
        grey(8, 3, 32771, Hex("83 00 98 00 35 14"), 1, 0),
    };
}

TEST_F(ReaderFuzz, TIFF)
{
    std::vector<std::string> seeds = fuzz::ReadCorpus(Corpus, {"tif"});
    ASSERT_FALSE(seeds.empty());
    for (std::string& seed : HandMadeTIFFSeeds())
        seeds.push_back(std::move(seed));
    fuzz::TFuzzOptions options;
    options.Cases = 40000;
    // compression entries, little- and big-endian, that move a file between the decoders
    options.Dictionary = {"II*", std::string("MM\0*", 4), Hex("01 03 00 03 00 00 00 01 00 05")};
    for (const char* value : {"01 00", "02 00", "03 00", "04 00", "05 00", "07 00", "08 00", "03 80", "05 80", "29 80"})
        options.Dictionary.push_back(Hex(std::string("03 01 03 00 01 00 00 00 ") + value));
    EXPECT_GT(fuzz::FuzzReader("tiff", seeds, [](const std::string& b) { Load(TTIFFGraphic::ClassInfo(), b); }, options),
              options.Cases);
}

} // namespace
