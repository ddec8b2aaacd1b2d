// The plain-text search engine.

#include "SrcEditSearch.h"

#include "Platform/Exceptions.h"
#include "Platform/TextChars.h"

TSrcEditSearch::TSrcEditSearch(TComponent* AOwner) : TSrcEditSearchCustom(AOwner)
{
    BuildTranslation();
}

std::string TSrcEditSearch::ReadPattern() const
{
    return FPattern;
}

void TSrcEditSearch::AssignPattern(const std::string& text)
{
    if (text != FPattern) {
        FPattern = text;
        FSkipValid = false;
    }
    FPositions.clear();
}

int TSrcEditSearch::MatchLength(int) const
{
    return static_cast<int>(FPattern.size());
}

int TSrcEditSearch::MatchPosition(int index) const
{
    if (index < 0 || index >= MatchCount())
        return 0;
    return FPositions[static_cast<size_t>(index)];
}

int TSrcEditSearch::MatchCount() const
{
    return static_cast<int>(FPositions.size());
}

void TSrcEditSearch::ApplyOptions(TSrcEditSearchFlags options)
{
    const bool matchCase = options.Contains(sfMatchCase);
    if (matchCase != FMatchCase) {
        FMatchCase = matchCase;
        BuildTranslation();
        FSkipValid = false;
    }
    FWholeWord = options.Contains(sfWholeWord);
}

std::string TSrcEditSearch::ReplacementFor(const std::string&, const std::string& replaceText)
{
    return replaceText;
}

void TSrcEditSearch::BuildTranslation()
{
    for (int c = 0; c < 256; ++c)
        FTranslation[static_cast<size_t>(c)] =
            static_cast<unsigned char>(!FMatchCase && c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
}

void TSrcEditSearch::PrepareSkipData()
{
    if (FSkipValid)
        return;
    if (FPattern.empty())
        throw Exception("Pattern is empty");
    const size_t len = FPattern.size();
    FShift.fill(len + 1);
    // why: later positions overwrite earlier ones, so each byte keeps its last occurrence.
    for (size_t j = 0; j < len; ++j)
        FShift[Translated(FPattern[j])] = len - j;
    const unsigned char last = Translated(FPattern[len - 1]);
    FLookAt = 1;
    while (FLookAt < len && Translated(FPattern[len - 1 - FLookAt]) != last)
        ++FLookAt;
    FSkipValid = true;
}

bool TSrcEditSearch::Acceptable(std::string_view line, size_t start) const
{
    const size_t end = start + FPattern.size();
    if (TextChars::IsTrailByte(line, start) || TextChars::IsTrailByte(line, end))
        return false;
    if (!FWholeWord)
        return true;
    return (start == 0 || !TextChars::IsIdentChar(static_cast<unsigned char>(line[start - 1])))
        && (end == line.size() || !TextChars::IsIdentChar(static_cast<unsigned char>(line[end])));
}

size_t TSrcEditSearch::Scan(std::string_view line, size_t pos) const
{
    const size_t len = FPattern.size();
    const unsigned char last = Translated(FPattern[len - 1]);
    while (pos < line.size()) {
        if (Translated(line[pos]) != last) {
            // why: the byte just behind the window decides how far the next window can start;
            // at the line end no further window fits.
            if (pos + 1 >= line.size())
                break;
            pos += FShift[Translated(line[pos + 1])];
            continue;
        }
        const size_t start = pos + 1 - len;
        size_t i = 0;
        while (i < len && Translated(line[start + i]) == Translated(FPattern[i]))
            ++i;
        if (i == len && Acceptable(line, start))
            return pos;
        // invariant: no window ending between pos and pos + FLookAt can match, as the pattern
        // holds its last byte nowhere in between.
        pos += FLookAt;
        if (pos < line.size())
            pos += FShift[Translated(line[pos])] - 1;
    }
    return std::string_view::npos;
}

int TSrcEditSearch::FindAllInLine(const std::string& line)
{
    FPositions.clear();
    PrepareSkipData();
    const size_t len = FPattern.size();
    if (line.size() < len)
        return 0;
    // invariant: pos is the index of the byte under the pattern's last byte; the next window
    // starts right after the previous match, so matches never overlap.
    for (size_t pos = Scan(line, len - 1); pos != std::string_view::npos; pos = Scan(line, pos + len))
        FPositions.push_back(static_cast<int>(pos + 2 - len));
    return MatchCount();
}
