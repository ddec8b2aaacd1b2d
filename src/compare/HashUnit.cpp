#include "compare/HashUnit.h"

#include "Platform/text/TextChars.h"

#include <QChar>

#include <array>
#include <string>

namespace {

constexpr std::array<std::uint32_t, 256> MakeCRCTable()
{
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t n = 0; n < 256; ++n) {
        std::uint32_t c = n;
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[n] = c;
    }
    return table;
}

constexpr std::array<std::uint32_t, 256> CRCTable = MakeCRCTable();

std::uint32_t CRC32(std::string_view bytes)
{
    std::uint32_t crc = 0xFFFFFFFFu;
    for (const char c : bytes)
        crc = CRCTable[(crc ^ static_cast<unsigned char>(c)) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFu;
}

// Lower case of a UTF-8 text; bytes that are not valid UTF-8 stay as they are.
void FoldCase(std::string& text)
{
    std::string folded;
    bool changed = false;
    size_t i = 0;
    while (i < text.size()) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte < 0x80) {
            const char lower = byte >= 'A' && byte <= 'Z' ? static_cast<char>(byte + 32) : text[i];
            changed |= lower != text[i];
            folded += lower;
            ++i;
            continue;
        }
        int length = 1;
        const char32_t code = TextChars::Decode(text, i, &length);
        // A lone byte at or above 128 is not UTF-8; it is kept as it is.
        const char32_t lower = length > 1 ? QChar::toLower(code) : code;
        if (lower != code) {
            folded += TextChars::Encode(lower);
            changed = true;
        } else {
            folded.append(text, i, static_cast<size_t>(length));
        }
        i += static_cast<size_t>(length);
    }
    if (changed)
        text = std::move(folded);
}

} // namespace

std::uint32_t BufferCRC32(const void* buffer, int length)
{
    if (length <= 0 || !buffer)
        return 0;
    return CRC32(std::string_view(static_cast<const char*>(buffer), static_cast<size_t>(length)));
}

std::uint32_t LineHash(std::string_view line, bool ignoreCase, bool ignoreBlanks)
{
    if (!ignoreCase && !ignoreBlanks)
        return line.empty() ? 0 : CRC32(line);
    std::string text;
    text.reserve(line.size());
    for (const char c : line)
        if (!ignoreBlanks || (c != '\t' && c != ' '))
            text += c;
    if (ignoreCase)
        FoldCase(text);
    return text.empty() ? 0 : CRC32(text);
}
