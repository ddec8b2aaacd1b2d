#pragma once
// String routines of the utility library on 8-bit strings and string lists, and EUclError,
// the base of every exception the utility library raises.
//
// Strings are bytes: they may hold NUL bytes and are compared byte by byte, case-sensitively.
// Positions are 1-based. None of these routines knows about paths: the settings store uses
// them with "\" on its own key paths.

#include "Platform/core/Exceptions.h"

#include <memory>
#include <string>
#include <string_view>

class TStrings;

ZENTU_DECLARE_EXCEPTION(EUclError, Exception);

// The text unchanged when it already ends with `suffix`, else text + suffix; an empty suffix
// leaves the text alone, an empty text becomes the suffix.
std::string AppendSuffixOnce(std::string_view suffix, std::string_view text);

// Number of bytes of `text` equal to `c`.
int CharCount(std::string_view text, char c);

// The first `count` bytes; a count of 0 or less gives "", one beyond the length the whole text.
std::string LeftChars(std::string_view text, int count);
// The bytes from the 1-based `position` on; 1 or less gives the whole text, past the end "".
std::string TailFrom(std::string_view text, int position);

// True for CR and LF only.
bool IsLineBreakChar(char c);

// Cuts `s` at its first NUL byte; a string without one keeps its length.
void TruncateAtNul(std::string& s);

// A multi-string buffer: every string followed by one NUL, then one more NUL (the layout of
// an environment block). One owned block; FreeMultiSzBuffer releases it early.
using TMultiSzBuffer = std::unique_ptr<char[]>;

// Fills `buffer` with the list's items, each cut at its first NUL; an empty list gives a
// single NUL. Raises EUclError when an item is empty, before `buffer` is touched. Returns
// the start of the block.
char* StringsToMultiSz(TMultiSzBuffer& buffer, const TStrings& strings);
// Frees the block when there is one and leaves `buffer` null.
void FreeMultiSzBuffer(TMultiSzBuffer& buffer);

// Replaces the list's items by the pieces of `text` between occurrences of `separator`.
// Empty pieces are kept only with `allowEmpty`; an empty piece after the last separator is
// never added, and an empty separator leaves the text whole.
void SplitToList(std::string_view text, std::string_view separator, TStrings& strings, bool allowEmpty);
// The list's items with `separator` between them; empty items are skipped unless `allowEmpty`.
std::string JoinList(const TStrings& strings, std::string_view separator, bool allowEmpty);

// Makes `text` the whole content of the file, byte for byte. The file is replaced atomically,
// so a failed write leaves the old content. Raises EFCreateError (naming the file) when it
// cannot be created, EWriteError when the bytes cannot be stored.
void WriteTextFile(const std::string& fileName, std::string_view text);
