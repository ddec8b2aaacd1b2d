#include "Platform/files/PropertyStream.h"

#include "Platform/core/Exceptions.h"

namespace {

[[noreturn]] void InvalidValue()
{
    throw EReadError("Invalid property value");
}

} // namespace

void TWriter::WriteValue(TValueType value)
{
    const auto byte = static_cast<std::uint8_t>(value);
    FStream.WriteBuffer(&byte, 1);
}

void TWriter::WriteText(std::string_view text)
{
    const auto length = static_cast<std::uint32_t>(text.size());
    const unsigned char bytes[4] = {static_cast<unsigned char>(length), static_cast<unsigned char>(length >> 8),
                                    static_cast<unsigned char>(length >> 16), static_cast<unsigned char>(length >> 24)};
    FStream.WriteBuffer(bytes, 4);
    FStream.WriteString(text);
}

void TWriter::WritePropName(std::string_view name)
{
    // A name is a length byte and the bytes: a list ends where a name would start with 0.
    const std::string full = PropPath + std::string(name);
    if (full.empty() || full.size() > 255)
        throw EWriteError("Invalid property name");
    const auto length = static_cast<unsigned char>(full.size());
    FStream.WriteBuffer(&length, 1);
    FStream.WriteString(full);
}

void TWriter::WriteString(std::string_view value)
{
    WriteValue(TValueType::vaString);
    WriteText(value);
}

void TWriter::WriteIdent(std::string_view value)
{
    WriteValue(TValueType::vaIdent);
    WriteText(value);
}

void TWriter::WriteInteger(std::int32_t value)
{
    WriteValue(TValueType::vaInt);
    const auto v = static_cast<std::uint32_t>(value);
    const unsigned char bytes[4] = {static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8),
                                    static_cast<unsigned char>(v >> 16), static_cast<unsigned char>(v >> 24)};
    FStream.WriteBuffer(bytes, 4);
}

TValueType TReader::ReadValue()
{
    std::uint8_t byte = 0;
    FStream.ReadBuffer(&byte, 1);
    if (byte > static_cast<std::uint8_t>(TValueType::vaCollection))
        InvalidValue();
    return static_cast<TValueType>(byte);
}

TValueType TReader::NextValue()
{
    const TValueType value = ReadValue();
    FStream.Seek(-1, TSeekOrigin::soCurrent);
    return value;
}

bool TReader::EndOfList()
{
    std::uint8_t byte = 0;
    FStream.ReadBuffer(&byte, 1);
    FStream.Seek(-1, TSeekOrigin::soCurrent);
    return byte == static_cast<std::uint8_t>(TValueType::vaNull);
}

void TReader::CheckValue(TValueType expected)
{
    if (ReadValue() != expected)
        InvalidValue();
}

std::string TReader::ReadText()
{
    unsigned char bytes[4];
    FStream.ReadBuffer(bytes, 4);
    const std::uint32_t length = bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) | (std::uint32_t{bytes[3]} << 24);
    // why: a damaged length must not make us allocate more than the stream can hold.
    if (length > FStream.Size() - FStream.Position())
        throw EReadError("Stream read error");
    std::string text(length, '\0');
    FStream.ReadBuffer(text.data(), length);
    return text;
}

std::string TReader::ReadStr()
{
    unsigned char length = 0;
    FStream.ReadBuffer(&length, 1);
    if (length == 0)
        InvalidValue();
    std::string name(length, '\0');
    FStream.ReadBuffer(name.data(), length);
    return name;
}

std::string TReader::ReadString()
{
    CheckValue(TValueType::vaString);
    return ReadText();
}

std::string TReader::ReadIdent()
{
    CheckValue(TValueType::vaIdent);
    return ReadText();
}

std::int32_t TReader::ReadInteger()
{
    CheckValue(TValueType::vaInt);
    unsigned char bytes[4];
    FStream.ReadBuffer(bytes, 4);
    return static_cast<std::int32_t>(bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) | (std::uint32_t{bytes[3]} << 24));
}

bool TReader::ReadBoolean()
{
    switch (ReadValue()) {
    case TValueType::vaTrue: return true;
    case TValueType::vaFalse: return false;
    default: InvalidValue();
    }
}

void TReader::SkipValue()
{
    switch (ReadValue()) {
    case TValueType::vaNull:
    case TValueType::vaFalse:
    case TValueType::vaTrue: return;
    case TValueType::vaInt: {
        unsigned char bytes[4];
        FStream.ReadBuffer(bytes, 4);
        return;
    }
    case TValueType::vaString:
    case TValueType::vaIdent: ReadText(); return;
    case TValueType::vaList:
        // A list holds property names with their values.
        while (!EndOfList()) {
            ReadStr();
            SkipValue();
        }
        ReadListEnd();
        return;
    case TValueType::vaCollection:
        while (!EndOfList())
            SkipValue();
        ReadListEnd();
        return;
    }
}
