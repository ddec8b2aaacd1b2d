// The hierarchical settings store above its back end: path normalisation and routing, the
// typed values and the options that decide their text, sub-storages, batches and value kinds
// described by type descriptors. The INI store serves as the back end, kept in memory.

#include "ExLib/run/storage/ExAppStorage.h"
#include "ExLib/run/common/ExExceptions.h"
#include "ExLib/run/storage/ExIniStorage.h"
#include "ExLib/storage/StorageTestSupport.h"

#include "Platform/core/Exceptions.h"

#include <gtest/gtest.h>

namespace {

using V = std::vector<std::string>;

// An INI store without a file, counting the raw reads that reach it.
class MemoryStore : public TExAppIniFileStorage {
public:
    explicit MemoryStore(const std::string& content = {}) : TExAppIniFileStorage(nullptr)
    {
        SetLocation(TFileLocation::flCustom);
        SetContentText(content);
    }
    int RawReads = 0;

    std::string RawReadString(const std::string& path, const std::string& defaultValue) override
    {
        ++RawReads;
        return TExAppIniFileStorage::RawReadString(path, defaultValue);
    }
    int RawReadInteger(const std::string& path, int defaultValue) override
    {
        ++RawReads;
        return TExAppIniFileStorage::RawReadInteger(path, defaultValue);
    }
};

} // namespace

TEST(AppStoragePaths, NormalisationDropsEmptyPiecesAndClimbsWithDots)
{
    struct Case {
        V Paths;
        std::string Result;
    };
    const std::vector<Case> cases = {
        {{"A\\B", "..\\C"}, "A\\C"},
        {{"A", "\\B\\C"}, "B\\C"},
        {{"\\\\A\\\\\\B\\"}, "A\\B"},
        {{".."}, ""},
        {{"A\\B\\C", "...\\D"}, "A\\D"},       // three dots climb two levels
        {{"A", "."}, "A"},
        {{"A\\B", "..\\..\\..\\X"}, "X"},       // never above the root
        {{"A", "B", "\\C", "D"}, "C\\D"},       // the last absolute element starts over
        {{"\\A", "B"}, "A\\B"},                 // the first element's backslash changes nothing
        {{"  "}, ""},                           // only blanks
        {{"A B", "c"}, "A B\\c"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.Paths));
        EXPECT_EQ(TExCustomAppStorage::NormalizePathList(c.Paths), c.Result);
    }
}

TEST(AppStoragePaths, TheCurrentPathIsKeptNormalised)
{
    MemoryStore store;
    store.SetCurrentPath("A\\\\B\\.");
    EXPECT_EQ(store.CurrentPath(), "A\\B");
    store.SetCurrentPath("A\\..\\..\\..");
    EXPECT_EQ(store.CurrentPath(), "");
    store.SetCurrentPath("Forms\\Main");
    EXPECT_EQ(store.AbsolutePath("..\\Other\\Name"), "Forms\\Other\\Name");
    EXPECT_EQ(store.AbsolutePath("\\Width"), "Width");
    std::string section, name;
    store.SectionAndName("Left", section, name);
    EXPECT_EQ(section, "Forms\\Main");
    EXPECT_EQ(name, "Left");
}

TEST(AppStoragePaths, RelativeAndAbsolutePathsReachTheirSections)
{
    MemoryStore store("[Forms\\Other]\r\nName=other\r\n[Def]\r\nWidth=12\r\n");
    store.SetCurrentPath("Forms\\Main");
    EXPECT_EQ(store.GetString("..\\Other\\Name"), "other");
    // A value straight under the root lies in the INI store's default section.
    EXPECT_EQ(ErrorOf([&] { store.GetString("\\Width"); }), "TExAppIniFileStorage.ReadValue: Section undefined");
    store.SetDefaultSection("Def");
    EXPECT_EQ(store.GetInteger("\\Width"), 12);
}

TEST(AppStorageValues, AMissingValueGivesTheDefaultWithoutReadingIt)
{
    MemoryStore store("[S]\r\nThere=5\r\n");
    EXPECT_EQ(store.GetInteger("S\\Missing", 42), 42);
    EXPECT_EQ(store.GetString("S\\Missing", "dflt"), "dflt");
    EXPECT_TRUE(store.GetBoolean("S\\Missing", true));
    EXPECT_EQ(store.RawReads, 0);
    EXPECT_EQ(store.GetInteger("S\\There", 42), 5);
    EXPECT_EQ(store.RawReads, 1);
}

