// Project records and the current project: the default project of a first start, opening a
// project by its server choice, where a changed folder text is stored, the document root
// with its fallback and its use from other threads, and the server module's start-up.

#include "projects/zuCurrentProject.h"
#include "http/zuHTTPModule.h"
#include "projects/zuProjects.h"
#include "settings/zuSettings.h"

#include "src/http/HttpTestSupport.h"

#include "Platform/core/Exceptions.h"
#include "Platform/files/FileNames.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

class CurrentProjectTest : public ::testing::Test {
protected:
    CurrentProjectTest()
        : Projects(Dir.File("projects.dat")), Settings(Dir.File("Zentupad.dat")),
          ProjectFolder(Dir.Path() + "/project/"), Current(Projects, Settings, ProjectFolder)
    {
        ForceDirectories(ProjectFolder);
        Current.OnRestartServer = [this](bool start) { Events.push_back(start ? "start" : "stop"); };
        Current.OnLocalPathChange = [this](const std::string& text) { Events.push_back("path " + text); };
    }

    // A project section with the given choice and local path.
    TGUID AddProject(int choice, const std::string& localPath = {})
    {
        const TGUID id = CreateGUID();
        Projects.WriteInteger(ProjectSection(id), "HTTPServer", choice);
        if (!localPath.empty())
            Projects.WriteString(ProjectSection(id), "LocalPath", localPath);
        return id;
    }

    std::string Folder(const std::string& name)
    {
        const std::string path = Dir.Path() + "/" + name;
        ForceDirectories(path);
        return path;
    }

    TempDir Dir;
    TIniFileEx Projects;
    TIniFileEx Settings;
    std::string ProjectFolder;
    TCurrentProject Current;
    std::vector<std::string> Events;
};

} // namespace

TEST_F(CurrentProjectTest, AFirstStartCreatesTheDefaultProject)
{
    EXPECT_EQ(Current.CurrentProject(), NullGUID);
    Current.OpenProject(NullGUID);
    const TGUID created = Current.CurrentProject();
    ASSERT_NE(created, NullGUID);
    EXPECT_EQ(Projects.ReadString(ProjectSection(created), "LocalPath", "?"), ProjectFolder);
    EXPECT_EQ(Projects.ReadInteger(ProjectSection(created), "HTTPServer", -1), 0);
    EXPECT_EQ(Current.DocumentRoot(), ProjectFolder);
    EXPECT_EQ(Events, (std::vector<std::string>{"path " + ProjectFolder, "start"}));
}

TEST_F(CurrentProjectTest, OpeningAProjectFollowsItsServerChoice)
{
    const std::string previous = Folder("previous");
    const std::string own = Folder("own");
    const std::string shared = Folder("shared");
    Settings.WriteString("HTTPServer", "DocumentPath", shared);
    struct Case {
        int choice;
        std::vector<std::string> events;
        std::string text;
    };
    const std::vector<Case> cases = {
        {0, {"path " + own, "start"}, own},
        {1, {"path " + shared, "stop"}, shared},
        {2, {"stop"}, previous},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.choice);
        const TGUID previousProject = AddProject(0, previous);
        Current.OpenProject(previousProject);
        Events.clear();
        const TGUID project = AddProject(c.choice, own);
        Current.OpenProject(project);
        EXPECT_EQ(Current.CurrentProject(), project);
        EXPECT_EQ(Events, c.events);
        EXPECT_EQ(Current.LocalPath(), c.text);
        EXPECT_EQ(Current.DocumentRoot(), c.text + "/");
    }
}

TEST_F(CurrentProjectTest, AProjectWithoutSectionOpensWithTheDefaults)
{
    const TGUID unknown = CreateGUID();
    Current.OpenProject(unknown);
    EXPECT_EQ(Current.CurrentProject(), unknown);
    EXPECT_EQ(Current.LocalPath(), ProjectFolder);
    EXPECT_EQ(Events.back(), "start");
    EXPECT_EQ(Projects.ReadString(ProjectSection(unknown), "LocalPath", "?"), ProjectFolder);
}

