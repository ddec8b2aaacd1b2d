#include "imageformats/compression/LZWDecoder.h"

#include <algorithm>

namespace {
constexpr unsigned NoCode = 0xFFFF;
}

void TLZWTable::Reset(unsigned roots)
{
    for (unsigned i = 0; i < roots && i < Size; ++i) {
        FPrefix[i] = NoCode;
        FLength[i] = 1;
        FLast[i] = FFirst[i] = static_cast<std::uint8_t>(i);
    }
}

void TLZWTable::Add(unsigned code, unsigned prefix, std::uint8_t last)
{
    FPrefix[code] = static_cast<std::uint16_t>(prefix);
    FLength[code] = static_cast<std::uint16_t>(std::min<unsigned>(FLength[prefix] + 1u, Size));
    FLast[code] = last;
    FFirst[code] = FFirst[prefix];
}

unsigned TLZWTable::Write(unsigned code, unsigned previous, std::uint8_t* out, std::uint32_t room,
                          std::uint8_t& first) const
{
    // why: the string of the next free code is the previous string plus its own first byte.
    unsigned length = FLength[code == NoCode ? previous : code];
    unsigned at = code;
    if (code == NoCode) {
        first = FFirst[previous];
        if (length < room)
            out[length] = first;
        ++length;
        at = previous;
    } else {
        first = FFirst[code];
    }
    // Walk the prefix chain from the last byte backwards, skipping what does not fit.
    unsigned position = FLength[at];
    while (at != NoCode && position > 0) {
        --position;
        if (position < room)
            out[position] = FLast[at];
        at = FPrefix[at];
    }
    return length;
}

// One LZW loop for both flavours. `clear` is the clear code (end is one more, the first free code
// two more); TIFF reads codes most significant bit first and widens one code early.
static std::uint32_t DecodeLZW(TLZWTable& table, const std::uint8_t* in, std::uint32_t packedSize, std::uint8_t* target,
                               std::uint32_t unpackedSize, unsigned clear, unsigned initialWidth, bool tiff)
{
    const unsigned end = clear + 1, first = clear + 2;
    table.Reset(clear);
    const std::uint8_t* inEnd = in + packedSize;
    std::uint8_t* out = target;
    std::uint32_t room = unpackedSize;
    unsigned width = initialWidth, next = first, previous = NoCode;
    std::uint32_t buffer = 0;
    unsigned bits = 0;
    while (room > 0) {
        while (bits < width && in < inEnd) {
            if (tiff)
                buffer = (buffer << 8) | *in++;
            else
                buffer |= std::uint32_t{*in++} << bits;
            bits += 8;
        }
        if (bits < width)
            break;
        unsigned code;
        if (tiff) {
            code = (buffer >> (bits - width)) & ((1u << width) - 1);
        } else {
            code = buffer & ((1u << width) - 1);
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
        std::uint8_t head = 0;
        const unsigned length = table.Write(code == next ? NoCode : code, previous, out, room, head);
        const std::uint32_t written = std::min<std::uint32_t>(length, room);
        out += written;
        room -= written;
        if (previous != NoCode && next < TLZWTable::Size) {
            table.Add(next, previous, head);
            if (tiff) {
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
    }
    return static_cast<std::uint32_t>(out - target);
}

void TTIFFLZWDecoder::DecodeBlock(const std::uint8_t*& source, std::uint8_t*& target, std::uint32_t packedSize,
                                  std::uint32_t unpackedSize)
{
    FProduced = DecodeLZW(FTable, source, packedSize, target, unpackedSize, 256, 9, true);
}

void TGIFLZWDecoder::DecodeBlock(const std::uint8_t*& source, std::uint8_t*& target, std::uint32_t packedSize,
                                 std::uint32_t unpackedSize)
{
    const unsigned codeSize = std::clamp<unsigned>(FInitialCodeSize, 1, 11);
    FProduced = DecodeLZW(FTable, source, packedSize, target, unpackedSize, 1u << codeSize, codeSize + 1, false);
}
