// Type-information records, their wrappers, and set ↔ text conversion.

#include "utility/UclRtti.h"

#include "Platform/text/Format.h"
#include "Platform/text/Strings.h"
#include "Platform/text/TextUtils.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

const char* const KKindNames[] = {"tkUnknown", "tkInteger", "tkChar",    "tkEnumeration", "tkFloat",  "tkString",
                                  "tkSet",     "tkClass",   "tkMethod",  "tkWChar",       "tkLString", "tkWString",
                                  "tkVariant", "tkArray",   "tkRecord",  "tkInterface",   "tkInt64",  "tkDynArray"};
const char* const KOrdTypeNames[] = {"otSByte", "otUByte", "otSWord", "otUWord", "otSLong", "otULong"};
const char* const KFloatTypeNames[] = {"ftSingle", "ftDouble", "ftExtended", "ftComp", "ftCurr"};
const char* const KMethodKindNames[] = {"mkProcedure",      "mkFunction",      "mkConstructor",   "mkDestructor",
                                        "mkClassProcedure", "mkClassFunction", "mkSafeProcedure", "mkSafeFunction"};
const char* const KSpecifierKindNames[] = {"constant", "field", "virtual method", "static method"};

const TTypeInfo& ParamFlagsInfo()
{
    static const TTypeInfo flag =
        EnumerationTypeInfo("TParamFlag", {"pfVar", "pfConst", "pfArray", "pfAddress", "pfReference", "pfOut"}, "TypInfo");
    static const TTypeInfo flags = SetTypeInfo("TParamFlags", flag);
    return flags;
}

const TTypeInfo& IntfFlagsInfo()
{
    static const TTypeInfo flag = EnumerationTypeInfo("TIntfFlag", {"ifHasGuid", "ifDispInterface", "ifDispatch"}, "TypInfo");
    static const TTypeInfo flags = SetTypeInfo("TIntfFlagsBase", flag);
    return flags;
}

template <class E>
std::string SetText(const TTypeInfo& setType, TSet<E> value)
{
    return SetValueToText(setType, value, true);
}

TPropSpecifierKind SpecifierKind(std::uint32_t value)
{
    if (value <= 1)
        return TPropSpecifierKind::Constant;
    if (value >= 0xFF000000u)
        return TPropSpecifierKind::Field;
    if (value >= 0xFE000000u)
        return TPropSpecifierKind::VirtualMethod;
    return TPropSpecifierKind::StaticMethod;
}

std::int64_t SpecifierAddress(std::uint32_t value)
{
    switch (SpecifierKind(value)) {
    case TPropSpecifierKind::Field: return value & 0x00FFFFFFu;
    case TPropSpecifierKind::VirtualMethod: return static_cast<std::int16_t>(value & 0xFFFFu);
    case TPropSpecifierKind::Constant:
    case TPropSpecifierKind::StaticMethod: break;
    }
    return value;
}

const void* AsPointer(std::int64_t value)
{
    return reinterpret_cast<const void*>(static_cast<std::uintptr_t>(value));
}

bool SameName(const std::string& a, std::string_view b)
{
    return SameText(a, b);
}

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


class TUclPropInfo : public virtual IUclPropInfo {
public:
    explicit TUclPropInfo(const TPropInfo& info) : FInfo(info) {}

