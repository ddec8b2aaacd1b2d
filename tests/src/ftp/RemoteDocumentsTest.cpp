// Documents of FTP accounts in the running shell, against pyftpdlib: opening (also through Open
// From FTP and the FTP explorer), saving by upload (also through Save As To FTP), reloading, what a failed upload or
// download leaves, closing a document or the program during a transfer, the backup timer, the
// run URL, and where the FTP commands sit.

#include "src/ftp/FtpTestSupport.h"
#include "src/run/ShellTestSupport.h"

#include "ftp/client/zuFTPErrors.h"
#include "ftp/zuFTPAccountForm.h"
#include "ftp/zuFTPAccounts.h"
#include "ftp/zuFTPManagerForm.h"
#include "ftp/zuFTPModule.h"
#include "ftp/zuProgressForm.h"
#include "ftp/explorer/zuFTPExplorerForm.h"
#include "explorers/zuProjectExplorerForm.h"
#include "projects/zuCurrentProject.h"
#include "projects/zuProjects.h"

#include "Platform/core/QtBridge.h"

#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QTreeWidget>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

namespace {

struct RemoteDocumentsTest : ShellTest {
    // Downloads big.php through `explorer`, closing the program as the download starts: the close
    // cancels it, waits for it to end, and then the window goes.
    void CloseDuringADownload(TFTPExplorerForm& explorer)
    {
        explorer.SelectRows({"big.php"});
        WhenSent(explorer.Client(), "RETR", [this] { Form->close(); });
        EXPECT_FALSE(explorer.OpenRemoteExecute());
        EXPECT_TRUE(Form->isVisible()) << "the close waits for the cancelled transfer";
        for (int i = 0; i < 50 && Form->isVisible(); ++i) {
            QApplication::processEvents();
            QTest::qWait(20);
        }
        EXPECT_FALSE(Form->isVisible());
        EXPECT_EQ(Form->Documents().size(), 0u);
    }

    void SetUp() override
    {
        ShellTest::SetUp();
        Start();
        Module = std::make_unique<TFTPModule>(*FTPAccountsFile, *SettingsFile);
        FTPModule = Module.get();
        Account = CreateGUID();
        TFTPAccount account;
        account.Name = "Test site";
        account.Host = "127.0.0.1";
        account.User = "user";
        account.Pass = "secret";
        account.Port = Server.Peer->Port();
        WriteFTPAccount(*FTPAccountsFile, Account, account);
    }

    void TearDown() override
    {
        Module->FTPClient().Intercept = TFTPIntercept();
        if (Form)
            Form->DestroyDocuments();
        FTPModule = nullptr;
        Module.reset();
        ShellTest::TearDown();
    }

    // Downloads a remote file into a local copy and opens it, as Open From FTP does.
    TCodeEditorForm* OpenRemote(const std::string& remotePath)
    {
        TMemoryStream bytes;
        Module->DownloadToStream(Account, remotePath, bytes);
        const std::string copy = Module->LocalCopies().SaveCopy(remotePath, bytes.View());
        TCodeEditorForm* document = Form->OpenRemoteFile(copy, remotePath, Account);
        Module->LocalCopies().Release(copy);
        QApplication::processEvents();
        return document;
    }

    // The editor's text, its lines joined by CR LF.
    static std::string Text(TCodeEditorForm* document) { return document->Editor()->GetAllText(); }

