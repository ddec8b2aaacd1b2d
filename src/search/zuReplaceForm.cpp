#include "search/zuReplaceForm.h"

#include "search/zuSearchHistory.h"
#include "settings/zuSettings.h"

#include "Platform/core/QtBridge.h"

#include <QComboBox>
#include <QToolButton>

TReplaceForm::TReplaceForm(TIniFileEx* settings, const std::string& wordAtCaret, QWidget* parent)
    : TSearchForm(settings, wordAtCaret, parent)
{
    setObjectName(QStringLiteral("ReplaceForm"));
    setWindowTitle(QStringLiteral("Replace Text"));
    cmbReplaceText = new QComboBox(this);
    cmbReplaceText->setObjectName(QStringLiteral("cmbReplaceText"));
    cmbReplaceText->setEditable(true);
    cmbReplaceText->setInsertPolicy(QComboBox::NoInsert);
    static const std::vector<TExpressionItem> items = {{"$n Tagged Expression", "$0"}};
    btnReplaceExpressions = MakeExpressionButton(cmbReplaceText, items, ReplaceExpressionMenu);
    AddTextRow(QStringLiteral("Replace with"), cmbReplaceText, btnReplaceExpressions);
    // The replacement is the next field after the search text; its expression button goes
    // last, behind the search text's.
    setTabOrder(cmbSearchText, cmbReplaceText);
    setTabOrder(btnSearchExpressions, btnReplaceExpressions);
    const std::vector<std::string> history =
        FSettings ? ReadSearchHistory(*FSettings, Settings::ReplaceSection) : std::vector<std::string>();
    FillHistoryBox(*cmbReplaceText, history, "");
}

void TReplaceForm::StoreChoices()
{
    TSearchForm::StoreChoices();
    const std::string text = StdStr(cmbReplaceText->currentText());
    // why: an empty replacement deletes the matches; keeping the previous replacement instead
    // would write text the user did not give.
    LastReplaceText = text;
    if (text.empty())
        return;
    std::vector<std::string> history = HistoryOfBox(*cmbReplaceText);
    PushSearchHistory(history, text);
    if (FSettings)
        WriteSearchHistory(*FSettings, Settings::ReplaceSection, history);
}
