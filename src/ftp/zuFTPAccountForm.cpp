// The FTP account dialog.

#include "ftp/zuFTPAccountForm.h"

#include "ftp/zuFTPAccounts.h"

#include "common/zuDialogParts.h"
#include "settings/zentuIniFiles.h"

#include "Platform/core/QtBridge.h"

#include <QCheckBox>
#include <QEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

TFTPAccountForm::TFTPAccountForm(TIniFileEx& accounts, QWidget* parent) : QDialog(parent), FAccounts(accounts)
{
    setWindowTitle(QStringLiteral("FTP Account"));
    setModal(true);
    setMinimumWidth(380);
    auto* layout = new QVBoxLayout(this);
    const TDialogHeader header = MakeDialogHeader(this, QStringLiteral("FTP Account:"));
    Header = header.Caption;
    layout->addWidget(header.Panel);

    auto* form = new QFormLayout();
    const auto edit = [this](const char* name) {
        auto* field = new QLineEdit(this);
        field->setObjectName(QString::fromLatin1(name));
        field->installEventFilter(this);
        return field;
    };
    AccName = edit("AccName");
    AccHost = edit("AccHost");
    AccRdir = edit("AccRdir");
    AccUser = edit("AccUser");
    AccPass = edit("AccPass");
    AccPass->setEchoMode(QLineEdit::Password);
    AccPort = new QSpinBox(this);
    AccPort->setObjectName(QStringLiteral("AccPort"));
    AccPort->setRange(0, 65535);
    AccPort->setValue(21);
    AccPasv = new QCheckBox(QStringLiteral("Passive Mode"), this);
    AccPasv->setObjectName(QStringLiteral("AccPasv"));
    AccPrxy = new QCheckBox(QStringLiteral("Use Proxy"), this);
    AccPrxy->setObjectName(QStringLiteral("AccPrxy"));
    form->addRow(QStringLiteral("Description"), AccName);
    form->addRow(QStringLiteral("Host Name"), AccHost);
    form->addRow(QStringLiteral("Remote Directory"), AccRdir);
    form->addRow(QStringLiteral("Login"), AccUser);
    form->addRow(QStringLiteral("User Password"), AccPass);
    form->addRow(QStringLiteral("Port"), AccPort);
    form->addRow(QString(), AccPasv);
    form->addRow(QString(), AccPrxy);
    layout->addLayout(form);

    auto* buttons = new QHBoxLayout();
    buttons->addStretch();
    ApplyButton = new QPushButton(QStringLiteral("&Apply"), this);
    CancelButton = new QPushButton(QStringLiteral("&Cancel"), this);
    ApplyButton->setDefault(true);
    buttons->addWidget(ApplyButton);
    buttons->addWidget(CancelButton);
    layout->addLayout(buttons);
    connect(ApplyButton, &QPushButton::clicked, this, [this] { DoApply(); });
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
    LoadAccount(NullGUID);
}

TFTPAccountForm::~TFTPAccountForm() = default;

void TFTPAccountForm::LoadAccount(const TGUID& account)
{
    FAccount = account;
    const TFTPAccount values = ReadFTPAccount(FAccounts, account);
    AccName->setText(QStr(values.Name));
    AccHost->setText(QStr(values.Host));
    AccRdir->setText(QStr(values.Rdir));
    AccUser->setText(QStr(values.User));
    AccPass->setText(QStr(values.Pass));
    AccPort->setValue(values.Port);
    AccPasv->setChecked(values.Passive);
    AccPrxy->setChecked(values.UseProxy);
}

bool TFTPAccountForm::DoApply()
{
    bool valid = true;
    for (QLineEdit* field : {AccName, AccHost, AccRdir, AccUser, AccPass})
        if (field->text().isEmpty()) {
            SetFieldColor(field, InvalidFieldColor);
            valid = false;
        }
    if (!valid)
        return false;
    TFTPAccount values;
    values.Name = StdStr(AccName->text());
    values.Host = StdStr(AccHost->text());
    values.Rdir = StdStr(AccRdir->text());
    values.User = StdStr(AccUser->text());
    values.Pass = StdStr(AccPass->text());
    values.Port = AccPort->value();
    values.Passive = AccPasv->isChecked();
    values.UseProxy = AccPrxy->isChecked();
    MakeFilePrivate(FAccounts.FileName());
    WriteFTPAccount(FAccounts, FAccount, values);
    accept();
    return true;
}

void TFTPAccountForm::DoEnter(QWidget* field)
{
    ClearFieldMark(field);
}

bool TFTPAccountForm::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusIn)
        DoEnter(static_cast<QWidget*>(watched));
    return QDialog::eventFilter(watched, event);
}