    TFtpServerFixture Server;
    std::unique_ptr<TFTPModule> Module;
    TGUID Account;
};

TEST_F(RemoteDocumentsTest, RemoteFileOpensAsADocumentOfItsAccount)
{
    Server.WriteHome("www/index.php", "<?php\r\necho 'hi';\r\n");
    TCodeEditorForm* document = OpenRemote("/www/index.php");
    ASSERT_NE(document, nullptr);
    EXPECT_TRUE(document->IsRemote());
    EXPECT_EQ(document->AccountID(), Account);
    EXPECT_EQ(document->RemotePath(), "/www/index.php");
    EXPECT_EQ(document->FileName(), "index.php");
    EXPECT_EQ(StdStr(document->windowTitle()), "{127.0.0.1}/www/index.php");
    EXPECT_EQ(Text(document), "<?php\r\necho 'hi';\r\n");
    EXPECT_FALSE(document->Editor()->ContentModified());
    EXPECT_FALSE(document->HasFileTime());

    // The same file again shows the same document; after changes it asks first.
    EXPECT_EQ(OpenRemote("/www/index.php"), document);
    Type("// edit");
    Server.WriteHome("www/index.php", "<?php echo 'new';");
    Answers.push_back(IDNO);
    EXPECT_EQ(OpenRemote("/www/index.php"), document);
    EXPECT_NE(Text(document).find("// edit"), std::string::npos);
    Answers.push_back(IDYES);
    OpenRemote("/www/index.php");
    EXPECT_EQ(Text(document), "<?php echo 'new';");
    EXPECT_EQ(QuestionTexts(), (std::vector<std::string>{"Reload File and Lose Changes ?", "Reload File and Lose Changes ?"}));
    // Another letter case is another file on the server.
    Server.WriteHome("www/INDEX.php", "upper");
    TCodeEditorForm* other = OpenRemote("/www/INDEX.php");
    EXPECT_NE(other, document);
    EXPECT_EQ(Form->Documents().size(), 2u);
}

TEST_F(RemoteDocumentsTest, SaveUploadsTheFilesOwnLineBreaksAndCountsAsSaved)
{
    Setting("General", "LineEnding", "1");
    // why: an ASCII transfer gives CR LF as LF, so the file's own breaks here are LF and lone CR.
    Server.WriteHome("www/a.php", "one\nlf\ncr\rend\n");
    TCodeEditorForm* document = OpenRemote("/www/a.php");
    Type("two ");
    ASSERT_TRUE(document->Editor()->ContentModified());
    EXPECT_EQ(StdStr(document->windowTitle()), "{127.0.0.1}/www/a.php*");
    Form->acSave->trigger();
    EXPECT_EQ(Server.ReadHome("www/a.php"), "two one\nlf\ncr\rend\n") << "only the edited line changed";
    EXPECT_FALSE(document->Editor()->ContentModified());
    EXPECT_EQ(StdStr(document->windowTitle()), "{127.0.0.1}/www/a.php");
    EXPECT_TRUE(document->IsRemote());
}

TEST_F(RemoteDocumentsTest, FailedUploadKeepsTheDocumentModified)
{
    Server.WriteHome("www/a.php", "original\n");
    TCodeEditorForm* document = OpenRemote("/www/a.php");
    Type("changed ");
    Server.Peer->Kill();
    EXPECT_THROW(document->SaveDocument(false), ENetFTPError);
    EXPECT_TRUE(document->Editor()->ContentModified());
    EXPECT_EQ(Text(document), "changed original\r\n");
    // Closing: Yes tries the upload, which fails; the window stays with its text.
    Answers = {IDYES, IDOK};
    EXPECT_FALSE(Close(document));
    ASSERT_EQ(Questions.size(), 2u);
    EXPECT_EQ(Questions[0].Text, "Save changes to /www/a.php ?");
    EXPECT_EQ(Questions[1].Text.rfind("Unable to upload /www/a.php: ", 0), 0u) << Questions[1].Text;
    EXPECT_EQ(Form->Documents().size(), 1u);
    EXPECT_TRUE(document->Editor()->ContentModified());
}

TEST_F(RemoteDocumentsTest, ReloadReplacesTheTextOnlyAfterACompleteDownload)
{
    Server.WriteHome("www/a.php", "first\n");
    TCodeEditorForm* document = OpenRemote("/www/a.php");
    Type("mine ");
    Server.WriteHome("www/a.php", "second\n");
    Answers.push_back(IDYES);
    Form->ReloadExecute();
    EXPECT_EQ(Text(document), "second\r\n");
    EXPECT_FALSE(document->Editor()->ContentModified());

    Type("kept ");
    Server.Peer->Kill();
    Answers.push_back(IDYES);
    EXPECT_THROW(Form->ReloadExecute(), ENetFTPError);
    EXPECT_EQ(Text(document), "kept second\r\n");
    EXPECT_TRUE(document->Editor()->ContentModified());
}

TEST_F(RemoteDocumentsTest, ReloadBrokenInTheMiddleKeepsTheText)
{
    Server.WriteHome("www/a.php", "small\n");
    TCodeEditorForm* document = OpenRemote("/www/a.php");
    Type("mine ");
    Server.WriteHome("www/a.php", std::string(32 * 1024 * 1024, 'x'));
    WhenSent(Module->FTPClient(), "RETR", [this] { Server.Peer->Kill(); });
    Answers.push_back(IDYES);
    EXPECT_THROW(Form->ReloadExecute(), ENetFTPError);
    EXPECT_EQ(Text(document), "mine small\r\n");
}

TEST_F(RemoteDocumentsTest, OpenFromFtpChoosesDownloadsAndOpens)
{
    Server.WriteHome("www/site/page.php", "<?php echo 'page';\n");
    Server.WriteHome("www/zeta.txt", "z");
    int shown = 0;
    Form->ModalHook = [&](QDialog& dialog) {
        ++shown;
        auto& explorer = dynamic_cast<TFTPExplorerForm&>(dialog);
        EXPECT_EQ(explorer.DialogMode(), TFTPExplorerForm::dmOpen);
        EXPECT_TRUE(explorer.FileNameEdit->isReadOnly());
        EXPECT_EQ(StdStr(explorer.ActionButton->text()), "&Open");
        explorer.SelectAccount(Account);
        explorer.FTPConnectExecute();
        EXPECT_TRUE(explorer.Connected());
        EXPECT_EQ(explorer.RowNames(), std::vector<std::string>{"www"});
        explorer.RemoteViewDblClick(explorer.Row("www"));
        EXPECT_EQ(explorer.CurrentFolder(), "/www");
        EXPECT_EQ(explorer.RowNames(), (std::vector<std::string>{"site", "zeta.txt"}));
        explorer.RemoteViewDblClick(explorer.Row("site"));
        explorer.SelectRows({"page.php"});
        explorer.ActionButton->click();
        const std::vector<std::string> log = explorer.LogLines();
        EXPECT_NE(std::find(log.begin(), log.end(), "COMMAND:> PASS *"), log.end());
        for (const std::string& line : log)
            EXPECT_EQ(line.find("secret"), std::string::npos) << line;
        return explorer.result();
    };
    Form->acOpenRemote->trigger();
    EXPECT_EQ(shown, 1);
    TCodeEditorForm* document = Form->ActiveEditorForm();
    ASSERT_NE(document, nullptr);
    EXPECT_EQ(document->RemotePath(), "/www/site/page.php");
    EXPECT_EQ(document->AccountID(), Account);
    EXPECT_EQ(Text(document), "<?php echo 'page';\r\n");
    EXPECT_FALSE(document->Editor()->ContentModified());
}

TEST_F(RemoteDocumentsTest, CancelledOpenFromFtpOpensNothingAndSaysNothing)
{
    Server.WriteHome("big.php", std::string(32 * 1024 * 1024, 'x'));
    bool accepted = true;
    Form->ModalHook = [&](QDialog& dialog) {
        auto& explorer = dynamic_cast<TFTPExplorerForm&>(dialog);
        explorer.SelectAccount(Account);
        explorer.FTPConnectExecute();
        explorer.SelectRows({"big.php"});
        WhenSent(explorer.Client(), "RETR", [] { ProgressForm->CancelButton->click(); });
        explorer.ActionButton->click();
        // The dialog stays open, its log telling what happened.
        accepted = explorer.result() == QDialog::Accepted;
        EXPECT_NE(explorer.LogLines().back().find("EXCEPTION:> "), std::string::npos);
        return int(QDialog::Rejected);
    };
    Form->acOpenRemote->trigger();
    EXPECT_FALSE(accepted);
    EXPECT_EQ(Form->Documents().size(), 0u);
    EXPECT_TRUE(Questions.empty());
}

TEST_F(RemoteDocumentsTest, SaveAsToFtpUploadsAndBindsTheDocument)
{
    Server.WriteHome("www/taken.php", "old");
    TCodeEditorForm* local = Open(WriteWork("taken.php", "<?php echo 'local';\r\n"));
    std::string offered;
    std::vector<bool> accepted;
    Form->ModalHook = [&](QDialog& dialog) {
        auto& explorer = dynamic_cast<TFTPExplorerForm&>(dialog);
        EXPECT_EQ(explorer.DialogMode(), TFTPExplorerForm::dmSave);
        EXPECT_FALSE(explorer.FileNameEdit->isReadOnly());
        offered = explorer.FileName();
        explorer.SelectAccount(Account);
        explorer.FTPConnectExecute();
        explorer.RemoteViewDblClick(explorer.Row("www"));
        // An invalid name is refused; an existing file is replaced only after a Yes.
        for (const char* name : {"a/b.php", "taken.php", "taken.php"}) {
            explorer.SetFileName(name);
            explorer.ActionButton->click();
            accepted.push_back(explorer.result() == QDialog::Accepted);
        }
        return explorer.result();
    };
    Answers = {IDOK, IDNO, IDYES};
    Form->acSaveAsRemote->trigger();
    EXPECT_EQ(offered, "taken.php");
    EXPECT_EQ(accepted, (std::vector<bool>{false, false, true}));
    EXPECT_EQ(QuestionTexts(), (std::vector<std::string>{"a/b.php is not a valid filename",
                                                         "A file named taken.php already exists.\r\nDo you wish to overwrite it?",
                                                         "A file named taken.php already exists.\r\nDo you wish to overwrite it?"}));
    EXPECT_EQ(Server.ReadHome("www/taken.php"), "<?php echo 'local';\n");
    EXPECT_TRUE(local->IsRemote());
    EXPECT_EQ(local->AccountID(), Account);
    EXPECT_EQ(local->RemotePath(), "/www/taken.php");
    EXPECT_FALSE(local->Editor()->ContentModified());
    EXPECT_EQ(StdStr(local->windowTitle()), "{127.0.0.1}/www/taken.php");
    // Saved as a local file again, it is local from then on.
    Type("x");
    AnswerNextFileDialog(Work("again.php"));
    local->SaveDocumentAs();
    EXPECT_FALSE(local->IsRemote());
    EXPECT_EQ(StdStr(local->windowTitle()), Work("again.php"));
}

TEST_F(RemoteDocumentsTest, FailedSaveAsToFtpKeepsTheDialogOpenAndTheDocumentModified)
{
    const std::string path = WriteWork("page.php", "text");
    TCodeEditorForm* local = Open(path);
    Type("new ");
    bool accepted = true;
    Form->ModalHook = [&](QDialog& dialog) {
        auto& explorer = dynamic_cast<TFTPExplorerForm&>(dialog);
        explorer.SelectAccount(Account);
        explorer.FTPConnectExecute();
        WhenSent(explorer.Client(), "STOR", [this] { Server.Peer->Kill(); });
        explorer.ActionButton->click();
        accepted = explorer.result() == QDialog::Accepted;
        EXPECT_NE(explorer.LogLines().back().find("EXCEPTION:> "), std::string::npos);
        return int(QDialog::Rejected);
    };
    Form->acSaveAsRemote->trigger();
    EXPECT_FALSE(accepted);
    EXPECT_FALSE(local->IsRemote());
    EXPECT_EQ(local->FileName(), path);
    EXPECT_TRUE(local->Editor()->ContentModified());
}

TEST_F(RemoteDocumentsTest, ExplorerOpensARemoteFileThatIsEditedSavedRenamedAndDeleted)
{
    Server.WriteHome("www/index.php", "<?php\necho 'v1';\n");
    Form->acFTPExplorer->trigger();
    TFTPExplorerForm* explorer = Form->FTPExplorer();
    ASSERT_NE(explorer, nullptr);
    EXPECT_TRUE(explorer->isVisible());
    EXPECT_FALSE(explorer->isModal());
    EXPECT_EQ(explorer->DialogMode(), TFTPExplorerForm::dmExplorer);
    EXPECT_FALSE(explorer->BottomPanel->isVisible());
    explorer->SelectAccount(Account);
    explorer->FTPConnectExecute();
    explorer->RemoteViewDblClick(explorer->Row("www"));
    explorer->SelectRows({"index.php"});
    explorer->RemoteViewDblClick(explorer->Row("index.php"));
    TCodeEditorForm* document = Form->ActiveEditorForm();
    ASSERT_NE(document, nullptr);
    EXPECT_EQ(document->RemotePath(), "/www/index.php");
    Type("// edited ");
    Form->acSave->trigger();
    EXPECT_EQ(Server.ReadHome("www/index.php"), "// edited <?php\necho 'v1';\n");

    explorer->RefreshExecute();
    explorer->Row("index.php")->setText(0, QStringLiteral("home.php"));
    EXPECT_EQ(Server.ReadHome("www/home.php"), "// edited <?php\necho 'v1';\n");
    explorer->SelectRows({"home.php"});
    Answers = {IDYES};
    explorer->DeleteExecute();
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(Server.HomeFile("www/home.php"))));
    EXPECT_TRUE(explorer->RowNames().empty());
    // Open From FTP while the tool window is up: the same window, still connected, as the dialog.
    bool asDialog = false;
    Form->ModalHook = [&](QDialog& dialog) {
        asDialog = &dialog == explorer && explorer->DialogMode() == TFTPExplorerForm::dmOpen && explorer->Connected() &&
                   !explorer->isVisible();
        return int(QDialog::Rejected);
    };
    Form->acOpenRemote->trigger();
    EXPECT_TRUE(asDialog);
    Form->acFTPExplorer->trigger();
    EXPECT_TRUE(explorer->BottomPanel->isHidden());
    explorer->close();
    EXPECT_FALSE(explorer->isVisible());
    EXPECT_TRUE(explorer->Connected()) << "the hidden explorer keeps its connection for next time";
}

