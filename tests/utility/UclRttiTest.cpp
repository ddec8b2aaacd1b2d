// Type information: set values to text and back (names, numbers, ranges, odd element ranges),
// the wrapper for each kind, enumeration names, and the describe-yourself output.

#include "utility/UclRtti.h"

#include "Platform/core/Exceptions.h"
#include "Platform/text/Format.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <string>
#include <vector>

namespace {

enum TTestDockStyle { dsNormal, dsVC, dsVID, dsVSNET, dsClassic };
using TTestDockStyles = TSet<TTestDockStyle>;

const TTypeInfo& DockStyleInfo()
{
    static const TTypeInfo info =
        EnumerationTypeInfo("TDockStyle", {"dsNormal", "dsVC", "dsVID", "dsVSNET", "dsClassic"}, "ExDock");
    return info;
}

const TTypeInfo& DockStylesInfo()
{
    static const TTypeInfo info = SetTypeInfo("TDockStyles", DockStyleInfo());
    return info;
}

// e0 .. e23, cut to e3 .. e20: a set over it starts at bit 3 of its first byte.
const TTypeInfo& LettersInfo()
{
    static const TTypeInfo info = [] {
        std::vector<std::string> names;
        for (int i = 0; i < 24; ++i)
            names.push_back("e" + std::to_string(i));
        return EnumerationTypeInfo("TLetters", names, "Letters");
    }();
    return info;
}

const TTypeInfo& InnerLettersInfo()
{
    static const TTypeInfo info = EnumerationSubrangeTypeInfo("TInnerLetters", LettersInfo(), 3, 20);
    return info;
}

const TTypeInfo& InnerLetterSetInfo()
{
    static const TTypeInfo info = SetTypeInfo("TInnerLetterSet", InnerLettersInfo());
    return info;
}

const TTypeInfo& SmallIntsInfo()
{
    static const TTypeInfo info = OrdinalRangeTypeInfo(tkInteger, "TSmall", otUByte, 10, 40);
    return info;
}

const TTypeInfo& SmallIntSetInfo()
{
    static const TTypeInfo info = SetTypeInfo("TSmallSet", SmallIntsInfo());
    return info;
}

const TTypeInfo& UpperCharsInfo()
{
    static const TTypeInfo info = OrdinalRangeTypeInfo(tkChar, "TUpper", otUByte, 'A', 'Z');
    return info;
}

const TTypeInfo& UpperCharSetInfo()
{
    static const TTypeInfo info = SetTypeInfo("TUpperSet", UpperCharsInfo());
    return info;
}

// A set value as raw bytes of exactly the set's size, so that a stray write shows under ASan.
struct SetValue {
    explicit SetValue(const TTypeInfo& type) : Type(type), Bytes(static_cast<size_t>(SetValueSize(type))) {}
    const TTypeInfo& Type;
    std::vector<std::uint8_t> Bytes;

    std::string Text(bool brackets = true, bool ranges = false) const
    {
        return SetValueToText(Type, Bytes.data(), brackets, ranges);
    }
    void Read(std::string_view text) { TextToSetValue(Type, Bytes.data(), text); }
};

class LineWriter : public IUclInfoWriter {
public:
    void Write(std::string_view text) override { FPending += text; }
    void Writeln(std::string_view text) override
    {
        Lines.push_back(std::string(static_cast<size_t>(FIndent) * 2, ' ') + FPending + std::string(text));
        FPending.clear();
    }
    void Indent() override { ++FIndent; }
    void Outdent() override { --FIndent; }
    std::vector<std::string> Lines;

private:
    std::string FPending;
    int FIndent = 0;
};

void ExpectRttiError(const std::function<void()>& call, const std::string& message)
{
    try {
        call();
        ADD_FAILURE() << "no exception";
    } catch (const EUclRTTIError& e) {
        EXPECT_EQ(e.Message(), message);
    }
}

} // namespace

TEST(UclRtti, SetValueToTextWritesMemberNames)
{
    struct Case {
        TTestDockStyles Members;
        bool Brackets, Ranges;
        std::string Expected;
    };
    const std::vector<Case> cases = {
        {{}, true, false, "[]"},
        {{}, false, false, ""},
        {{dsNormal, dsVID}, true, false, "[dsNormal, dsVID]"},
        {{dsNormal, dsVID}, false, false, "dsNormal, dsVID"},
        {{dsNormal, dsVC, dsVID}, true, false, "[dsNormal, dsVC, dsVID]"},
        {{dsNormal, dsVC, dsVID}, true, true, "[dsNormal .. dsVID]"},
        {{dsNormal, dsVC, dsVID, dsClassic}, true, true, "[dsNormal .. dsVID, dsClassic]"},
        {{dsVC, dsClassic}, true, true, "[dsVC, dsClassic]"},
        {{dsVSNET, dsClassic}, false, true, "dsVSNET .. dsClassic"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Expected);
        EXPECT_EQ(SetValueToText(DockStylesInfo(), c.Members, c.Brackets, c.Ranges), c.Expected);
    }
}

