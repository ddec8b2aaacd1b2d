#pragma once
// The INI document of the settings store, held in memory: an ordered list of sections, each an
// ordered list of lines. Section names and keys match ignoring letter case; of two sections with
// one name the first wins. A section exists only while it holds a line; an empty header stays in
// the document and is written back.

#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class TStrings;

class TExIniDocument {
public:
    // Replaces everything by the text: lines trimmed, empty and ";" lines dropped, "[name]"
    // starting a section, lines before the first section dropped, "key = value" stored as
    // "key=value"; lines may end with CR LF, LF or CR.
    void LoadFromText(std::string_view text);
    // Every section as "[name]", its lines, then an empty line; every line ends with CR LF.
    std::string Text() const;
    void Clear();

    bool SectionExists(const std::string& section) const;
    bool ValueExists(const std::string& section, const std::string& key) const;
    // The text after the first "=" of the key's line; `defaultValue` when there is none.
    std::string ReadString(const std::string& section, const std::string& key, const std::string& defaultValue) const;
    // Replaces the key's line, else appends it; a missing section is appended.
    void WriteString(const std::string& section, const std::string& key, const std::string& value);
    void DeleteKey(const std::string& section, const std::string& key);
    // Removes the (first) section of that name with its lines.
    void EraseSection(const std::string& section);
    // Removes every section whose name `erase` accepts, in one pass; true when any went.
    bool EraseSections(const std::function<bool(const std::string& name)>& erase);

    // Every section name in document order, also those without lines.
    std::vector<std::string> SectionNames() const;
    // The keys of the section's lines, in order.
    void ReadSection(const std::string& section, TStrings& keys) const;

private:
    struct Section {
        std::string Name;
        std::vector<std::string> Lines;
    };
    Section* Find(const std::string& name);
    const Section* Find(const std::string& name) const;
    static int KeyLine(const Section& section, const std::string& key);
    void Reindex();

    std::vector<Section> FSections;
    // why: a lookup by name must not walk every section. Folded name -> first section of it.
    std::unordered_map<std::string, size_t> FIndex;
};
