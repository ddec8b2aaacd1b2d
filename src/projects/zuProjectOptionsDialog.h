#pragma once
// TProjectOptionsForm: the modal "Project Options" dialog that edits one project of
// "projects.dat": name, server choice with local URL and folder, remote URL and folder, FTP
// account. Invalid fields are painted red and keep the dialog open; entering a field paints
// it normally again and shows its hint in the header.

#include "common/zuGuid.h"

#include "Platform/graphics/Colors.h"

#include <QDialog>
#include <QIcon>

#include <functional>
#include <string>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;
class TIniFileEx;
class TCurrentProject;

// What the project dialogs work with; the program fills it once.
struct TProjectServices {
    TIniFileEx* Projects = nullptr;    // "projects.dat"
    TIniFileEx* Settings = nullptr;    // the main settings file
    TIniFileEx* FTPAccounts = nullptr; // "ftp.dat"; none: no account rows
    std::string ProjectFolder;         // the default document root, with its "/"
    TCurrentProject* CurrentProject = nullptr;
    // Shows the FTP account dialog for `account` (a new one when "ftp.dat" has no section for
    // it) modally; true when it ended with OK. Unset: accounts cannot be edited here.
    std::function<bool(const TGUID& account, QWidget* parent)> EditFTPAccount;
    // The icon of a project row in the project manager.
    QIcon ProjectIcon;
};

class TProjectOptionsForm : public QDialog {
public:
    TProjectOptionsForm(const TProjectServices& services, QWidget* parent = nullptr);
    ~TProjectOptionsForm() override;

    // Fills the dialog from the project's section; nothing when `project` is already loaded
    // (a fresh dialog holds the all-zero GUID).
    void LoadProject(const TGUID& project);
    TGUID LoadedProject() const { return FProject; }
    // The account the dialog would store.
    TGUID Account() const { return FAccount; }

    // Refills the account drop-down ("-- None --" and the accounts of "ftp.dat") and selects
    // the dialog's account; with `clearOnly` it only empties it.
    void FillAccountCombo(bool clearOnly);

    // "&Apply": validates, writes the project, opens it and closes the dialog with OK. False
    // when a field is invalid (it is painted red; nothing is written).
    bool DoApply();
    // "...": edits the selected FTP account (a new one for "-- None --").
    void DoEditFTPAccount();
    // The server drop-down changed: keeps what was typed for the old choice, shows the new.
    void cmbxHTTPServerChange();
    void cmbxFTPAccountChange();
    // A field got the focus: a red field becomes normal; the header shows the field's hint.
    void DoEnter(QWidget* field);
    void DoShowHint(QWidget* field);

    // The colour a field is painted in: 255 (red) when marked invalid, else clWindow.
    TColor FieldColor(const QWidget* field) const;
    std::string HeaderComment() const;

    QLabel* HeaderPanel;
    QLineEdit* edProjectName;
    QComboBox* cmbxHTTPServer;
    QLineEdit* edLocalURL;
    QLineEdit* edLocalPath;
    QToolButton* btnBrowseLocalPath;
    QLineEdit* edRemoteURL;
    QLineEdit* edRemotePath;
    QComboBox* cmbxFTPAccount;
    QToolButton* btnEditAccount;
    QPushButton* btnApply;
    QPushButton* btnCancel;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ShowChoice();
    void BrowseLocalPath();

    TProjectServices FServices;
    QLabel* FHeaderComment;
    TGUID FProject;
    TGUID FAccount;
    int FChoice = 0;
    std::string FProjectLocalURL;
    std::string FProjectLocalPath;
    std::string FSharedServerURL;
    std::string FSharedDocumentPath;
};
