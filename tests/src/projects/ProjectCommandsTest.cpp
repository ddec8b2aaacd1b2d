// The main window's project commands in the running shell with its server: where they sit and
// their shortcut, the dialogs they show, and what New Project, Open Project and Project Options
// do to the current project, the internal server, the document root and the run URL.

#include "src/http/HttpTestSupport.h"
#include "src/run/ShellTestSupport.h"

#include "projects/zuCurrentProject.h"
#include "app/zuFolders.h"
#include "http/zuHTTPModule.h"
#include "projects/zuProjectManager.h"
#include "projects/zuProjectOptionsDialog.h"
#include "projects/zuProjects.h"

#include "Platform/core/QtBridge.h"

#include <QComboBox>
#include <QLineEdit>
#include <QMenuBar>
#include <QToolBar>

#include <algorithm>
#include <deque>
#include <functional>

namespace {

// An answer to a modal dialog; its return value is the dialog's result.
using TDialogAnswer = std::function<int(QDialog& dialog)>;

struct ProjectCommandsTest : ShellTest {
    void SetUp() override
    {
        ShellTest::SetUp();
        Dir.Write("www/a.html", "first site");
        Dir.Write("www2/page.html", "second site");
        Setting("HTTPServer", "Port", "0");
        Setting("HTTPServer", "ServerURL", "http://127.0.0.1:8080/");
        Setting("HTTPServer", "DocumentPath", Dir.File("www2"));
        Project = AddProject("First", 0, Dir.File("www"));
        Setting("Application", "Project", GUIDToString(Project));
    }

    void TearDown() override
    {
        Server.reset();
        HTTPModule = nullptr;
        ShellTest::TearDown();
    }

    // A project section written before the start.
    TGUID AddProject(const std::string& name, int choice, const std::string& localPath)
    {
        const TGUID project = CreateGUID();
        ForceDirectories(UserFile(""));
        TIniFileEx projects(UserFile("projects.dat"));
        projects.WriteString(ProjectSection(project), "ProjectName", name);
        projects.WriteInteger(ProjectSection(project), "HTTPServer", choice);
        if (!localPath.empty())
            projects.WriteString(ProjectSection(project), "LocalPath", localPath);
        return project;
    }

    // Starts as the program does: main window, server module (which opens the saved project),
    // editor module; every modal dialog goes to the next prepared answer.
    void StartWithServer()
    {
        Start();
        Server = std::make_unique<THTTPModule>();
        HTTPModule = Server.get();
        TMainForm* form = Form.get();
        Server->ProjectHostSource = [form] { return form->ProjectLocalHost(); };
        Server->HostResolvesToLoopback = [](const std::string& host) { return host == "mysite.test"; };
        Server->DataModuleCreate(*SettingsFile, *Form->CurrentProject, "", DataFolder);
        Form->ModalHook = [this](QDialog& dialog) {
            if (DialogAnswers.empty()) {
                ADD_FAILURE() << "unexpected dialog " << StdStr(dialog.windowTitle());
                return int(QDialog::Rejected);
            }
            const TDialogAnswer answer = DialogAnswers.front();
            DialogAnswers.pop_front();
            return answer(dialog);
        };
    }

    TGUID Current() const { return Form->CurrentProject->CurrentProject(); }
    std::string Root() const { return Form->CurrentProject->DocumentRoot(); }
    std::string ProjectsBytes() const { return ReadWholeFile(UserFile("projects.dat")); }
    std::string URLFor(const std::string& file)
    {
        Open(file);
        return Form->ScriptURL();
    }
    std::string InternalURL(const std::string& host, const std::string& path) const
    {
        return "http://" + host + ":" + std::to_string(Server->BoundPort()) + path;
    }

    // Fills an options dialog with a valid project and applies it.
    static int Apply(QDialog& dialog, const std::string& name, int choice, const std::string& url,
                     const std::string& path)
    {
        auto& form = dynamic_cast<TProjectOptionsForm&>(dialog);
        form.edProjectName->setText(QStr(name));
        form.cmbxHTTPServer->setCurrentIndex(choice);
        if (choice != psNone) {
            form.edLocalURL->setText(QStr(url));
            form.edLocalPath->setText(QStr(path));
        }
        EXPECT_TRUE(form.DoApply());
        return form.result();
    }

