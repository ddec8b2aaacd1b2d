// The regular-expression search engine.

#include "SrcEdit/Source/search/SrcEditRegexSearch.h"

#include "Platform/core/Exceptions.h"
#include "Platform/text/Format.h"

namespace {

[[noreturn]] void ListIndexError(int index)
{
    throw EListError(Format("List index out of bounds (%d)", {index}));
}

}  // namespace

TSrcEditRegexSearch::TSrcEditRegexSearch(TComponent* AOwner) : TSrcEditSearchCustom(AOwner) {}

std::string TSrcEditRegexSearch::ReadPattern() const
{
    return FRegExpr.Expression();
}

void TSrcEditRegexSearch::AssignPattern(const std::string& text)
{
    if (text != FRegExpr.Expression())
        ForgetLine();
    FRegExpr.SetExpression(text);
}

int TSrcEditRegexSearch::MatchLength(int index) const
{
    if (index < 0 || index >= MatchCount())
        ListIndexError(index);
    return FMatches[static_cast<size_t>(index)].Length;
}

int TSrcEditRegexSearch::MatchPosition(int index) const
{
    if (index < 0 || index >= MatchCount())
        ListIndexError(index);
    return FMatches[static_cast<size_t>(index)].Position;
}

int TSrcEditRegexSearch::MatchCount() const
{
    return static_cast<int>(FMatches.size());
}

void TSrcEditRegexSearch::ApplyOptions(TSrcEditSearchFlags options)
{
    const bool ignoreCase = !options.Contains(sfMatchCase);
    if (ignoreCase != FRegExpr.ModifierI()) {
        ForgetLine();
        FRegExpr.SetModifierI(ignoreCase);
    }
}

void TSrcEditRegexSearch::ForgetLine()
{
    FLineValid = false;
    FEngineOrdinal = -1;
    FLastReplaced = -1;
}

int TSrcEditRegexSearch::FindAllInLine(const std::string& line)
{
    FMatches.clear();
    ForgetLine();
    std::vector<TFoundMatch> matches;
    int ordinal = 0;
    for (bool found = FRegExpr.Exec(line); found; found = FRegExpr.ExecNext(), ++ordinal) {
        TFoundMatch match{FRegExpr.SubMatchPosition(0), FRegExpr.SubMatchLength(0), ordinal, {}};
        for (int n = 0; n < TRegExpr::SubMatchCount; ++n) {
            const int position = FRegExpr.SubMatchPosition(n);
            match.SubMatches[static_cast<size_t>(n)] =
                position < 0 ? std::pair{-1, -1} : std::pair{position - match.Position, FRegExpr.SubMatchLength(n)};
        }
        matches.push_back(match);
    }
    FMatches = std::move(matches);
    FLine = FRegExpr.InputString();
    FLineValid = true;
    return MatchCount();
}

std::string_view TSrcEditRegexSearch::MatchText(const TFoundMatch& match) const
{
    return std::string_view(FLine).substr(static_cast<size_t>(match.Position - 1), static_cast<size_t>(match.Length));
}

int TSrcEditRegexSearch::StoredMatchWithText(std::string_view text) const
{
    if (!FLineValid || FMatches.empty())
        return -1;
    const int count = MatchCount();
    // why: the editor replaces the matches in order, forwards or backwards, so the neighbours of
    // the last one replaced are tried first.
    for (int index : {FLastReplaced + 1, FLastReplaced - 1})
        if (index >= 0 && index < count && MatchText(FMatches[static_cast<size_t>(index)]) == text)
            return index;
    for (int index = 0; index < count; ++index)
        if (MatchText(FMatches[static_cast<size_t>(index)]) == text)
            return index;
    return -1;
}

bool TSrcEditRegexSearch::HoldsSubMatchesOf(const TFoundMatch& match) const
{
    for (int n = 0; n < TRegExpr::SubMatchCount; ++n) {
        const int position = FRegExpr.SubMatchPosition(n);
        const std::pair<int, int> held = position < 0 ? std::pair{-1, -1} : std::pair{position - 1, FRegExpr.SubMatchLength(n)};
        if (held != match.SubMatches[static_cast<size_t>(n)])
            return false;
    }
    return true;
}

bool TSrcEditRegexSearch::SeekMatch(int ordinal)
{
    int current = FEngineOrdinal;
    FEngineOrdinal = -1;
    if (current < 0 || current > ordinal) {
        if (!FRegExpr.Exec(FLine))
            return false;
        current = 0;
    }
    for (; current < ordinal; ++current)
        if (!FRegExpr.ExecNext())
            return false;
    FEngineOrdinal = current;
    return true;
}

std::string TSrcEditRegexSearch::ReplacementFor(const std::string& foundText, const std::string& replaceText)
{
    const int index = StoredMatchWithText(foundText);
    if (index >= 0) {
        const TFoundMatch& match = FMatches[static_cast<size_t>(index)];
        FEngineOrdinal = -1;
        // why: matching the found text on its own is cheap and gives the same expansion whenever
        // every sub-match lands where it did in the line; only when the text around the match
        // mattered is the engine walked through the line up to that match again.
        if ((FRegExpr.Exec(foundText) && HoldsSubMatchesOf(match)) || SeekMatch(match.Ordinal)) {
            FLastReplaced = index;
            return FRegExpr.ExpandTemplate(replaceText);
        }
    }
    FEngineOrdinal = -1;
    return FRegExpr.ReplaceAll(foundText, replaceText, true);
}
