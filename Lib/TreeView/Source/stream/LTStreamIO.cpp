#include "TreeView/Source/stream/LTStreamIO.h"

#include "Platform/core/Exceptions.h"
#include "Platform/files/Streams.h"

#include <vector>

namespace {
template <class T>
void WriteLE(TStream& stream, T value)
{
    unsigned char bytes[sizeof(T)];
    auto v = static_cast<std::make_unsigned_t<T>>(value);
    for (std::size_t i = 0; i < sizeof(T); ++i)
        bytes[i] = static_cast<unsigned char>((v >> (8 * i)) & 0xFF);
    stream.WriteBuffer(bytes, sizeof(T));
}

template <class T>
T ReadLE(TStream& stream)
{
    unsigned char bytes[sizeof(T)];
    stream.ReadBuffer(bytes, sizeof(T));
    std::make_unsigned_t<T> v = 0;
    for (std::size_t i = 0; i < sizeof(T); ++i)
        v |= static_cast<std::make_unsigned_t<T>>(static_cast<std::make_unsigned_t<T>>(bytes[i]) << (8 * i));
    return static_cast<T>(v);
}
} // namespace

void WriteInt32(TStream& stream, std::int32_t value)
{
    WriteLE(stream, value);
}

void WriteUInt16(TStream& stream, std::uint16_t value)
{
    WriteLE(stream, value);
}

void WriteUInt8(TStream& stream, std::uint8_t value)
{
    stream.WriteBuffer(&value, 1);
}

void WriteUtf16(TStream& stream, const QString& text)
{
    for (QChar c : text)
        WriteLE(stream, static_cast<std::uint16_t>(c.unicode()));
}

std::int32_t ReadInt32(TStream& stream)
{
    return ReadLE<std::int32_t>(stream);
}

std::uint16_t ReadUInt16(TStream& stream)
{
    return ReadLE<std::uint16_t>(stream);
}

std::uint8_t ReadUInt8(TStream& stream)
{
    std::uint8_t value = 0;
    stream.ReadBuffer(&value, 1);
    return value;
}

std::int64_t RemainingBytes(TStream& stream)
{
    return stream.Size() - stream.Position();
}

void RequireBytes(TStream& stream, std::int64_t bytes)
{
    if (bytes < 0 || RemainingBytes(stream) < bytes)
        throw EReadError("Stream read error");
}

QString ReadUtf16(TStream& stream, std::int32_t units)
{
    RequireBytes(stream, std::int64_t{units} * 2);
    QString text;
    text.resize(units);
    for (std::int32_t i = 0; i < units; ++i)
        text[i] = QChar(ReadLE<std::uint16_t>(stream));
    return text;
}
