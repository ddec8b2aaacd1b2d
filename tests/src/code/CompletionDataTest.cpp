// The completion data files as the program installs them, and how their loading copes with
// missing and damaged files.

#include "code/zuCompletionData.h"

#include "SrcEdit/Source/completion/SrcEditPrettyText.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <set>

namespace {

const std::string InstalledData = ZENTU_TEST_SOURCE_DIR "/../../src/data";

struct LoadedData : ::testing::Test {
    static void SetUpTestSuite()
    {
        Data = new TCompletionData;
        Data->LoadPHPCompletion(InstalledData);
        Data->LoadCSSCompletion(InstalledData);
        Data->LoadHTMLCompletion(InstalledData);
    }
    static void TearDownTestSuite()
    {
        delete Data;
        Data = nullptr;
    }
    static TCompletionData* Data;
};
TCompletionData* LoadedData::Data = nullptr;

} // namespace

TEST_F(LoadedData, EveryPHPFunctionHasALineAHintAndItsNameToInsert)
{
    ASSERT_GT(Data->PHPFunctionCount(), 1000);
    ASSERT_EQ(Data->PHPItems.Count(), Data->PHPInserts.Count());
    EXPECT_GT(Data->PHPItems.Count(), Data->PHPFunctionCount());
    const int substr = Data->FindPHPName("SubStr");
    ASSERT_GE(substr, 0);
    EXPECT_EQ(Data->PHPInserts.Get(substr), "substr");
    EXPECT_EQ(Data->PHPItems.Get(substr), "\\image{0} string\\column{}\\color{clBlue}\\style{+B} substr\\style{-B}"
                                          "\\color{0} (string $string, int $offset, ?int $length = null)");
    EXPECT_GE(Data->FindPHPName("$_SERVER"), Data->PHPFunctionCount());
    std::set<std::string> names;
    for (int i = 0; i < Data->PHPFunctionCount(); ++i) {
        const std::string name = Data->PHPInserts.Get(i);
        SCOPED_TRACE(name);
        EXPECT_TRUE(names.insert(name).second);
        TFormatChunkList chunks;
        // The line parses, and the hint can find the parameter list's end.
        EXPECT_TRUE(ParsePrettyText(Data->PHPItems.Get(i), chunks));
        const std::string stripped = StripPrettyText(Data->PHPItems.Get(i));
        const size_t open = stripped.find('(');
        ASSERT_NE(open, std::string::npos);
        EXPECT_EQ(stripped.find(')', open), stripped.size() - 1);
        EXPECT_EQ(stripped.find('"'), std::string::npos);
    }
}

TEST_F(LoadedData, EveryTagIsFoundWhereItsFirstLetterBegins)
{
    ASSERT_EQ(Data->HTMLTagInserts.Count(), 91);
    for (int i = 0; i < Data->HTMLTagInserts.Count(); ++i) {
        const std::string name = Data->HTMLTagInserts.Get(i).substr(1);
        const TXmlElement* tag = Data->FindTag(name);
        ASSERT_NE(tag, nullptr) << name;
        EXPECT_EQ(tag->Attribute("name"), name);
    }
    EXPECT_EQ(Data->FindTag("DIV")->Attribute("endtag"), "yes");
    EXPECT_EQ(Data->FindTag("br")->Attribute("endtag"), "");
    EXPECT_EQ(Data->FindTag("section"), nullptr);
    EXPECT_EQ(Data->FindTag("gallery"), nullptr); // no tag begins with G
    EXPECT_EQ(Data->FindTag(""), nullptr);
}

TEST_F(LoadedData, AttributeListsAndValuesOfATag)
{
    const TXmlElement* input = Data->FindTag("input");
    ASSERT_NE(input, nullptr);
    ASSERT_TRUE(Data->FillAttributeNames(*input));
    EXPECT_GE(Data->HTMLAttributeInserts.IndexOf("type=\"\""), 0);
    EXPECT_EQ(Data->HTMLAttributeItems.Get(Data->HTMLAttributeInserts.IndexOf("type=\"\"")), "\\image{5} type");
    ASSERT_TRUE(Data->FillAttributeValues(*input, "type"));
    EXPECT_EQ(Data->HTMLAttributeInserts.Get(0), "text");
    EXPECT_EQ(Data->HTMLAttributeItems.Get(0), "\\image{4} text");
    // An attribute without values, and one the tag lacks, offer nothing.
    EXPECT_FALSE(Data->FillAttributeValues(*input, "name"));
    EXPECT_FALSE(Data->FillAttributeValues(*input, "TYPE"));
}

