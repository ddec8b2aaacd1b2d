// A run of Find in Files over files and folder trees: masks, the order of the walk, files that
// cannot be searched, symbolic links and aborting.

#include "search/zuFindInFiles.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace {

class FindInFilesTest : public ::testing::Test {
protected:
    // The files with hits, in the order of their first hit, relative to the temporary folder.
    std::vector<std::string> Walk(const std::string& masks, bool recurse, const std::string& folder = "")
    {
        TFindInFiles run("needle", {});
        std::vector<std::string> files;
        run.OnHit = [&files, this](const std::string& fileName, TSearchResult&&) {
            const std::string relative = fileName.substr(Dir.Path().size() + 1);
            if (files.empty() || files.back() != relative)
                files.push_back(relative);
        };
        run.SearchFolder(Dir.Path() + "/" + folder, SplitMasks(masks), recurse);
        Skipped = run.FilesSkipped();
        return files;
    }

    TempDir Dir;
    int Skipped = 0;
};

} // namespace

TEST(FileMasks, SplitAtCommasAndSemicolonsAndTrimmed)
{
    EXPECT_EQ(SplitMasks("*.php; *.inc"), (std::vector<std::string>{"*.php", "*.inc"}));
    EXPECT_EQ(SplitMasks(" *.php ,, ;*.css;"), (std::vector<std::string>{"*.php", "*.css"}));
    EXPECT_TRUE(SplitMasks("  ").empty());
}

