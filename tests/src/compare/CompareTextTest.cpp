// The lines of a compared file: every kind of line break, a missing last break, and bytes that
// are not text.

#include "compare/CompareText.h"

#include "Platform/core/Exceptions.h"
#include "support/UnusualFiles.h"
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

TEST(CompareText, AFileWithoutAKnownSizeIsReadToItsEnd)
{
    // procfs reports no size; these files are never empty.
    for (const auto& [file, first] : std::vector<std::pair<const char*, const char*>>{
             {"/proc/cpuinfo", "processor"}, {"/proc/self/status", "Name:"}, {"/proc/version", "Linux"}}) {
        SCOPED_TRACE(file);
        const TTextLines lines = ReadTextLines(file);
        ASSERT_FALSE(lines.empty());
        EXPECT_TRUE(lines[0].starts_with(first)) << lines[0];
    }
}

TEST(CompareText, WhatIsNoRegularFileIsRefusedAtOnceByName)
{
    TempDir dir;
    const TSpecialFiles special(dir);
    for (const TSpecialFile& file : special.Files) {
        SCOPED_TRACE(file.Kind);
        TPipeWatchdog watchdog(special.Pipes());
        std::string message;
        try {
            ReadTextLines(file.Path);
        } catch (const EFOpenError& e) {
            message = e.what();
        }
        EXPECT_EQ(message, "Cannot open file \"" + file.Path + "\". " + file.Reason);
        EXPECT_FALSE(watchdog.Fired()) << "the read waited on the file";
    }
}