TEST(UclRtti, TextToSetValueReadsNamesRangesAndBlanks)
{
    struct Case {
        std::string Text;
        TTestDockStyles Expected;
    };
    const std::vector<Case> cases = {
        {"[]", {}},
        {"", {}},
        {"[ ]", {}},
        {"[dsVC]", {dsVC}},
        {"dsNormal,dsVID", {dsNormal, dsVID}},
        {"[DSNORMAL, dsvid]", {dsNormal, dsVID}},
        {"[  dsNormal  ,dsClassic ]", {dsNormal, dsClassic}},
        {"[dsVC .. dsVSNET]", {dsVC, dsVID, dsVSNET}},
        {"[dsVC..dsVID, dsClassic]", {dsVC, dsVID, dsClassic}},
        {"[dsVSNET .. dsVC]", {}},            // a reversed range sets nothing
        {"[dsVC,,dsVID]", {dsVC, dsVID}},     // empty items are skipped
        {", dsVC", {dsVC}},                   // an empty first piece: no bracket is looked for
        {"[dsVC, dsVID)", {dsVC, dsVID}},     // the last character goes, whatever it is
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Text);
        TTestDockStyles value{dsVSNET};
        TextToSetValue(DockStylesInfo(), value, c.Text);
        EXPECT_EQ(SetValueToText(DockStylesInfo(), value, true), SetValueToText(DockStylesInfo(), c.Expected, true));
    }
}

TEST(UclRtti, UnknownNameRaisesWithTheMembersBeforeItSet)
{
    TTestDockStyles value;
    ExpectRttiError([&] { TextToSetValue(DockStylesInfo(), value, "[dsVC, dsNone, dsVID]"); },
                    "Unknown identifier 'dsNone'.");
    EXPECT_EQ(value, TTestDockStyles{dsVC});
    ExpectRttiError([&] { TextToSetValue(DockStylesInfo(), value, "[low .. high]"); }, "Unknown identifier 'low'.");
    ExpectRttiError([&] { TextToSetValue(DockStylesInfo(), value, ",[dsVC]"); }, "Unknown identifier '[dsVC]'.");
}

TEST(UclRtti, NumberSetsReadDecimalsAndIgnoreNumbersOutsideTheRange)
{
    struct Case {
        std::string Text;
        std::string Expected;
    };
    const std::vector<Case> cases = {
        {"[10, 12..14, 40]", "[10, 12, 13, 14, 40]"},
        {"[8 .. 11]", "[10, 11]"},
        {"[-5, 300, 1000..2000]", "[]"},
        {"[39 .. 400]", "[39, 40]"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Text);
        SetValue value(SmallIntSetInfo());
        value.Read(c.Text);
        EXPECT_EQ(value.Text(), c.Expected);
    }
    SetValue value(SmallIntSetInfo());
    EXPECT_THROW(value.Read("[12, twelve]"), EConvertError);
    EXPECT_EQ(value.Text(), "[12]");
}

TEST(UclRtti, SetsNotStartingOnAByteBoundarySurviveTextAndBack)
{
    std::mt19937 rng(4);
    for (const TTypeInfo* type : {&InnerLetterSetInfo(), &SmallIntSetInfo(), &UpperCharSetInfo()}) {
        SCOPED_TRACE(type->Name);
        for (int i = 0; i < 200; ++i) {
            SetValue value(*type), back(*type);
            const int min = type->Data.CompType->Data.MinValue, max = type->Data.CompType->Data.MaxValue;
            for (int v = min; v <= max; ++v)
                if (rng() % 2)
                    SetBitInBuffer(value.Bytes.data(), v - min + min % 8);
            const bool ranges = i % 2 != 0;
            back.Read(value.Text(true, ranges));
            ASSERT_EQ(back.Bytes, value.Bytes) << value.Text(true, ranges);
        }
    }
    // The first member sits at bit Min mod 8 of the first byte.
    SetValue letters(InnerLetterSetInfo());
    EXPECT_EQ(letters.Bytes.size(), 3u);
    letters.Read("[e3, e20]");
    EXPECT_EQ(letters.Bytes, (std::vector<std::uint8_t>{0x08, 0x00, 0x10}));
    EXPECT_EQ(letters.Text(), "[e3, e20]");
}

