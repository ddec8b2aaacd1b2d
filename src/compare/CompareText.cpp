#include "compare/CompareText.h"

#include "compare/HashUnit.h"

#include "Platform/files/Streams.h"

#include <algorithm>

TTextLines SplitTextLines(std::string_view text)
{
    TTextLines lines;
    size_t i = 0;
    while (i < text.size()) {
        const size_t end = text.find_first_of("\r\n", i);
        if (end == std::string_view::npos) {
            lines.emplace_back(text.substr(i));
            break;
        }
        lines.emplace_back(text.substr(i, end - i));
        i = end + (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n' ? 2 : 1);
    }
    return lines;
}

TTextLines ReadTextLines(const std::string& fileName)
{
    TFileStream stream(fileName, fmOpenRead | fmShareDenyWrite);
    const std::int64_t size = stream.Size();
    std::string bytes(static_cast<size_t>(std::max<std::int64_t>(0, size)), '\0');
    if (!bytes.empty())
        stream.ReadBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
    return SplitTextLines(bytes);
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
