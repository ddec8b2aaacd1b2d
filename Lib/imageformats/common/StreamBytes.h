#pragma once
// Reading numbers of either byte order from streams and byte buffers, bounded by the stream.

#include "Platform/core/Exceptions.h"
#include "Platform/files/Streams.h"

#include <cstdint>
#include <vector>

inline std::uint16_t BigEndian16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] << 8 | p[1]); }
inline std::uint32_t BigEndian32(const std::uint8_t* p)
{
    return std::uint32_t{p[0]} << 24 | std::uint32_t{p[1]} << 16 | std::uint32_t{p[2]} << 8 | p[3];
}
inline std::uint16_t LittleEndian16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[1] << 8 | p[0]); }
inline std::uint32_t LittleEndian32(const std::uint8_t* p)
{
    return std::uint32_t{p[3]} << 24 | std::uint32_t{p[2]} << 16 | std::uint32_t{p[1]} << 8 | p[0];
}

// Bytes left from the stream's position to its end (0 when the position is beyond it).
inline std::uint64_t BytesLeft(TStream& stream)
{
    const std::int64_t left = stream.Size() - stream.Position();
    return left > 0 ? static_cast<std::uint64_t>(left) : 0;
}

// Reads `count` bytes; a stream that holds fewer raises the stream read error before anything
// is allocated for them.
inline std::vector<std::uint8_t> ReadBytes(TStream& stream, std::uint64_t count)
{
    if (count > BytesLeft(stream))
        throw EReadError("Stream read error");
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(count));
    if (count > 0)
        stream.ReadBuffer(bytes.data(), static_cast<std::int64_t>(count));
    return bytes;
}

inline std::uint8_t ReadByte(TStream& stream)
{
    std::uint8_t b = 0;
    stream.ReadBuffer(&b, 1);
    return b;
}

// Returns the stream to where it was when the guard was made.
class TStreamPositionGuard {
public:
    explicit TStreamPositionGuard(TStream& stream) : FStream(stream), FPosition(stream.Position()) {}
    ~TStreamPositionGuard()
    {
        try {
            FStream.SetPosition(FPosition);
        } catch (...) {
        }
    }
    TStreamPositionGuard(const TStreamPositionGuard&) = delete;
    TStreamPositionGuard& operator=(const TStreamPositionGuard&) = delete;

private:
    TStream& FStream;
    std::int64_t FPosition;
};