TEST(UclRtti, WrapTypeInfoGivesTheWrapperOfTheKind)
{
    const TTypeInfo klass = PlainTypeInfo(tkRecord, "TFoo");
    const TTypeInfo text = ShortStringTypeInfo("TName", 20);
    const TTypeInfo real = FloatTypeInfo("TReal", ftExtended);
    const TTypeInfo big = Int64TypeInfo("TBig", -5, 1LL << 40);

    EXPECT_TRUE(std::dynamic_pointer_cast<IUclEnumerationTypeInfo>(WrapTypeInfo(DockStyleInfo())));
    EXPECT_TRUE(std::dynamic_pointer_cast<IUclSetTypeWrapper>(WrapTypeInfo(DockStylesInfo())));
    const auto range = std::dynamic_pointer_cast<IUclOrdinalRangeTypeInfo>(WrapTypeInfo(SmallIntsInfo()));
    ASSERT_TRUE(range);
    EXPECT_FALSE(std::dynamic_pointer_cast<IUclEnumerationTypeInfo>(range));
    EXPECT_EQ(range->LowestOrdinal(), 10);
    EXPECT_EQ(range->HighestOrdinal(), 40);
    EXPECT_EQ(std::dynamic_pointer_cast<IUclStringTypeInfo>(WrapTypeInfo(text))->MaxLength(), 20);
    EXPECT_EQ(std::dynamic_pointer_cast<IUclFloatTypeInfo>(WrapTypeInfo(real))->FloatType(), ftExtended);
    EXPECT_EQ(std::dynamic_pointer_cast<IUclInt64TypeInfo>(WrapTypeInfo(big))->MaxValue(), 1LL << 40);
    const auto plain = WrapTypeInfo(klass);
    EXPECT_FALSE(std::dynamic_pointer_cast<IUclOrdinalTypeInfo>(plain));
    EXPECT_EQ(plain->KindOfType(), tkRecord);
    EXPECT_EQ(plain->TypeNameOf(), "TFoo");
    EXPECT_EQ(plain->TypeInfo(), &klass);

    // Ordinals of unsigned 32-bit storage are zero-extended, all others sign-extended.
    const TTypeInfo cardinal = OrdinalRangeTypeInfo(tkInteger, "Cardinal", otULong, 0, -1);
    const TTypeInfo shortInt = OrdinalRangeTypeInfo(tkInteger, "ShortInt", otSByte, -128, 127);
    EXPECT_EQ(std::dynamic_pointer_cast<IUclOrdinalRangeTypeInfo>(WrapTypeInfo(cardinal))->HighestOrdinal(),
              4294967295LL);
    EXPECT_EQ(std::dynamic_pointer_cast<IUclOrdinalRangeTypeInfo>(WrapTypeInfo(shortInt))->LowestOrdinal(), -128);
}

TEST(UclRtti, EnumerationNamesComeFromTheBaseEnumeration)
{
    const auto set = std::dynamic_pointer_cast<IUclSetTypeWrapper>(WrapTypeInfo(InnerLetterSetInfo()));
    const auto element = std::dynamic_pointer_cast<IUclEnumerationTypeInfo>(set->ElementTypeInfo());
    ASSERT_TRUE(element);
    EXPECT_EQ(element->TypeNameOf(), "TInnerLetters");
    EXPECT_EQ(element->LowestOrdinal(), 3);
    EXPECT_EQ(element->HighestOrdinal(), 20);
    EXPECT_EQ(element->ValueName(3), "e3");
    EXPECT_EQ(element->ValueName(23), "e23");   // the base has it
    EXPECT_EQ(element->ValueName(24), "");
    EXPECT_EQ(element->ValueName(-1), "");
    EXPECT_EQ(element->DeclaringUnitName(), "Letters");
    EXPECT_EQ(element->BaseEnumeration()->TypeNameOf(), "TLetters");
    EXPECT_EQ(element->IndexOfValueName("E7"), 7);
    EXPECT_EQ(element->IndexOfValueName("e2"), -1);   // outside the subrange
    EXPECT_EQ(element->IndexOfValueName("x"), -1);

    const std::uint8_t inRange = 2, outOfRange = 7;
    EXPECT_EQ(OrdinalValueToText(DockStyleInfo(), &inRange), "dsVID");
    EXPECT_EQ(OrdinalValueToText(DockStyleInfo(), &outOfRange), "Value out of range (ordinal=7).");
}

