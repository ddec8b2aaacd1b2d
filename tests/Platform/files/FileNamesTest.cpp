// File-name routines on Linux paths, and the folder routines on a temporary folder.

#include "Platform/core/Exceptions.h"
#include "Platform/files/FileNames.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <fstream>

TEST(FileNameParts, PathNameAndExtensionSplitAtTheLastSeparator)
{
    struct Case {
        std::string Name, Path, Dir, File, Ext;
    };
    const std::vector<Case> cases = {
        {"/var/www/index.php", "/var/www/", "/var/www", "index.php", ".php"},
        {"/index.php", "/", "/", "index.php", ".php"},
        {"index.php", "", "", "index.php", ".php"},
        {"/var/www.old/readme", "/var/www.old/", "/var/www.old", "readme", ""},
        {"/srv/archive.tar.gz", "/srv/", "/srv", "archive.tar.gz", ".gz"},
        {"/srv/", "/srv/", "/srv", "", ""},
        {"c:name.php", "", "", "c:name.php", ".php"}, // no drive letters here
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(ExtractFilePath(c.Name), c.Path);
        EXPECT_EQ(ExtractFileDir(c.Name), c.Dir);
        EXPECT_EQ(ExtractFileName(c.Name), c.File);
        EXPECT_EQ(ExtractFileExt(c.Name), c.Ext);
    }
}

TEST(FileNameParts, ChangeFileExtReplacesAddsOrRemovesOnlyTheNamesExtension)
{
    EXPECT_EQ(ChangeFileExt("/a/b.php", ".bak"), "/a/b.bak");
    EXPECT_EQ(ChangeFileExt("/a.d/readme", ".txt"), "/a.d/readme.txt");
    EXPECT_EQ(ChangeFileExt("/a/b.tar.gz", ""), "/a/b.tar");
}

TEST(FileNameParts, TrailingDelimiterIsAddedOnceAndTheRootKeepsIt)
{
    EXPECT_EQ(IncludeTrailingPathDelimiter("/srv"), "/srv/");
    EXPECT_EQ(IncludeTrailingPathDelimiter("/srv/"), "/srv/");
    EXPECT_EQ(IncludeTrailingPathDelimiter(""), "/");
    EXPECT_EQ(ExcludeTrailingPathDelimiter("/srv/"), "/srv");
    EXPECT_EQ(ExcludeTrailingPathDelimiter("/"), "/");
}

TEST(ExpandFileName, ResolvesDotsAndDoubledSeparatorsAgainstTheCurrentFolder)
{
    struct Case {
        std::string In, Out;
    };
    const std::vector<Case> cases = {
        {"/var/www/../log/./x.log", "/var/log/x.log"},
        {"//var///www/", "/var/www/"},
        {"/..", "/"},
        {"/a/b/../../..", "/"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.In);
        EXPECT_EQ(ExpandFileName(c.In), c.Out);
    }
    EXPECT_EQ(ExpandFileName("x.php"), IncludeTrailingPathDelimiter(GetCurrentDir()) + "x.php");
}

TEST(FolderRoutines, ForceDirectoriesMakesEveryMissingLevelAndRefusesAFileInTheWay)
{
    TempDir dir;
    const std::string deep = dir.Path() + "/a/b/c/";
    EXPECT_TRUE(ForceDirectories(deep));
    EXPECT_TRUE(DirectoryExists(dir.Path() + "/a/b/c"));
    EXPECT_TRUE(ForceDirectories(deep)); // already there
    std::ofstream(dir.Path() + "/file") << "x";
    EXPECT_FALSE(ForceDirectories(dir.Path() + "/file/sub"));
    EXPECT_FALSE(ForceDirectories(""));
    EXPECT_TRUE(FileExists(dir.Path() + "/file"));
    EXPECT_FALSE(FileExists(dir.Path() + "/a"));
    EXPECT_EQ(FileSize(dir.Path() + "/file"), 1);
    EXPECT_EQ(FileSize(dir.Path() + "/missing"), -1);
}

TEST(FolderRoutines, ReadFileBytesKeepsEveryByteAndRaisesForAMissingFile)
{
    TempDir dir;
    const std::string bytes("a\r\n\0b\xff", 6);
    std::ofstream(dir.Path() + "/f", std::ios::binary) << bytes;
    EXPECT_EQ(ReadFileBytes(dir.Path() + "/f"), bytes);
    EXPECT_THROW(ReadFileBytes(dir.Path() + "/missing"), EFOpenError);
}

TEST(FolderRoutines, ProgramFolderHoldsTheRunningProgram)
{
    const std::string folder = ProgramFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.back(), '/');
    EXPECT_TRUE(FileExists(folder + "platform_tests"));
}
