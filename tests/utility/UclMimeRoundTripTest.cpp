// Properties of the MIME Base64 codec over seeded random inputs: any bytes come back, the
// line layout holds at every length, and the decoder's tolerance matches a filtered Qt decode.

#include "utility/UclMime.h"

#include <QByteArray>

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>

namespace {

constexpr char KAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

std::string RandomBytes(std::mt19937_64& rng, std::size_t count)
{
    std::string bytes(count, '\0');
    for (char& c : bytes)
        c = static_cast<char>(rng());
    return bytes;
}

std::string Unwrapped(const std::string& text)
{
    std::string plain;
    for (char c : text)
        if (c != '\r' && c != '\n')
            plain += c;
    return plain;
}

// The reference for the decoder: keep only alphabet characters, drop a lone last value, and
// let Qt decode the rest.
std::string ReferenceDecode(const std::string& text)
{
    std::string kept;
    for (char c : text)
        if (c != '\0' && std::char_traits<char>::find(KAlphabet, 64, c))
            kept += c;
    if (kept.size() % 4 == 1)
        kept.pop_back();
    while (kept.size() % 4 != 0)
        kept += '=';
    return QByteArray::fromBase64(QByteArray::fromStdString(kept)).toStdString();
}

} // namespace

TEST(UclMimeRoundTrip, AnyBytesComeBackAndLinesAreLaidOutAtEveryLength)
{
    std::mt19937_64 rng(2045);
    std::vector<std::size_t> lengths;
    for (std::size_t n = 0; n <= 300; ++n)
        lengths.push_back(n);
    for (std::size_t n : {570u, 571u, 572u, 10000u})
        lengths.push_back(n);
    for (std::size_t n : lengths) {
        SCOPED_TRACE(n);
        const std::string bytes = RandomBytes(rng, n);
        const std::string text = MimeEncodeText(bytes);
        ASSERT_EQ(MimeDecodeText(text), bytes);
        ASSERT_EQ(Unwrapped(text), QByteArray::fromStdString(bytes).toBase64().toStdString());
        const std::size_t expected = n == 0 ? 0 : (n + 2) / 3 * 4 + (n - 1) / 57 * 2;
        ASSERT_EQ(text.size(), expected);
        // Every line but the last holds 76 characters and ends in CR LF; nothing ends in a break.
        std::size_t at = 0;
        while (at < text.size()) {
            const std::size_t br = text.find("\r\n", at);
            if (br == std::string::npos) {
                ASSERT_LE(text.size() - at, 76u);
                ASSERT_GT(text.size() - at, 0u);
                break;
            }
            ASSERT_EQ(br - at, 76u);
            at = br + 2;
            ASSERT_LT(at, text.size());
        }
    }
}

TEST(UclMimeRoundTrip, DecoderToleratesBreaksBlanksFillAndMissingPadding)
{
    std::mt19937_64 rng(1521);
    const char noise[] = "\r\n \t=";
    for (std::size_t n = 0; n <= 300; ++n) {
        SCOPED_TRACE(n);
        const std::string bytes = RandomBytes(rng, n);
        const std::string text = MimeEncodeText(bytes);

        std::string unpadded = Unwrapped(text);
        while (!unpadded.empty() && unpadded.back() == '=')
            unpadded.pop_back();
        ASSERT_EQ(MimeDecodeText(unpadded), bytes);

        std::string noisy;
        for (char c : text) {
            while (rng() % 4 == 0)
                noisy += noise[rng() % (sizeof noise - 1)];
            noisy += c;
        }
        ASSERT_EQ(MimeDecodeText(noisy), bytes);
    }
}

TEST(UclMimeRoundTrip, AnyTextDecodesLikeItsAlphabetCharactersAlone)
{
    std::mt19937_64 rng(4648);
    for (int round = 0; round < 3000; ++round) {
        std::string text(rng() % 120, '\0');
        for (char& c : text)
            c = rng() % 3 == 0 ? static_cast<char>(rng()) : KAlphabet[rng() % 64];
        SCOPED_TRACE(QByteArray::fromStdString(text).toHex().toStdString());
        const std::string decoded = MimeDecodeText(text);
        ASSERT_EQ(decoded, ReferenceDecode(text));
        ASSERT_LE(decoded.size(), (text.size() + 3) / 4 * 3);
    }
}