TEST(UclRtti, DescriptionsAndDeclarations)
{
    const TTypeInfo anonymous = EnumerationTypeInfo(".1", {"alpha", "beta"}, "Anon");
    const TTypeInfo anonymousSet = SetTypeInfo("TAnonSet", anonymous);
    const TTypeInfo controls = OrdinalRangeTypeInfo(tkChar, "TControls", otUByte, 0, 31);
    const TTypeInfo klass = PlainTypeInfo(tkRecord, "TFoo");
    const TTypeInfo text = ShortStringTypeInfo("TName", 20);
    const TTypeInfo big = Int64TypeInfo("TBig", -5, 5);
    struct Case {
        const TTypeInfo* Type;
        std::string Declaration;
    };
    const std::vector<Case> cases = {
        {&DockStyleInfo(), "TDockStyle = (dsNormal, dsVC, dsVID, dsVSNET, dsClassic); // otUByte"},
        {&InnerLettersInfo(), "TInnerLetters = e3 .. e20; // otUByte"},
        {&DockStylesInfo(), "TDockStyles = set of TDockStyle; // otUByte"},
        {&anonymousSet, "TAnonSet = set of (alpha, beta); // otUByte"},
        {&SmallIntsInfo(), "TSmall = 10..40; // otUByte"},
        {&UpperCharsInfo(), "TUpper = 'A'..'Z'; // otUByte"},
        {&controls, "TControls = #0..#31; // otUByte"},
        {&klass, "// Declaration for 'TFoo' not supported."},
        {&text, "TName = string[20];"},
        {&big, "TBig = -5 .. 5;"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Type->Name);
        LineWriter writer;
        WrapTypeInfo(*c.Type)->WriteDeclaration(writer);
        EXPECT_EQ(writer.Lines, std::vector<std::string>{c.Declaration});
    }

    LineWriter writer;
    WrapTypeInfo(DockStyleInfo())->WriteDescription(writer);
    ASSERT_EQ(writer.Lines.size(), 8u);
    EXPECT_EQ(writer.Lines[0], "Name: TDockStyle");
    EXPECT_EQ(writer.Lines[1], "Type kind: tkEnumeration");
    EXPECT_EQ(writer.Lines[2].rfind("Type info: ", 0), 0u);
    EXPECT_EQ(std::vector<std::string>(writer.Lines.begin() + 3, writer.Lines.end()),
              (std::vector<std::string>{"Ordinal type: otUByte", "Min value: 0", "Max value: 4", "Unit name: ExDock",
                                        "Names: (dsNormal, dsVC, dsVID, dsVSNET, dsClassic)"}));
}

TEST(UclRtti, BuildersRejectDescriptionsThatCannotBeRight)
{
    const TTypeInfo wide = OrdinalRangeTypeInfo(tkInteger, "TWide", otSWord, 0, 300);
    const TTypeInfo real = FloatTypeInfo("TReal", ftDouble);
    ExpectRttiError([&] { SetTypeInfo("TWideSet", wide); }, "Invalid type description 'TWideSet'");
    ExpectRttiError([&] { SetTypeInfo("TRealSet", real); }, "Invalid type description 'TRealSet'");
    ExpectRttiError([] { EnumerationTypeInfo("TEmpty", {}, "U"); }, "Invalid type description 'TEmpty'");
    ExpectRttiError([] { EnumerationSubrangeTypeInfo("TCut", DockStyleInfo(), 2, 9); },
                    "Invalid type description 'TCut'");
    ExpectRttiError([&] { SetValueSize(real); }, "'TReal' is not a set type");
}

