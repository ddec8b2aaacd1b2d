#pragma once
// Line hashes of the file compare tool: every line becomes a 32-bit number, and the diff
// engine compares numbers, never text. Two lines with the same hash count as equal.

#include <cstdint>
#include <string_view>

// The CRC-32 of ISO 3309 / IEEE 802.3 (reflected polynomial EDB88320, preset and result
// inverted); 0 for a length of 0 or less.
std::uint32_t BufferCRC32(const void* buffer, int length);

// The hash of one line. Ignoring blanks removes every tab and space (no other character);
// ignoring case then folds every letter to lower case, also outside ASCII, one whole UTF-8
// character at a time, so a multi-byte character is never split. An empty result gives 0.
std::uint32_t LineHash(std::string_view line, bool ignoreCase, bool ignoreBlanks);
