// The FTP explorer against pyftpdlib on 127.0.0.1: connecting and listing, moving between
// folders and links, the file name field, opening files through private copies with the
// progress window, deleting, making folders, renaming, permissions, the keep-alive, the
// reconnect question, the filter and the account drop-down.

#include "src/ftp/FtpTestSupport.h"

#include "ftp/client/zuFTPErrors.h"
#include "ftp/explorer/zuFTPExplorerForm.h"
#include "ftp/explorer/zuFTPExplorerRow.h"
#include "ftp/explorer/zuFTPExplorerRows.h"
#include "ftp/explorer/zuFTPPermissionsForm.h"
#include "ftp/zuFTPAccounts.h"
#include "ftp/zuFTPManagerForm.h"
#include "ftp/zuFTPModule.h"
#include "ftp/zuProgressForm.h"

#include "settings/zentuIniFiles.h"
#include "settings/zuSettings.h"

#include "ExLib/run/edits/ExMemo.h"
#include "Platform/controls/ActnList.h"
#include "Platform/core/Application.h"
#include "Platform/core/QtBridge.h"

#include "support/WaitFor.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <deque>
#include <sys/stat.h>

namespace {

struct TOpened {
    std::string RemotePath;
    std::string Bytes;
    std::string Copy;
    // The mode of the folder above the copy's own folder.
    unsigned PrivateFolderMode = 0;
};

class FTPExplorerTest : public ::testing::Test {
protected:
    FTPExplorerTest()
        : Accounts(Server.Dir.File("ftp.dat")), Settings(Server.Dir.File("Zentupad.dat")), Module(Accounts, Settings)
    {
        FTPModule = &Module;
        Account = AddAccount("Test site", Server.Peer->Port(), "secret");
        QDir().mkpath(QStr(Server.HomeFile("www")));
        Explorer = std::make_unique<TFTPExplorerForm>(Accounts, Settings);
        Explorer->OnOpenRemoteFile = [this](const std::string& copy, const std::string& remotePath, const TGUID& account) {
            EXPECT_EQ(account, Account);
            struct stat info {};
            ::stat(QFileInfo(QFileInfo(QStr(copy)).absolutePath()).absolutePath().toStdString().c_str(), &info);
            Opened.push_back({remotePath, ReadWholeFile(copy), copy, info.st_mode & 07777u});
        };
        Explorer->ExecuteDialog = [this](QDialog& dialog) { return DialogHook ? DialogHook(dialog) : int(QDialog::Rejected); };
        Explorer->NameQuery.ExecuteHook = [this](TInputQuery& query) {
            if (Names.empty())
                return false;
            query.Value = Names.front();
            Names.pop_front();
            return true;
        };
        SavedHook = Application()->MessageBoxHook;
        Application()->MessageBoxHook = [this](const TMessageBoxRequest& request) {
            Questions.push_back(request.Text);
            if (Answers.empty()) {
                ADD_FAILURE() << "unexpected message box: " << request.Text;
                return int(IDCANCEL);
            }
            const int answer = Answers.front();
            Answers.pop_front();
            return answer;
        };
    }

    ~FTPExplorerTest() override
    {
        Application()->MessageBoxHook = SavedHook;
        EXPECT_TRUE(Answers.empty()) << "answers left over";
        Explorer.reset();
        FTPModule = nullptr;
    }

    TGUID AddAccount(const std::string& name, int port, const std::string& password)
    {
        const TGUID id = CreateGUID();
        TFTPAccount account;
        account.Name = name;
        account.Host = "127.0.0.1";
        account.Rdir = "/www";
        account.User = "user";
        account.Pass = password;
        account.Port = port;
        WriteFTPAccount(Accounts, id, account);
        return id;
    }

    void Connect(int mode = TFTPExplorerForm::dmExplorer)
    {
        Explorer->SetDialogMode(mode);
        Explorer->SelectAccount(Account);
        Explorer->FTPConnectExecute();
        ASSERT_TRUE(Explorer->Connected()) << Log();
    }

    std::string Log() const
    {
        std::string text;
        for (const std::string& line : Explorer->LogLines())
            text += line + "\n";
        return text;
    }

