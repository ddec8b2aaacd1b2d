// The JavaScript highlighter: tokens of the edge cases (comments over lines, strings, numbers,
// symbols, slash without regular-expression literals, keywords by exact case, multi-byte
// characters), its range state, attributes and class data, and the golden samples.

#include "SrcEdit/highlighters/HighlighterScan.h"
#include "SrcEdit/Source/highlighters/SrcEditHighlighterJScript.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace {

using K = TJScriptTokenKind;
using TTok = TScanToken<K>;
constexpr TLineCaseRunner<TSrcJScriptSyn, K> RunCases{};

const K C = K::tkComment, I = K::tkIdentifier, R = K::tkKey, N = K::tkNumber, S = K::tkSpace, Q = K::tkString,
        Y = K::tkSymbol, U = K::tkUnknown, W = K::tkNonReservedKey, E = K::tkEvent;

} // namespace

TEST(JScriptHighlighter, CommentsAndTheirRangeOverLines)
{
    RunCases({
        {"", rsJSNormal, {}, rsJSNormal},
        {"", rsJSComment, {}, rsJSComment},
        {"a /* b", rsJSNormal, {{"a", I}, {" ", S}, {"/* b", C}}, rsJSComment},
        {"c */ d", rsJSComment, {{"c */", C}, {" ", S}, {"d", I}}, rsJSNormal},
        {"still", rsJSComment, {{"still", C}}, rsJSComment},
        {"*/", rsJSComment, {{"*/", C}}, rsJSNormal},
        // the search for the end starts behind the opener's '*'
        {"/*/", rsJSNormal, {{"/*/", C}}, rsJSComment},
        {"/**/x", rsJSNormal, {{"/**/", C}, {"x", I}}, rsJSNormal},
        {"/*", rsJSNormal, {{"/*", C}}, rsJSComment},
        {"/* a */ /* b", rsJSNormal, {{"/* a */", C}, {" ", S}, {"/* b", C}}, rsJSComment},
        {"x /= 2 // c", rsJSNormal, {{"x", I}, {" ", S}, {"/=", Y}, {" ", S}, {"2", N}, {" ", S}, {"// c", C}},
         rsJSNormal},
        {"// a /* b", rsJSNormal, {{"// a /* b", C}}, rsJSNormal},
    });
}

TEST(JScriptHighlighter, SlashIsDivisionNeverARegularExpression)
{
    RunCases({
        {"x = /ab+/g;", rsJSNormal,
         {{"x", I}, {" ", S}, {"=", Y}, {" ", S}, {"/", Y}, {"ab", I}, {"+", Y}, {"/", Y}, {"g", I}, {";", Y}},
         rsJSNormal},
        {"a/b/=c", rsJSNormal, {{"a", I}, {"/", Y}, {"b", I}, {"/=", Y}, {"c", I}}, rsJSNormal},
        // a quote inside what would be a literal still opens a string
        {"/'/", rsJSNormal, {{"/", Y}, {"'/", Q}}, rsJSNormal},
    });
}

TEST(JScriptHighlighter, StringsEndOnTheirLine)
{
    RunCases({
        {R"('it\'s' x)", rsJSNormal, {{R"('it\'s')", Q}, {" ", S}, {"x", I}}, rsJSNormal},
        // a backslash guards only the byte after it, so an escaped backslash still guards the quote
        {R"("a\\" b)", rsJSNormal, {{R"("a\\" b)", Q}}, rsJSNormal},
        {R"("" x)", rsJSNormal, {{R"("")", Q}, {" ", S}, {"x", I}}, rsJSNormal},
        {R"("""doc""" x)", rsJSNormal, {{R"("""doc")", Q}, {R"("")", Q}, {" ", S}, {"x", I}}, rsJSNormal},
        {"'open", rsJSNormal, {{"'open", Q}}, rsJSNormal},
        {"\"caf\xC3\xA9\"", rsJSNormal, {{"\"caf\xC3\xA9\"", Q}}, rsJSNormal},
    });
}

