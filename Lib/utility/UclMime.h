#pragma once
// Base64 in the MIME form (RFC 2045): encoded lines of at most 76 characters separated by
// CR LF, and a decoder that skips every byte outside the alphabet. The settings store codes
// its encrypted values with it.

#include <string>
#include <string_view>

// Standard alphabet, "=" fill in the last group, CR LF after every 76 characters unless the
// text ends there; empty for empty input.
std::string MimeEncodeText(std::string_view bytes);
// Skips line breaks, blanks, "=" and anything else outside the alphabet wherever they stand;
// a last lone 6-bit value is dropped. Never fails.
std::string MimeDecodeText(std::string_view text);