    bool Logged(const std::string& line) const
    {
        const std::vector<std::string> lines = Explorer->LogLines();
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }

    int Exceptions() const
    {
        int count = 0;
        for (const std::string& line : Explorer->LogLines())
            count += line.rfind("EXCEPTION:> ", 0) == 0;
        return count;
    }

    TFtpServerFixture Server;
    TIniFileEx Accounts;
    TIniFileEx Settings;
    TFTPModule Module;
    TGUID Account;
    std::unique_ptr<TFTPExplorerForm> Explorer;
    std::vector<TOpened> Opened;
    std::function<int(QDialog&)> DialogHook;
    std::deque<std::string> Names;
    std::deque<int> Answers;
    std::vector<std::string> Questions;
    std::function<int(const TMessageBoxRequest&)> SavedHook;
};

std::int64_t StatSize(const std::string& path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? info.st_size : -1;
}

unsigned Mode(const std::string& path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? info.st_mode & 0777u : 0;
}

TEST_F(FTPExplorerTest, ConnectListsTheAccountFolderWithFoldersFirst)
{
    QDir().mkpath(QStr(Server.HomeFile("www/src")));
    QDir().mkpath(QStr(Server.HomeFile("www/Images")));
    Server.WriteHome("www/c.php", std::string(100, 'c'));
    Server.WriteHome("www/a.txt", std::string(2000, 'a'));
    Server.WriteHome("www/B.css", std::string(3000, 'b'));
    Connect();
    EXPECT_EQ(Explorer->RowNames(), (std::vector<std::string>{"Images", "src", "a.txt", "B.css", "c.php"}));
    EXPECT_EQ(Explorer->CurrentFolder(), "/www");
    EXPECT_EQ(StdStr(Explorer->windowTitle()), "ftp://127.0.0.1/www");
    EXPECT_EQ(StdStr(Explorer->ItemsPanel->text()), "5 Items");
    const std::int64_t total = 5100 + StatSize(Server.HomeFile("www/src")) + StatSize(Server.HomeFile("www/Images"));
    EXPECT_EQ(StdStr(Explorer->SizePanel->text()), std::to_string(total / 1024) + " Kb");
    EXPECT_EQ(StdStr(Explorer->Row("a.txt")->text(fcSize)), "2000");
    EXPECT_EQ(StdStr(Explorer->Row("src")->text(fcSize)), "");
    EXPECT_EQ(StdStr(Explorer->Row("src")->text(fcType)), "Folder");

    // Connected: the commands that need the server work, the account is fixed.
    EXPECT_TRUE(Explorer->acRefresh->isEnabled());
    EXPECT_TRUE(Explorer->acCHMOD->isEnabled());
    EXPECT_FALSE(Explorer->acSessionManager->isEnabled());
    EXPECT_FALSE(Explorer->AccountBox->isEnabled());
    EXPECT_TRUE(Logged("COMMAND:> PASS *")) << Log();
    EXPECT_TRUE(Logged("COMMAND:> CWD /www")) << Log();
    EXPECT_TRUE(Logged("COMMAND:> LIST")) << Log();
    EXPECT_EQ(Log().find("secret"), std::string::npos) << Log();

    // A click on a header reverses the order; folders then come last.
    Explorer->RemoteViewColumnClick(fcFilename);
    EXPECT_EQ(Explorer->RowNames(), (std::vector<std::string>{"c.php", "B.css", "a.txt", "src", "Images"}));
    Explorer->RemoteViewColumnClick(fcSize);
    const std::vector<std::string> bySize = Explorer->RowNames();
    EXPECT_EQ(std::vector<std::string>(bySize.begin() + 2, bySize.end()),
              (std::vector<std::string>{"c.php", "a.txt", "B.css"})) << "ascending again, by size";

    // Connect again disconnects and clears the list, the log and the file name.
    Explorer->SetFileName("a.txt");
    Explorer->FTPConnectExecute();
    EXPECT_FALSE(Explorer->Connected());
    EXPECT_TRUE(Explorer->RowNames().empty());
    EXPECT_TRUE(Explorer->LogLines().empty());
    EXPECT_EQ(Explorer->FileName(), "");
    EXPECT_TRUE(Explorer->AccountBox->isEnabled());
    EXPECT_FALSE(Explorer->acRefresh->isEnabled());
}

TEST_F(FTPExplorerTest, FailedConnectionsAreLoggedWithoutThePassword)
{
    struct Case {
        const char* What;
        TGUID Account;
        int Exceptions;
    };
    const Case cases[] = {
        {"no account", NullGUID, 0},
        {"wrong password", AddAccount("Wrong", Server.Peer->Port(), "guessed-Pa55"), 1},
        {"no server", AddAccount("Gone", UnusedPort(), "guessed-Pa55"), 1},
    };
    for (const Case& c : cases) {
        Explorer->FTPConnectExecute();
        if (Explorer->Connected())
            Explorer->FTPConnectExecute();
        Explorer->TransferLog->Clear();
        Explorer->SelectAccount(c.Account);
        Explorer->FTPConnectExecute();
        EXPECT_FALSE(Explorer->Connected()) << c.What;
        EXPECT_EQ(Exceptions(), c.Exceptions) << c.What << "\n" << Log();
        EXPECT_EQ(Log().find("guessed-Pa55"), std::string::npos) << Log();
        EXPECT_TRUE(Explorer->RowNames().empty());
    }
}

TEST_F(FTPExplorerTest, FoldersAndLinksAreEnteredAndLeft)
{
    Server.WriteHome("www/sub/inner.php", "inner");
    Server.WriteHome("www/a.php", "<?php echo 'a';\n");
    ASSERT_EQ(::symlink("sub", Server.HomeFile("www/lsub").c_str()), 0);
    ASSERT_EQ(::symlink("a.php", Server.HomeFile("www/la").c_str()), 0);
    Connect(TFTPExplorerForm::dmOpen);
    EXPECT_EQ(StdStr(Explorer->Row("la")->text(fcType)), "-> a.php");

    Explorer->RemoteViewDblClick(Explorer->Row("sub"));
    EXPECT_EQ(Explorer->CurrentFolder(), "/www/sub");
    EXPECT_EQ(Explorer->RowNames(), std::vector<std::string>{"inner.php"});
    Explorer->SelectRows({"inner.php"});
    EXPECT_EQ(Explorer->FileName(), "inner.php");
    Explorer->ChangeParentDirExecute();
    EXPECT_EQ(Explorer->CurrentFolder(), "/www");
    EXPECT_EQ(Explorer->FileName(), "") << "the name picked in the old folder goes";

    // A link to a folder is entered; a link to a file is opened as a file in the Open mode.
    Explorer->RemoteViewDblClick(Explorer->Row("lsub"));
    EXPECT_EQ(Explorer->CurrentFolder(), "/www/lsub");
    Explorer->ChangeParentDirExecute();
    Explorer->RemoteViewDblClick(Explorer->Row("la"));
    ASSERT_EQ(Opened.size(), 1u) << Log();
    EXPECT_EQ(Opened[0].RemotePath, "/www/la");
    EXPECT_EQ(Opened[0].Bytes, "<?php echo 'a';\n");
    EXPECT_EQ(Explorer->CurrentFolder(), "/www");

    // A file row opens on a double-click, except where a name is chosen for saving.
    Explorer->SelectRows({"a.php"});
    Explorer->RemoteViewDblClick(Explorer->Row("a.php"));
    EXPECT_EQ(Opened.size(), 2u);
    Explorer->SetDialogMode(TFTPExplorerForm::dmSave);
    Explorer->SetFileName("mine.php");
    Explorer->SelectRows({"a.php"});
    Explorer->RemoteViewDblClick(Explorer->Row("a.php"));
    EXPECT_EQ(Opened.size(), 2u);
    EXPECT_EQ(Explorer->FileName(), "a.php");
    // Saving keeps a typed name when moving up.
    Explorer->RemoteViewDblClick(Explorer->Row("sub"));
    Explorer->SetFileName("typed.php");
    Explorer->ChangeParentDirExecute();
    EXPECT_EQ(Explorer->FileName(), "typed.php");
}

TEST_F(FTPExplorerTest, SelectedFilesFillTheFileNameField)
{
    for (const char* name : {"a.php", "b.php", "c.php"})
        Server.WriteHome(std::string("www/") + name, name);
    QDir().mkpath(QStr(Server.HomeFile("www/dir")));
    Connect(TFTPExplorerForm::dmOpen);
    Explorer->SelectRows({"c.php", "a.php", "b.php"});
    EXPECT_EQ(Explorer->FileName(), "\"a.php\" \"b.php\" \"c.php\"");
    Explorer->SelectRows({"b.php"});
    EXPECT_EQ(Explorer->FileName(), "b.php");
    Explorer->SelectRows({"dir"});
    EXPECT_EQ(Explorer->FileName(), "b.php") << "a folder alone names no file";
    Explorer->SelectRows({"dir", "c.php"});
    EXPECT_EQ(Explorer->FileName(), "\"c.php\"");
}

TEST_F(FTPExplorerTest, OpenDownloadsEachSelectedFileIntoAFreshPrivateCopy)
{
    const std::string unique = "zentu-leftover-" + GUIDToString(CreateGUID()).substr(1, 8) + ".php";
    const std::string leftover = StdStr(QDir::tempPath()) + "/" + unique;
    {
        QFile stale(QStr(leftover));
        ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
        stale.write("stale bytes of a broken download\n");
    }
    Server.WriteHome("www/" + unique, "<?php echo 'ünïcödé';\n");
    Server.WriteHome("www/b.php", "<?php echo 'b';\n");
    Server.WriteHome("escape.php", "outside\n");
    Connect(TFTPExplorerForm::dmOpen);
    Explorer->SelectRows({unique, "b.php"});
    EXPECT_TRUE(Explorer->OpenRemoteExecute()) << Log();
    ASSERT_EQ(Opened.size(), 2u);
    EXPECT_EQ(Opened[0].RemotePath, "/www/b.php");
    EXPECT_EQ(Opened[0].Bytes, "<?php echo 'b';\n");
    EXPECT_EQ(Opened[1].RemotePath, "/www/" + unique);
    EXPECT_EQ(Opened[1].Bytes, "<?php echo 'ünïcödé';\n") << "nothing of the leftover file";
    EXPECT_NE(Opened[1].Copy, leftover);
    EXPECT_EQ(ReadWholeFile(leftover), "stale bytes of a broken download\n");
    QFile::remove(QStr(leftover));
    for (const TOpened& opened : Opened) {
        EXPECT_EQ(opened.PrivateFolderMode, 0700u);
        EXPECT_FALSE(QFileInfo::exists(QStr(opened.Copy))) << "the copy goes once the document has it";
    }
    EXPECT_FALSE(Logged("COMMAND:> REST 1")) << "a fresh copy has nothing to resume";

    // A name from the server that climbs out of the folder stays a plain name locally.
    TFTPListItem escape;
    escape.FileName = "../escape.php";
    escape.Size = 8;
    Explorer->AddListingRow(escape);
    Explorer->SelectRows({"../escape.php"});
    EXPECT_TRUE(Explorer->OpenRemoteExecute()) << Log();
    ASSERT_EQ(Opened.size(), 3u);
    EXPECT_EQ(Opened[2].Bytes, "outside\n");
    EXPECT_EQ(QFileInfo(QStr(Opened[2].Copy)).fileName(), QStringLiteral("escape.php"));
    EXPECT_EQ(Opened[2].PrivateFolderMode, 0700u);
    EXPECT_FALSE(QFileInfo::exists(QDir::tempPath() + QStringLiteral("/escape.php")) &&
                 QFileInfo(QDir::tempPath() + QStringLiteral("/escape.php")).lastModified().secsTo(QDateTime::currentDateTime()) < 5);
}

TEST_F(FTPExplorerTest, ProgressWindowShowsADownloadAndABrokenOrCancelledOneOpensNothing)
{
    Server.WriteHome("www/big.bin", std::string(48 * 1024 * 1024, 'x'));
    struct Case {
        const char* What;
        bool Cancel;
    };
    for (const Case c : {Case{"cancelled", true}, Case{"server gone", false}}) {
        if (!Explorer->Connected())
            Connect(TFTPExplorerForm::dmOpen);
        Explorer->TransferLog->Clear();
        Explorer->SelectRows({"big.bin"});
        std::string status;
        WhenSent(Explorer->Client(), "RETR", [&, c] {
            ASSERT_NE(ProgressForm, nullptr);
            status = ProgressForm->StatusText();
            if (c.Cancel)
                ProgressForm->CancelButton->click();
            else
                Server.Peer->Kill();
        });
        EXPECT_FALSE(Explorer->OpenRemoteExecute()) << c.What;
        EXPECT_EQ(status, "Downloading /www/big.bin") << c.What;
        EXPECT_TRUE(Opened.empty()) << c.What;
        EXPECT_EQ(ProgressForm, nullptr) << c.What;
        EXPECT_GE(Exceptions(), 1) << c.What << "\n" << Log();
        EXPECT_FALSE(Explorer->Busy());
    }
}

TEST_F(FTPExplorerTest, DeleteAsksThenRemovesFilesAndFolders)
{
    QDir().mkpath(QStr(Server.HomeFile("www/empty")));
    Server.WriteHome("www/full/keep.php", "k");
    Server.WriteHome("www/f1.php", "1");
    Server.WriteHome("www/f2.php", "2");
    Connect();
    Explorer->SelectRows({"f1.php", "empty"});
    Answers = {IDNO};
    Explorer->DeleteExecute();
    ASSERT_EQ(Questions.size(), 1u);
    EXPECT_EQ(Questions[0], "Do you really want to delete the selected 2 files/directories ?\r\nempty\r\nf1.php");
    EXPECT_TRUE(QFileInfo::exists(QStr(Server.HomeFile("www/f1.php"))));

    // Yes: each row goes; a folder that cannot go is logged and the others still go.
    Explorer->SelectRows({"f1.php", "empty", "full", "f2.php"});
    Answers = {IDYES};
    Explorer->DeleteExecute();
    EXPECT_TRUE(Logged("COMMAND:> RMD empty")) << Log();
    EXPECT_TRUE(Logged("COMMAND:> DELE f1.php")) << Log();
    EXPECT_EQ(Exceptions(), 1) << Log();
    EXPECT_EQ(Explorer->RowNames(), std::vector<std::string>{"full"});
    EXPECT_FALSE(QFileInfo::exists(QStr(Server.HomeFile("www/f2.php"))));
    EXPECT_TRUE(QFileInfo::exists(QStr(Server.HomeFile("www/full/keep.php"))));
}

TEST_F(FTPExplorerTest, NewDirectoryAsksAgainForAnEmptyNameAndRefusesBadOnes)
{
    Connect();
    Names = {"", "new dir"};
    Explorer->MKDExecute();
    EXPECT_TRUE(QFileInfo(QStr(Server.HomeFile("www/new dir"))).isDir());
    EXPECT_EQ(Explorer->RowNames(), std::vector<std::string>{"new dir"});

    Names = {"a/b"};
    Answers = {IDOK};
    Explorer->MKDExecute();
    EXPECT_EQ(Questions, std::vector<std::string>{"a/b is not a valid directory name"});
    EXPECT_FALSE(Logged("COMMAND:> MKD a/b"));

    // Cancel, and a folder that exists: nothing made, the refusal logged.
    Explorer->MKDExecute();
    Names = {"new dir"};
    Explorer->MKDExecute();
    EXPECT_EQ(Exceptions(), 1) << Log();
}

TEST_F(FTPExplorerTest, RenameChangesTheServerNameAndRestoresTheCaptionOnFailure)
{
    Server.WriteHome("www/a.php", "a");
    QDir().mkpath(QStr(Server.HomeFile("www/dir")));
    Connect();
    EXPECT_TRUE(Explorer->Row("dir")->flags() & Qt::ItemIsEditable) << "a folder renames as a file does";
    EXPECT_TRUE(Explorer->Row("a.php")->flags() & Qt::ItemIsEditable);

    // An edited caption renames the file.
    Explorer->Row("a.php")->setText(fcFilename, QStringLiteral("b.php"));
    EXPECT_EQ(Server.ReadHome("www/b.php"), "a");
    EXPECT_FALSE(QFileInfo::exists(QStr(Server.HomeFile("www/a.php"))));
    EXPECT_TRUE(Logged("COMMAND:> RNFR a.php")) << Log();
    EXPECT_TRUE(Logged("COMMAND:> RNTO b.php")) << Log();

    // The file went away meanwhile: the caption goes back, the error is logged.
    QFile::remove(QStr(Server.HomeFile("www/b.php")));
    EXPECT_FALSE(Explorer->RenameRow(Explorer->Row("b.php"), "c.php"));
    EXPECT_NE(Explorer->Row("b.php"), nullptr);
    EXPECT_EQ(Exceptions(), 1) << Log();
    // An empty name sends nothing.
    EXPECT_FALSE(Explorer->RenameRow(Explorer->Row("b.php"), ""));
    EXPECT_EQ(Exceptions(), 1);
}

// The in-place editor of the list, once it is open.
QLineEdit* RowEditor(QTreeWidget* view)
{
    QLineEdit* editor = nullptr;
    WaitFor([&] {
        editor = nullptr;
        // An editor closed before may still wait for its deletion, hidden.
        for (QLineEdit* edit : view->viewport()->findChildren<QLineEdit*>())
            if (edit->isVisible())
                editor = edit;
        return editor != nullptr;
    });
    return editor;
}

TEST_F(FTPExplorerTest, FoldersAndLinksRenameInPlaceByKeyAndCommand)
{
    Server.WriteHome("www/dir/inner.php", "inner");
    Server.WriteHome("www/a.php", "a");
    ASSERT_EQ(::symlink("a.php", Server.HomeFile("www/link.php").c_str()), 0);
    Connect();
    Explorer->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(Explorer.get()));

