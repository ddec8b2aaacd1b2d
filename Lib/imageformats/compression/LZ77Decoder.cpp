#include "imageformats/compression/LZ77Decoder.h"

#include "imageformats/common/GraphicStrings.h"

TLZ77Decoder::~TLZ77Decoder()
{
    if (FStarted)
        inflateEnd(&FStream);
}

void TLZ77Decoder::BeginDecoding()
{
    FStream = z_stream{};
    if (inflateInit(&FStream) < 0)
        throw EGraphicCompression(GraphicStrings::gesLZ77Error);
    FStarted = true;
    FZLibResult = Z_OK;
}

void TLZ77Decoder::DecodeBlock(const std::uint8_t*& source, std::uint8_t*& target, std::uint32_t packedSize,
                               std::uint32_t unpackedSize)
{
    FProduced = 0;
    if (!FStarted)
        return;
    FStream.next_in = const_cast<Bytef*>(source);
    FStream.avail_in = packedSize;
    if (FAutoReset)
        FZLibResult = inflateReset(&FStream);
    if (FZLibResult != Z_OK)
        return;
    FStream.next_out = target;
    FStream.avail_out = unpackedSize;
    FZLibResult = inflate(&FStream, FFlushMode);
    FProduced = unpackedSize - FStream.avail_out;
    source = FStream.next_in;
    target = FStream.next_out;
}

void TLZ77Decoder::EndDecoding()
{
    if (!FStarted)
        return;
    FStarted = false;
    if (inflateEnd(&FStream) < 0)
        throw EGraphicCompression(GraphicStrings::gesLZ77Error);
}
