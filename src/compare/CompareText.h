#pragma once
// The text of a compared file: its lines as bytes, and their hashes for the diff engine.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

using TTextLines = std::vector<std::string>;

// Lines split at CR LF, lone CR and lone LF; a line break at the end opens no further line.
// Every other byte is kept, NUL included.
TTextLines SplitTextLines(std::string_view text);
// The lines of a regular file read to its end; EFOpenError (also for a folder, pipe, socket or
// device) or EReadError, naming the file, when it cannot be read.
TTextLines ReadTextLines(const std::string& fileName);
// Each line followed by `lineBreak`.
std::string JoinTextLines(const TTextLines& lines, std::string_view lineBreak);

std::vector<std::uint32_t> HashLines(const TTextLines& lines, bool ignoreCase, bool ignoreBlanks);
