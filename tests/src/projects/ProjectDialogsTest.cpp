// The project options dialog and the project manager, driven without showing them: what a
// project loads as, switching the server choice, validation with red fields, what Apply
// writes, FTP account rows, and the manager's list, removal, opening and new projects.

#include "projects/zuCurrentProject.h"
#include "projects/zuProjectManager.h"
#include "projects/zuProjectOptionsDialog.h"
#include "projects/zuProjects.h"

#include "settings/zentuIniFiles.h"

#include "support/TempDir.h"

#include "Platform/files/FileNames.h"
#include "Platform/core/QtBridge.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

class ProjectDialogsTest : public ::testing::Test {
protected:
    ProjectDialogsTest()
        : Projects(Dir.File("projects.dat")), Settings(Dir.File("Zentupad.dat")), Accounts(Dir.File("ftp.dat")),
          ProjectFolder(Dir.Path() + "/project/"), Current(Projects, Settings, ProjectFolder)
    {
        ForceDirectories(ProjectFolder);
        Services.Projects = &Projects;
        Services.Settings = &Settings;
        Services.FTPAccounts = &Accounts;
        Services.ProjectFolder = ProjectFolder;
        Services.CurrentProject = &Current;
    }

    std::string Folder(const std::string& name)
    {
        const std::string path = Dir.Path() + "/" + name;
        ForceDirectories(path);
        return path;
    }

    std::string Read(const TGUID& project, const std::string& key)
    {
        return Projects.ReadString(ProjectSection(project), key, "(missing)");
    }

    std::string Files() { return ReadWholeFile(Projects.FileName()) + "|" + ReadWholeFile(Settings.FileName()); }

    static void Fill(TProjectOptionsForm& form, const std::string& name, int choice, const std::string& url,
                     const std::string& path)
    {
        form.edProjectName->setText(QStr(name));
        form.cmbxHTTPServer->setCurrentIndex(choice);
        if (choice != 2) {
            form.edLocalURL->setText(QStr(url));
            form.edLocalPath->setText(QStr(path));
        }
        form.edRemoteURL->setText("http://www.example.invalid");
        form.edRemotePath->setText("/htdocs/");
    }

    TempDir Dir;
    TIniFileEx Projects;
    TIniFileEx Settings;
    TIniFileEx Accounts;
    std::string ProjectFolder;
    TCurrentProject Current;
    TProjectServices Services;
};

std::string Text(const QLineEdit* edit)
{
    return StdStr(edit->text());
}

} // namespace

TEST_F(ProjectDialogsTest, ANewProjectLoadsWithTheDialogDefaults)
{
    TProjectOptionsForm form(Services);
    EXPECT_EQ(form.windowTitle(), "Project Options");
    const TGUID project = CreateGUID();
    form.LoadProject(project);
    EXPECT_EQ(form.LoadedProject(), project);
    EXPECT_EQ(Text(form.edProjectName), "Untitled Project");
    EXPECT_EQ(form.cmbxHTTPServer->currentIndex(), 0);
    EXPECT_EQ(Text(form.edLocalURL), "http://127.0.0.1");
    EXPECT_EQ(Text(form.edLocalPath), ProjectFolder);
    EXPECT_EQ(Text(form.edRemoteURL), "http://www.");
    EXPECT_EQ(Text(form.edRemotePath), "/public_html/");
    EXPECT_EQ(form.cmbxFTPAccount->currentText(), "-- None --");
    EXPECT_EQ(form.Account(), NullGUID);

    // Loading the loaded project again keeps what was typed.
    form.edProjectName->setText("typed");
    form.LoadProject(project);
    EXPECT_EQ(Text(form.edProjectName), "typed");
}

