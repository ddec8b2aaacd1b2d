#pragma once
// Type information for published enumeration, set and other simple types, and the
// conversions between a set value and its text ("[Name1, Name2]") that the settings store
// uses. C++ emits no such records, so each type that needs one is described once by hand with
// the builders below and kept for the life of the program (a function-local static):
//
//     const TTypeInfo& TypeInfoOfDockStyle()
//     {
//         static const TTypeInfo info = EnumerationTypeInfo("TDockStyle", {"dsNormal", "dsVC"}, "ExDock");
//         return info;
//     }
//
// WrapTypeInfo hands out a reference-counted wrapper describing a record; std::dynamic_pointer_cast
// asks it for a more specific interface (IUclEnumerationTypeInfo, IUclSetTypeWrapper, ...).
//
// Set layout: a set over elements Min..Max (0 <= Min <= Max <= 255) keeps member v at bit
// (v - Min) + Min mod 8 of its value, bit n in byte n / 8; the value has SetValueSize bytes.

#include "utility/UclStrings.h"

#include "Platform/core/Set.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class TStrings;

ZENTU_DECLARE_EXCEPTION(EUclRTTIError, EUclError);

enum TTypeKind {
    tkUnknown, tkInteger, tkChar, tkEnumeration, tkFloat, tkString, tkSet, tkClass, tkMethod,
    tkWChar, tkLString, tkWString, tkVariant, tkArray, tkRecord, tkInterface, tkInt64, tkDynArray
};
// Storage of an ordinal value: signed or unsigned, 1, 2 or 4 bytes.
enum TOrdType { otSByte, otUByte, otSWord, otUWord, otSLong, otULong };
enum TFloatType { ftSingle, ftDouble, ftExtended, ftComp, ftCurr };
enum TMethodKind {
    mkProcedure, mkFunction, mkConstructor, mkDestructor, mkClassProcedure, mkClassFunction, mkSafeProcedure,
    mkSafeFunction
};
enum TParamFlag { pfVar, pfConst, pfArray, pfAddress, pfReference, pfOut };
using TParamFlags = TSet<TParamFlag>;
enum TIntfFlag { ifHasGuid, ifDispInterface, ifDispatch };
using TIntfFlagsBase = TSet<TIntfFlag>;

// An interface identifier.
struct TUclGUID {
    std::uint32_t D1 = 0;
    std::uint16_t D2 = 0;
    std::uint16_t D3 = 0;
    std::uint8_t D4[8] = {};
};

struct TTypeInfo;
using PTypeInfo = const TTypeInfo*;

// A property specifier (read, write, stored) as the raw 32-bit value: 0 or 1 a constant (stored
// False or True), 0xFF000000 and above a field at offset v & 0x00FFFFFF, 0xFE000000..0xFEFFFFFF
// a virtual method whose slot offset is the low 16 bits (signed), anything else a static
// method at address v.
enum class TPropSpecifierKind { Constant, Field, VirtualMethod, StaticMethod };
inline constexpr std::uint32_t NoIndexOrDefault = 0x80000000u;

// One published property of a class.
struct TPropInfo {
    PTypeInfo PropType = nullptr;
    std::uint32_t GetProc = 0;
    std::uint32_t SetProc = 0;
    std::uint32_t StoredProc = 1;
    std::uint32_t Index = NoIndexOrDefault;    // NoIndexOrDefault: none
    std::uint32_t Default = NoIndexOrDefault;  // NoIndexOrDefault: none
    std::int16_t NameIndex = 0;
    std::string Name;
    // Answers a stored specifier that is a method, for an instance (no answer: stored).
    std::function<bool(const void* instance)> StoredMethod;
};

// One parameter of a method type.
struct TParamInfo {
    TParamFlags Flags;
    std::string Name;
    std::string TypeName;
};

