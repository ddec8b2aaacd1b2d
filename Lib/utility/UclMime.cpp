// The MIME Base64 codec.

#include "utility/UclMime.h"

#include <array>
#include <cstdint>

namespace {

constexpr char KAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr std::size_t KLineBytes = 57;   // 76 characters
constexpr std::uint8_t KSkip = 0xFF;

constexpr std::array<std::uint8_t, 256> KDecodeTable = [] {
    std::array<std::uint8_t, 256> table{};
    table.fill(KSkip);
    for (std::uint8_t i = 0; i < 64; ++i)
        table[static_cast<unsigned char>(KAlphabet[i])] = i;
    return table;
}();

// Decoder state between pieces of a text: the bits gathered and how many values are in them.
struct TDecodeState {
    std::uint32_t Accumulator = 0;
    int Values = 0;
};

// Decodes `text` onto `out` (which must have room for (size + 3) / 4 * 3 bytes) and returns
// the bytes written.
std::size_t DecodeStep(TDecodeState& state, std::string_view text, char* out)
{
    char* const start = out;
    for (unsigned char c : text) {
        const std::uint8_t value = KDecodeTable[c];
        if (value == KSkip)
            continue;
        state.Accumulator = state.Accumulator << 6 | value;
        if (++state.Values == 4) {
            *out++ = static_cast<char>(state.Accumulator >> 16);
            *out++ = static_cast<char>(state.Accumulator >> 8);
            *out++ = static_cast<char>(state.Accumulator);
            state = {};
        }
    }
    return static_cast<std::size_t>(out - start);
}

// Writes what the last incomplete group holds: 3 values give 2 bytes, 2 give 1, 1 gives none.
std::size_t DecodeEnd(TDecodeState& state, char* out)
{
    std::size_t written = 0;
    if (state.Values == 3) {
        out[written++] = static_cast<char>(state.Accumulator >> 10);
        out[written++] = static_cast<char>(state.Accumulator >> 2);
    } else if (state.Values == 2) {
        out[written++] = static_cast<char>(state.Accumulator >> 4);
    }
    state = {};
    return written;
}

} // namespace

std::string MimeEncodeText(std::string_view bytes)
{
    const std::size_t n = bytes.size();
    if (n == 0)
        return {};
    std::string text;
    text.reserve((n + 2) / 3 * 4 + (n - 1) / KLineBytes * 2);
    auto in = reinterpret_cast<const unsigned char*>(bytes.data());
    for (std::size_t line = 0; line < n; line += KLineBytes) {
        if (line > 0)
            text += "\r\n";
        const std::size_t end = line + KLineBytes < n ? line + KLineBytes : n;
        std::size_t i = line;
        for (; i + 3 <= end; i += 3) {
            const std::uint32_t v = std::uint32_t{in[i]} << 16 | std::uint32_t{in[i + 1]} << 8 | in[i + 2];
            text += KAlphabet[v >> 18];
            text += KAlphabet[(v >> 12) & 63];
            text += KAlphabet[(v >> 6) & 63];
            text += KAlphabet[v & 63];
        }
        // invariant: only the last line can end in a partial group, since 57 is a multiple of 3
        if (end - i == 1) {
            text += KAlphabet[in[i] >> 2];
            text += KAlphabet[(in[i] & 3) << 4];
            text += "==";
        } else if (end - i == 2) {
            text += KAlphabet[in[i] >> 2];
            text += KAlphabet[(in[i] & 3) << 4 | in[i + 1] >> 4];
            text += KAlphabet[(in[i + 1] & 15) << 2];
            text += '=';
        }
    }
    return text;
}

std::string MimeDecodeText(std::string_view text)
{
    if (text.empty())
        return {};
    std::string bytes((text.size() + 3) / 4 * 3, '\0');
    TDecodeState state;
    std::size_t written = DecodeStep(state, text, bytes.data());
    written += DecodeEnd(state, bytes.data() + written);
    bytes.resize(written);
    return bytes;
}
