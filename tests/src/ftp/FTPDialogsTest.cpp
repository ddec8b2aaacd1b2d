// The FTP account dialog and the account manager with its proxy page.

#include "ftp/zuFTPAccountForm.h"
#include "ftp/zuFTPAccounts.h"
#include "ftp/zuFTPManagerForm.h"
#include "ftp/zuSecurity.h"

#include "common/zuDialogParts.h"
#include "settings/zentuIniFiles.h"

#include "Platform/core/QtBridge.h"
#include "support/TempDir.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QSpinBox>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

class FTPDialogsTest : public ::testing::Test {
protected:
    FTPDialogsTest() : Accounts(Dir.File("ftp.dat")), Settings(Dir.File("Zentupad.dat")) {}

    TGUID AddAccount(const std::string& name)
    {
        const TGUID id = CreateGUID();
        TFTPAccount account;
        account.Name = name;
        account.Host = name + ".test";
        account.User = "u";
        account.Pass = "p";
        WriteFTPAccount(Accounts, id, account);
        return id;
    }

    TempDir Dir;
    TIniFileEx Accounts;
    TIniFileEx Settings;
};

TEST_F(FTPDialogsTest, AccountDialogRefusesEmptyFieldsAndMarksThem)
{
    TFTPAccountForm form(Accounts);
    const TGUID id = CreateGUID();
    form.LoadAccount(id);
    EXPECT_EQ(StdStr(form.Header->text()), "FTP Account:");
    EXPECT_EQ(StdStr(form.AccRdir->text()), "/");
    EXPECT_EQ(form.AccPort->value(), 21);
    EXPECT_TRUE(form.AccPasv->isChecked());
    EXPECT_FALSE(form.AccPrxy->isChecked());
    EXPECT_EQ(form.AccPass->echoMode(), QLineEdit::Password);
    form.AccName->setText(QStringLiteral("Site"));
    form.AccRdir->clear();
    EXPECT_FALSE(form.DoApply());
    EXPECT_EQ(FieldColor(form.AccName), clWindow);
    for (QLineEdit* field : {form.AccHost, form.AccRdir, form.AccUser, form.AccPass})
        EXPECT_EQ(FieldColor(field), InvalidFieldColor) << StdStr(field->objectName());
    EXPECT_FALSE(Accounts.SectionExists(GUIDToString(id)));
    EXPECT_EQ(form.result(), QDialog::Rejected);
    // Entering a field gives it its normal colour back.
    form.DoEnter(form.AccHost);
    EXPECT_EQ(FieldColor(form.AccHost), clWindow);
}