// What a type record holds beyond kind and name; each kind uses its own fields.
struct TTypeData {
    TOrdType OrdType = otSLong;              // integer, char, wide char, enumeration, set
    std::int32_t MinValue = 0;               // integer, char, wide char, enumeration
    std::int32_t MaxValue = 0;
    PTypeInfo BaseType = nullptr;            // enumeration subrange: the enumeration it cuts; null: itself
    std::vector<std::string> NameList;       // enumeration that is its own base: names of MinValue..MaxValue
    std::string EnumUnitName;                // enumeration that is its own base
    PTypeInfo CompType = nullptr;            // set: the element type
    TFloatType FloatType = ftDouble;         // float
    int MaxLength = 0;                       // short string
    std::int64_t MinInt64Value = 0;          // int64
    std::int64_t MaxInt64Value = 0;
    PTypeInfo ParentInfo = nullptr;          // class, interface: the parent (null for none)
    std::string UnitName;                    // class, interface, dynamic array
    std::string ClassName;                   // class
    std::vector<TPropInfo> Properties;       // class: its own published properties
    std::vector<PTypeInfo> Interfaces;       // class: the interfaces it implements
    TMethodKind MethodKind = mkProcedure;    // method
    std::vector<TParamInfo> Params;          // method
    std::string ResultType;                  // method that is a function
    TIntfFlagsBase IntfFlags;                // interface
    TUclGUID Guid;                           // interface
    int IntfPropCount = 0;                   // interface
    int ElementSize = 0;                     // dynamic array
    PTypeInfo ElementType = nullptr;         // dynamic array: null for none
    bool ElementsNeedCleanup = false;        // dynamic array
    int VarType = -1;                        // dynamic array: the variant type of an element
};

// A type-information record. A name beginning with "." marks a type without a name of its own.
struct TTypeInfo {
    TTypeKind Kind = tkUnknown;
    std::string Name;
    TTypeData Data;
};

// Builders of type records. Invalid descriptions (an empty name list, a range outside the
// base, a set element that is not ordinal or lies outside 0..255) raise EUclRTTIError.
TTypeInfo EnumerationTypeInfo(std::string name, std::vector<std::string> names, std::string unitName);
TTypeInfo EnumerationSubrangeTypeInfo(std::string name, const TTypeInfo& base, int minValue, int maxValue);
// tkInteger, tkChar or tkWChar.
TTypeInfo OrdinalRangeTypeInfo(TTypeKind kind, std::string name, TOrdType ordType, int minValue, int maxValue);
TTypeInfo SetTypeInfo(std::string name, const TTypeInfo& elementType);
TTypeInfo FloatTypeInfo(std::string name, TFloatType floatType);
TTypeInfo ShortStringTypeInfo(std::string name, int maxLength);
TTypeInfo Int64TypeInfo(std::string name, std::int64_t minValue, std::int64_t maxValue);
// A class with its own published properties (the parent's come from the parent's record).
TTypeInfo ClassTypeInfo(std::string name, const TTypeInfo* parent, std::string unitName,
                        std::vector<TPropInfo> properties, std::vector<PTypeInfo> interfaces = {});
// A method (event) type.
TTypeInfo MethodTypeInfo(std::string name, TMethodKind kind, std::vector<TParamInfo> params,
                         std::string resultType = {});
// An interface; ifHasGuid is added to the flags when `guid` is given.
TTypeInfo InterfaceTypeInfo(std::string name, const TTypeInfo* parent, std::string unitName,
                            std::optional<TUclGUID> guid, TIntfFlagsBase flags = {}, int propertyCount = 0);
// A dynamic array; a null element type is one the record does not name.
TTypeInfo DynArrayTypeInfo(std::string name, int elementSize, const TTypeInfo* elementType,
                           bool elementsNeedCleanup, int varType, std::string unitName);
// Any other kind, described by kind and name alone.
TTypeInfo PlainTypeInfo(TTypeKind kind, std::string name);

// "{%.8x-%.4x-%.4x-%.2x%.2x-%.2x%.2x%.2x%.2x%.2x%.2x}" in lower-case hexadecimal.
std::string GuidToText(const TUclGUID& guid);

// Where the describe-yourself operations write; indentation is the writer's business.
class IUclInfoWriter {
public:
    virtual ~IUclInfoWriter() = default;
    virtual void Write(std::string_view text) = 0;
    virtual void Writeln(std::string_view text = {}) = 0;
    virtual void Indent() = 0;
    virtual void Outdent() = 0;
};

class IUclBaseInfo {
public:
    virtual ~IUclBaseInfo() = default;
    // Label lines ("Name: ...", "Type kind: ...", ...), the parent's lines first.
    virtual void WriteDescription(IUclInfoWriter& writer) const = 0;
    // The type in declaration syntax ("TSize = (sSmall, sLarge); // otUByte").
    virtual void WriteDeclaration(IUclInfoWriter& writer) const = 0;
};

