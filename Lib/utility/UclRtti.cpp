// Type-information records, their wrappers, and set ↔ text conversion.

#include "utility/UclRtti.h"

#include "Platform/text/Format.h"
#include "Platform/text/Strings.h"
#include "Platform/text/TextUtils.h"

#include <algorithm>
#include <cstring>

namespace {

const char* const KKindNames[] = {"tkUnknown", "tkInteger", "tkChar",    "tkEnumeration", "tkFloat",  "tkString",
                                  "tkSet",     "tkClass",   "tkMethod",  "tkWChar",       "tkLString", "tkWString",
                                  "tkVariant", "tkArray",   "tkRecord",  "tkInterface",   "tkInt64",  "tkDynArray"};
const char* const KOrdTypeNames[] = {"otSByte", "otUByte", "otSWord", "otUWord", "otSLong", "otULong"};
const char* const KFloatTypeNames[] = {"ftSingle", "ftDouble", "ftExtended", "ftComp", "ftCurr"};

bool IsUnnamed(const std::string& name)
{
    return !name.empty() && name[0] == '.';
}

bool IsOrdinalRangeKind(TTypeKind kind)
{
    return kind == tkInteger || kind == tkChar || kind == tkWChar;
}

std::int64_t Extend(std::int32_t value, TOrdType ordType)
{
    return ordType == otULong ? std::int64_t{static_cast<std::uint32_t>(value)} : std::int64_t{value};
}

const TTypeInfo& BaseOf(const TTypeInfo& enumeration)
{
    return enumeration.Data.BaseType ? *enumeration.Data.BaseType : enumeration;
}

std::string Join(const std::vector<std::string>& items, std::string_view separator)
{
    std::string joined;
    for (size_t i = 0; i < items.size(); ++i) {
        if (i > 0)
            joined += separator;
        joined += items[i];
    }
    return joined;
}

// ---- Wrappers

class TUclTypeInfo : public virtual IUclTypeInfo {
public:
    explicit TUclTypeInfo(const TTypeInfo& info) : FInfo(info) {}

    std::string TypeNameOf() const override { return FInfo.Name; }
    const TTypeData& TypeData() const override { return FInfo.Data; }
    PTypeInfo TypeInfo() const override { return &FInfo; }
    TTypeKind KindOfType() const override { return FInfo.Kind; }

    void WriteDescription(IUclInfoWriter& writer) const override
    {
        writer.Writeln("Name: " + FInfo.Name);
        writer.Writeln(std::string("Type kind: ") + KKindNames[FInfo.Kind]);
        writer.Writeln(Format("Type info: %p", {static_cast<const void*>(&FInfo)}));
    }
    void WriteDeclaration(IUclInfoWriter& writer) const override
    {
        writer.Writeln(Format("// Declaration for '%s' not supported.", {FInfo.Name}));
    }

protected:
    bool Unnamed() const { return IsUnnamed(FInfo.Name); }

    const TTypeInfo& FInfo;
};

class TUclOrdinalTypeInfo : public TUclTypeInfo, public virtual IUclOrdinalTypeInfo {
public:
    using TUclTypeInfo::TUclTypeInfo;

    TOrdType OrdinalStorage() const override { return FInfo.Data.OrdType; }

    void WriteDescription(IUclInfoWriter& writer) const override
    {
        TUclTypeInfo::WriteDescription(writer);
        writer.Writeln(std::string("Ordinal type: ") + KOrdTypeNames[OrdinalStorage()]);
    }
};

class TUclOrdinalRangeTypeInfo : public TUclOrdinalTypeInfo, public virtual IUclOrdinalRangeTypeInfo {
public:
    using TUclOrdinalTypeInfo::TUclOrdinalTypeInfo;

    std::int64_t LowestOrdinal() const override { return Extend(FInfo.Data.MinValue, FInfo.Data.OrdType); }
    std::int64_t HighestOrdinal() const override { return Extend(FInfo.Data.MaxValue, FInfo.Data.OrdType); }