    // F2 on a folder row, clicked in another column than its name, opens the name's editor;
    // Enter renames the folder on the server.
    QTest::mouseClick(Explorer->RemoteView->viewport(), Qt::LeftButton, Qt::NoModifier,
                      Explorer->RemoteView->visualItemRect(Explorer->Row("dir")).center());
    QTest::keyClick(Explorer->RemoteView, Qt::Key_F2);
    QLineEdit* editor = RowEditor(Explorer->RemoteView);
    ASSERT_NE(editor, nullptr) << "no edit box for the folder";
    QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(editor, QStringLiteral("new dir"));
    QTest::keyClick(editor, Qt::Key_Return);
    // The editor hands its text over from the event loop.
    EXPECT_TRUE(WaitFor([this] { return Explorer->Row("new dir") != nullptr; }, 5000));
    EXPECT_EQ(Server.ReadHome("www/new dir/inner.php"), "inner");
    EXPECT_FALSE(QFileInfo::exists(QStr(Server.HomeFile("www/dir"))));
    EXPECT_TRUE(Logged("COMMAND:> RNFR dir")) << Log();
    EXPECT_TRUE(Logged("COMMAND:> RNTO new dir")) << Log();
    ASSERT_NE(Explorer->Row("new dir"), nullptr);
    // The row still leads into the folder under its new name.
    EXPECT_EQ(TFTPListingRow::Of(Explorer->Row("new dir")).FileName, "new dir");

