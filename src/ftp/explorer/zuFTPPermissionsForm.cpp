// The permissions dialog.

#include "ftp/explorer/zuFTPPermissionsForm.h"

#include "common/zuDialogParts.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TFTPPermissionForm::TFTPPermissionForm(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("File Permissions"));
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    const TDialogHeader header = MakeDialogHeader(this, QStringLiteral("File Access Permissions"));
    Header = header.Caption;
    layout->addWidget(header.Panel);

    auto* groups = new QHBoxLayout();
    const char* const groupNames[3] = {"Owner", "Group", "Public"};
    const char* const boxNames[3] = {"Read", "Write", "Execute"};
    for (int group = 0; group < 3; ++group) {
        auto* box = new QGroupBox(QString::fromLatin1(groupNames[group]), this);
        auto* column = new QVBoxLayout(box);
        for (int bit = 0; bit < 3; ++bit) {
            const int index = group * 3 + bit;
            Boxes[index] = new QCheckBox(QString::fromLatin1(boxNames[bit]), box);
            column->addWidget(Boxes[index]);
            connect(Boxes[index], &QCheckBox::toggled, this,
                    [this, index](bool checked) { DoChangePermission(index, checked); });
        }
        groups->addWidget(box);
    }
    layout->addLayout(groups);

    auto* bottom = new QHBoxLayout();
    ValuePanel = new QLabel(QStringLiteral("0"), this);
    ValuePanel->setFrameShape(QFrame::Panel);
    ValuePanel->setFrameShadow(QFrame::Sunken);
    ValuePanel->setAlignment(Qt::AlignCenter);
    ValuePanel->setMinimumWidth(60);
    bottom->addWidget(ValuePanel);
    bottom->addStretch(1);
    ApplyButton = new QPushButton(QStringLiteral("&Apply"), this);
    ApplyButton->setDefault(true);
    CancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    bottom->addWidget(ApplyButton);
    bottom->addWidget(CancelButton);
    layout->addLayout(bottom);
    connect(ApplyButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

void TFTPPermissionForm::SetPermissionValue(int value)
{
    const int digits[3] = {value / 100 % 10, value / 10 % 10, value % 10};
    for (int group = 0; group < 3; ++group)
        for (int bit = 0; bit < 3; ++bit)
            Boxes[group * 3 + bit]->setChecked((digits[group] & (4 >> bit)) != 0);
}

void TFTPPermissionForm::DoChangePermission(int box, bool checked)
{
    FValue += checked ? BoxValues[box] : -BoxValues[box];
    ValuePanel->setText(QString::number(FValue));
}
