#include "ExLib/run/storage/ExIniDocument.h"

#include "Platform/text/Strings.h"
#include "Platform/text/TextUtils.h"

#include <algorithm>

namespace {

std::string KeyOf(const std::string& line)
{
    const size_t eq = line.find('=');
    return eq == std::string::npos ? std::string() : line.substr(0, eq);
}

} // namespace

void TExIniDocument::Clear()
{
    FSections.clear();
    FIndex.clear();
}

void TExIniDocument::Reindex()
{
    FIndex.clear();
    for (size_t i = 0; i < FSections.size(); ++i)
        FIndex.try_emplace(UpperCase(FSections[i].Name), i);
}

void TExIniDocument::LoadFromText(std::string_view text)
{
    Clear();
    Section* current = nullptr;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos)
            end = text.size();
        const std::string line = Trim(text.substr(start, end - start));
        // A line ends with CR LF, LF or CR.
        start = end + 1;
        if (end + 1 < text.size() && text[end] == '\r' && text[end + 1] == '\n')
            ++start;
        if (line.empty() || line[0] == ';')
            continue;
        if (line.front() == '[' && line.back() == ']' && line.size() >= 2) {
            FSections.push_back(Section{Trim(line.substr(1, line.size() - 2)), {}});
            FIndex.try_emplace(UpperCase(FSections.back().Name), FSections.size() - 1);
            current = &FSections.back();
            continue;
        }
        if (!current)
            continue;
        const size_t eq = line.find('=');
        if (eq == std::string::npos)
            current->Lines.push_back(line);
        else
            current->Lines.push_back(Trim(line.substr(0, eq)) + "=" + Trim(line.substr(eq + 1)));
    }
}

std::string TExIniDocument::Text() const
{
    std::string text;
    for (const Section& s : FSections) {
        text += "[" + s.Name + "]\r\n";
        for (const std::string& line : s.Lines)
            text += line + "\r\n";
        text += "\r\n";
    }
    return text;
}

TExIniDocument::Section* TExIniDocument::Find(const std::string& name)
{
    const auto it = FIndex.find(UpperCase(name));
    return it == FIndex.end() ? nullptr : &FSections[it->second];
}

const TExIniDocument::Section* TExIniDocument::Find(const std::string& name) const
{
    return const_cast<TExIniDocument*>(this)->Find(name);
}

int TExIniDocument::KeyLine(const Section& section, const std::string& key)
{
    for (size_t i = 0; i < section.Lines.size(); ++i) {
        const std::string& line = section.Lines[i];
        if (line.find('=') != std::string::npos && SameText(KeyOf(line), key))
            return static_cast<int>(i);
    }
    return -1;
}

bool TExIniDocument::SectionExists(const std::string& section) const
{
    const Section* s = Find(section);
    return s && !s->Lines.empty();
}

bool TExIniDocument::ValueExists(const std::string& section, const std::string& key) const
{
    const Section* s = Find(section);
    return s && KeyLine(*s, key) >= 0;
}

std::string TExIniDocument::ReadString(const std::string& section, const std::string& key,
                                       const std::string& defaultValue) const
{
    const Section* s = Find(section);
    if (!s)
        return defaultValue;
    const int i = KeyLine(*s, key);
    if (i < 0)
        return defaultValue;
    const std::string& line = s->Lines[static_cast<size_t>(i)];
    return line.substr(line.find('=') + 1);
}

void TExIniDocument::WriteString(const std::string& section, const std::string& key, const std::string& value)
{
    Section* s = Find(section);
    if (!s) {
        FSections.push_back(Section{section, {}});
        FIndex.try_emplace(UpperCase(section), FSections.size() - 1);
        s = &FSections.back();
    }
    const std::string line = key + "=" + value;
    const int i = KeyLine(*s, key);
    if (i >= 0)
        s->Lines[static_cast<size_t>(i)] = line;
    else
        s->Lines.push_back(line);
}

void TExIniDocument::DeleteKey(const std::string& section, const std::string& key)
{
    Section* s = Find(section);
    if (!s)
        return;
    const int i = KeyLine(*s, key);
    if (i >= 0)
        s->Lines.erase(s->Lines.begin() + i);
}

void TExIniDocument::EraseSection(const std::string& section)
{
    const auto it = FIndex.find(UpperCase(section));
    if (it == FIndex.end())
        return;
    FSections.erase(FSections.begin() + static_cast<std::ptrdiff_t>(it->second));
    Reindex();
}

bool TExIniDocument::EraseSections(const std::function<bool(const std::string& name)>& erase)
{
    const auto end = std::remove_if(FSections.begin(), FSections.end(), [&](const Section& s) { return erase(s.Name); });
    if (end == FSections.end())
        return false;
    FSections.erase(end, FSections.end());
    Reindex();
    return true;
}

std::vector<std::string> TExIniDocument::SectionNames() const
{
    std::vector<std::string> names;
    for (const Section& s : FSections)
        names.push_back(s.Name);
    return names;
}

void TExIniDocument::ReadSection(const std::string& section, TStrings& keys) const
{
    keys.Clear();
    if (const Section* s = Find(section))
        for (const std::string& line : s->Lines)
            if (line.find('=') != std::string::npos)
                keys.Add(KeyOf(line));
}
