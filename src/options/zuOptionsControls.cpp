// The controls of the options dialogs.

#include "options/zuOptionsControls.h"

#include "ExLib/run/edits/ExFileDirEdit.h"
#include "ExLib/run/edits/ExSpinEdit.h"
#include "ExLib/run/panels/ExPageControl.h"

#include "Platform/core/Application.h"
#include "Platform/core/QtBridge.h"

#include <QBoxLayout>
#include <QDialog>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>

QFormLayout* AddFormPage(TExPageControl& pages, const std::string& caption)
{
    auto* sheet = new TTabSheet(nullptr);
    sheet->SetCaption(caption);
    sheet->SetPageControl(&pages);
    auto* form = new QFormLayout(sheet);
    form->setContentsMargins(12, 12, 12, 12);
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    return form;
}

TExFilenameEdit* AddFileEdit(QFormLayout& form, const std::string& caption, const std::string& filter, bool typing)
{
    auto* edit = new TExFilenameEdit(nullptr, form.parentWidget());
    edit->SetFilter(filter);
    edit->SetDirectInput(typing);
    // why: names with blanks stay as they are; the settings keep plain paths
    edit->AddQuotes = false;
    form.addRow(QStr(caption), edit);
    return edit;
}

TExDirectoryEdit* AddFolderEdit(QFormLayout& form, const std::string& caption)
{
    auto* edit = new TExDirectoryEdit(nullptr, form.parentWidget());
    edit->SetDirectInput(false);
    form.addRow(QStr(caption), edit);
    return edit;
}

QLineEdit* AddLineEdit(QFormLayout& form, const std::string& caption)
{
    auto* edit = new QLineEdit(form.parentWidget());
    form.addRow(QStr(caption), edit);
    return edit;
}

TExSpinEdit* MakeSpinEdit(QWidget* parent, int minimum, int maximum)
{
    auto* edit = new TExSpinEdit(nullptr, parent);
    edit->SetMinValue(minimum);
    edit->SetMaxValue(maximum);
    edit->SetCheckMinValue(true);
    edit->SetCheckMaxValue(true);
    edit->SetButtonKind(TSpinButtonKind::bkStandard);
    edit->setMaximumWidth(100);
    return edit;
}

TExSpinEdit* AddSpinEdit(QFormLayout& form, const std::string& caption, int minimum, int maximum)
{
    TExSpinEdit* edit = MakeSpinEdit(form.parentWidget(), minimum, maximum);
    form.addRow(QStr(caption), edit);
    return edit;
}

QValidator* NoBlanksValidator(QWidget* parent)
{
    return new QRegularExpressionValidator(QRegularExpression(QStringLiteral("\\S*")), parent);
}

void KeepLowerCase(QLineEdit& edit)
{
    QObject::connect(&edit, &QLineEdit::textEdited, &edit, [&edit](const QString& text) {
        const QString lower = text.toLower();
        if (lower == text)
            return;
        const int position = edit.cursorPosition();
        edit.setText(lower);
        edit.setCursorPosition(position);
    });
}

QBoxLayout* AddDialogButtons(QBoxLayout& layout, QDialog& dialog, QPushButton*& apply, QPushButton*& cancel)
{
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    apply = new QPushButton(QStringLiteral("&Apply"), &dialog);
    apply->setObjectName(QStringLiteral("ApplyButton"));
    apply->setDefault(true);
    cancel = new QPushButton(QStringLiteral("&Cancel"), &dialog);
    cancel->setObjectName(QStringLiteral("CancelButton"));
    QObject::connect(cancel, &QPushButton::clicked, &dialog, &QDialog::reject);
    row->addWidget(apply);
    row->addWidget(cancel);
    layout.addLayout(row);
    return row;
}

void RunGuarded(const std::function<void()>& handler)
{
    try {
        handler();
    } catch (...) {
        HandleCurrentException();
    }
}
