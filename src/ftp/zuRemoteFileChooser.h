#pragma once
// TRemoteFileChooser: a modal dialog that picks a file on an FTP account, for Open From FTP
// (an existing file) and Save As To FTP (a name in a folder; an existing file only after the
// user agreed to replace it). It browses over a connection of its own: choose an account,
// connect, move between folders; every command and reply goes to its transfer log, and errors
// are logged as "EXCEPTION:> " lines rather than shown in message boxes. The dialog moves no
// file itself; the caller transfers through the FTP module.

#include "ftp/client/zuNetFTP.h"
#include "ftp/zuFTPTransferLog.h"

#include "common/zuGuid.h"

#include <QDialog>

#include <string>

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;
class TFTPModule;
class TIniFileEx;

class TRemoteFileChooser : public QDialog {
public:
    enum class TMode { rmOpen, rmSave };

    TRemoteFileChooser(TMode mode, TFTPModule& module, TIniFileEx& accounts, QWidget* parent = nullptr);
    ~TRemoteFileChooser() override;

    TMode Mode() const { return FMode; }
    // Refills the account drop-down ("-- None --" and every account) and selects the dialog's
    // account, or the first account when it has none.
    void FillAccountBox();
    void SelectAccount(const TGUID& account);
    TGUID Account() const { return FAccount; }

    // Connects with the selected account, changes to its remote folder and lists it; while
    // connected, disconnects instead. Nothing without an account.
    void ConnectExecute();
    bool Connected() const { return FClient.Connected(); }
    // Lists the current folder again.
    void RefreshListing();
    // Into a folder of the list, or up to the parent folder.
    void ChangeDir(const std::string& name);
    void ChangeParentDir();

    // The Open or Save button: with a valid name, closes with OK (Save asks first when the file
    // exists). False when the dialog stays open.
    bool ActionExecute();
    // The folder the server reports and the full remote path of the chosen name.
    const std::string& CurrentFolder() const { return FFolder; }
    std::string RemotePath() const;
    std::string FileName() const;
    void SetFileName(const std::string& name);

    // The names of the listed rows (folders first), and the log's lines.
    std::vector<std::string> RowNames() const;
    std::vector<std::string> LogLines() const;
    // The client, so that tests can watch it.
    TNetFTP& Client() { return FClient; }

    QComboBox* AccountBox;
    QPushButton* ConnectButton;
    QPushButton* ParentButton;
    QLabel* FolderLabel;
    QTreeWidget* RemoteView;
    QLineEdit* FileNameEdit;
    QPlainTextEdit* TransferLog;
    QPushButton* ActionButton;
    QPushButton* CloseButton;

    void done(int result) override;

private:
    void UpdateUserInterface();
    void RowActivated(QTreeWidgetItem* item);
    void RowSelected();
    // Runs a step of the connection; an error is logged and the result is false.
    bool Try(const std::function<void()>& step);

    TMode FMode;
    TFTPModule& FModule;
    TIniFileEx& FAccounts;
    TNetFTP FClient;
    TFTPTransferLog FLog;
    TGUID FAccount;
    std::string FFolder;
};
