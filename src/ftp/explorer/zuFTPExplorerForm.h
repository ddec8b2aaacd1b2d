#pragma once
// TFTPExplorerForm: browses a folder of an FTP account over a connection of its own: lists it,
// moves between folders, opens remote files as documents, saves the active document to the
// server, deletes, renames, makes folders and changes permissions, and keeps the connection
// alive while it is idle. Every command and reply goes to its transfer log; errors are logged
// as "EXCEPTION:> " lines rather than shown in message boxes.
//
// One window serves as a free tool window (mode 0) and as the modal Open From FTP (mode 1) and
// Save As To FTP (mode 2) dialogs; a window given a project source is the project explorer's
// remote view instead (SetProjectSource). It is reused: closing hides it and keeps the connection.
// All work runs on the GUI thread with blocking calls that keep the event loop running; while
// one runs, further commands are ignored, and closing the window ends it.

#include "ftp/client/zuNetFTP.h"
#include "ftp/zuFTPLocalCopies.h"
#include "ftp/zuFTPTransferLog.h"

#include "app/zuDialogs.h"
#include "common/zuGuid.h"

#include <QDialog>
#include <QPointer>
#include <QTimer>

#include <cstdint>
#include <functional>
#include <random>
#include <string>
#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QStatusBar;
class QToolBar;
class QTreeWidget;
class QTreeWidgetItem;
class QWidget;
class TAction;
class TCodeEditorForm;
class TExMemo;
class TIniFileEx;
class TProgressForm;
struct TFTPListItem;

class TFTPExplorerForm : public QDialog {
public:
    enum TDialogMode { dmExplorer = 0, dmOpen = 1, dmSave = 2 };

    // `accounts` is "ftp.dat", `settings` the main settings (its [FTP Client] "Last Session"
    // names the account chosen at first). Clients are set up through the global FTP module.
    TFTPExplorerForm(TIniFileEx& accounts, TIniFileEx& settings, QWidget* parent = nullptr);
    // Sends QUIT when connected and idle.
    ~TFTPExplorerForm() override;

    // The project explorer's remote view: the account and the folder to start in belong to the
    // current project and are asked for whenever needed; without an account, NoAccount runs
    // instead of connecting. The view lists without a filter, has no account drop-down, Type
    // column, status bar or caption, selects one row at a time, and opens a link that is no
    // folder as a file.
    struct TProjectSource {
        std::function<TGUID()> Account;
        std::function<std::string()> Folder;
        std::function<void()> NoAccount;
    };
    void SetProjectSource(TProjectSource source);
    bool ProjectView() const { return static_cast<bool>(FProject.Account); }
    // Runs after the connection state and the command states changed.
    std::function<void()> OnStateChange;

    // 0 hides the bottom panel; 1 shows it with a read-only file name and "&Open" as its
    // action; 2 with an editable name and "&Save".
    void SetDialogMode(int mode);
    int DialogMode() const { return FDialogMode; }

    // "-- None --" and every account of "ftp.dat" in file order, the chosen one selected;
    // with `clearOnly` just empties the drop-down.
    void FillAccountBox(bool clearOnly = false);
    void SelectAccount(const TGUID& account);
    // The account in use: the chosen one, or the project's.
    TGUID Account() const;

    bool Connected() const { return FClient.Connected(); }
    // True while a command waits for the server.
    bool Busy() const { return FClient.Busy(); }
    // Ends the command that waits (the connection closes); nothing when idle.
    void Cancel();
    // When disconnected, asks whether to reconnect and does so on Yes. Whether connected now.
    bool EnsureConnected();

    // Lists the current folder again (with the filter as LIST's argument).
    void RefreshListing();
    // Adds a row for an entry of the listing.
    QTreeWidgetItem* AddListingRow(const TFTPListItem& entry);
    const std::string& CurrentFolder() const { return FFolder; }
    std::int64_t TotalSize() const { return FTotalSize; }
    // The rows' names in the list's order, and the row with a name (null when none).
    std::vector<std::string> RowNames() const;
    QTreeWidgetItem* Row(const std::string& name) const;
    // Selects exactly the rows with these names.
    void SelectRows(const std::vector<std::string>& names);
    std::vector<std::string> LogLines() const;
    void LogException(const std::exception& e);

