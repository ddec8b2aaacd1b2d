// The FTP explorer's commands that move and change files on the server.

#include "ftp/explorer/zuFTPExplorerForm.h"

#include "ftp/client/zuFTPErrors.h"
#include "ftp/explorer/zuFTPExplorerRow.h"
#include "ftp/explorer/zuFTPExplorerRows.h"
#include "ftp/explorer/zuFTPPermissionsForm.h"
#include "ftp/zuProgressForm.h"

#include "app/zuConstants.h"
#include "documents/zuCodeEditorForm.h"

#include "Platform/core/Application.h"
#include "Platform/core/QtBridge.h"
#include "Platform/files/Streams.h"
#include "Platform/text/Format.h"

#include <QSignalBlocker>
#include <QTreeWidget>

namespace {

// The progress window of one command, closed when the command ends however it ends.
class TProgressScope {
public:
    TProgressScope(QPointer<TProgressForm>& progress, QWidget* owner, std::function<void()> cancel)
        : FProgress(progress)
    {
        FProgress = new TProgressForm(owner);
        FProgress->OnCancel = std::move(cancel);
        FProgress->show();
    }
    ~TProgressScope()
    {
        if (!FProgress)
            return;
        FProgress->OnCancel = nullptr;
        FProgress->close();
        FProgress = nullptr;
    }
    TProgressScope(const TProgressScope&) = delete;
    TProgressScope& operator=(const TProgressScope&) = delete;

private:
    QPointer<TProgressForm>& FProgress;
};

} // namespace

std::string TFTPExplorerForm::RemotePathOf(const std::string& name) const
{
    // why: at the root the folder already ends with "/"; "//x" is a different path to some servers.
    if (!FFolder.empty() && FFolder.back() == '/')
        return FFolder + name;
    return FFolder + "/" + name;
}

void TFTPExplorerForm::RefreshExecute()
{
    if (ProjectView() && FProject.NoAccount && Account() == NullGUID) {
        FProject.NoAccount();
        return;
    }
    if (FClient.Busy() || !EnsureConnected())
        return;
    std::string folder;
    if (Try([&] { folder = FClient.RetrieveCurrentDir(); }))
        Try([&] { FClient.ChangeDir(folder); });
    RefreshListing();
}

void TFTPExplorerForm::ChangeParentDirExecute()
{
    if (FClient.Busy() || !EnsureConnected())
        return;
    if (!Try([this] { FClient.ChangeDirUp(); }))
        return;
    // A name typed for saving stays; a name picked from the old folder does not.
    if (FDialogMode != dmSave)
        FileNameEdit->clear();
    RefreshListing();
}

void TFTPExplorerForm::RemoteViewDblClick(QTreeWidgetItem* row)
{
    if (!row || FClient.Busy())
        return;
    const TFTPListItem entry = TFTPListingRow::Of(row);
    switch (entry.ItemType) {
    case TFTPItemType::ditDirectory:
        if (Try([&] { FClient.ChangeDir(entry.FileName); }))
            RefreshListing();
        break;
    case TFTPItemType::ditSymbolicLink:
        if (Try([&] { FClient.ChangeDir(entry.FileName); })) {
            RefreshListing();
        } else if (FDialogMode == dmOpen || ProjectView()) {
            // A link that is no folder leads to a file.
            TProgressScope progress(FProgress, ProgressOwner ? ProgressOwner.data() : this, [this] { Cancel(); });
            OpenEntry(entry);
        }
        break;
    case TFTPItemType::ditFile:
        if (FDialogMode != dmSave)
            OpenRemoteExecute();
        break;
    }
}

bool TFTPExplorerForm::OpenRemoteExecute()
{
    if (FClient.Busy() || !EnsureConnected())
        return false;
    // Copies: the rows may be listed anew while a file downloads.
    std::vector<TFTPListItem> files;
    for (QTreeWidgetItem* row : SelectedRows())
        if (TFTPListingRow::Of(row).ItemType == TFTPItemType::ditFile)
            files.push_back(TFTPListingRow::Of(row));
    if (files.empty())
        return false;
    FCancelled = false;
    TProgressScope progress(FProgress, ProgressOwner ? ProgressOwner.data() : this, [this] { Cancel(); });
    bool all = true;
    for (const TFTPListItem& file : files) {
        if (FCancelled)
            return false;
        all = OpenEntry(file) && all;
    }
    return all;
}

bool TFTPExplorerForm::OpenEntry(const TFTPListItem& file)
{
    const std::string remotePath = RemotePathOf(file.FileName);
    FProgressMax = file.Size;
    if (FProgress) {
        FProgress->SetProgress(0, FProgressMax);
        FProgress->SetStatusText(Format("Downloading %s", {remotePath}));
    }
    // why: the text reaches the document only after a complete download, through a new copy in
    // a private folder; nothing left over from an earlier download is read or appended to.
    TMemoryStream bytes;
    if (!Try([&] { FClient.Get(file.FileName, bytes); }))
        return false;
    std::string copy;
    if (!Try([&] { copy = FLocalCopies.SaveCopy(file.FileName, bytes.View()); }))
        return false;
    struct TRelease {
        TFTPLocalCopies& Copies;
        const std::string& Path;
        ~TRelease() { Copies.Release(Path); }
    } release{FLocalCopies, copy};
    if (OnOpenRemoteFile)
        OnOpenRemoteFile(copy, remotePath, Account());
    return true;
}

