// Key-binding differences in the binary form-stream property format.

#include "SrcEdit/Source/commands/SrcEditKeyStream.h"

#include "Platform/text/Format.h"

#include <cstring>

namespace {

// Value tags of the binary property format.
enum TValueType : std::uint8_t {
    vaNull = 0, vaList = 1, vaInt8 = 2, vaInt16 = 3, vaInt32 = 4, vaExtended = 5, vaString = 6, vaIdent = 7,
    vaFalse = 8, vaTrue = 9, vaBinary = 10, vaSet = 11, vaLString = 12, vaNil = 13, vaCollection = 14,
};

const char* const RemovedName = "RemovedKeystrokes";
const char* const AddedName = "AddedKeystrokes";

class TValueWriter {
public:
    explicit TValueWriter(TStream& stream) : FStream(stream) {}

    void Byte(std::uint8_t b) { FStream.WriteBuffer(&b, 1); }
    void ShortString(const std::string& s)
    {
        Byte(static_cast<std::uint8_t>(s.size()));
        FStream.WriteString(s);
    }
    void Integer(std::int32_t value)
    {
        if (value >= -128 && value <= 127) {
            Byte(vaInt8);
            Byte(static_cast<std::uint8_t>(static_cast<std::int8_t>(value)));
        } else if (value >= -32768 && value <= 32767) {
            Byte(vaInt16);
            Raw(static_cast<std::int16_t>(value));
        } else {
            Byte(vaInt32);
            Raw(value);
        }
    }
    void Ident(const std::string& name)
    {
        Byte(vaIdent);
        ShortString(name);
    }

private:
    template <class T>
    void Raw(T value)
    {
        unsigned char bytes[sizeof(T)];
        for (size_t i = 0; i < sizeof(T); ++i)
            bytes[i] = static_cast<unsigned char>(static_cast<std::uint64_t>(value) >> (8 * i));
        FStream.WriteBuffer(bytes, sizeof(T));
    }

    TStream& FStream;
};

class TValueReader {
public:
    explicit TValueReader(TStream& stream) : FStream(stream) {}

    bool AtEnd() { return FStream.Position() >= FStream.Size(); }
    std::uint8_t Byte()
    {
        std::uint8_t b = 0;
        FStream.ReadBuffer(&b, 1);
        return b;
    }
    std::uint8_t PeekByte()
    {
        const std::uint8_t b = Byte();
        FStream.Seek(-1, TSeekOrigin::soCurrent);
        return b;
    }
    std::string ShortString() { return Bytes(Byte()); }
    std::string Bytes(std::int64_t count)
    {
        if (count < 0 || count > FStream.Size() - FStream.Position())
            throw EReadError("Stream read error");
        std::string s(static_cast<size_t>(count), '\0');
        if (count > 0)
            FStream.ReadBuffer(s.data(), count);
        return s;
    }
    std::int32_t RawInt(int size)
    {
        unsigned char bytes[4] = {};
        FStream.ReadBuffer(bytes, size);
        std::uint32_t u = 0;
        for (int i = 0; i < size; ++i)
            u |= static_cast<std::uint32_t>(bytes[i]) << (8 * i);
        if (size == 1)
            return static_cast<std::int8_t>(u);
        if (size == 2)
            return static_cast<std::int16_t>(u);
        return static_cast<std::int32_t>(u);
    }
    // An integer value; anything else is not a valid value here.
    std::int32_t Integer(std::uint8_t tag)
    {
        switch (tag) {
        case vaInt8: return RawInt(1);
        case vaInt16: return RawInt(2);
        case vaInt32: return RawInt(4);
        default: throw EReadError("Invalid property value");
        }
    }
    void SkipValue(std::uint8_t tag)
    {
        switch (tag) {
        case vaNull:
        case vaFalse:
        case vaTrue:
        case vaNil: return;
        case vaInt8: Bytes(1); return;
        case vaInt16: Bytes(2); return;
        case vaInt32: Bytes(4); return;
        case vaExtended: Bytes(10); return;
        case vaString:
        case vaIdent: ShortString(); return;
        case vaBinary:
        case vaLString: Bytes(RawInt(4)); return;
        case vaSet:
            while (!ShortString().empty()) {
            }
            return;
        case vaList:
            for (std::uint8_t t = Byte(); t != vaNull; t = Byte())
                SkipValue(t);
            return;
        case vaCollection:
            for (std::uint8_t t = Byte(); t != vaNull; t = Byte()) {
                if (t != vaList) {
                    SkipValue(t); // the item's order value
                    t = Byte();
                }
                if (t != vaList)
                    throw EReadError("Invalid property value");
                SkipProperties();
            }
            return;
        default: throw EReadError("Invalid property value");
        }
    }
    void SkipProperties()
    {
        while (!ShortString().empty())
            SkipValue(Byte());
    }

private:
    TStream& FStream;
};

void WriteItem(TValueWriter& w, const TSrcEditKeyStroke& item)
{
    w.Byte(vaList);
    w.ShortString("Command");
    std::string name;
    if (EditorCommandToName(item.Command(), name))
        w.Ident(name);
    else
        w.Integer(item.Command());
    if (item.ShortCut() != 0) {
        w.ShortString("ShortCut");
        w.Integer(item.ShortCut());
    }
    if (item.ShortCut2() != 0) {
        w.ShortString("ShortCut2");
        w.Integer(item.ShortCut2());
    }
    w.Byte(vaNull);
}

void WriteCollection(TStream& stream, const TSrcEditKeyStrokes& items)
{
    TValueWriter w(stream);
    w.Byte(vaCollection);
    for (int i = 0; i < items.Count(); ++i)
        WriteItem(w, *items.Items(i));
    w.Byte(vaNull);
}

TSrcEditorCommand ReadCommand(TValueReader& r)
{
    const std::uint8_t tag = r.Byte();
    if (tag == vaIdent) {
        TSrcEditorCommand command = ecNone;
        if (!NameToEditorCommand(r.ShortString(), command))
            throw EReadError("Invalid property value");
        return command;
    }
    const std::int32_t value = r.Integer(tag);
    if (value < 0 || value > 0xFFFF)
        throw EReadError("Invalid property value");
    return static_cast<TSrcEditorCommand>(value);
}

TShortCut ReadShortCut(TValueReader& r)
{
    const std::int32_t value = r.Integer(r.Byte());
    if (value < 0 || value > 0xFFFF)
        throw EReadError("Invalid property value");
    return static_cast<TShortCut>(value);
}

// Reads a collection value into `items` (appending); false, with the value passed over, when
// the next value is not a collection.
bool ReadCollection(TStream& stream, TSrcEditKeyStrokes& items)
{
    TValueReader r(stream);
    const std::uint8_t tag = r.Byte();
    if (tag != vaCollection) {
        r.SkipValue(tag);
        return false;
    }
    for (std::uint8_t t = r.Byte(); t != vaNull; t = r.Byte()) {
        if (t != vaList) {
            r.SkipValue(t); // the item's order value
            t = r.Byte();
        }
        if (t != vaList)
            throw EReadError("Invalid property value");
        TSrcEditKeyStroke* item = items.Add();
        for (std::string prop = r.ShortString(); !prop.empty(); prop = r.ShortString()) {
            if (prop == "Command")
                item->SetCommand(ReadCommand(r));
            else if (prop == "ShortCut")
                item->SetShortCut(ReadShortCut(r));
            else if (prop == "ShortCut2")
                item->SetShortCut2(ReadShortCut(r));
            else
                throw EReadError(Format("Property %s does not exist", {prop}));
        }
    }
    return true;
}

bool SameCommandAt(const TSrcEditKeyStrokes& keys, int index, TSrcEditorCommand command)
{
    return index >= 0 && keys.Items(index)->Command() == command;
}

} // namespace

