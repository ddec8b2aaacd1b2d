#pragma once
// The scans the highlighter tests compare with their expectations: one line from a given range
// into (text, kind) tokens and tables of such line cases; whole texts from the start state, with
// the check that each line's tokens cover it, into (text, kind) or (text, attribute) pairs.

#include "SrcEdit/highlighters/HighlighterGolden.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <utility>
#include <vector>

template <class TKind>
struct TScanToken {
    std::string Text;
    TKind Kind;
    bool operator==(const TScanToken&) const = default;
};

template <class TKind>
void PrintTo(const TScanToken<TKind>& t, std::ostream* os)
{
    *os << "{\"" << t.Text << "\", " << static_cast<int>(t.Kind) << "}";
}

// The tokens of one line scanned from `entering`; `leaving` gets the range after it. A scan that
// does not come to the line end within `tokensPerByte` tokens a byte (plus one) fails.
template <class TKind>
std::vector<TScanToken<TKind>> ScanLineFrom(TSrcCustomHighlighter& h, const std::string& line, TSrcRange entering,
                                            TSrcRange* leaving = nullptr, int tokensPerByte = 1)
{
    std::vector<TScanToken<TKind>> tokens;
    h.RestoreRange(entering);
    h.StartLine(line, 0);
    for (int guard = 0; !h.AtLineEnd() && guard <= tokensPerByte * static_cast<int>(line.size()); ++guard) {
        tokens.push_back({h.TokenText(), static_cast<TKind>(h.TokenKindCode())});
        h.AdvanceToken();
    }
    EXPECT_TRUE(h.AtLineEnd());
    if (leaving)
        *leaving = h.CurrentRange();
    return tokens;
}

// One line, the range it is entered in, its tokens and the range it leaves.
template <class TKind>
struct TLineCase {
    std::string Line;
    TSrcRange Entering;
    std::vector<TScanToken<TKind>> Expected;
    TSrcRange Leaving;
};

// Runs line cases one after another on one highlighter of class TSyn.
template <class TSyn, class TKind>
struct TLineCaseRunner {
    int TokensPerByte = 1;

    void operator()(const std::vector<TLineCase<TKind>>& cases) const
    {
        TSyn h;
        for (const TLineCase<TKind>& c : cases) {
            SCOPED_TRACE(c.Line);
            TSrcRange leaving = 99;
            EXPECT_EQ(ScanLineFrom<TKind>(h, c.Line, c.Entering, &leaving, TokensPerByte), c.Expected);
            EXPECT_EQ(leaving, c.Leaving);
        }
    }
};

using TKindPairs = std::vector<std::pair<std::string, int>>;
using TAttributePairs = std::vector<std::pair<std::string, std::string>>;

// Scans `lines` from the start state (ScanTokens) and checks that each line's tokens follow one
// another without a gap and cover the line up to its first NUL; with `noEmptyTokens`, that none
// is empty.
std::vector<TGoldenToken> ScanCoveringLines(TSrcCustomHighlighter& h, const std::vector<std::string>& lines,
                                            std::vector<TSrcRange>* ranges = nullptr, bool noEmptyTokens = false);
TKindPairs ScanKinds(TSrcCustomHighlighter& h, const std::vector<std::string>& lines,
                     std::vector<TSrcRange>* ranges = nullptr, bool noEmptyTokens = false);
TAttributePairs ScanAttributes(TSrcCustomHighlighter& h, const std::vector<std::string>& lines,
                               std::vector<TSrcRange>* ranges = nullptr);

// Lines scanned from the start state, their (text, kind) tokens and, when given, the range after
// each line.
struct TLinesCase {
    const char* Name;
    std::vector<std::string> Lines;
    TKindPairs Expected;
    std::vector<TSrcRange> Ranges;
};

// Runs each case on a new highlighter of class TSyn.
template <class TSyn>
struct TLinesCaseRunner {
    bool NoEmptyTokens = false;

    void operator()(const std::vector<TLinesCase>& cases) const
    {
        for (const TLinesCase& c : cases) {
            SCOPED_TRACE(c.Name);
            TSyn h;
            std::vector<TSrcRange> ranges;
            EXPECT_EQ(ScanKinds(h, c.Lines, &ranges, NoEmptyTokens), c.Expected);
            if (!c.Ranges.empty()) {
                EXPECT_EQ(ranges, c.Ranges);
            }
        }
    }
};