    TGUID Project;
    std::unique_ptr<THTTPModule> Server;
    std::deque<TDialogAnswer> DialogAnswers;
};

} // namespace

TEST_F(ProjectCommandsTest, TheCommandsSitInTheFileAndProjectMenusAndOnTheToolBar)
{
    Start();
    EXPECT_EQ(Form->acProjectOptions->Caption(), "Project Options...");
    EXPECT_EQ(Form->acNewProject->Caption(), "New Project...");
    EXPECT_EQ(Form->acOpenProject->Caption(), "Open Project");
    EXPECT_EQ(Form->acProjectOptions->shortcut(), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F11));
    EXPECT_EQ(Form->acNewProject->ShortCut(), scNone);
    EXPECT_EQ(Form->acOpenProject->ShortCut(), scNone);
    EXPECT_FALSE(Form->acProjectOptions->icon().isNull());

    std::vector<std::string> menus;
    QMenu* file = nullptr;
    QMenu* project = nullptr;
    for (QAction* entry : Form->menuBar()->actions()) {
        menus.push_back(StdStr(entry->text()));
        if (entry->text() == "&File")
            file = entry->menu();
        if (entry->text() == "&Project")
            project = entry->menu();
    }
    EXPECT_EQ(menus, (std::vector<std::string>{"&File", "&Edit", "&Search", "&View", "&Insert", "&Project", "&Run",
                                                "&Tools", "&Window", "&Help"}));
    ASSERT_TRUE(file && project);
    const QList<QAction*> entries = file->actions();
    ASSERT_GE(entries.size(), 4);
    EXPECT_TRUE(entries[0]->text().startsWith("&New..."));
    EXPECT_TRUE(entries[1]->text().startsWith("&Open..."));
    EXPECT_EQ(entries[2], Form->acNewProject);
    EXPECT_EQ(entries[3], Form->acOpenProject);
    EXPECT_EQ(project->actions(), QList<QAction*>{Form->acProjectOptions});
    EXPECT_TRUE(Form->findChild<QToolBar*>(QStringLiteral("ToolBar"))->actions().contains(Form->acProjectOptions));

    // They need no document.
    EXPECT_EQ(Form->DocumentCount, 0);
    for (TAction* action : {Form->acProjectOptions, Form->acNewProject, Form->acOpenProject})
        EXPECT_TRUE(action->Enabled()) << action->Name();
}

TEST_F(ProjectCommandsTest, TheKeyMapAppliesToTheProjectCommands)
{
    ForceDirectories(UserFile(""));
    TIniFileEx keymap(UserFile("keymap.dat"));
    keymap.WriteInteger("Keymap", "acProjectOptions", 0);
    keymap.WriteInteger("Keymap", "acOpenProject", ShortCut('P', TShiftState{ssCtrl, ssAlt}));
    Start();
    EXPECT_TRUE(Form->acProjectOptions->shortcut().isEmpty());
    EXPECT_EQ(Form->acOpenProject->shortcut(), QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_P));
    EXPECT_EQ(Form->acNewProject->ShortCut(), scNone);
}

