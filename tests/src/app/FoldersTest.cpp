// The program folders beside the executable and the per-user folder, with the checks that end
// the program, the default project in the user's data folder, and settings of earlier versions
// that named the program's own project folder.

#include "app/zuFolders.h"

#include "projects/zuProjects.h"
#include "settings/zentuIniFiles.h"

#include "Platform/files/FileNames.h"
#include "support/TempDir.h"

#include <QFile>

#include <gtest/gtest.h>

namespace {

struct Folders : ::testing::Test {
    TempDir Dir;
    std::string Program = Dir.Path() + "/program/";
    std::string Config = Dir.Path() + "/config";
    std::string Share = Dir.Path() + "/share";

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
    ASSERT_EQ(SetUpFolders(Program, Config, Share), TFolderCheck::fcOk);
    EXPECT_EQ(DataFolder, Program + "data/");
    EXPECT_EQ(TemplateFolder, Program + "template/");
    EXPECT_EQ(ProjectFolder, Share + "/Zentu/project/");
    EXPECT_EQ(UserFolder, Config + "/Zentu Systems/Zentu/");
    EXPECT_TRUE(DirectoryExists(UserFolder));
}

TEST_F(Folders, WithoutAConfigurationFolderTheDataFolderServes)
{
    Install();
    ASSERT_EQ(SetUpFolders(Program, "", Share), TFolderCheck::fcOk);
    EXPECT_EQ(UserFolder, DataFolder);
}

TEST_F(Folders, MissingDataOrTemplateFolderIsACorruptedInstallation)
{
    Dir.Write("program/data/x", "");
    EXPECT_EQ(SetUpFolders(Program, Config, Share), TFolderCheck::fcInstallationCorrupted);
    Dir.Write("program/template/x", "");
    EXPECT_EQ(SetUpFolders(Program, Config, Share), TFolderCheck::fcOk);
    EXPECT_EQ(FolderCheckMessage(TFolderCheck::fcInstallationCorrupted),
              "Zentu installation seems to be corrupted!\r\nYou should re-install the software");
}

TEST_F(Folders, AUserFolderThatCannotBeMadeEndsTheProgramWithCode99)
{
    Install();
    Dir.Write("config", "a file where the folder should be");
    EXPECT_EQ(SetUpFolders(Program, Config, Share), TFolderCheck::fcUserFolderNotMade);
    EXPECT_EQ(FolderCheckMessage(TFolderCheck::fcUserFolderNotMade), "Unable to Continue! \r\n Error Code: 99");
    EXPECT_EQ(FolderCheckMessage(TFolderCheck::fcOk), "");
}

TEST_F(Folders, TheDefaultProjectIsTheUsersCopyMadeOnce)
{
    Install();
    ASSERT_EQ(SetUpFolders(Program, Config, Share), TFolderCheck::fcOk);
    const std::string copy = Share + "/Zentu/project/";
    EXPECT_EQ(ProjectFolder, copy);
    EXPECT_EQ(ReadWholeFile(copy + "index.php"), "<?php echo 1;");
    EXPECT_EQ(ReadWholeFile(copy + "css/site.css"), "body{}");

    // The user's own changes to the copy survive later starts, and new files of the program's
    // folder do not come back over them.
    Dir.Write("share/Zentu/project/index.php", "mine");
    Dir.Write("program/project/new.php", "new");
    ASSERT_EQ(SetUpFolders(Program, Config, Share), TFolderCheck::fcOk);
    EXPECT_EQ(ReadWholeFile(copy + "index.php"), "mine");
    EXPECT_FALSE(FileExists(copy + "new.php"));

    // Without a data folder the per-user folder holds it; without a program project it starts
    // empty.
    QFile::remove(QString::fromStdString(Program + "project/index.php"));
    ASSERT_EQ(SetUpFolders(Program, Config, ""), TFolderCheck::fcOk);
    EXPECT_EQ(ProjectFolder, Config + "/Zentu Systems/Zentu/project/");
    EXPECT_EQ(PrepareDefaultProject(Dir.Path() + "/none/", Dir.Path() + "/empty/project/"),
              Dir.Path() + "/empty/project/");
    EXPECT_TRUE(DirectoryExists(Dir.Path() + "/empty/project/"));
}

TEST_F(Folders, ADefaultProjectThatCannotBeMadeFallsBackToTheProgramsFolder)
{
    Install();
    Dir.Write("share", "a file where the folder should be");
    ASSERT_EQ(SetUpFolders(Program, Config, Share), TFolderCheck::fcOk);
    EXPECT_EQ(ProjectFolder, Program + "project/");
}

TEST_F(Folders, SettingsThatNamedTheProgramsProjectFolderMoveToTheUsersCopy)
{
    const std::string user = Dir.Path() + "/share/Zentu/project/";
    TIniFileEx projects(Dir.File("projects.dat"));
    TIniFileEx settings(Dir.File("Zentupad.dat"));
    const std::string old = "{11111111-1111-1111-1111-111111111111}";
    const std::string oldWithoutSlash = "{22222222-2222-2222-2222-222222222222}";
    const std::string other = "{33333333-3333-3333-3333-333333333333}";
    projects.WriteString(old, "LocalPath", Program + "project/");
    projects.WriteString(oldWithoutSlash, "LocalPath", Program + "project");
    projects.WriteString(other, "LocalPath", Dir.Path() + "/www/");
    projects.WriteString(other, "ProjectName", "Mine");
    settings.WriteString("HTTPServer", "DocumentPath", Program + "./project/");

    MoveDefaultProjectSettings(projects, settings, Program + "project/", user);
    EXPECT_EQ(projects.ReadString(old, "LocalPath", ""), user);
    EXPECT_EQ(projects.ReadString(oldWithoutSlash, "LocalPath", ""), user);
    EXPECT_EQ(projects.ReadString(other, "LocalPath", ""), Dir.Path() + "/www/") << "the user's own roots stay";
    EXPECT_EQ(projects.ReadString(other, "ProjectName", ""), "Mine");
    EXPECT_EQ(settings.ReadString("HTTPServer", "DocumentPath", ""), user);

    // Nothing moves when the user's copy could not be made and the program's folder serves.
    projects.WriteString(old, "LocalPath", Program + "project/");
    MoveDefaultProjectSettings(projects, settings, Program + "project/", Program + "project/");
    EXPECT_EQ(projects.ReadString(old, "LocalPath", ""), Program + "project/");
}
