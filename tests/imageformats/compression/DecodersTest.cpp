// The stream and fax decoders on hand-made data.

#include "imageformats/ImageTestSupport.h"

#include "imageformats/compression/CCITTDecoder.h"
#include "imageformats/compression/LZ77Decoder.h"
#include "imageformats/compression/LZWDecoder.h"
#include "imageformats/compression/RunLengthDecoders.h"

#include <gtest/gtest.h>

#include <bitset>

#include <zlib.h>

namespace {

std::string Decode(TDecoder& decoder, const std::string& packed, std::size_t unpacked, char fill = '\0')
{
    std::string out(unpacked, fill);
    const auto* source = reinterpret_cast<const std::uint8_t*>(packed.data());
    auto* target = reinterpret_cast<std::uint8_t*>(out.data());
    decoder.BeginDecoding();
    decoder.DecodeBlock(source, target, static_cast<std::uint32_t>(packed.size()), static_cast<std::uint32_t>(unpacked));
    decoder.EndDecoding();
    return out;
}

// Bits given as text ("1000 0011"), padded with 0 bits to whole bytes.
std::string Bits(const std::string& text)
{
    std::string bytes;
    int n = 0;
    for (char c : text) {
        if (c != '0' && c != '1')
            continue;
        if (n % 8 == 0)
            bytes += '\0';
        if (c == '1')
            bytes.back() = static_cast<char>(bytes.back() | (0x80 >> (n % 8)));
        ++n;
    }
    return bytes;
}

TEST(PackBits, RunsLiteralsAndTheSkippedCode)
{
    TPackbitsRLEDecoder decoder;
    EXPECT_EQ(Decode(decoder, Hex("FE AA 02 80 00 2A"), 6), Hex("AA AA AA 80 00 2A"));
    EXPECT_EQ(Decode(decoder, Hex("80 00 41"), 1), Hex("41"));
    // a literal longer than the input is cut to it
    EXPECT_EQ(Decode(decoder, Hex("05 01 02"), 4, 'x'), Hex("01 02") + "xx");
}

TEST(LZW, TiffCodesMostSignificantBitFirst)
{
    TTIFFLZWDecoder decoder;
    // clear, 'A', 'B', 'A', end as 9-bit codes, then bytes that must not be read
    const std::string packed = Bits("100000000 001000001 001000010 001000001 100000001") + "\xFF\xFF";
    EXPECT_EQ(Decode(decoder, packed, 3), "ABA");
    EXPECT_EQ(decoder.Produced(), 3u);
}

// TIFF LZW codes of 9 bits, most significant bit first.
std::string Codes9(const std::vector<unsigned>& codes)
{
    std::string text;
    for (unsigned code : codes)
        text += std::bitset<9>(code).to_string();
    return Bits(text);
}

TEST(LZW, StreamThatStopsAfterALongCopyLeavesNothingPastItsOutput)
{
    // 17 single bytes, then code 258 ("AB") copied from 17 bytes back; with and without the end code
    const std::string head = "ABCDEFGHIJKLMNOPQ";
    for (const bool withEnd : {true, false}) {
        std::vector<unsigned> codes{256};
        codes.insert(codes.end(), head.begin(), head.end());
        codes.push_back(258);
        if (withEnd)
            codes.push_back(257);
        TTIFFLZWDecoder decoder;
        EXPECT_EQ(Decode(decoder, Codes9(codes), 48), head + "AB" + std::string(29, '\0'))
            << (withEnd ? "with" : "without") << " the end code";
        EXPECT_EQ(decoder.Produced(), 19u);
    }
}

TEST(LZW, GifCodesLeastSignificantBitFirstWidenAfterEntrySeven)
{
    TGIFLZWDecoder decoder(2);
    // clear (4), 1, 1, 6 as 3-bit codes and end (5) as a 4-bit code, least significant bit first
    unsigned long long bits = 4 | (1 << 3) | (1 << 6) | (6 << 9) | (5ULL << 12);
    std::string packed;
    for (int i = 0; i < 2; ++i)
        packed += static_cast<char>((bits >> (8 * i)) & 0xFF);
    EXPECT_EQ(Decode(decoder, packed, 4), std::string(4, '\x01'));
}

TEST(LZ77, BlockThatEndsEarlyLeavesOutputRoom)
{
    const std::string text = "hello";
    std::string packed(64, '\0');
    uLongf size = packed.size();
    compress(reinterpret_cast<Bytef*>(packed.data()), &size, reinterpret_cast<const Bytef*>(text.data()), text.size());
    packed.resize(size);
    TLZ77Decoder decoder(Z_PARTIAL_FLUSH, false);
    std::string out(10, '\0');
    const auto* source = reinterpret_cast<const std::uint8_t*>(packed.data());
    auto* target = reinterpret_cast<std::uint8_t*>(out.data());
    decoder.BeginDecoding();
    decoder.DecodeBlock(source, target, static_cast<std::uint32_t>(packed.size()), 10);
    EXPECT_EQ(decoder.ZLibResult(), Z_STREAM_END);
    EXPECT_EQ(decoder.AvailableOutput(), 5u);
    EXPECT_EQ(out.substr(0, 5), text);
    decoder.EndDecoding();
}

TEST(ThunderScan, NewPixelThenRun)
{
    TThunderDecoder decoder(4);
    EXPECT_EQ(Decode(decoder, Hex("C7 03"), 2), Hex("77 77"));
    // deltas: new 5, then +1 +1 (two 3-bit deltas) and -1 (a 2-bit delta)
    EXPECT_EQ(Decode(decoder, Hex("C5 89 7E"), 2), Hex("56 76"));
}

struct TFaxCase {
    const char* Name;
    bool MH, WordAligned, Swap;
    std::uint32_t Width;
    std::string Packed;
    std::size_t Unpacked;
    std::string Expected;
};

class Fax : public testing::TestWithParam<TFaxCase> {};

TEST_P(Fax, DecodesRows)
{
    const TFaxCase& c = GetParam();
    std::unique_ptr<TDecoder> decoder;
    if (c.MH)
        decoder = std::make_unique<TCCITTMHDecoder>(0, c.Swap, c.WordAligned, c.Width);
    else
        decoder = std::make_unique<TCCITTFax3Decoder>(0, c.Swap, false, c.Width);
    EXPECT_EQ(Decode(*decoder, c.Packed, c.Unpacked), c.Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Fax,
    testing::Values(
        // end of line, white 3, black 5
        TFaxCase{"G3Row", false, false, false, 8, Bits("000000000001 1000 0011 0000"), 1, Hex("1F")},
        // white 0, black 8
        TFaxCase{"MHRow", true, false, false, 8, Bits("00110101 000101 00"), 1, Hex("FF")},
        // the final code ends exactly with the data and still counts
        TFaxCase{"MHLastRunKept", true, false, false, 8, Bits("1000 0011 1000 0011"), 2, Hex("1F 1F")},
        TFaxCase{"G3LastRunKept", false, false, false, 8, Bits("000000000001 1000 0011"), 1, Hex("1F")},
        // a black run longer than the row fills to its end only
        TFaxCase{"BlackRunCut", true, false, false, 8, Bits("1011 000101"), 1, Hex("0F")},
        // swapped bits: every byte is read with its bit order reversed
        TFaxCase{"SwappedBits", true, false, true, 8, "\xAC\x28", 1, Hex("FF")},
        // word alignment: the second row starts at an even byte
        TFaxCase{"WordAligned", true, true, false, 16,
                 Bits("00110101 0000010111 000000 11111111 00110101 0000010111 000000"), 4, Hex("FF FF FF FF")},
        // a strip that ends inside a row leaves the rest white
        TFaxCase{"EndsInsideRow", true, false, false, 16, Bits("1011 011 1"), 4, Hex("0F 00 00 00")}),
    [](const testing::TestParamInfo<TFaxCase>& info) { return std::string(info.param.Name); });

} // namespace
