// The CSS highlighter: selectors, properties and values through the rule states, property
// lookup in the keyword hash list, comments over lines with the interrupted state carried in the
// range, attributes and class data, and the golden samples.

#include "SrcEdit/highlighters/HighlighterScan.h"
#include "SrcEdit/Source/highlighters/SrcEditHighlighterCss.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace {

using K = TCssTokenKind;
using TTok = TScanToken<K>;
constexpr TLineCaseRunner<TSrcCssSyn, K> RunCases{};

constexpr TSrcRange InComment(TSrcRange back)
{
    return TSrcCssSyn::CommentRange(back);
}

const K C = K::tkComment, P = K::tkProperty, Sel = K::tkSelector, S = K::tkSpace, Q = K::tkString,
        Y = K::tkSymbol, Un = K::tkUndefProperty, V = K::tkValue, Col = K::tkColor, N = K::tkNumber;
const TSrcRange Block = rsCssProperty, Selector = rsCssSelector, AfterSemi = rsCssAfterSemicolon,
                Value = rsCssValue;

} // namespace

TEST(CssHighlighter, SelectorsPropertiesAndValuesFollowTheRule)
{
    RunCases({
        {"h1, h2 .a #b {", Selector, {{"h1, h2 .a #b ", Sel}, {"{", Y}}, Block},
        {"color: red;", Block, {{"color", P}, {":", Y}, {" ", S}, {"red", V}, {";", Y}}, AfterSemi},
        {"margin: 0 auto;", Block, {{"margin", P}, {":", Y}, {" ", S}, {"0", N}, {" ", S}, {"auto", V}, {";", Y}},
         AfterSemi},
        {"font-family: Times, serif;", AfterSemi,
         {{"font-family", P}, {":", Y}, {" ", S}, {"Times", V}, {",", Y}, {" ", S}, {"serif", V}, {";", Y}},
         AfterSemi},
        // a quoted name is a string and leaves the value expected
        {"font-family: \"Times New\"", Block, {{"font-family", P}, {":", Y}, {" ", S}, {"\"Times New\"", Q}},
         Value},
        {"color: #fff }", Block, {{"color", P}, {":", Y}, {" ", S}, {"#fff", Col}, {" ", S}, {"}", Y}}, Selector},
        {"#main:hover > p", Selector, {{"#main:hover > p", Sel}}, Selector},
        // the value of a style attribute arrives in the start state: one selector token
        {"color: red", Selector, {{"color: red", Sel}}, Selector},
        {"1..2", Value, {{"1", N}, {"..2", N}}, Value},
        {"x: url(a/b.png) no-repeat, y", Block,
         {{"x", Un}, {":", Y}, {" ", S}, {"url(a/b.png) no-repeat", V}, {",", Y}, {" ", S}, {"y", V}}, Block},
        {"\"open", Value, {{"\"open", Q}}, Value},
        // a name runs on to a blank, quote, ':', ';' or '}'; a slash inside stays in it
        {"a/b c", Block, {{"a/b", Un}, {" ", S}, {"c", Un}}, Block},
        {"/x", Block, {{"/", Y}, {"x", Un}}, Block},
        {"\t x", Block, {{"\t ", S}, {"x", Un}}, Block},
        {"}", Value, {{"}", Y}}, Selector},
        {"", Block, {}, Block},
        {"", Selector, {}, Selector},
        {"", InComment(Block), {}, InComment(Block)},
    });
}