bool TFTPExplorerForm::SaveAsRemoteExecute()
{
    if (FClient.Busy() || !Document || !EnsureConnected())
        return false;
    const std::string name = FileName();
    if (!IsValidRemoteName(name)) {
        ShowMessageBox(Format(sInvalidFileName, {name}), MB_OK | MB_ICONERROR);
        return false;
    }
    TMemoryStream bytes(Document->RemoteText());
    std::int64_t size = -1;
    if (!Try([&] { size = FClient.Size(name); }))
        return false;
    // why: some servers answer SIZE only for some files; the listing tells too.
    if ((size >= 0 || Row(name)) &&
        ShowMessageBox(Format(sFileExistsOverwrite, {name}), MB_YESNO | MB_ICONQUESTION) != IDYES)
        return false;
    const std::string remotePath = RemotePathOf(name);
    FCancelled = false;
    {
        TProgressScope progress(FProgress, ProgressOwner ? ProgressOwner.data() : this, [this] { Cancel(); });
        FProgressMax = bytes.Size();
        FProgress->SetProgress(0, FProgressMax);
        FProgress->SetStatusText(Format("Uploading %s", {remotePath}));
        if (!Try([&] { FClient.Put(bytes, name); }))
            return false;
    }
    // The document may have been closed while its text travelled.
    if (Document)
        Document->BindRemote(FAccount, remotePath);
    return true;
}

void TFTPExplorerForm::ActionButtonClick()
{
    const bool done = FDialogMode == dmSave ? SaveAsRemoteExecute() : OpenRemoteExecute();
    // A failure keeps the dialog open, so that its log shows what went wrong.
    if (done && isModal())
        accept();
}

void TFTPExplorerForm::MKDExecute()
{
    if (FClient.Busy() || !EnsureConnected())
        return;
    std::string name;
    while (name.empty()) {
        NameQuery.Caption = "New Directory";
        NameQuery.Prompt = "Enter The Name For The New Directory";
        NameQuery.Value.clear();
        if (!NameQuery.Execute(this))
            return;
        name = NameQuery.Value;
    }
    if (!IsValidRemoteName(name)) {
        ShowMessageBox(Format(sInvalidDirectoryName, {name}), MB_OK | MB_ICONERROR);
        return;
    }
    Try([&] { FClient.MakeDir(name); });
    RefreshListing();
}

void TFTPExplorerForm::DeleteExecute()
{
    if (FClient.Busy() || !EnsureConnected())
        return;
    std::vector<TFTPListItem> entries;
    std::vector<std::string> names;
    for (QTreeWidgetItem* row : SelectedRows()) {
        entries.push_back(TFTPListingRow::Of(row));
        names.push_back(entries.back().FileName);
    }
    if (entries.empty())
        return;
    if (ShowMessageBox(DeleteQuestion(names), MB_YESNO | MB_ICONQUESTION) == IDYES) {
        for (const TFTPListItem& entry : entries) {
            if (entry.ItemType == TFTPItemType::ditDirectory)
                Try([&] { FClient.RemoveDir(entry.FileName); });
            else if (entry.ItemType == TFTPItemType::ditFile)
                Try([&] { FClient.Delete(entry.FileName); });
        }
    }
    RefreshListing();
}

void TFTPExplorerForm::RenameExecute()
{
    const std::vector<QTreeWidgetItem*> rows = SelectedRows();
    if (rows.size() == 1)
        RemoteView->editItem(rows.front(), fcFilename);
}

void TFTPExplorerForm::RemoteViewEdited(QTreeWidgetItem* row, int column)
{
    if (column != fcFilename || !row)
        return;
    RenameRow(row, StdStr(row->text(fcFilename)));
}

bool TFTPExplorerForm::RenameRow(QTreeWidgetItem* row, const std::string& newName)
{
    TFTPListItem& entry = TFTPListingRow::Of(row);
    const std::string oldName = entry.FileName;
    if (newName == oldName)
        return true;
    bool renamed = false;
    if (!newName.empty() && !FClient.Busy() && FClient.Connected())
        renamed = Try([&] { FClient.Rename(oldName, newName); });
    const QSignalBlocker block(RemoteView);
    if (renamed)
        entry.FileName = newName;
    row->setText(fcFilename, QStr(entry.FileName));
    return renamed;
}

void TFTPExplorerForm::CHMODExecute()
{
    if (FClient.Busy() || !EnsureConnected())
        return;
    std::vector<std::string> names;
    const std::vector<QTreeWidgetItem*> rows = SelectedRows();
    for (QTreeWidgetItem* row : rows)
        names.push_back(TFTPListingRow::Of(row).FileName);
    if (names.empty())
        return;
    int value = 644;
    // why: the row's own entry; a search of the listing's lines for the name finds
    // "a.php.bak" before "a.php".
    if (rows.size() == 1 && !TFTPListingRow::Of(rows.front()).OwnerPermissions.empty())
        value = PermissionValue(TFTPListingRow::Of(rows.front()));
    TFTPPermissionForm dialog(this);
    dialog.SetPermissionValue(value);
    if ((ExecuteDialog ? ExecuteDialog(dialog) : dialog.exec()) != QDialog::Accepted)
        return;
    value = dialog.GetPermissionValue();
    for (const std::string& name : names) {
        try {
            FClient.Site(Format("CHMOD %d %s", {value, name}));
        } catch (const ENetFTPError&) {
            break;
        }
    }
    RefreshListing();
}