    // The Rename command of the menu and tool bar, on the folder and on a link.
    const std::pair<std::string, std::string> renames[] = {{"new dir", "third dir"}, {"link.php", "moved.php"}};
    for (const auto& [from, to] : renames) {
        QTest::mouseClick(Explorer->RemoteView->viewport(), Qt::LeftButton, Qt::NoModifier,
                          Explorer->RemoteView->visualItemRect(Explorer->Row(from)).center());
        ASSERT_TRUE(Explorer->acRename->isEnabled());
        Explorer->acRename->trigger();
        editor = RowEditor(Explorer->RemoteView);
        ASSERT_NE(editor, nullptr) << "no edit box for " << from;
        editor->selectAll();
        QTest::keyClicks(editor, QStr(to));
        QTest::keyClick(editor, Qt::Key_Return);
        EXPECT_TRUE(WaitFor([&] { return Explorer->Row(to) != nullptr; }, 5000)) << to;
        EXPECT_TRUE(Logged("COMMAND:> RNTO " + to)) << Log();
    }
    EXPECT_EQ(Server.ReadHome("www/third dir/inner.php"), "inner");
    EXPECT_EQ(QFileInfo(QStr(Server.HomeFile("www/moved.php"))).symLinkTarget(), QStr(Server.HomeFile("www/a.php")));
    EXPECT_EQ(Exceptions(), 0) << Log();
}