    // The file name field.
    std::string FileName() const;
    void SetFileName(const std::string& name);

    // Commands (each also reachable as an action below).
    void FTPConnectExecute();
    void SessionManagerExecute();
    void RefreshExecute();
    void ChangeParentDirExecute();
    void MKDExecute();
    void DeleteExecute();
    void RenameExecute();
    void CHMODExecute();
    // Downloads each selected file and opens it; false when one of them failed.
    bool OpenRemoteExecute();
    // Uploads the document under the file name; false when it was not saved.
    bool SaveAsRemoteExecute();
    // The bottom panel's button: its command, then the dialog closes with OK when it succeeded.
    void ActionButtonClick();
    // Renames a row's file, folder or link (after editing its caption); on failure the caption
    // goes back.
    bool RenameRow(QTreeWidgetItem* row, const std::string& newName);
    void RemoteViewDblClick(QTreeWidgetItem* row);
    // A click on a column header: reverses the order and sorts by that column.
    void RemoteViewColumnClick(int column);
    void ViewListExecute();
    void ViewReportExecute();
    // The keep-alive timer's tick.
    void DoNOOP();

    // Where each downloaded file goes (a copy in a private folder, removed after the call).
    std::function<void(const std::string& localCopy, const std::string& remotePath, const TGUID& account)>
        OnOpenRemoteFile;
    // The document Save uploads (mode 2).
    QPointer<TCodeEditorForm> Document;
    // Shows the account manager, its account dialogs and the permissions dialog; exec()
    // unless set.
    std::function<int(QDialog& dialog)> ExecuteDialog;
    // The name of a new folder.
    TInputQuery NameQuery;
    // A whole number from 0 to n - 1.
    std::function<int(int n)> Random;
    // The window the progress window is centred on.
    QPointer<QWidget> ProgressOwner;

    TNetFTP& Client() { return FClient; }
    QTimer Timer1;
    int SortColumn() const { return FSortColumn; }
    bool SortAscending() const { return FSortAscending; }

    QWidget* SessionPanel;
    QToolBar* ToolBar;
    QComboBox* AccountBox;
    QTreeWidget* RemoteView;
    TExMemo* TransferLog;
    QWidget* BottomPanel;
    QLineEdit* FileNameEdit;
    QLineEdit* FilterEdit;
    QPushButton* ActionButton;
    QPushButton* CloseButton;
    QStatusBar* StatusBar;
    QLabel* ItemsPanel;
    QLabel* SizePanel;

    TAction* acOpenRemote;
    TAction* acSaveAsRemote;
    TAction* acDelete;
    TAction* acRename;
    TAction* acRefresh;
    TAction* acMKD;
    TAction* acCHMOD;
    TAction* acFTPconnect;
    TAction* acSessionManager;
    TAction* acChangeParentDir;
    TAction* acViewList;
    TAction* acViewReport;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateActions();
    void CreateControls();
    void UpdateUserInterface();
    void RemoteViewSelectItem();
    void RemoteViewEdited(QTreeWidgetItem* row, int column);
    void Sort();
    // Runs a step against the server; an error is logged and the result is false. A step
    // refused because another one runs counts as failed without a log line.
    bool Try(const std::function<void()>& step);
    // The selected rows in the list's order.
    std::vector<QTreeWidgetItem*> SelectedRows() const;
    // Downloads one file and hands the copy to OnOpenRemoteFile; false when it failed.
    bool OpenEntry(const TFTPListItem& file);
    std::string RemotePathOf(const std::string& name) const;

    TIniFileEx& FAccounts;
    TIniFileEx& FSettings;
    TNetFTP FClient;
    TFTPTransferLog FLog;
    TFTPLocalCopies FLocalCopies;
    TGUID FAccount;
    int FDialogMode = dmExplorer;
    std::string FFolder;
    std::int64_t FTotalSize = 0;
    int FSortColumn = 0;
    bool FSortAscending = true;
    bool FFilling = false;
    QPointer<TProgressForm> FProgress;
    std::int64_t FProgressMax = 0;
    bool FCancelled = false;
    std::mt19937 FRandom;
    TProjectSource FProject;
};
