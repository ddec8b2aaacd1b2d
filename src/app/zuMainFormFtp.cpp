// The main window's FTP commands: the FTP explorer as a docked tool window and as the Open From FTP
// and Save As To FTP dialogs, remote files opened as documents, and the account manager.

#include "app/zuMainForm.h"

#include "app/zuConstants.h"
#include "app/zuScopeGuards.h"
#include "documents/zuCodeEditorForm.h"
#include "ftp/client/zuFTPErrors.h"
#include "ftp/zuFTPAccountForm.h"
#include "ftp/zuFTPManagerForm.h"
#include "ftp/zuFTPModule.h"
#include "ftp/explorer/zuFTPExplorerForm.h"
#include "ftp/explorer/zuFTPExplorerToolForm.h"
#include "explorers/zuProjectExplorerForm.h"
#include "settings/zuSettings.h"

#include "SrcEdit/Source/view/SrcEdit.h"

#include "ExLib/run/docking/control/ExDockGlobals.h"

#include "Platform/core/Application.h"
#include "Platform/files/FileNames.h"
#include "Platform/files/Streams.h"
#include "Platform/text/Format.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QPointer>
#include <QTimer>

#include <algorithm>

namespace {

// How often a close that waits for a transfer looks again.
constexpr int CloseRetryMs = 100;

// The file-name part of a document's name: after the last backslash, colon or slash.
std::string DocumentBaseName(const std::string& fileName)
{
    const size_t cut = fileName.find_last_of("\\:/");
    return cut == std::string::npos ? fileName : fileName.substr(cut + 1);
}

} // namespace

void TMainForm::CreateFtpActions()
{
    acOpenRemote = AddAction("acOpenRemote", "Open From F&TP...", scNone, &TMainForm::OpenRemoteExecute);
    acSaveAsRemote = AddAction("acSaveAsRemote", "Save As To &FTP...", scNone, &TMainForm::SaveAsRemoteExecute);
    acFTPAccounts = AddAction("acFTPAccounts", "FTP &Accounts...", scNone, &TMainForm::FTPAccountsExecute);
}

TCodeEditorForm* TMainForm::OpenRemoteFile(const std::string& localCopy, const std::string& remotePath,
                                           const TGUID& account)
{
    TWaitCursor wait;
    if (!FileExists(localCopy)) {
        ShowMessageBox(Format(sDocumentNotFound, {localCopy}), MB_OK | MB_ICONWARNING);
        return nullptr;
    }
    // why: exact comparison; on the server two names that differ in letter case are two files.
    for (TCodeEditorForm* document : Documents()) {
        if (document->AccountID() != account || document->RemotePath() != remotePath)
            continue;
        if (document->Editor()->ContentModified() &&
            ShowMessageBox(std::string(sReloadLoseChanges), MB_YESNO | MB_ICONQUESTION) == IDYES) {
            document->LoadFromFile(localCopy);
            document->SetFileTime(FILETIME{});
        }
        BringDocumentToFront(document);
        return document;
    }
    TCodeEditorForm* document = CreateDocument(
        localCopy,
        [&](TCodeEditorForm& created) {
            created.SetAccountID(account);
            created.SetRemotePath(remotePath);
        },
        [&](TCodeEditorForm& created) {
            created.LoadFromFile(localCopy);
            created.SetFileTime(FILETIME{});
        });
    document->UpdateHighlighterPanel();
    return document;
}

TFTPExplorerForm* TMainForm::FTPExplorer()
{
    if (!FTPExplorerForm && FTPAccountsFile && SettingsFile) {
        FTPExplorerForm = std::make_unique<TFTPExplorerForm>(*FTPAccountsFile, *SettingsFile, this);
        FTPExplorerForm->OnOpenRemoteFile = [this](const std::string& localCopy, const std::string& remotePath,
                                                   const TGUID& account) { OpenRemoteFile(localCopy, remotePath, account); };
        FTPExplorerForm->ExecuteDialog = [this](QDialog& dialog) { return ShowModal(dialog); };
        FTPExplorerForm->ProgressOwner = this;
        if (TFTPExplorerToolForm* window = FTPExplorerWindow())
            window->Embed(FTPExplorerForm.get());
    }
    return FTPExplorerForm.get();
}

std::vector<TFTPExplorerForm*> TMainForm::FTPExplorers() const
{
    std::vector<TFTPExplorerForm*> explorers;
    if (FTPExplorerForm)
        explorers.push_back(FTPExplorerForm.get());
    // The project explorer's remote view has a connection of its own.
    if (TProjectExplorerForm* project = ProjectExplorerForm())
        explorers.push_back(project->RemoteView);
    return explorers;
}