    void WriteDescription(IUclInfoWriter& writer) const override
    {
        TUclOrdinalTypeInfo::WriteDescription(writer);
        writer.Writeln("Min value: " + IntToStr(LowestOrdinal()));
        writer.Writeln("Max value: " + IntToStr(HighestOrdinal()));
    }
    void WriteDeclaration(IUclInfoWriter& writer) const override
    {
        writer.Write(FInfo.Name + " = " + Bound(LowestOrdinal()) + ".." + Bound(HighestOrdinal()));
        writer.Writeln(std::string("; // ") + KOrdTypeNames[OrdinalStorage()]);
    }

private:
    std::string Bound(std::int64_t value) const
    {
        if (FInfo.Kind != tkChar && FInfo.Kind != tkWChar)
            return IntToStr(value);
        if (value >= 32 && value <= 126)
            return std::string{'\'', static_cast<char>(value), '\''};
        return Format("#%d", {value});
    }
};

class TUclEnumerationTypeInfo : public TUclOrdinalRangeTypeInfo, public virtual IUclEnumerationTypeInfo {
public:
    using TUclOrdinalRangeTypeInfo::TUclOrdinalRangeTypeInfo;

    std::shared_ptr<IUclEnumerationTypeInfo> BaseEnumeration() const override
    {
        return std::make_shared<TUclEnumerationTypeInfo>(BaseOf(FInfo));
    }
    std::string ValueName(std::int64_t ordinal) const override
    {
        // why: an ordinal the base does not have must not index past its names
        const TTypeInfo& base = BaseOf(FInfo);
        if (ordinal < base.Data.MinValue || ordinal > base.Data.MaxValue)
            return {};
        return base.Data.NameList[static_cast<size_t>(ordinal - base.Data.MinValue)];
    }
    std::string DeclaringUnitName() const override { return BaseOf(FInfo).Data.EnumUnitName; }
    std::int64_t IndexOfValueName(std::string_view name) const override
    {
        for (std::int64_t i = HighestOrdinal(); i >= LowestOrdinal(); --i)
            if (SameText(ValueName(i), name))
                return i;
        return -1;
    }

    void WriteDescription(IUclInfoWriter& writer) const override
    {
        TUclOrdinalRangeTypeInfo::WriteDescription(writer);
        writer.Writeln("Unit name: " + DeclaringUnitName());
        writer.Writeln("Names: (" + Join(Names(), ", ") + ")");
    }
    void WriteDeclaration(IUclInfoWriter& writer) const override
    {
        if (!Unnamed())
            writer.Write(FInfo.Name + " = ");
        if (&BaseOf(FInfo) == &FInfo)
            writer.Write(Format("(%s)", {Join(Names(), ", ")}));
        else
            writer.Write(ValueName(LowestOrdinal()) + " .. " + ValueName(HighestOrdinal()));
        if (!Unnamed())
            writer.Writeln(std::string("; // ") + KOrdTypeNames[OrdinalStorage()]);
    }

private:
    std::vector<std::string> Names() const
    {
        std::vector<std::string> names;
        for (std::int64_t i = LowestOrdinal(); i <= HighestOrdinal(); ++i)
            names.push_back(ValueName(i));
        return names;
    }
};

class TUclSetTypeInfo : public TUclOrdinalTypeInfo, public virtual IUclSetTypeWrapper {
public:
    using TUclOrdinalTypeInfo::TUclOrdinalTypeInfo;

    std::shared_ptr<IUclOrdinalTypeInfo> ElementTypeInfo() const override
    {
        return std::dynamic_pointer_cast<IUclOrdinalTypeInfo>(WrapTypeInfo(Element()));
    }

    void SetMembersToList(const void* value, bool ranges, TStrings& list) const override
    {
        const auto enumeration = std::dynamic_pointer_cast<IUclEnumerationTypeInfo>(WrapTypeInfo(Element()));
        auto text = [&](int v) { return enumeration ? enumeration->ValueName(v) : IntToStr(v); };
        const int min = Min(), max = Max();
        WithUpdate(list, [&] {
            for (int v = min; v <= max; ++v) {
                if (!TestBitInBuffer(value, BitOf(v)))
                    continue;
                const int first = v;
                while (v < max && TestBitInBuffer(value, BitOf(v + 1)))
                    ++v;
                if (ranges && v > first) {
                    list.Add(text(first) + " .. " + text(v));
                } else {
                    for (int m = first; m <= v; ++m)
                        list.Add(text(m));
                }
            }
        });
    }

