// The main window's FTP commands: documents opened from and saved to FTP accounts, and the
// account manager. Until the FTP explorer exists, the remote file is chosen in a remote file
// chooser; the transfers go through the FTP module with its progress window.

#include "app/zuMainForm.h"

#include "app/zuConstants.h"
#include "app/zuScopeGuards.h"
#include "documents/zuCodeEditorForm.h"
#include "ftp/client/zuFTPErrors.h"
#include "ftp/zuFTPAccountForm.h"
#include "ftp/zuFTPManagerForm.h"
#include "ftp/zuFTPModule.h"
#include "ftp/zuRemoteFileChooser.h"
#include "settings/zuSettings.h"

#include "SrcEdit/Source/view/SrcEdit.h"

#include "Platform/core/Application.h"
#include "Platform/files/FileNames.h"
#include "Platform/files/Streams.h"
#include "Platform/text/Format.h"

#include <QApplication>
#include <QPointer>
#include <QTimer>

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

void TMainForm::OpenRemoteExecute()
{
    if (!FTPModule || !FTPAccountsFile)
        return;
    TRemoteFileChooser chooser(TRemoteFileChooser::TMode::rmOpen, *FTPModule, *FTPAccountsFile, this);
    chooser.SelectAccount(LastFTPAccount);
    if (ShowModal(chooser) != QDialog::Accepted)
        return;
    const TGUID account = chooser.Account();
    const std::string remotePath = chooser.RemotePath();
    LastFTPAccount = account;
    TMemoryStream bytes;
    try {
        FTPModule->DownloadToStream(account, remotePath, bytes);
    } catch (const ENetFTPAborted&) {
        // The user cancelled it; there is nothing to tell.
        return;
    }
    TFTPLocalCopies& copies = FTPModule->LocalCopies();
    const std::string localCopy = copies.SaveCopy(remotePath, bytes.View());
    struct TRelease {
        TFTPLocalCopies& Copies;
        const std::string& Path;
        ~TRelease() { Copies.Release(Path); }
    } release{copies, localCopy};
    OpenRemoteFile(localCopy, remotePath, account);
}

void TMainForm::SaveAsRemoteExecute()
{
    TCodeEditorForm* document = ActiveEditorForm();
    if (!document || !FTPModule || !FTPAccountsFile)
        return;
    TRemoteFileChooser chooser(TRemoteFileChooser::TMode::rmSave, *FTPModule, *FTPAccountsFile, this);
    chooser.SelectAccount(document->IsRemote() ? document->AccountID() : LastFTPAccount);
    chooser.SetFileName(DocumentBaseName(document->FileName()));
    const QPointer<TCodeEditorForm> target = document;
    if (ShowModal(chooser) != QDialog::Accepted || !target)
        return;
    LastFTPAccount = chooser.Account();
    target->UploadTo(chooser.Account(), chooser.RemotePath());
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
    if ((FTPModule && FTPModule->Busy()) || QApplication::activeModalWidget()) {
        QTimer::singleShot(CloseRetryMs, this, &TMainForm::CloseWhenTransferEnded);
        return;
    }
    FCloseAfterTransfer = false;
    close();
}