TEST_F(FTPDialogsTest, AccountDialogWritesAndLoadsTheAccount)
{
    const TGUID id = CreateGUID();
    {
        TFTPAccountForm form(Accounts);
        form.LoadAccount(id);
        form.AccName->setText(QStringLiteral("Live site"));
        form.AccHost->setText(QStringLiteral("127.0.0.1"));
        form.AccRdir->setText(QStringLiteral("/www"));
        form.AccUser->setText(QStringLiteral("user"));
        form.AccPass->setText(QStringLiteral("secret"));
        form.AccPort->setValue(2121);
        form.AccPasv->setChecked(false);
        form.AccPrxy->setChecked(true);
        EXPECT_TRUE(form.DoApply());
        EXPECT_EQ(form.result(), QDialog::Accepted);
    }
    struct stat st {};
    ASSERT_EQ(::stat(Dir.File("ftp.dat").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_EQ(Accounts.ReadString(GUIDToString(id), "Pass", ""), EncryptCredential("secret"));
    TFTPAccountForm again(Accounts);
    again.LoadAccount(id);
    EXPECT_EQ(StdStr(again.AccName->text()), "Live site");
    EXPECT_EQ(StdStr(again.AccUser->text()), "user");
    EXPECT_EQ(StdStr(again.AccPass->text()), "secret");
    EXPECT_EQ(again.AccPort->value(), 2121);
    EXPECT_FALSE(again.AccPasv->isChecked());
    EXPECT_TRUE(again.AccPrxy->isChecked());
}

TEST_F(FTPDialogsTest, ManagerListsAddsEditsAndDeletes)
{
    const TGUID first = AddAccount("First");
    const TGUID unnamed = CreateGUID();
    Accounts.WriteString(GUIDToString(unnamed), "Host", "nameless.test");
    TFTPManagerForm manager(Accounts, Settings);
    EXPECT_EQ(StdStr(manager.windowTitle()), "FTP Accounts");
    EXPECT_EQ(StdStr(manager.EditButton->text()), "&Edit Account ");
    EXPECT_EQ(manager.AccountNames(), (std::vector<std::string>{"First", "Untitled"}));
    EXPECT_EQ(manager.AccountIDs(), (std::vector<TGUID>{first, unnamed}));

    // Add: the dialog gets a new GUID with the defaults; OK refills the list.
    TGUID added;
    manager.ExecuteAccount = [&](TFTPAccountForm& dialog) {
        added = dialog.Account();
        EXPECT_NE(added, NullGUID);
        EXPECT_EQ(dialog.AccName->text(), QString());
        dialog.AccName->setText(QStringLiteral("Added"));
        for (QLineEdit* field : {dialog.AccHost, dialog.AccUser, dialog.AccPass})
            field->setText(QStringLiteral("x"));
        dialog.DoApply();
        return dialog.result();
    };
    manager.DoAddSession();
    EXPECT_EQ(manager.AccountNames(), (std::vector<std::string>{"First", "Untitled", "Added"}));

    // Edit without a selection does nothing; with one it edits that account.
    manager.ExecuteAccount = [&](TFTPAccountForm& dialog) {
        EXPECT_EQ(dialog.Account(), first);
        EXPECT_EQ(StdStr(dialog.AccHost->text()), "First.test");
        dialog.AccName->setText(QStringLiteral("Renamed"));
        dialog.DoApply();
        return dialog.result();
    };
    manager.DoEditAccount();
    manager.SelectRow(0);
    manager.DoEditAccount();
    EXPECT_EQ(manager.AccountNames()[0], "Renamed");

    // Delete: at once, without a question.
    manager.SelectRow(1);
    manager.DoDeleteAccount();
    EXPECT_EQ(manager.AccountIDs(), (std::vector<TGUID>{first, added}));
    EXPECT_FALSE(Accounts.SectionExists(GUIDToString(unnamed)));
}

TEST_F(FTPDialogsTest, ProxyPageWritesTheSharedSettings)
{
    TFTPManagerForm manager(Accounts, Settings);
    ASSERT_EQ(manager.ProxyTypeBox->count(), 6);
    EXPECT_EQ(StdStr(manager.ProxyTypeBox->itemText(3)), "Open (Send command OPEN)'");
    manager.DoFTPoptions();
    EXPECT_TRUE(manager.ProxyPageShown());
    EXPECT_EQ(manager.ProxyTypeBox->currentIndex(), 0);
    EXPECT_EQ(manager.ProxyPort->value(), 21);
    manager.ProxyTypeBox->setCurrentIndex(2);
    manager.ProxyHostEdit->setText(QStringLiteral("proxy.test"));
    manager.ProxyUserEdit->setText(QStringLiteral("pu"));
    manager.ProxyPassEdit->setText(QStringLiteral("pp"));
    manager.ProxyPort->setValue(8021);
    manager.OnApply();
    // Apply on the proxy page writes and goes back to the list; Cancel there closes.
    EXPECT_FALSE(manager.ProxyPageShown());
    EXPECT_EQ(manager.result(), 0);
    const TFTPProxyConfig proxy = ReadFTPProxy(Settings);
    EXPECT_EQ(proxy.ProxyType, 2);
    EXPECT_EQ(proxy.Host, "proxy.test");
    EXPECT_EQ(proxy.User, "pu");
    EXPECT_EQ(proxy.Pass, "pp");
    EXPECT_EQ(proxy.Port, 8021);
    EXPECT_EQ(ReadWholeFile(Dir.File("Zentupad.dat")).find("pp\r"), std::string::npos);

    // Cancel on the proxy page goes back without writing.
    manager.DoFTPoptions();
    EXPECT_EQ(manager.ProxyTypeBox->currentIndex(), 2);
    EXPECT_EQ(StdStr(manager.ProxyPassEdit->text()), "pp");
    manager.ProxyHostEdit->setText(QStringLiteral("other.test"));
    manager.OnCancel();
    EXPECT_FALSE(manager.ProxyPageShown());
    EXPECT_EQ(ReadFTPProxy(Settings).Host, "proxy.test");
    manager.OnCancel();
    EXPECT_EQ(manager.result(), QDialog::Rejected);
}

} // namespace