    std::shared_ptr<IUclTypeInfo> PropType() const override
    {
        return FInfo.PropType ? WrapTypeInfo(*FInfo.PropType) : nullptr;
    }
    std::uint32_t ReaderValue() const override { return FInfo.GetProc; }
    std::uint32_t WriterValue() const override { return FInfo.SetProc; }
    std::uint32_t StoredValue() const override { return FInfo.StoredProc; }
    std::int32_t Index() const override { return static_cast<std::int32_t>(FInfo.Index); }
    std::int32_t Default() const override { return static_cast<std::int32_t>(FInfo.Default); }
    std::int16_t NameIndex() const override { return FInfo.NameIndex; }
    std::string Name() const override { return FInfo.Name; }
    TPropSpecifierKind ReaderType() const override { return SpecifierKind(FInfo.GetProc); }
    TPropSpecifierKind WriterType() const override { return SpecifierKind(FInfo.SetProc); }
    TPropSpecifierKind StoredType() const override { return SpecifierKind(FInfo.StoredProc); }
    std::int64_t ReaderAddress() const override { return SpecifierAddress(FInfo.GetProc); }
    std::int64_t WriterAddress() const override { return SpecifierAddress(FInfo.SetProc); }
    std::int64_t StoredAddress() const override { return SpecifierAddress(FInfo.StoredProc); }
    bool IsStored(const void* instance) const override
    {
        switch (StoredType()) {
        case TPropSpecifierKind::Constant: return FInfo.StoredProc != 0;
        case TPropSpecifierKind::Field:
            return instance && static_cast<const std::uint8_t*>(instance)[StoredAddress()] != 0;
        case TPropSpecifierKind::VirtualMethod:
        case TPropSpecifierKind::StaticMethod: break;
        }
        return FInfo.StoredMethod ? FInfo.StoredMethod(instance) : true;
    }
    bool HasDefault() const override { return FInfo.Default != NoIndexOrDefault; }
    bool HasIndex() const override { return FInfo.Index != NoIndexOrDefault; }

    void WriteDescription(IUclInfoWriter& writer) const override
    {
        writer.Writeln(FInfo.Name + ": " + PropTypeName());
        writer.Indent();
        if (HasIndex())
            writer.Writeln(Format("[%s %d]", {"index", Index()}));
        if (HasDefault())
            writer.Writeln(Format("[%s %d]", {"default", Default()}));
        // why: a property without a reader or writer has none to show
        if (FInfo.GetProc != 0)
            writer.Writeln(Format("[%s %s $%p]", {"read", KindName(ReaderType()), AsPointer(ReaderAddress())}));
        if (FInfo.SetProc != 0)
            writer.Writeln(Format("[%s %s $%p]", {"write", KindName(WriterType()), AsPointer(WriterAddress())}));
        if (StoredType() == TPropSpecifierKind::Constant)
            writer.Writeln(Format("[%s=%s]", {"stored", std::string(FInfo.StoredProc ? "True" : "False")}));
        else
            writer.Writeln(Format("[%s=%s $%p]", {"stored", KindName(StoredType()), AsPointer(StoredAddress())}));
        writer.Outdent();
    }
    void WriteDeclaration(IUclInfoWriter& writer) const override
    {
        writer.Write("property " + FInfo.Name + ": " + PropTypeName());
        if (HasIndex())
            writer.Write(Format(" index %d", {Index()}));
        if (FInfo.GetProc != 0)
            writer.Write(Format(" read [%s $%p]", {KindName(ReaderType()), AsPointer(ReaderAddress())}));
        if (FInfo.SetProc != 0)
            writer.Write(Format(" write [%s $%p]", {KindName(WriterType()), AsPointer(WriterAddress())}));
        if (StoredType() == TPropSpecifierKind::Constant)
            writer.Write(FInfo.StoredProc ? " stored = True" : " stored = False");
        else
            writer.Write(Format(" stored = [%s $%p]", {KindName(StoredType()), AsPointer(StoredAddress())}));
        if (HasDefault())
            writer.Write(" default " + IntToStr(Default()));
        writer.Writeln(";");
    }

private:
    static std::string KindName(TPropSpecifierKind kind) { return KSpecifierKindNames[static_cast<int>(kind)]; }
    std::string PropTypeName() const { return FInfo.PropType ? FInfo.PropType->Name : std::string("???"); }

    const TPropInfo& FInfo;
};

class TUclClassTypeInfo : public TUclTypeInfo, public virtual IUclClassTypeInfo {
public:
    using TUclTypeInfo::TUclTypeInfo;

    std::string ClassRef() const override { return FInfo.Data.ClassName; }
    std::shared_ptr<IUclClassTypeInfo> Parent() const override
    {
        return FInfo.Data.ParentInfo ? std::make_shared<TUclClassTypeInfo>(*FInfo.Data.ParentInfo) : nullptr;
    }
    int TotalPropertyCount() const override
    {
        int count = 0;
        for (PTypeInfo type = &FInfo; type; type = type->Data.ParentInfo)
            count += static_cast<int>(type->Data.Properties.size());
        return count;
    }
    int PropertyCount() const override { return static_cast<int>(FInfo.Data.Properties.size()); }
    std::shared_ptr<IUclPropInfo> Properties(int index) const override
    {
        if (index < 0 || index >= PropertyCount())
            throw EUclRTTIError(Format("Property index %d out of range", {index}));
        return std::make_shared<TUclPropInfo>(FInfo.Data.Properties[static_cast<size_t>(index)]);
    }
    std::string UnitName() const override { return FInfo.Data.UnitName; }