class IUclTypeInfo : public virtual IUclBaseInfo {
public:
    virtual std::string TypeNameOf() const = 0;
    virtual const TTypeData& TypeData() const = 0;
    virtual PTypeInfo TypeInfo() const = 0;
    virtual TTypeKind KindOfType() const = 0;
};

class IUclOrdinalTypeInfo : public virtual IUclTypeInfo {
public:
    virtual TOrdType OrdinalStorage() const = 0;
};

class IUclOrdinalRangeTypeInfo : public virtual IUclOrdinalTypeInfo {
public:
    // Zero-extended for otULong storage, sign-extended otherwise.
    virtual std::int64_t LowestOrdinal() const = 0;
    virtual std::int64_t HighestOrdinal() const = 0;
};

class IUclEnumerationTypeInfo : public virtual IUclOrdinalRangeTypeInfo {
public:
    // The enumeration whose names this one uses (itself unless it is a subrange).
    virtual std::shared_ptr<IUclEnumerationTypeInfo> BaseEnumeration() const = 0;
    // The name of an ordinal of the base enumeration; "" for an ordinal it does not have.
    virtual std::string ValueName(std::int64_t ordinal) const = 0;
    virtual std::string DeclaringUnitName() const = 0;
    // The ordinal within LowestOrdinal..HighestOrdinal whose name matches without regard to
    // case, searching from the highest down; -1 when none does.
    virtual std::int64_t IndexOfValueName(std::string_view name) const = 0;
};

class IUclSetTypeWrapper : public virtual IUclOrdinalTypeInfo {
public:
    virtual std::shared_ptr<IUclOrdinalTypeInfo> ElementTypeInfo() const = 0;
    // Appends the members to `list`: names for an enumeration element type, decimal numbers
    // otherwise; with `ranges`, a run of two or more members as one item "First .. Last".
    virtual void SetMembersToList(const void* value, bool ranges, TStrings& list) const = 0;
    // Sets `value` to the members the items name ("Name", "Low .. High"; blanks around them
    // ignored, empty items skipped). An unknown name raises EUclRTTIError "Unknown identifier
    // '%s'." with the members before it already set; a bad number raises EConvertError.
    // Numbers outside Min..Max are ignored.
    virtual void ListToSetMembers(void* value, const TStrings& list) const = 0;
};

class IUclFloatTypeInfo : public virtual IUclTypeInfo {
public:
    virtual TFloatType FloatType() const = 0;
};

class IUclStringTypeInfo : public virtual IUclTypeInfo {
public:
    virtual int MaxLength() const = 0;
};

class IUclInt64TypeInfo : public virtual IUclTypeInfo {
public:
    virtual std::int64_t MinValue() const = 0;
    virtual std::int64_t MaxValue() const = 0;
};


// One published property of a class.
class IUclPropInfo : public virtual IUclBaseInfo {
public:
    virtual std::shared_ptr<IUclTypeInfo> PropType() const = 0;
    virtual std::uint32_t ReaderValue() const = 0;   // raw specifiers
    virtual std::uint32_t WriterValue() const = 0;
    virtual std::uint32_t StoredValue() const = 0;
    virtual std::int32_t Index() const = 0;
    virtual std::int32_t Default() const = 0;
    virtual std::int16_t NameIndex() const = 0;
    virtual std::string Name() const = 0;
    virtual TPropSpecifierKind ReaderType() const = 0;
    virtual TPropSpecifierKind WriterType() const = 0;
    virtual TPropSpecifierKind StoredType() const = 0;
    // The field offset, the signed slot offset, the method address or the constant.
    virtual std::int64_t ReaderAddress() const = 0;
    virtual std::int64_t WriterAddress() const = 0;
    virtual std::int64_t StoredAddress() const = 0;
    // Whether the property is stored for `instance`: a constant, a boolean field of the
    // instance, or the answer of the stored method.
    virtual bool IsStored(const void* instance) const = 0;
    virtual bool HasDefault() const = 0;
    virtual bool HasIndex() const = 0;
};

