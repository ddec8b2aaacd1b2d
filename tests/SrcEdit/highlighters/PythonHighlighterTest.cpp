// The Python highlighter: names and their classes, strings with prefixes, triple-quoted and
// backslash-continued strings over lines (with the closing quote carried in the range), number
// notations and malformed numbers, symbols, attributes and class data, and the golden samples.

#include "SrcEdit/highlighters/HighlighterScan.h"
#include "SrcEdit/highlighters/HighlighterTestSupport.h"
#include "SrcEdit/Source/highlighters/SrcEditHighlighterPython.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <set>

namespace {

using K = TPythonTokenKind;
using TTok = TScanToken<K>;
constexpr TLineCaseRunner<TSrcPythonSyn, K> RunCases{};

const K C = K::tkComment, I = K::tkIdentifier, R = K::tkKey, N = K::tkNumber, S = K::tkSpace, Q = K::tkString,
        Y = K::tkSymbol, W = K::tkNonKeyword, D = K::tkTripleQuotedString, Sys = K::tkSystemDefined,
        Hex = K::tkHex, Oct = K::tkOct, F = K::tkFloat, E = K::tkUnknown;

const TSrcRange Normal = rsPyNormal, Triple1 = rsPyTripleSingle, Triple2 = rsPyTripleDouble,
                Cont1 = rsPyContinuedSingle, Cont2 = rsPyContinuedDouble;

} // namespace

TEST(PythonHighlighter, NamesAndTheirClasses)
{
    RunCases({
        {"", Normal, {}, Normal},
        {"def f(self):", Normal, {{"def", R}, {" ", S}, {"f", I}, {"(", Y}, {"self", W}, {")", Y}, {":", Y}}, Normal},
        {"None True False none true", Normal, {{"None", W}, {" ", S}, {"True", W}, {" ", S}, {"False", W}, {" ", S},
                                               {"none", I}, {" ", S}, {"true", I}}, Normal},
        {"__init__ __a__ __future__", Normal, {{"__init__", Sys}, {" ", S}, {"__a__", Sys}, {" ", S},
                                               {"__future__", W}}, Normal},
        {"____ ___x___ __x_ __ab", Normal, {{"____", I}, {" ", S}, {"___x___", I}, {" ", S}, {"__x_", I}, {" ", S},
                                           {"__ab", I}}, Normal},
        {"# comment 'x'", Normal, {{"# comment 'x'", C}}, Normal},
        {"caf\xC3\xA9 $?@`", Normal, {{"caf", I}, {"\xC3\xA9", E}, {" ", S}, {"$", E}, {"?", E}, {"@", E}, {"`", Y}},
         Normal},
    });
}

TEST(PythonHighlighter, StringsWithTheirPrefixes)
{
    RunCases({
        {"r'a' u\"b\" ur'c' UR\"d\" U'e' R\"f\"", Normal,
         {{"r'a'", Q}, {" ", S}, {"u\"b\"", Q}, {" ", S}, {"ur'c'", Q}, {" ", S}, {"UR\"d\"", Q}, {" ", S}, {"U'e'", Q},
          {" ", S}, {"R\"f\"", Q}}, Normal},
        {"rx'y'", Normal, {{"rx", I}, {"'y'", Q}}, Normal},
        {"u", Normal, {{"u", I}}, Normal},
        // two backslashes before the quote end the string there; one or three do not
        {R"('a\\' b)", Normal, {{R"('a\\')", Q}, {" ", S}, {"b", I}}, Normal},
        {R"('a\' b' c)", Normal, {{R"('a\' b')", Q}, {" ", S}, {"c", I}}, Normal},
        {R"('a\\\' b' c)", Normal, {{R"('a\\\' b')", Q}, {" ", S}, {"c", I}}, Normal},
        {"'open", Normal, {{"'open", Q}}, Normal},
        {"\"open \\", Normal, {{"\"open \\", Q}}, Cont2},
        {"u'open \\", Normal, {{"u'open \\", Q}}, Cont1},
    });
}

