#pragma once
// The plain-text search engine: finds every occurrence of a pattern in one line with a tuned
// Boyer-Moore scan.
//
// Letter case and word characters come from fixed byte tables, not from the host locale, so a
// search gives the same result wherever the program runs. Text is UTF-8 bytes: only the ASCII
// letters fold when case is ignored (other letters match only as written), and the word
// characters of whole-word matching are the ASCII letters and digits, "_" and every byte from
// 128 to 255, so every non-ASCII character counts as part of a word, as it does for identifiers.
// A match never starts or ends inside a multi-byte character.

#include "SrcEdit/Source/search/SrcEditSearchCustom.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

class TSrcEditSearch : public TSrcEditSearchCustom {
public:
    explicit TSrcEditSearch(TComponent* AOwner = nullptr);

    std::string ReadPattern() const override;
    // A different text drops the skip data; any call forgets the matches of the last line.
    void AssignPattern(const std::string& text) override;
    // The pattern length, whatever the index.
    int MatchLength(int index) const override;
    // 0 for an index outside the matches of the last line.
    int MatchPosition(int index) const override;
    int MatchCount() const override;
    void ApplyOptions(TSrcEditSearchFlags options) override;
    // Left to right, without overlap. Raises Exception "Pattern is empty" for an empty pattern.
    int FindAllInLine(const std::string& line) override;
    // The replacement text as it is.
    std::string ReplacementFor(const std::string& foundText, const std::string& replaceText) override;

private:
    void BuildTranslation();
    void PrepareSkipData();
    unsigned char Translated(char c) const { return FTranslation[static_cast<unsigned char>(c)]; }
    // Index of the byte under the pattern's last byte for the first window at or after `pos`
    // that is an acceptable match; std::string_view::npos when none is left.
    size_t Scan(std::string_view line, size_t pos) const;
    bool Acceptable(std::string_view line, size_t start) const;

    std::string FPattern;
    bool FMatchCase = false;
    bool FWholeWord = false;
    std::array<unsigned char, 256> FTranslation{};
    // Skip data of the current pattern and case option; entries may exceed 255.
    std::array<size_t, 256> FShift{};
    size_t FLookAt = 1;
    bool FSkipValid = false;
    std::vector<int> FPositions;
};