TEST_F(ProjectDialogsTest, SwitchingTheServerChoiceKeepsWhatWasTypedForEach)
{
    Settings.WriteString("HTTPServer", "ServerURL", "http://127.0.0.1:8080/");
    TProjectOptionsForm form(Services);
    form.LoadProject(CreateGUID());
    form.edLocalURL->setText("http://own");
    form.cmbxHTTPServer->setCurrentIndex(1);
    EXPECT_EQ(Text(form.edLocalURL), "http://127.0.0.1:8080/");
    EXPECT_EQ(Text(form.edLocalPath), ProjectFolder);
    form.edLocalURL->setText("http://shared");
    form.cmbxHTTPServer->setCurrentIndex(2);
    EXPECT_EQ(Text(form.edLocalURL), "");
    EXPECT_FALSE(form.edLocalURL->isEnabled());
    EXPECT_FALSE(form.edLocalPath->isEnabled());
    form.cmbxHTTPServer->setCurrentIndex(0);
    EXPECT_EQ(Text(form.edLocalURL), "http://own");
    EXPECT_TRUE(form.edLocalURL->isEnabled());
    form.cmbxHTTPServer->setCurrentIndex(1);
    EXPECT_EQ(Text(form.edLocalURL), "http://shared");
}

TEST_F(ProjectDialogsTest, InvalidFieldsAreRedAndNothingIsWritten)
{
    const std::string folder = Folder("site");
    struct Case {
        std::string name;
        int choice;
        std::string url, path, remoteURL, remotePath;
        std::vector<QLineEdit* TProjectOptionsForm::*> red;
    };
    const std::vector<Case> cases = {
        {"", 0, "http://x", folder, "r", "/", {&TProjectOptionsForm::edProjectName}},
        {"n", 0, "", Dir.Path() + "/missing", "r", "/", {&TProjectOptionsForm::edLocalURL, &TProjectOptionsForm::edLocalPath}},
        {"n", 1, "http://x", "", "r", "/", {&TProjectOptionsForm::edLocalPath}},
        {"n", 2, "", "", "", "", {&TProjectOptionsForm::edRemoteURL, &TProjectOptionsForm::edRemotePath}},
    };
    const std::vector<QLineEdit* TProjectOptionsForm::*> all = {
        &TProjectOptionsForm::edProjectName, &TProjectOptionsForm::edLocalURL, &TProjectOptionsForm::edLocalPath,
        &TProjectOptionsForm::edRemoteURL, &TProjectOptionsForm::edRemotePath};
    for (size_t i = 0; i < cases.size(); ++i) {
        const Case& c = cases[i];
        SCOPED_TRACE(i);
        const std::string before = Files();
        TProjectOptionsForm form(Services);
        form.LoadProject(CreateGUID());
        form.edProjectName->setText(QStr(c.name));
        form.cmbxHTTPServer->setCurrentIndex(c.choice);
        if (c.choice != 2) {
            form.edLocalURL->setText(QStr(c.url));
            form.edLocalPath->setText(QStr(c.path));
        }
        form.edRemoteURL->setText(QStr(c.remoteURL));
        form.edRemotePath->setText(QStr(c.remotePath));
        EXPECT_FALSE(form.DoApply());
        EXPECT_EQ(form.result(), 0);
        for (QLineEdit* TProjectOptionsForm::*field : all) {
            const bool red = std::find(c.red.begin(), c.red.end(), field) != c.red.end();
            EXPECT_EQ(form.FieldColor(form.*field), red ? TColor(255) : clWindow) << StdStr((form.*field)->objectName());
        }
        EXPECT_EQ(Files(), before);
        EXPECT_EQ(Current.CurrentProject(), NullGUID);

        // Entering a red field makes it normal and shows its hint in the header.
        QLineEdit* first = form.*(c.red.front());
        form.DoEnter(first);
        EXPECT_EQ(form.FieldColor(first), clWindow);
        EXPECT_EQ(form.HeaderComment(), StdStr(first->toolTip()));
    }
}

