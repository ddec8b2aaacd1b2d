#pragma once
// Little-endian integers and UTF-16 texts on streams, as the tree's stream, column block and
// header stream store them. Reads raise EReadError ("Stream read error") when the stream ends
// early; a length is checked against the bytes that remain before anything is allocated.

#include <QString>
#include <cstdint>

class TStream;

void WriteInt32(TStream& stream, std::int32_t value);
void WriteUInt16(TStream& stream, std::uint16_t value);
void WriteUInt8(TStream& stream, std::uint8_t value);
// Writes the text's UTF-16 code units (no length).
void WriteUtf16(TStream& stream, const QString& text);

std::int32_t ReadInt32(TStream& stream);
std::uint16_t ReadUInt16(TStream& stream);
std::uint8_t ReadUInt8(TStream& stream);
// Reads `units` UTF-16 code units.
QString ReadUtf16(TStream& stream, std::int32_t units);
// Bytes between the stream's position and its end.
std::int64_t RemainingBytes(TStream& stream);
// Raises the stream's read error unless `bytes` (not negative) remain.
void RequireBytes(TStream& stream, std::int64_t bytes);
