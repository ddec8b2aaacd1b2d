#include "imageformats/compression/LZWDecoder.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace {

constexpr std::uint32_t Chunk = 16;

template <bool bigEndian>
inline std::uint64_t Load64(const std::uint8_t* p)
{
    std::uint64_t v;
    std::memcpy(&v, p, sizeof v);
    if constexpr ((std::endian::native == std::endian::big) != bigEndian)
        v = __builtin_bswap64(v);
    return v;
}

// Reads the codes of one block: TIFF's most significant bit first, GIF's least significant bit
// first, from a 64-bit buffer that is refilled eight bytes at a time away from the input's end.
template <bool msbFirst>
class TCodeReader {
public:
    TCodeReader(const std::uint8_t* in, std::uint32_t size) : FIn(in), FEnd(in + size) {}

    // False when the input holds fewer than `width` more bits.
    bool Next(unsigned width, unsigned mask, unsigned& code)
    {
        if (FBits < width) {
            Refill();
            if (FBits < width)
                return false;
        }
        if constexpr (msbFirst) {
            FBits -= width;
            code = static_cast<unsigned>(FBuffer >> FBits) & mask;
        } else {
            code = static_cast<unsigned>(FBuffer) & mask;
            FBuffer >>= width;
            FBits -= width;
        }
        return true;
    }

private:
    void Refill()
    {
        if (FEnd - FIn >= 8) {
            const unsigned bytes = (63 - FBits) / 8;
            const std::uint64_t word = Load64<msbFirst>(FIn);
            if constexpr (msbFirst)
                FBuffer = (FBuffer << (8 * bytes)) | (word >> (64 - 8 * bytes));
            else
                FBuffer |= word << FBits; // why: the bytes past `bytes` land where the next refill puts them again
            FIn += bytes;
            FBits += 8 * bytes;
            return;
        }
        while (FBits <= 56 && FIn < FEnd) {
            if constexpr (msbFirst)
                FBuffer = (FBuffer << 8) | *FIn++;
            else
                FBuffer |= std::uint64_t{*FIn++} << FBits;
            FBits += 8;
        }
    }

    const std::uint8_t* FIn;
    const std::uint8_t* FEnd;
    std::uint64_t FBuffer = 0;
    unsigned FBits = 0;
};

// Copies `length` bytes to `to` from the earlier `from`; a string may end one byte into its own
// copy, so the bytes go one by one, front to back.
inline void CopyForward(std::uint8_t* to, const std::uint8_t* from, std::uint32_t length)
{
    for (std::uint32_t i = 0; i < length; ++i)
        to[i] = from[i];
}

// The same in chunks no longer than the distance back, so no chunk reads a byte it has yet to
// write; it may write up to 15 bytes past the string.
inline void CopyForwardInChunks(std::uint8_t* to, const std::uint8_t* from, std::uint32_t length)
{
    std::uint8_t* const end = to + length;
    const std::ptrdiff_t distance = to - from;
    if (distance >= static_cast<std::ptrdiff_t>(Chunk)) {
        do {
            std::memcpy(to, from, Chunk);
            to += Chunk;
            from += Chunk;
        } while (to < end);
    } else if (distance >= 8) {
        do {
            std::memcpy(to, from, 8);
            to += 8;
            from += 8;
        } while (to < end);
    } else {
        do
            *to++ = *from++;
        while (to < end);
    }
}

} // namespace

// One LZW loop for both flavours. `clear` is the clear code (end is one more, the first free code
// two more); TIFF reads codes most significant bit first and widens one code early.
// invariant: every table string is a run of bytes before the output position (the next free code's
// may end on its own first byte); a copy may run up to 15 bytes past its string's end when the
// room allows, and that excess is overwritten by the next strings or cleared at the end.
template <bool tiff>
static std::uint32_t DecodeLZW(TLZWTable& table, const std::uint8_t* in, std::uint32_t packedSize, std::uint8_t* target,
                               std::uint32_t unpackedSize, unsigned clear, unsigned initialWidth)
{
    const unsigned end = clear + 1, first = clear + 2;
    // why: TIFF writers widen the codes one entry before the table needs it
    const unsigned early = tiff ? 1 : 0;
    TCodeReader<tiff> codes(in, packedSize);
    TLZWTable::TEntry* const entries = table.Entries.data();
    std::uint8_t* out = target;
    std::uint8_t* const outEnd = target + unpackedSize;
    // the previous string ends where `out` is
    std::uint32_t previousLength = 0;
    unsigned width = initialWidth, mask = 0, next = first;
    unsigned code;
    // After a clear code (and at the start) the table is empty and the first code must be a single
    // byte; bad codes before it are skipped.
    const auto restart = [&]() -> bool {
        width = initialWidth;
        mask = (1u << width) - 1;
        next = first;
        while (codes.Next(width, mask, code)) {
            if (code < clear) {
                *out++ = static_cast<std::uint8_t>(code);
                previousLength = 1;
                return true;
            }
            if (code == end)
                return false;
        }
        return false;
    };
    if (out < outEnd && restart()) {
        while (out < outEnd && codes.Next(width, mask, code)) {
            std::uint32_t length;
            if (code < clear) {
                length = 1;
                *out = static_cast<std::uint8_t>(code);
            } else {
                const std::uint8_t* from;
                if (code >= first && code < next) {
                    const TLZWTable::TEntry entry = entries[code];
                    from = target + entry.Position;
                    length = entry.Length;
                } else if (code == next) {
                    // the next free code: the previous string and its own first byte, which the
                    // forward copy reads once it has written it
                    from = out - previousLength;
                    length = previousLength + 1;
                } else if (code == clear) {
                    if (!restart())
                        break;
                    continue;
                } else if (code == end) {
                    break;
                } else {
                    continue;
                }
                const auto room = static_cast<std::size_t>(outEnd - out);
                if (length + Chunk <= room) {
                    CopyForwardInChunks(out, from, length);
                } else if (length <= room) {
                    CopyForward(out, from, length);
                } else {
                    CopyForward(out, from, static_cast<std::uint32_t>(room));
                    out = outEnd;
                    break;
                }
            }
            if (next < TLZWTable::Size) {
                entries[next] = {static_cast<std::uint32_t>(out - target) - previousLength, previousLength + 1};
                ++next;
                if (((next + early) >> width) != 0 && width < 12) {
                    ++width;
                    mask = (1u << width) - 1;
                }
            }
            previousLength = length;
            out += length;
        }
    }
    // clears what the chunked copies wrote past the end of the output (none for an empty one)
    if (out != outEnd)
        std::memset(out, 0, std::min<std::size_t>(Chunk - 1, static_cast<std::size_t>(outEnd - out)));
    return static_cast<std::uint32_t>(out - target);
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