TEST_F(FTPExplorerTest, PermissionsStartFromTheRowsOwnEntryAndGoToEachSelectedRow)
{
    // Every decoy's listing line holds "x.php" too.
    for (const char* decoy : {"ax.php", "x.php.1", "x.php.2", "x.php.3", "x.php.bak", "old-x.php", "x.php~"}) {
        Server.WriteHome(std::string("www/") + decoy, "d");
        ::chmod(Server.HomeFile(std::string("www/") + decoy).c_str(), 0644);
    }
    Server.WriteHome("www/x.php", "x");
    ::chmod(Server.HomeFile("www/x.php").c_str(), 0700);
    Connect();

    int offered = -1;
    DialogHook = [&](QDialog& dialog) {
        auto& form = dynamic_cast<TFTPPermissionForm&>(dialog);
        offered = form.GetPermissionValue();
        form.SetPermissionValue(750);
        return int(QDialog::Accepted);
    };
    Explorer->SelectRows({"x.php"});
    Explorer->CHMODExecute();
    EXPECT_EQ(offered, 700);
    EXPECT_EQ(Mode(Server.HomeFile("www/x.php")), 0750u);
    EXPECT_TRUE(Logged("COMMAND:> SITE CHMOD 750 x.php")) << Log();
    EXPECT_EQ(StdStr(Explorer->Row("x.php")->text(fcPermission)), "rwxr-x---") << "listed anew";

    // Several rows start from 644 and all change.
    DialogHook = [&](QDialog& dialog) {
        auto& form = dynamic_cast<TFTPPermissionForm&>(dialog);
        offered = form.GetPermissionValue();
        form.Boxes[1]->click();
        return int(QDialog::Accepted);
    };
    Explorer->SelectRows({"x.php.1", "x.php.2"});
    Explorer->CHMODExecute();
    EXPECT_EQ(offered, 644);
    EXPECT_EQ(Mode(Server.HomeFile("www/x.php.1")), 0444u);
    EXPECT_EQ(Mode(Server.HomeFile("www/x.php.2")), 0444u);

    // Cancel sends nothing.
    DialogHook = [](QDialog&) { return int(QDialog::Rejected); };
    Explorer->SelectRows({"ax.php"});
    Explorer->CHMODExecute();
    EXPECT_EQ(Mode(Server.HomeFile("www/ax.php")), 0644u);
    EXPECT_FALSE(Logged("COMMAND:> SITE CHMOD 644 ax.php"));
}

