// The regular-expression engine: syntax, compile errors, matching, sub-matches, continuing,
// templates and replacement, run-time errors and the step budget.

#include "SrcEdit/Source/regexpr/SrcEditRegExpr.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

namespace {

struct TSpan {
    int Position;  // 1-based; -1 when unset
    int Length;
};

// Runs Exec and gives pair 0 and the groups 1..groups, or nothing when Exec fails.
std::vector<TSpan> Match(TRegExpr& re, std::string_view subject, int groups)
{
    if (!re.Exec(subject))
        return {};
    std::vector<TSpan> result;
    for (int n = 0; n <= groups; ++n)
        result.push_back({re.SubMatchPosition(n), re.SubMatchLength(n)});
    return result;
}

bool operator==(const TSpan& a, const TSpan& b) { return a.Position == b.Position && a.Length == b.Length; }

void PrintTo(const TSpan& s, std::ostream* os) { *os << "(" << s.Position << "," << s.Length << ")"; }

struct TMatchCase {
    std::string Pattern;
    std::string Subject;
    std::vector<TSpan> Expected;  // pair 0 then groups; empty: no match
};

// Each case compiled with the default settings and run once.
void ExpectMatches(const std::vector<TMatchCase>& cases)
{
    for (const TMatchCase& c : cases) {
        SCOPED_TRACE("pattern \"" + c.Pattern + "\" on \"" + c.Subject + "\"");
        TRegExpr re;
        re.SetExpression(c.Pattern);
        const int groups = c.Expected.empty() ? 0 : static_cast<int>(c.Expected.size()) - 1;
        EXPECT_EQ(Match(re, c.Subject, groups), c.Expected);
    }
}

const std::string CR = "\r";
const std::string LF = "\n";

TEST(RegExprMatch, TableOfPatterns)
{
    const std::vector<TMatchCase> cases = {
        // literals, runs and the first alternative that matches
        {"abc", "xxabcx", {{3, 3}}},
        {"abc", "ab", {}},
        {"a|ab", "xabx", {{2, 1}}},
        {"ab|a", "xabx", {{2, 2}}},
        {"abc+", "abccc", {{1, 5}}},
        {"abc+", "abcabc", {{1, 3}}},
        {"a{2}", "a", {}},
        {"a{2}", "baaa", {{2, 2}}},
        {"a{x}", "a{x}", {{1, 4}}},
        {"a{x}", "ax", {}},
        {"{", "x{y", {{2, 1}}},
        {"{2}", "a{2}", {{2, 3}}},
        {"a{1, 2}", "a{1, 2}", {{1, 7}}},
        {"x{2,}", "xxxxx", {{1, 5}}},
        {"x{1,3}", "xxxxx", {{1, 3}}},
        {"x{0}y", "xy", {{2, 1}}},
        // classes
        {"[]a]", "x]", {{2, 1}}},
        {"[]a]", "xa", {{2, 1}}},
        {"[^]a]", "]ab", {{3, 1}}},
        {"[a-]", "x-", {{2, 1}}},
        {"[a-]", "xa", {{2, 1}}},
        {"[-a]+", "x-a-", {{2, 3}}},
        {"[a-c]+", "xabcd", {{2, 3}}},
        {"[^a-c]+", "abxyc", {{3, 2}}},
        {"[\\d]+", "ab12c", {{3, 2}}},
        {"[\\D]", "x1D", {{3, 1}}},
        {"[\\w.]+", "  a.b_c ", {{3, 5}}},
        {"[\\s]", "a\tb", {{2, 1}}},
        {"[a-\\d]+", "z-9a", {{2, 3}}},
        {"[\\x41-\\x43]+", "xABCD", {{2, 3}}},
        {"[\\n]", "a\nb", {{2, 1}}},
        {"[\\]]", "a]", {{2, 1}}},
        {"[\\b]", "ab", {{2, 1}}},
        {"(?i)[a-c]+", "xAbC", {{2, 3}}},
        {"(?i)[^a]", "Aab", {{3, 1}}},
        // escapes
        {"\\x41", "zA", {{2, 1}}},
        {"\\x{41}", "zA", {{2, 1}}},
        {"\\x{0041}", "zA", {{2, 1}}},
        {"\\t\\r\\n\\f\\a\\e", "\t\r\n\f\a\x1B", {{1, 6}}},
        {"\\.\\$\\^\\\\", "a.$^\\", {{2, 4}}},
        {"\\d+", "ab123c", {{3, 3}}},
        {"\\D+", "12ab3", {{3, 2}}},
        {"\\w+", "  foo_1!", {{3, 5}}},
        {"\\W+", "ab !c", {{3, 2}}},
        {"\\s+", "a \t\r\n\fb", {{2, 5}}},
        {"\\S+", "  ab ", {{3, 2}}},
        // "." and modifier s
        {"a.c", "a\nc", {{1, 3}}},
        {"(?-s)a.c", "a\nc", {}},
        {"(?-s).", "\r", {}},
        {"(?-s).", "\rx", {{2, 1}}},
        {"(?s).", "\r", {{1, 1}}},
        // anchors and boundaries
        {"^ab", "ab", {{1, 2}}},
        {"^ab", "xab", {}},
        {"ab$", "abab", {{3, 2}}},
        {"ab$", "ab\n", {}},
        {"\\Aab", "xab", {}},
        {"ab\\Z", "ab", {{1, 2}}},
        {"\\bcat\\b", "cats a cat.", {{8, 3}}},
        {"\\Bat", "at cat", {{5, 2}}},
        {"\\b", "  ", {}},
        {"\\b", "x", {{1, 0}}},
        {"$", "abc", {{4, 0}}},
        {"^", "", {{1, 0}}},
        {"^$", "", {{1, 0}}},
        // modifier m and the paired separator
        {"(?m)^b", "a" + CR + LF + "b", {{4, 1}}},
        {"(?m)^.", "a" + CR + LF + "b", {{1, 1}}},
        {"(?m)a$", "a" + CR + LF + "b", {{1, 1}}},
        {"(?m)" + CR + "^", "a" + CR + LF + "b", {}},
        {"(?m)" + LF + "^b", "a" + CR + LF + "b", {{3, 2}}},
        {"(?m)$" + LF, "a" + CR + LF + "b", {}},
        {"(?m)" + CR + "$", "a" + CR + LF + "b", {}},
        {"(?m)^b", "a" + LF + "b", {{3, 1}}},
        {"(?m)^b", "a" + CR + "b", {{3, 1}}},
        {"(?m)a$", "a" + CR + "b", {{1, 1}}},
        {"(?m)^$", "a" + CR + LF + CR + LF + "b", {{4, 0}}},
        {"(?m)^\\s*//", "x\n  // y", {{3, 4}}},
        {"^b", "a\nb", {}},
        // groups
        {"(a)(b)?c", "ac", {{1, 2}, {1, 1}, {-1, -1}}},
        {"(a|b)+", "abba", {{1, 4}, {4, 1}}},
        {"((a)|b)+", "ab", {{1, 2}, {2, 1}, {1, 1}}},
        {"(a*)b", "aab", {{1, 3}, {1, 2}}},
        {"(a)|b", "b", {{1, 1}, {-1, -1}}},
        {"(x)(y)(z)", "xyz", {{1, 3}, {1, 1}, {2, 1}, {3, 1}}},
        {"(ab)+c", "ababc", {{1, 5}, {3, 2}}},
        {"(ab)*c", "c", {{1, 1}, {-1, -1}}},
        {"(ab){2,3}", "abababab", {{1, 6}, {5, 2}}},
        {"(ab){2,3}?", "abababab", {{1, 4}, {3, 2}}},
        {"(ab)+?", "abab", {{1, 2}, {1, 2}}},
        {"(ab)??c", "abc", {{1, 3}, {1, 2}}},
        {"(a|ab)(c|bcd)(d*)", "abcd", {{1, 4}, {1, 1}, {2, 3}, {5, 0}}},
        {"()", "x", {{1, 0}, {1, 0}}},
        // greedy and lazy
        {"a.*b", "aXbYb", {{1, 5}}},
        {"a.*?b", "aXbYb", {{1, 3}}},
        {"a+?", "aaa", {{1, 1}}},
        {"a??b", "ab", {{1, 2}}},
        {"a{2,}?", "aaaa", {{1, 2}}},
        {"(?-g)a+", "aaa", {{1, 1}}},
        {"(?-g)a+?", "aaa", {{1, 1}}},
        {"(?-g)(a)+", "aaa", {{1, 1}, {1, 1}}},
        {"(?-g)<.*>", "<a><b>", {{1, 3}}},
        // back-references
        {"(a+)b\\1", "aabaa", {{1, 5}, {1, 2}}},
        {"(a+)b\\1", "aaba", {{2, 3}, {2, 1}}},
        {"(a)|\\1x", "x", {}},
        {"(?i)(a)\\1", "aA", {{1, 2}, {1, 1}}},
        {"(a)\\1", "aA", {}},
        {"(a*)(\\1)*c", "c", {{1, 1}, {1, 0}, {1, 0}}},
        {"(a)\\1*", "aaaa", {{1, 4}, {1, 1}}},
        // inside its own group a back-reference sees the text of the previous iteration
        {"(a|b\\1)+", "abab", {{1, 3}, {2, 2}}},
        {"(a|b\\1)+", "ababba", {{1, 6}, {4, 3}}},
        // case-insensitive
        {"(?i)abc", "xABC", {{2, 3}}},
        {"(?i)a1b", "A1B", {{1, 3}}},
        {"a(?i)b", "AB aB", {{4, 2}}},
        {"(a(?i)b)c", "aBC aBc", {{5, 3}, {5, 2}}},
        {"(a(?i)b|c)", "C", {{1, 1}, {1, 1}}},
        {"(?i)x+", "xXxy", {{1, 3}}},
        {"(?i-i)a", "A", {}},
        // extended syntax
        {"(?x)a b #comment\nc", "abc", {{1, 3}}},
        {"(?x)a b #comment\nc", "a b", {}},
        {"(?x)ab *", "abbb", {{1, 4}}},
        {"(?x)[ ]", "a b", {{2, 1}}},
        {"a(?#note)b", "ab", {{1, 2}}},
        {"ab(?#note)+", "abb", {{1, 3}}},
        // the multi-language highlighter's markers
        {"<\\?(php){0,1}", "<?php echo 1; ?>", {{1, 5}, {3, 3}}},
        {"<\\?(php){0,1}", "x <?= 1 ?>", {{3, 2}, {-1, -1}}},
        {"\\?>", "<?php echo 1; ?>", {{15, 2}}},
        {"<\\?(xml)", "<?xml version=\"1.0\"?>", {{1, 5}, {3, 3}}},
        {"<(script)[^>]*>", "a<script type=x>b", {{2, 15}, {3, 6}}},
        {"style=\"", "<p style=\"x\">", {{4, 7}}},
        // start-up analysis must not skip real matches
        {"(abc)?d", "xd", {{2, 1}, {-1, -1}}},
        {"(ab){0,1}c", "c", {{1, 1}, {-1, -1}}},
        // a start anchor inside a group that may be skipped does not anchor the whole pattern
        {"(b|^c){0}-", "x-", {{2, 1}, {-1, -1}}},
        {"(\\Ab)?-", "x-", {{2, 1}, {-1, -1}}},
        {"x*y", "y", {{1, 1}}},
        {"(a|)b", "b", {{1, 1}, {1, 0}}},
        {"x*(abc)?d", "d", {{1, 1}, {-1, -1}}},
        {"a*(bc|de)f", "def", {{1, 3}, {1, 2}}},
        {"a+(bcd){0,2}e", "ae", {{1, 2}, {-1, -1}}},
        {"(?i)x*abc", "ABC", {{1, 3}}},
        {"a*", "bbb", {{1, 0}}},
        {"a*$", "bbb", {{4, 0}}},
        {"(?i)ab", "xAB", {{2, 2}}},
        {"\\w+@\\w+\\.com", "mail bob@site.com now", {{6, 12}}},
        {"[a-z]+ing", "Sing singing", {{6, 7}}},
        {"(\\w+)\\s(\\w+)", "hello big world", {{1, 9}, {1, 5}, {7, 3}}},
        {"\\$[A-Za-z_]\\w*", "echo $foo_1;", {{6, 6}}},
        {"\\b(if|else|while)\\b", "elsewhere else", {{11, 4}, {11, 4}}},
        {"public|private|protected", "a protected b", {{3, 9}}},
        // the Cyrillic byte ranges of modifier r
        {"[\\xE0-\\xFF]", "\xB8", {{1, 1}}},
        {"(?-r)[\\xE0-\\xFF]", "\xB8", {}},
        {"[\\xC0-\\xDF]", "\xA8", {{1, 1}}},
        {"[\\xE0-\\xDF]+", "\xC0\xFF\xA8\xB8", {{1, 4}}},
        {"[\\xE1-\\xFF]", "\xB8", {}},
        // a quantifier after a multi-byte character repeats all of it; bytes from 128 on are
        // word characters
        {"\xC3\xA9+", "caf\xC3\xA9\xC3\xA9\xA9", {{4, 4}}},
        {"\\W+", "caf\xC3\xA9!", {{6, 1}}},
    };
    ExpectMatches(cases);
}

// UTF-8 subjects: one character may be two to four bytes, a byte that begins no valid
// sequence is a character of its own, and no match starts or ends inside a character.
TEST(RegExprUtf8, DotsClassesAndWordsTakeWholeCharacters)
{
    const std::string e = "\xC3\xA9";          // é
    const std::string a = "\xC3\xA0";          // à
    const std::string E = "\xC3\x89";          // É
    const std::string euro = "\xE2\x82\xAC";   // €
    const std::string face = "\xF0\x9F\x98\x80";  // a four-byte character
    const std::vector<TMatchCase> cases = {
        // "." and its repeats
        {"caf.", "caf" + e, {{1, 5}}},
        {"caf.$", "un caf" + e, {{4, 5}}},
        {"^.{4}$", "caf" + e, {{1, 5}}},
        {"^.{5}$", "caf" + e, {}},
        {"^.$", face, {{1, 4}}},
        {"..", face, {}},
        {"(?-s)a.b", "a" + euro + "b", {{1, 5}}},
        {".*?x", e + e + "x", {{1, 5}}},
        {".*b", e + "b" + e, {{1, 3}}},
        {"(.)(.)", e + "a", {{1, 3}, {1, 2}, {3, 1}}},
        {"(.*)(.)", "a" + e, {{1, 3}, {1, 1}, {2, 2}}},
        {"([^x]+?)(.)$", "a" + euro, {{1, 4}, {1, 1}, {2, 3}}},
        {"x.{2,3}?y", "x" + e + euro + "y", {{1, 7}}},
        // negated classes
        {"[^a]+", "a" + e + euro + "a", {{2, 5}}},
        {"[^x]*" + e, "a" + e + e, {{1, 5}}},
        {"[^x]{2}", euro + e, {{1, 5}}},
        {"\"[^\"]*\"", "s = \"caf" + e + "\";", {{5, 7}}},
        {"[^" + e + "]+", e + a + e, {{3, 2}}},
        {"\\D+", "1" + e + "2", {{2, 2}}},
        {"\\S+", " " + euro + "x ", {{2, 4}}},
        // classes with multi-byte members and ranges
        {"[" + e + a + "]+", "x" + e + a + "y", {{2, 4}}},
        {"[" + a + "-\xC3\xBF]+", "a" + e + "b", {{2, 2}}},
        {"[a-" + e + "]+", "z" + e + euro, {{1, 3}}},
        {"[\\x80-\\xFF]+", "a" + e + euro + "b", {{2, 5}}},
        // word characters, words and boundaries
        {"\\w+", " caf" + e + " ", {{2, 5}}},
        {"caf\\w", "caf" + e, {{1, 5}}},
        {"\\bcaf" + e + "\\b", "un caf" + e + ".", {{4, 5}}},
        {"\\bcaf\\b", "caf" + e, {}},
        {"\\W", e + "!", {{3, 1}}},
        {"[\\w]+", "-" + e + "x-", {{2, 3}}},
        {"[^\\w]", e + "-", {{3, 1}}},
        // literals: a multi-byte character repeats whole and is never split
        {e + "?x", "x", {{1, 1}}},
        {e + "*x", e + e + "x", {{1, 5}}},
        {e + "{2}", e + e + e, {{1, 4}}},
        {"\\xC3", e, {}},
        {"\\xA9", e, {}},
        {"\\xC3x", "\xC3x", {{1, 2}}},
        // bytes that begin no valid sequence are characters of their own
        {".", "\xC3", {{1, 1}}},
        {"a.b", "a\xC3" "b", {{1, 3}}},
        {"[^a]", "\xA9", {{1, 1}}},
        // case folding stays with the ASCII letters
        {"(?i)CAF" + E, "caf" + e, {}},
        {"(?i)caf", "CAF" + e, {{1, 3}}},
        // the multi-language highlighter's markers on a page with text around them
        {"<(script)[^>]*>", e + "<script title=\"" + euro + "\">", {{3, 20}, {4, 6}}},
        {"<\\?(php){0,1}", euro + "<?php echo '" + e + "'; ?>", {{4, 5}, {6, 3}}},
    };
    ExpectMatches(cases);
}

TEST(RegExprUtf8, SuccessiveMatchesAndReplacementsKeepCharactersWhole)
{
    const std::string e = "\xC3\xA9";
    const std::string euro = "\xE2\x82\xAC";
    TRegExpr re;
    re.SetExpression(".");
    std::vector<TSpan> found;
    for (bool more = re.Exec("a" + e + euro); more; more = re.ExecNext())
        found.push_back({re.SubMatchPosition(0), re.SubMatchLength(0)});
    EXPECT_EQ(found, (std::vector<TSpan>{{1, 1}, {2, 2}, {4, 3}}));

    // An empty match steps over a whole character to the next one.
    re.SetExpression("x*");
    found.clear();
    for (bool more = re.Exec(e + "x"); more; more = re.ExecNext())
        found.push_back({re.SubMatchPosition(0), re.SubMatchLength(0)});
    EXPECT_EQ(found, (std::vector<TSpan>{{1, 0}, {3, 1}, {4, 0}}));

    struct Case {
        std::string Pattern;
        std::string Subject;
        std::string Replacement;
        std::string Result;
    };
    const std::vector<Case> cases = {
        {"(.)", "a" + e + euro, "<$1>", "<a><" + e + "><" + euro + ">"},
        {e, "caf" + e + " caf" + e, "e", "cafe cafe"},
        {"[^ ]+", "caf" + e + " au " + euro, "X", "X X X"},
        {"\\w+", e + "t" + e + "!", "[$&]", "[" + e + "t" + e + "]!"},
        {"caf.", "un caf" + e + ".", "tea", "un tea."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Pattern);
        re.SetExpression(c.Pattern);
        EXPECT_EQ(re.ReplaceAll(c.Subject, c.Replacement, true), c.Result);
    }
}

TEST(RegExprMatch, FourteenGroupsAndBackReferences)
{
    TRegExpr re;
    re.SetExpression("(a)(b)(c)(d)(e)(f)(g)(h)(i)(j)(k)(l)(m)(n)\\9");
    ASSERT_TRUE(re.Exec("abcdefghijklmni"));
    EXPECT_EQ(re.SubMatchPosition(14), 14);
    EXPECT_EQ(re.SubMatchLength(14), 1);
    EXPECT_EQ(re.SubMatchLength(0), 15);
    EXPECT_EQ(re.SubMatchPosition(15), -1);
    EXPECT_EQ(re.SubMatchLength(15), -1);
    EXPECT_EQ(re.SubMatchPosition(-1), -1);
}

TEST(RegExprMatch, NoInputGivesNoSubMatches)
{
    TRegExpr re;
    re.SetExpression("a");
    EXPECT_EQ(re.SubMatchPosition(0), -1);
    EXPECT_EQ(re.SubMatchLength(0), -1);
    re.Exec("b");
    EXPECT_EQ(re.SubMatchPosition(0), -1);
}

TEST(RegExprMatch, InputStopsAtTheFirstNul)
{
    TRegExpr re;
    re.SetExpression("cd");
    EXPECT_FALSE(re.Exec(std::string("ab\0cd", 5)));
    EXPECT_EQ(re.InputString(), "ab");
    re.SetExpression("b$");
    EXPECT_TRUE(re.Exec(std::string("ab\0cd", 5)));
}

TEST(RegExprMatch, PatternStopsAtTheFirstNul)
{
    TRegExpr re;
    re.SetExpression(std::string("ab\0cd", 5));
    EXPECT_EQ(re.Expression(), "ab");
    EXPECT_TRUE(re.Exec("xab"));
}

TEST(RegExprMatch, LongSubjectsNeedNoDeepRecursion)
{
    const std::string subject(300000, 'x');
    TRegExpr re;
    re.SetExpression("(x)*$");
    ASSERT_TRUE(re.Exec(subject));
    EXPECT_EQ(re.SubMatchLength(0), 300000);
    EXPECT_EQ(re.SubMatchPosition(1), 300000);
    re.SetExpression("(xx|x)+?$");
    ASSERT_TRUE(re.Exec(subject));
    EXPECT_EQ(re.SubMatchLength(0), 300000);
}

// ---- continuing after a match ----

std::vector<TSpan> AllMatches(TRegExpr& re, std::string_view subject)
{
    std::vector<TSpan> result;
    if (re.Exec(subject)) {
        do
            result.push_back({re.SubMatchPosition(0), re.SubMatchLength(0)});
        while (re.ExecNext());
    }
    return result;
}

TEST(RegExprExecNext, ContinuesBehindEachMatch)
{
    struct TCase {
        std::string Pattern;
        std::string Subject;
        std::vector<TSpan> Expected;
    };
    const std::vector<TCase> cases = {
        {"a*", "bbb", {{1, 0}, {2, 0}, {3, 0}, {4, 0}}},
        {"o", "foo", {{2, 1}, {3, 1}}},
        {"aa", "aaaaa", {{1, 2}, {3, 2}}},
        {"a*", "baa", {{1, 0}, {2, 2}, {4, 0}}},
        {"^a", "aaa", {{1, 1}}},
        {"(?m)^a", "a\na\na", {{1, 1}, {3, 1}, {5, 1}}},
        {"\\d+", "1 22 333", {{1, 1}, {3, 2}, {6, 3}}},
        {"x", "", {}},
        {"$", "", {{1, 0}}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE("pattern \"" + c.Pattern + "\" on \"" + c.Subject + "\"");
        TRegExpr re;
        re.SetExpression(c.Pattern);
        EXPECT_EQ(AllMatches(re, c.Subject), c.Expected);
    }
}

TEST(RegExprExecNext, NeedsAPreviousSuccessfulMatch)
{
    TRegExpr re;
    re.SetExpression("a");
    try {
        re.ExecNext();
        FAIL() << "no error";
    } catch (const ERegExpr& e) {
        EXPECT_EQ(e.ErrorNumber(), 1007);
        EXPECT_EQ(e.Message(), "TRegExpr(exec): ExecNext Without Exec[Pos]");
    }
    EXPECT_FALSE(re.Exec("b"));
    EXPECT_THROW(re.ExecNext(), ERegExpr);
    EXPECT_EQ(re.LastError(), 1007);
}

// ---- compile errors ----

struct TErrorCase {
    std::string Pattern;
    int Number;
    int Position;
};

TEST(RegExprCompile, ErrorNumbersAndPositions)
{
    const std::vector<TErrorCase> cases = {
        {"a)", 104, 1},
        {"(a", 103, 2},
        {"(a|(b)", 103, 6},
        {"*a", 115, 1},
        {"a|+", 115, 3},
        {"(?)?", 115, 4},
        {"a**", 107, 3},
        {"a*?+", 107, 4},
        {"a{2}{3}", 107, 5},
        {"a???", 107, 4},
        {"(a*)*", 106, 5},
        {"(a|)+", 106, 5},
        {"^*", 106, 2},
        {"\\b{2}", 106, 5},
        {"()*", 106, 3},
        {"a{3,2}", 124, 6},
        {"a{123456789}", 122, 12},
        {"a{1,123456789}", 122, 14},
        {"[z-a]", 109, 4},
        {"[abc", 113, 4},
        {"[", 113, 1},
        {"[abc\\", 110, 5},
        {"[a-\\", 110, 4},
        {"\\x{141}", 112, 6},
        {"\\xG0", 108, 3},
        {"\\x4G", 108, 4},
        {"\\x4", 111, 3},
        {"\\x{41", 111, 5},
        {"\\x{}", 111, 4},
        {"[\\x{1FF}]", 112, 7},
        {"ab\\", 116, 3},
        {"(?#open", 125, 7},
        {"a(?#x)(?#y", 125, 10},
        {"(?q)", 127, 3},
        {"(?i", 127, 3},
        {"(?:a)", 127, 3},
        {"(((((((((((((((a)))))))))))))))", 102, 15},
    };
    for (const TErrorCase& c : cases) {
        SCOPED_TRACE("pattern \"" + c.Pattern + "\"");
        TRegExpr re;
        re.SetExpression(c.Pattern);
        try {
            re.CompileExpression();
            ADD_FAILURE() << "compiled";
        } catch (const ERegExpr& e) {
            EXPECT_EQ(e.ErrorNumber(), c.Number);
            EXPECT_EQ(e.ErrorPosition(), c.Position);
            EXPECT_EQ(e.Message(), re.ErrorMsg(c.Number) + " (pos " + std::to_string(c.Position) + ")");
            EXPECT_EQ(re.LastError(), c.Number);
        }
    }
}

TEST(RegExprCompile, ErrorTexts)
{
    struct TCase {
        int Number;
        const char* Text;
    };
    const std::vector<TCase> cases = {
        {102, "TRegExpr(comp): ParseReg Too Many ()"},
        {103, "TRegExpr(comp): ParseReg Unmatched ()"},
        {104, "TRegExpr(comp): ParseReg Unmatched ()"},
        {106, "TRegExpr(comp): *+ Operand Could Be Empty"},
        {107, "TRegExpr(comp): Nested *?+"},
        {108, "TRegExpr(comp): Bad Hex Digit"},
        {109, "TRegExpr(comp): Invalid [] Range"},
        {110, "TRegExpr(comp): Parse Atom Trailing \\"},
        {111, "TRegExpr(comp): No Hex Code After \\x"},
        {112, "TRegExpr(comp): Hex Code After \\x Is Too Big"},
        {113, "TRegExpr(comp): Unmatched []"},
        {115, "TRegExpr(comp): ?+*{ Follows Nothing"},
        {116, "TRegExpr(comp): Trailing \\"},
        {122, "TRegExpr(comp): BRACES Argument Too Big"},
        {124, "TRegExpr(comp): BRACE Min Param Greater then Max"},
        {125, "TRegExpr(comp): Unclosed (?#Comment)"},
        {127, "TRegExpr(comp): Urecognized Modifier"},
        {128, "TRegExpr(comp): LinePairedSeparator must countain two different chars or no chars at all"},
        {1000, "TRegExpr(exec): RegRepeat Called Inappropriately"},
        {1001, "TRegExpr(exec): MatchPrim Memory Corruption"},
        {1002, "TRegExpr(exec): MatchPrim Corrupted Pointers"},
        {1003, "TRegExpr(exec): Not Assigned Expression Property"},
        {1004, "TRegExpr(exec): Corrupted Program"},
        {1005, "TRegExpr(exec): No Input String Specified"},
        {1006, "TRegExpr(exec): Offset Must Be Greater Then 0"},
        {1007, "TRegExpr(exec): ExecNext Without Exec[Pos]"},
        {1013, "Unknown error"},
        {1014, "TRegExpr(exec): Loop Stack Exceeded"},
        {1015, "TRegExpr(exec): Loop Without LoopEntry !"},
        {TRegExpr::ErrorMatchTooComplex, "TRegExpr(exec): Match Too Complex"},
        {42, "Unknown error"},
    };
    TRegExpr re;
    for (const TCase& c : cases)
        EXPECT_EQ(re.ErrorMsg(c.Number), c.Text) << c.Number;
}

TEST(RegExprCompile, FourteenGroupsCompile)
{
    TRegExpr re;
    re.SetExpression("((((((((((((((a))))))))))))))");
    EXPECT_NO_THROW(re.CompileExpression());
    ASSERT_TRUE(re.Exec("a"));
    EXPECT_EQ(re.SubMatchPosition(14), 1);
}

TEST(RegExprCompile, CommentsAndModifierGroupsAreNotGroups)
{
    TRegExpr re;
    re.SetExpression("(?i)(?#c)(a)(b)(c)(d)(e)(f)(g)(h)(i)(j)(k)(l)(m)(n)");
    ASSERT_TRUE(re.Exec("ABCDEFGHIJKLMN"));
    EXPECT_EQ(re.SubMatchPosition(14), 14);
}

TEST(RegExprCompile, FailedCompileKeepsPatternAndDropsProgram)
{
    TRegExpr re;
    re.SetExpression("a(");
    EXPECT_THROW(re.CompileExpression(), ERegExpr);
    EXPECT_EQ(re.Expression(), "a(");
    // The next match compiles again and fails the same way.
    EXPECT_THROW(re.Exec("a"), ERegExpr);
    re.SetExpression("a");
    EXPECT_TRUE(re.Exec("a"));
}

TEST(RegExprCompile, ErrorsOutsideCompilingHaveNoPosition)
{
    TRegExpr re;
    re.SetExpression("(");
    EXPECT_THROW(re.CompileExpression(), ERegExpr);
    try {
        re.SetLinePairedSeparator("xx");
        FAIL() << "no error";
    } catch (const ERegExpr& e) {
        EXPECT_EQ(e.ErrorNumber(), 128);
        EXPECT_EQ(e.ErrorPosition(), 0);
        EXPECT_EQ(e.Message(), re.ErrorMsg(128) + " (pos 0)");
    }
}

// ---- settings and modifiers ----

TEST(RegExprSettings, EmptyExpressionRaises1003)
{
    TRegExpr re;
    re.SetExpression("a");
    EXPECT_TRUE(re.Exec("a"));
    re.SetExpression("");
    EXPECT_EQ(re.Expression(), "");
    try {
        re.Exec("a");
        FAIL() << "no error";
    } catch (const ERegExpr& e) {
        EXPECT_EQ(e.ErrorNumber(), 1003);
        EXPECT_EQ(e.Message(), "TRegExpr(exec): Not Assigned Expression Property");
        EXPECT_EQ(e.ErrorPosition(), 0);
    }
    EXPECT_THROW(re.CompileExpression(), ERegExpr);
    EXPECT_EQ(re.LastError(), 1003);
}

TEST(RegExprSettings, ModifierNumbers)
{
    TRegExpr re;
    EXPECT_FALSE(re.ReadModifier(1));
    EXPECT_TRUE(re.ReadModifier(2));
    EXPECT_TRUE(re.ReadModifier(3));
    EXPECT_TRUE(re.ReadModifier(4));
    EXPECT_FALSE(re.ReadModifier(5));
    EXPECT_FALSE(re.ReadModifier(6));
    re.AssignModifier(1, true);
    EXPECT_TRUE(re.ModifierI());
    re.AssignModifier(6, true);
    EXPECT_TRUE(re.ModifierX());
    for (int number : {0, 7, -1}) {
        try {
            re.AssignModifier(number, true);
            ADD_FAILURE() << number;
        } catch (const ERegExpr& e) {
            EXPECT_EQ(e.ErrorNumber(), 1013);
            EXPECT_EQ(e.Message(), "Unknown error");
        }
        EXPECT_THROW(re.ReadModifier(number), ERegExpr);
    }
}

TEST(RegExprSettings, ChangedModifierRecompilesAtTheNextMatch)
{
    TRegExpr re;
    re.SetExpression("abc");
    re.CompileExpression();
    EXPECT_FALSE(re.Exec("ABC"));
    re.SetModifierI(true);
    EXPECT_TRUE(re.Exec("ABC"));
    re.SetModifierI(false);
    EXPECT_FALSE(re.Exec("ABC"));
    re.SetModifierX(true);
    re.SetExpression("a b c");
    EXPECT_TRUE(re.Exec("abc"));
    re.SetModifierM(true);
    re.SetExpression("^b");
    EXPECT_TRUE(re.Exec("a\nb"));
    re.SetModifierG(false);
    re.SetExpression("a+");
    ASSERT_TRUE(re.Exec("aaa"));
    EXPECT_EQ(re.SubMatchLength(0), 1);
    re.SetModifierS(false);
    re.SetExpression(".");
    EXPECT_FALSE(re.Exec("\n"));
}

TEST(RegExprSettings, InlineModifiersEndWithTheirGroup)
{
    TRegExpr re;
    re.SetExpression("((?i)a)a");
    EXPECT_TRUE(re.Exec("Aa"));
    EXPECT_FALSE(re.Exec("AA"));
    re.SetModifierI(true);
    re.SetExpression("(?-i)a(?i)a");
    EXPECT_TRUE(re.Exec("aA"));
    EXPECT_FALSE(re.Exec("Aa"));
}

TEST(RegExprSettings, ProcessWideDefaultsApplyToNewObjects)
{
    const bool saved = TRegExpr::DefaultModifier(1);
    TRegExpr before;
    TRegExpr::SetDefaultModifier(1, true);
    TRegExpr after;
    TRegExpr::SetDefaultModifier(1, saved);
    EXPECT_FALSE(before.ModifierI());
    EXPECT_TRUE(after.ModifierI());
    EXPECT_TRUE(TRegExpr::DefaultModifier(2));
    EXPECT_THROW(TRegExpr::DefaultModifier(6), ERegExpr);
    EXPECT_THROW(TRegExpr::SetDefaultModifier(0, true), ERegExpr);
}

TEST(RegExprSettings, CharacterSetsApplyAfterAChange)
{
    TRegExpr re;
    EXPECT_EQ(re.BlankChars(), " \t\n\r\f");
    EXPECT_EQ(re.WordCharSet(), "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ_");
    EXPECT_EQ(re.LineSeparatorChars(), "\r\n");
    EXPECT_EQ(re.LinePairedSeparator(), "\r\n");

    re.SetExpression("\\w+");
    ASSERT_TRUE(re.Exec("a-b"));
    EXPECT_EQ(re.SubMatchLength(0), 1);
    re.SetWordCharSet("ab-");
    ASSERT_TRUE(re.Exec("a-b"));
    EXPECT_EQ(re.SubMatchLength(0), 3);
    re.SetExpression("\\bb");
    EXPECT_FALSE(re.Exec("-b"));

    re.SetExpression("\\s");
    EXPECT_FALSE(re.Exec("a_b"));
    re.SetBlankChars("_");
    EXPECT_TRUE(re.Exec("a_b"));

    re.SetModifierM(true);
    re.SetExpression("^b");
    EXPECT_FALSE(re.Exec("a;b"));
    re.SetLineSeparatorChars(";");
    EXPECT_TRUE(re.Exec("a;b"));
}

TEST(RegExprSettings, LinePairedSeparator)
{
    TRegExpr re;
    re.SetModifierM(true);
    re.SetExpression("^");
    // Without the pair, CR and LF are two line breaks.
    re.SetLinePairedSeparator("");
    EXPECT_EQ(re.LinePairedSeparator(), "");
    EXPECT_EQ(AllMatches(re, "a\r\nb"), (std::vector<TSpan>{{1, 0}, {3, 0}, {4, 0}}));
    re.SetLinePairedSeparator("\r\n");
    EXPECT_EQ(AllMatches(re, "a\r\nb"), (std::vector<TSpan>{{1, 0}, {4, 0}}));
    // A pair alone, without separator characters, still breaks lines.
    re.SetLineSeparatorChars("");
    re.SetLinePairedSeparator("{}");
    EXPECT_EQ(AllMatches(re, "a{}b{c"), (std::vector<TSpan>{{1, 0}, {4, 0}}));
    re.SetExpression("$");
    EXPECT_EQ(AllMatches(re, "a{}b{c"), (std::vector<TSpan>{{2, 0}, {7, 0}}));
    re.SetModifierS(false);
    re.SetExpression(".");
    EXPECT_EQ(AllMatches(re, "{}"), (std::vector<TSpan>{{2, 1}}));

    for (const char* bad : {"x", "aa", "abc"}) {
        try {
            re.SetLinePairedSeparator(bad);
            ADD_FAILURE() << bad;
        } catch (const ERegExpr& e) {
            EXPECT_EQ(e.ErrorNumber(), 128);
        }
    }
    EXPECT_EQ(re.LinePairedSeparator(), "{}");
}

TEST(RegExprSettings, InvertCaseCallbackFoldsCase)
{
    TRegExpr re;
    EXPECT_EQ(TRegExpr::DefaultInvertCase('a'), 'A');
    EXPECT_EQ(TRegExpr::DefaultInvertCase('Z'), 'z');
    EXPECT_EQ(TRegExpr::DefaultInvertCase('1'), '1');
    EXPECT_EQ(TRegExpr::DefaultInvertCase('\xE9'), '\xE9');
    re.SetModifierI(true);
    re.SetExpression("\xE9");
    EXPECT_FALSE(re.Exec("\xC9"));
    re.SetInvertCase([](char c) { return c == '\xE9' ? '\xC9' : c == '\xC9' ? '\xE9' : TRegExpr::DefaultInvertCase(c); });
    EXPECT_TRUE(re.Exec("\xC9"));
}

// ---- templates and replacement ----

TEST(RegExprReplace, TemplatesAndReplaceAll)
{
    struct TCase {
        std::string Pattern;
        std::string Text;
        std::string Replace;
        bool UseTemplate;
        std::string Expected;
    };
    const std::vector<TCase> cases = {
        {"-", "a-b-c", "+", true, "a+b+c"},
        {"-", "a-b-c", "[$&]", true, "a[-]b[-]c"},
        {"-", "a-b-c", "[${&}]", true, "a[-]b[-]c"},
        {"-", "a-b-c", "$1", true, "abc"},
        {"-", "a-b-c", "\\$", true, "a$b$c"},
        {"-", "a-b-c", "\\$", false, "a\\$b\\$c"},
        {"-", "a-b-c", "$&", false, "a$&b$&c"},
        {"\\d", "2024", "$0$0", true, "22002244"},
        {"(\\w+)=(\\w+)", "a=1, b=2", "$2=$1", true, "1=a, 2=b"},
        {"(\\w+)=(\\w+)", "a=1", "${2}0", true, "10"},
        {"(\\w+)=(\\w+)", "a=1", "$20", true, ""},
        {"(\\w+)=(\\w+)", "a=1", "$15|$99999999999999999999", true, "|"},
        {"(a)", "a", "${1", true, "${1"},
        {"(a)", "a", "${x}", true, "${x}"},
        {"(a)", "a", "$", true, "$"},
        {"(a)", "a", "x$", true, "x$"},
        {"(a)", "a", "\\", true, "\\"},
        {"(a)", "a", "\\\\\\n", true, "\\n"},
        {"(a)|b", "ab", "<$1>", true, "<a><>"},
        {"(a)", "a", "", true, ""},
        {"x*", "abc", "-", true, "-a-b-c-"},
        {"b*", "abc", "-", true, "-a--c-"},
        {"z", "abc", "-", true, "abc"},
        {"c", std::string("abc\0c", 5), "-", true, std::string("ab-\0c", 5)},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE("pattern \"" + c.Pattern + "\" template \"" + c.Replace + "\"");
        TRegExpr re;
        re.SetExpression(c.Pattern);
        EXPECT_EQ(re.ReplaceAll(c.Text, c.Replace, c.UseTemplate), c.Expected);
    }
}

TEST(RegExprReplace, ExpandTemplateNeedsAMatchState)
{
    TRegExpr re;
    re.SetExpression("(b)");
    try {
        re.ExpandTemplate("$1");
        FAIL() << "no error";
    } catch (const ERegExpr& e) {
        EXPECT_EQ(e.ErrorNumber(), 1005);
        EXPECT_EQ(e.Message(), "TRegExpr(exec): No Input String Specified");
    }
    ASSERT_TRUE(re.Exec("abc"));
    EXPECT_EQ(re.ExpandTemplate("<$1$0>"), "<bb>");
    EXPECT_FALSE(re.Exec("x"));
    EXPECT_EQ(re.ExpandTemplate("<$1>"), "<>");
}

// ---- run-time errors and limits ----

std::string NestedLoops(int levels)
{
    std::string pattern = "a";
    for (int i = 0; i < levels; ++i)
        pattern = "(" + pattern + "){1,2}";
    return pattern;
}

TEST(RegExprLimits, LoopNestingIsLimitedToTenLevels)
{
    TRegExpr re;
    re.SetExpression(NestedLoops(10));
    ASSERT_TRUE(re.Exec("xa"));
    EXPECT_EQ(re.SubMatchPosition(0), 2);
    re.SetExpression(NestedLoops(11));
    try {
        re.Exec("a");
        FAIL() << "no error";
    } catch (const ERegExpr& e) {
        EXPECT_EQ(e.ErrorNumber(), 1014);
        EXPECT_EQ(e.Message(), "TRegExpr(exec): Loop Stack Exceeded");
    }
    // The limit counts nesting, not loops one after another.
    re.SetExpression("(a){1,2}(b){1,2}(c){1,2}(d){1,2}(e){1,2}(f){1,2}(g){1,2}(h){1,2}(i){1,2}(j){1,2}(k){1,2}");
    EXPECT_TRUE(re.Exec("abcdefghijk"));
}

class RegExprStepBudget : public ::testing::Test {
protected:
    static double Seconds(const std::chrono::steady_clock::time_point& since)
    {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
    }
    // Runs Exec and gives the error number, or 0 when it returns.
    static int ExecError(TRegExpr& re, const std::string& subject)
    {
        try {
            re.Exec(subject);
            return 0;
        } catch (const ERegExpr& e) {
            EXPECT_EQ(e.Message(), "TRegExpr(exec): Match Too Complex");
            return e.ErrorNumber();
        }
    }
};

TEST_F(RegExprStepBudget, CatastrophicPatternEndsWithAnError)
{
    TRegExpr re;
    EXPECT_EQ(re.MatchStepLimit(), TRegExpr::DefaultMatchStepLimit);
    re.SetExpression("(a+)+b");
    re.SetMatchStepLimit(2'000'000);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(ExecError(re, std::string(40, 'a') + "!b"), TRegExpr::ErrorMatchTooComplex);
    EXPECT_LT(Seconds(start), 5.0);
    EXPECT_EQ(re.LastError(), TRegExpr::ErrorMatchTooComplex);
    EXPECT_EQ(re.SubMatchPosition(1), -1);
    EXPECT_THROW(re.ExecNext(), ERegExpr);
    // The object stays usable.
    EXPECT_TRUE(re.Exec("aab"));
    EXPECT_EQ(re.SubMatchLength(0), 3);
}

TEST_F(RegExprStepBudget, DefaultBudgetStopsAnExponentialSearch)
{
    TRegExpr re;
    re.SetExpression("(a|aa)+$");
    // Without the budget this search would run for ages; the test's time-out is the bound, a
    // wall-clock check here only failed on loaded machines.
    EXPECT_EQ(ExecError(re, std::string(200, 'a') + "b"), TRegExpr::ErrorMatchTooComplex);
}

TEST_F(RegExprStepBudget, PolynomialSearchesAreBoundedToo)
{
    // Each start position alone is cheap here; the budget counts the whole call.
    TRegExpr re;
    re.SetMatchStepLimit(5'000'000);
    re.SetExpression("a*a*a*!");
    EXPECT_EQ(ExecError(re, std::string(3000, 'a') + "b!"), TRegExpr::ErrorMatchTooComplex);
}

TEST_F(RegExprStepBudget, OrdinarySearchesStayWellInside)
{
    std::string line;
    for (int i = 0; i < 2000; ++i)
        line += "$value = strtolower($name) . 'suffix'; // comment ";
    TRegExpr re;
    for (const char* pattern : {"\\$[A-Za-z_]\\w*", "\\b(if|else|strtolower)\\b", "(\\w+)\\s*=\\s*(\\w+)", "[a-z]+ing", "//.*$"}) {
        SCOPED_TRACE(pattern);
        re.SetExpression(pattern);
        int count = 0;
        EXPECT_NO_THROW({
            if (re.Exec(line))
                do
                    ++count;
                while (re.ExecNext());
        });
        EXPECT_GE(count, 0);
    }
}

TEST_F(RegExprStepBudget, RequiredLiteralAnswersAtOnce)
{
    TRegExpr re;
    re.SetMatchStepLimit(1000);
    re.SetExpression("(a+)+b");
    EXPECT_FALSE(re.Exec(std::string(100000, 'a')));
}

// A start inside a word that a leading repeat already took whole cannot match where the word's
// first letter did not; a long identifier then costs its length once, not once per letter.
TEST_F(RegExprStepBudget, LeadingRunIsTriedOncePerRun)
{
    const std::string word(20000, 'a');
    struct TCase {
        std::string Pattern;
        std::string Subject;
        int Position;  // of the match; 0: none
    };
    const std::vector<TCase> cases = {
        {"\\w+@", word + " @", 0},
        {"\\w+@", word + " " + word + "@", 20002},
        {"[a-z]+ing", word + " ing", 0},
        {"[a-z]+ing", word + " " + word + "ing", 20002},
        {"[a-z]+x", word + "-x", 0},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Pattern);
        TRegExpr re;
        re.SetMatchStepLimit(1'000'000);
        re.SetExpression(c.Pattern);
        EXPECT_EQ(ExecError(re, c.Subject), 0);
        EXPECT_EQ(re.SubMatchPosition(0), c.Position == 0 ? -1 : c.Position);
    }
}

}  // namespace
