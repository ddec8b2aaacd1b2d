#pragma once
// The fax decoders of TIFF: CCITT group 3 one-dimensional coding (compression 3) and modified
// Huffman run lengths (compression 2, and 32771 with rows aligned to 16 bits). Each block is a
// strip of rows of 1-bit pixels, a set bit meaning black, each row starting on a byte.

#include "imageformats/compression/Decoder.h"

#include <vector>

class TCCITTDecoder : public TDecoder {
public:
    TCCITTDecoder(std::uint32_t options, bool swapBits, bool wordAligned, std::uint32_t width);

protected:
    // A run's value: 0 to 2560 pixels, or one of these.
    static constexpr int EndOfLine = -1, FillCode = -2, BadCode = -3;

    struct TState {
        std::int32_t Next[2] = {0, 0};
        std::int32_t Value = BadCode;
    };
    using TCodeTree = std::vector<TState>;
    // The walk through a code tree for every 13 bits that may follow (no code is longer): the
    // value it ends at and the bits it consumed.
    struct TStep {
        std::int16_t Value = BadCode;
        std::uint8_t Length = 0;
    };
    static constexpr unsigned LookAhead = 13;

    void StartBlock(const std::uint8_t* source, std::uint32_t packedSize, std::uint8_t* target,
                    std::uint32_t unpackedSize);
    // Bits remain to be read.
    bool BitsRemain() const { return FBit < FBitCount; }
    bool NextBit();
    int NextRun(bool black);
    // Writes a run of the current colour, cut to the row; true when the row is complete.
    bool WriteRun(int length);
    // Starts the next row on its own byte, white first.
    void NextRow();
    bool TargetFull() const { return FRow >= FRows; }
    // The next bits from the read position, first bit highest, 0 beyond the end.
    unsigned Peek() const;

    std::uint32_t FOptions;
    bool FBlack = false;
    bool FSwapBits;
    bool FWordAligned;
    std::uint32_t FWidth;

    // reading: a bit position in the strip
    const std::uint8_t* FSource = nullptr;
    std::uint64_t FBit = 0;
    std::uint64_t FBitCount = 0;

    // writing
    std::uint8_t* FTarget = nullptr;
    std::uint32_t FRowBytes = 0;
    std::uint32_t FRows = 0;
    std::uint32_t FRow = 0;
    std::uint32_t FPixel = 0;

private:
    static const TCodeTree& Tree(bool black);
    static const std::vector<TStep>& Steps(bool black);
};

class TCCITTFax3Decoder : public TCCITTDecoder {
public:
    using TCCITTDecoder::TCCITTDecoder;
    void DecodeBlock(const std::uint8_t*& source, std::uint8_t*& target, std::uint32_t packedSize,
                     std::uint32_t unpackedSize) override;
};

class TCCITTMHDecoder : public TCCITTDecoder {
public:
    using TCCITTDecoder::TCCITTDecoder;
    void DecodeBlock(const std::uint8_t*& source, std::uint8_t*& target, std::uint32_t packedSize,
                     std::uint32_t unpackedSize) override;
};