TEST_F(CurrentProjectTest, ANewFolderTextIsStoredWhereTheChoiceSays)
{
    const std::string typed = Folder("typed");
    const TGUID internal = AddProject(0, Folder("a"));
    const TGUID thirdParty = AddProject(1);
    const TGUID otherThirdParty = AddProject(1);
    const TGUID none = AddProject(2);

    Current.OpenProject(internal);
    Current.SetLocalPath(typed);
    EXPECT_EQ(Projects.ReadString(ProjectSection(internal), "LocalPath", "?"), typed);

    Current.OpenProject(thirdParty);
    Current.SetLocalPath(typed + "/1");
    EXPECT_EQ(Settings.ReadString("HTTPServer", "DocumentPath", "?"), typed + "/1");
    EXPECT_FALSE(Projects.ValueExists(ProjectSection(thirdParty), "LocalPath"));
    // Every project of the other server shares the one folder.
    Current.OpenProject(otherThirdParty);
    EXPECT_EQ(Current.LocalPath(), typed + "/1");

    Current.OpenProject(none);
    const std::string before = ReadWholeFile(Projects.FileName()) + ReadWholeFile(Settings.FileName());
    Current.SetLocalPath(typed + "/2");
    EXPECT_EQ(ReadWholeFile(Projects.FileName()) + ReadWholeFile(Settings.FileName()), before);
}

TEST_F(CurrentProjectTest, TheDocumentRootFallsBackToTheProjectFolder)
{
    Current.OpenProject(AddProject(0, Dir.Path() + "/missing"));
    EXPECT_EQ(Current.LocalPath(), Dir.Path() + "/missing");
    EXPECT_EQ(Current.DocumentRoot(), ProjectFolder);
    Current.SetLocalPath("");
    EXPECT_EQ(Current.DocumentRoot(), ProjectFolder);
    // The folder appearing later is taken at once.
    ForceDirectories(Dir.Path() + "/missing");
    Current.SetLocalPath(Dir.Path() + "/missing");
    EXPECT_EQ(Current.DocumentRoot(), Dir.Path() + "/missing/");
}

TEST_F(CurrentProjectTest, TheDocumentRootIsReadSafelyFromOtherThreads)
{
    const std::string a = Folder("a") + "/";
    const std::string b = Folder("b") + "/";
    Current.OpenProject(AddProject(0, a));
    std::atomic<bool> done{false};
    std::atomic<int> wrong{0};
    std::vector<std::thread> readers;
    for (int i = 0; i < 4; ++i)
        readers.emplace_back([&] {
            while (!done.load()) {
                const std::string root = Current.DocumentRoot();
                if (root != a && root != b)
                    ++wrong;
            }
        });
    for (int i = 0; i < 300; ++i)
        Current.SetLocalPath(i % 2 ? a : b);
    done.store(true);
    for (std::thread& reader : readers)
        reader.join();
    EXPECT_EQ(wrong.load(), 0);
}

TEST_F(CurrentProjectTest, AccountAndSavedProject)
{
    const TGUID project = AddProject(0, Folder("p"));
    Current.OpenProject(project);
    EXPECT_EQ(Current.ProjectAccountID(), NullGUID);
    const TGUID account = CreateGUID();
    Projects.WriteString(ProjectSection(project), "FTPAccount", GUIDToString(account));
    EXPECT_EQ(Current.ProjectAccountID(), account);
    Projects.WriteString(ProjectSection(project), "FTPAccount", "not a guid");
    EXPECT_EQ(Current.ProjectAccountID(), NullGUID);
    Current.SaveCurrentProject();
    EXPECT_EQ(Settings.ReadString("Application", "Project", ""), GUIDToString(project));
}

