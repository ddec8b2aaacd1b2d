#pragma once
// TReplaceForm: the "Replace Text" dialog: "Find Text" with the replacement, its history in
// [Replace] and an expression menu that appends "$0".

#include "search/zuSearchForm.h"

class TReplaceForm : public TSearchForm {
public:
    TReplaceForm(TIniFileEx* settings, const std::string& wordAtCaret, QWidget* parent = nullptr);

    QComboBox* cmbReplaceText = nullptr;
    QToolButton* btnReplaceExpressions = nullptr;
    QMenu* ReplaceExpressionMenu = nullptr;

protected:
    void StoreChoices() override;
};