TEST_F(ProjectCommandsTest, TheShortcutShowsTheOptionsOfTheCurrentProjectModally)
{
    StartWithServer();
    ASSERT_EQ(Current(), Project);
    const std::string before = ProjectsBytes();
    DialogAnswers = {[&](QDialog& dialog) {
        auto* form = dynamic_cast<TProjectOptionsForm*>(&dialog);
        EXPECT_NE(form, nullptr);
        if (!form)
            return int(QDialog::Rejected);
        EXPECT_TRUE(form->isModal());
        EXPECT_EQ(form->parentWidget(), Form.get());
        EXPECT_EQ(form->LoadedProject(), Project);
        EXPECT_EQ(StdStr(form->edProjectName->text()), "First");
        EXPECT_EQ(StdStr(form->edLocalPath->text()), Dir.File("www"));
        form->edProjectName->setText("typed, then cancelled");
        return int(QDialog::Rejected);
    }};
    Form->activateWindow();
    QApplication::setActiveWindow(Form.get());
    QTest::keyClick(Form->MDIArea, Qt::Key_F11, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_TRUE(DialogAnswers.empty()) << "the shortcut showed no dialog";
    EXPECT_EQ(ProjectsBytes(), before);
    EXPECT_EQ(Current(), Project);
}

TEST_F(ProjectCommandsTest, ProjectOptionsEditTheCurrentProjectAndTheRunURLFollows)
{
    StartWithServer();
    ASSERT_TRUE(Server->Active());
    EXPECT_EQ(Root(), Dir.File("www") + "/");
    EXPECT_EQ(URLFor(Dir.File("www2/page.html")).find("http://127.0.0.1:"), 0u) << "the default local URL";

    DialogAnswers = {[&](QDialog& dialog) {
        return Apply(dialog, "First, moved", psInternal, "http://mysite.test/app/", Dir.File("www2"));
    }};
    Form->acProjectOptions->Execute();
    ASSERT_TRUE(DialogAnswers.empty());
    EXPECT_EQ(Current(), Project) << "the same project, edited";
    TIniFileEx projects(UserFile("projects.dat"));
    EXPECT_EQ(projects.ReadString(ProjectSection(Project), "ProjectName", ""), "First, moved");
    EXPECT_EQ(projects.ReadString(ProjectSection(Project), "LocalPath", ""), Dir.File("www2"));
    EXPECT_EQ(ReadProjectList(projects).size(), 1u);

    EXPECT_EQ(Root(), Dir.File("www2") + "/");
    ASSERT_TRUE(Server->Active());
    EXPECT_EQ(Server->ServerValues().ProjectHost, "mysite.test");
    EXPECT_EQ(URLFor(Dir.File("www2/page.html")), InternalURL("mysite.test", "/app/page.html"));
    // The server serves the new root, and to the new project host.
    const int port = Server->BoundPort();
    EXPECT_EQ(HttpGet(port, "/page.html").Body, "second site");
    const THttpReply named =
        SendRaw(port, "GET /page.html HTTP/1.1\r\nHost: mysite.test:" + std::to_string(port) + "\r\n\r\n");
    EXPECT_EQ(named.Status, 200);
    EXPECT_EQ(named.Body, "second site");
}

TEST_F(ProjectCommandsTest, NewProjectCancelledWritesNothingAndConfirmedBecomesCurrent)
{
    StartWithServer();
    const std::string before = ProjectsBytes();
    TGUID offered;
    DialogAnswers = {[&](QDialog& dialog) {
        auto& form = dynamic_cast<TProjectOptionsForm&>(dialog);
        offered = form.LoadedProject();
        EXPECT_EQ(StdStr(form.edProjectName->text()), "Untitled Project");
        EXPECT_EQ(form.parentWidget(), Form.get());
        form.edProjectName->setText("Not kept");
        return int(QDialog::Rejected);
    }};
    Form->acNewProject->Execute();
    ASSERT_TRUE(DialogAnswers.empty());
    EXPECT_NE(offered, NullGUID);
    EXPECT_NE(offered, Project);
    EXPECT_EQ(ProjectsBytes(), before);
    EXPECT_EQ(Current(), Project);
    EXPECT_TRUE(Server->Active());

    // A project without a server: current, the server stops, the folder text stays.
    TGUID made;
    DialogAnswers = {[&](QDialog& dialog) {
        made = dynamic_cast<TProjectOptionsForm&>(dialog).LoadedProject();
        return Apply(dialog, "Static", psNone, "", "");
    }};
    Form->acNewProject->Execute();
    EXPECT_NE(made, Project);
    EXPECT_EQ(Current(), made);
    EXPECT_FALSE(Server->Active());
    EXPECT_EQ(Root(), Dir.File("www") + "/");
    EXPECT_EQ(URLFor(Dir.File("www/a.html")), "file://" + Dir.File("www/a.html"));

    // A project on the internal server: the server starts again on the new root.
    DialogAnswers = {[&](QDialog& dialog) {
        made = dynamic_cast<TProjectOptionsForm&>(dialog).LoadedProject();
        return Apply(dialog, "Served", psInternal, "http://127.0.0.1", Dir.File("www2"));
    }};
    Form->acNewProject->Execute();
    EXPECT_EQ(Current(), made);
    ASSERT_TRUE(Server->Active());
    EXPECT_EQ(Root(), Dir.File("www2") + "/");
    EXPECT_EQ(URLFor(Dir.File("www2/page.html")), InternalURL("127.0.0.1", "/page.html"));
    EXPECT_EQ(HttpGet(Server->BoundPort(), "/page.html").Body, "second site");

    TIniFileEx projects(UserFile("projects.dat"));
    std::vector<std::string> names;
    for (const TProjectListEntry& entry : ReadProjectList(projects))
        names.push_back(entry.Name);
    EXPECT_EQ(names, (std::vector<std::string>{"First", "Static", "Served"}));

    // The current project is recorded at exit.
    Server.reset();
    HTTPModule = nullptr;
    Stop();
    EXPECT_EQ(TIniFileEx(UserFile("Zentupad.dat")).ReadString("Application", "Project", ""), GUIDToString(made));
}

TEST_F(ProjectCommandsTest, OpenProjectSwitchesTheCurrentProjectAndTheServerFollows)
{
    const TGUID shared = AddProject("Shared server", psThirdParty, "");
    const TGUID none = AddProject("No server", psNone, "");
    StartWithServer();
    const std::string page = Dir.File("www2/page.html");
    struct Case {
        TGUID project;
        bool serverActive;
        std::string root;
        std::string url; // of www2/page.html; "" for the internal server's
    };
    const std::vector<Case> cases = {
        {shared, false, Dir.File("www2") + "/", "http://127.0.0.1:8080/page.html"},
        {none, false, Dir.File("www2") + "/", "file://" + page},
        {Project, true, Dir.File("www") + "/", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(GUIDToString(c.project));
        DialogAnswers = {[&](QDialog& dialog) {
            auto& manager = dynamic_cast<TProjectManagerForm&>(dialog);
            EXPECT_TRUE(manager.isModal());
            EXPECT_EQ(manager.ProjectNames(), (std::vector<std::string>{"First", "Shared server", "No server"}));
            const std::vector<TGUID> ids = manager.ProjectIDs();
            const auto row = std::find(ids.begin(), ids.end(), c.project);
            EXPECT_NE(row, ids.end());
            manager.SelectRow(static_cast<int>(row - ids.begin()));
            manager.DoOpenProject();
            return manager.result();
        }};
        Form->acOpenProject->Execute();
        ASSERT_TRUE(DialogAnswers.empty());
        EXPECT_EQ(Current(), c.project);
        EXPECT_EQ(Server->Active(), c.serverActive);
        EXPECT_EQ(Root(), c.root);
        const std::string url = URLFor(page);
        if (c.url.empty())
            EXPECT_EQ(url.find(InternalURL("127.0.0.1", "/")), 0u) << url;
        else
            EXPECT_EQ(url, c.url);
    }
    EXPECT_EQ(HttpGet(Server->BoundPort(), "/a.html").Body, "first site");
}

TEST_F(ProjectCommandsTest, TheManagersOptionsDialogsAnswerThroughTheSameSeam)
{
    StartWithServer();
    TGUID made;
    DialogAnswers = {
        [&](QDialog& dialog) {
            auto& manager = dynamic_cast<TProjectManagerForm&>(dialog);
            manager.DoNewProject(); // the next answer fills the options dialog
            EXPECT_EQ(manager.ProjectNames(), (std::vector<std::string>{"First", "From the manager"}));
            return int(QDialog::Rejected); // "Close"
        },
        [&](QDialog& dialog) {
            made = dynamic_cast<TProjectOptionsForm&>(dialog).LoadedProject();
            return Apply(dialog, "From the manager", psInternal, "http://127.0.0.1", Dir.File("www2"));
        },
    };
    Form->acOpenProject->Execute();
    EXPECT_TRUE(DialogAnswers.empty());
    EXPECT_EQ(Current(), made) << "Apply made the new project current";
    EXPECT_EQ(Root(), Dir.File("www2") + "/");
    EXPECT_TRUE(Server->Active());
}

TEST_F(ProjectCommandsTest, ASectionNameThatIsNoGuidStopsTheManagerWithTheConversionMessage)
{
    TIniFileEx(UserFile("projects.dat")).WriteString("broken", "ProjectName", "Hand-made");
    StartWithServer();
    Answers = {IDOK};
    Form->acOpenProject->trigger(); // as the menu does: the error ends at the event boundary
    EXPECT_EQ(QuestionTexts(), std::vector<std::string>{"'broken' is not a valid GUID value."});
    EXPECT_EQ(Current(), Project);
    EXPECT_TRUE(Server->Active());
}
