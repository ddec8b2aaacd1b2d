// The Java highlighter: reserved words by exact case, names with '$' and letters beyond ASCII,
// numbers, strings and character literals, symbols by their longest form, block and
// documentation comments over lines, attributes and class data, and the golden samples.

#include "SrcEdit/highlighters/HighlighterScan.h"
#include "SrcEdit/highlighters/HighlighterTestSupport.h"
#include "SrcEdit/Source/highlighters/SrcEditHighlighterJava.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace {

using K = TJavaTokenKind;
using TTok = TScanToken<K>;
constexpr TLineCaseRunner<TSrcJavaSyn, K> RunCases{};

const K C = K::tkComment, D = K::tkDocument, I = K::tkIdentifier, X = K::tkInvalid, R = K::tkKey, N = K::tkNumber,
        S = K::tkSpace, Q = K::tkString, Y = K::tkSymbol, U = K::tkUnknown;

const TSrcRange Normal = rsJavaNormal, InComment = rsJavaComment, InDoc = rsJavaDocument;

} // namespace

TEST(JavaHighlighter, ReservedWordsMatchExactlyWithTheirCase)
{
    RunCases({
        {"", Normal, {}, Normal},
        {"If NULL True", Normal, {{"If", I}, {" ", S}, {"NULL", I}, {" ", S}, {"True", I}}, Normal},
        {"if null true", Normal, {{"if", R}, {" ", S}, {"null", R}, {" ", S}, {"true", R}}, Normal},
        // words that share a hash: "for" and "break", "else" and "new", "class" and "float" ...
        {"for break else new class float default const switch assert extends private continue throws", Normal,
         {{"for", R}, {" ", S}, {"break", R}, {" ", S}, {"else", R}, {" ", S}, {"new", R}, {" ", S}, {"class", R},
          {" ", S}, {"float", R}, {" ", S}, {"default", R}, {" ", S}, {"const", R}, {" ", S}, {"switch", R}, {" ", S},
          {"assert", R}, {" ", S}, {"extends", R}, {" ", S}, {"private", R}, {" ", S}, {"continue", R}, {" ", S},
          {"throws", R}}, Normal},
        {"synchronized synchronizedX", Normal, {{"synchronized", R}, {" ", S}, {"synchronizedX", I}}, Normal},
        // '$', '_' and digits add nothing to the hash, yet the word must match exactly
        {"f$or fo_r for1 $if", Normal, {{"f$or", I}, {" ", S}, {"fo_r", I}, {" ", S}, {"for1", I}, {" ", S},
                                        {"$if", I}}, Normal},
    });
}

TEST(JavaHighlighter, NamesMayHoldDollarsAndLettersBeyondAscii)
{
    RunCases({
        {"$x _1 caf\xC3\xA9_na\xC3\xAFve \xCE\xB1\xCE\xB2", Normal,
         {{"$x", I}, {" ", S}, {"_1", I}, {" ", S}, {"caf\xC3\xA9_na\xC3\xAFve", I}, {" ", S}, {"\xCE\xB1\xCE\xB2", I}},
         Normal},
        // the multiplication and division signs and stray bytes are no letters
        {"a\xC3\x97" "b x\xC3\xB7y", Normal, {{"a", I}, {"\xC3\x97", U}, {"b", I}, {" ", S}, {"x", I}, {"\xC3\xB7", U},
                                            {"y", I}}, Normal},
        {"a\xA9\xFF" "b", Normal, {{"a", I}, {"\xA9", U}, {"\xFF", U}, {"b", I}}, Normal},
        {"#@\\`\x7F", Normal, {{"#", X}, {"@", X}, {"\\", U}, {"`", U}, {"\x7F", U}}, Normal},
        {"\t \x01x", Normal, {{"\t \x01", S}, {"x", I}}, Normal},
    });
}