namespace {

constexpr TUclGUID DemoGuid{0x0A1B2C3D, 0x4E5F, 0x6071, {0x82, 0x93, 0xA4, 0xB5, 0xC6, 0xD7, 0xE8, 0xF9}};

// A small family of described types: TObject <- TPersistent <- TComponent <- TDemoButton, the
// interfaces IUnknown <- IDispatch <- IDemo, two method types and dynamic arrays.
struct DescribedTypes {
    TTypeInfo Integer = OrdinalRangeTypeInfo(tkInteger, "Integer", otSLong, -2147483647 - 1, 2147483647);
    TTypeInfo Boolean = EnumerationTypeInfo("Boolean", {"False", "True"}, "System");
    TTypeInfo String = PlainTypeInfo(tkLString, "string");
    TTypeInfo IUnknown = InterfaceTypeInfo("IUnknown", nullptr, "System",
                                           TUclGUID{0, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}});
    TTypeInfo IDispatch = InterfaceTypeInfo("IDispatch", &IUnknown, "System",
                                            TUclGUID{0x00020400, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}}, {ifDispatch});
    TTypeInfo IDemo = InterfaceTypeInfo("IDemo", &IDispatch, "DemoUnit", DemoGuid, {}, 2);
    TTypeInfo DDemo = InterfaceTypeInfo("DDemo", &IDispatch, "DemoUnit", DemoGuid, {ifDispInterface, ifDispatch});
    TTypeInfo IPlain = InterfaceTypeInfo("IPlain", &IUnknown, "DemoUnit", std::nullopt);
    TTypeInfo TObject = ClassTypeInfo("TObject", nullptr, "System", {});
    TTypeInfo TPersistent = ClassTypeInfo("TPersistent", &TObject, "Classes", {});
    TTypeInfo TComponent = ClassTypeInfo("TComponent", &TPersistent, "Classes",
                                         {Property("Name", String, 0xFF000008u, 0x00401000u, 1),
                                          Property("Tag", Integer, 0xFF00000Cu, 0xFF00000Cu, 1, NoIndexOrDefault, 0)});
    TTypeInfo TDemoButton = ClassTypeInfo(
        "TDemoButton", &TComponent, "DemoUnit",
        {Property("Caption", String, 0xFF000010u, 0x00402468u, 0x0040ABCDu),
         Property("Width", Integer, 0xFE00FFF8u, 0xFF000014u, 0xFF000018u, 2, 64),
         Property("Visible", Boolean, 0xFF00001Cu, 0, 0)},
        {&IDemo, &IPlain});
    TTypeInfo TPlainObject = ClassTypeInfo("TPlainObject", &TObject, "DemoUnit", {}, {&IDemo});

    TTypeInfo TNotifyEvent = MethodTypeInfo("TNotifyEvent", mkProcedure, {{{}, "Sender", "TObject"}});
    TTypeInfo TFormatEvent = MethodTypeInfo("TFormatEvent", mkFunction,
                                            {{{pfConst}, "Fmt", "string"},
                                             {{pfConst, pfArray}, "Args", "TVarRec"},
                                             {{pfVar}, "Done", "Boolean"},
                                             {{pfOut}, "Text", "string"},
                                             {{pfVar, pfArray}, "Items", "Integer"},
                                             {{pfVar}, "Untyped", ""}},
                                            "Integer");
    TTypeInfo TSimpleEvent = MethodTypeInfo("TSimpleEvent", mkProcedure, {});

    TTypeInfo TIntegerArray = DynArrayTypeInfo("TIntegerArray", 4, &Integer, false, 3, "Types");
    TTypeInfo AnonymousColours = EnumerationTypeInfo(".2", {"red", "green"}, "DemoUnit");
    TTypeInfo TColourArray = DynArrayTypeInfo("TColourArray", 1, &AnonymousColours, false, 17, "DemoUnit");
    TTypeInfo TUnknownArray = DynArrayTypeInfo("TUnknownArray", 8, nullptr, true, -1, "DemoUnit");
    TTypeInfo AnonymousArray = DynArrayTypeInfo(".3", 4, &Integer, false, 3, "DemoUnit");
    TTypeInfo TNestedArray = DynArrayTypeInfo("TNestedArray", 4, &AnonymousArray, true, -1, "DemoUnit");

    static TPropInfo Property(std::string name, const TTypeInfo& type, std::uint32_t read, std::uint32_t write,
                              std::uint32_t stored, std::uint32_t index = NoIndexOrDefault,
                              std::uint32_t defaultValue = NoIndexOrDefault)
    {
        TPropInfo info;
        info.Name = std::move(name);
        info.PropType = &type;
        info.GetProc = read;
        info.SetProc = write;
        info.StoredProc = stored;
        info.Index = index;
        info.Default = defaultValue;
        return info;
    }
};

std::vector<std::string> Declaration(const TTypeInfo& type)
{
    LineWriter writer;
    WrapTypeInfo(type)->WriteDeclaration(writer);
    return writer.Lines;
}

