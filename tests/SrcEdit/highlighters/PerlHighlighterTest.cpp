// The Perl highlighter: punctuation and named variables, words by exact case, numbers with their
// kept exponent-sign quirk, strings that end on their line, operators by their longest form, no
// state between lines, attributes and class data, and the golden samples.

#include "SrcEdit/highlighters/HighlighterScan.h"
#include "SrcEdit/highlighters/HighlighterTestSupport.h"
#include "SrcEdit/Source/highlighters/SrcEditHighlighterPerl.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace {

using K = TPerlTokenKind;
using TTok = TScanToken<K>;
constexpr TLineCaseRunner<TSrcPerlSyn, K> RunCases{};

const K C = K::tkComment, I = K::tkIdentifier, R = K::tkKey, N = K::tkNumber, O = K::tkOperator, P = K::tkPragma,
        S = K::tkSpace, Q = K::tkString, Y = K::tkSymbol, U = K::tkUnknown, V = K::tkVariable;

} // namespace

TEST(PerlHighlighter, WordsVariablesAndCase)
{
    RunCases({
        {"", 0, {}, 0},
        {"print $x if $y;", 0, {{"print", R}, {" ", S}, {"$x", I}, {" ", S}, {"if", R}, {" ", S}, {"$y", I}, {";", Y}},
         0},
        {"@ARGV %INC @argv If if", 0, {{"@ARGV", V}, {" ", S}, {"%INC", V}, {" ", S}, {"@argv", I}, {" ", S},
                                       {"If", I}, {" ", S}, {"if", R}}, 0},
        {"$FORMAT_LINE_BREAK_CHARACTERS $ENV", 0, {{"$FORMAT_LINE_BREAK_CHARACTERS", V}, {" ", S}, {"$ENV", V}}, 0},
        {"eq cmp xor strict vars", 0, {{"eq", O}, {" ", S}, {"cmp", O}, {" ", S}, {"xor", O}, {" ", S}, {"strict", P},
                                       {" ", S}, {"vars", P}}, 0},
        // sums beyond the last bucket are identifiers without a lookup
        {"$zzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzz", 0, {{"$zzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzz", I}}, 0},
    });
}

TEST(PerlHighlighter, PunctuationVariables)
{
    RunCases({
        {"$_ $! $0 $; $@ $\\ $| $~", 0, {{"$_", V}, {" ", S}, {"$!", V}, {" ", S}, {"$0", V}, {" ", S}, {"$;", V},
                                        {" ", S}, {"$@", V}, {" ", S}, {"$\\", V}, {" ", S}, {"$|", V}, {" ", S},
                                        {"$~", V}}, 0},
        {"$_name", 0, {{"$_", V}, {"name", I}}, 0},
        {"$^W $^X", 0, {{"$^W", V}, {" ", S}, {"$^X", V}}, 0},
        {"$^", 0, {{"$^", V}}, 0},
        {"$^Z", 0, {{"$", I}, {"^", Y}, {"Z", I}}, 0},
        {"$,", 0, {{"$", I}, {",", Y}}, 0},
        {"a % b %= c", 0, {{"a", I}, {" ", S}, {"%", I}, {" ", S}, {"b", I}, {" ", S}, {"%=", Y}, {" ", S}, {"c", I}},
         0},
        {"%", 0, {{"%", Y}}, 0},
        {"$a x= 3 x", 0, {{"$a", I}, {" ", S}, {"x=", Y}, {" ", S}, {"3", N}, {" ", S}, {"x", Y}}, 0},
    });
}

TEST(PerlHighlighter, NoPatternLiteralsOrPod)
{
    RunCases({
        {"$a =~ s/x/y/;", 0, {{"$a", I}, {" ", S}, {"=~", Y}, {" ", S}, {"s", I}, {"/", Y}, {"x", I}, {"/", Y},
                              {"y", I}, {"/", Y}, {";", Y}}, 0},
        {"=head1 NAME", 0, {{"=", Y}, {"head1", I}, {" ", S}, {"NAME", I}}, 0},
        {"<<EOT;", 0, {{"<<", Y}, {"EOT", I}, {";", Y}}, 0},
        {"# \"not a string\"", 0, {{"# \"not a string\"", C}}, 0},
    });
}

