#pragma once
// The regular-expression search engine: the editor's search interface over TRegExpr.
//
// Matches that start or end inside a multi-byte UTF-8 character (the engine works on bytes, so
// "." can take half a character) are left out, so that a replacement never cuts a character.
// The replacement for a match found in the last searched line is its template expanded against
// that match as it stood in the line; running the expression again on the found text alone
// would lose the text around it (word boundaries, and the empty match that "a*" or "\s*$"
// also finds at the end of the found text).

#include "SrcEdit/Source/regexpr/SrcEditRegExpr.h"
#include "SrcEdit/Source/search/SrcEditSearchCustom.h"

#include <array>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class TSrcEditRegexSearch : public TSrcEditSearchCustom {
public:
    explicit TSrcEditRegexSearch(TComponent* AOwner = nullptr);

    std::string ReadPattern() const override;
    void AssignPattern(const std::string& text) override;
    // Both raise EListError "List index out of bounds (%d)" for an index outside the matches.
    int MatchLength(int index) const override;
    int MatchPosition(int index) const override;
    int MatchCount() const override;
    // Ignores case unless sfMatchCase; sfWholeWord is left to the expression (\b).
    void ApplyOptions(TSrcEditSearchFlags options) override;
    // Errors of the expression, the step budget's included, propagate as ERegExpr and leave
    // no matches.
    int FindAllInLine(const std::string& line) override;
    // The template ($n, ${n}, $&, backslash escapes) expanded for FoundText: against the match of
    // the last line when FoundText is one, else for every match of the expression in FoundText.
    std::string ReplacementFor(const std::string& foundText, const std::string& replaceText) override;

private:
    // A kept match of the last line: where it is, how many matches the engine found before it,
    // and its sub-matches as (offset from the match start, length), (-1, -1) when unset.
    struct TFoundMatch {
        int Position;
        int Length;
        int Ordinal;
        std::array<std::pair<int, int>, TRegExpr::SubMatchCount> SubMatches;
    };

    void ForgetLine();
    std::string_view MatchText(const TFoundMatch& match) const;
    int StoredMatchWithText(std::string_view text) const;
    bool HoldsSubMatchesOf(const TFoundMatch& match) const;
    // Brings the engine to the match of the line with the given ordinal; false when it cannot.
    bool SeekMatch(int ordinal);

    TRegExpr FRegExpr;
    std::vector<TFoundMatch> FMatches;
    std::string FLine;
    bool FLineValid = false;
    // Ordinal of the line's match the engine holds now; -1 when it holds none of them.
    int FEngineOrdinal = -1;
    int FLastReplaced = -1;
};
