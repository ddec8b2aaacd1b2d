// The FTP module: setting a client up from an account, and the short transfers of documents
// with their progress window, against pyftpdlib; failures, Cancel and a second transfer while
// one runs.

#include "src/ftp/FtpTestSupport.h"

#include "ftp/client/zuFTPErrors.h"
#include "ftp/zuFTPAccounts.h"
#include "ftp/zuFTPModule.h"
#include "ftp/zuProgressForm.h"

#include "settings/zentuIniFiles.h"

#include "Platform/files/Streams.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

class FTPModuleTest : public ::testing::Test {
protected:
    FTPModuleTest()
        : Accounts(Server.Dir.File("ftp.dat")), Settings(Server.Dir.File("Zentupad.dat")), Module(Accounts, Settings)
    {
        Account = AddAccount("user", "secret");
    }
    ~FTPModuleTest() override { Module.FTPClient().Intercept = TFTPIntercept(); }

    TGUID AddAccount(const std::string& user, const std::string& password)
    {
        const TGUID id = CreateGUID();
        TFTPAccount account;
        account.Name = "Test";
        account.Host = "127.0.0.1";
        account.User = user;
        account.Pass = password;
        account.Port = Server.Peer->Port();
        WriteFTPAccount(Accounts, id, account);
        return id;
    }

    std::string Download(const std::string& path)
    {
        TMemoryStream stream;
        Module.DownloadToStream(Account, path, stream);
        return std::string(stream.View());
    }

    // Runs `step` from the event loop once the command starting with `prefix` has been sent.
    void WhenSent(const std::string& prefix, std::function<void()> step)
    {
        Module.FTPClient().Intercept.OnSent = [prefix, step](const std::string& line) {
            if (line.rfind(prefix, 0) == 0)
                QTimer::singleShot(0, step);
        };
    }

    TFtpServerFixture Server;
    TIniFileEx Accounts;
    TIniFileEx Settings;
    TFTPModule Module;
    TGUID Account;
};

TEST_F(FTPModuleTest, ConfigureClientFromTheAccount)
{
    TFTPProxyConfig proxy{4, "proxy.test", "pu", "pp", 8021};
    WriteFTPProxy(Settings, proxy);
    TNetFTP client;

    Module.ConfigureClient(client, Account);
    EXPECT_EQ(client.Host, "127.0.0.1");
    EXPECT_EQ(client.Port, Server.Peer->Port());
    EXPECT_EQ(client.Username, "user");
    EXPECT_EQ(client.Password, "secret");
    EXPECT_TRUE(client.Passive);
    // Proxy settings apply only to accounts that ask for them.
    EXPECT_EQ(client.ProxySettings.ProxyType, TFTPProxyType::fpcmNone);

    const TGUID proxied = CreateGUID();
    Accounts.WriteString(GUIDToString(proxied), "Host", "site.test");
    Accounts.WriteString(GUIDToString(proxied), "Prxy", "1");
    Accounts.WriteString(GUIDToString(proxied), "Pasv", "0");
    Module.ConfigureClient(client, proxied);
    EXPECT_EQ(client.ProxySettings.ProxyType, TFTPProxyType::fpcmUserPass);
    EXPECT_EQ(client.ProxySettings.Host, "proxy.test");
    EXPECT_EQ(client.ProxySettings.Port, 8021);
    EXPECT_EQ(client.ProxySettings.UserName, "pu");
    EXPECT_EQ(client.ProxySettings.Password, "pp");
    EXPECT_FALSE(client.Passive);
    // Without User and Pass keys: an anonymous login.
    EXPECT_EQ(client.Username, "anonymous");
    EXPECT_EQ(client.Password, "zentuuser@");
    EXPECT_EQ(client.Password.size(), 10u);

    // A missing account configures an empty host: connecting then fails.
    Module.ConfigureClient(client, CreateGUID());
    EXPECT_EQ(client.Host, "");
    EXPECT_EQ(client.Port, 21);
    EXPECT_EQ(client.ProxySettings.ProxyType, TFTPProxyType::fpcmNone);
}

TEST_F(FTPModuleTest, AnonymousAccountLogsInWithTheFixedPassword)
{
    const std::unique_ptr<TFtpPeer> anonymousServer = TFtpPeer::Server(Server.Home(), true);
    Server.WriteHome("pub.txt", "public\n");
    const TGUID anonymous = CreateGUID();
    Accounts.WriteString(GUIDToString(anonymous), "Host", "127.0.0.1");
    Accounts.WriteInteger(GUIDToString(anonymous), "Port", anonymousServer->Port());
    std::vector<std::string> sent;
    Module.FTPClient().Intercept.OnSent = [&](const std::string& line) { sent.push_back(line); };
    TMemoryStream stream;
    Module.DownloadToStream(anonymous, "/pub.txt", stream);
    EXPECT_EQ(std::string(stream.View()), "public\n");
    EXPECT_EQ(std::vector<std::string>(sent.begin(), sent.begin() + 2),
              (std::vector<std::string>{"USER anonymous", "PASS zentuuser@"}));
}

