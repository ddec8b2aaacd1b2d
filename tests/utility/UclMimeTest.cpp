// MIME Base64: line layout of the encoder, agreement with Qt's codec, and a decoder that
// skips everything outside the alphabet.

#include "utility/UclMime.h"

#include <QByteArray>
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

using namespace std::string_literals;

namespace {

std::string QtBase64(const std::string& bytes)
{
    return QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())).toBase64().toStdString();
}

std::string WithoutLineBreaks(std::string text)
{
    std::erase(text, '\r');
    std::erase(text, '\n');
    return text;
}

std::string RandomBytes(std::mt19937& rng, size_t count)
{
    std::string bytes(count, '\0');
    for (char& c : bytes)
        c = static_cast<char>(rng());
    return bytes;
}

} // namespace

TEST(UclMime, LinesHold76CharactersAndTheTextNeverEndsWithABreak)
{
    struct Case {
        size_t Bytes;
        size_t Length;
        std::vector<size_t> Breaks;   // offsets of CR LF
    };
    const std::vector<Case> cases = {
        {0, 0, {}},      {1, 4, {}},        {2, 4, {}},        {3, 4, {}},
        {57, 76, {}},    {58, 82, {76}},    {114, 154, {76}},  {115, 160, {76, 154}},
        {171, 232, {76, 154}},
    };
    std::mt19937 rng(1);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Bytes);
        const std::string bytes = RandomBytes(rng, c.Bytes);
        const std::string text = MimeEncodeText(bytes);
        EXPECT_EQ(text.size(), c.Length);
        std::vector<size_t> breaks;
        for (size_t p = text.find("\r\n"); p != std::string::npos; p = text.find("\r\n", p + 2))
            breaks.push_back(p);
        EXPECT_EQ(breaks, c.Breaks);
        EXPECT_EQ(WithoutLineBreaks(text), QtBase64(bytes));
    }
    EXPECT_EQ(MimeEncodeText(std::string(58, 'x')).substr(78), "eA==");
}

TEST(UclMime, AgreesWithQtAndRoundTripsAnyBytes)
{
    std::mt19937 rng(2);
    for (size_t length = 0; length < 400; ++length) {
        SCOPED_TRACE(length);
        const std::string bytes = RandomBytes(rng, length);
        const std::string text = MimeEncodeText(bytes);
        ASSERT_EQ(WithoutLineBreaks(text), QtBase64(bytes));
        ASSERT_EQ(MimeDecodeText(text), bytes);
        ASSERT_EQ(MimeDecodeText(QtBase64(bytes)), bytes);
    }
}

TEST(UclMime, DecoderSkipsEverythingOutsideTheAlphabet)
{
    struct Case {
        std::string Text;
        std::string Bytes;
    };
    const std::vector<Case> cases = {
        {"", ""},
        {"QUJD", "ABC"},
        {" Q U\r\nJ\tD ", "ABC"},          // blanks and line breaks anywhere
        {"QQ==QUJD", "A\x04\x14$"},        // "=" in the middle is skipped and decoding goes on
        {"QUI=", "AB"},
        {"QUI", "AB"},                     // 3 values left give 2 bytes
        {"QQ", "A"},                       // 2 values give 1 byte
        {"Q", ""},                         // a lone value is dropped
        {"QUJDR", "ABC"},
        {"*%QUJD!", "ABC"},
        {"====", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Text);
        EXPECT_EQ(MimeDecodeText(c.Text), c.Bytes);
    }
}