TEST(JavaHighlighter, NumbersAndDots)
{
    RunCases({
        {"0x1F 10L 1.5e-3 1-2", Normal, {{"0x1F", N}, {" ", S}, {"10L", N}, {" ", S}, {"1.5e-3", N}, {" ", S},
                                         {"1-2", N}}, Normal},
        {"1e+5", Normal, {{"1e", N}, {"+", Y}, {"5", N}}, Normal},
        {"a.b .5 x...", Normal, {{"a", I}, {".", Y}, {"b", I}, {" ", S}, {".5", N}, {" ", S}, {"x", I}, {".", Y},
                                 {".", Y}, {".", Y}}, Normal},
        // a number ends before "..", and a dot before a digit starts the next one
        {"1...2", Normal, {{"1", N}, {".", Y}, {".", Y}, {".2", N}}, Normal},
        {"1..2", Normal, {{"1", N}, {".", Y}, {".2", N}}, Normal},
    });
}

TEST(JavaHighlighter, StringsAndCharacterLiteralsEndOnTheirLine)
{
    RunCases({
        {R"("str\"ing" x)", Normal, {{R"("str\"ing")", Q}, {" ", S}, {"x", I}}, Normal},
        {R"('\'' 'c' '\\' x)", Normal, {{R"('\'')", Q}, {" ", S}, {"'c'", Q}, {" ", S}, {R"('\\')", Q}, {" ", S},
                                        {"x", I}}, Normal},
        {R"("a\\" b)", Normal, {{R"("a\\")", Q}, {" ", S}, {"b", I}}, Normal},
        {R"("""x" y)", Normal, {{R"("""x")", Q}, {" ", S}, {"y", I}}, Normal},
        {"\"open", Normal, {{"\"open", Q}}, Normal},
        {"'open\\", Normal, {{"'open\\", Q}}, Normal},
        {"\"caf\xC3\xA9\"", Normal, {{"\"caf\xC3\xA9\"", Q}}, Normal},
    });
}

TEST(JavaHighlighter, SymbolsByTheirLongestForm)
{
    RunCases({
        {">>>= >>> >>= >> >= > <<= << <= <", Normal,
         {{">>>=", Y}, {" ", S}, {">>>", Y}, {" ", S}, {">>=", Y}, {" ", S}, {">>", Y}, {" ", S}, {">=", Y}, {" ", S},
          {">", Y}, {" ", S}, {"<<=", Y}, {" ", S}, {"<<", Y}, {" ", S}, {"<=", Y}, {" ", S}, {"<", Y}}, Normal},
        {"->", Normal, {{"-", Y}, {">", Y}}, Normal},
        {"&& &= || |= ++ += -- -= *= != == %= ^= / /=", Normal,
         {{"&&", Y}, {" ", S}, {"&=", Y}, {" ", S}, {"||", Y}, {" ", S}, {"|=", Y}, {" ", S}, {"++", Y}, {" ", S},
          {"+=", Y}, {" ", S}, {"--", Y}, {" ", S}, {"-=", Y}, {" ", S}, {"*=", Y}, {" ", S}, {"!=", Y}, {" ", S},
          {"==", Y}, {" ", S}, {"%=", Y}, {" ", S}, {"^=", Y}, {" ", S}, {"/", Y}, {" ", S}, {"/=", Y}}, Normal},
        {"()[]{};:,?~", Normal, {{"(", Y}, {")", Y}, {"[", Y}, {"]", Y}, {"{", Y}, {"}", Y}, {";", Y}, {":", Y},
                                 {",", Y}, {"?", Y}, {"~", Y}}, Normal},
    });
}