    void ListToSetMembers(void* value, const TStrings& list) const override
    {
        std::memset(value, 0, static_cast<size_t>(Size()));
        const auto enumeration = std::dynamic_pointer_cast<IUclEnumerationTypeInfo>(WrapTypeInfo(Element()));
        auto ordinal = [&](const std::string& text) -> std::int64_t {
            if (!enumeration)
                return StrToInt(text);
            const std::int64_t index = enumeration->IndexOfValueName(text);
            if (index < 0)
                throw EUclRTTIError(Format("Unknown identifier '%s'.", {text}));
            return index;
        };
        for (int i = 0; i < list.Count(); ++i) {
            const std::string item = Trim(list.Get(i));
            if (item.empty())
                continue;
            const size_t dots = item.find("..");
            const std::string lowText = dots == std::string::npos ? item : Trim(item.substr(0, dots));
            const std::string highText = dots == std::string::npos ? item : Trim(item.substr(dots + 2));
            const std::int64_t low = ordinal(lowText);
            const std::int64_t high = ordinal(highText);
            // invariant: only bits of Min..Max are touched, whatever numbers the text holds
            for (std::int64_t v = std::max<std::int64_t>(low, Min()); v <= std::min<std::int64_t>(high, Max()); ++v)
                SetBitInBuffer(value, BitOf(static_cast<int>(v)));
        }
    }

    void WriteDescription(IUclInfoWriter& writer) const override
    {
        TUclOrdinalTypeInfo::WriteDescription(writer);
        writer.Writeln("Based on: " + Element().Name);
    }
    void WriteDeclaration(IUclInfoWriter& writer) const override
    {
        if (!Unnamed())
            writer.Write(FInfo.Name + " = set of ");
        const TTypeInfo& element = Element();
        if (!IsUnnamed(element.Name))
            writer.Write(element.Name);
        else if (element.Kind == tkEnumeration)
            WrapTypeInfo(element)->WriteDeclaration(writer);
        else
            writer.Write("???");
        if (!Unnamed())
            writer.Writeln(std::string("; // ") + KOrdTypeNames[OrdinalStorage()]);
    }

    int Min() const { return Element().Data.MinValue; }
    int Max() const { return Element().Data.MaxValue; }
    int BitOf(int ordinal) const { return ordinal - Min() + Min() % 8; }
    int Size() const { return (Min() % 8 + Max() - Min()) / 8 + 1; }

private:
    const TTypeInfo& Element() const { return *FInfo.Data.CompType; }
};

class TUclFloatTypeInfo : public TUclTypeInfo, public virtual IUclFloatTypeInfo {
public:
    using TUclTypeInfo::TUclTypeInfo;

    TFloatType FloatType() const override { return FInfo.Data.FloatType; }

    void WriteDescription(IUclInfoWriter& writer) const override
    {
        TUclTypeInfo::WriteDescription(writer);
        writer.Writeln(std::string("Float type: ") + KFloatTypeNames[FloatType()]);
    }
    void WriteDeclaration(IUclInfoWriter& writer) const override
    {
        writer.Writeln(FInfo.Name + " = type " + KFloatTypeNames[FloatType()] + ";");
    }
};

class TUclStringTypeInfo : public TUclTypeInfo, public virtual IUclStringTypeInfo {
public:
    using TUclTypeInfo::TUclTypeInfo;

    int MaxLength() const override { return FInfo.Data.MaxLength; }

    void WriteDescription(IUclInfoWriter& writer) const override
    {
        TUclTypeInfo::WriteDescription(writer);
        writer.Writeln("Max length: " + IntToStr(MaxLength()));
    }
    void WriteDeclaration(IUclInfoWriter& writer) const override
    {
        writer.Writeln(FInfo.Name + " = string[" + IntToStr(MaxLength()) + "];");
    }
};

class TUclInt64TypeInfo : public TUclTypeInfo, public virtual IUclInt64TypeInfo {
public:
    using TUclTypeInfo::TUclTypeInfo;

    std::int64_t MinValue() const override { return FInfo.Data.MinInt64Value; }
    std::int64_t MaxValue() const override { return FInfo.Data.MaxInt64Value; }

