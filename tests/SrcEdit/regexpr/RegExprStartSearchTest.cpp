// Where a search starts: the scans for literals, for the first two bytes and past runs of a
// leading repeat only pick the places worth trying; the matches, their groups and the
// successive matches are those of trying every place in turn.

#include "SrcEdit/Source/regexpr/SrcEditRegExpr.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace {

struct TFound {
    int Position;  // 1-based, as SubMatchPosition gives it
    int Length;
    int GroupPosition;  // group 1; -1 when unset or absent
    int GroupLength;
};

bool operator==(const TFound& a, const TFound& b)
{
    return a.Position == b.Position && a.Length == b.Length && a.GroupPosition == b.GroupPosition &&
           a.GroupLength == b.GroupLength;
}

void PrintTo(const TFound& f, std::ostream* os)
{
    *os << "(" << f.Position << "," << f.Length << " g1 " << f.GroupPosition << "," << f.GroupLength << ")";
}

// Every match of Exec and the ExecNext calls after it.
std::vector<TFound> AllMatches(TRegExpr& re, const std::string& subject)
{
    std::vector<TFound> found;
    if (re.Exec(subject)) {
        do
            found.push_back({re.SubMatchPosition(0), re.SubMatchLength(0), re.SubMatchPosition(1), re.SubMatchLength(1)});
        while (re.ExecNext());
    }
    return found;
}

struct TCase {
    std::string Pattern;
    std::string Subject;
    std::vector<TFound> Expected;
};

void ExpectAllMatches(const std::vector<TCase>& cases)
{
    for (const TCase& c : cases) {
        SCOPED_TRACE("pattern \"" + c.Pattern + "\" on \"" + c.Subject + "\"");
        TRegExpr re;
        re.SetExpression(c.Pattern);
        EXPECT_EQ(AllMatches(re, c.Subject), c.Expected);
    }
}

TEST(RegExprStartSearch, LeadingRepeatFollowedByALiteral)
{
    ExpectAllMatches({
        {"[a-z]+ing", "sing singing ring, thing", {{1, 4, -1, -1}, {6, 7, -1, -1}, {14, 4, -1, -1}, {20, 5, -1, -1}}},
        {"[a-z]+ing", "ing xing Ring", {{5, 4, -1, -1}}},
        {"(\\w+)@(\\w+)\\.com", "mail a@b.com, x@@y.com or ab@cd.org and me@zentu.com", {{6, 7, 6, 1}, {41, 12, 41, 2}}},
        {"\\d+\\.\\d+", "v1.2.3 and .5 and 10. and 3.14", {{2, 3, -1, -1}, {27, 4, -1, -1}}},
        {"\\d{2,}\\.", "1. 12. 123.4 5..", {{4, 3, -1, -1}, {8, 4, -1, -1}}},
        {"\\w*x", "abc x yyx", {{5, 1, -1, -1}, {7, 3, -1, -1}}},
        {"[a-z]*?b", "aab cb b", {{1, 3, -1, -1}, {5, 2, -1, -1}, {8, 1, -1, -1}}},
        {"(?-s).*end", "the end\nno en\nend", {{1, 7, -1, -1}, {15, 3, -1, -1}}},
        {"(?-s).*x", "ab\r\ncx\rdx", {{5, 2, -1, -1}, {8, 2, -1, -1}}},
        {"(?i)[a-z]+ING", "Sing SINGING sin", {{1, 4, -1, -1}, {6, 7, -1, -1}}},
        {"(?s).*end", "the end\nno en\nend", {{1, 17, -1, -1}}},
        {"\\w+\xC3\xA9", "caf\xC3\xA9 th\xC3\xA9\xC3\xA9 \xC3\xA9", {{1, 5, -1, -1}, {7, 6, -1, -1}}},
        {"[^,]+,", "a,bb,,c", {{1, 2, -1, -1}, {3, 3, -1, -1}}},
        {"(\\w+) \\1", "xab ab bc bcd", {{2, 5, 2, 2}, {8, 5, 8, 2}}},
        {"a+b", "aaa aab b ab", {{5, 3, -1, -1}, {11, 2, -1, -1}}},
    });
}

TEST(RegExprStartSearch, LiteralPrefixesThroughGroupsAndCase)
{
    ExpectAllMatches({
        {"<(script)[^>]*>", "<div><script type=x><scripts><SCRIPT>", {{6, 15, 7, 6}, {21, 9, 22, 6}}},
        {"(?i)select", "SELECT Select sElEcT selec", {{1, 6, -1, -1}, {8, 6, -1, -1}, {15, 6, -1, -1}}},
        {"(?i)s(el)ect", "xSELECT", {{2, 6, 3, 2}}},
        {"a(b)c", "abcabdabc", {{1, 3, 2, 1}, {7, 3, 8, 1}}},
        {"function", "functio function functionfunction", {{9, 8, -1, -1}, {18, 8, -1, -1}, {26, 8, -1, -1}}},
    });
}