// The description without its third line, which holds the record's address.
std::vector<std::string> Description(const TTypeInfo& type)
{
    LineWriter writer;
    WrapTypeInfo(type)->WriteDescription(writer);
    EXPECT_GE(writer.Lines.size(), 3u);
    EXPECT_EQ(writer.Lines[2], Format("Type info: %p", {static_cast<const void*>(&type)}));
    writer.Lines.erase(writer.Lines.begin() + 2);
    return writer.Lines;
}

} // namespace

TEST(UclRtti, GuidToTextWritesLowerCaseHexInRegistryForm)
{
    EXPECT_EQ(GuidToText(DemoGuid), "{0a1b2c3d-4e5f-6071-8293-a4b5c6d7e8f9}");
    EXPECT_EQ(GuidToText(TUclGUID{}), "{00000000-0000-0000-0000-000000000000}");
    EXPECT_EQ(GuidToText(TUclGUID{0xFFFFFFFF, 0xFFFF, 0x1, {0, 0, 0, 0, 0, 0, 0, 0xFF}}),
              "{ffffffff-ffff-0001-0000-0000000000ff}");
}

TEST(UclRtti, ClassWrapperReadsPropertiesAndTheirSpecifiers)
{
    const DescribedTypes t;
    const auto button = std::dynamic_pointer_cast<IUclClassTypeInfo>(WrapTypeInfo(t.TDemoButton));
    ASSERT_TRUE(button);
    EXPECT_EQ(button->ClassRef(), "TDemoButton");
    EXPECT_EQ(button->UnitName(), "DemoUnit");
    EXPECT_EQ(button->PropertyCount(), 3);
    EXPECT_EQ(button->TotalPropertyCount(), 5) << "the two of TComponent count too";
    EXPECT_EQ(button->Parent()->TypeNameOf(), "TComponent");
    EXPECT_EQ(button->Parent()->Parent()->Parent()->TypeNameOf(), "TObject");
    EXPECT_FALSE(button->Parent()->Parent()->Parent()->Parent());
    ExpectRttiError([&] { button->Properties(3); }, "Property index 3 out of range");

    struct Case {
        int Property;
        TPropSpecifierKind Read, Write, Stored;
        std::int64_t ReadAt, WriteAt, StoredAt;
        bool HasIndex, HasDefault;
    };
    using K = TPropSpecifierKind;
    const std::vector<Case> cases = {
        {0, K::Field, K::StaticMethod, K::StaticMethod, 0x10, 0x402468, 0x40ABCD, false, false},
        {1, K::VirtualMethod, K::Field, K::Field, -8, 0x14, 0x18, true, true},
        {2, K::Field, K::Constant, K::Constant, 0x1C, 0, 0, false, false},
    };
    for (const Case& c : cases) {
        const auto property = button->Properties(c.Property);
        SCOPED_TRACE(property->Name());
        EXPECT_EQ(property->ReaderType(), c.Read);
        EXPECT_EQ(property->WriterType(), c.Write);
        EXPECT_EQ(property->StoredType(), c.Stored);
        EXPECT_EQ(property->ReaderAddress(), c.ReadAt);
        EXPECT_EQ(property->WriterAddress(), c.WriteAt);
        EXPECT_EQ(property->StoredAddress(), c.StoredAt);
        EXPECT_EQ(property->HasIndex(), c.HasIndex);
        EXPECT_EQ(property->HasDefault(), c.HasDefault);
    }
    const auto width = button->Properties(1);
    EXPECT_EQ(width->Index(), 2);
    EXPECT_EQ(width->Default(), 64);
    EXPECT_EQ(width->PropType()->TypeNameOf(), "Integer");

    // Stored: a constant, a boolean field of the instance, or the answer of a method.
    std::uint8_t instance[0x20] = {};
    EXPECT_FALSE(button->Properties(2)->IsStored(instance));
    EXPECT_FALSE(width->IsStored(instance));
    instance[0x18] = 1;
    EXPECT_TRUE(width->IsStored(instance));
    TTypeInfo asked = t.TDemoButton;
    asked.Data.Properties[0].StoredMethod = [&](const void* self) { return self == instance; };
    const auto caption = std::dynamic_pointer_cast<IUclClassTypeInfo>(WrapTypeInfo(asked))->Properties(0);
    EXPECT_TRUE(caption->IsStored(instance));
    EXPECT_FALSE(caption->IsStored(nullptr));
}

