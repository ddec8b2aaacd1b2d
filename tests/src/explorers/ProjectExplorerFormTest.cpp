// The project explorer over temporary folders and pyftpdlib on 127.0.0.1: the local view shows
// the current project's folder through the filter box and follows a change of project, files
// open as documents from both views, the remote view lists the project's remote folder over a
// connection of its own, and a project without an FTP account asks for its options instead.

#include "src/explorers/ExplorerTestSupport.h"
#include "src/ftp/FtpTestSupport.h"

#include "explorers/zuProjectExplorerForm.h"
#include "ftp/explorer/zuFTPExplorerForm.h"
#include "ftp/zuFTPAccounts.h"
#include "ftp/zuFTPModule.h"
#include "projects/zuCurrentProject.h"
#include "projects/zuProjects.h"
#include "settings/zentuIniFiles.h"

#include "ShellBrowsing/Source/explorer/ExplorerViews.h"

#include "ExLib/run/docking/vsnet/ExDockVSNetStyle.h"
#include "Platform/controls/FilterComboBox.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QStackedWidget>

#include <gtest/gtest.h>

namespace {

struct TRemoteOpen {
    std::string RemotePath;
    std::string Bytes;
    TGUID Account;
};

class ProjectExplorerTest : public ::testing::Test {
protected:
    ProjectExplorerTest()
        : Projects(Server.Dir.File("projects.dat")), Accounts(Server.Dir.File("ftp.dat")),
          Settings(Server.Dir.File("Zentupad.dat")), Module(Accounts, Settings),
          Current(Projects, Settings, Server.Dir.File("default") + "/")
    {
        FTPModule = &Module;
        Server.Dir.Write("one/index.php", "<?php");
        Server.Dir.Write("one/lib.inc", "<?php");
        Server.Dir.Write("one/notes.txt", "notes");
        Server.Dir.Write("one/css/site.css", "p {}");
        Server.Dir.Write("two/other.php", "<?php");
        QFile::link(QString::fromStdString(Server.Dir.File("one/index.php")),
                    QString::fromStdString(Server.Dir.File("one/alias.php")));
        ProjectOne = AddProject("one", NullGUID);
        ProjectTwo = AddProject("two", NullGUID);
        Style = new TExDockVSNetStyle(&Owner);
        TProjectExplorerServices services;
        services.Project = &Current;
        services.Projects = &Projects;
        services.FTPAccounts = &Accounts;
        services.Settings = &Settings;
        services.OpenFile = [this](const std::string& path) { Opened.push_back(path); };
        services.OpenRemoteFile = [this](const std::string& copy, const std::string& remotePath, const TGUID& account) {
            RemoteOpened.push_back({remotePath, ReadWholeFile(copy), account});
        };
        services.ProjectOptions = [this] { ++OptionsShown; };
        Form = std::make_unique<TProjectExplorerForm>(Style, services);
        Form->resize(300, 600);
    }

    ~ProjectExplorerTest() override
    {
        Form.reset();
        FTPModule = nullptr;
    }

    TGUID AddProject(const std::string& folder, const TGUID& account)
    {
        const TGUID id = CreateGUID();
        WriteProjectString(Projects, id, ProjectKeys::ProjectName, folder);
        WriteProjectString(Projects, id, ProjectKeys::LocalPath, Server.Dir.File(folder));
        WriteProjectString(Projects, id, ProjectKeys::HTTPServer, "0");
        if (account != NullGUID) {
            WriteProjectString(Projects, id, ProjectKeys::FTPAccount, GUIDToString(account));
            WriteProjectString(Projects, id, ProjectKeys::RemotePath, "/www");
        }
        return id;
    }

    TGUID AddAccount()
    {
        const TGUID id = CreateGUID();
        TFTPAccount account;
        account.Name = "Test site";
        account.Host = "127.0.0.1";
        account.Rdir = "/elsewhere";
        account.User = "user";
        account.Pass = "secret";
        account.Port = Server.Peer->Port();
        WriteFTPAccount(Accounts, id, account);
        return id;
    }

