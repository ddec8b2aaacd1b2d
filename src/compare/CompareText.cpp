#include "compare/CompareText.h"

#include "compare/HashUnit.h"

#include "Platform/files/FileNames.h"

#include <algorithm>
#include <cstring>

TTextLines SplitTextLines(std::string_view text)
{
    TTextLines lines;
    const char* p = text.data();
    const char* const end = p + text.size();
    while (p < end) {
        // why: memchr scans whole words at a time; a line ends at its first CR or LF.
        const auto* lf = static_cast<const char*>(std::memchr(p, '\n', static_cast<size_t>(end - p)));
        const char* stop = lf ? lf : end;
        const auto* cr = static_cast<const char*>(std::memchr(p, '\r', static_cast<size_t>(stop - p)));
        const char* lineEnd = cr ? cr : stop;
        lines.emplace_back(p, static_cast<size_t>(lineEnd - p));
        if (lineEnd == end)
            break;
        p = lineEnd + (*lineEnd == '\r' && lineEnd + 1 < end && lineEnd[1] == '\n' ? 2 : 1);
    }
    return lines;
}

TTextLines ReadTextLines(const std::string& fileName)
{
    // why: read to the end, whatever size the file reports (procfs files report none).
    return SplitTextLines(ReadFileBytes(fileName));
}

std::string JoinTextLines(const TTextLines& lines, std::string_view lineBreak)
{
    size_t size = 0;
    for (const std::string& line : lines)
        size += line.size() + lineBreak.size();
    std::string text;
    text.reserve(size);
    for (const std::string& line : lines) {
        text += line;
        text += lineBreak;
    }
    return text;
}

std::vector<std::uint32_t> HashLines(const TTextLines& lines, bool ignoreCase, bool ignoreBlanks)
{
    std::vector<std::uint32_t> hashes;
    hashes.reserve(lines.size());
    for (const std::string& line : lines)
        hashes.push_back(LineHash(line, ignoreCase, ignoreBlanks));
    return hashes;
}