class IUclClassTypeInfo : public virtual IUclTypeInfo {
public:
    virtual std::string ClassRef() const = 0;
    // Null for a class without a parent.
    virtual std::shared_ptr<IUclClassTypeInfo> Parent() const = 0;
    // The published properties with the parents' ones.
    virtual int TotalPropertyCount() const = 0;
    virtual int PropertyCount() const = 0;
    // Own property i (0-based); raises EUclRTTIError for an index out of range.
    virtual std::shared_ptr<IUclPropInfo> Properties(int index) const = 0;
    virtual std::string UnitName() const = 0;
};

// One parameter of a method type.
class IUclEventParamInfo {
public:
    virtual ~IUclEventParamInfo() = default;
    virtual TParamFlags Flags() const = 0;
    virtual std::string Name() const = 0;
    // Bytes of the parameter's entry: flags, then name and type name as length-prefixed strings.
    virtual int RecSize() const = 0;
    virtual std::string TypeName() const = 0;
    virtual const void* Param() const = 0;
};

class IUclEventTypeInfo : public virtual IUclTypeInfo {
public:
    virtual TMethodKind MethodKind() const = 0;
    virtual int ParameterCount() const = 0;
    // Parameter i (0-based); raises EUclRTTIError for an index out of range.
    virtual std::shared_ptr<IUclEventParamInfo> Parameters(int index) const = 0;
    virtual std::string ResultTypeName() const = 0;
};

class IUclInterfaceTypeInfo : public virtual IUclTypeInfo {
public:
    // Null for an interface without a parent.
    virtual std::shared_ptr<IUclInterfaceTypeInfo> Parent() const = 0;
    virtual TIntfFlagsBase Flags() const = 0;
    virtual TUclGUID GUID() const = 0;
    virtual int PropertyCount() const = 0;
    virtual std::string UnitName() const = 0;
};

class IUclDynArrayTypeInfo : public virtual IUclTypeInfo {
public:
    virtual int ElementSize() const = 0;
    // Null when the record names no element type.
    virtual std::shared_ptr<IUclTypeInfo> ElementTypeInfo() const = 0;
    virtual bool ElementsNeedCleanup() const = 0;
    virtual int VarType() const = 0;
    virtual std::string UnitName() const = 0;
};

// The wrapper for the record's kind; the record must outlive it.
std::shared_ptr<IUclTypeInfo> WrapTypeInfo(const TTypeInfo& typeInfo);

// Bytes of a value of the set type.
int SetValueSize(const TTypeInfo& setType);
// "[A, B]" with `brackets`, "A, B" without (an empty set gives "[]" or ""); with `ranges`
// runs of members as "A .. C". Raises EUclRTTIError when `setType` is not a set type.
std::string SetValueToText(const TTypeInfo& setType, const void* value, bool brackets, bool ranges = false);
// Splits `text` at commas; when it begins with "[", that and the last character of the text
// are dropped. Then as IUclSetTypeWrapper::ListToSetMembers. An empty text gives the empty set.
void TextToSetValue(const TTypeInfo& setType, void* value, std::string_view text);

// The same for sets held as TSet<E>, whose bit v stands for ordinal v.
std::uint64_t SetValueToBits(const TTypeInfo& setType, const void* value);
void SetBitsToValue(const TTypeInfo& setType, std::uint64_t bits, void* value);

template <class E>
std::string SetValueToText(const TTypeInfo& setType, TSet<E> value, bool brackets, bool ranges = false)
{
    std::uint8_t bytes[32] = {};
    SetBitsToValue(setType, value.Bits(), bytes);
    return SetValueToText(setType, bytes, brackets, ranges);
}

template <class E>
void TextToSetValue(const TTypeInfo& setType, TSet<E>& value, std::string_view text)
{
    std::uint8_t bytes[32] = {};
    try {
        TextToSetValue(setType, static_cast<void*>(bytes), text);
    } catch (...) {
        // why: an unknown name leaves the members before it set, as with a raw set value
        value = TSet<E>::FromBits(SetValueToBits(setType, bytes));
        throw;
    }
    value = TSet<E>::FromBits(SetValueToBits(setType, bytes));
}

// The name of the enumeration value at `value`, read with the type's storage width and sign;
// "Value out of range (ordinal=N)." for a value outside the type's range.
std::string OrdinalValueToText(const TTypeInfo& enumerationType, const void* value);

// Bit n (0..255) of a byte buffer lives in byte n / 8 at bit n % 8.
void SetBitInBuffer(void* buffer, int bit);
bool TestBitInBuffer(const void* buffer, int bit);