TEST_F(FTPExplorerTest, KeepAliveRunsBetweenTransfersWithRandomCommandsAndIntervals)
{
    Server.WriteHome("www/a.php", std::string(4 * 1024 * 1024, 'a'));
    EXPECT_FALSE(Explorer->Timer1.isActive());
    Connect();
    EXPECT_TRUE(Explorer->Timer1.isActive()) << "it starts when the first listing has ended";
    EXPECT_EQ(Explorer->Timer1.interval(), 60000);

    // No keep-alive while data flows.
    bool activeDuringTransfer = false;
    auto work = Explorer->Client().OnWork;
    Explorer->Client().OnWork = [&](TWorkMode mode, std::int64_t count) {
        activeDuringTransfer = activeDuringTransfer || Explorer->Timer1.isActive();
        work(mode, count);
    };
    Explorer->SelectRows({"a.php"});
    EXPECT_TRUE(Explorer->OpenRemoteExecute());
    EXPECT_FALSE(activeDuringTransfer);
    EXPECT_TRUE(Explorer->Timer1.isActive());

    struct Case {
        int Seconds;
        int Choice;
        const char* Logged;
    };
    for (const Case c : {Case{0, 0, "COMMAND:> LIST"}, Case{29, 1, "COMMAND:> PWD"}, Case{7, 2, "COMMAND:> REST 0"},
                         Case{13, 3, "COMMAND:> NOOP"}}) {
        std::deque<int> draws = {c.Seconds, c.Choice};
        Explorer->Random = [&](int n) {
            const int value = draws.front();
            draws.pop_front();
            EXPECT_LT(value, n);
            return value;
        };
        Explorer->TransferLog->Clear();
        Explorer->DoNOOP();
        EXPECT_EQ(Explorer->Timer1.interval(), (30 + c.Seconds) * 1000);
        EXPECT_TRUE(Logged(c.Logged)) << Log();
        EXPECT_EQ(Exceptions(), 0) << Log();
        EXPECT_TRUE(Explorer->Timer1.isActive());
    }

    // Disconnected, the keep-alive stops.
    Explorer->FTPConnectExecute();
    EXPECT_FALSE(Explorer->Timer1.isActive());
    Explorer->Timer1.start();
    Explorer->Random = [](int) { return 0; };
    Explorer->DoNOOP();
    EXPECT_FALSE(Explorer->Timer1.isActive());
    EXPECT_TRUE(Explorer->LogLines().empty());
}

