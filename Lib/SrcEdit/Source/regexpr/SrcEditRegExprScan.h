#pragma once
// Finding the literals of a compiled program in the text ahead of the matcher: a quick filter
// on two bytes of the literal, sixteen positions at a time, then a check of the whole literal.

#include <string>

namespace RegExprDetail {

// A literal whose byte at each position is the one of Text or the one of Alt (its other case
// under modifier i, else the same byte).
class TLiteralScan {
public:
    TLiteralScan() = default;
    TLiteralScan(std::string text, std::string alt);

    bool Empty() const noexcept { return FText.empty(); }
    int Size() const noexcept { return static_cast<int>(FText.size()); }
    const std::string& Text() const noexcept { return FText; }
    const std::string& Alt() const noexcept { return FAlt; }
    // Whether the byte can begin the literal.
    bool Starts(unsigned char c) const noexcept
    {
        return !FText.empty() && (c == static_cast<unsigned char>(FText[0]) || c == static_cast<unsigned char>(FAlt[0]));
    }

    // The first position at or after from where the literal's bytes stand in text[0, length);
    // -1 when there is none. The matcher still decides: the bytes may split a character.
    int Find(const unsigned char* text, int length, int from) const;

    bool operator==(const TLiteralScan& other) const { return FText == other.FText && FAlt == other.FAlt; }

private:
    bool MatchesAt(const unsigned char* at) const;

    std::string FText;
    std::string FAlt;
    bool FCaseless = false;
};

}  // namespace RegExprDetail
