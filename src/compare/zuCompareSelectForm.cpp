#include "compare/zuCompareSelectForm.h"

#include "Platform/core/QtBridge.h"
#include "Platform/files/FileNames.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

TCompareSelectForm::TCompareSelectForm(const std::string& lastFile1, const std::string& lastFile2, QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Select Files"));
    setObjectName(QStringLiteral("CompareSelectForm"));
    auto* grid = new QGridLayout(this);
    const auto addRow = [&](int row, const char* caption, QLineEdit*& box, const std::string& last) {
        grid->addWidget(new QLabel(QString::fromUtf8(caption), this), row, 0);
        box = new QLineEdit(this);
        box->setReadOnly(true);
        box->setMinimumWidth(360);
        grid->addWidget(box, row, 1);
        auto* browse = new QToolButton(this);
        browse->setText(QStringLiteral("..."));
        grid->addWidget(browse, row, 2);
        QLineEdit* target = box;
        connect(browse, &QToolButton::clicked, this, [this, target, last] { Browse(target, last); });
    };
    addRow(0, "1. File :", FFile1, lastFile1);
    addRow(1, "2. File :", FFile2, lastFile2);
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* compare = buttons->addButton(QStringLiteral("Co&mpare"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("&Cancel"), QDialogButtonBox::RejectRole);
    compare->setDefault(true);
    // why: with a box left empty the comparison would silently not start.
    const auto enableCompare = [this, compare] {
        compare->setEnabled(!FFile1->text().isEmpty() && !FFile2->text().isEmpty());
    };
    enableCompare();
    connect(FFile1, &QLineEdit::textChanged, this, enableCompare);
    connect(FFile2, &QLineEdit::textChanged, this, enableCompare);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    grid->addWidget(buttons, 2, 0, 1, 3);
}

std::string TCompareSelectForm::File1() const
{
    return StdStr(FFile1->text());
}

std::string TCompareSelectForm::File2() const
{
    return StdStr(FFile2->text());
}

void TCompareSelectForm::SetFile1(const std::string& name)
{
    FFile1->setText(QStr(name));
}

void TCompareSelectForm::SetFile2(const std::string& name)
{
    FFile2->setText(QStr(name));
}

void TCompareSelectForm::Browse(QLineEdit* box, const std::string& last)
{
    const std::string current = StdStr(box->text());
    BrowseDialog.FileName = current.empty() ? last : current;
    BrowseDialog.InitialDir = ExtractFilePath(BrowseDialog.FileName);
    if (BrowseDialog.Execute(this))
        box->setText(QStr(BrowseDialog.FileName));
}
