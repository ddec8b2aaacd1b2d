// The plain and the regular-expression search engines: matches of a line, options, replacement
// texts, errors, and a whole line replaced the way the editor's replace-all drives an engine.

#include "SrcEdit/Source/search/SrcEditRegexSearch.h"
#include "SrcEdit/Source/search/SrcEditSearch.h"

#include <gtest/gtest.h>

#include <cctype>
#include <chrono>
#include <random>
#include <string>
#include <vector>

namespace {

struct TSpan {
    int Position;
    int Length;
    bool operator==(const TSpan&) const = default;
};

void PrintTo(const TSpan& s, std::ostream* os) { *os << "(" << s.Position << "," << s.Length << ")"; }

std::vector<TSpan> Matches(TSrcEditSearchCustom& engine, const std::string& line)
{
    const int count = engine.FindAllInLine(line);
    EXPECT_EQ(count, engine.MatchCount());
    std::vector<TSpan> result;
    for (int i = 0; i < count; ++i)
        result.push_back({engine.MatchPosition(i), engine.MatchLength(i)});
    return result;
}

std::vector<TSpan> Search(TSrcEditSearchCustom& engine, const std::string& pattern, const std::string& line,
                          TSrcEditSearchFlags options)
{
    engine.ApplyOptions(options);
    engine.AssignPattern(pattern);
    return Matches(engine, line);
}

// Replaces the matches of one line as the editor's replace-all does: in order (from the last one
// when backwards), each position moved by the length change of the replacements before it.
std::string ReplaceAllInLine(TSrcEditSearchCustom& engine, std::string line, const std::string& replace,
                             bool backwards)
{
    const int count = engine.FindAllInLine(line);
    int shift = 0;
    for (int k = 0; k < count; ++k) {
        const int i = backwards ? count - 1 - k : k;
        const auto start = static_cast<size_t>(engine.MatchPosition(i) - 1 + shift);
        const auto length = static_cast<size_t>(engine.MatchLength(i));
        const std::string replacement = engine.ReplacementFor(line.substr(start, length), replace);
        line.replace(start, length, replacement);
        if (!backwards)
            shift += static_cast<int>(replacement.size()) - static_cast<int>(length);
    }
    return line;
}

const TSrcEditSearchFlags NoOptions;
const TSrcEditSearchFlags MatchCase{sfMatchCase};
const TSrcEditSearchFlags WholeWord{sfWholeWord};
const TSrcEditSearchFlags Everything = TSrcEditSearchFlags::FromBits(0xFF);
const TSrcEditSearchFlags AllButCaseAndWord = Everything - TSrcEditSearchFlags{sfMatchCase, sfWholeWord};

const std::string EAcute = "\xC3\xA9";  // é: a lead byte and a trail byte

struct TSearchCase {
    std::string Pattern;
    std::string Line;
    TSrcEditSearchFlags Options;
    std::vector<TSpan> Expected;
};

void RunTable(TSrcEditSearchCustom& engine, const std::vector<TSearchCase>& cases)
{
    for (const TSearchCase& c : cases) {
        SCOPED_TRACE("pattern \"" + c.Pattern + "\" in \"" + c.Line + "\" options " + std::to_string(c.Options.Bits()));
        EXPECT_EQ(Search(engine, c.Pattern, c.Line, c.Options), c.Expected);
    }
}

// ---- plain engine

TEST(PlainSearch, TableOfLinesAndOptions)
{
    const std::string longPattern(300, 'q');
    const std::vector<TSearchCase> cases = {
        // left to right, never overlapping
        {"aa", "aaaa", NoOptions, {{1, 2}, {3, 2}}},
        {"aa", "aaaaa", NoOptions, {{1, 2}, {3, 2}}},
        {"ab", "abab", NoOptions, {{1, 2}, {3, 2}}},
        {"aba", "ababa", NoOptions, {{1, 3}}},
        {"needle", "a needle in a needle stack", NoOptions, {{3, 6}, {15, 6}}},
        {"x", "x", NoOptions, {{1, 1}}},
        {"abc", "ab", NoOptions, {}},
        {"abc", "", NoOptions, {}},
        {"abc", "xxabxxbcxx", NoOptions, {}},
        // letter case: only the ASCII letters fold, and nothing next to them in the code table
        {"ABC", "xabcx", NoOptions, {{2, 3}}},
        {"ABC", "xabcx", MatchCase, {}},
        {"abc", "ABC abc", MatchCase, {{5, 3}}},
        {"aBc", "ABC abc AbC", NoOptions, {{1, 3}, {5, 3}, {9, 3}}},
        {"[", "{", NoOptions, {}},
        {"@", "`", NoOptions, {}},
        {"_Z", "_z", NoOptions, {{1, 2}}},
        {"\xC3\x89", EAcute, NoOptions, {}},  // É does not fold to é
        // whole words: letters, digits, "_" and non-ASCII bytes are word characters
        {"cat", "a cat.", WholeWord, {{3, 3}}},
        {"cat", "cats", WholeWord, {}},
        {"cat", "_cat", WholeWord, {}},
        {"cat", "cat9", WholeWord, {}},
        {"cat", "cat", WholeWord, {{1, 3}}},
        {"cat", "cat cat", WholeWord, {{1, 3}, {5, 3}}},
        {"cat", "concat cat", WholeWord, {{8, 3}}},
        {"cat", "(cat)", WholeWord, {{2, 3}}},
        {"cat", "cat-dog\tcat", WholeWord, {{1, 3}, {9, 3}}},
        {"cat", EAcute + "cat cat" + EAcute, WholeWord, {}},
        {"CAT", "a Cat", WholeWord, {{3, 3}}},
        {"CAT", "a Cat", WholeWord + MatchCase, {}},
        {"cat", "cats", NoOptions, {{1, 3}}},
        {"ab", "abab ab", WholeWord, {{6, 2}}},
        {"aa", "aaa", WholeWord, {}},
        // UTF-8: multi-byte characters are found whole and never cut
        {EAcute, "caf" + EAcute + " " + EAcute, NoOptions, {{4, 2}, {7, 2}}},
        {"\xA9", EAcute, NoOptions, {}},
        {"\xC3", EAcute, NoOptions, {}},
        {"\xA9", "a\xA9" + EAcute + "\xA9", NoOptions, {{2, 1}, {5, 1}}},  // stray bytes are characters
        // long patterns: shift distances beyond one byte
        {longPattern, "x" + longPattern + "y" + longPattern, NoOptions, {{2, 300}, {303, 300}}},
        {std::string(255, 'a'), std::string(600, 'b') + std::string(255, 'a'), NoOptions, {{601, 255}}},
        {std::string(256, 'a'), std::string(600, 'b') + std::string(256, 'a'), NoOptions, {{601, 256}}},
        // the editor's other flags are not the engine's business
        {"ABC", "abc", AllButCaseAndWord, {{1, 3}}},
        {"cat", "cats cat", Everything, {{6, 3}}},
    };
    TSrcEditSearch engine;
    RunTable(engine, cases);
}

// Leftmost acceptable match, then on after it; the alphabet's only multi-byte character is é.
std::vector<TSpan> NaiveFind(const std::string& pattern, const std::string& line, bool matchCase, bool wholeWord)
{
    auto fold = [&](char c) { return !matchCase && c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    auto isWord = [](unsigned char c) { return std::isalnum(c) || c == '_' || c >= 128; };
    auto isTrail = [&](size_t i) { return i < line.size() && static_cast<unsigned char>(line[i]) == 0xA9; };
    std::vector<TSpan> result;
    const size_t len = pattern.size();
    for (size_t i = 0; i + len <= line.size();) {
        bool ok = !isTrail(i) && !isTrail(i + len);
        for (size_t j = 0; ok && j < len; ++j)
            ok = fold(line[i + j]) == fold(pattern[j]);
        if (ok && wholeWord)
            ok = (i == 0 || !isWord(static_cast<unsigned char>(line[i - 1])))
                && (i + len == line.size() || !isWord(static_cast<unsigned char>(line[i + len])));
        if (ok) {
            result.push_back({static_cast<int>(i + 1), static_cast<int>(len)});
            i += len;
        } else {
            ++i;
        }
    }
    return result;
}

TEST(PlainSearch, AgreesWithANaiveSearchOnRandomText)
{
    // One engine for every case, so that stale skip data from an earlier pattern or case
    // option would show.
    const std::vector<std::string> tokens = {"a", "a", "b", "A", "B", "_", " ", EAcute, "ab", "ba"};
    std::mt19937 random(20240611);
    auto pick = [&](size_t n) { return static_cast<size_t>(random() % n); };
    auto text = [&](size_t count) {
        std::string s;
        for (size_t i = 0; i < count; ++i)
            s += tokens[pick(tokens.size())];
        return s;
    };
    TSrcEditSearch engine;
    for (int round = 0; round < 4000; ++round) {
        // Every other line is long enough for whole blocks of sixteen windows and their tails.
        const std::string line = text(pick(round % 2 ? 40 : 160));
        std::string pattern;
        if (!line.empty() && pick(2) == 0) {
            const size_t start = pick(line.size());
            pattern = line.substr(start, 1 + pick(std::min<size_t>(6, line.size() - start)));
        } else {
            pattern = text(1 + pick(4));
        }
        const bool matchCase = pick(2) == 0;
        const bool wholeWord = pick(3) == 0;
        TSrcEditSearchFlags options;
        if (matchCase)
            options.Include(sfMatchCase);
        if (wholeWord)
            options.Include(sfWholeWord);
        SCOPED_TRACE("pattern \"" + pattern + "\" in \"" + line + "\" case " + std::to_string(matchCase) + " word "
                     + std::to_string(wholeWord));
        ASSERT_EQ(Search(engine, pattern, line, options), NaiveFind(pattern, line, matchCase, wholeWord));
    }
}

TEST(PlainSearch, CaseOptionChangeRebuildsTheSkipData)
{
    TSrcEditSearch engine;
    engine.AssignPattern("ABC");
    EXPECT_EQ(engine.FindAllInLine("xxabc"), 1);
    engine.ApplyOptions(MatchCase);
    EXPECT_EQ(engine.FindAllInLine("xxabc"), 0);
    EXPECT_EQ(engine.FindAllInLine("xxABC"), 1);
    engine.ApplyOptions(NoOptions);
    EXPECT_EQ(engine.FindAllInLine("xxabc"), 1);
    // A new pattern needs new shifts: those of "ABC" would jump over "xa".
    engine.AssignPattern("xa");
    EXPECT_EQ(Matches(engine, "bxabc"), (std::vector<TSpan>{{2, 2}}));
}

TEST(PlainSearch, EmptyPatternRaisesAtTheFirstSearch)
{
    TSrcEditSearch engine;
    EXPECT_EQ(engine.ReadPattern(), "");
    try {
        engine.FindAllInLine("");
        FAIL() << "no exception";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Pattern is empty");
    }
    engine.AssignPattern("a");
    EXPECT_EQ(engine.FindAllInLine("aa"), 2);
    engine.AssignPattern("");
    EXPECT_EQ(engine.MatchCount(), 0);
    EXPECT_THROW(engine.FindAllInLine("aa"), Exception);
    EXPECT_EQ(engine.MatchCount(), 0);
}

TEST(PlainSearch, MatchListAccess)
{
    TSrcEditSearch engine;
    engine.AssignPattern("ab");
    ASSERT_EQ(engine.FindAllInLine("ab ab"), 2);
    EXPECT_EQ(engine.MatchPosition(1), 4);
    EXPECT_EQ(engine.MatchPosition(2), 0);
    EXPECT_EQ(engine.MatchPosition(-1), 0);
    EXPECT_EQ(engine.MatchLength(7), 2);
    // Assigning a pattern, even the same one, forgets the last line's matches.
    engine.AssignPattern("ab");
    EXPECT_EQ(engine.MatchCount(), 0);
    EXPECT_EQ(engine.MatchPosition(0), 0);
    // A search that finds nothing leaves nothing of the one before.
    ASSERT_EQ(engine.FindAllInLine("ab"), 1);
    EXPECT_EQ(engine.FindAllInLine("a"), 0);
    EXPECT_EQ(engine.MatchPosition(0), 0);
}

TEST(PlainSearch, ReplacementIsTheTextAsGiven)
{
    TSrcEditSearch engine;
    engine.AssignPattern("a");
    EXPECT_EQ(engine.ReplacementFor("a", "$0\\n${1}"), "$0\\n${1}");
    EXPECT_EQ(engine.ReplacementFor("a", ""), "");
}

// ---- regular-expression engine

TEST(RegexSearch, TableOfLinesAndOptions)
{
    const std::vector<TSearchCase> cases = {
        {"o", "foo", NoOptions, {{2, 1}, {3, 1}}},
        {"\\d+", "a1b22c", NoOptions, {{2, 1}, {4, 2}}},
        {"aa", "aaaa", NoOptions, {{1, 2}, {3, 2}}},
        {"x", "", NoOptions, {}},
        {"^$", "", NoOptions, {{1, 0}}},
        // empty matches step on by one character
        {"a*", "bbb", NoOptions, {{1, 0}, {2, 0}, {3, 0}, {4, 0}}},
        {"a*", "baab", NoOptions, {{1, 0}, {2, 2}, {4, 0}, {5, 0}}},
        {"\\s*$", "foo   ", NoOptions, {{4, 3}, {7, 0}}},
        // letter case: ignored unless asked for
        {"ABC", "abc", NoOptions, {{1, 3}}},
        {"ABC", "abc", MatchCase, {}},
        {"[A-C]+", "xaBcx", NoOptions, {{2, 3}}},
        {"[A-C]+", "xaBcx", MatchCase, {{3, 1}}},
        // whole words are the expression's business
        {"cat", "cats", WholeWord, {{1, 3}}},
        {"\\bcat\\b", "a cat. cats", NoOptions, {{3, 3}}},
        {"ABC", "abc", AllButCaseAndWord, {{1, 3}}},
        // UTF-8: "." and classes take whole characters, and no match cuts one
        {".", "a" + EAcute + "b", NoOptions, {{1, 1}, {2, 2}, {4, 1}}},
        {"[^a]", EAcute, NoOptions, {{1, 2}}},
        {"caf.", "un caf" + EAcute, NoOptions, {{4, 5}}},
        {"(" + EAcute + "|x)", "x" + EAcute, NoOptions, {{1, 1}, {2, 2}}},
        {"\\w+", "caf" + EAcute + "s", NoOptions, {{1, 6}}},
        {"\xA9", EAcute, NoOptions, {}},
        {"a*", EAcute, NoOptions, {{1, 0}, {3, 0}}},
    };
    TSrcEditRegexSearch engine;
    RunTable(engine, cases);
}

TEST(RegexSearch, MatchListAccessOutsideTheListIsAnError)
{
    TSrcEditRegexSearch engine;
    engine.AssignPattern("b+");
    EXPECT_EQ(engine.ReadPattern(), "b+");
    ASSERT_EQ(engine.FindAllInLine("abbab"), 2);
    EXPECT_EQ(engine.MatchPosition(1), 5);
    EXPECT_EQ(engine.MatchLength(0), 2);
    for (int index : {2, -1}) {
        SCOPED_TRACE(index);
        try {
            engine.MatchPosition(index);
            FAIL() << "no exception";
        } catch (const EListError& e) {
            EXPECT_EQ(e.Message(), "List index out of bounds (" + std::to_string(index) + ")");
        }
        EXPECT_THROW(engine.MatchLength(index), EListError);
    }
    EXPECT_EQ(engine.FindAllInLine("xyz"), 0);
    EXPECT_THROW(engine.MatchPosition(0), EListError);
}

TEST(RegexSearch, ExpressionErrorsReachTheCaller)
{
    TSrcEditRegexSearch engine;
    engine.AssignPattern("x");
    ASSERT_EQ(engine.FindAllInLine("xx"), 2);
    struct TCase {
        std::string Pattern;
        int Error;
    };
    for (const TCase& c : std::vector<TCase>{{"a)", 104}, {"(a", 103}, {"*a", 115}, {"", 1003}}) {
        SCOPED_TRACE(c.Pattern);
        engine.AssignPattern(c.Pattern);
        try {
            engine.FindAllInLine("a)");
            FAIL() << "no exception";
        } catch (const ERegExpr& e) {
            EXPECT_EQ(e.ErrorNumber(), c.Error);
        }
        EXPECT_EQ(engine.MatchCount(), 0);
    }
}

TEST(RegexSearch, RunawayExpressionEndsWithAnErrorAndNoMatches)
{
    TSrcEditRegexSearch engine;
    engine.AssignPattern("a");
    ASSERT_EQ(engine.FindAllInLine("aa"), 2);
    engine.AssignPattern("(a|aa)+$");
    try {
        engine.FindAllInLine(std::string(200, 'a') + "b");
        FAIL() << "no exception";
    } catch (const ERegExpr& e) {
        EXPECT_EQ(e.ErrorNumber(), TRegExpr::ErrorMatchTooComplex);
        EXPECT_EQ(e.Message(), "TRegExpr(exec): Match Too Complex");
    }
    EXPECT_EQ(engine.MatchCount(), 0);
    // The engine stays usable.
    EXPECT_EQ(Matches(engine, "xaaa"), (std::vector<TSpan>{{2, 3}}));
}

struct TReplaceCase {
    std::string Pattern;
    std::string Line;  // searched first unless empty
    std::string Found;
    std::string Replace;
    std::string Expected;
};

TEST(RegexSearch, ReplacementTexts)
{
    const std::vector<TReplaceCase> cases = {
        // a text that is not a match of the last line: every match in it is replaced
        {"\\d", "", "2024", "$0$0", "22002244"},
        {"-", "", "a-b-c", "[$&]", "a[-]b[-]c"},
        {"\\d", "", "1x2", "<$0>", "<1>x<2>"},
        // a match of the last line: its template, once
        {"(\\w+)@(\\w+)", "mail bob@host now", "bob@host", "$2 at $1", "host at bob"},
        {"(\\w+)@(\\w+)", "mail bob@host now", "bob@host", "${2}0$10", "host0"},
        {"(a)|b", "xb", "b", "[$1]", "[]"},
        {"\\d+", "n 2024", "2024", "$0$0", "20242024"},
        {"a", "a", "a", "\\$1\\\\", "$1\\"},
        {"a", "a", "a", "", ""},
        // the match is expanded where it was found, not run again on its own
        {"a*", "aa", "aa", "x", "x"},
        {"\\s*$", "foo   ", "   ", "X", "X"},
        {"a\\B", "ab", "a", "x", "x"},
        {"\\b\\.", "a.b", ".", ",", ","},
        {"\\Ba+", "baa", "aa", "<$0>", "<aa>"},
        {"(\\Ba)?(a+)", "baa", "aa", "[$1|$2]", "[a|a]"},
        // after matches left out for cutting a character
        {"(.)", EAcute + "b", "b", "<$1>", "<b>"},
        {"\\B(.)", EAcute + "ab", "b", "<$1>", "<b>"},
    };
    for (const TReplaceCase& c : cases) {
        SCOPED_TRACE("pattern \"" + c.Pattern + "\" line \"" + c.Line + "\" found \"" + c.Found + "\"");
        TSrcEditRegexSearch engine;
        engine.ApplyOptions(MatchCase);
        engine.AssignPattern(c.Pattern);
        if (!c.Line.empty())
            engine.FindAllInLine(c.Line);
        EXPECT_EQ(engine.ReplacementFor(c.Found, c.Replace), c.Expected);
    }
}

TEST(RegexSearch, ReplacementAfterAChangeUsesTheNewExpression)
{
    TSrcEditRegexSearch engine;
    engine.AssignPattern("(a)b");
    ASSERT_EQ(engine.FindAllInLine("ab"), 1);
    engine.AssignPattern("(b)");
    EXPECT_EQ(engine.ReplacementFor("ab", "<$1>"), "a<b>");
}

TEST(RegexSearch, ReplacementErrorsReachTheCaller)
{
    TSrcEditRegexSearch engine;
    engine.AssignPattern("(a");
    EXPECT_THROW(engine.ReplacementFor("a", "b"), ERegExpr);
}

// ---- both engines driven like the editor's replace-all

struct TLineReplaceCase {
    bool Regex;
    std::string Pattern;
    TSrcEditSearchFlags Options;
    std::string Line;
    std::string Replace;
    std::string Expected;
};

TEST(SearchEngineReplaceAll, WholeLines)
{
    const std::vector<TLineReplaceCase> cases = {
        {false, "a", NoOptions, "a a a", "bb", "bb bb bb"},
        {false, "AB", NoOptions, "ab-Ab-aB", "", "--"},
        {false, "ab", WholeWord, "ab abab ab", "x", "x abab x"},
        {false, "$", NoOptions, "$a $b", "\\$", "\\$a \\$b"},
        {true, "a", NoOptions, "a a a", "bb", "bb bb bb"},
        {true, "(\\w)(\\d)", NoOptions, "a1 b2 c3", "$2$1", "1a 2b 3c"},
        {true, "(\\w)(\\d)", NoOptions, "a1 a1 a1", "<$2$1>", "<1a> <1a> <1a>"},
        {true, "\\s*$", NoOptions, "foo   ", "X", "fooXX"},
        {true, "a*", NoOptions, "baab", "x", "xbxxbx"},
        {true, "\\Bb", NoOptions, "abb b", "c", "acc b"},
        {true, "^\\s+", NoOptions, "   x  ", "", "x  "},
        {true, "o", MatchCase, "fOo", "0", "fO0"},
        {true, "(.)", NoOptions, EAcute + " b", "<$1>", "<" + EAcute + ">< ><b>"},
    };
    for (const TLineReplaceCase& c : cases) {
        for (bool backwards : {false, true}) {
            SCOPED_TRACE("pattern \"" + c.Pattern + "\" in \"" + c.Line + "\"" + (backwards ? " backwards" : ""));
            TSrcEditSearch plain;
            TSrcEditRegexSearch regex;
            TSrcEditSearchCustom& engine = c.Regex ? static_cast<TSrcEditSearchCustom&>(regex) : plain;
            engine.ApplyOptions(c.Options);
            engine.AssignPattern(c.Pattern);
            EXPECT_EQ(ReplaceAllInLine(engine, c.Line, c.Replace, backwards), c.Expected);
        }
    }
}

TEST(SearchEngineReplaceAll, ManyMatchesInOneLineStayFast)
{
    std::string line;
    for (int i = 0; i < 5000; ++i)
        line += "v" + std::to_string(i) + " ";
    TSrcEditRegexSearch engine;
    engine.ApplyOptions(MatchCase);
    engine.AssignPattern("v(\\d+)");
    for (bool backwards : {false, true}) {
        SCOPED_TRACE(backwards);
        const auto start = std::chrono::steady_clock::now();
        const std::string replaced = ReplaceAllInLine(engine, line, "w$1", backwards);
        EXPECT_EQ(replaced.substr(0, 9), "w0 w1 w2 ");
        EXPECT_EQ(replaced.substr(replaced.size() - 12), "w4998 w4999 ");
        EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 5.0);
    }
}

}  // namespace