TEST(AppStorageValues, BooleansReadAnyWordOfTheListsOrANumber)
{
    MemoryStore store;
    struct Case {
        const char* Stored;
        bool Result;
    };
    const std::vector<Case> cases = {
        {"TRUE", true}, {"true", true}, {"Yes", true}, {"y", true}, {"1", true}, {"-3", true},
        {"FALSE", false}, {"no", false}, {"N", false}, {"0", false}, {"", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Stored);
        store.PutString("S\\B", c.Stored);
        EXPECT_EQ(store.GetBoolean("S\\B", !c.Result), c.Result);
    }
    store.PutString("S\\B", "maybe");
    EXPECT_EQ(ErrorOf([&] { store.GetBoolean("S\\B", true); }), "'maybe' is not a valid integer value");
    store.StorageOptions().SetDefaultIfReadConvertError(true);
    EXPECT_TRUE(store.GetBoolean("S\\B", true));
    EXPECT_FALSE(store.GetBoolean("S\\B", false));
}

TEST(AppStorageValues, BooleansAreWrittenAsTheFirstWordOfTheirList)
{
    MemoryStore store;
    TExCustomAppStorageOptions& options = store.StorageOptions();
    store.PutBoolean("S\\A", true);
    store.PutBoolean("S\\B", false);
    EXPECT_EQ(store.GetString("S\\A"), "TRUE");
    EXPECT_EQ(store.GetString("S\\B"), "FALSE");
    options.SetBooleanStringTrueValues(" on , yes");
    EXPECT_EQ(options.FirstTrueText(), "on");
    store.PutBoolean("S\\A", true);
    EXPECT_EQ(store.GetString("S\\A"), "on");
    EXPECT_TRUE(options.BooleanAsString());
    // A list that begins with a comma has no first word: booleans become numbers.
    options.SetBooleanStringTrueValues(", on");
    EXPECT_FALSE(options.BooleanAsString());
    store.PutBoolean("S\\A", true);
    store.PutBoolean("S\\B", false);
    EXPECT_EQ(store.GetString("S\\A"), "1");
    EXPECT_EQ(store.GetString("S\\B"), "0");
    options.SetBooleanAsString(true); // still no first word
    EXPECT_FALSE(options.BooleanAsString());
}

TEST(AppStorageValues, IntegersAndTheirConversionErrors)
{
    MemoryStore store("[S]\r\nEmpty=\r\nBad=abc\r\n");
    store.PutInteger("S\\N", -5);
    EXPECT_EQ(store.GetInteger("S\\N"), -5);
    EXPECT_EQ(store.GetInteger("S\\Empty", 7), 0);
    EXPECT_EQ(ErrorOf([&] { store.GetInteger("S\\Bad", 7); }), "'abc' is not a valid integer value");
    store.StorageOptions().SetDefaultIfReadConvertError(true);
    EXPECT_EQ(store.GetInteger("S\\Bad", 7), 7);
}

TEST(AppStorageValues, FloatsAsTenHexBytesOrAsText)
{
    MemoryStore store;
    store.SaveFloat("\\S\\One", 1.0L);
    EXPECT_EQ(store.GetString("S\\One"), "0000000000000080FF3F");
    EXPECT_EQ(store.LoadFloat("\\S\\One", 0), 1.0L);
    store.SaveFloat("\\S\\Neg", -2.5L);
    EXPECT_EQ(store.LoadFloat("\\S\\Neg", 0), -2.5L);
    store.PutString("S\\Short", "0000000000000080FF"); // 18 digits: too few bytes
    EXPECT_EQ(store.LoadFloat("\\S\\Short", 9.0L), 9.0L);
    // A text where the hex form is expected is read as text.
    store.PutString("S\\Text", "2.25");
    EXPECT_EQ(store.LoadFloat("\\S\\Text", 0), 2.25L);
    store.PutString("S\\Bad", "zz");
    EXPECT_THROW(store.LoadFloat("\\S\\Bad", 0), EConvertError);

    store.StorageOptions().SetFloatAsString(true);
    store.SaveFloat("\\S\\Text", 0.5L);
    EXPECT_EQ(store.GetString("S\\Text"), "0.5");
    EXPECT_EQ(store.LoadFloat("\\S\\Text", 0), 0.5L);
    EXPECT_EQ(store.LoadFloat("\\S\\One", 0), 1.0L); // not a text: the hex form is tried
}

