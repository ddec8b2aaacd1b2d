// The UTF-8 character service: character lengths, starts and display columns over any bytes.

#include "Platform/text/TextChars.h"

#include <gtest/gtest.h>

using namespace TextChars;

TEST(TextChars, LengthsOfValidAndInvalidSequences)
{
    struct Case {
        std::string Text;
        std::vector<int> Lengths; // length at each character start, walking the text
    };
    const Case cases[] = {
        {"abc", {1, 1, 1}},
        {"é", {2}},
        {"€x", {3, 1}},
        {"😀", {4}},
        {"\xC3", {1}},                  // truncated sequence
        {"\xC3(", {1, 1}},              // bad continuation
        {"\x80\x80", {1, 1}},           // stray continuation bytes
        {"\xC0\xAF", {1, 1}},           // overlong
        {"\xED\xA0\x80", {1, 1, 1}},    // surrogate
        {"\xF4\x90\x80\x80", {1, 1, 1, 1}}, // beyond U+10FFFF
        {std::string("a\0b", 3), {1, 1, 1}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.Text));
        std::vector<int> got;
        for (size_t i = 0; i < c.Text.size();) {
            const int n = CharLength(c.Text, i);
            got.push_back(n);
            i += static_cast<size_t>(n);
        }
        EXPECT_EQ(got, c.Lengths);
    }
    EXPECT_EQ(CharLength("a", 1), 0);
}

TEST(TextChars, StartsAndTrailBytes)
{
    const std::string s = "a€b"; // a, E2 82 AC, b
    EXPECT_EQ(CharStart(s, 2), 1u);
    EXPECT_EQ(CharStart(s, 3), 1u);
    EXPECT_EQ(CharStart(s, 4), 4u);
    EXPECT_TRUE(IsTrailByte(s, 2));
    EXPECT_FALSE(IsTrailByte(s, 1));
    EXPECT_TRUE(IsLeadByte(s, 1));
    EXPECT_EQ(NextCharStart(s, 1), 4u);
    EXPECT_EQ(PrevCharStart(s, 4), 1u);
    EXPECT_EQ(PrevCharStart(s, 1), 0u);
    EXPECT_EQ(PrevCharStart(s, 0), 0u);
    // A stray continuation byte after a complete character is a character of its own.
    const std::string stray = "é\x80";
    EXPECT_EQ(CharStart(stray, 2), 2u);
    EXPECT_FALSE(IsTrailByte(stray, 2));
}

TEST(TextChars, DisplayColumns)
{
    EXPECT_EQ(TextColumns("abc"), 3u);
    EXPECT_EQ(TextColumns("日本"), 4u);
    EXPECT_EQ(TextColumns("é"), 1u);
    EXPECT_EQ(TextColumns("\xFF\xFE"), 2u); // each invalid byte shows as one cell
    EXPECT_EQ(CharColumns("한", 0), 2);
    EXPECT_EQ(CharColumns("😀", 0), 2);
    EXPECT_EQ(CharColumns("x", 0), 1);
}

TEST(TextChars, DecodeAndEncodeRoundTrip)
{
    for (char32_t cp : {U'a', U'\u00E9', U'\u20AC', U'\U0001F600', U'\U0010FFFF'}) {
        const std::string s = Encode(cp);
        int len = 0;
        EXPECT_EQ(Decode(s, 0, &len), cp);
        EXPECT_EQ(len, static_cast<int>(s.size()));
    }
    EXPECT_EQ(Decode("\xFF", 0), U'\uFFFD');
    EXPECT_EQ(Encode(0xD800), "\xEF\xBF\xBD");
}

TEST(TextChars, IdentifierCharactersIncludeHighBytes)
{
    EXPECT_TRUE(IsIdentChar('_'));
    EXPECT_TRUE(IsIdentChar(0xC3));
    EXPECT_FALSE(IsIdentChar('-'));
    EXPECT_FALSE(IsIdentChar('$'));
}