TEST_F(FTPModuleTest, TransfersShowTheirStepsInTheProgressWindow)
{
    Server.WriteHome("www/page.php", "<?php\r\necho 1;\r\n");
    std::vector<std::string> steps;
    Module.FTPClient().Intercept.OnSent = [&](const std::string& line) {
        ASSERT_NE(ProgressForm, nullptr) << line;
        EXPECT_TRUE(ProgressForm->isVisible());
        EXPECT_TRUE(ProgressForm->isModal());
        steps.push_back(line.substr(0, 4) + " " + ProgressForm->StatusText());
    };
    EXPECT_EQ(Download("/www/page.php"), "<?php\necho 1;\n");
    EXPECT_EQ(ProgressForm, nullptr) << "the window goes with the transfer";
    const std::string connecting = "Connecting to 127.0.0.1";
    EXPECT_EQ(steps, (std::vector<std::string>{"USER " + connecting, "PASS " + connecting, "TYPE " + connecting,
                                               "SYST " + connecting, "CWD  Changing directory to /www/",
                                               "TYPE Downloading /www/page.php", "SIZE Downloading /www/page.php",
                                               "TYPE Downloading /www/page.php", "PASV Downloading /www/page.php",
                                               "RETR Downloading /www/page.php", "QUIT Downloading /www/page.php"}));

    // An upload replaces the file; the document's LF line ends arrive as they are.
    TMemoryStream text(std::string("<?php\necho 2;\n"));
    Module.UploadFromStream(Account, "/www/page.php", text);
    EXPECT_EQ(Server.ReadHome("www/page.php"), "<?php\necho 2;\n");
    EXPECT_EQ(ProgressForm, nullptr);
    EXPECT_FALSE(Module.Busy());
}

TEST_F(FTPModuleTest, FailuresSayWhatFailedButNeverThePassword)
{
    const TGUID wrong = AddAccount("user", "wrong-password");
    TMemoryStream stream;
    try {
        Module.DownloadToStream(wrong, "/a.txt", stream);
        FAIL() << "a wrong password was accepted";
    } catch (const ENetFTPError& e) {
        EXPECT_EQ(std::string(e.what()).rfind("Unable to download /a.txt: ", 0), 0u) << e.what();
        EXPECT_EQ(std::string(e.what()).find("wrong-password"), std::string::npos);
    }
    TMemoryStream text(std::string("x"));
    try {
        Module.UploadFromStream(Account, "/no/such/folder/a.txt", text);
        FAIL() << "an upload into a missing folder succeeded";
    } catch (const ENetFTPReplyError& e) {
        EXPECT_EQ(std::string(e.what()).rfind("Unable to upload /no/such/folder/a.txt: ", 0), 0u) << e.what();
    }
    EXPECT_THROW(Module.DownloadToStream(CreateGUID(), "/a.txt", stream), ENetFTPError) << "an account that is gone";
    Server.Peer->Kill();
    EXPECT_THROW(Download("/a.txt"), ENetFTPError);
    EXPECT_EQ(ProgressForm, nullptr);
    EXPECT_FALSE(Module.Busy());
}

TEST_F(FTPModuleTest, CancelStopsTheTransferAndASecondOneIsRefused)
{
    Server.WriteHome("big.bin", BinaryBytes(64 * 1024 * 1024));
    bool refused = false;
    WhenSent("RETR", [&] {
        TMemoryStream other;
        try {
            Module.DownloadToStream(Account, "/big.bin", other);
        } catch (const ENetFTPBusy&) {
            refused = true;
        }
        ASSERT_NE(ProgressForm, nullptr);
        ProgressForm->CancelButton->click();
    });
    TMemoryStream stream;
    EXPECT_THROW(Module.DownloadToStream(Account, "/big.bin", stream), ENetFTPAborted);
    EXPECT_TRUE(refused);
    EXPECT_LT(stream.Size(), 64 * 1024 * 1024);
    EXPECT_FALSE(Module.Busy());
    EXPECT_EQ(ProgressForm, nullptr);
    // Cancel between two commands counts as well; closing the window cancels too.
    WhenSent("CWD", [] { ASSERT_NE(ProgressForm, nullptr); ProgressForm->close(); });
    EXPECT_THROW(Download("/www/a.txt"), ENetFTPAborted);
    // The next transfer runs normally.
    Module.FTPClient().Intercept = TFTPIntercept();
    Server.WriteHome("small.txt", "small\n");
    EXPECT_EQ(Download("/small.txt"), "small\n");
}

TEST(ProgressForm, StatusTextAtOnceAndAFreshWindowEachTime)
{
    QWidget owner;
    owner.setGeometry(100, 100, 600, 400);
    auto* form = new TProgressForm(&owner);
    EXPECT_EQ(ProgressForm, form);
    EXPECT_EQ(form->StatusText(), "::");
    EXPECT_EQ(form->size(), QSize(292, 91));
    EXPECT_EQ(form->frameGeometry().center(), owner.frameGeometry().center());
    EXPECT_TRUE(form->windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_TRUE(form->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    form->show();
    form->SetStatusText("Downloading /a.php");
    EXPECT_EQ(form->StatusText(), "Downloading /a.php");
    form->SetStatusText("Uploading /a.php");
    EXPECT_EQ(form->TextLabel->text(), QStringLiteral("Uploading /a.php"));
    form->SetProgress(50, 200);
    EXPECT_EQ(form->ProgressBar->value() * 4, form->ProgressBar->maximum());
    form->SetProgress(5LL << 32, 10LL << 32);
    EXPECT_EQ(form->ProgressBar->value() * 2, form->ProgressBar->maximum());
    form->close();
    EXPECT_EQ(ProgressForm, nullptr);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    auto* second = new TProgressForm(nullptr);
    EXPECT_EQ(ProgressForm, second);
    delete second;
    EXPECT_EQ(ProgressForm, nullptr);
}

} // namespace