TEST(AppStorageValues, DateTimesAsTextOrHex)
{
    MemoryStore store;
    const TDateTime when = EncodeDate(2024, 3, 5) + EncodeTime(13, 4, 5, 0);
    store.SaveDateTime("\\S\\When", when);
    EXPECT_EQ(store.GetString("S\\When"), "05/03/2024 13:04:05");
    EXPECT_NEAR(store.LoadDateTime("\\S\\When", 0), when, 1e-9);
    store.SaveDateTime("\\S\\Day", EncodeDate(2000, 1, 31));
    EXPECT_EQ(store.GetString("S\\Day"), "31/01/2000");
    store.StorageOptions().SetDateTimeAsString(false);
    store.SaveDateTime("\\S\\Raw", 1.0);
    EXPECT_EQ(store.GetString("S\\Raw"), "0000000000000080FF3F");
    EXPECT_EQ(store.LoadDateTime("\\S\\Raw", 0), 1.0);
    EXPECT_NEAR(store.LoadDateTime("\\S\\When", 0), when, 1e-9); // the text form is tried
}

TEST(AppStorageValues, BinaryBlocksAsHexDigits)
{
    MemoryStore store;
    const unsigned char bytes[] = {0x00, 0xFF, 0x1F};
    store.SaveBinary("\\S\\Bin", bytes, 3);
    EXPECT_EQ(store.GetString("S\\Bin"), "00FF1F");
    unsigned char back[8] = {};
    EXPECT_EQ(store.LoadBinary("\\S\\Bin", back, 8), 3);
    EXPECT_EQ(back[1], 0xFF);
    EXPECT_EQ(store.LoadBinary("\\S\\Bin", back, 2), 2);
    EXPECT_EQ(store.LoadBinary("\\S\\Missing", back, 8), 0);
    store.PutString("S\\Odd", "ABC");
    EXPECT_EQ(store.LoadBinary("\\S\\Odd", back, 8), 2);
    EXPECT_EQ(back[0], 0x0A);
    EXPECT_EQ(back[1], 0xBC);
}

TEST(AppStorageValues, ExistenceListsAndErasing)
{
    MemoryStore store("[Forms]\r\nFormNames=A;B;\r\n[Forms\\List]\r\nCount=2\r\nItem0=x\r\nItem1=y\r\nOther=z\r\n"
                      "[Forms\\Main]\r\nTop=1\r\n");
    EXPECT_TRUE(store.HasValue("Forms\\FormNames"));
    EXPECT_FALSE(store.HasValue("Forms\\Nothing"));
    EXPECT_TRUE(store.HasFolder("Forms\\Main"));
    EXPECT_FALSE(store.HasFolder("Forms\\Gone"));
    EXPECT_TRUE(store.HasList("Forms\\List"));
    EXPECT_TRUE(store.HasList("Forms\\List\\"));
    EXPECT_FALSE(store.HasList("Forms\\Main"));
    EXPECT_TRUE(store.CountsAsFolder("Forms\\Main", true));
    EXPECT_FALSE(store.CountsAsFolder("Forms\\List", true)); // a list is a value
    EXPECT_TRUE(store.CountsAsFolder("Forms\\List", false));

    TStringList names;
    store.ListFolders("Forms", names, false);
    EXPECT_EQ(names.CommaText(), "List,Main");
    store.ListFolders("Forms", names, true);
    EXPECT_EQ(names.CommaText(), "Main");
    store.ListValues("Forms\\List", names, false);
    EXPECT_EQ(names.CommaText(), "Count,Item0,Item1,Other");
    store.ListValues("Forms\\List", names, true);
    EXPECT_EQ(names.Count(), 2);
    EXPECT_EQ(names[0], "Other");
    EXPECT_EQ(names[1], "");

    store.RemoveValueAt("\\Forms\\FormNames");
    EXPECT_FALSE(store.HasValue("Forms\\FormNames"));
    store.RemoveValueAt("\\Forms\\Main"); // no key of that name: the folder goes
    EXPECT_FALSE(store.HasFolder("Forms\\Main"));
}

TEST(AppStorageBatches, EndBatchWithoutBeginLeavesNoBatch)
{
    MemoryStore store;
    store.EndBatch();
    EXPECT_FALSE(store.InBatch());
    store.BeginBatch();
    store.BeginBatch();
    store.EndBatch();
    EXPECT_TRUE(store.InBatch());
    store.EndBatch();
    EXPECT_FALSE(store.InBatch());
}

// ---- sub-storages

