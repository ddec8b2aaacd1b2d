#pragma once
// The two LZW decoders: TIFF's (codes of 9 to 12 bits, most significant bit first, the width
// growing one code early) and GIF's (codes from the initial code size plus one up to 12 bits,
// least significant bit first). Bad codes are skipped; decoding stops at the end code, at the
// end of the input or when the output is full.

#include "imageformats/compression/Decoder.h"

#include <array>

// The code table of one block: each code past the single bytes names a string that was already
// written to the block's output, by its position there and its length.
struct TLZWTable {
    static constexpr unsigned Size = 4096;
    std::array<std::uint32_t, Size> Position{};
    std::array<std::uint16_t, Size> Length{};
};

class TTIFFLZWDecoder : public TDecoder {
public:
    void DecodeBlock(const std::uint8_t*& source, std::uint8_t*& target, std::uint32_t packedSize,
                     std::uint32_t unpackedSize) override;

private:
    TLZWTable FTable;
};

class TGIFLZWDecoder : public TDecoder {
public:
    explicit TGIFLZWDecoder(std::uint8_t initialCodeSize) : FInitialCodeSize(initialCodeSize) {}
    void DecodeBlock(const std::uint8_t*& source, std::uint8_t*& target, std::uint32_t packedSize,
                     std::uint32_t unpackedSize) override;

private:
    std::uint8_t FInitialCodeSize;
    TLZWTable FTable;
};
