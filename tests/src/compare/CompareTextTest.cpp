// The lines of a compared file: every kind of line break, a missing last break, and bytes that
// are not text.

#include "compare/CompareText.h"

#include "Platform/core/Exceptions.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

TEST(CompareText, LinesSplitAtEveryKindOfLineBreak)
{
    const struct {
        std::string Text;
        TTextLines Lines;
    } cases[] = {
        {"", {}},
        {"a", {"a"}},
        {"a\n", {"a"}},
        {"a\nb", {"a", "b"}},
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\rb\r", {"a", "b"}},
        {"a\n\r\nb", {"a", "", "b"}},
        {"\n\n", {"", ""}},
        {"a\r\rb", {"a", "", "b"}},
        {"a\n\rb", {"a", "", "b"}},
        {std::string("n\0ul\nx", 6), {std::string("n\0ul", 4), "x"}},
        {"\xC3\xA4\r\n\xFF", {"\xC3\xA4", "\xFF"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SplitTextLines(c.Text), c.Lines) << c.Text;
}

TEST(CompareText, FilesAreReadAsTheyAreAndMissingOnesRaise)
{
    TempDir dir;
    EXPECT_EQ(ReadTextLines(dir.Write("f.php", "<?php\r\necho 1;\n")), (TTextLines{"<?php", "echo 1;"}));
    EXPECT_THROW(ReadTextLines(dir.File("missing.php")), EFOpenError);
    EXPECT_EQ(JoinTextLines({"a", "", "b"}, "\r\n"), "a\r\n\r\nb\r\n");
}