TEST(AppSubStorages, TheLongestMatchingRootServesThePath)
{
    MemoryStore main;
    MemoryStore deep;
    MemoryStore cfg;
    TExAppSubStorage& deepItem = main.SubStorages().Add();
    deepItem.SetRootPath("Cfg\\Deep");
    deepItem.SetAppStorage(&deep);
    TExAppSubStorage& cfgItem = main.SubStorages().Add();
    cfgItem.SetRootPath("\\Cfg\\");
    cfgItem.SetAppStorage(&cfg);
    EXPECT_EQ(cfgItem.RootPath(), "Cfg");

    main.PutString("cfg\\deep\\Sub\\x", "deep value");
    EXPECT_EQ(deep.ContentText(), "[Sub]\r\nx=deep value\r\n\r\n");
    main.PutString("Cfg\\Sub\\y", "cfg value");
    EXPECT_EQ(cfg.ContentText(), "[Sub]\r\ny=cfg value\r\n\r\n");
    // The root alone is no path below it: the store itself serves it.
    EXPECT_EQ(ErrorOf([&] { main.PutString("Cfg", "own"); }), "TExAppIniFileStorage.ReadValue: Section undefined");
    main.SetDefaultSection("D");
    main.PutString("Cfg", "own");
    EXPECT_EQ(main.ContentText(), "[D]\r\nCfg=own\r\n\r\n");
    // The serving store ignores its own current path.
    deep.SetCurrentPath("Elsewhere");
    EXPECT_EQ(main.GetString("Cfg\\Deep\\Sub\\x"), "deep value");
    // Nothing below the root but blanks.
    EXPECT_EQ(ErrorOf([&] { main.GetString("Cfg\\ "); }), "Invalid path");
    EXPECT_EQ(deepItem.DisplayName(), "\\Cfg\\Deep=");
}

TEST(AppSubStorages, RootsMustBeUnique)
{
    MemoryStore main;
    main.SubStorages().Add().SetRootPath("Cfg");
    for (const char* root : {"Cfg", "cfg", "Cfg\\Sub", "\\Cfg\\Sub\\Deeper"}) {
        SCOPED_TRACE(root);
        TExAppSubStorage& item = main.SubStorages().Add();
        const std::string normalised = TExCustomAppStorage::NormalizePathList({root});
        EXPECT_EQ(ErrorOf([&] { item.SetRootPath(root); }), "'" + normalised + "' is not a unique root path");
        EXPECT_EQ(item.RootPath(), "");
        main.SubStorages().Delete(main.SubStorages().Count() - 1);
    }
    TExAppSubStorage& other = main.SubStorages().Add();
    other.SetRootPath("Config");
    EXPECT_EQ(other.RootPath(), "Config");
    other.SetRootPath("Config\\.");
    EXPECT_EQ(other.RootPath(), "Config");
}

TEST(AppSubStorages, AStoreMayNotServeItselfThroughAnyChain)
{
    MemoryStore a;
    MemoryStore b;
    MemoryStore c;
    TExAppSubStorage& self = a.SubStorages().Add();
    EXPECT_EQ(ErrorOf([&] { self.SetAppStorage(&a); }), "Circular reference of storages");
    self.SetRootPath("B");
    self.SetAppStorage(&b);
    TExAppSubStorage& toC = b.SubStorages().Add();
    toC.SetRootPath("C");
    toC.SetAppStorage(&c);
    TExAppSubStorage& back = c.SubStorages().Add();
    back.SetRootPath("A");
    EXPECT_EQ(ErrorOf([&] { back.SetAppStorage(&a); }), "Circular reference of storages");
    EXPECT_EQ(back.AppStorage(), nullptr);
}

TEST(AppSubStorages, AServingStoreThatGoesTakesItsItemsWithIt)
{
    MemoryStore main;
    auto served = std::make_unique<MemoryStore>();
    TExAppSubStorage& item = main.SubStorages().Add();
    item.SetRootPath("Cfg");
    item.SetAppStorage(served.get());
    ASSERT_EQ(main.SubStorages().Count(), 1);
    served.reset();
    EXPECT_EQ(main.SubStorages().Count(), 0);
}

// ---- value kinds with type information

namespace {

enum class TColorKind : std::uint8_t { ckRed, ckGreen, ckBlue };

const TTypeInfo& ColorKindType()
{
    static const TTypeInfo info = EnumerationTypeInfo("TColorKind", {"ckRed", "ckGreen", "ckBlue"}, "Test");
    return info;
}

const TTypeInfo& ColorKindsType()
{
    static const TTypeInfo info = SetTypeInfo("TColorKinds", ColorKindType());
    return info;
}

} // namespace