    void WriteDescription(IUclInfoWriter& writer) const override
    {
        TUclTypeInfo::WriteDescription(writer);
        writer.Writeln("Class name: " + ClassRef());
        writer.Writeln("Parent: " + ParentName());
        writer.Writeln("Unit name: " + UnitName());
        writer.Writeln("Property count: " + IntToStr(TotalPropertyCount()) + " (" + IntToStr(PropertyCount()) + ")");
        writer.Indent();
        for (int i = 0; i < PropertyCount(); ++i)
            Properties(i)->WriteDescription(writer);
        writer.Outdent();
    }
    void WriteDeclaration(IUclInfoWriter& writer) const override
    {
        if (FInfo.Data.ParentInfo && !SameName(ParentName(), "TObject")) {
            writer.Write(FInfo.Name + " = class(" + ParentName());
            for (PTypeInfo intf : FInfo.Data.Interfaces)
                writer.Write(", ['" + GuidToText(intf->Data.Guid) + "']");
            writer.Writeln(") // unit " + UnitName());
        } else {
            writer.Writeln(FInfo.Name + " = class // unit " + UnitName());
        }
        if (PropertyCount() > 0) {
            writer.Writeln("published");
            writer.Indent();
            struct Outdent {
                IUclInfoWriter& Writer;
                ~Outdent() { Writer.Outdent(); }
            } outdent{writer};
            for (int i = 0; i < PropertyCount(); ++i)
                Properties(i)->WriteDeclaration(writer);
        }
        writer.Writeln("end;");
    }

private:
    std::string ParentName() const { return FInfo.Data.ParentInfo ? FInfo.Data.ParentInfo->Name : std::string(); }
};

class TUclEventParamInfo : public IUclEventParamInfo {
public:
    explicit TUclEventParamInfo(const TParamInfo& param) : FParam(param) {}

    TParamFlags Flags() const override { return FParam.Flags; }
    std::string Name() const override { return FParam.Name; }
    int RecSize() const override { return 3 + static_cast<int>(FParam.Name.size() + FParam.TypeName.size()); }
    std::string TypeName() const override { return FParam.TypeName; }
    const void* Param() const override { return &FParam; }

private:
    const TParamInfo& FParam;
};

class TUclEventTypeInfo : public TUclTypeInfo, public virtual IUclEventTypeInfo {
public:
    using TUclTypeInfo::TUclTypeInfo;

    TMethodKind MethodKind() const override { return FInfo.Data.MethodKind; }
    int ParameterCount() const override { return static_cast<int>(FInfo.Data.Params.size()); }
    std::shared_ptr<IUclEventParamInfo> Parameters(int index) const override
    {
        if (index < 0 || index >= ParameterCount())
            throw EUclRTTIError(Format("Parameter index %d out of range", {index}));
        return std::make_shared<TUclEventParamInfo>(FInfo.Data.Params[static_cast<size_t>(index)]);
    }
    std::string ResultTypeName() const override { return FInfo.Data.ResultType; }

