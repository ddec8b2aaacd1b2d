#pragma once
// TFTPAccountForm: the modal dialog that edits one FTP account of "ftp.dat". Apply refuses
// empty text fields (painted red, no message) and writes the account, credentials enciphered.

#include "common/zuGuid.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class TIniFileEx;

class TFTPAccountForm : public QDialog {
public:
    explicit TFTPAccountForm(TIniFileEx& accounts, QWidget* parent = nullptr);
    ~TFTPAccountForm() override;

    // Remembers the account and fills the fields from its section (the defaults without one).
    void LoadAccount(const TGUID& account);
    TGUID Account() const { return FAccount; }

    // "&Apply": false, with the empty fields painted red, when a text field is empty; else
    // writes the account and closes with OK.
    bool DoApply();
    // A field got the focus: a red field gets its normal colour back.
    void DoEnter(QWidget* field);

    QLabel* Header;
    QLineEdit* AccName;
    QLineEdit* AccHost;
    QLineEdit* AccRdir;
    QLineEdit* AccUser;
    QLineEdit* AccPass;
    QSpinBox* AccPort;
    QCheckBox* AccPasv;
    QCheckBox* AccPrxy;
    QPushButton* ApplyButton;
    QPushButton* CancelButton;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    TIniFileEx& FAccounts;
    TGUID FAccount;
};
