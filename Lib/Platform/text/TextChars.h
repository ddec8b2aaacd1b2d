#pragma once
// The character service for 8-bit text in the UTF-8 code page. Text stays bytes; these
// routines answer where a character starts and ends and how many display columns it takes.
// A byte that does not begin a valid UTF-8 sequence is one character of one column, so any
// byte string can be walked and every byte is kept.

#include <cstddef>
#include <string>
#include <string_view>

namespace TextChars {

// Bytes of the character that starts at `index` (1 to 4); 0 when `index` is past the end.
int CharLength(std::string_view text, size_t index);
// Display columns of the character at `index`: 2 for East Asian wide characters, else 1.
int CharColumns(std::string_view text, size_t index);
// Display columns of a whole text (no tab expansion).
size_t TextColumns(std::string_view text);

// True when the byte at `index` continues a character that starts before it.
bool IsTrailByte(std::string_view text, size_t index);
// True when the byte at `index` starts a valid sequence of two or more bytes.
bool IsLeadByte(std::string_view text, size_t index);
// Start of the character that holds the byte at `index`.
size_t CharStart(std::string_view text, size_t index);
// Start of the character before the one at `index` (0 at the start).
size_t PrevCharStart(std::string_view text, size_t index);
size_t NextCharStart(std::string_view text, size_t index);

// The code point at `index`; invalid bytes give U+FFFD with a length of 1.
char32_t Decode(std::string_view text, size_t index, int* length = nullptr);
std::string Encode(char32_t codePoint);
bool IsWideCodePoint(char32_t codePoint);

// Identifier characters: letters, digits, "_" and every byte from 128 to 255.
inline bool IsIdentChar(unsigned char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c >= 128;
}

} // namespace TextChars