TEST(JScriptHighlighter, NumbersDecimalAndHexadecimal)
{
    RunCases({
        {"0x1F", rsJSNormal, {{"0x1F", N}}, rsJSNormal},
        {"0xG", rsJSNormal, {{"0", N}, {"xG", I}}, rsJSNormal},
        {"0x1x", rsJSNormal, {{"0x1", N}, {"x", I}}, rsJSNormal},
        {"10x1", rsJSNormal, {{"10", N}, {"x1", I}}, rsJSNormal},
        {"1e5", rsJSNormal, {{"1", N}, {"e5", I}}, rsJSNormal},
        {"1.2.3", rsJSNormal, {{"1.2.3", N}}, rsJSNormal},
        {"1..2", rsJSNormal, {{"1", N}, {".", Y}, {".", Y}, {"2", N}}, rsJSNormal},
        {"0xabcdef.5", rsJSNormal, {{"0xabcdef.5", N}}, rsJSNormal},
        {".5", rsJSNormal, {{".", Y}, {"5", N}}, rsJSNormal},
    });
}

TEST(JScriptHighlighter, SymbolsAndUnknownBytes)
{
    RunCases({
        {"...", rsJSNormal, {{"...", Y}}, rsJSNormal},
        {"..", rsJSNormal, {{".", Y}, {".", Y}}, rsJSNormal},
        {"&&&=||", rsJSNormal, {{"&&", Y}, {"&=", Y}, {"||", Y}}, rsJSNormal},
        {"++--->-=", rsJSNormal, {{"++", Y}, {"--", Y}, {"->", Y}, {"-=", Y}}, rsJSNormal},
        {"*=%=<==", rsJSNormal, {{"*=", Y}, {"%=", Y}, {"<", Y}, {"=", Y}, {"=", Y}}, rsJSNormal},
        {"$x", rsJSNormal, {{"$", U}, {"x", I}}, rsJSNormal},
        {"@#\\^`", rsJSNormal, {{"@", U}, {"#", U}, {"\\", U}, {"^", U}, {"`", U}}, rsJSNormal},
        // a multi-byte character is one token, never cut
        {"caf\xC3\xA9", rsJSNormal, {{"caf", I}, {"\xC3\xA9", U}}, rsJSNormal},
        {"a\xE2\x82\xAC" "b", rsJSNormal, {{"a", I}, {"\xE2\x82\xAC", U}, {"b", I}}, rsJSNormal},
        {"\xFF\x7F", rsJSNormal, {{"\xFF", U}, {"\x7F", U}}, rsJSNormal},
        {"\t \x01x", rsJSNormal, {{"\t \x01", S}, {"x", I}}, rsJSNormal},
    });
}

TEST(JScriptHighlighter, KeywordsMatchExactlyWithTheirCase)
{
    RunCases({
        {"if", rsJSNormal, {{"if", R}}, rsJSNormal},
        {"If", rsJSNormal, {{"If", I}}, rsJSNormal},
        {"NaN nan", rsJSNormal, {{"NaN", R}, {" ", S}, {"nan", I}}, rsJSNormal},
        {"onLoad onload", rsJSNormal, {{"onLoad", E}, {" ", S}, {"onload", I}}, rsJSNormal},
        {"POSITIVE_INFINITY", rsJSNormal, {{"POSITIVE_INFINITY", W}}, rsJSNormal},
        {"document.getElementById", rsJSNormal, {{"document", W}, {".", Y}, {"getElementById", W}}, rsJSNormal},
        {"All all ALL", rsJSNormal, {{"All", W}, {" ", S}, {"all", W}, {" ", S}, {"ALL", I}}, rsJSNormal},
        {"synchronized zIndex onUnload", rsJSNormal,
         {{"synchronized", R}, {" ", S}, {"zIndex", W}, {" ", S}, {"onUnload", E}}, rsJSNormal},
        // words that share a bucket with a keyword but are none
        {"fi function2 _if", rsJSNormal, {{"fi", I}, {" ", S}, {"function2", I}, {" ", S}, {"_if", I}}, rsJSNormal},
        // sums of 253 and more are identifiers without a lookup
        {"zzzzzzzzzz", rsJSNormal, {{"zzzzzzzzzz", I}}, rsJSNormal},
    });
}