    TFtpServerFixture Server;
    TIniFileEx Projects;
    TIniFileEx Accounts;
    TIniFileEx Settings;
    TFTPModule Module;
    TCurrentProject Current;
    TGUID ProjectOne;
    TGUID ProjectTwo;
    TExForm Owner{nullptr};
    TExDockVSNetStyle* Style;
    std::unique_ptr<TProjectExplorerForm> Form;
    std::vector<std::string> Opened;
    std::vector<TRemoteOpen> RemoteOpened;
    int OptionsShown = 0;
};

TEST_F(ProjectExplorerTest, TheLocalViewShowsTheCurrentProjectsFolderAndFollowsAChangeOfProject)
{
    Current.OpenProject(ProjectOne);
    EXPECT_EQ(Form->LocalPath->text().toStdString(), Server.Dir.File("one"));
    EXPECT_EQ(Form->LocalFolder(), Server.Dir.File("one"));
    EXPECT_EQ(ListedNames(*Form->LocalView),
              (std::vector<std::string>{"alias.php", "css", "index.php", "lib.inc", "notes.txt"}));
    Current.OpenProject(ProjectTwo);
    EXPECT_EQ(Form->LocalPath->text().toStdString(), Server.Dir.File("two"));
    EXPECT_EQ(ListedNames(*Form->LocalView), std::vector<std::string>{"other.php"});

    // A folder typed into the box becomes the project's folder.
    Form->LocalPath->setText(QString::fromStdString(Server.Dir.File("one/css")));
    emit Form->LocalPath->editingFinished();
    EXPECT_EQ(ListedNames(*Form->LocalView), std::vector<std::string>{"site.css"});
    EXPECT_EQ(ReadProjectString(Projects, ProjectTwo, ProjectKeys::LocalPath, ""), Server.Dir.File("one/css"));
}

TEST_F(ProjectExplorerTest, TheFilterKeepsFoldersAndTheFilesOfItsTypes)
{
    Current.OpenProject(ProjectOne);
    Form->SetFileFilter("All Supported Formats|*.php;*.inc;|All Formats|*.*");
    EXPECT_EQ(ListedNames(*Form->LocalView), (std::vector<std::string>{"alias.php", "css", "index.php", "lib.inc"}));
    Form->FilterEdit->setCurrentIndex(1);
    EXPECT_EQ(ListedNames(*Form->LocalView).size(), 5u);
}

TEST_F(ProjectExplorerTest, ExecutingALocalFileOpensItAndALinkOrFolderOpensNothing)
{
    Current.OpenProject(ProjectOne);
    TShellExplorerTreeview& view = *Form->LocalView;
    for (const char* name : {"alias.php", "css", "index.php"}) {
        PLazyNode node = NodeNamed(view, name);
        ASSERT_TRUE(node) << name;
        SelectOnly(view, node);
        view.ExecuteNode(node);
    }
    EXPECT_EQ(Opened, std::vector<std::string>{Server.Dir.File("one/index.php")});
}

TEST_F(ProjectExplorerTest, TheRemoteViewListsAndOpensTheProjectsRemoteFolder)
{
    const TGUID account = AddAccount();
    const TGUID project = AddProject("one", account);
    Server.WriteHome("www/page.php", "<?php echo 'remote';");
    Server.WriteHome("www/img/logo.txt", "logo");
    Server.WriteHome("elsewhere/wrong.php", "");
    Current.OpenProject(project);

    Form->FTPConnectExecute();
    TFTPExplorerForm& remote = *Form->RemoteView;
    ASSERT_TRUE(remote.Connected()) << ::testing::PrintToString(remote.LogLines());
    EXPECT_EQ(Form->ViewPort(), TProjectExplorerForm::vpRemote);
    EXPECT_EQ(Form->cmViewPort->currentText().toStdString(), "Remote View");
    EXPECT_EQ(remote.CurrentFolder(), "/www");
    std::vector<std::string> names = remote.RowNames();
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"img", "page.php"}));

    remote.SelectRows({"page.php"});
    remote.RemoteViewDblClick(remote.Row("page.php"));
    ASSERT_EQ(RemoteOpened.size(), 1u);
    EXPECT_EQ(RemoteOpened[0].RemotePath, "/www/page.php");
    EXPECT_EQ(RemoteOpened[0].Bytes, "<?php echo 'remote';");
    EXPECT_EQ(RemoteOpened[0].Account, account);

    remote.RemoteViewDblClick(remote.Row("img"));
    EXPECT_EQ(remote.RowNames(), std::vector<std::string>{"logo.txt"});

    Form->FTPConnectExecute();
    EXPECT_FALSE(remote.Connected());
    EXPECT_EQ(Form->ViewPort(), TProjectExplorerForm::vpLocal);
    EXPECT_TRUE(remote.RowNames().empty());
    EXPECT_EQ(OptionsShown, 0);
}

TEST_F(ProjectExplorerTest, AProjectWithoutAnAccountShowsItsOptionsInsteadOfConnecting)
{
    Current.OpenProject(ProjectOne);
    Form->FTPConnectExecute();
    EXPECT_EQ(OptionsShown, 1);
    EXPECT_FALSE(Form->RemoteView->Connected());
    Form->SetViewPort(TProjectExplorerForm::vpRemote);
    Form->RefreshExecute();
    EXPECT_EQ(OptionsShown, 2);
}

} // namespace
