#pragma once
// String routines of the class library on 8-bit strings. Letter case here is ASCII-only
// (A-Z, a-z); bytes 128 to 255 are left as they are, so UTF-8 text passes through intact.

#include "Platform/core/Set.h"

#include <cstdint>
#include <string>
#include <string_view>

std::string IntToStr(std::int64_t value);
// Hexadecimal digits in upper case, at least `digits` of them.
std::string IntToHex(std::int64_t value, int digits);
// Decimal, or hexadecimal after "$" or "0x"; an optional sign. Raises EConvertError
// "'%s' is not a valid integer value" for anything else or for a value out of 32-bit range.
int StrToInt(const std::string& text);
std::int64_t StrToInt64(const std::string& text);
int StrToIntDef(const std::string& text, int defaultValue);
bool TryStrToInt(const std::string& text, int& value);
bool TryStrToInt64(const std::string& text, std::int64_t& value);
// Shortest text that reads back as the same double, with "." as decimal separator.
std::string FloatToStr(double value);
// Raises EConvertError "'%s' is not a valid floating point value".
double StrToFloat(const std::string& text);
bool TryStrToFloat(const std::string& text, double& value);

// The value of a hexadecimal digit (either letter case), -1 for any other character.
constexpr int HexDigitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

std::string UpperCase(std::string_view text);
std::string LowerCase(std::string_view text);
char UpCase(char c);
int CompareStr(std::string_view a, std::string_view b);
int CompareText(std::string_view a, std::string_view b);
bool SameText(std::string_view a, std::string_view b);

std::string Trim(std::string_view text);
std::string TrimLeft(std::string_view text);
std::string TrimRight(std::string_view text);

enum TReplaceFlag { rfReplaceAll, rfIgnoreCase };
using TReplaceFlags = TSet<TReplaceFlag>;
std::string StringReplace(std::string_view text, std::string_view oldPattern, std::string_view newPattern,
                          TReplaceFlags flags);

// 1-based position of `sub` in `text` at or after `offset`, 0 when absent.
int Pos(std::string_view sub, std::string_view text, int offset = 1);
// `count` bytes from the 1-based `index`, clamped to the text.
std::string Copy(std::string_view text, int index, int count);

std::string QuotedStr(std::string_view text);
std::string AnsiQuotedStr(std::string_view text, char quote);
// Reads a quoted string at `pos` (which must point at the quote), doubled quotes standing for
// one; advances `pos` past the closing quote. Returns an empty string when no quote is there.
std::string AnsiExtractQuotedStr(std::string_view text, size_t& pos, char quote);
// The unquoted text when `text` is quoted with `quote`, else `text` unchanged.
std::string AnsiDequotedStr(std::string_view text, char quote);

bool StartsText(std::string_view prefix, std::string_view text);
bool EndsText(std::string_view suffix, std::string_view text);
