#pragma once
// TLZ77Decoder: deflate data through zlib's inflate. The TIFF reader resets it before each
// strip; the PNG reader feeds it the image data of all chunks as one stream.

#include "imageformats/compression/Decoder.h"

#include <zlib.h>

class TLZ77Decoder : public TDecoder {
public:
    TLZ77Decoder(int flushMode, bool autoReset) : FFlushMode(flushMode), FAutoReset(autoReset) {}
    ~TLZ77Decoder() override;

    void BeginDecoding() override;
    void DecodeBlock(const std::uint8_t*& source, std::uint8_t*& target, std::uint32_t packedSize,
                     std::uint32_t unpackedSize) override;
    void EndDecoding() override;

    // The result of the last inflate call: 0 going on, 1 the stream ended, negative an error.
    int ZLibResult() const { return FZLibResult; }
    std::uint32_t AvailableInput() const { return FStream.avail_in; }
    std::uint32_t AvailableOutput() const { return FStream.avail_out; }

private:
    z_stream FStream{};
    int FFlushMode;
    bool FAutoReset;
    bool FStarted = false;
    int FZLibResult = Z_OK;
};