    void WriteDescription(IUclInfoWriter& writer) const override
    {
        TUclTypeInfo::WriteDescription(writer);
        writer.Writeln("Min value: " + IntToStr(MinValue()));
        writer.Writeln("Max value: " + IntToStr(MaxValue()));
    }
    void WriteDeclaration(IUclInfoWriter& writer) const override
    {
        writer.Writeln(FInfo.Name + " = " + IntToStr(MinValue()) + " .. " + IntToStr(MaxValue()) + ";");
    }
};

std::shared_ptr<TUclSetTypeInfo> SetWrapper(const TTypeInfo& setType)
{
    if (setType.Kind != tkSet || !setType.Data.CompType)
        throw EUclRTTIError(Format("'%s' is not a set type", {setType.Name}));
    return std::make_shared<TUclSetTypeInfo>(setType);
}

[[noreturn]] void InvalidDescription(const std::string& name)
{
    throw EUclRTTIError(Format("Invalid type description '%s'", {name}));
}

} // namespace

// ---- Builders

TTypeInfo EnumerationTypeInfo(std::string name, std::vector<std::string> names, std::string unitName)
{
    if (names.empty())
        InvalidDescription(name);
    TTypeInfo info{tkEnumeration, std::move(name), {}};
    const size_t count = names.size();
    info.Data.OrdType = count <= 0x100 ? otUByte : count <= 0x10000 ? otUWord : otULong;
    info.Data.MinValue = 0;
    info.Data.MaxValue = static_cast<std::int32_t>(count - 1);
    info.Data.NameList = std::move(names);
    info.Data.EnumUnitName = std::move(unitName);
    return info;
}

TTypeInfo EnumerationSubrangeTypeInfo(std::string name, const TTypeInfo& base, int minValue, int maxValue)
{
    const TTypeInfo& root = BaseOf(base);
    if (base.Kind != tkEnumeration || minValue > maxValue || minValue < root.Data.MinValue ||
        maxValue > root.Data.MaxValue)
        InvalidDescription(name);
    TTypeInfo info{tkEnumeration, std::move(name), {}};
    info.Data.OrdType = root.Data.OrdType;
    info.Data.MinValue = minValue;
    info.Data.MaxValue = maxValue;
    info.Data.BaseType = &root;
    return info;
}

TTypeInfo OrdinalRangeTypeInfo(TTypeKind kind, std::string name, TOrdType ordType, int minValue, int maxValue)
{
    if (!IsOrdinalRangeKind(kind) || Extend(minValue, ordType) > Extend(maxValue, ordType))
        InvalidDescription(name);
    TTypeInfo info{kind, std::move(name), {}};
    info.Data.OrdType = ordType;
    info.Data.MinValue = minValue;
    info.Data.MaxValue = maxValue;
    return info;
}

TTypeInfo SetTypeInfo(std::string name, const TTypeInfo& elementType)
{
    const bool ordinal = IsOrdinalRangeKind(elementType.Kind) || elementType.Kind == tkEnumeration;
    if (!ordinal || elementType.Data.OrdType == otULong || elementType.Data.MinValue < 0 ||
        elementType.Data.MaxValue > 255)
        InvalidDescription(name);
    TTypeInfo info{tkSet, std::move(name), {}};
    info.Data.CompType = &elementType;
    const int size = SetValueSize(info);
    info.Data.OrdType = size == 1 ? otUByte : size == 2 ? otUWord : otULong;
    return info;
}

TTypeInfo FloatTypeInfo(std::string name, TFloatType floatType)
{
    TTypeInfo info{tkFloat, std::move(name), {}};
    info.Data.FloatType = floatType;
    return info;
}

TTypeInfo ShortStringTypeInfo(std::string name, int maxLength)
{
    TTypeInfo info{tkString, std::move(name), {}};
    info.Data.MaxLength = maxLength;
    return info;
}

TTypeInfo Int64TypeInfo(std::string name, std::int64_t minValue, std::int64_t maxValue)
{
    TTypeInfo info{tkInt64, std::move(name), {}};
    info.Data.MinInt64Value = minValue;
    info.Data.MaxInt64Value = maxValue;
    return info;
}

TTypeInfo PlainTypeInfo(TTypeKind kind, std::string name)
{
    return TTypeInfo{kind, std::move(name), {}};
}

// ---- Wrapping and conversions

