#pragma once
// The run-length decoders of TIFF: PackBits (compression 32773) and ThunderScan 4-bit data
// (compression 32809).

#include "imageformats/compression/Decoder.h"

class TPackbitsRLEDecoder : public TDecoder {
public:
    void DecodeBlock(const std::uint8_t*& source, std::uint8_t*& target, std::uint32_t packedSize,
                     std::uint32_t unpackedSize) override;
};

// 4-bit pixels, two to a byte with the first in the high half; rows of `width` pixels.
class TThunderDecoder : public TDecoder {
public:
    explicit TThunderDecoder(std::uint32_t width) : FWidth(width) {}
    void DecodeBlock(const std::uint8_t*& source, std::uint8_t*& target, std::uint32_t packedSize,
                     std::uint32_t unpackedSize) override;

private:
    std::uint32_t FWidth;
};