TEST_F(ProjectDialogsTest, ApplyWritesTheProjectByItsChoiceAndOpensIt)
{
    const std::string folder = Folder("site");
    struct Case {
        int choice;
        bool localKeys;
        bool sharedKeys;
    };
    for (const Case c : {Case{0, true, false}, Case{1, false, true}, Case{2, false, false}}) {
        SCOPED_TRACE(c.choice);
        Settings.EraseSection("HTTPServer");
        const TGUID project = CreateGUID();
        TProjectOptionsForm form(Services);
        form.LoadProject(project);
        Fill(form, "Shop", c.choice, "http://localhost/shop", folder);
        ASSERT_TRUE(form.DoApply());
        EXPECT_EQ(form.result(), QDialog::Accepted);
        EXPECT_EQ(Read(project, "ProjectName"), "Shop");
        EXPECT_EQ(Read(project, "RemoteURL"), "http://www.example.invalid");
        EXPECT_EQ(Read(project, "RemotePath"), "/htdocs/");
        EXPECT_EQ(Read(project, "FTPAccount"), GUIDToString(NullGUID));
        EXPECT_EQ(Read(project, "HTTPServer"), std::to_string(c.choice));
        EXPECT_EQ(Read(project, "LocalURL"), c.localKeys ? "http://localhost/shop" : "(missing)");
        EXPECT_EQ(Settings.ReadString("HTTPServer", "ServerURL", "(missing)"),
                  c.sharedKeys ? "http://localhost/shop" : "(missing)");
        EXPECT_EQ(Settings.ReadString("HTTPServer", "DocumentPath", "(missing)"), c.sharedKeys ? folder : "(missing)");
        EXPECT_EQ(Current.CurrentProject(), project);
    }
}

TEST_F(ProjectDialogsTest, AnUnsavedProjectGetsItsGuidOnApply)
{
    TProjectOptionsForm form(Services);
    Fill(form, "Fresh", 0, "http://x", Folder("fresh"));
    ASSERT_TRUE(form.DoApply());
    ASSERT_NE(form.LoadedProject(), NullGUID);
    EXPECT_EQ(Read(form.LoadedProject(), "ProjectName"), "Fresh");
}

TEST_F(ProjectDialogsTest, AccountRowsAndEditingAnAccount)
{
    const TGUID first = CreateGUID(), second = CreateGUID();
    Accounts.WriteString(GUIDToString(first), "Name", "Main host");
    Accounts.WriteString(GUIDToString(second), "Host", "ftp.example.invalid");
    const TGUID project = CreateGUID();
    Projects.WriteString(ProjectSection(project), "FTPAccount", GUIDToString(second));

    TGUID edited;
    bool answer = true;
    Services.EditFTPAccount = [&](const TGUID& account, QWidget*) {
        edited = account;
        if (answer)
            Accounts.WriteString(GUIDToString(account), "Name", "Made in the dialog");
        return answer;
    };
    TProjectOptionsForm form(Services);
    form.LoadProject(project);
    ASSERT_EQ(form.cmbxFTPAccount->count(), 3);
    EXPECT_EQ(form.cmbxFTPAccount->itemText(1), "Main host");
    EXPECT_EQ(form.cmbxFTPAccount->itemText(2), "Untitled");
    EXPECT_EQ(form.cmbxFTPAccount->currentIndex(), 2);
    EXPECT_EQ(form.Account(), second);
    EXPECT_TRUE(form.btnEditAccount->isEnabled());

    // "-- None --" then "...": a new account, selected once the dialog says OK.
    form.cmbxFTPAccount->setCurrentIndex(0);
    EXPECT_EQ(form.Account(), NullGUID);
    form.DoEditFTPAccount();
    ASSERT_NE(edited, NullGUID);
    EXPECT_EQ(form.Account(), edited);
    EXPECT_EQ(form.cmbxFTPAccount->currentText(), "Made in the dialog");

    // A cancelled account dialog leaves no account.
    answer = false;
    form.DoEditFTPAccount();
    EXPECT_EQ(form.Account(), NullGUID);

    form.cmbxFTPAccount->setCurrentIndex(1);
    Fill(form, "With account", 2, "", "");
    ASSERT_TRUE(form.DoApply());
    EXPECT_EQ(Read(project, "FTPAccount"), GUIDToString(first));
}

TEST_F(ProjectDialogsTest, WithoutAnAccountDialogTheButtonIsOff)
{
    TProjectOptionsForm form(Services);
    EXPECT_FALSE(form.btnEditAccount->isEnabled());
}