TEST_F(RemoteDocumentsTest, ClosingTheProgramDuringAnExplorerTransferCancelsItThenCloses)
{
    Server.WriteHome("big.php", std::string(32 * 1024 * 1024, 'x'));
    Form->acFTPExplorer->trigger();
    TFTPExplorerForm* explorer = Form->FTPExplorer();
    explorer->SelectAccount(Account);
    explorer->FTPConnectExecute();
    CloseDuringADownload(*explorer);
}

TEST_F(RemoteDocumentsTest, ClosingTheProgramDuringAProjectExplorerTransferCancelsItThenCloses)
{
    Server.WriteHome("big.php", std::string(32 * 1024 * 1024, 'x'));
    const TGUID project = CreateGUID();
    WriteProjectString(*ProjectsFile, project, ProjectKeys::FTPAccount, GUIDToString(Account));
    WriteProjectString(*ProjectsFile, project, ProjectKeys::RemotePath, "/");
    Form->CurrentProject->OpenProject(project);
    TProjectExplorerForm* explorer = Form->ProjectExplorerForm();
    ASSERT_NE(explorer, nullptr);
    explorer->FTPConnectExecute();
    TFTPExplorerForm* remote = explorer->RemoteView;
    ASSERT_TRUE(remote->Connected());
    EXPECT_TRUE(remote->Timer1.isActive()) << "the keep-alive runs";
    CloseDuringADownload(*remote);
}