TEST(AppStorageTypes, EnumerationsAsMemberNames)
{
    MemoryStore store;
    const TTypeInfo& type = ColorKindType();
    auto value = TColorKind::ckBlue;
    store.SaveEnumeration("\\S\\Kind", type, &value);
    EXPECT_EQ(store.GetString("S\\Kind"), "ckBlue");
    auto back = TColorKind::ckRed;
    const auto fallback = TColorKind::ckGreen;
    store.LoadEnumeration("\\S\\Kind", type, &fallback, &back);
    EXPECT_EQ(back, TColorKind::ckBlue);
    store.PutString("S\\Kind", "CKRED"); // letter case does not matter
    store.LoadEnumeration("\\S\\Kind", type, &fallback, &back);
    EXPECT_EQ(back, TColorKind::ckRed);
    store.PutString("S\\Kind", "1"); // no member of that name: the ordinal
    store.LoadEnumeration("\\S\\Kind", type, &fallback, &back);
    EXPECT_EQ(back, TColorKind::ckGreen);
    store.LoadEnumeration("\\S\\Missing", type, &fallback, &back);
    EXPECT_EQ(back, TColorKind::ckGreen);
    store.PutString("S\\Kind", "purple");
    EXPECT_EQ(ErrorOf([&] { store.LoadEnumeration("\\S\\Kind", type, &fallback, &back); }),
              "'purple' is not a valid integer value");
    store.StorageOptions().SetDefaultIfReadConvertError(true);
    back = TColorKind::ckRed;
    store.LoadEnumeration("\\S\\Kind", type, &fallback, &back);
    EXPECT_EQ(back, TColorKind::ckGreen);

    store.StorageOptions().SetEnumerationAsString(false);
    store.SaveEnumeration("\\S\\Kind", type, &value);
    EXPECT_EQ(store.GetString("S\\Kind"), "2");
}

TEST(AppStorageTypes, BooleanLikeCharacterAndTypedIntegerValues)
{
    MemoryStore store;
    static const TTypeInfo boolean = EnumerationTypeInfo("Boolean", {"False", "True"}, "System");
    const std::uint8_t yes = 1;
    store.SaveEnumeration("\\S\\Flag", boolean, &yes);
    EXPECT_EQ(store.GetString("S\\Flag"), "TRUE");
    static const TTypeInfo byteBool = OrdinalRangeTypeInfo(tkInteger, "ByteBool", otSByte, -128, 127);
    TTypeInfo boolLike = byteBool;
    boolLike.Kind = tkEnumeration; // an enumeration whose range starts below 0
    const std::int8_t minusOne = -1;
    store.SaveEnumeration("\\S\\Flag2", boolLike, &minusOne);
    EXPECT_EQ(store.GetString("S\\Flag2"), "TRUE");
    std::int8_t flagBack = 0;
    const std::int8_t off = 0;
    store.LoadEnumeration("\\S\\Flag2", boolLike, &off, &flagBack);
    EXPECT_EQ(flagBack, 1);

    static const TTypeInfo ch = OrdinalRangeTypeInfo(tkChar, "Char", otUByte, 0, 255);
    const char a = 'A';
    store.SaveEnumeration("\\S\\Char", ch, &a);
    EXPECT_EQ(store.GetString("S\\Char"), "65");

    static const TTypeInfo colour = OrdinalRangeTypeInfo(tkInteger, "TColor", otSLong, INT32_MIN, INT32_MAX);
    RegisterIntegerIdentMapping(
        &colour,
        [](const std::string& ident, std::int64_t& v) {
            if (ident != "clRed")
                return false;
            v = 255;
            return true;
        },
        [](std::int64_t v, std::string& ident) {
            if (v != 255)
                return false;
            ident = "clRed";
            return true;
        });
    const std::int32_t red = 255, other = 77;
    store.SaveEnumeration("\\S\\Red", colour, &red);
    store.SaveEnumeration("\\S\\Other", colour, &other);
    EXPECT_EQ(store.GetString("S\\Red"), "clRed");
    EXPECT_EQ(store.GetString("S\\Other"), "77");
    std::int32_t back = 0;
    const std::int32_t zero = 0;
    store.LoadEnumeration("\\S\\Red", colour, &zero, &back);
    EXPECT_EQ(back, 255);
    store.LoadEnumeration("\\S\\Other", colour, &zero, &back);
    EXPECT_EQ(back, 77);
    EXPECT_FALSE(store.StorageOptions().DefaultIfReadConvertError()); // put back after the read
    UnregisterIntegerIdentMapping(&colour);
    store.SaveEnumeration("\\S\\Red", colour, &red);
    EXPECT_EQ(store.GetString("S\\Red"), "255");

    static const TTypeInfo text = PlainTypeInfo(tkString, "string");
    EXPECT_EQ(ErrorOf([&] { store.SaveEnumeration("\\S\\X", text, &back); }), "Invalid type");
    store.PutString("S\\X", "1");
    EXPECT_EQ(ErrorOf([&] { store.LoadEnumeration("\\S\\X", text, &zero, &back); }), "Invalid type");
}