TEST(JScriptHighlighter, RangeRoundTripsAndUnknownValuesStartAfresh)
{
    TSrcJScriptSyn h;
    EXPECT_EQ(h.CurrentRange(), rsJSNormal);
    for (TSrcRange r : {rsJSNormal, rsJSComment}) {
        h.RestoreRange(r);
        EXPECT_EQ(h.CurrentRange(), r);
    }
    h.RestoreRange(7);
    EXPECT_EQ(h.CurrentRange(), rsJSNormal);
    h.RestoreRange(rsJSComment);
    h.ClearRange();
    EXPECT_EQ(h.CurrentRange(), rsJSNormal);
}

TEST(JScriptHighlighter, AttributesRolesAndClassData)
{
    TSrcJScriptSyn h;
    std::vector<std::string> names;
    for (int i = 0; i < h.AttriCount(); ++i)
        names.push_back(h.AttriByIndex(i)->Name());
    EXPECT_EQ(names, (std::vector<std::string>{"Comment", "Event", "Identifier", "Non-reserved Keyword", "Number",
                                               "Reserved Word", "Space", "String", "Symbol"}));
    EXPECT_EQ(h.CommentAttri()->Style(), TFontStyles{fsItalic});
    EXPECT_EQ(h.KeyAttri()->Style(), TFontStyles{fsBold});
    EXPECT_EQ(h.StringAttri()->Foreground(), clNone);
    EXPECT_FALSE(h.CommentAttri()->IsStyleStored());

    EXPECT_EQ(h.RoleAttri(arComment), h.CommentAttri());
    EXPECT_EQ(h.RoleAttri(arIdentifier), h.IdentifierAttri());
    EXPECT_EQ(h.RoleAttri(arKeyword), h.KeyAttri());
    EXPECT_EQ(h.RoleAttri(arString), h.StringAttri());
    EXPECT_EQ(h.RoleAttri(arWhitespace), h.SpaceAttri());
    EXPECT_EQ(h.RoleAttri(arSymbol), h.SymbolAttri());
    EXPECT_EQ(h.RoleAttri(6), nullptr);

    h.StartLine("@", 0);
    EXPECT_EQ(h.TokenAttri(), h.IdentifierAttri()) << "unknown bytes show as identifiers";
    h.AdvanceToken();
    EXPECT_EQ(h.TokenAttri(), nullptr);
    EXPECT_EQ(h.TokenKindCode(), static_cast<int>(K::tkNull));
    EXPECT_EQ(h.TokenStart(), 1);

    EXPECT_EQ(h.GetLanguageTitle(), "JavaScript");
    EXPECT_GE(HighlighterList().IndexOf(TSrcJScriptSyn::StaticClass()), 0);
    EXPECT_EQ(h.DefaultFilter(), "Javascript Files (*.js)|*.js");
    EXPECT_FALSE(h.IsFilterStored());
    h.SetDefaultFilter("*.js");
    EXPECT_TRUE(h.IsFilterStored());

    const TSrcCharSet chars = h.IdentifierChars();
    EXPECT_TRUE(chars.test('_') && chars.test('0') && chars.test('z') && chars.test(0xC3) && chars.test(0xA9));
    EXPECT_FALSE(chars.test('$') || chars.test('-') || chars.test(' '));
}

TEST(JScriptHighlighter, NulEndsTheLine)
{
    TSrcJScriptSyn h;
    const std::string line("a\0b", 3);
    EXPECT_EQ(ScanLineFrom<K>(h, line, rsJSNormal), (std::vector<TTok>{{"a", I}}));
}

TEST(JScriptHighlighterGolden, Sample)
{
    TSrcJScriptSyn h;
    ExpectGolden(h, "js", "sample.js");
}

TEST(JScriptHighlighterGolden, BuiltInSampleText)
{
    TSrcJScriptSyn h;
    EXPECT_EQ(ReadWholeFile(GoldenFolder("js") + "/builtin-sample.js"), h.SampleText());
    ExpectGolden(h, "js", "builtin-sample.js");
}