TEST(CssHighlighter, PropertyNamesAreLookedUpWithoutLetterCase)
{
    RunCases({
        {"COLOR", Block, {{"COLOR", P}}, Block},
        {"colour", Block, {{"colour", Un}}, Block},
        {"Border-Bottom-Width", Block, {{"Border-Bottom-Width", P}}, Block},
        {"z-index", AfterSemi, {{"z-index", P}}, AfterSemi},
        {"azimuth speak-punctuation unicode-bidi", Block,
         {{"azimuth", P}, {" ", S}, {"speak-punctuation", P}, {" ", S}, {"unicode-bidi", P}}, Block},
        // only the leading letters, '-' and digits are looked up; the rest stays in the token
        {"color!x", Block, {{"color!x", P}}, Block},
        {"top2", Block, {{"top2", Un}}, Block},
        {"-top", Block, {{"-top", Un}}, Block},
        {"made-up-property", Block, {{"made-up-property", Un}}, Block},
        // bytes 128..255 stay whole inside a token
        {"t\xC3\xA9xt: caf\xC3\xA9;", Block, {{"t\xC3\xA9xt", Un}, {":", Y}, {" ", S}, {"caf\xC3\xA9", V}, {";", Y}},
         AfterSemi},
        {"\xC3\xA9l\xC3\xA9ment {", Selector, {{"\xC3\xA9l\xC3\xA9ment ", Sel}, {"{", Y}}, Block},
    });
}

TEST(CssHighlighter, CommentsReturnToTheRuleStateTheyInterrupted)
{
    RunCases({
        {"a /* x */ b {", Selector, {{"a ", Sel}, {"/* x */", C}, {" b ", Sel}, {"{", Y}}, Block},
        {"color /* x */: red", Block, {{"color", P}, {" ", S}, {"/* x */", C}, {":", Y}, {" ", S}, {"red", V}},
         Block},
        {"color: /* x", Block, {{"color", P}, {":", Y}, {" ", S}, {"/* x", C}}, InComment(Value)},
        {"y */ red", InComment(Value), {{"y */", C}, {" ", S}, {"red", V}}, Block},
        {"still", InComment(AfterSemi), {{"still", C}}, InComment(AfterSemi)},
        {"/*", Block, {{"/*", C}}, InComment(Block)},
        // the search for the end starts behind the opener's '*'
        {"/*/", Selector, {{"/*/", C}}, InComment(Selector)},
        {"/**/p", Selector, {{"/**/", C}, {"p", Sel}}, Selector},
        {"*/ p {", InComment(Selector), {{"*/", C}, {" p ", Sel}, {"{", Y}}, Block},
    });
}

// A comment that closes on a later line goes back to the state stored with the line before it,
// however the one shared instance was used in between.
TEST(CssHighlighter, LineAfterAMultiLineCommentDoesNotDependOnWhatWasScannedBefore)
{
    const std::vector<std::string> document = {"p {", "  color: red; /* note", "     more */ width: 1px }"};
    const std::vector<std::string> other = {"a /* b", "c */ d {"};

    TSrcCssSyn alone;
    std::vector<TSrcRange> ranges;
    const std::string expected = DumpTokens(ScanTokens(alone, document, &ranges));

    // One instance: the other document opens its own comment in the selector state, then the
    // editor repaints the document's last line from the stored range.
    TSrcCssSyn shared;
    ScanTokens(shared, document);
    ScanTokens(shared, other);
    EXPECT_EQ(ScanLineFrom<K>(shared, document[2], ranges[1]),
              (std::vector<TTok>{{"     more */", C}, {" ", S}, {"width", P}, {":", Y}, {" ", S}, {"1", N},
                                 {"px ", V}, {"}", Y}}));

    // Two instances: one scanned a comment opener last, the other never saw one.
    TSrcCssSyn fresh;
    TSrcCssSyn used;
    ScanTokens(used, other);
    std::vector<TTok> a = ScanLineFrom<K>(fresh, document[2], ranges[1]);
    std::vector<TTok> b = ScanLineFrom<K>(used, document[2], ranges[1]);
    EXPECT_EQ(a, b);
    EXPECT_EQ(fresh.CurrentRange(), used.CurrentRange());

    // A whole document scanned after another gives the same tokens as on its own.
    EXPECT_EQ(DumpTokens(ScanTokens(shared, document)), expected);
}