TEST(AppStorageTypes, SetsAsOneBooleanPerElementOrAsText)
{
    MemoryStore store;
    const TTypeInfo& setType = ColorKindsType();
    const std::uint8_t redAndBlue = 0b101;
    store.SaveSet("\\S\\Colours", setType, &redAndBlue);
    EXPECT_EQ(store.ContentText(), "[S\\Colours]\r\nckRed=TRUE\r\nckGreen=FALSE\r\nckBlue=TRUE\r\n\r\n");
    std::uint8_t back = 0xFF;
    const std::uint8_t green = 0b010;
    store.LoadSet("\\S\\Colours", setType, &green, &back);
    EXPECT_EQ(back, 0b101);

    // Not a folder: the set's text, "[...]" with the member names.
    store.StorageOptions().SetSetAsString(true);
    store.SaveSet("\\S\\AsText", setType, &redAndBlue);
    EXPECT_EQ(store.GetString("S\\AsText"), "[ckRed, ckBlue]");
    back = 0;
    store.LoadSet("\\S\\AsText", setType, &green, &back);
    EXPECT_EQ(back, 0b101);
    store.LoadSet("\\S\\Missing", setType, &green, &back);
    EXPECT_EQ(back, 0b010);
    store.StorageOptions().SetSetAsString(false);

    static const TTypeInfo small = OrdinalRangeTypeInfo(tkInteger, "TSmall", otUByte, 10, 11);
    static const TTypeInfo smallSet = SetTypeInfo("TSmallSet", small);
    std::uint8_t members[2] = {};
    SetBitsToValue(smallSet, std::uint64_t{1} << 11, members);
    store.SaveSet("\\S\\Ints", smallSet, members);
    EXPECT_EQ(store.GetString("S\\Ints\\Int_11"), "TRUE");
    EXPECT_EQ(store.GetString("S\\Ints\\Int_10"), "FALSE");
    std::uint8_t loaded[2] = {0xFF, 0xFF};
    store.LoadSet("\\S\\Ints", smallSet, members, loaded);
    EXPECT_EQ(SetValueToBits(smallSet, loaded), std::uint64_t{1} << 11);

    static const TTypeInfo letters = OrdinalRangeTypeInfo(tkChar, "TLetters", otUByte, 32, 34);
    static const TTypeInfo letterSet = SetTypeInfo("TLetterSet", letters);
    std::uint8_t chars[8] = {};
    SetBitsToValue(letterSet, std::uint64_t{1} << 33, chars);
    store.SaveSet("\\S\\Chars", letterSet, chars);
    EXPECT_EQ(store.GetString("S\\Chars\\Char#32"), "FALSE");
    EXPECT_EQ(store.GetString("S\\Chars\\Char_!"), "TRUE");

    static const TTypeInfo notASet = PlainTypeInfo(tkFloat, "Double");
    EXPECT_EQ(ErrorOf([&] { store.SaveSet("\\S\\F", notASet, chars); }), "Unknown base type for given set");
}

TEST(AppStorageTypes, ValueCodingEncryptsThenUsesBase64)
{
    MemoryStore store;
    store.OnEncryptPropertyValue = [](std::string& v) { v += "!"; };
    store.OnDecryptPropertyValue = [](std::string& v) { v.pop_back(); };
    store.PutString("S\\Plain", "text"); // coding is off: the text passes unchanged
    EXPECT_EQ(store.ContentText(), "[S]\r\nPlain=text\r\n\r\n");
    store.EnableValueCoding();
    store.PutString("S\\Coded", "text");
    EXPECT_EQ(store.GetString("S\\Coded"), "text");
    store.DisableValueCoding();
    EXPECT_EQ(store.GetString("S\\Coded"), "dGV4dCE="); // "text!" in Base64
}