TEST(PerlHighlighter, NumbersKeepTheExponentSignQuirk)
{
    RunCases({
        {"1e5 0x1F 1_000 12ab", 0, {{"1e5", N}, {" ", S}, {"0x1F", N}, {" ", S}, {"1_000", N}, {" ", S},
                                    {"12ab", N}}, 0},
        // a '-' joins a number only before an 'e' or 'E'
        {"1-2", 0, {{"1", N}, {"-", Y}, {"2", N}}, 0},
        {"1e-5", 0, {{"1e", N}, {"-", Y}, {"5", N}}, 0},
        {"1-e5", 0, {{"1-e5", N}}, 0},
        {"1..9", 0, {{"1", N}, {"..", Y}, {"9", N}}, 0},
        {"... .= .x .5", 0, {{"...", Y}, {" ", S}, {".=", Y}, {" ", S}, {".", Y}, {"x", I}, {" ", S}, {".5", N}}, 0},
        // a dot before a blank reads as a one-byte number
        {"$a . $b", 0, {{"$a", I}, {" ", S}, {".", N}, {" ", S}, {"$b", I}}, 0},
    });
}

TEST(PerlHighlighter, StringsEndOnTheirLine)
{
    RunCases({
        {R"("a\\" b)", 0, {{R"("a\\")", Q}, {" ", S}, {"b", I}}, 0},
        {R"("c\" d" y)", 0, {{R"("c\" d")", Q}, {" ", S}, {"y", I}}, 0},
        {R"("e\\\" f" y)", 0, {{R"("e\\\" f")", Q}, {" ", S}, {"y", I}}, 0},
        // two quotes right after the opening one are skipped before the search for the end
        {R"("""" y)", 0, {{R"("""")", Q}, {" ", S}, {"y", I}}, 0},
        {R"(""" x)", 0, {{R"(""" x)", Q}}, 0},
        {R"("" y)", 0, {{R"("")", Q}, {" ", S}, {"y", I}}, 0},
        {R"('it\'s' x)", 0, {{R"('it\')", Q}, {"s", I}, {"' x", Q}}, 0},
        {"\"a # b\" # c", 0, {{"\"a # b\"", Q}, {" ", S}, {"# c", C}}, 0},
        {"\"open", 0, {{"\"open", Q}}, 0},
        {"'open", 0, {{"'open", Q}}, 0},
        // the line break that ends an open string belongs to it
        {"\"a\nb", 0, {{"\"a\n", Q}, {"b", I}}, 0},
        {"'a\nb", 0, {{"'a", Q}, {"\n", S}, {"b", I}}, 0},
    });
}

TEST(PerlHighlighter, OperatorsByTheirLongestForm)
{
    RunCases({
        {"**= ** *= && &&= &= ||= || |=", 0,
         {{"**=", Y}, {" ", S}, {"**", Y}, {" ", S}, {"*=", Y}, {" ", S}, {"&&", Y}, {" ", S}, {"&&=", Y}, {" ", S},
          {"&=", Y}, {" ", S}, {"||=", Y}, {" ", S}, {"||", Y}, {" ", S}, {"|=", Y}}, 0},
        {"<=> <<= << <= >>= >> >= -> -- -= ++ += == => != !~ :: ^=", 0,
         {{"<=>", Y}, {" ", S}, {"<<=", Y}, {" ", S}, {"<<", Y}, {" ", S}, {"<=", Y}, {" ", S}, {">>=", Y},
          {" ", S}, {">>", Y}, {" ", S}, {">=", Y}, {" ", S}, {"->", Y}, {" ", S}, {"--", Y}, {" ", S}, {"-=", Y},
          {" ", S}, {"++", Y}, {" ", S}, {"+=", Y}, {" ", S}, {"==", Y}, {" ", S}, {"=>", Y}, {" ", S}, {"!=", Y},
          {" ", S}, {"!~", Y}, {" ", S}, {"::", Y}, {" ", S}, {"^=", Y}}, 0},
        {"(),;?[\\]{}~/", 0, {{"(", Y}, {")", Y}, {",", Y}, {";", Y}, {"?", Y}, {"[", Y}, {"\\", Y}, {"]", Y}, {"{", Y},
                              {"}", Y}, {"~", Y}, {"/", Y}}, 0},
        {"`caf\xC3\xA9\xFF", 0, {{"`", U}, {"caf", I}, {"\xC3\xA9", U}, {"\xFF", U}}, 0},
    });
}

TEST(PerlHighlighter, NothingCarriesOverLines)
{
    TSrcPerlSyn h;
    for (TSrcRange r : {0u, 1u, 7u}) {
        h.RestoreRange(r);
        EXPECT_EQ(h.CurrentRange(), 0u);
    }
    TKindPairs tokens = ScanKinds(h, {"\"open", "y"});
    EXPECT_EQ(tokens, (TKindPairs{{"\"open", 8}, {"y", 1}}));
}

TEST(PerlHighlighter, AttributesRolesAndClassData)
{
    TSrcPerlSyn h;
    EXPECT_EQ(AttributeNames(h),
              (std::vector<std::string>{"Comment", "Identifier", "Illegal Char", "Number", "Operator", "Pragma",
                                        "Reserved Word", "Space", "String", "Symbol", "Variable"}));
    EXPECT_EQ(h.CommentAttri()->Style(), TFontStyles{fsItalic});
    EXPECT_EQ(h.PragmaAttri()->Style(), TFontStyles{fsBold});
    EXPECT_EQ(h.VariableAttri()->Style(), TFontStyles{fsBold});
    EXPECT_EQ(h.SpaceAttri()->Foreground(), clWindow);
    EXPECT_FALSE(h.SpaceAttri()->IsForegroundStored());

    EXPECT_EQ(h.RoleAttri(arComment), h.CommentAttri());
    EXPECT_EQ(h.RoleAttri(arIdentifier), h.IdentifierAttri());
    EXPECT_EQ(h.RoleAttri(arKeyword), h.KeyAttri());
    EXPECT_EQ(h.RoleAttri(arString), h.StringAttri());
    EXPECT_EQ(h.RoleAttri(arWhitespace), h.SpaceAttri());
    EXPECT_EQ(h.RoleAttri(arSymbol), h.SymbolAttri());

    h.StartLine("`", 0);
    EXPECT_EQ(h.TokenAttri(), h.InvalidAttri());
    h.AdvanceToken();
    EXPECT_TRUE(h.AtLineEnd());
    EXPECT_EQ(h.TokenAttri(), nullptr);
    EXPECT_EQ(h.TokenKindCode(), static_cast<int>(K::tkNull));

    EXPECT_EQ(h.GetLanguageTitle(), "Perl");
    EXPECT_GE(HighlighterList().IndexOf(TSrcPerlSyn::StaticClass()), 0);
    EXPECT_EQ(h.DefaultFilter(), "Perl Files (*.pl;*.pm;*.cgi)|*.pl;*.pm;*.cgi");
    EXPECT_FALSE(h.IsFilterStored());
    const TSrcCharSet chars = h.IdentifierChars();
    EXPECT_TRUE(chars.test('$') && chars.test('%') && chars.test('@') && chars.test('_') && chars.test(0xC3));
    EXPECT_FALSE(chars.test('-') || chars.test(' ') || chars.test(':'));
}

TEST(PerlHighlighterGolden, Samples)
{
    TSrcPerlSyn h;
    EXPECT_EQ(ReadWholeFile(GoldenFolder("perl") + "/builtin-sample.pl"), h.SampleText());
    ExpectGolden(h, "perl", "builtin-sample.pl");
    ExpectGolden(h, "perl", "edge-cases.pl");
}
