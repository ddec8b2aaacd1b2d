// Line hashes: the CRC-32 itself, and which lines hash equal with and without the two options.

#include "compare/HashUnit.h"

#include <gtest/gtest.h>

#include <string>

TEST(LineHash, BufferCRC32IsTheIEEECheckValue)
{
    EXPECT_EQ(BufferCRC32("abc", 3), 0x352441C2u);
    EXPECT_EQ(BufferCRC32("123456789", 9), 0xCBF43926u);
    EXPECT_EQ(BufferCRC32("abc", 0), 0u);
    EXPECT_EQ(BufferCRC32("abc", -1), 0u);
    const std::string high("\xFF\x80\x00\x01", 4);
    EXPECT_EQ(BufferCRC32(high.data(), 4), 0x6973F2FBu);
}

struct THashCase {
    const char* A;
    const char* B;
    bool IgnoreCase;
    bool IgnoreBlanks;
    bool Equal;
};

TEST(LineHash, LinesHashEqualExactlyWhenTheOptionsMakeThemEqual)
{
    const THashCase cases[] = {
        {"", " \t  ", false, true, true},
        {"", " \t  ", false, false, false},
        {"a b", "ab", false, true, true},
        {"a b", "ab", true, false, false},
        {"\ta\t b ", "ab", false, true, true},
        {"A", "a", true, false, true},
        {"A", "a", false, false, false},
        {"Echo $X", "echo$x", true, true, true},
        // A non-breaking space is no blank.
        {"a\xC2\xA0" "b", "ab", false, true, false},
        {"\xC2\xA0", "", false, true, false},
        // Letters outside ASCII fold too, whole characters at a time.
        {"\xC3\x84\xC3\x96\xC3\x9C", "\xC3\xA4\xC3\xB6\xC3\xBC", true, false, true},
        {"\xCE\xA3\xCE\x9F\xCE\xA6", "\xCF\x83\xCE\xBF\xCF\x86", true, false, true},
        {"\xC3\x84", "\xC3\xA4", false, false, false},
        // Bytes that are not UTF-8 stay as they are and keep lines apart.
        {"\xC4", "\xE4", true, false, false},
        {"a\xFF", "A\xFF", true, false, true},
    };
    for (const THashCase& c : cases) {
        const bool equal = LineHash(c.A, c.IgnoreCase, c.IgnoreBlanks) == LineHash(c.B, c.IgnoreCase, c.IgnoreBlanks);
        EXPECT_EQ(equal, c.Equal) << '"' << c.A << "\" vs \"" << c.B << "\" case " << c.IgnoreCase << " blanks "
                                  << c.IgnoreBlanks;
    }
}

TEST(LineHash, HashIsTheCRCOfWhatIsLeftAndZeroForNothing)
{
    EXPECT_EQ(LineHash("", false, false), 0u);
    EXPECT_EQ(LineHash("  \t", false, true), 0u);
    EXPECT_EQ(LineHash("abc", false, false), 0x352441C2u);
    EXPECT_EQ(LineHash("A b\tC", true, true), 0x352441C2u);
}
