#pragma once
// The two LZW decoders: TIFF's (codes of 9 to 12 bits, most significant bit first, the width
// growing one code early) and GIF's (codes from the initial code size plus one up to 12 bits,
// least significant bit first). Bad codes are skipped; decoding stops at the end code, at the
// end of the input or when the output is full.

#include "imageformats/compression/Decoder.h"

#include <array>

class TLZWTable {
public:
    static constexpr unsigned Size = 4096;
    // Resets to the single bytes 0 .. roots - 1.
    void Reset(unsigned roots);
    // Writes the string of `code` (or, when `code` is the next free code, the previous string
    // and its first byte) at `out`, cut to `room` bytes; returns the full length and its first byte.
    unsigned Write(unsigned code, unsigned previous, std::uint8_t* out, std::uint32_t room, std::uint8_t& first) const;
    void Add(unsigned code, unsigned prefix, std::uint8_t last);

private:
    std::array<std::uint16_t, Size> FPrefix{};
    std::array<std::uint16_t, Size> FLength{};
    std::array<std::uint8_t, Size> FLast{};
    std::array<std::uint8_t, Size> FFirst{};
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
