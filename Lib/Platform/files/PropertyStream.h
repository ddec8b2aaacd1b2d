#pragma once
// The class library's property streaming: a writer and a reader of typed values (lists,
// collections, property names, strings, integers, identifiers, booleans) over a byte stream,
// through which objects store their published properties. Each value starts with its type
// byte; texts carry a 32-bit length, property names (1 to 255 bytes) a length byte. A reader
// never trusts a length beyond the stream's end.

#include "Platform/core/Exceptions.h"
#include "Platform/files/Streams.h"

#include <cstdint>
#include <string>
#include <string_view>

// A stream named a class that nobody registered.
ZENTU_DECLARE_EXCEPTION(EClassNotFound, EStreamError);

enum class TValueType : std::uint8_t { vaNull, vaList, vaInt, vaString, vaIdent, vaFalse, vaTrue, vaCollection };

class TWriter {
public:
    explicit TWriter(TStream& stream) : FStream(stream) {}

    void WriteValue(TValueType value);
    void WriteListBegin() { WriteValue(TValueType::vaList); }
    // Ends a list, and a collection.
    void WriteListEnd() { WriteValue(TValueType::vaNull); }
    void WriteCollectionBegin() { WriteValue(TValueType::vaCollection); }
    // Writes PropPath followed by `name`.
    void WritePropName(std::string_view name);
    void WriteString(std::string_view value);
    void WriteIdent(std::string_view value);
    void WriteInteger(std::int32_t value);
    void WriteBoolean(bool value) { WriteValue(value ? TValueType::vaTrue : TValueType::vaFalse); }

    // The prefix of the property names written, such as "Font." while a sub-object is written.
    std::string PropPath;

private:
    void WriteText(std::string_view text);
    TStream& FStream;
};

// Empties the writer's property path while it lives, and restores it afterwards.
class TPropPathScope {
public:
    explicit TPropPathScope(TWriter& writer) : FWriter(writer), FSaved(std::move(writer.PropPath))
    {
        writer.PropPath.clear();
    }
    ~TPropPathScope() { FWriter.PropPath = std::move(FSaved); }
    TPropPathScope(const TPropPathScope&) = delete;
    TPropPathScope& operator=(const TPropPathScope&) = delete;

private:
    TWriter& FWriter;
    std::string FSaved;
};

// Reading raises EReadError: "Stream read error" at the end of the data, "Invalid property value"
// for a value of another type than asked for.
class TReader {
public:
    explicit TReader(TStream& stream) : FStream(stream) {}

    TValueType ReadValue();
    // The type of the next value, which stays to be read.
    TValueType NextValue();
    void ReadListBegin() { CheckValue(TValueType::vaList); }
    void ReadListEnd() { CheckValue(TValueType::vaNull); }
    // True when the next value ends a list or collection (a property name never starts so).
    bool EndOfList();
    // A property name.
    std::string ReadStr();
    std::string ReadString();
    std::string ReadIdent();
    std::int32_t ReadInteger();
    bool ReadBoolean();
    // Reads past the next value, with everything inside it.
    void SkipValue();

private:
    void CheckValue(TValueType expected);
    std::string ReadText();
    TStream& FStream;
};
