#pragma once
// The two LZW decoders: TIFF's (codes of 9 to 12 bits, most significant bit first, the width
// growing one code early) and GIF's (codes from the initial code size plus one up to 12 bits,
// least significant bit first). Bad codes are skipped; decoding stops at the end code, at the
// end of the input or when the output is full. Up to 15 bytes past what a block produced may be
// cleared to zero; nothing past the unpacked size is touched.

#include "imageformats/compression/Decoder.h"

#include <array>

// The code table of one block: each code past the single bytes names a string that was already
// written to the block's output, by its position there and its length.
struct TLZWTable {
    static constexpr unsigned Size = 4096;
    struct TEntry {
        std::uint32_t Position = 0;
        std::uint32_t Length = 0;
    };
    std::array<TEntry, Size> Entries{};
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