TEST(JavaHighlighter, CommentsAndTheirRangeOverLines)
{
    RunCases({
        {"// a /* b", Normal, {{"// a /* b", C}}, Normal},
        {"int x; /* block", Normal, {{"int", R}, {" ", S}, {"x", I}, {";", Y}, {" ", S}, {"/* block", C}}, InComment},
        {"", InComment, {}, InComment},
        {"still", InComment, {{"still", C}}, InComment},
        {"end */ int", InComment, {{"end */", C}, {" ", S}, {"int", R}}, Normal},
        {"/** doc", Normal, {{"/** doc", D}}, InDoc},
        {" * more */ x", InDoc, {{" * more */", D}, {" ", S}, {"x", I}}, Normal},
        {"/** one */ x", Normal, {{"/** one */", D}, {" ", S}, {"x", I}}, Normal},
        // the search for the end starts behind the opener, so "/*/" and "/***/"'s first '*' stay inside
        {"/*/ open", Normal, {{"/*/ open", C}}, InComment},
        {"/***/ x", Normal, {{"/***/", D}, {" ", S}, {"x", I}}, Normal},
        // an empty comment closes where it stands
        {"/**/ int y;", Normal, {{"/**/", C}, {" ", S}, {"int", R}, {" ", S}, {"y", I}, {";", Y}}, Normal},
    });
}

TEST(JavaHighlighter, RangeRoundTripsAndUnknownValuesStartAfresh)
{
    TSrcJavaSyn h;
    EXPECT_EQ(h.CurrentRange(), Normal);
    for (TSrcRange r : {Normal, InComment, InDoc}) {
        h.RestoreRange(r);
        EXPECT_EQ(h.CurrentRange(), r);
    }
    for (TSrcRange r : {0u, 4u, 0xFFFFFFFFu}) {
        h.RestoreRange(InDoc);
        h.RestoreRange(r);
        EXPECT_EQ(h.CurrentRange(), Normal);
    }
    h.RestoreRange(InComment);
    h.ClearRange();
    EXPECT_EQ(h.CurrentRange(), Normal);
}

TEST(JavaHighlighter, AttributesRolesAndClassData)
{
    TSrcJavaSyn h;
    EXPECT_EQ(AttributeNames(h), (std::vector<std::string>{"Comment", "Documentation", "Identifier", "Invalid Symbol",
                                                           "Number", "Reserved Word", "Space", "String", "Symbol"}));
    EXPECT_EQ(h.CommentAttri()->Style(), TFontStyles{fsItalic});
    EXPECT_EQ(h.DocumentAttri()->Style(), TFontStyles{fsItalic});
    EXPECT_EQ(h.KeyAttri()->Style(), TFontStyles{fsBold});
    EXPECT_EQ(h.SpaceAttri()->Foreground(), clWindow);

    EXPECT_EQ(h.RoleAttri(arComment), h.CommentAttri());
    EXPECT_EQ(h.RoleAttri(arIdentifier), h.IdentifierAttri());
    EXPECT_EQ(h.RoleAttri(arKeyword), h.KeyAttri());
    EXPECT_EQ(h.RoleAttri(arString), h.StringAttri());
    EXPECT_EQ(h.RoleAttri(arWhitespace), h.SpaceAttri());
    EXPECT_EQ(h.RoleAttri(arSymbol), h.SymbolAttri());
    EXPECT_EQ(h.RoleAttri(6), nullptr);

    h.StartLine("\\", 0);
    EXPECT_EQ(h.TokenAttri(), h.InvalidAttri()) << "unknown bytes show as invalid symbols";
    h.AdvanceToken();
    EXPECT_TRUE(h.AtLineEnd());
    EXPECT_EQ(h.TokenAttri(), nullptr);

    EXPECT_EQ(h.GetLanguageTitle(), "Java");
    EXPECT_GE(HighlighterList().IndexOf(TSrcJavaSyn::StaticClass()), 0);
    EXPECT_EQ(h.DefaultFilter(), "Java Files (*.java)|*.java");
    EXPECT_FALSE(h.IsFilterStored());
    const TSrcCharSet chars = h.IdentifierChars();
    EXPECT_TRUE(chars.test('$') && chars.test('_') && chars.test('9') && chars.test(0xC3));
    EXPECT_FALSE(chars.test('.') || chars.test(' ') || chars.test('@'));
}

TEST(JavaHighlighterGolden, Samples)
{
    TSrcJavaSyn h;
    EXPECT_EQ(ReadWholeFile(GoldenFolder("java") + "/builtin-sample.java"), h.SampleText());
    ExpectGolden(h, "java", "builtin-sample.java");
    ExpectGolden(h, "java", "edge-cases.java");
}
