#include "ShellBrowsing/Source/operations/FileOperations.h"

#include "ShellBrowsing/ShellTestSupport.h"
#include "ShellBrowsing/operations/OperationsTestSupport.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class TFileOperations : public TShellTest {
protected:
    TOperationReport Transfer(std::vector<std::string> sources, const std::string& target, TTransferMode mode)
    {
        TOperationReport report;
        ShellFileOps::TransferItems(sources, target, mode, report);
        return report;
    }
};

using ShellFileOps::TransferItems;

} // namespace

TEST_F(TFileOperations, CopyKeepsContentModeTimesAndLinks)
{
    const std::string file = MakeFile("src/run.sh", "#!/bin/sh\n");
    ASSERT_EQ(::chmod(file.c_str(), 0751), 0);
    const struct timespec times[2] = {{1200000000, 0}, {1300000000, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, file.c_str(), times, 0), 0);
    MakeFile("src/deep/inner.txt", "inner");
    MakeLink("src/rel-link", "run.sh");
    MakeDir("dst");
    const TOperationReport report = Transfer({PathOf("src")}, PathOf("dst"), TTransferMode::Copy);
    EXPECT_TRUE(report.Ok()) << (report.Errors.empty() ? "" : report.Errors.front());
    struct stat st {};
    ASSERT_EQ(::stat(PathOf("dst/src/run.sh").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0751u);
    EXPECT_EQ(st.st_mtim.tv_sec, 1300000000);
    EXPECT_EQ(FileText(PathOf("dst/src/deep/inner.txt")), "inner");
    ASSERT_TRUE(IsLinkEntry(PathOf("dst/src/rel-link")));
    char target[64] = {};
    ASSERT_GT(::readlink(PathOf("dst/src/rel-link").c_str(), target, sizeof target), 0);
    EXPECT_STREQ(target, "run.sh");
    EXPECT_EQ(Listing(PathOf("dst")), std::vector<std::string>{"src"}) << "no temporary file is left behind";
    EXPECT_TRUE(Exists(file));
}

TEST_F(TFileOperations, AnExistingNameIsReplacedOnlyAfterYes)
{
    MakeFile("src/a.txt", "new");
    MakeFile("src/b.txt", "new b");
    MakeFile("src/c.txt", "new c");
    MakeFile("dst/a.txt", "old");
    MakeFile("dst/b.txt", "old b");
    MakeFile("dst/c.txt", "old c");
    {
        TAnswers answers({IDNO, IDYES, IDCANCEL});
        const TOperationReport report = Transfer({PathOf("src/a.txt"), PathOf("src/b.txt"), PathOf("src/c.txt")},
                                                 PathOf("dst"), TTransferMode::Copy);
        ASSERT_EQ(answers.Asked.size(), 3u);
        EXPECT_EQ(answers.Asked[0].Text, "\"a.txt\" already exists in \"" + PathOf("dst") + "\". Replace it?");
        EXPECT_EQ(answers.Asked[0].Caption, "Zentu");
        EXPECT_TRUE(report.Cancelled);
        EXPECT_EQ(report.Done, 1);
    }
    EXPECT_EQ(FileText(PathOf("dst/a.txt")), "old");
    EXPECT_EQ(FileText(PathOf("dst/b.txt")), "new b");
    EXPECT_EQ(FileText(PathOf("dst/c.txt")), "old c");
}

TEST_F(TFileOperations, FoldersOfOneNameAreMerged)
{
    MakeFile("src/site/new.php", "n");
    MakeFile("src/site/same.php", "s2");
    MakeFile("dst/site/old.php", "o");
    MakeFile("dst/site/same.php", "s1");
    TAnswers answers({IDYES});
    const TOperationReport report = Transfer({PathOf("src/site")}, PathOf("dst"), TTransferMode::Move);
    EXPECT_TRUE(report.Ok());
    EXPECT_EQ(Listing(PathOf("dst/site")), (std::vector<std::string>{"new.php", "old.php", "same.php"}));
    EXPECT_EQ(FileText(PathOf("dst/site/same.php")), "s2");
    EXPECT_FALSE(Exists(PathOf("src/site"))) << "a merged folder that was moved is removed once empty";
}

TEST_F(TFileOperations, CopyIntoItsOwnFolderMakesACopyName)
{
    MakeFile("f/page.php", "p");
    MakeDir("f/dir");
    for (int i = 0; i < 2; ++i) {
        EXPECT_TRUE(Transfer({PathOf("f/page.php")}, PathOf("f"), TTransferMode::Copy).Ok());
        EXPECT_TRUE(Transfer({PathOf("f/dir")}, PathOf("f"), TTransferMode::Copy).Ok());
    }
    EXPECT_TRUE(Transfer({PathOf("f/page.php")}, PathOf("f"), TTransferMode::Link).Ok());
    EXPECT_EQ(Listing(PathOf("f")), (std::vector<std::string>{"dir", "dir (copy 2)", "dir (copy)", "page (copy 2).php",
                                                              "page (copy).php", "page (link).php", "page.php"}));
    EXPECT_TRUE(Transfer({PathOf("f/page.php")}, PathOf("f"), TTransferMode::Move).Ok());
    EXPECT_TRUE(Exists(PathOf("f/page.php")));
}

TEST_F(TFileOperations, AFolderNeverGoesIntoItselfAndFailuresAreReported)
{
    MakeFile("a/b/c.txt");
    const TOperationReport into = Transfer({PathOf("a")}, PathOf("a/b"), TTransferMode::Copy);
    ASSERT_EQ(into.Errors.size(), 1u);
    EXPECT_EQ(into.Errors[0], "\"" + PathOf("a") + "\" cannot go into itself.");
    EXPECT_EQ(Listing(PathOf("a/b")), std::vector<std::string>{"c.txt"});

    const TOperationReport missing = Transfer({PathOf("gone"), PathOf("a/b/c.txt")}, PathOf("a"), TTransferMode::Copy);
    ASSERT_EQ(missing.Errors.size(), 1u);
    EXPECT_NE(missing.Errors[0].find("Could not copy \"" + PathOf("gone") + "\""), std::string::npos);
    EXPECT_EQ(missing.Done, 1) << "the next item is still copied";
    EXPECT_FALSE(Transfer({PathOf("a/b/c.txt")}, PathOf("a/b/c.txt"), TTransferMode::Copy).Ok());

    ::mkfifo(PathOf("pipe").c_str(), 0600);
    const TOperationReport special = Transfer({PathOf("pipe")}, PathOf("a"), TTransferMode::Copy);
    ASSERT_EQ(special.Errors.size(), 1u);
    EXPECT_EQ(special.Errors[0], "\"" + PathOf("pipe") + "\" is a special file and was not copied.");

    TAnswers answers({IDOK});
    ShellFileOps::ShowReport(missing);
    ASSERT_EQ(answers.Asked.size(), 1u);
    EXPECT_EQ(answers.Asked[0].Text, missing.Errors[0]);
    EXPECT_EQ(answers.Asked[0].Flags & MB_ICONERROR, static_cast<unsigned>(MB_ICONERROR));
}

TEST_F(TFileOperations, AFileNeverReplacesAFolder)
{
    MakeFile("src/item", "file");
    MakeFile("dst/item/inside", "keep");
    TAnswers answers({IDYES});
    const TOperationReport report = Transfer({PathOf("src/item")}, PathOf("dst"), TTransferMode::Copy);
    ASSERT_EQ(report.Errors.size(), 1u);
    EXPECT_EQ(FileText(PathOf("dst/item/inside")), "keep");
}

TEST_F(TFileOperations, PermanentDeletionAsksFirstAndRemovesLinksNotTargets)
{
    MakeFile("keep/target.txt", "t");
    MakeFile("gone/a/b.txt");
    MakeLink("gone/link", PathOf("keep"));
    {
        TAnswers answers({IDNO});
        EXPECT_FALSE(ShellFileOps::ConfirmPermanentDelete({PathOf("gone")}));
        EXPECT_EQ(answers.Asked.at(0).Text, "Are you sure you want to permanently delete \"gone\"?");
    }
    {
        TAnswers answers({IDYES});
        EXPECT_TRUE(ShellFileOps::ConfirmPermanentDelete({PathOf("gone"), PathOf("keep")}));
        EXPECT_EQ(answers.Asked.at(0).Text, "Are you sure you want to permanently delete these 2 items?");
    }
    TOperationReport report;
    ShellFileOps::DeleteItems({PathOf("gone")}, report);
    EXPECT_TRUE(report.Ok());
    EXPECT_FALSE(Exists(PathOf("gone")));
    EXPECT_EQ(FileText(PathOf("keep/target.txt")), "t");
}

TEST_F(TFileOperations, NewFoldersTakeTheNextFreeName)
{
    TOperationReport report;
    EXPECT_EQ(ShellFileOps::NewFolder(Dir(), report), PathOf("New Folder"));
    EXPECT_EQ(ShellFileOps::NewFolder(Dir(), report), PathOf("New Folder (1)"));
    EXPECT_EQ(report.Done, 2);
    EXPECT_EQ(ShellFileOps::NewFolder(PathOf("missing"), report), "");
    EXPECT_EQ(report.Errors.size(), 1u);
}