TEST(ProjectRecords, TheListNamesEveryProjectInFileOrder)
{
    TempDir dir;
    TIniFileEx projects(dir.File("projects.dat"));
    const TGUID first = CreateGUID(), second = CreateGUID();
    projects.WriteString(ProjectSection(first), "ProjectName", "Shop");
    projects.WriteInteger(ProjectSection(second), "HTTPServer", 2);
    const std::vector<TProjectListEntry> list = ReadProjectList(projects);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].ID, first);
    EXPECT_EQ(list[0].Name, "Shop");
    EXPECT_EQ(list[1].ID, second);
    EXPECT_EQ(list[1].Name, "Untitled Project");

    projects.WriteString("not-a-guid", "ProjectName", "x");
    EXPECT_THROW(ReadProjectList(projects), EConvertError);
}

TEST(HTTPModuleStart, OpensTheSavedProjectAndFollowsItsChoice)
{
    TempDir dir;
    TIniFileEx projects(dir.File("projects.dat"));
    TIniFileEx settings(dir.File("Zentupad.dat"));
    dir.Write("data/AccessDenied.html", "denied");
    dir.Write("www/hello.txt", "hello from the project");
    dir.Write("project/.keep", "");
    const TGUID served = CreateGUID();
    projects.WriteString(ProjectSection(served), "LocalPath", dir.Path() + "/www");
    projects.WriteInteger(ProjectSection(served), "HTTPServer", 0);
    const TGUID serverless = CreateGUID();
    projects.WriteInteger(ProjectSection(serverless), "HTTPServer", 2);
    settings.WriteString("Application", "Project", GUIDToString(served));
    settings.WriteInteger("HTTPServer", "Port", 0);
    settings.WriteInteger("HTTPServer", "TimeOut", 7);
    settings.WriteString("Environment", "INI", "/etc/custom/php.ini");

    TCurrentProject current(projects, settings, dir.Path() + "/project/");
    THTTPModule module;
    module.DataModuleCreate(settings, current, "", dir.Path() + "/data");
    EXPECT_EQ(module.CGIRunner.TimeOut(), 7000);
    EXPECT_EQ(module.CGIRunner.PHPIniPath(), "/etc/custom/php.ini");
    EXPECT_EQ(module.ServerValues().IndexFiles, "index.php,index.phtml,index.html,index.htm");
    EXPECT_EQ(module.ServerValues().DataFolder, dir.Path() + "/data/");
    ASSERT_TRUE(module.Active());
    EXPECT_EQ(current.CurrentProject(), served);
    EXPECT_EQ(HttpGet(module.BoundPort(), "/hello.txt").Body, "hello from the project");

    // The folder box changes the root of the running server.
    dir.Write("other/hello.txt", "hello from elsewhere");
    current.SetLocalPath(dir.Path() + "/other");
    EXPECT_EQ(HttpGet(module.BoundPort(), "/hello.txt").Body, "hello from elsewhere");

    current.OpenProject(serverless);
    EXPECT_FALSE(module.Active());
    current.OpenProject(served);
    EXPECT_TRUE(module.Active());

    module.DataModuleDestroy();
    EXPECT_FALSE(module.Active());
}

TEST(HTTPModuleStart, AGarbledSavedProjectCountsAsNone)
{
    TempDir dir;
    TIniFileEx projects(dir.File("projects.dat"));
    TIniFileEx settings(dir.File("Zentupad.dat"));
    dir.Write("project/index.php", "<?php");
    settings.WriteString("Application", "Project", "{garbled");
    settings.WriteInteger("HTTPServer", "Port", 0);
    TCurrentProject current(projects, settings, dir.Path() + "/project/");
    THTTPModule module;
    module.DataModuleCreate(settings, current, "", dir.Path() + "/data");
    EXPECT_NE(current.CurrentProject(), NullGUID);
    EXPECT_TRUE(module.Active());
    EXPECT_EQ(current.DocumentRoot(), dir.Path() + "/project/");
}