TEST_F(RemoteDocumentsTest, FailedSaveAsToFtpLeavesTheDocumentLocal)
{
    const std::string path = WriteWork("page.php", "text");
    TCodeEditorForm* local = Open(path);
    Type("new ");
    Server.Peer->Kill();
    EXPECT_THROW(local->UploadTo(Account, "/page.php"), ENetFTPError);
    EXPECT_FALSE(local->IsRemote());
    EXPECT_EQ(local->FileName(), path);
    EXPECT_TRUE(local->Editor()->ContentModified());
}

TEST_F(RemoteDocumentsTest, ClosingTheDocumentDuringItsUploadCancelsIt)
{
    Server.WriteHome("www/a.php", "a\n");
    TCodeEditorForm* document = OpenRemote("/www/a.php");
    Type("y");
    WhenSent(Module->FTPClient(), "STOR", [document] { document->close(); });
    EXPECT_THROW(document->SaveDocument(false), ENetFTPAborted);
    Flush();
    ASSERT_EQ(Form->Documents().size(), 1u);
    EXPECT_TRUE(document->Editor()->ContentModified());
}

TEST_F(RemoteDocumentsTest, ClosingTheProgramDuringATransferCancelsItThenCloses)
{
    Server.WriteHome("www/a.php", "a\n");
    TCodeEditorForm* document = OpenRemote("/www/a.php");
    Type("y");
    WhenSent(Module->FTPClient(), "STOR", [this] { Form->close(); });
    EXPECT_THROW(document->SaveDocument(false), ENetFTPAborted);
    EXPECT_TRUE(Form->isVisible()) << "the close waits for the cancelled transfer";
    // Then the program closes as usual, asking about the unsaved document.
    Answers.push_back(IDNO);
    for (int i = 0; i < 50 && Form->isVisible(); ++i) {
        QApplication::processEvents();
        QTest::qWait(20);
    }
    EXPECT_FALSE(Form->isVisible());
    EXPECT_EQ(QuestionTexts(), std::vector<std::string>{"Save changes to /www/a.php ?"});
}