    void WriteDescription(IUclInfoWriter& writer) const override
    {
        TUclTypeInfo::WriteDescription(writer);
        writer.Writeln(std::string("Method kind: ") + KMethodKindNames[MethodKind()]);
        writer.Writeln("Parameter count: " + IntToStr(ParameterCount()));
        writer.Indent();
        for (int i = 0; i < ParameterCount(); ++i) {
            if (i > 0)
                writer.Writeln();
            const auto param = Parameters(i);
            writer.Writeln("Name: " + param->Name());
            writer.Writeln("Type: " + param->TypeName());
            writer.Writeln("Flags: " + SetText(ParamFlagsInfo(), param->Flags()));
        }
        writer.Outdent();
        if (IsFunction())
            writer.Writeln("Return type: " + ResultTypeName());
    }
    void WriteDeclaration(IUclInfoWriter& writer) const override
    {
        writer.Write(FInfo.Name + " = " + (IsFunction() ? "function" : "procedure"));
        for (int i = 0; i < ParameterCount(); ++i) {
            const TParamInfo& param = FInfo.Data.Params[static_cast<size_t>(i)];
            writer.Write(i == 0 ? "(" : "; ");
            if (param.Flags.Contains(pfVar))
                writer.Write("var ");
            else if (param.Flags.Contains(pfConst))
                writer.Write("const ");
            else if (param.Flags.Contains(pfOut))
                writer.Write("out ");
            writer.Write(param.Name);
            if (!param.TypeName.empty()) {
                writer.Write(": ");
                if (param.Flags.Contains(pfArray))
                    writer.Write(SameName(param.TypeName, "TVarRec") ? "array of const" : "array of " + param.TypeName);
                else
                    writer.Write(param.TypeName);
            }
            if (i == ParameterCount() - 1)
                writer.Write(")");
        }
        if (IsFunction())
            writer.Write(": " + ResultTypeName());
        writer.Writeln(" of object;");
    }

private:
    bool IsFunction() const { return MethodKind() == mkFunction || MethodKind() == mkClassFunction || MethodKind() == mkSafeFunction; }
};

class TUclInterfaceTypeInfo : public TUclTypeInfo, public virtual IUclInterfaceTypeInfo {
public:
    using TUclTypeInfo::TUclTypeInfo;

    std::shared_ptr<IUclInterfaceTypeInfo> Parent() const override
    {
        return FInfo.Data.ParentInfo ? std::make_shared<TUclInterfaceTypeInfo>(*FInfo.Data.ParentInfo) : nullptr;
    }
    TIntfFlagsBase Flags() const override { return FInfo.Data.IntfFlags; }
    TUclGUID GUID() const override { return FInfo.Data.Guid; }
    int PropertyCount() const override { return FInfo.Data.IntfPropCount; }
    std::string UnitName() const override { return FInfo.Data.UnitName; }

    void WriteDescription(IUclInfoWriter& writer) const override
    {
        TUclTypeInfo::WriteDescription(writer);
        writer.Writeln("GUID: " + GuidToText(GUID()));
        writer.Writeln("Flags: " + SetText(IntfFlagsInfo(), Flags()));
        writer.Writeln("Unit name: " + UnitName());
        writer.Writeln("Parent: " + ParentName());
        writer.Writeln("Property count: " + IntToStr(PropertyCount()));
    }
    void WriteDeclaration(IUclInfoWriter& writer) const override
    {
        writer.Write(FInfo.Name + " = " + (Flags().Contains(ifDispInterface) ? "dispinterface" : "interface"));
        if (FInfo.Data.ParentInfo && !SameName(ParentName(), "IUnknown"))
            writer.Write("(" + ParentName() + ")");
        writer.Writeln(" // unit " + UnitName());
        writer.Indent();
        if (Flags().Contains(ifHasGuid))
            writer.Writeln("['" + GuidToText(GUID()) + "']");
        writer.Outdent();
        writer.Writeln("end;");
    }

private:
    std::string ParentName() const { return FInfo.Data.ParentInfo ? FInfo.Data.ParentInfo->Name : std::string(); }
};

class TUclDynArrayTypeInfo : public TUclTypeInfo, public virtual IUclDynArrayTypeInfo {
public:
    using TUclTypeInfo::TUclTypeInfo;

    int ElementSize() const override { return FInfo.Data.ElementSize; }
    std::shared_ptr<IUclTypeInfo> ElementTypeInfo() const override
    {
        return FInfo.Data.ElementType ? WrapTypeInfo(*FInfo.Data.ElementType) : nullptr;
    }
    bool ElementsNeedCleanup() const override { return FInfo.Data.ElementsNeedCleanup; }
    int VarType() const override { return FInfo.Data.VarType; }
    std::string UnitName() const override { return FInfo.Data.UnitName; }

