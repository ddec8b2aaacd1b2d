#include "experts/zuTagCaseForm.h"
#include "experts/zuExpertButtons.h"

#include "common/zuFunctions.h"

#include "SrcEdit/Source/view/SrcEdit.h"

#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

TTagCaseForm::TTagCaseForm(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Convert Case"));
    UpperCaseButton = new QRadioButton(QStringLiteral("Convert all tags to UPPERCASE"), this);
    LowerCaseButton = new QRadioButton(QStringLiteral("Convert all tags to lowercase"), this);
    UpperCaseButton->setChecked(true);
    auto* note = new QLabel(QStringLiteral("Note: This operation cannot be undone"), this);
    QDialogButtonBox* buttons = MakeApplyCancelButtons(*this, "&Apply", "&Cancel", [this] { ApplyClick(); });
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(UpperCaseButton);
    layout->addWidget(LowerCaseButton);
    layout->addWidget(note);
    layout->addWidget(buttons);
}

void TTagCaseForm::ApplyClick()
{
    if (TSrcEdit* editor = TargetEditor ? TargetEditor() : nullptr) {
        std::string text = ChangeTagCase(editor->GetAllText(), LowerCaseButton->isChecked());
        // why: setting the text drops a final line break, which would take the empty last line
        // (the file's final line end) with it.
        if (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
            text += "\r\n";
        editor->SetAllText(text);
        editor->SetContentModified(true);
    }
    accept();
}
