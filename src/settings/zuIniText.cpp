// The INI text engine behind the settings files.

#include "settings/zuIniText.h"

#include "Platform/text/TextUtils.h"

#include <unordered_set>

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

std::string_view TrimBlanks(std::string_view s)
{
    while (!s.empty() && IsBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

bool IsQuote(char c)
{
    return c == '"' || c == '\'';
}

bool QuotedPair(std::string_view s)
{
    return s.size() >= 2 && IsQuote(s.front()) && s.front() == s.back();
}

// The section name of a header line ("[name]"), or false for any other line.
bool HeaderName(std::string_view content, std::string_view& name)
{
    const std::string_view s = TrimBlanks(content);
    if (s.empty() || s.front() != '[')
        return false;
    const size_t close = s.find(']');
    name = TrimBlanks(s.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1));
    return true;
}

// The key of a "key=value" line; false for comments, headers and lines without "=".
bool KeyOfLine(std::string_view content, std::string_view& key, std::string_view& rawValue)
{
    const std::string_view s = TrimBlanks(content);
    if (s.empty() || s.front() == ';' || s.front() == '[')
        return false;
    const size_t eq = s.find('=');
    if (eq == std::string_view::npos)
        return false;
    key = TrimBlanks(s.substr(0, eq));
    rawValue = s.substr(eq + 1);
    return !key.empty();
}

} // namespace

std::string IniStoredValue(std::string_view value)
{
    // why: a line break inside a value would start new lines (even new sections) in the file.
    const size_t lineBreak = value.find_first_of("\r\n");
    if (lineBreak != std::string_view::npos)
        value = value.substr(0, lineBreak);
    const bool blankEnds = !value.empty() && (IsBlank(value.front()) || IsBlank(value.back()));
    if (blankEnds || QuotedPair(value))
        return "\"" + std::string(value) + "\"";
    return std::string(value);
}

TIniText::TIniText(std::string_view text)
{
    bool newLineKnown = false;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            FLines.push_back({std::string(text.substr(start)), ""});
            break;
        }
        const size_t breakLength = (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? 2 : 1;
        FLines.push_back({std::string(text.substr(start, end - start)), std::string(text.substr(end, breakLength))});
        if (!newLineKnown) {
            FNewLine = FLines.back().Break;
            newLineKnown = true;
        }
        start = end + breakLength;
    }
}

std::string TIniText::Text() const
{
    std::string out;
    for (const Line& line : FLines) {
        out += line.Content;
        out += line.Break;
    }
    return out;
}

void TIniText::IndexSections() const
{
    if (FIndexed)
        return;
    FHeaders.clear();
    FFirstHeader.clear();
    for (size_t i = 0; i < FLines.size(); ++i) {
        std::string_view name;
        if (!HeaderName(FLines[i].Content, name))
            continue;
        FFirstHeader.try_emplace(UpperCase(name), FHeaders.size());
        FHeaders.push_back(i);
    }
    FIndexed = true;
}

void TIniText::LinesChanged()
{
    ++FRevision;
    FIndexed = false;
}

bool TIniText::FindSection(std::string_view section, Range& range) const
{
    IndexSections();
    const auto found = FFirstHeader.find(UpperCase(TrimBlanks(section)));
    if (found == FFirstHeader.end())
        return false;
    const size_t next = found->second + 1;
    range = {FHeaders[found->second], next < FHeaders.size() ? FHeaders[next] : FLines.size()};
    return true;
}

size_t TIniText::FindKey(const Range& range, std::string_view key) const
{
    for (size_t i = range.Header + 1; i < range.End; ++i) {
        std::string_view lineKey, rawValue;
        if (KeyOfLine(FLines[i].Content, lineKey, rawValue) && SameText(lineKey, TrimBlanks(key)))
            return i;
    }
    return std::string::npos;
}

bool TIniText::ReadValue(std::string_view section, std::string_view key, std::string& value) const
{
    Range range{};
    if (!FindSection(section, range))
        return false;
    const size_t index = FindKey(range, key);
    if (index == std::string::npos)
        return false;
    std::string_view lineKey, rawValue;
    KeyOfLine(FLines[index].Content, lineKey, rawValue);
    std::string_view v = TrimBlanks(rawValue);
    if (QuotedPair(v))
        v = v.substr(1, v.size() - 2);
    value = std::string(v);
    return true;
}

void TIniText::InsertLine(size_t index, std::string content)
{
    // invariant: every line but the last ends with a line break.
    if (index == FLines.size() && !FLines.empty() && FLines.back().Break.empty())
        FLines.back().Break = FNewLine;
    FLines.insert(FLines.begin() + static_cast<std::ptrdiff_t>(index), Line{std::move(content), FNewLine});
    LinesChanged();
}

void TIniText::WriteValue(std::string_view section, std::string_view key, std::string_view value)
{
    const std::string line = std::string(TrimBlanks(key)) + "=" + IniStoredValue(value);
    Range range{};
    if (FindSection(section, range)) {
        const size_t index = FindKey(range, key);
        if (index != std::string::npos) {
            if (FLines[index].Content != line) {
                FLines[index].Content = line;
                LinesChanged();
            }
            return;
        }
        size_t after = range.End;
        while (after > range.Header + 1 && TrimBlanks(FLines[after - 1].Content).empty())
            --after;
        InsertLine(after, line);
        return;
    }
    if (!FLines.empty() && !TrimBlanks(FLines.back().Content).empty())
        InsertLine(FLines.size(), "");
    InsertLine(FLines.size(), "[" + std::string(TrimBlanks(section)) + "]");
    InsertLine(FLines.size(), line);
}

void TIniText::DeleteKey(std::string_view section, std::string_view key)
{
    Range range{};
    if (!FindSection(section, range))
        return;
    const size_t index = FindKey(range, key);
    if (index != std::string::npos) {
        FLines.erase(FLines.begin() + static_cast<std::ptrdiff_t>(index));
        LinesChanged();
    }
}

void TIniText::EraseSection(std::string_view section)
{
    Range range{};
    while (FindSection(section, range)) {
        FLines.erase(FLines.begin() + static_cast<std::ptrdiff_t>(range.Header),
                     FLines.begin() + static_cast<std::ptrdiff_t>(range.End));
        LinesChanged();
    }
}

std::vector<std::string> TIniText::SectionNames() const
{
    IndexSections();
    std::vector<std::string> names;
    names.reserve(FFirstHeader.size());
    for (size_t i = 0; i < FHeaders.size(); ++i) {
        std::string_view name;
        HeaderName(FLines[FHeaders[i]].Content, name);
        if (FFirstHeader.at(UpperCase(name)) == i)
            names.emplace_back(name);
    }
    return names;
}

std::vector<std::string> TIniText::SectionKeys(std::string_view section) const
{
    std::vector<std::string> keys;
    Range range{};
    if (!FindSection(section, range))
        return keys;
    std::unordered_set<std::string> known;
    for (size_t i = range.Header + 1; i < range.End; ++i) {
        std::string_view key, rawValue;
        if (KeyOfLine(FLines[i].Content, key, rawValue) && known.insert(UpperCase(key)).second)
            keys.emplace_back(key);
    }
    return keys;
}
