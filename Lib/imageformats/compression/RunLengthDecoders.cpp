#include "imageformats/compression/RunLengthDecoders.h"

#include <algorithm>
#include <cstring>

void TPackbitsRLEDecoder::DecodeBlock(const std::uint8_t*& source, std::uint8_t*& target, std::uint32_t packedSize,
                                      std::uint32_t unpackedSize)
{
    const std::uint8_t* in = source;
    const std::uint8_t* inEnd = source + packedSize;
    std::uint8_t* out = target;
    std::uint8_t* outEnd = target + unpackedSize;
    while (in < inEnd && out < outEnd) {
        const auto n = static_cast<std::int8_t>(*in++);
        if (n >= 0) {
            const std::size_t count = std::min<std::size_t>({std::size_t(n) + 1, std::size_t(inEnd - in), std::size_t(outEnd - out)});
            std::memcpy(out, in, count);
            out += count;
            in += std::min<std::size_t>(std::size_t(n) + 1, std::size_t(inEnd - in));
        } else if (n != -128) {
            if (in >= inEnd)
                break;
            const std::size_t count = std::min<std::size_t>(std::size_t(1 - n), std::size_t(outEnd - out));
            std::memset(out, *in++, count);
            out += count;
        }
    }
    FProduced = static_cast<std::uint32_t>(out - target);
}

void TThunderDecoder::DecodeBlock(const std::uint8_t*& source, std::uint8_t*& target, std::uint32_t packedSize,
                                  std::uint32_t unpackedSize)
{
    static constexpr int TwoBitDeltas[4] = {0, 1, 0, -1};
    static constexpr int ThreeBitDeltas[8] = {0, 1, 2, 3, 0, -3, -2, -1};
    const std::uint8_t* in = source;
    const std::uint8_t* inEnd = source + packedSize;
    // why: each row starts afresh (previous pixel 0) and holds `width` pixels, (width + 1) / 2 bytes.
    const std::uint32_t rowBytes = static_cast<std::uint32_t>((std::uint64_t{FWidth} + 1) / 2);
    std::uint32_t done = 0;
    FProduced = 0;
    while (rowBytes > 0 && done + rowBytes <= unpackedSize && in < inEnd) {
        std::uint8_t* row = target + done;
        unsigned previous = 0;
        std::uint32_t pixels = 0;
        const auto put = [&](unsigned value) {
            previous = value & 15;
            std::uint8_t& byte = row[pixels / 2];
            byte = (pixels % 2) ? static_cast<std::uint8_t>((byte & 0xF0) | previous) : static_cast<std::uint8_t>(previous << 4);
            ++pixels;
        };
        while (pixels < FWidth && in < inEnd) {
            const std::uint8_t code = *in++;
            switch (code >> 6) {
            case 0:
                for (unsigned n = code & 63; n > 0 && pixels < FWidth; --n)
                    put(previous);
                break;
            case 1:
                for (int shift : {4, 2, 0}) {
                    const unsigned d = (code >> shift) & 3;
                    if (d != 2 && pixels < FWidth)
                        put(previous + static_cast<unsigned>(TwoBitDeltas[d]));
                }
                break;
            case 2:
                for (int shift : {3, 0}) {
                    const unsigned d = (code >> shift) & 7;
                    if (d != 4 && pixels < FWidth)
                        put(previous + static_cast<unsigned>(ThreeBitDeltas[d]));
                }
                break;
            default: put(code & 15); break;
            }
        }
        FProduced = done + (pixels + 1) / 2;
        done += rowBytes;
    }
}