void TMainForm::BindFTPExplorerAction()
{
    acFTPExplorer = ActionList.Find("acFTPExplorer");
    if (acFTPExplorer)
        acFTPExplorer->OnExecute = [this](TObject*) { FTPExplorerExecute(); };
}

void TMainForm::FTPExplorerExecute()
{
    TFTPExplorerForm* explorer = FTPExplorer();
    if (!explorer || (explorer->isVisible() && explorer->isModal()))
        return;
    explorer->SetDialogMode(TFTPExplorerForm::dmExplorer);
    if (TFTPExplorerToolForm* window = FTPExplorerWindow()) {
        window->Embed(explorer);
        ShowDockableForm(window);
        return;
    }
    // With docking off it is a free window.
    explorer->show();
    explorer->raise();
    explorer->activateWindow();
}

bool TMainForm::PrepareModalExplorer(TFTPExplorerForm* explorer)
{
    if (!explorer || explorer->Busy() || (explorer->isVisible() && explorer->isModal()))
        return false;
    // The tool window becomes the dialog; its connection stays.
    explorer->hide();
    if (TFTPExplorerToolForm* window = FTPExplorerWindow())
        window->Release(this);
    return true;
}

void TMainForm::EndModalExplorer(TFTPExplorerForm* explorer)
{
    explorer->SetDialogMode(TFTPExplorerForm::dmExplorer);
    if (TFTPExplorerToolForm* window = FTPExplorerWindow())
        window->Embed(explorer);
}

void TMainForm::OpenRemoteExecute()
{
    TFTPExplorerForm* explorer = FTPExplorer();
    if (!PrepareModalExplorer(explorer))
        return;
    explorer->SetDialogMode(TFTPExplorerForm::dmOpen);
    ShowModal(*explorer);
    EndModalExplorer(explorer);
}

void TMainForm::SaveAsRemoteExecute()
{
    TCodeEditorForm* document = ActiveEditorForm();
    TFTPExplorerForm* explorer = FTPExplorer();
    if (!document || !PrepareModalExplorer(explorer))
        return;
    explorer->SetDialogMode(TFTPExplorerForm::dmSave);
    explorer->SetFileName(DocumentBaseName(document->FileName()));
    explorer->Document = document;
    ShowModal(*explorer);
    explorer->Document = nullptr;
    EndModalExplorer(explorer);
}

bool TMainForm::CancelFTPTransfers()
{
    bool running = false;
    if (FTPModule && FTPModule->Busy()) {
        FTPModule->Cancel();
        running = true;
    }
    for (TFTPExplorerForm* explorer : FTPExplorers())
        if (explorer->Busy()) {
            explorer->Cancel();
            running = true;
        }
    return running;
}

void TMainForm::FTPAccountsExecute()
{
    if (!FTPAccountsFile || !SettingsFile)
        return;
    TFTPManagerForm manager(*FTPAccountsFile, *SettingsFile, this);
    // why: the account dialogs the manager opens are modal too and answer through the same seam.
    manager.ExecuteAccount = [this](TFTPAccountForm& dialog) { return ShowModal(dialog); };
    ShowModal(manager);
}

bool TMainForm::EditFTPAccount(const TGUID& account, QWidget* parent)
{
    if (!FTPAccountsFile)
        return false;
    TFTPAccountForm dialog(*FTPAccountsFile, parent);
    dialog.LoadAccount(account);
    return ShowModal(dialog) == QDialog::Accepted;
}

void TMainForm::CloseAfterTransfer()
{
    if (FCloseAfterTransfer)
        return;
    FCloseAfterTransfer = true;
    QTimer::singleShot(0, this, &TMainForm::CloseWhenTransferEnded);
}

void TMainForm::CloseWhenTransferEnded()
{
    // why: the cancelled command is still unwinding, or its message is still shown.
    const std::vector<TFTPExplorerForm*> explorers = FTPExplorers();
    const bool explorerBusy =
        std::any_of(explorers.begin(), explorers.end(), [](TFTPExplorerForm* explorer) { return explorer->Busy(); });
    if ((FTPModule && FTPModule->Busy()) || explorerBusy || QApplication::activeModalWidget()) {
        QTimer::singleShot(CloseRetryMs, this, &TMainForm::CloseWhenTransferEnded);
        return;
    }
    FCloseAfterTransfer = false;
    close();
}
