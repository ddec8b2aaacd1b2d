#include "imageformats/compression/CCITTDecoder.h"

#include <algorithm>
#include <cstring>
#include <span>
#include <string_view>

namespace {

// ITU-T T.4 modified Huffman codes: terminating codes for runs 0 to 63, then make-up codes for
// 64 to 1728 of each colour, then the extended make-up codes 1792 to 2560 shared by both.
constexpr std::string_view WhiteCodes[] = {
    "00110101", "000111", "0111", "1000", "1011", "1100", "1110", "1111", "10011", "10100", "00111", "01000",
    "001000", "000011", "110100", "110101", "101010", "101011", "0100111", "0001100", "0001000", "0010111",
    "0000011", "0000100", "0101000", "0101011", "0010011", "0100100", "0011000", "00000010", "00000011",
    "00011010", "00011011", "00010010", "00010011", "00010100", "00010101", "00010110", "00010111", "00101000",
    "00101001", "00101010", "00101011", "00101100", "00101101", "00000100", "00000101", "00001010", "00001011",
    "01010010", "01010011", "01010100", "01010101", "00100100", "00100101", "01011000", "01011001", "01011010",
    "01011011", "01001010", "01001011", "00110010", "00110011", "00110100",
    // make-up 64 .. 1728
    "11011", "10010", "010111", "0110111", "00110110", "00110111", "01100100", "01100101", "01101000",
    "01100111", "011001100", "011001101", "011010010", "011010011", "011010100", "011010101", "011010110",
    "011010111", "011011000", "011011001", "011011010", "011011011", "010011000", "010011001", "010011010",
    "011000", "010011011",
};

constexpr std::string_view BlackCodes[] = {
    "0000110111", "010", "11", "10", "011", "0011", "0010", "00011", "000101", "000100", "0000100", "0000101",
    "0000111", "00000100", "00000111", "000011000", "0000010111", "0000011000", "0000001000", "00001100111",
    "00001101000", "00001101100", "00000110111", "00000101000", "00000010111", "00000011000", "000011001010",
    "000011001011", "000011001100", "000011001101", "000001101000", "000001101001", "000001101010",
    "000001101011", "000011010010", "000011010011", "000011010100", "000011010101", "000011010110",
    "000011010111", "000001101100", "000001101101", "000011011010", "000011011011", "000001010100",
    "000001010101", "000001010110", "000001010111", "000001100100", "000001100101", "000001010010",
    "000001010011", "000000100100", "000000110111", "000000111000", "000000100111", "000000101000",
    "000001011000", "000001011001", "000000101011", "000000101100", "000001011010", "000001100110",
    "000001100111",
    // make-up 64 .. 1728
    "0000001111", "000011001000", "000011001001", "000001011011", "000000110011", "000000110100",
    "000000110101", "0000001101100", "0000001101101", "0000001001010", "0000001001011", "0000001001100",
    "0000001001101", "0000001110010", "0000001110011", "0000001110100", "0000001110101", "0000001110110",
    "0000001110111", "0000001010010", "0000001010011", "0000001010100", "0000001010101", "0000001011010",
    "0000001011011", "0000001100100", "0000001100101",
};

constexpr std::string_view ExtendedMakeUpCodes[] = {
    "00000001000", "00000001100", "00000001101", "000000010010", "000000010011", "000000010100", "000000010101",
    "000000010110", "000000010111", "000000011100", "000000011101", "000000011110", "000000011111",
};

std::uint8_t Reversed(std::uint8_t b)
{
    b = static_cast<std::uint8_t>((b & 0xF0) >> 4 | (b & 0x0F) << 4);
    b = static_cast<std::uint8_t>((b & 0xCC) >> 2 | (b & 0x33) << 2);
    return static_cast<std::uint8_t>((b & 0xAA) >> 1 | (b & 0x55) << 1);
}

} // namespace

const TCCITTDecoder::TCodeTree& TCCITTDecoder::Tree(bool black)
{
    const auto build = [](std::span<const std::string_view> codes) {
        TCodeTree tree(1);
        const auto add = [&tree](std::string_view bits, int value) {
            std::size_t state = 0;
            for (char bit : bits) {
                const int b = bit - '0';
                if (tree[state].Next[b] == 0) {
                    tree[state].Next[b] = static_cast<std::int32_t>(tree.size());
                    tree.emplace_back();
                }
                state = static_cast<std::size_t>(tree[state].Next[b]);
            }
            tree[state].Value = value;
        };
        for (std::size_t i = 0; i < codes.size(); ++i)
            add(codes[i], i < 64 ? static_cast<int>(i) : static_cast<int>(i - 63) * 64);
        for (std::size_t i = 0; i < std::size(ExtendedMakeUpCodes); ++i)
            add(ExtendedMakeUpCodes[i], static_cast<int>(i + 28) * 64);
        add("000000000001", EndOfLine);
        add("000000001", FillCode);
        add("0000000001", FillCode);
        add("00000000001", FillCode);
        add("000000000000", FillCode);
        return tree;
    };
    static const TCodeTree white = build(WhiteCodes);
    static const TCodeTree blackTree = build(BlackCodes);
    return black ? blackTree : white;
}

const std::vector<TCCITTDecoder::TStep>& TCCITTDecoder::Steps(bool black)
{
    const auto build = [](const TCodeTree& tree) {
        std::vector<TStep> steps(std::size_t{1} << LookAhead);
        for (unsigned window = 0; window < steps.size(); ++window) {
            std::size_t state = 0;
            unsigned length = 0;
            while (length < LookAhead) {
                const int bit = (window >> (LookAhead - 1 - length)) & 1;
                if (tree[state].Next[bit] == 0)
                    break;
                state = static_cast<std::size_t>(tree[state].Next[bit]);
                ++length;
            }
            steps[window] = {static_cast<std::int16_t>(tree[state].Value), static_cast<std::uint8_t>(length)};
        }
        return steps;
    };
    static const std::vector<TStep> white = build(Tree(false));
    static const std::vector<TStep> blackSteps = build(Tree(true));
    return black ? blackSteps : white;
}

