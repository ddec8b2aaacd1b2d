#pragma once
// The text of an INI file as the profile functions read and change it: sections in square
// brackets, "key=value" lines, names matched without regard to letter case. Lines that a
// change does not touch keep their bytes and line breaks.

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class TIniText {
public:
    explicit TIniText(std::string_view text = {});

    // The whole text; lines written here end with the file's first line break (CR LF when none).
    std::string Text() const;

    // The value of the first matching key in the first section of that name: blanks around it
    // trimmed, one pair of matching quotes removed. False when there is no such key.
    bool ReadValue(std::string_view section, std::string_view key, std::string& value) const;
    // Replaces the key's line, else adds it after the section's last non-blank line; a missing
    // section is appended. The value is cut at its first line break, and quoted where blanks at
    // its ends or quotes around it would otherwise be lost on reading.
    void WriteValue(std::string_view section, std::string_view key, std::string_view value);
    void DeleteKey(std::string_view section, std::string_view key);
    // Removes every section of that name with all its lines.
    void EraseSection(std::string_view section);

    // Section names in file order, each name once (as first spelt).
    std::vector<std::string> SectionNames() const;
    // The keys of the first section of that name, in order, each once.
    std::vector<std::string> SectionKeys(std::string_view section) const;

    // Counts the changes made: a write of the value a key already holds, or a deletion of
    // nothing, changes nothing.
    std::uint64_t Revision() const { return FRevision; }

private:
    struct Line {
        std::string Content;
        std::string Break; // "\r\n", "\n", "\r", or "" for a last line without one
    };
    struct Range {
        size_t Header;
        size_t End; // one past the section's last line
    };

    // why: looking a section up by name must not walk the whole text; a file of 10,000
    // projects is read one section at a time. Built when first needed after a change; the
    // const readers build it, so one text is not read from two threads at once.
    void IndexSections() const;
    void LinesChanged();
    bool FindSection(std::string_view section, Range& range) const;
    // Index of the key's line inside the range, or npos.
    size_t FindKey(const Range& range, std::string_view key) const;
    void InsertLine(size_t index, std::string content);

    std::vector<Line> FLines;
    std::string FNewLine = "\r\n";
    std::uint64_t FRevision = 0;
    mutable std::vector<size_t> FHeaders;                          // header lines in order
    mutable std::unordered_map<std::string, size_t> FFirstHeader; // folded name -> index in FHeaders
    mutable bool FIndexed = false;
};

// The stored form of a value, as TIniText writes it.
std::string IniStoredValue(std::string_view value);
