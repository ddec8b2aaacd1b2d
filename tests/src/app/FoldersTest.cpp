// The program folders beside the executable and the per-user folder, with the checks that end
// the program, and the per-user copy of the project folder.

#include "app/zuFolders.h"

#include "Platform/files/FileNames.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace {

struct Folders : ::testing::Test {
    TempDir Dir;
    std::string Program = Dir.Path() + "/program/";
    std::string Config = Dir.Path() + "/config";

    void Install()
    {
        Dir.Write("program/data/NotFound.html", "<p>x</p>");
        Dir.Write("program/template/PHP Page.php", "<?php");
        Dir.Write("program/project/index.php", "<?php echo 1;");
        Dir.Write("program/project/css/site.css", "body{}");
    }
};

} // namespace

TEST_F(Folders, AllFoldersEndWithASeparatorAndTheUserFolderIsMade)
{
    Install();
    ASSERT_EQ(SetUpFolders(Program, Config), TFolderCheck::fcOk);
    EXPECT_EQ(DataFolder, Program + "data/");
    EXPECT_EQ(TemplateFolder, Program + "template/");
    EXPECT_EQ(ProjectFolder, Program + "project/");
    EXPECT_EQ(UserFolder, Config + "/Zentu Systems/Zentu/");
    EXPECT_TRUE(DirectoryExists(UserFolder));
}

TEST_F(Folders, WithoutAConfigurationFolderTheDataFolderServes)
{
    Install();
    ASSERT_EQ(SetUpFolders(Program, ""), TFolderCheck::fcOk);
    EXPECT_EQ(UserFolder, DataFolder);
}

TEST_F(Folders, MissingDataOrTemplateFolderIsACorruptedInstallation)
{
    Dir.Write("program/data/x", "");
    EXPECT_EQ(SetUpFolders(Program, Config), TFolderCheck::fcInstallationCorrupted);
    Dir.Write("program/template/x", "");
    EXPECT_EQ(SetUpFolders(Program, Config), TFolderCheck::fcOk);
    EXPECT_EQ(FolderCheckMessage(TFolderCheck::fcInstallationCorrupted),
              "Zentu installation seems to be corrupted!\r\nYou should re-install the software");
}

TEST_F(Folders, AUserFolderThatCannotBeMadeEndsTheProgramWithCode99)
{
    Install();
    Dir.Write("config", "a file where the folder should be");
    EXPECT_EQ(SetUpFolders(Program, Config), TFolderCheck::fcUserFolderNotMade);
    EXPECT_EQ(FolderCheckMessage(TFolderCheck::fcUserFolderNotMade), "Unable to Continue! \r\n Error Code: 99");
    EXPECT_EQ(FolderCheckMessage(TFolderCheck::fcOk), "");
}

TEST_F(Folders, AReadOnlyProgramGetsAPerUserProjectCopyMadeOnce)
{
    Install();
    const std::string user = Dir.Path() + "/user/";
    ForceDirectories(user);
    EXPECT_EQ(ChooseProjectFolder(Program + "project/", user, true), Program + "project/");

    const std::string copy = ChooseProjectFolder(Program + "project/", user, false);
    EXPECT_EQ(copy, user + "project/");
    EXPECT_EQ(ReadWholeFile(copy + "index.php"), "<?php echo 1;");
    EXPECT_EQ(ReadWholeFile(copy + "css/site.css"), "body{}");

    // The user's own changes to the copy survive later starts.
    Dir.Write("user/project/index.php", "mine");
    ChooseProjectFolder(Program + "project/", user, false);
    EXPECT_EQ(ReadWholeFile(copy + "index.php"), "mine");

    // Without any program project folder the per-user one is made empty.
    const std::string other = Dir.Path() + "/other/";
    ForceDirectories(other);
    EXPECT_EQ(ChooseProjectFolder(Dir.Path() + "/none/project/", other, false), other + "project/");
    EXPECT_TRUE(DirectoryExists(other + "project/"));
}