void WriteRemovedKeystrokes(TStream& stream, const TSrcEditKeyStrokes& keys, const TSrcEditKeyStrokes& reference)
{
    TSrcEditKeyStrokes removed;
    removed.Assign(reference);
    for (int i = removed.Count() - 1; i >= 0; --i) {
        const TSrcEditKeyStroke* item = removed.Items(i);
        if (SameCommandAt(keys, keys.FindShortCutPair(item->ShortCut(), item->ShortCut2()), item->Command()))
            removed.Delete(i);
    }
    WriteCollection(stream, removed);
}

void WriteAddedKeystrokes(TStream& stream, const TSrcEditKeyStrokes& keys, const TSrcEditKeyStrokes& reference)
{
    TSrcEditKeyStrokes added;
    for (int i = 0; i < keys.Count(); ++i) {
        const TSrcEditKeyStroke* item = keys.Items(i);
        if (!SameCommandAt(reference, reference.FindShortCutPair(item->ShortCut(), item->ShortCut2()),
                           item->Command()))
            added.Add()->Assign(*item);
    }
    WriteCollection(stream, added);
}

void ReadRemovedKeystrokes(TStream& stream, TSrcEditKeyStrokes& keys)
{
    TSrcEditKeyStrokes removed;
    if (!ReadCollection(stream, removed))
        return;
    for (int i = 0; i < removed.Count(); ++i) {
        const TSrcEditKeyStroke* item = removed.Items(i);
        const int index = keys.FindShortCutPair(item->ShortCut(), item->ShortCut2());
        if (SameCommandAt(keys, index, item->Command()))
            keys.Delete(index);
    }
}

void ReadAddedKeystrokes(TStream& stream, TSrcEditKeyStrokes& keys)
{
    TSrcEditKeyStrokes added;
    if (!ReadCollection(stream, added))
        return;
    for (int i = 0; i < added.Count(); ++i)
        keys.Add()->Assign(*added.Items(i));
}

bool WriteKeystrokeProperties(TStream& stream, const TSrcEditKeyStrokes& keys, const TSrcEditKeyStrokes& reference)
{
    if (keys.SameBindings(reference))
        return false;
    TValueWriter w(stream);
    w.ShortString(RemovedName);
    WriteRemovedKeystrokes(stream, keys, reference);
    w.ShortString(AddedName);
    WriteAddedKeystrokes(stream, keys, reference);
    return true;
}

void ReadKeystrokeProperties(TStream& stream, TSrcEditKeyStrokes& keys)
{
    TValueReader r(stream);
    while (!r.AtEnd()) {
        const std::int64_t start = stream.Position();
        const std::string name = r.ShortString();
        if (name == RemovedName) {
            ReadRemovedKeystrokes(stream, keys);
        } else if (name == AddedName) {
            ReadAddedKeystrokes(stream, keys);
        } else {
            stream.SetPosition(start);
            return;
        }
    }
}
