// String routines of the class library.

#include "Platform/core/Exceptions.h"
#include "Platform/core/Application.h"
#include "Platform/text/Format.h"
#include "Platform/text/TextUtils.h"

#include <clocale>

#include <gtest/gtest.h>

TEST(TextUtils, IntegerTextsReadBack)
{
    struct Case {
        const char* Text;
        bool Ok;
        int Value;
    };
    const Case cases[] = {
        {"0", true, 0},          {"-17", true, -17},           {"+5", true, 5},
        {"$FF", true, 255},      {"0x10", true, 16},           {"$FFFFFFFF", true, -1},
        {"2147483647", true, INT32_MAX}, {"2147483648", false, 0}, {"-2147483648", true, INT32_MIN},
        {"", false, 0},          {"12a", false, 0},            {"1.5", false, 0},
        {"  7", true, 7},        {"7 ", false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Text);
        int v = -999;
        EXPECT_EQ(TryStrToInt(c.Text, v), c.Ok);
        if (c.Ok) {
            EXPECT_EQ(v, c.Value);
        }
        EXPECT_EQ(StrToIntDef(c.Text, -999), c.Ok ? c.Value : -999);
    }
    try {
        StrToInt("abc");
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_STREQ(e.what(), "'abc' is not a valid integer value");
    }
}

TEST(TextUtils, FloatsRoundTrip)
{
    for (double d : {0.0, 1.5, -2.25, 0.1, 1e300, 123456789.125}) {
        SCOPED_TRACE(d);
        EXPECT_EQ(StrToFloat(FloatToStr(d)), d);
    }
    EXPECT_EQ(FloatToStr(0.5), "0.5");
    EXPECT_THROW(StrToFloat("1,5"), EConvertError);
}

TEST(TextUtils, LetterCaseTouchesAsciiOnly)
{
    EXPECT_EQ(UpperCase("abc-é"), "ABC-é");
    EXPECT_EQ(LowerCase("ÀBC"), "Àbc");
    EXPECT_TRUE(SameText("Content-Type", "content-type"));
    EXPECT_FALSE(SameText("abc", "abcd"));
    EXPECT_LT(CompareText("a", "B"), 0);
    EXPECT_GT(CompareStr("a", "B"), 0);
}

TEST(TextUtils, TrimRemovesControlCharactersAndBlanks)
{
    EXPECT_EQ(Trim(" \t a b \r\n"), "a b");
    EXPECT_EQ(TrimLeft("  x "), "x ");
    EXPECT_EQ(TrimRight("  x \x01"), "  x");
    EXPECT_EQ(Trim(""), "");
}

TEST(TextUtils, StringReplace)
{
    EXPECT_EQ(StringReplace("a.b.c", ".", "/", {}), "a/b.c");
    EXPECT_EQ(StringReplace("a.b.c", ".", "/", {rfReplaceAll}), "a/b/c");
    EXPECT_EQ(StringReplace("Foo foo", "FOO", "x", {rfReplaceAll, rfIgnoreCase}), "x x");
    EXPECT_EQ(StringReplace("aaa", "a", "aa", {rfReplaceAll}), "aaaaaa");
    EXPECT_EQ(StringReplace("abc", "", "x", {rfReplaceAll}), "abc");
}

TEST(TextUtils, PositionsAndCopiesAreOneBasedAndClamped)
{
    EXPECT_EQ(Pos("b", "abcb"), 2);
    EXPECT_EQ(Pos("b", "abcb", 3), 4);
    EXPECT_EQ(Pos("x", "abc"), 0);
    EXPECT_EQ(Pos("", "abc"), 0);
    EXPECT_EQ(Copy("abcdef", 2, 3), "bcd");
    EXPECT_EQ(Copy("abc", 0, 2), "ab");
    EXPECT_EQ(Copy("abc", 3, 10), "c");
    EXPECT_EQ(Copy("abc", 4, 1), "");
}

TEST(TextUtils, QuotingRoundTrips)
{
    EXPECT_EQ(QuotedStr("it's"), "'it''s'");
    EXPECT_EQ(AnsiDequotedStr("'it''s'", '\''), "it's");
    EXPECT_EQ(AnsiDequotedStr("plain", '\''), "plain");
    EXPECT_EQ(AnsiDequotedStr("'a'b'", '\''), "'a'b'"); // not a whole quoted string
    size_t pos = 0;
    EXPECT_EQ(AnsiExtractQuotedStr("\"a\"\"b\" rest", pos, '"'), "a\"b");
    EXPECT_EQ(pos, 6u);
}

TEST(TextUtils, NumbersIgnoreTheDesktopLocale)
{
    // Qt adopts the desktop's locale when the application starts; the application puts the
    // numeric part back to "C" so numbers always use "." (a comma locale would give "1,5").
    ASSERT_NE(Application(), nullptr);
    EXPECT_STREQ(std::setlocale(LC_NUMERIC, nullptr), "C");
    EXPECT_EQ(FloatToStr(1.5), "1.5");
    EXPECT_EQ(StrToFloat("2.25"), 2.25);
    EXPECT_EQ(Format("%.2f", {0.5}), "0.50");
}