TEST(FileMasks, MatchWithoutRegardToCase)
{
    struct Case {
        const char* Name;
        const char* Mask;
        bool Matches;
    };
    const Case cases[] = {
        {"index.php", "*.php", true},     {"INDEX.PHP", "*.php", true},   {"index.php", "*.PHP", true},
        {"index.phpx", "*.php", false},   {"a.b.php", "*.php", true},     {"Makefile", "*.*", true},
        {"Makefile", "*", true},          {"Makefile", "*.", false},      {"index.php", "index.*", true},
        {"a", "?", true},                 {"ab", "?", false},
        {"page1.htm", "page?.htm", true}, {"page10.htm", "page?.htm", false}, {"x.inc.php", "*.inc*", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MatchesFileMask(c.Name, c.Mask), c.Matches) << c.Name << " " << c.Mask;
}

TEST_F(FindInFilesTest, SubfoldersComeBeforeTheFolderOwnFiles)
{
    Dir.Write("a.php", "needle");
    Dir.Write("sub/b.php", "needle");
    Dir.Write("sub/deep/c.php", "needle");
    Dir.Write("sub/deep/c.txt", "needle");
    EXPECT_EQ(Walk("*.php", true), (std::vector<std::string>{"sub/deep/c.php", "sub/b.php", "a.php"}));
    EXPECT_EQ(Walk("*.php", false), (std::vector<std::string>{"a.php"}));
    EXPECT_EQ(Walk("*.txt", true, "sub"), (std::vector<std::string>{"sub/deep/c.txt"}));
}

TEST_F(FindInFilesTest, EachFileIsSearchedOnceInTheOrderOfTheMasks)
{
    Dir.Write("a.php", "needle");
    Dir.Write("b.inc", "needle");
    Dir.Write("c.css", "needle");
    EXPECT_EQ(Walk("*.inc; *.php", false), (std::vector<std::string>{"b.inc", "a.php"}));
    EXPECT_EQ(Walk("*.php;*.PHP;*.*", false).size(), 3u);
    EXPECT_EQ(Walk("*.php;*.PHP", false), (std::vector<std::string>{"a.php"}));
}

TEST_F(FindInFilesTest, FilesThatCannotBeSearchedAreSkippedAndCounted)
{
    Dir.Write("1.php", "needle");
    Dir.Write("2.php", std::string("needle\0", 7));
    symlink((Dir.Path() + "/missing.php").c_str(), (Dir.Path() + "/3.php").c_str());
    mkfifo((Dir.Path() + "/4.php").c_str(), 0600);
    Dir.Write("5.php", "x\nneedle");
    const std::vector<std::string> files = Walk("*.php", false);
    EXPECT_EQ(files.size(), 2u);
    EXPECT_NE(std::find(files.begin(), files.end(), "5.php"), files.end());
    // The binary file and the broken link; a named pipe is no file to search.
    EXPECT_EQ(Skipped, 2);

    TFindInFiles run("needle", {});
    run.SearchFile(Dir.File("2.php"));
    run.SkipFile("Untitled1.php");
    run.SearchFile(Dir.File("1.php"));
    ASSERT_EQ(run.Skipped().size(), 2u);
    EXPECT_EQ(run.Skipped()[0].second, "Unable to search in binary files");
    EXPECT_EQ(run.Skipped()[1].first, "Untitled1.php");
    EXPECT_EQ(run.FilesSearched(), 1);
}

TEST_F(FindInFilesTest, SymbolicLinksAreFollowedButNotIntoCycles)
{
    Dir.Write("top/a.php", "needle");
    Dir.Write("other/b.php", "needle");
    ASSERT_EQ(symlink("..", (Dir.Path() + "/top/up").c_str()), 0);
    ASSERT_EQ(symlink(".", (Dir.Path() + "/top/self").c_str()), 0);
    ASSERT_EQ(symlink("../other", (Dir.Path() + "/top/other").c_str()), 0);
    ASSERT_EQ(symlink("a.php", (Dir.Path() + "/top/link.php").c_str()), 0);
    std::vector<std::string> files = Walk("*.php", true);
    std::sort(files.begin(), files.end());
    EXPECT_EQ(files, (std::vector<std::string>{"other/b.php", "top/a.php", "top/link.php", "top/other/b.php"}));
    // Started below it, the walk goes up through the link once and stops where it began.
    files = Walk("*.php", true, "top");
    std::sort(files.begin(), files.end());
    EXPECT_EQ(files, (std::vector<std::string>{"top/a.php", "top/link.php", "top/other/b.php", "top/up/other/b.php"}));
}

TEST_F(FindInFilesTest, AbortStopsAfterTheFileBeingSearched)
{
    Dir.Write("a.php", "needle\nneedle\nneedle");
    Dir.Write("b.php", "needle");
    Dir.Write("c.php", "needle");
    TFindInFiles run("needle", {});
    int hits = 0;
    run.OnHit = [&](const std::string&, TSearchResult&&) {
        ++hits;
        run.Abort();
    };
    run.SearchFolder(Dir.Path(), {"*.php"}, false);
    EXPECT_EQ(hits, 1);
    EXPECT_EQ(run.FilesSearched(), 1);
}

TEST_F(FindInFilesTest, TheRunYieldsAndAnAbortThereEndsTheWalk)
{
    for (int i = 0; i < 300; ++i)
        Dir.Write("tree/" + std::to_string(i % 10) + "/f" + std::to_string(i) + ".txt", "nothing");
    TFindInFiles run("needle", {});
    run.YieldInterval = std::chrono::milliseconds(0);
    int yields = 0;
    int searchedAtAbort = -1;
    run.OnYield = [&] {
        if (++yields == 50) {
            searchedAtAbort = run.FilesSearched();
            run.Abort();
        }
    };
    run.SearchFolder(Dir.File("tree"), {"*.*"}, true);
    EXPECT_EQ(yields, 50);
    EXPECT_EQ(run.FilesSearched(), searchedAtAbort);
    EXPECT_LT(searchedAtAbort, 300);
}

TEST_F(FindInFilesTest, AFolderThatCannotBeListedIsCounted)
{
    TFindInFiles run("needle", {});
    run.SearchFolder(Dir.File("missing"), {"*.*"}, true);
    EXPECT_EQ(run.FilesSkipped(), 1);
    EXPECT_EQ(run.FilesSearched(), 0);
}

TEST_F(FindInFilesTest, HitsComeInTheOrderOfTheWalkWhateverTheNumberOfThreads)
{
    for (int i = 0; i < 200; ++i) {
        std::string text;
        for (int line = 0; line < i % 7; ++line)
            text += line % 2 ? "needle needle\n" : "hay\n";
        Dir.Write("tree/" + std::to_string(i % 9) + "/" + std::to_string(i % 4) + "/f" + std::to_string(i) + ".txt",
                  text);
    }
    const auto hits = [this](unsigned threads) {
        TFindInFiles run("needle", {}, threads);
        std::vector<std::string> seen;
        run.OnHit = [&seen](const std::string& fileName, TSearchResult&& hit) {
            seen.push_back(fileName + ":" + std::to_string(hit.LineNo) + ":" + std::to_string(hit.SPos));
        };
        run.SearchFolder(Dir.File("tree"), {"*.txt"}, true);
        EXPECT_EQ(run.FilesSearched(), 200);
        return seen;
    };
    const std::vector<std::string> one = hits(1);
    EXPECT_EQ(one.size(), 508u);
    EXPECT_EQ(hits(4), one);
    EXPECT_EQ(hits(16), one);
}
