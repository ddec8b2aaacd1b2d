#include "search/zuSearchResults.h"

#include "Platform/text/TextChars.h"

#include <algorithm>

TSearchResult::TShownLine TSearchResult::Shown() const
{
    size_t blanks = 0;
    if (Offset == 0)
        while (blanks < Line.size() && (Line[blanks] == ' ' || Line[blanks] == '\t'))
            ++blanks;
    TShownLine shown;
    shown.Text = std::string_view(Line).substr(blanks);
    const auto clamp = [&](long long column) {
        return static_cast<size_t>(std::clamp<long long>(column, 0, static_cast<long long>(shown.Text.size())));
    };
    const long long cut = static_cast<long long>(Offset) + static_cast<long long>(blanks);
    shown.HitStart = clamp(SPos - 1 - cut);
    shown.HitEnd = clamp(EPos - cut);
    return shown;
}

TSearchResult MakeSearchResult(int lineNo, std::string_view line, int sPos, int ePos)
{
    TSearchResult result;
    result.LineNo = lineNo;
    result.SPos = sPos;
    result.EPos = ePos;
    if (line.size() <= MaxKeptLineLength) {
        result.Line.assign(line);
        return result;
    }
    // Some context before the hit, the rest after it.
    constexpr size_t before = MaxKeptLineLength / 8;
    const size_t hitStart = static_cast<size_t>(std::max(sPos - 1, 0));
    size_t start = hitStart > before ? hitStart - before : 0;
    start = TextChars::CharStart(line, std::min(start, line.size() - 1));
    size_t end = std::max(start + MaxKeptLineLength, static_cast<size_t>(ePos));
    if (end < line.size())
        end = TextChars::CharStart(line, end);
    else
        end = line.size();
    result.Line.assign(line.substr(start, end - start));
    result.Offset = static_cast<int>(start);
    return result;
}
