#pragma once
// Text routines the controls and the settings store share: hex text for raw bytes, replacing,
// trimming and stripping, number texts for numeric edits, and a few comparisons.
// Strings are bytes (UTF-8); positions count from 1.

#include <QUuid>
#include <string>
#include <string_view>

// Appends two upper-case hex digits per byte, in buffer order, to `text`.
void BytesToHexText(const void* buffer, int count, std::string& text);
// Decodes pairs of hex digits (either case) into `buffer`; an odd-length text gets a leading
// "0". Writes at most `bufferSize` bytes and returns how many; a pair that is no hex number
// raises EConvertError, the bytes before it already written.
int HexTextToBytes(std::string_view text, void* buffer, int bufferSize);

// Every occurrence of `search` replaced, left to right, without rescanning replacements;
// case-sensitive. An empty `search` leaves the text unchanged.
std::string ReplaceAllText(std::string_view text, std::string_view search, std::string_view replacement);

// The text of a number in the user's locale: blanks trimmed, thousands separators removed,
// "." and "," read as the decimal separator where they are no separator of the locale, and
// everything but signs, digits and the separators dropped; "" becomes "0", "-" becomes "-0".
std::string NormalizeNumberText(std::string_view text);
std::string NormalizeNumberText(std::string_view text, std::string_view decimalSeparator,
                                std::string_view thousandsSeparator);
// The user's separators (from the default locale, which is the system's unless set).
std::string LocaleDecimalSeparator();
std::string LocaleThousandsSeparator();

// Equal by a case-insensitive comparison that knows letters beyond ASCII.
bool SameTextIgnoringCase(std::string_view a, std::string_view b);
std::string StripChar(std::string_view text, char c);
// Remove blanks (code 32 only) at the start, the end, or both.
std::string TrimLeadingSpaces(std::string_view text);
std::string TrimTrailingSpaces(std::string_view text);
std::string TrimSpaces(std::string_view text);
// `count` copies of `c`; "" when `count` is 0 or less.
std::string RepeatChar(char c, int count);
bool ContainsAnyChar(std::string_view text, std::string_view chars);
bool GuidsEqual(const QUuid& a, const QUuid& b);

// True when `key` is the accelerator of `caption`: the character after a single "&" ("&&" is a
// literal ampersand), compared without letter case.
bool IsAccelerator(char32_t key, std::string_view caption);