TEST_F(FTPExplorerTest, CommandsAskBeforeReconnecting)
{
    Server.WriteHome("www/a.php", "a");
    Connect();
    Explorer->FTPConnectExecute();
    Answers = {IDNO};
    Explorer->RefreshExecute();
    EXPECT_EQ(Questions, std::vector<std::string>{"Connection closed.\r\nDo you want to reconnect ?"});
    EXPECT_FALSE(Explorer->Connected());
    Answers = {IDYES};
    Explorer->RefreshExecute();
    EXPECT_TRUE(Explorer->Connected());
    EXPECT_EQ(Explorer->RowNames(), std::vector<std::string>{"a.php"});
}

TEST_F(FTPExplorerTest, FilterGoesWithTheListingAndEnterListsAgain)
{
    Server.WriteHome("www/a.php", "a");
    Connect(TFTPExplorerForm::dmOpen);
    Explorer->FilterEdit->setText(QStringLiteral("a.php"));
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(Explorer->FilterEdit, &enter);
    EXPECT_TRUE(Logged("COMMAND:> LIST a.php")) << Log();
    EXPECT_EQ(Explorer->RowNames(), std::vector<std::string>{"a.php"});
    EXPECT_EQ(StdStr(Explorer->ItemsPanel->text()), "1 Items");
}