TEST_F(LoadedData, CSSPropertiesStaySortedWithTheirInsertTexts)
{
    ASSERT_EQ(Data->CSSPropertyItems.Count(), 115);
    ASSERT_EQ(Data->CSSPropertyInserts.Count(), 115);
    for (int i = 0; i < Data->CSSPropertyItems.Count(); ++i) {
        const std::string insert = Data->CSSPropertyInserts.Get(i);
        EXPECT_EQ(StripPrettyText(Data->CSSPropertyItems.Get(i)), "   " + insert.substr(0, insert.size() - 2));
        if (i > 0) {
            EXPECT_LT(StripPrettyText(Data->CSSPropertyItems.Get(i - 1)), StripPrettyText(Data->CSSPropertyItems.Get(i)));
        }
    }
    const int border = Data->CSSPropertyInserts.IndexOf("border: ");
    EXPECT_EQ(Data->CSSPropertyItems.Get(border), "\\image{3} \\color{clBlue} \\style{+B} border");
}

TEST_F(LoadedData, APropertyIsFoundByItsWholeName)
{
    const TXmlElement* left = Data->FindCSSProperty("border-left");
    ASSERT_NE(left, nullptr);
    EXPECT_EQ(left->Attribute("name"), "border-left");
    EXPECT_EQ(Data->FindCSSProperty("size"), nullptr);
    EXPECT_EQ(Data->FindCSSProperty("left")->Attribute("name"), "left");
    ASSERT_TRUE(Data->FillCSSValues(*Data->FindCSSProperty("color")));
    EXPECT_EQ(Data->CSSValueInserts.Get(0), "[color];");
    EXPECT_EQ(Data->CSSValueItems.Get(0), "\\image{7} [color]");
    EXPECT_EQ(Data->CSSValueItems.Get(1), "\\image{8} inherit");
}

TEST_F(LoadedData, EntitiesOfferTheCharacterAndInsertTheEntity)
{
    ASSERT_GE(Data->EntityInserts.Count(), 252);
    const int amp = Data->EntityInserts.IndexOf("&amp;");
    ASSERT_GE(amp, 0);
    EXPECT_EQ(Data->EntityItems.Get(amp), "\\color{clBlue}\\style{+B}&\\style{-B}\\color{0}\\column{}&amp;");
    const int copy = Data->EntityInserts.IndexOf("&copy;");
    EXPECT_EQ(StripPrettyText(Data->EntityItems.Get(copy)), "\xC2\xA9&copy;");
}

TEST(CompletionDataFiles, MissingOrDamagedFilesLeaveTheirListsEmpty)
{
    TempDir dir;
    dir.Write("php-functions.xml", "<functions><group c=\"x\"><function n=\"f\" r=\"int\" p=\"()\" d=\"\"/>");
    dir.Write("php-variables.xml", "<variables><variable name=\"$a\"/></variables>");
    dir.Write("HTMLENTITY.DAT", "<\t&lt;\tLess-Than Sign\nbad line\n\t&x;\t\n\xC2\xA9\t&copy;\tCopyright Sign\n");
    TCompletionData data;
    data.LoadPHPCompletion(dir.Path());
    EXPECT_EQ(data.PHPFunctionCount(), 0);
    EXPECT_EQ(data.PHPInserts.Count(), 1);
    EXPECT_EQ(data.PHPInserts.Get(0), "$a");
    data.LoadCSSCompletion(dir.Path());
    EXPECT_EQ(data.CSSPropertyItems.Count(), 0);
    EXPECT_EQ(data.FindCSSProperty("color"), nullptr);
    data.LoadHTMLCompletion(dir.Path());
    EXPECT_EQ(data.HTMLTagItems.Count(), 0);
    EXPECT_EQ(data.FindTag("div"), nullptr);
    // The entity list is found under any letter case; lines without the layout are skipped.
    EXPECT_EQ(data.EntityInserts.Text(), "&lt;\r\n&copy;\r\n");
}

TEST(CompletionDataFiles, BackslashesOfTheDataAreTextInTheListLines)
{
    TempDir dir;
    dir.Write("php-functions.xml", "<f><g c=\"s\"><f r=\"string\" n=\"trim\" p=\"(string $c = ' \\n')\" d=\"\"/></g></f>");
    TCompletionData data;
    data.LoadPHPCompletion(dir.Path());
    ASSERT_EQ(data.PHPItems.Count(), 1);
    EXPECT_EQ(StripPrettyText(data.PHPItems.Get(0)), " string trim (string $c = ' \\n')");
}