TEST(RegExprStartSearch, OptionalLiteralsAndAlternatives)
{
    ExpectAllMatches({
        {"(ab)?c", "c abc bc", {{1, 1, -1, -1}, {3, 3, 3, 2}, {8, 1, -1, -1}}},
        {"x|ab", "aab x b", {{2, 2, -1, -1}, {5, 1, -1, -1}}},
        {"public|private|protected", "pub public privat private protected", {{5, 6, -1, -1}, {19, 7, -1, -1}, {27, 9, -1, -1}}},
        {"\\b(if|else)\\b", "if elsewhere else iff if", {{1, 2, 1, 2}, {14, 4, 14, 4}, {23, 2, 23, 2}}},
    });
}

TEST(RegExprStartSearch, AnchorsLinesAndEmptyMatches)
{
    ExpectAllMatches({
        {"^ab", "ab ab", {{1, 2, -1, -1}}},
        {"(?m)^ab", "ab\nab\r\nxab", {{1, 2, -1, -1}, {4, 2, -1, -1}}},
        {"ab$", "ab ab", {{4, 2, -1, -1}}},
        {"(?m)ab$", "ab\nab\r\nabx", {{1, 2, -1, -1}, {4, 2, -1, -1}}},
        {"(?m)^\\s*//", "//a\n  // b\nx //\n\t//", {{1, 2, -1, -1}, {5, 4, -1, -1}, {17, 3, -1, -1}}},
        {"a*", "baab", {{1, 0, -1, -1}, {2, 2, -1, -1}, {4, 0, -1, -1}, {5, 0, -1, -1}}},
        {"\\w*", "ab cd", {{1, 2, -1, -1}, {3, 0, -1, -1}, {4, 2, -1, -1}, {6, 0, -1, -1}}},
        {"x*$", "abxx", {{3, 2, -1, -1}, {5, 0, -1, -1}}},
        {"\\bab", "ab cab ab", {{1, 2, -1, -1}, {8, 2, -1, -1}}},
        {"(?m)^\\s*//", "x // a\n  \n  //b\n//", {{8, 7, -1, -1}, {17, 2, -1, -1}}},
        {"(?m)^\\w+:", "ab: x\ncd :\nef:", {{1, 3, -1, -1}, {12, 3, -1, -1}}},
        {"(?m)^(\\w*)=", "a=b\n=c\r\nd e=f\r\ngh=", {{1, 2, 1, 1}, {5, 1, 5, 0}, {16, 3, 16, 2}}},
    });
}

// The scans look at sixteen bytes at a time; a match must be found whatever its offset, also
// as the last bytes of the text, behind near misses that share its first and last byte.
TEST(RegExprStartSearch, MatchesAtEveryOffsetOfALongText)
{
    struct TOffsetCase {
        std::string Pattern;
        std::string Filler;  // repeated before the match
        std::string Match;
        int GroupOffset;     // of group 1 inside the match; -1: none
        int GroupLength;
    };
    const std::vector<TOffsetCase> cases = {
        {"function", "fn", "function", -1, -1},
        {"(?i)select", "st", "SeLeCt", -1, -1},
        {"(?i)s(el)ect", "sT", "sELECT", 1, 2},
        {"<(script)", "<t ", "<script", 1, 6},
        {"[a-z]+ing", "ig-", "sing", -1, -1},
        {"(\\w+)@x", "a@ ", "ab@x", 0, 2},
        {"\\d+\\.\\d+", "1. .", "12.5", -1, -1},
    };
    for (const TOffsetCase& c : cases) {
        for (int repeats = 0; repeats <= 20; ++repeats) {
            std::string subject;
            for (int i = 0; i < repeats; ++i)
                subject += c.Filler;
            const int position = static_cast<int>(subject.size()) + 1;
            subject += c.Match;
            SCOPED_TRACE("pattern \"" + c.Pattern + "\" on \"" + subject + "\"");
            TRegExpr re;
            re.SetExpression(c.Pattern);
            const TFound expected{position, static_cast<int>(c.Match.size()),
                                  c.GroupOffset < 0 ? -1 : position + c.GroupOffset, c.GroupLength};
            EXPECT_EQ(AllMatches(re, subject), std::vector<TFound>{expected});
        }
    }
}

}  // namespace
