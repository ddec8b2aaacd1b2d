// The FTP account manager.

#include "ftp/zuFTPManagerForm.h"

#include "ftp/zuFTPAccountForm.h"
#include "ftp/zuFTPAccounts.h"

#include "app/zuActionImages.h"
#include "common/zuDialogParts.h"
#include "projects/zuGuidList.h"
#include "settings/zentuIniFiles.h"

#include "Platform/core/QtBridge.h"

#include <QApplication>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QStackedWidget>
#include <QStyle>
#include <QVBoxLayout>

namespace {

QIcon AccountIcon()
{
    QIcon icon = ActionImage("network-server");
    return icon.isNull() ? QApplication::style()->standardIcon(QStyle::SP_DriveNetIcon) : icon;
}

} // namespace

TFTPManagerForm::TFTPManagerForm(TIniFileEx& accounts, TIniFileEx& settings, QWidget* parent)
    : QDialog(parent), FAccounts(accounts), FSettings(settings)
{
    setWindowTitle(QStringLiteral("FTP Accounts"));
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    const TDialogHeader header = MakeDialogHeader(this, QStringLiteral("FTP Account:"));
    Header = header.Caption;
    layout->addWidget(header.Panel);
    FPages = new QStackedWidget(this);
    layout->addWidget(FPages, 1);

    auto* listPage = new QWidget(FPages);
    auto* listLayout = new QHBoxLayout(listPage);
    AccountList = new QListWidget(listPage);
    AccountList->setObjectName(QStringLiteral("AccountList"));
    AccountList->setUniformItemSizes(true);
    AccountList->setItemDelegate(new TListRowDelegate(AccountList, AccountIcon(), true));
    listLayout->addWidget(AccountList, 1);
    auto* listButtons = new QVBoxLayout();
    AddButton = new QPushButton(QStringLiteral("&Add Account"), listPage);
    EditButton = new QPushButton(QStringLiteral("&Edit Account "), listPage);
    DeleteButton = new QPushButton(QStringLiteral("&Delete"), listPage);
    OptionsButton = new QPushButton(QStringLiteral("&FTP Options"), listPage);
    for (QPushButton* button : {AddButton, EditButton, DeleteButton, OptionsButton}) {
        button->setAutoDefault(false);
        listButtons->addWidget(button);
    }
    listButtons->addStretch();
    listLayout->addLayout(listButtons);
    FPages->addWidget(listPage);

    auto* proxyPage = new QWidget(FPages);
    auto* proxyForm = new QFormLayout(proxyPage);
    ProxyTypeBox = new QComboBox(proxyPage);
    ProxyTypeBox->setObjectName(QStringLiteral("ProxyTypeBox"));
    for (std::string_view name : ProxyTypeNames)
        ProxyTypeBox->addItem(QStr(name));
    ProxyHostEdit = new QLineEdit(proxyPage);
    ProxyUserEdit = new QLineEdit(proxyPage);
    ProxyPassEdit = new QLineEdit(proxyPage);
    ProxyPassEdit->setEchoMode(QLineEdit::Password);
    ProxyPort = new QSpinBox(proxyPage);
    ProxyPort->setRange(0, 65535);
    ProxyPort->setValue(21);
    proxyForm->addRow(QStringLiteral("Proxy Type"), ProxyTypeBox);
    proxyForm->addRow(QStringLiteral("Proxy Host"), ProxyHostEdit);
    proxyForm->addRow(QStringLiteral("Proxy User ID"), ProxyUserEdit);
    proxyForm->addRow(QStringLiteral("Proxy Password"), ProxyPassEdit);
    proxyForm->addRow(QStringLiteral("Proxy Port"), ProxyPort);
    FPages->addWidget(proxyPage);

    auto* buttons = new QHBoxLayout();
    buttons->addStretch();
    ApplyButton = new QPushButton(QStringLiteral("&Apply"), this);
    CancelButton = new QPushButton(QStringLiteral("&Cancel"), this);
    buttons->addWidget(ApplyButton);
    buttons->addWidget(CancelButton);
    layout->addLayout(buttons);
    resize(480, 320);

    connect(AddButton, &QPushButton::clicked, this, [this] { DoAddSession(); });
    connect(EditButton, &QPushButton::clicked, this, [this] { DoEditAccount(); });
    connect(DeleteButton, &QPushButton::clicked, this, [this] { DoDeleteAccount(); });
    connect(OptionsButton, &QPushButton::clicked, this, [this] { DoFTPoptions(); });
    connect(AccountList, &QListWidget::itemDoubleClicked, this, [this] { DoEditAccount(); });
    connect(ApplyButton, &QPushButton::clicked, this, [this] { OnApply(); });
    connect(CancelButton, &QPushButton::clicked, this, [this] { OnCancel(); });
    FillAccountList(false);
}