std::shared_ptr<IUclTypeInfo> WrapTypeInfo(const TTypeInfo& typeInfo)
{
    switch (typeInfo.Kind) {
    case tkInteger:
    case tkChar:
    case tkWChar: return std::make_shared<TUclOrdinalRangeTypeInfo>(typeInfo);
    case tkEnumeration: return std::make_shared<TUclEnumerationTypeInfo>(typeInfo);
    case tkSet: return SetWrapper(typeInfo);
    case tkFloat: return std::make_shared<TUclFloatTypeInfo>(typeInfo);
    case tkString: return std::make_shared<TUclStringTypeInfo>(typeInfo);
    case tkInt64: return std::make_shared<TUclInt64TypeInfo>(typeInfo);
    default: return std::make_shared<TUclTypeInfo>(typeInfo);
    }
}

int SetValueSize(const TTypeInfo& setType)
{
    return SetWrapper(setType)->Size();
}

std::string SetValueToText(const TTypeInfo& setType, const void* value, bool brackets, bool ranges)
{
    TStringList members;
    SetWrapper(setType)->SetMembersToList(value, ranges, members);
    const std::string text = JoinList(members, ", ", true);
    return brackets ? "[" + text + "]" : text;
}

void TextToSetValue(const TTypeInfo& setType, void* value, std::string_view text)
{
    const auto wrapper = SetWrapper(setType);
    TStringList pieces;
    SplitToList(text, ",", pieces, true);
    if (pieces.Count() > 0 && !pieces.Get(0).empty() && pieces.Get(0)[0] == '[') {
        pieces.Put(0, pieces.Get(0).substr(1));
        std::string last = pieces.Get(pieces.Count() - 1);
        if (!last.empty())
            last.pop_back();
        pieces.Put(pieces.Count() - 1, last);
    }
    wrapper->ListToSetMembers(value, pieces);
}

std::uint64_t SetValueToBits(const TTypeInfo& setType, const void* value)
{
    const auto wrapper = SetWrapper(setType);
    std::uint64_t bits = 0;
    for (int v = wrapper->Min(); v <= wrapper->Max() && v < 64; ++v)
        if (TestBitInBuffer(value, wrapper->BitOf(v)))
            bits |= std::uint64_t{1} << v;
    return bits;
}

void SetBitsToValue(const TTypeInfo& setType, std::uint64_t bits, void* value)
{
    const auto wrapper = SetWrapper(setType);
    std::memset(value, 0, static_cast<size_t>(wrapper->Size()));
    for (int v = wrapper->Min(); v <= wrapper->Max() && v < 64; ++v)
        if (bits & std::uint64_t{1} << v)
            SetBitInBuffer(value, wrapper->BitOf(v));
}

std::string OrdinalValueToText(const TTypeInfo& enumerationType, const void* value)
{
    const auto wrapper = std::dynamic_pointer_cast<IUclEnumerationTypeInfo>(WrapTypeInfo(enumerationType));
    if (!wrapper)
        throw EUclRTTIError(Format("'%s' is not an enumeration type", {enumerationType.Name}));
    std::int64_t ordinal = 0;
    switch (wrapper->OrdinalStorage()) {
    case otSByte: { std::int8_t v; std::memcpy(&v, value, 1); ordinal = v; break; }
    case otUByte: { std::uint8_t v; std::memcpy(&v, value, 1); ordinal = v; break; }
    case otSWord: { std::int16_t v; std::memcpy(&v, value, 2); ordinal = v; break; }
    case otUWord: { std::uint16_t v; std::memcpy(&v, value, 2); ordinal = v; break; }
    case otSLong: { std::int32_t v; std::memcpy(&v, value, 4); ordinal = v; break; }
    case otULong: { std::uint32_t v; std::memcpy(&v, value, 4); ordinal = v; break; }
    }
    if (ordinal >= wrapper->LowestOrdinal() && ordinal <= wrapper->HighestOrdinal())
        return wrapper->ValueName(ordinal);
    return Format("Value out of range (%s).", {"ordinal=" + IntToStr(ordinal)});
}

void SetBitInBuffer(void* buffer, int bit)
{
    static_cast<std::uint8_t*>(buffer)[bit / 8] |= static_cast<std::uint8_t>(1u << (bit % 8));
}

bool TestBitInBuffer(const void* buffer, int bit)
{
    return (static_cast<const std::uint8_t*>(buffer)[bit / 8] >> (bit % 8) & 1) != 0;
}
