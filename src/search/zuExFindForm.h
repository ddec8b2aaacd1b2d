#pragma once
// TExFindForm: the "Find in Files" dialog: the text (with the [Find] history), where to search,
// case, whole words, recursion, the folder and the file masks. Every close, by either button,
// puts the text at the front of the history and keeps the folder and the masks in [Find];
// the options and the scope start from their defaults each time.

#include "search/zuFindInFiles.h"

#include <QDialog>

#include <string>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QRadioButton;
class QToolButton;
class TIniFileEx;

class TExFindForm : public QDialog {
public:
    // `settings` may be null; `defaultFolder` stands in for a missing [Find] Path.
    TExFindForm(TIniFileEx* settings, const std::string& wordAtCaret, const std::string& defaultFolder,
                QWidget* parent = nullptr);

    QComboBox* cmPattern = nullptr;
    // "Where": the four scopes in the order of TGrepSettings::TScope.
    QButtonGroup* rgWhere = nullptr;
    QCheckBox* ckbxNoCase = nullptr;
    QCheckBox* ckbxWholeWords = nullptr;
    QCheckBox* ckbxSubDirs = nullptr;
    QLineEdit* cmPath = nullptr;
    QToolButton* btnBrowse = nullptr;
    QLineEdit* cmExtensions = nullptr;

    int Scope() const;
    void SetScope(int scope);
    // The dialog's choices as search parameters (not yet marked as stored).
    TGrepSettings Parameters() const;

protected:
    void done(int result) override;
    void showEvent(QShowEvent* event) override;

private:
    void ScopeChanged();
    void Browse();

    TIniFileEx* FSettings;
};