TEST_F(RemoteDocumentsTest, BackupTimerUploadsRemoteDocumentsWhenAllowed)
{
    Server.WriteHome("www/a.php", "a\n");
    TCodeEditorForm* document = OpenRemote("/www/a.php");
    Type("b");
    Form->BackupTimerTimer();
    EXPECT_EQ(Server.ReadHome("www/a.php"), "a\n") << "DisableAutoSaveFTP is on by default";
    Setting("Backup", "DisableAutoSaveFTP", "0");
    Form->BackupTimerTimer();
    EXPECT_EQ(Server.ReadHome("www/a.php"), "ba\n");
    EXPECT_FALSE(document->Editor()->ContentModified());
}

TEST_F(RemoteDocumentsTest, RemoteDocumentRunsOnItsRemoteSite)
{
    Server.WriteHome("public_html/x/y.php", "<?php");
    OpenRemote("/public_html/x/y.php");
    EXPECT_EQ(Form->ScriptURL(), "http://127.0.0.1/x/y.php");
}

TEST_F(RemoteDocumentsTest, CommandsSitInTheMenusAndTheAccountDialogServesProjects)
{
    std::vector<std::string> file;
    std::vector<std::string> tools;
    for (QAction* menu : Form->menuBar()->actions())
        for (QAction* entry : menu->menu()->actions())
            (menu->text() == QStringLiteral("&File") ? file : tools).push_back(StdStr(entry->text()));
    EXPECT_NE(std::find(file.begin(), file.end(), "Open From F&TP..."), file.end());
    EXPECT_NE(std::find(file.begin(), file.end(), "Save As To &FTP..."), file.end());
    EXPECT_NE(std::find(tools.begin(), tools.end(), "FTP &Accounts..."), tools.end());
    // The View menu's FTP Explorer entry carries its own key and shows the explorer.
    QAction* explorerEntry = Form->findChild<QAction*>(QStringLiteral("FTPExplorerMenuEntry"));
    ASSERT_NE(explorerEntry, nullptr);
    EXPECT_EQ(StdStr(explorerEntry->text()), "FTP Explorer");
    EXPECT_EQ(explorerEntry->shortcut(), QKeySequence(QStringLiteral("Ctrl+Alt+F")));
    std::vector<std::string> view;
    for (QAction* menu : Form->menuBar()->actions())
        if (menu->text() == QStringLiteral("&View"))
            for (QAction* entry : menu->menu()->actions())
                view.push_back(StdStr(entry->text()));
    // Among the explorers, which a separator keeps apart from the output windows.
    ASSERT_GE(view.size(), 5u);
    EXPECT_EQ(std::vector<std::string>(view.begin(), view.begin() + 5),
              (std::vector<std::string>{"Project Explorer", "File Explorer", "FTP Explorer", "Code Explorer",
                                        "Code Library"}));
    const auto output = std::find(view.begin(), view.end(), "Output");
    ASSERT_NE(output, view.end());
    EXPECT_EQ(*(output - 1), "") << "the separator";
    explorerEntry->trigger();
    ASSERT_NE(Form->FTPExplorer(), nullptr);
    EXPECT_TRUE(Form->FTPExplorer()->isVisible());
    Form->FTPExplorer()->close();

    bool managerShown = false;
    Form->ModalHook = [&](QDialog& dialog) {
        managerShown = dynamic_cast<TFTPManagerForm*>(&dialog) != nullptr;
        return int(QDialog::Rejected);
    };
    Form->acFTPAccounts->trigger();
    EXPECT_TRUE(managerShown);

    // The project options' "..." edits an account through the same dialog.
    ASSERT_TRUE(Form->ProjectServices.EditFTPAccount);
    const TGUID fresh = CreateGUID();
    Form->ModalHook = [](QDialog& dialog) {
        auto& form = dynamic_cast<TFTPAccountForm&>(dialog);
        for (QLineEdit* field : {form.AccName, form.AccHost, form.AccUser, form.AccPass})
            field->setText(QStringLiteral("filled"));
        form.DoApply();
        return form.result();
    };
    EXPECT_TRUE(Form->ProjectServices.EditFTPAccount(fresh, Form.get()));
    EXPECT_EQ(ReadFTPAccount(*FTPAccountsFile, fresh).Host, "filled");
}

} // namespace
