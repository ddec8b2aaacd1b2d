#pragma once
// TSrcLineScanner and TSrcLineTokenizer: the per-line bookkeeping of the highlighters that cut a
// line byte by byte (the line, the scan position, the current token's start and kind, the range
// state, the roles and the built-in filter) and the byte tables of their keyword scans, so that a
// language highlighter keeps only its own rules and tables.

#include "SrcEdit/Source/highlighters/SrcEditHighlighter.h"

#include <array>
#include <cstddef>
#include <initializer_list>
#include <string>
#include <string_view>

// Each letter's place in the alphabet (1 to 26, in either case), every other byte 0: what the
// keyword hashes sum.
constexpr std::array<unsigned char, 256> AlphabetPlaces()
{
    std::array<unsigned char, 256> places{};
    for (int c = 'A'; c <= 'Z'; ++c) {
        places[c] = static_cast<unsigned char>(c - 'A' + 1);
        places[c - 'A' + 'a'] = static_cast<unsigned char>(c - 'A' + 1);
    }
    return places;
}

// The bytes of ASCII words: letters, digits and '_'.
constexpr std::array<bool, 256> AsciiWordBytes()
{
    std::array<bool, 256> bytes{};
    for (int c = 0; c < 256; ++c)
        bytes[c] = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || c == '_' || (c >= 'a' && c <= 'z');
    return bytes;
}

// Whether the two words are as long and alike byte for byte under `values` (under AlphabetPlaces:
// equal but for letter case, and alike in all bytes of value 0).
inline bool SameValues(std::string_view a, std::string_view b, const std::array<unsigned char, 256>& values)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (values[static_cast<unsigned char>(a[i])] != values[static_cast<unsigned char>(b[i])])
            return false;
    return true;
}

// The attribute a highlighter shows for each role; null for a role it lacks.
struct TSrcRoleAttris {
    TSrcHighlighterAttributes* Comment = nullptr;
    TSrcHighlighterAttributes* Identifier = nullptr;
    TSrcHighlighterAttributes* Keyword = nullptr;
    TSrcHighlighterAttributes* String = nullptr;
    TSrcHighlighterAttributes* Whitespace = nullptr;
    TSrcHighlighterAttributes* Symbol = nullptr;
};

class TSrcLineScanner : public TSrcCustomHighlighter {
public:
    TSrcHighlighterAttributes* RoleAttri(int role) const override;
    // ASCII letters and digits, '_' and the bytes 128..255.
    TSrcCharSet IdentifierChars() const override;
    // Whether a form stream keeps DefaultFilter: only when it is not the built-in filter.
    bool IsFilterStored() const override;

    std::string TokenText() const override { return std::string(FLine.substr(FTokenPos, FRun - FTokenPos)); }
    int TokenStart() const override { return static_cast<int>(FTokenPos); }
    // Takes the line up to its first NUL and reads its first token.
    void StartLine(std::string_view lineText, int lineNumber) override;

protected:
    // `builtInFilter` (a string that lives as long as the program) becomes DefaultFilter.
    TSrcLineScanner(TComponent* AOwner, const char* builtInFilter);

    using TSrcCustomHighlighter::AddAttri;
    // A new attribute with these defaults, taken into the list.
    TSrcHighlighterAttributes* AddAttri(const std::string& name, TFontStyles style = {}, TColor foreground = clNone,
                                        TColor background = clNone);
    void SetRoleAttris(const TSrcRoleAttris& roles) { FRoles = roles; }

    // The byte at `index`, NUL beyond the end: the line reads as a NUL-terminated string.
    unsigned char At(size_t index) const { return index < FLine.size() ? static_cast<unsigned char>(FLine[index]) : 0; }
    // Blanks and control bytes, but neither NUL nor a line break.
    static bool IsSpaceByte(unsigned char c) { return c >= 1 && c <= 32 && c != 10 && c != 13; }
    static bool IsLineEnd(unsigned char c) { return c == 0 || c == 10 || c == 13; }
    static bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }
    static bool IsHexDigit(unsigned char c) { return IsDigit(c) || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f'); }

    // True when an odd run of backslashes stands right before `index`, counting back no further
    // than `first`: the byte at `index` is escaped.
    bool EscapedByBackslashes(size_t index, size_t first = 0) const
    {
        size_t backslashes = 0;
        for (size_t i = index; i > first && At(i - 1) == '\\'; --i)
            ++backslashes;
        return backslashes % 2 == 1;
    }
    // The length of the longest of `forms` at the scan position; 1 when none of them is there.
    size_t LongestForm(std::initializer_list<std::string_view> forms) const
    {
        size_t length = 1;
        for (const std::string_view form : forms)
            if (form.size() > length && FLine.substr(FRun, form.size()) == form)
                length = form.size();
        return length;
    }
    // Past the line break at the scan position: CR LF, CR or LF.
    void SkipLineBreak() { FRun += At(FRun) == 13 && At(FRun + 1) == 10 ? 2 : 1; }
    void SkipSpaces()
    {
        while (IsSpaceByte(At(FRun)))
            ++FRun;
    }
    // Past the character at the scan position, all bytes of a multi-byte one (one byte at least).
    void SkipChar();

    std::string_view FLine;
    int FLineNumber = 0;
    // The first byte after the current token, where the next one starts.
    size_t FRun = 0;
    size_t FTokenPos = 0;

private:
    const char* FBuiltInFilter;
    TSrcRoleAttris FRoles;
};

// The scanner with the highlighter's own token kinds and range state: NullKind is the token at
// the end of a line, StartRange the state at the start of a text.
template <class TKind, TKind NullKind, class TRangeState, TRangeState StartRange>
class TSrcLineTokenizer : public TSrcLineScanner {
public:
    bool AtLineEnd() const override { return FTokenKind == NullKind; }
    int TokenKindCode() const override { return static_cast<int>(FTokenKind); }
    TSrcRange CurrentRange() const override { return FRange; }
    void ClearRange() override { FRange = StartRange; }

protected:
    using TSrcLineScanner::TSrcLineScanner;

    TKind FTokenKind = NullKind;
    TRangeState FRange = StartRange;
};
