// The document window over a file of an FTP account: its caption, and saving and reloading
// through the FTP module.

#include "documents/zuCodeEditorForm.h"

#include "app/zuScopeGuards.h"
#include "common/zuFunctions.h"
#include "ftp/client/zuFTPErrors.h"
#include "ftp/zuFTPAccounts.h"
#include "ftp/zuFTPModule.h"
#include "settings/zuSettings.h"

#include "Platform/files/Streams.h"
#include "Platform/text/Format.h"

namespace {

TFTPModule& Module()
{
    if (!FTPModule)
        throw ENetFTPError("FTP transfers are not available");
    return *FTPModule;
}

} // namespace

void TCodeEditorForm::SetAccountID(const TGUID& account)
{
    if (account == FAccountID)
        return;
    FAccountID = account;
    UpdateCaption();
}

void TCodeEditorForm::SetRemotePath(const std::string& path)
{
    if (path == FRemotePath)
        return;
    FRemotePath = path;
    FFileName = SplitPathName(path);
    UpdateCaption();
}

std::string TCodeEditorForm::RemoteCaption() const
{
    const std::string host =
        FTPAccountsFile ? AccountCaptionHost(*FTPAccountsFile, FAccountID) : std::string(CaptionHostDefault);
    return Format("{%s}%s", {host, FRemotePath});
}

void TCodeEditorForm::UploadDocument()
{
    UploadTo(FAccountID, FRemotePath);
}

void TCodeEditorForm::UploadTo(const TGUID& account, const std::string& remotePath)
{
    TFTPModule& module = Module();
    TMemoryStream bytes(RemoteText());
    {
        TBusyFlag busy(FTransferring);
        module.UploadFromStream(account, remotePath, bytes);
    }
    BindRemote(account, remotePath);
}

std::string TCodeEditorForm::RemoteText() const
{
    // why: a file of the server goes back with its own breaks; LF is for what is new there.
    if (IsRemote())
        return FileText();
    return ConvertLineBreaks(FEditor->GetAllText(), 1);
}

void TCodeEditorForm::BindRemote(const TGUID& account, const std::string& remotePath)
{
    // why: a local document went up with LF line ends; its later uploads must keep them.
    if (!IsRemote())
        FEditor->Lines().ApplyLineBreakStyle(TLineBreakStyle::lbsLF);
    SetAccountID(account);
    SetRemotePath(remotePath);
    AfterSave();
}

void TCodeEditorForm::DownloadDocument()
{
    TFTPModule& module = Module();
    TMemoryStream bytes;
    {
        TBusyFlag busy(FTransferring);
        module.DownloadToStream(FAccountID, FRemotePath, bytes);
    }
    // why: only a complete download replaces the text; a broken one raised above.
    LoadText(bytes);
    UpdateCaption();
    EditorChange();
}

void TCodeEditorForm::CancelTransfer()
{
    if (FTPModule)
        FTPModule->Cancel();
}