TEST(PythonHighlighter, StringsOverLines)
{
    RunCases({
        {"x = \"\"\"doc", Normal, {{"x", I}, {" ", S}, {"=", Y}, {" ", S}, {"\"\"\"doc", D}}, Triple2},
        {"", Triple2, {}, Triple2},
        {"middle ''' \\\"\"\" still", Triple2, {{"middle ''' \\\"\"\" still", D}}, Triple2},
        {"end\"\"\" + 1", Triple2, {{"end\"\"\"", D}, {" ", S}, {"+", Y}, {" ", S}, {"1", N}}, Normal},
        {"r'''a", Normal, {{"r'''a", D}}, Triple1},
        {"b\\\\''' c", Triple1, {{"b\\\\'''", D}, {" ", S}, {"c", I}}, Normal},
        {"'''''' x", Normal, {{"''''''", D}, {" ", S}, {"x", I}}, Normal},
        {"two' + x", Cont1, {{"two'", Q}, {" ", S}, {"+", Y}, {" ", S}, {"x", I}}, Normal},
        {"still \\", Cont1, {{"still \\", Q}}, Cont1},
        {"no end", Cont1, {{"no end", Q}}, Normal},
        {"", Cont2, {}, Cont2},
        {"it\\\" goes\" on", Cont2, {{"it\\\" goes\"", Q}, {" ", S}, {"on", I}}, Normal},
        {"' is not the end", Cont2, {{"' is not the end", Q}}, Normal},
    });
}

// A string continued by a backslash closes with the quote that opened it, also when the editor
// restarts at the next line after the one shared instance scanned a string of the other quote.
TEST(PythonHighlighter, AContinuedStringClosesWithItsOwnQuoteAfterAnyOtherScan)
{
    const std::vector<std::string> document = {"s = \"one \\", "two' still\" + 'x'"};
    const std::vector<std::string> other = {"t = 'a \\", "b'"};

    TSrcPythonSyn alone;
    std::vector<TSrcRange> ranges;
    const std::string expected = DumpTokens(ScanTokens(alone, document, &ranges));
    EXPECT_EQ(ranges[0], Cont2);

    TSrcPythonSyn shared;
    ScanTokens(shared, document);
    ScanTokens(shared, other);
    EXPECT_EQ(ScanLineFrom<K>(shared, document[1], ranges[0]),
              (std::vector<TTok>{{"two' still\"", Q}, {" ", S}, {"+", Y}, {" ", S}, {"'x'", Q}}));
    EXPECT_EQ(DumpTokens(ScanTokens(shared, document)), expected);
}

TEST(PythonHighlighter, NumbersByNotation)
{
    const std::vector<std::pair<std::string, K>> cases = {
        {"123", N},      {"0", N},        {"0x1F", Hex},   {"0x1fL", Hex},  {"0x", Hex},    {"017", Oct},
        {"017L", Oct},   {"1.5", F},      {".5", F},       {"1e10", F},     {"1e-3", F},     {"1E+3", F},
        {"3j", F},       {"1.5J", F},     {"019.5", F},    {"09e1", F},     {"019j", F},     {"1.", F},
        {"0.", F},       {"1.e5", F},     {"017j", F},     {"10L", E},      {"019", E},      {"1.2.3", E},
        {"0x1.2", E},    {"1e", E},       {"1e+", E},      {"12abc", E},    {"0x1j", E},     {"1e5e", E},
        {"1.5L", E},     {"09", E},       {"1_000", E},    {"0xFFg", E},
    };
    TSrcPythonSyn h;
    for (const auto& [text, kind] : cases) {
        SCOPED_TRACE(text);
        EXPECT_EQ(ScanLineFrom<K>(h, text, Normal), (std::vector<TTok>{{text, kind}}));
    }
}

TEST(PythonHighlighter, NumbersEndAtEllipsesAndSymbols)
{
    RunCases({
        {"1...", Normal, {{"1", N}, {"...", Y}}, Normal},
        {"1.5...", Normal, {{"1.5", F}, {"...", Y}}, Normal},
        {"019...", Normal, {{"019...", E}}, Normal},
        {"1.5.", Normal, {{"1.5.", E}}, Normal},
        {"a[1:2]", Normal, {{"a", I}, {"[", Y}, {"1", N}, {":", Y}, {"2", N}, {"]", Y}}, Normal},
        {"... .. a.b", Normal, {{"...", Y}, {" ", S}, {".", Y}, {".", Y}, {" ", S}, {"a", I}, {".", Y}, {"b", I}},
         Normal},
        {"<> <= >= < > == **", Normal, {{"<>", Y}, {" ", S}, {"<=", Y}, {" ", S}, {">=", Y}, {" ", S}, {"<", Y},
                                        {" ", S}, {">", Y}, {" ", S}, {"=", Y}, {"=", Y}, {" ", S}, {"*", Y},
                                        {"*", Y}}, Normal},
        {"1+2", Normal, {{"1", N}, {"+", Y}, {"2", N}}, Normal},
    });
}