TFTPManagerForm::~TFTPManagerForm() = default;

void TFTPManagerForm::FillAccountList(bool clearOnly)
{
    AccountList->clear();
    if (!clearOnly)
        FillGuidList(*AccountList, ReadAccountList(FAccounts));
}

std::vector<TGUID> TFTPManagerForm::AccountIDs() const
{
    return GuidListIDs(*AccountList);
}

std::vector<std::string> TFTPManagerForm::AccountNames() const
{
    return GuidListNames(*AccountList);
}

void TFTPManagerForm::SelectRow(int row)
{
    AccountList->setCurrentRow(row);
}

bool TFTPManagerForm::ProxyPageShown() const
{
    return FPages->currentIndex() == 1;
}

void TFTPManagerForm::OnApply()
{
    if (!ProxyPageShown()) {
        accept();
        return;
    }
    TFTPProxyConfig proxy;
    proxy.ProxyType = ProxyTypeBox->currentIndex();
    proxy.Host = StdStr(ProxyHostEdit->text());
    proxy.User = StdStr(ProxyUserEdit->text());
    proxy.Pass = StdStr(ProxyPassEdit->text());
    proxy.Port = ProxyPort->value();
    WriteFTPProxy(FSettings, proxy);
    FPages->setCurrentIndex(0);
}

void TFTPManagerForm::OnCancel()
{
    if (ProxyPageShown())
        FPages->setCurrentIndex(0);
    else
        reject();
}

void TFTPManagerForm::ShowAccount(const TGUID& account)
{
    TFTPAccountForm dialog(FAccounts, this);
    dialog.LoadAccount(account);
    const int result = ExecuteAccount ? ExecuteAccount(dialog) : dialog.exec();
    if (result == QDialog::Accepted)
        FillAccountList(false);
}

void TFTPManagerForm::DoAddSession()
{
    ShowAccount(CreateGUID());
}

void TFTPManagerForm::DoEditAccount()
{
    TGUID account;
    if (SelectedGuid(*AccountList, account))
        ShowAccount(account);
}

void TFTPManagerForm::DoDeleteAccount()
{
    TGUID account;
    if (!SelectedGuid(*AccountList, account))
        return;
    DeleteFTPAccount(FAccounts, account);
    FillAccountList(false);
}

void TFTPManagerForm::DoFTPoptions()
{
    const TFTPProxyConfig proxy = ReadFTPProxy(FSettings);
    ProxyTypeBox->setCurrentIndex(proxy.ProxyType >= 0 && proxy.ProxyType < ProxyTypeBox->count() ? proxy.ProxyType : 0);
    ProxyPort->setValue(proxy.Port);
    ProxyHostEdit->setText(QStr(proxy.Host));
    // An empty stored credential leaves what the field holds.
    if (!proxy.User.empty())
        ProxyUserEdit->setText(QStr(proxy.User));
    if (!proxy.Pass.empty())
        ProxyPassEdit->setText(QStr(proxy.Pass));
    FPages->setCurrentIndex(1);
}
