// Type information: set values to text and back (names, numbers, ranges, odd element ranges),
// the wrapper for each kind, enumeration names, and the describe-yourself output.

#include "utility/UclRtti.h"

#include "Platform/core/Exceptions.h"

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
    const TTypeInfo klass = PlainTypeInfo(tkClass, "TFoo");
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
    EXPECT_EQ(plain->KindOfType(), tkClass);
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
    const TTypeInfo klass = PlainTypeInfo(tkClass, "TFoo");
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