TCCITTDecoder::TCCITTDecoder(std::uint32_t options, bool swapBits, bool wordAligned, std::uint32_t width)
    : FOptions(options), FSwapBits(swapBits), FWordAligned(wordAligned), FWidth(width)
{
    Steps(false);
    Steps(true);
}

void TCCITTDecoder::StartBlock(const std::uint8_t* source, std::uint32_t packedSize, std::uint8_t* target,
                               std::uint32_t unpackedSize)
{
    std::memset(target, 0, unpackedSize);
    FSource = source;
    FBit = 0;
    FBitCount = std::uint64_t{packedSize} * 8;
    FTarget = target;
    FRowBytes = static_cast<std::uint32_t>((std::uint64_t{FWidth} + 7) / 8);
    FRows = FRowBytes ? unpackedSize / FRowBytes : 0;
    FRow = 0;
    FPixel = 0;
    FBlack = false;
    FProduced = 0;
}

unsigned TCCITTDecoder::Peek() const
{
    const std::uint64_t byte = FBit / 8;
    const std::uint64_t bytes = FBitCount / 8;
    unsigned window = 0;
    for (std::uint64_t i = 0; i < 3; ++i) {
        std::uint8_t b = byte + i < bytes ? FSource[byte + i] : 0;
        if (FSwapBits)
            b = Reversed(b);
        window = window << 8 | b;
    }
    return (window >> (24 - LookAhead - FBit % 8)) & ((1u << LookAhead) - 1);
}

bool TCCITTDecoder::NextBit()
{
    if (!BitsRemain())
        return false;
    std::uint8_t b = FSource[FBit / 8];
    if (FSwapBits)
        b = Reversed(b);
    const bool bit = (b >> (7 - FBit % 8)) & 1;
    ++FBit;
    return bit;
}

int TCCITTDecoder::NextRun(bool black)
{
    const std::vector<TStep>& steps = Steps(black);
    int sum = 0;
    while (BitsRemain()) {
        const TStep step = steps[Peek()];
        const std::uint64_t left = FBitCount - FBit;
        if (step.Length > left) {
            // the data ends inside a code
            FBit = FBitCount;
            return sum;
        }
        FBit += step.Length;
        // why: a code whose last bit ends the data still counts.
        if (step.Value < 64)
            return step.Value < 0 ? step.Value : sum + step.Value;
        sum += step.Value;
    }
    return sum;
}

bool TCCITTDecoder::WriteRun(int length)
{
    if (TargetFull() || length <= 0)
        return !TargetFull() && FPixel >= FWidth;
    const std::uint32_t n = std::min<std::uint32_t>(static_cast<std::uint32_t>(length), FWidth - FPixel);
    if (FBlack && n > 0) {
        std::uint8_t* row = FTarget + std::size_t{FRow} * FRowBytes;
        std::uint32_t first = FPixel;
        const std::uint32_t last = FPixel + n;
        while (first < last && first % 8 != 0)
            row[first / 8] |= static_cast<std::uint8_t>(0x80 >> (first % 8)), ++first;
        if (last - first >= 8) {
            std::memset(row + first / 8, 0xFF, (last - first) / 8);
            first += (last - first) / 8 * 8;
        }
        while (first < last)
            row[first / 8] |= static_cast<std::uint8_t>(0x80 >> (first % 8)), ++first;
    }
    FPixel += n;
    FProduced = std::max<std::uint32_t>(FProduced, FRow * FRowBytes + (FPixel + 7) / 8);
    return FPixel >= FWidth;
}

void TCCITTDecoder::NextRow()
{
    ++FRow;
    FPixel = 0;
    FBlack = false;
}

void TCCITTFax3Decoder::DecodeBlock(const std::uint8_t*& source, std::uint8_t*& target, std::uint32_t packedSize,
                                    std::uint32_t unpackedSize)
{
    StartBlock(source, packedSize, target, unpackedSize);
    bool atLineStart = false;
    while (BitsRemain() && !TargetFull()) {
        if (!atLineStart) {
            // Seek the next end of line: eleven 0 bits, then up to the 1 bit.
            for (int zeros = 0; zeros < 11 && BitsRemain();)
                zeros = NextBit() ? 0 : zeros + 1;
            while (BitsRemain() && !NextBit()) {
            }
        }
        atLineStart = false;
        while (BitsRemain()) {
            const int run = NextRun(FBlack);
            if (run == EndOfLine) {
                atLineStart = true;
                break;
            }
            if (run < 0)
                break;
            if (WriteRun(run))
                break;
            FBlack = !FBlack;
        }
        NextRow();
    }
}

void TCCITTMHDecoder::DecodeBlock(const std::uint8_t*& source, std::uint8_t*& target, std::uint32_t packedSize,
                                  std::uint32_t unpackedSize)
{
    StartBlock(source, packedSize, target, unpackedSize);
    while (BitsRemain() && !TargetFull()) {
        const int run = NextRun(FBlack);
        if (run > 0 && WriteRun(run)) {
            NextRow();
            // A row ends on a byte boundary, with word alignment on an even one.
            FBit = std::min(FBitCount, (FBit + 7) / 8 * 8);
            if (FWordAligned && (FBit / 8) % 2 == 1)
                FBit = std::min(FBitCount, FBit + 8);
            FBlack = true;
        }
        FBlack = !FBlack;
    }
}