    void WriteDescription(IUclInfoWriter& writer) const override
    {
        TUclTypeInfo::WriteDescription(writer);
        writer.Writeln("Element size: " + IntToStr(ElementSize()));
        writer.Writeln("Element type: " + (FInfo.Data.ElementType ? FInfo.Data.ElementType->Name : std::string("???")));
        writer.Writeln(std::string("Elements need clean up: ") + (ElementsNeedCleanup() ? "True" : "False"));
        writer.Writeln("Variant type: " + IntToStr(VarType()));
        writer.Writeln("Unit name: " + UnitName());
    }
    void WriteDeclaration(IUclInfoWriter& writer) const override
    {
        writer.Write(Unnamed() ? "array of " : FInfo.Name + " = array of ");
        const TTypeInfo* element = FInfo.Data.ElementType;
        if (!element)
            writer.Write("???");
        else if (!IsUnnamed(element->Name))
            writer.Write(element->Name);
        else
            WrapTypeInfo(*element)->WriteDeclaration(writer);
        if (!Unnamed())
            writer.Writeln("; // Unit " + UnitName());
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

TTypeInfo ClassTypeInfo(std::string name, const TTypeInfo* parent, std::string unitName,
                        std::vector<TPropInfo> properties, std::vector<PTypeInfo> interfaces)
{
    if ((parent && parent->Kind != tkClass) ||
        std::any_of(interfaces.begin(), interfaces.end(), [](PTypeInfo i) { return !i || i->Kind != tkInterface; }))
        InvalidDescription(name);
    TTypeInfo info{tkClass, std::move(name), {}};
    info.Data.ClassName = info.Name;
    info.Data.ParentInfo = parent;
    info.Data.UnitName = std::move(unitName);
    info.Data.Properties = std::move(properties);
    info.Data.Interfaces = std::move(interfaces);
    return info;
}

TTypeInfo MethodTypeInfo(std::string name, TMethodKind kind, std::vector<TParamInfo> params, std::string resultType)
{
    TTypeInfo info{tkMethod, std::move(name), {}};
    info.Data.MethodKind = kind;
    info.Data.Params = std::move(params);
    info.Data.ResultType = std::move(resultType);
    return info;
}

TTypeInfo InterfaceTypeInfo(std::string name, const TTypeInfo* parent, std::string unitName,
                            std::optional<TUclGUID> guid, TIntfFlagsBase flags, int propertyCount)
{
    if (parent && parent->Kind != tkInterface)
        InvalidDescription(name);
    TTypeInfo info{tkInterface, std::move(name), {}};
    info.Data.ParentInfo = parent;
    info.Data.UnitName = std::move(unitName);
    if (guid) {
        info.Data.Guid = *guid;
        flags.Include(ifHasGuid);
    }
    info.Data.IntfFlags = flags;
    info.Data.IntfPropCount = propertyCount;
    return info;
}

TTypeInfo DynArrayTypeInfo(std::string name, int elementSize, const TTypeInfo* elementType, bool elementsNeedCleanup,
                           int varType, std::string unitName)
{
    TTypeInfo info{tkDynArray, std::move(name), {}};
    info.Data.ElementSize = elementSize;
    info.Data.ElementType = elementType;
    info.Data.ElementsNeedCleanup = elementsNeedCleanup;
    info.Data.VarType = varType;
    info.Data.UnitName = std::move(unitName);
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
    case tkClass: return std::make_shared<TUclClassTypeInfo>(typeInfo);
    case tkMethod: return std::make_shared<TUclEventTypeInfo>(typeInfo);
    case tkInterface: return std::make_shared<TUclInterfaceTypeInfo>(typeInfo);
    case tkDynArray: return std::make_shared<TUclDynArrayTypeInfo>(typeInfo);
    default: return std::make_shared<TUclTypeInfo>(typeInfo);
    }
}

std::string GuidToText(const TUclGUID& guid)
{
    char text[40];
    std::snprintf(text, sizeof text, "{%.8x-%.4x-%.4x-%.2x%.2x-%.2x%.2x%.2x%.2x%.2x%.2x}", unsigned{guid.D1},
                  unsigned{guid.D2}, unsigned{guid.D3}, unsigned{guid.D4[0]}, unsigned{guid.D4[1]},
                  unsigned{guid.D4[2]}, unsigned{guid.D4[3]}, unsigned{guid.D4[4]}, unsigned{guid.D4[5]},
                  unsigned{guid.D4[6]}, unsigned{guid.D4[7]});
    return text;
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
