#pragma once
// TFTPManagerForm: the modal "FTP Accounts" manager. Its list page lists the accounts of
// "ftp.dat" and adds, edits and deletes them; its proxy page edits the proxy settings that all
// accounts share ([FTP Client] of the main settings file). Apply and Cancel serve both pages.

#include "common/zuGuid.h"

#include <QDialog>

#include <functional>
#include <string>
#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSpinBox;
class QStackedWidget;
class TFTPAccountForm;
class TIniFileEx;

class TFTPManagerForm : public QDialog {
public:
    TFTPManagerForm(TIniFileEx& accounts, TIniFileEx& settings, QWidget* parent = nullptr);
    ~TFTPManagerForm() override;

    // Refills the list from the sections of "ftp.dat" in file order, named by Name ("Untitled"
    // when missing); with `clearOnly` it only empties it. A section name that is not GUID text
    // raises EConvertError.
    void FillAccountList(bool clearOnly);
    std::vector<TGUID> AccountIDs() const;
    std::vector<std::string> AccountNames() const;
    void SelectRow(int row);
    bool ProxyPageShown() const;

    // "&Apply": on the list page closes with OK; on the proxy page writes the proxy settings and
    // goes back to the list page.
    void OnApply();
    // "&Cancel": on the list page closes with Cancel; on the proxy page goes back unwritten.
    void OnCancel();
    // "&Add Account": the account dialog for a new GUID; OK refills the list.
    void DoAddSession();
    // "&Edit Account " and a double click: the account dialog for the selected row.
    void DoEditAccount();
    // "&Delete": erases the selected account at once, without a question.
    void DoDeleteAccount();
    // "&FTP Options": fills the proxy page from the settings and shows it.
    void DoFTPoptions();

    // Shows an account dialog modally and answers its result; tests replace it.
    std::function<int(TFTPAccountForm& dialog)> ExecuteAccount;

    QLabel* Header;
    QListWidget* AccountList;
    QPushButton* AddButton;
    QPushButton* EditButton;
    QPushButton* DeleteButton;
    QPushButton* OptionsButton;
    QComboBox* ProxyTypeBox;
    QLineEdit* ProxyHostEdit;
    QLineEdit* ProxyUserEdit;
    QLineEdit* ProxyPassEdit;
    QSpinBox* ProxyPort;
    QPushButton* ApplyButton;
    QPushButton* CancelButton;

private:
    void ShowAccount(const TGUID& account);

    TIniFileEx& FAccounts;
    TIniFileEx& FSettings;
    QStackedWidget* FPages;
};
