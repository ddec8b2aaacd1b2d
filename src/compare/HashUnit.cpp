#include "compare/HashUnit.h"

#include "Platform/text/TextChars.h"

#include <QChar>

#include <array>
#include <string>

namespace {

using TCRCTables = std::array<std::array<std::uint32_t, 256>, 8>;

// The usual table of the polynomial, and seven more that advance it over 2 to 8 bytes at once.
constexpr TCRCTables MakeCRCTables()
{
    TCRCTables tables{};
    for (std::uint32_t n = 0; n < 256; ++n) {
        std::uint32_t c = n;
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        tables[0][n] = c;
    }
    for (size_t t = 1; t < 8; ++t)
        for (size_t n = 0; n < 256; ++n)
            tables[t][n] = (tables[t - 1][n] >> 8) ^ tables[0][tables[t - 1][n] & 0xFF];
    return tables;
}

constexpr TCRCTables CRCTables = MakeCRCTables();

std::uint32_t CRC32(std::string_view bytes)
{
    const auto& t = CRCTables;
    std::uint32_t crc = 0xFFFFFFFFu;
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    size_t n = bytes.size();
    // why: lines are hashed by the hundred thousand; eight bytes per step keeps that cheap.
    for (; n >= 8; n -= 8, p += 8) {
        const std::uint32_t low = crc ^ (std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 |
                                         std::uint32_t{p[3]} << 24);
        crc = t[7][low & 0xFF] ^ t[6][(low >> 8) & 0xFF] ^ t[5][(low >> 16) & 0xFF] ^ t[4][low >> 24] ^
              t[3][p[4]] ^ t[2][p[5]] ^ t[1][p[6]] ^ t[0][p[7]];
    }
    for (; n > 0; --n, ++p)
        crc = t[0][(crc ^ *p) & 0xFF] ^ (crc >> 8);
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
