#pragma once
// TSearchForm: the "Find Text" dialog. It opens with the options of the last search, the
// history of [Find] and the word at the caret, and on "Find" leaves its choices in the
// process-wide search state and puts the text at the front of the history. Its expression
// menu appends regular-expression pieces to the search text.

#include <QDialog>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

class QCheckBox;
class QComboBox;
class QGridLayout;
class QMenu;
class QPushButton;
class QRadioButton;
class QToolButton;
class TIniFileEx;

// The process-wide search state: set by the Find and Replace dialogs, read by the main window's
// commands; not stored in the settings.
inline bool SearchCaseSensitive = false;
inline bool SearchWholeWords = false;
inline bool SearchSelectedOnly = false;
inline bool SearchFromCaret = false;
inline bool SearchRegExp = false;
inline bool SearchBackwards = false;
inline std::string LastSearchText;
inline std::string LastReplaceText;

// One entry of an expression menu: its caption and the text it appends.
struct TExpressionItem {
    std::string_view Caption;
    std::string_view Text;
    // A rule follows the entry.
    bool RuleAfter = false;
};
// The entries of the search text's expression menu, in menu order.
const std::vector<TExpressionItem>& SearchExpressionItems();

class TSearchForm : public QDialog {
public:
    // `settings` may be null (no history then); a non-empty word at the caret becomes the
    // search text and LastSearchText at once.
    TSearchForm(TIniFileEx* settings, const std::string& wordAtCaret, QWidget* parent = nullptr);

    QComboBox* cmbSearchText = nullptr;
    QCheckBox* cbCaseSensitive = nullptr;
    QCheckBox* cbWholeWords = nullptr;
    QCheckBox* cbSelectedOnly = nullptr;
    QCheckBox* cbFromCaret = nullptr;
    QCheckBox* cbRegExp = nullptr;
    QRadioButton* rbUp = nullptr;
    QRadioButton* rbDown = nullptr;
    QToolButton* btnSearchExpressions = nullptr;
    QMenu* SearchExpressionMenu = nullptr;
    QPushButton* btnFind = nullptr;
    QPushButton* btnHelp = nullptr;

    // "&Help"; the button is disabled without it.
    void SetHelpHandler(std::function<void()> handler);

protected:
    // Closing with "Find" stores the choices; nothing is stored otherwise.
    void done(int result) override;
    void showEvent(QShowEvent* event) override;
    virtual void StoreChoices();
    // Adds a row below the search text: a caption, a box and its expression button.
    void AddTextRow(const QString& caption, QWidget* box, QToolButton* button);
    // An expression button whose menu appends to `box` and checks "&Regular Expressions".
    QToolButton* MakeExpressionButton(QComboBox* box, const std::vector<TExpressionItem>& items, QMenu*& menu);

    TIniFileEx* FSettings;

private:
    QGridLayout* FTextRows = nullptr;
    std::function<void()> FHelp;
};