TEST(CssHighlighter, RangeRoundTripsEveryStateAndStaysSmall)
{
    TSrcCssSyn h;
    EXPECT_EQ(h.CurrentRange(), Selector);
    for (TSrcRange r : {Block, Selector, AfterSemi, Value, InComment(Block), InComment(Selector),
                        InComment(AfterSemi), InComment(Value)}) {
        SCOPED_TRACE(r);
        h.RestoreRange(r);
        EXPECT_EQ(h.CurrentRange(), r);
        EXPECT_LE(r, 7u) << "fits three bits";
    }
    EXPECT_EQ(InComment(Selector), 0u) << "a comment at the top of a style sheet keeps the value 0";
    // values never returned start afresh
    for (TSrcRange r : {8u, 9u, 13u, 0xFFFFFFFFu}) {
        SCOPED_TRACE(r);
        h.RestoreRange(InComment(Value));
        h.RestoreRange(r);
        EXPECT_EQ(h.CurrentRange(), Selector);
    }
    h.RestoreRange(InComment(Value));
    h.ClearRange();
    EXPECT_EQ(h.CurrentRange(), Selector);
}

TEST(CssHighlighter, AttributesRolesAndClassData)
{
    TSrcCssSyn h;
    std::vector<std::string> names;
    for (int i = 0; i < h.AttriCount(); ++i)
        names.push_back(h.AttriByIndex(i)->Name());
    EXPECT_EQ(names, (std::vector<std::string>{"Color Value", "Comment", "Number", "Property", "Reserved Word",
                                               "Space", "String", "Symbol", "Text", "Undefined Property",
                                               "Value"}));
    EXPECT_EQ(h.KeyAttri()->Foreground(), RGBColor(128, 0, 255));
    EXPECT_EQ(h.UndefPropertyAttri()->Foreground(), RGBColor(128, 0, 255));
    EXPECT_EQ(h.UndefPropertyAttri()->Style(), TFontStyles{fsBold});
    EXPECT_EQ(h.PropertyAttri()->Style(), TFontStyles{fsBold});
    EXPECT_EQ(h.PropertyAttri()->Foreground(), clNone);
    EXPECT_EQ(h.ValueAttri()->Foreground(), RGBColor(0, 128, 255));
    EXPECT_FALSE(h.ValueAttri()->IsForegroundStored());

    EXPECT_EQ(h.RoleAttri(arComment), h.CommentAttri());
    EXPECT_EQ(h.RoleAttri(arKeyword), h.KeyAttri());
    EXPECT_EQ(h.RoleAttri(arString), h.StringAttri());
    EXPECT_EQ(h.RoleAttri(arWhitespace), h.SpaceAttri());
    EXPECT_EQ(h.RoleAttri(arIdentifier), nullptr);
    EXPECT_EQ(h.RoleAttri(arSymbol), nullptr);

    h.ClearRange();
    h.StartLine("p", 0);
    EXPECT_EQ(h.TokenAttri(), h.KeyAttri()) << "selectors show as reserved words";
    h.AdvanceToken();
    EXPECT_TRUE(h.AtLineEnd());
    EXPECT_EQ(h.TokenAttri(), nullptr);

    EXPECT_EQ(h.GetLanguageTitle(), "Cascading Style Sheet");
    EXPECT_GE(HighlighterList().IndexOf(TSrcCssSyn::StaticClass()), 0);
    EXPECT_EQ(h.DefaultFilter(), "Cascading Stylesheets (*.css)|*.css");
    EXPECT_FALSE(h.IsFilterStored());
    h.SetDefaultFilter("*.css");
    EXPECT_TRUE(h.IsFilterStored());
    EXPECT_EQ(h.IdentifierChars(), CharSetOf("-_") | CharRange('0', '9') | CharRange('A', 'Z') | CharRange('a', 'z'));
}

TEST(CssHighlighterGolden, Sample)
{
    TSrcCssSyn h;
    ExpectGolden(h, "css", "sample.css");
}

TEST(CssHighlighterGolden, BuiltInSampleText)
{
    TSrcCssSyn h;
    EXPECT_EQ(ReadWholeFile(GoldenFolder("css") + "/builtin-sample.css"), h.SampleText());
    ExpectGolden(h, "css", "builtin-sample.css");
}