TEST(PythonHighlighter, RangeRoundTripsAndUnknownValuesStartAfresh)
{
    TSrcPythonSyn h;
    EXPECT_EQ(h.CurrentRange(), Normal);
    for (TSrcRange r : {Normal, Triple1, Triple2, Cont1, Cont2}) {
        h.RestoreRange(r);
        EXPECT_EQ(h.CurrentRange(), r);
    }
    for (TSrcRange r : {0u, 1u, 7u, 0xFFFFFFFFu}) {
        h.RestoreRange(Triple1);
        h.RestoreRange(r);
        EXPECT_EQ(h.CurrentRange(), Normal);
    }
    h.RestoreRange(Cont1);
    h.ClearRange();
    EXPECT_EQ(h.CurrentRange(), Normal);
}

TEST(PythonHighlighter, WordListAttributesRolesAndClassData)
{
    const auto list = TSrcPythonSyn::PythonKeywordList();
    ASSERT_EQ(list.size(), 95u);
    EXPECT_EQ(list.front().Word, "and");
    EXPECT_EQ(list[28].Word, "yield");
    EXPECT_EQ(list[29].Word, "__future__");
    std::set<std::string_view> words;
    for (size_t i = 0; i < list.size(); ++i) {
        EXPECT_EQ(list[i].Kind, i < 29 ? K::tkKey : K::tkNonKeyword) << list[i].Word;
        EXPECT_TRUE(words.insert(list[i].Word).second) << "twice: " << list[i].Word;
    }

    TSrcPythonSyn h;
    h.StartLine("self", 0);
    EXPECT_EQ(h.ClassifyIdentifier(0), K::tkNonKeyword);
    EXPECT_EQ(h.IdentifierLength(), 4u);

    EXPECT_EQ(AttributeNames(h),
              (std::vector<std::string>{"Comment", "Documentation", "Float", "Hexadecimal", "Identifier",
                                        "Non-reserved Keyword", "Number", "Octal", "Reserved Word", "Space", "String",
                                        "Symbol", "Syntax Error", "System Functions and Variables"}));
    EXPECT_EQ(h.CommentAttri()->Foreground(), clGray);
    EXPECT_EQ(h.CommentAttri()->Style(), TFontStyles{fsItalic});
    EXPECT_EQ(h.NonKeyAttri()->Foreground(), clNavy);
    EXPECT_EQ(h.NonKeyAttri()->Style(), TFontStyles{fsBold});
    EXPECT_EQ(h.DocStringAttri()->Foreground(), clTeal);
    EXPECT_EQ(h.ErrorAttri()->Foreground(), clRed);
    EXPECT_EQ(h.FloatAttri()->Foreground(), clBlue);

    EXPECT_EQ(h.RoleAttri(arComment), h.CommentAttri());
    EXPECT_EQ(h.RoleAttri(arKeyword), h.KeyAttri());
    EXPECT_EQ(h.RoleAttri(arWhitespace), h.SpaceAttri());
    EXPECT_EQ(h.RoleAttri(arSymbol), h.SymbolAttri());
    EXPECT_EQ(h.RoleAttri(arIdentifier), nullptr);
    EXPECT_EQ(h.RoleAttri(arString), nullptr);

    EXPECT_EQ(h.GetLanguageTitle(), "Python");
    EXPECT_GE(HighlighterList().IndexOf(TSrcPythonSyn::StaticClass()), 0);
    EXPECT_EQ(h.DefaultFilter(), "Python Files (*.py)|*.py");
    EXPECT_FALSE(h.IsFilterStored());
}

TEST(PythonHighlighterGolden, Samples)
{
    TSrcPythonSyn h;
    EXPECT_EQ(ReadWholeFile(GoldenFolder("python") + "/builtin-sample.py"), h.SampleText());
    ExpectGolden(h, "python", "builtin-sample.py");
    ExpectGolden(h, "python", "edge-cases.py");
}