TEST(UclRtti, ClassDescriptionsAndDeclarations)
{
    const DescribedTypes t;
    EXPECT_EQ(Declaration(t.TDemoButton),
              (std::vector<std::string>{
                  "TDemoButton = class(TComponent, ['{0a1b2c3d-4e5f-6071-8293-a4b5c6d7e8f9}'], "
                  "['{00000000-0000-0000-0000-000000000000}']) // unit DemoUnit",
                  "published",
                  "  property Caption: string read [field $0000000000000010] write [static method $0000000000402468]"
                  " stored = [static method $000000000040ABCD];",
                  "  property Width: Integer index 2 read [virtual method $FFFFFFFFFFFFFFF8] write [field "
                  "$0000000000000014] stored = [field $0000000000000018] default 64;",
                  "  property Visible: Boolean read [field $000000000000001C] stored = False;",
                  "end;"}));
    // A class right below TObject names neither parent nor interfaces; no properties, no section.
    EXPECT_EQ(Declaration(t.TPlainObject),
              (std::vector<std::string>{"TPlainObject = class // unit DemoUnit", "end;"}));
    EXPECT_EQ(Declaration(t.TObject), (std::vector<std::string>{"TObject = class // unit System", "end;"}));

    EXPECT_EQ(Description(t.TComponent),
              (std::vector<std::string>{"Name: TComponent", "Type kind: tkClass", "Class name: TComponent",
                                        "Parent: TPersistent", "Unit name: Classes", "Property count: 2 (2)",
                                        "  Name: string", "    [read field $0000000000000008]",
                                        "    [write static method $0000000000401000]", "    [stored=True]",
                                        "  Tag: Integer", "    [default 0]", "    [read field $000000000000000C]",
                                        "    [write field $000000000000000C]", "    [stored=True]"}));
    const std::vector<std::string> button = Description(t.TDemoButton);
    ASSERT_GE(button.size(), 11u);
    EXPECT_EQ(button[5], "Property count: 5 (3)");
    EXPECT_EQ(std::vector<std::string>(button.begin() + 10, button.begin() + 16),
              (std::vector<std::string>{"  Width: Integer", "    [index 2]", "    [default 64]",
                                        "    [read virtual method $FFFFFFFFFFFFFFF8]",
                                        "    [write field $0000000000000014]", "    [stored=field $0000000000000018]"}));
}

TEST(UclRtti, EventTypesWithTheirParameters)
{
    const DescribedTypes t;
    const auto format = std::dynamic_pointer_cast<IUclEventTypeInfo>(WrapTypeInfo(t.TFormatEvent));
    ASSERT_TRUE(format);
    EXPECT_EQ(format->MethodKind(), mkFunction);
    EXPECT_EQ(format->ParameterCount(), 6);
    EXPECT_EQ(format->ResultTypeName(), "Integer");
    const auto args = format->Parameters(1);
    EXPECT_EQ(args->Name(), "Args");
    EXPECT_EQ(args->TypeName(), "TVarRec");
    EXPECT_EQ(args->Flags(), (TParamFlags{pfConst, pfArray}));
    EXPECT_EQ(args->RecSize(), 1 + 5 + 8);
    ExpectRttiError([&] { format->Parameters(6); }, "Parameter index 6 out of range");

    struct Case {
        const TTypeInfo* Type;
        std::string Declaration;
    };
    const std::vector<Case> cases = {
        {&t.TNotifyEvent, "TNotifyEvent = procedure(Sender: TObject) of object;"},
        {&t.TSimpleEvent, "TSimpleEvent = procedure of object;"},
        {&t.TFormatEvent, "TFormatEvent = function(const Fmt: string; const Args: array of const; var Done: Boolean; "
                          "out Text: string; var Items: array of Integer; var Untyped): Integer of object;"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Type->Name);
        EXPECT_EQ(Declaration(*c.Type), std::vector<std::string>{c.Declaration});
    }

    const std::vector<std::string> described = Description(t.TFormatEvent);
    ASSERT_EQ(described.size(), 2u + 2u + 6u * 3u + 5u + 1u);
    EXPECT_EQ(std::vector<std::string>(described.begin() + 2, described.begin() + 12),
              (std::vector<std::string>{"Method kind: mkFunction", "Parameter count: 6", "  Name: Fmt",
                                        "  Type: string", "  Flags: [pfConst]", "  ", "  Name: Args",
                                        "  Type: TVarRec", "  Flags: [pfConst, pfArray]", "  "}));
    EXPECT_EQ(described.back(), "Return type: Integer");
    EXPECT_EQ(Description(t.TSimpleEvent),
              (std::vector<std::string>{"Name: TSimpleEvent", "Type kind: tkMethod", "Method kind: mkProcedure",
                                        "Parameter count: 0"}));
}