TEST_F(FTPExplorerTest, ClosingTheExplorerDuringATransferEndsIt)
{
    Server.WriteHome("www/big.bin", std::string(48 * 1024 * 1024, 'x'));
    Connect(TFTPExplorerForm::dmOpen);
    Explorer->show();
    Explorer->SelectRows({"big.bin"});
    WhenSent(Explorer->Client(), "RETR", [this] { Explorer->close(); });
    EXPECT_FALSE(Explorer->OpenRemoteExecute());
    EXPECT_FALSE(Explorer->Busy());
    EXPECT_FALSE(Explorer->isVisible());
    EXPECT_TRUE(Opened.empty());
}

TEST_F(FTPExplorerTest, AccountBoxOffersEveryAccountAndTheLastSession)
{
    const TGUID second = AddAccount("Second", 21, "p");
    Settings::FTPClient::LastSession.Write(Settings, GUIDToString(second));
    TFTPExplorerForm fresh(Accounts, Settings);
    EXPECT_EQ(fresh.Account(), second);
    fresh.FillAccountBox();
    ASSERT_EQ(fresh.AccountBox->count(), 3);
    EXPECT_EQ(StdStr(fresh.AccountBox->itemText(0)), "-- None --");
    EXPECT_EQ(StdStr(fresh.AccountBox->itemText(1)), "Test site");
    EXPECT_EQ(StdStr(fresh.AccountBox->currentText()), "Second");
    fresh.FillAccountBox(true);
    EXPECT_EQ(fresh.AccountBox->count(), 0);

    // The session manager refills the drop-down when it ends with OK.
    Explorer->FillAccountBox();
    DialogHook = [&](QDialog& dialog) {
        EXPECT_NE(dynamic_cast<TFTPManagerForm*>(&dialog), nullptr);
        AddAccount("Third", 21, "p");
        return int(QDialog::Accepted);
    };
    Explorer->SessionManagerExecute();
    EXPECT_EQ(Explorer->AccountBox->count(), 4);
    EXPECT_EQ(StdStr(Explorer->AccountBox->currentText()), "-- None --");
}

} // namespace
