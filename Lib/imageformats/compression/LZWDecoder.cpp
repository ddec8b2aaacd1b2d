#include "imageformats/compression/LZWDecoder.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr unsigned NoCode = 0xFFFF;

// Copies `n` bytes that lie wholly before `to` in the same buffer.
inline void CopyEarlier(std::uint8_t* to, const std::uint8_t* from, std::uint32_t n)
{
    if (n <= 16) {
        for (std::uint32_t i = 0; i < n; ++i)
            to[i] = from[i];
    } else {
        std::memcpy(to, from, n);
    }
}

} // namespace

// One LZW loop for both flavours. `clear` is the clear code (end is one more, the first free code
// two more); TIFF reads codes most significant bit first and widens one code early.
// invariant: every table string is a run of bytes already written before the output position.
template <bool tiff>
static std::uint32_t DecodeLZW(TLZWTable& table, const std::uint8_t* in, std::uint32_t packedSize, std::uint8_t* target,
                               std::uint32_t unpackedSize, unsigned clear, unsigned initialWidth)
{
    const unsigned end = clear + 1, first = clear + 2;
    const std::uint8_t* inEnd = in + packedSize;
    std::uint32_t position = 0;
    unsigned width = initialWidth, next = first, previous = NoCode;
    std::uint32_t previousPosition = 0, previousLength = 0;
    std::uint64_t buffer = 0;
    unsigned bits = 0;
    while (position < unpackedSize) {
        if (bits < width) {
            // refill whole bytes while they fit the 64-bit buffer
            if constexpr (tiff) {
                while (bits <= 56 && in < inEnd) {
                    buffer = (buffer << 8) | *in++;
                    bits += 8;
                }
            } else {
                while (bits <= 56 && in < inEnd) {
                    buffer |= std::uint64_t{*in++} << bits;
                    bits += 8;
                }
            }
            if (bits < width)
                break;
        }
        unsigned code;
        if constexpr (tiff) {
            code = static_cast<unsigned>(buffer >> (bits - width)) & ((1u << width) - 1);
        } else {
            code = static_cast<unsigned>(buffer) & ((1u << width) - 1);
            buffer >>= width;
        }
        bits -= width;
        if (code == end)
            break;
        if (code == clear) {
            width = initialWidth;
            next = first;
            previous = NoCode;
            continue;
        }
        if (code > next || (previous == NoCode && code >= clear))
            continue;
        const std::uint32_t room = unpackedSize - position;
        std::uint8_t* out = target + position;
        std::uint32_t length;
        if (code < clear) {
            length = 1;
            *out = static_cast<std::uint8_t>(code);
        } else if (code < next) {
            length = table.Length[code];
            const std::uint8_t* from = target + table.Position[code];
            if (length <= 16 && room >= 16 && out - from >= 16)
                std::memcpy(out, from, 16); // why: one fixed copy beats a byte loop; the excess is overwritten later
            else
                CopyEarlier(out, from, std::min(length, room));
        } else {
            // the next free code: the previous string and its own first byte
            length = previousLength + 1;
            CopyEarlier(out, target + previousPosition, std::min(previousLength, room));
            if (previousLength < room)
                out[previousLength] = target[previousPosition];
        }
        if (length > room) {
            position = unpackedSize;
            break;
        }
        if (previous != NoCode && next < TLZWTable::Size) {
            table.Position[next] = previousPosition;
            table.Length[next] = static_cast<std::uint16_t>(std::min<std::uint32_t>(previousLength + 1, 0xFFFF));
            if constexpr (tiff) {
                ++next;
                if ((next == 511 || next == 1023 || next == 2047) && width < 12)
                    ++width;
            } else {
                if (next == (1u << width) - 1 && width < 12)
                    ++width;
                ++next;
            }
        }
        previous = code;
        previousPosition = position;
        previousLength = length;
        position += length;
    }
    return position;
}

void TTIFFLZWDecoder::DecodeBlock(const std::uint8_t*& source, std::uint8_t*& target, std::uint32_t packedSize,
                                  std::uint32_t unpackedSize)
{
    FProduced = DecodeLZW<true>(FTable, source, packedSize, target, unpackedSize, 256, 9);
}

void TGIFLZWDecoder::DecodeBlock(const std::uint8_t*& source, std::uint8_t*& target, std::uint32_t packedSize,
                                 std::uint32_t unpackedSize)
{
    const unsigned codeSize = std::clamp<unsigned>(FInitialCodeSize, 1, 11);
    FProduced = DecodeLZW<false>(FTable, source, packedSize, target, unpackedSize, 1u << codeSize, codeSize + 1);
}