TEST(UclRtti, InterfacesWithAndWithoutAGuid)
{
    const DescribedTypes t;
    const auto demo = std::dynamic_pointer_cast<IUclInterfaceTypeInfo>(WrapTypeInfo(t.IDemo));
    ASSERT_TRUE(demo);
    EXPECT_EQ(demo->Parent()->TypeNameOf(), "IDispatch");
    EXPECT_FALSE(demo->Parent()->Parent()->Parent());
    EXPECT_EQ(demo->Flags(), TIntfFlagsBase{ifHasGuid});
    EXPECT_EQ(GuidToText(demo->GUID()), GuidToText(DemoGuid));
    EXPECT_EQ(demo->PropertyCount(), 2);

    struct Case {
        const TTypeInfo* Type;
        std::vector<std::string> Declaration;
    };
    const std::vector<Case> cases = {
        {&t.IDemo, {"IDemo = interface(IDispatch) // unit DemoUnit", "  ['{0a1b2c3d-4e5f-6071-8293-a4b5c6d7e8f9}']", "end;"}},
        {&t.DDemo, {"DDemo = dispinterface(IDispatch) // unit DemoUnit", "  ['{0a1b2c3d-4e5f-6071-8293-a4b5c6d7e8f9}']", "end;"}},
        {&t.IDispatch, {"IDispatch = interface // unit System", "  ['{00020400-0000-0000-c000-000000000046}']", "end;"}},
        {&t.IPlain, {"IPlain = interface // unit DemoUnit", "end;"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Type->Name);
        EXPECT_EQ(Declaration(*c.Type), c.Declaration);
    }
    EXPECT_EQ(Description(t.DDemo),
              (std::vector<std::string>{"Name: DDemo", "Type kind: tkInterface",
                                        "GUID: {0a1b2c3d-4e5f-6071-8293-a4b5c6d7e8f9}",
                                        "Flags: [ifHasGuid, ifDispInterface, ifDispatch]", "Unit name: DemoUnit",
                                        "Parent: IDispatch", "Property count: 0"}));
}

TEST(UclRtti, DynamicArraysNameOrDeclareTheirElements)
{
    const DescribedTypes t;
    const auto integers = std::dynamic_pointer_cast<IUclDynArrayTypeInfo>(WrapTypeInfo(t.TIntegerArray));
    ASSERT_TRUE(integers);
    EXPECT_EQ(integers->ElementSize(), 4);
    EXPECT_EQ(integers->ElementTypeInfo()->TypeNameOf(), "Integer");
    EXPECT_FALSE(integers->ElementsNeedCleanup());
    EXPECT_EQ(integers->VarType(), 3);
    EXPECT_EQ(integers->UnitName(), "Types");
    EXPECT_FALSE(std::dynamic_pointer_cast<IUclDynArrayTypeInfo>(WrapTypeInfo(t.TUnknownArray))->ElementTypeInfo());

    struct Case {
        const TTypeInfo* Type;
        std::string Declaration;
    };
    const std::vector<Case> cases = {
        {&t.TIntegerArray, "TIntegerArray = array of Integer; // Unit Types"},
        {&t.TColourArray, "TColourArray = array of (red, green); // Unit DemoUnit"},
        {&t.TUnknownArray, "TUnknownArray = array of ???; // Unit DemoUnit"},
        {&t.TNestedArray, "TNestedArray = array of array of Integer; // Unit DemoUnit"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Type->Name);
        EXPECT_EQ(Declaration(*c.Type), std::vector<std::string>{c.Declaration});
    }
    EXPECT_EQ(Description(t.TUnknownArray),
              (std::vector<std::string>{"Name: TUnknownArray", "Type kind: tkDynArray", "Element size: 8",
                                        "Element type: ???", "Elements need clean up: True", "Variant type: -1",
                                        "Unit name: DemoUnit"}));
}

TEST(UclRtti, ClassAndInterfaceDescriptionsRefuseForeignParents)
{
    const DescribedTypes t;
    ExpectRttiError([&] { ClassTypeInfo("TOdd", &t.IDemo, "U", {}); }, "Invalid type description 'TOdd'");
    ExpectRttiError([&] { ClassTypeInfo("TOdd", &t.TObject, "U", {}, {&t.TObject}); },
                    "Invalid type description 'TOdd'");
    ExpectRttiError([&] { InterfaceTypeInfo("IOdd", &t.TObject, "U", std::nullopt); },
                    "Invalid type description 'IOdd'");
}
