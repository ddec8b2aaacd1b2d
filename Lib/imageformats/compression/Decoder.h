#pragma once
// TDecoder: the common base of the decoders that expand compressed image data. A reader makes
// one, begins, hands it one block at a time (a TIFF strip or tile, a GIF image's data, PNG image
// data) and ends. Decoders only expand: they know nothing of pixels, rows or colour, never read
// past the packed size nor write past the unpacked size.

#include "imageformats/common/ImgLibTypes.h"

#include <cstdint>

class TDecoder {
public:
    virtual ~TDecoder() = default;
    // Expands one block of `packedSize` bytes at `source` into at most `unpackedSize` bytes at
    // `target`. Only the deflate decoder moves the two pointers.
    virtual void DecodeBlock(const std::uint8_t*& source, std::uint8_t*& target, std::uint32_t packedSize,
                             std::uint32_t unpackedSize) = 0;
    virtual void EndDecoding() {}
    virtual void BeginDecoding() {}
    // Bytes the last block wrote.
    std::uint32_t Produced() const { return FProduced; }

protected:
    std::uint32_t FProduced = 0;
};