TEST_F(ProjectDialogsTest, TheManagerListsRemovesAndOpensProjects)
{
    const TGUID a = CreateGUID(), b = CreateGUID();
    Projects.WriteString(ProjectSection(a), "ProjectName", "Alpha");
    Projects.WriteInteger(ProjectSection(b), "HTTPServer", 2);
    TProjectManagerForm manager(Services);
    EXPECT_EQ(manager.ProjectNames(), (std::vector<std::string>{"Alpha", "Untitled Project"}));
    EXPECT_EQ(manager.ProjectIDs(), (std::vector<TGUID>{a, b}));

    // Without a selection the commands do nothing.
    manager.DoRemoveProject();
    manager.DoOpenProject();
    EXPECT_EQ(manager.ProjectIDs().size(), 2u);
    EXPECT_EQ(manager.result(), 0);

    manager.SelectRow(1);
    manager.DoOpenProject();
    EXPECT_EQ(Current.CurrentProject(), b);
    EXPECT_EQ(manager.result(), QDialog::Accepted);

    // Removing the current project leaves it current.
    manager.SelectRow(1);
    manager.DoRemoveProject();
    EXPECT_EQ(manager.ProjectIDs(), (std::vector<TGUID>{a}));
    EXPECT_FALSE(Projects.SectionExists(ProjectSection(b)));
    EXPECT_EQ(Current.CurrentProject(), b);
}

TEST_F(ProjectDialogsTest, NewAndEditGoThroughTheOptionsDialog)
{
    const std::string folder = Folder("site");
    TProjectManagerForm manager(Services);
    int shown = 0;
    bool apply = false;
    TGUID seen;
    manager.ExecuteOptions = [&](TProjectOptionsForm& dialog) {
        ++shown;
        seen = dialog.LoadedProject();
        if (!apply)
            return static_cast<int>(QDialog::Rejected);
        Fill(dialog, "Made", 0, "http://x", folder);
        return dialog.DoApply() ? static_cast<int>(QDialog::Accepted) : static_cast<int>(QDialog::Rejected);
    };

    const std::string before = Files();
    manager.DoNewProject();
    EXPECT_EQ(shown, 1);
    EXPECT_NE(seen, NullGUID);
    EXPECT_EQ(Files(), before);
    EXPECT_TRUE(manager.ProjectIDs().empty());

    apply = true;
    manager.DoNewProject();
    ASSERT_EQ(manager.ProjectIDs(), std::vector<TGUID>{seen});
    EXPECT_EQ(manager.ProjectNames(), std::vector<std::string>{"Made"});
    EXPECT_EQ(Current.CurrentProject(), seen);

    manager.SelectRow(0);
    manager.DoEditProject();
    EXPECT_EQ(shown, 3);
    EXPECT_EQ(seen, manager.ProjectIDs().front());
}

TEST_F(ProjectDialogsTest, TheNewProjectCommandOpensWhatTheDialogMade)
{
    const std::string folder = Folder("site");
    const std::string before = Files();
    EXPECT_FALSE(ExecuteNewProject(Services, nullptr, [](TProjectOptionsForm&) { return int(QDialog::Rejected); }));
    EXPECT_EQ(Files(), before);
    TGUID made;
    EXPECT_TRUE(ExecuteNewProject(Services, nullptr, [&](TProjectOptionsForm& dialog) {
        Fill(dialog, "Via command", 0, "http://x", folder);
        made = dialog.LoadedProject();
        return dialog.DoApply() ? int(QDialog::Accepted) : int(QDialog::Rejected);
    }));
    EXPECT_EQ(Current.CurrentProject(), made);
    EXPECT_EQ(Read(made, "ProjectName"), "Via command");
}

TEST_F(ProjectDialogsTest, RowsAreDrawnWithIconTextAndSeparator)
{
    Projects.WriteString(ProjectSection(CreateGUID()), "ProjectName", "Drawn");
    TProjectManagerForm manager(Services);
    manager.resize(400, 200);
    manager.show();
    QCoreApplication::processEvents();
    const QImage image = manager.ProjectList->viewport()->grab().toImage();
    manager.hide();
    const QRect row = manager.ProjectList->visualItemRect(manager.ProjectList->item(0));
    EXPECT_EQ(row.height(), 22);
    EXPECT_EQ(image.pixelColor(row.width() / 2, row.bottom()), QColor(0xC0, 0xC0, 0xC0));
    // The icon sits 10 pixels in; the text starts after it.
    bool iconPainted = false;
    for (int x = 10; x < 26; ++x)
        for (int y = row.top() + 1; y < row.top() + 17; ++y)
            iconPainted = iconPainted || image.pixelColor(x, y) != image.pixelColor(2, row.top() + 5);
    EXPECT_TRUE(iconPainted);
}
