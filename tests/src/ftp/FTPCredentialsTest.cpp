// The stored form of FTP credentials, and the account and proxy records of "ftp.dat" and
// [FTP Client]: what is written, in which order, readable by whom, and what reads back.

#include "ftp/zuFTPAccounts.h"
#include "ftp/zuSecurity.h"

#include "settings/zentuIniFiles.h"

#include "Platform/files/FileNames.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

TEST(FTPCredentials, CipherRoundTripsAndRepeatsItself)
{
    const std::string texts[] = {"secret", "p", "pass word with blanks", "Grüße 日本語", std::string("nul\0byte", 8),
                                 std::string(1000, 'x')};
    for (const std::string& text : texts) {
        const std::string stored = EncryptCredential(text);
        EXPECT_EQ(stored, EncryptCredential(text)) << "the same text gives the same stored text";
        EXPECT_EQ(DecryptCredential(stored), text);
        EXPECT_EQ(stored.find(text), std::string::npos);
        EXPECT_EQ(stored.find_first_of("\r\n"), std::string::npos);
        // Base64 of as many bytes as the text has
        EXPECT_EQ(stored.size(), (text.size() + 2) / 3 * 4);
    }
    EXPECT_EQ(EncryptCredential(""), "");
    EXPECT_EQ(DecryptCredential(""), "");
    EXPECT_NE(EncryptCredential("secret"), EncryptCredential("secreu"));
}

TEST(FTPCredentials, AnyStoredTextDeciphersWithoutError)
{
    EXPECT_EQ(DecryptCredential("QUJD").size(), 3u);
    EXPECT_EQ(DecryptCredential("QUI=").size(), 2u);
    EXPECT_NO_THROW(DecryptCredential("not base64 at all!"));
    EXPECT_NO_THROW(DecryptCredential("="));
}

class FTPAccountsTest : public ::testing::Test {
protected:
    std::string AccountsFile() const { return Dir.File("ftp.dat"); }
    TempDir Dir;
};

TEST_F(FTPAccountsTest, AccountIsWrittenInOrderWithCredentialsEnciphered)
{
    TIniFileEx accounts(AccountsFile());
    const TGUID id = CreateGUID();
    TFTPAccount account;
    account.Name = "My site";
    account.Host = "ftp.example.test";
    account.Rdir = "/public_html";
    account.User = "alice";
    account.Pass = "s3cr3t!";
    account.Port = 2121;
    account.Passive = false;
    account.UseProxy = true;
    WriteFTPAccount(accounts, id, account);

    const std::vector<std::string> lines = ReadLines(AccountsFile());
    ASSERT_EQ(lines.size(), 9u);
    EXPECT_EQ(lines[0], "[" + GUIDToString(id) + "]\r");
    const char* keys[] = {"Name=", "Host=", "Rdir=", "User=", "Pass=", "Port=", "Pasv=", "Prxy="};
    for (size_t i = 0; i < 8; ++i)
        EXPECT_EQ(lines[i + 1].rfind(keys[i], 0), 0u) << lines[i + 1];
    EXPECT_EQ(lines[4], "User=" + EncryptCredential("alice") + "\r");
    EXPECT_EQ(lines[5], "Pass=" + EncryptCredential("s3cr3t!") + "\r");
    EXPECT_EQ(ReadWholeFile(AccountsFile()).find("s3cr3t!"), std::string::npos);

    const TFTPAccount back = ReadFTPAccount(accounts, id);
    EXPECT_EQ(back.Name, "My site");
    EXPECT_EQ(back.Host, "ftp.example.test");
    EXPECT_EQ(back.Rdir, "/public_html");
    EXPECT_EQ(back.User, "alice");
    EXPECT_EQ(back.Pass, "s3cr3t!");
    EXPECT_EQ(back.Port, 2121);
    EXPECT_FALSE(back.Passive);
    EXPECT_TRUE(back.UseProxy);
}

TEST_F(FTPAccountsTest, MissingAccountReadsAsTheDialogDefaults)
{
    TIniFileEx accounts(AccountsFile());
    const TFTPAccount account = ReadFTPAccount(accounts, CreateGUID());
    EXPECT_EQ(account.Name, "");
    EXPECT_EQ(account.Host, "");
    EXPECT_EQ(account.Rdir, "/");
    EXPECT_EQ(account.User, "");
    EXPECT_EQ(account.Pass, "");
    EXPECT_EQ(account.Port, 21);
    EXPECT_TRUE(account.Passive);
    EXPECT_FALSE(account.UseProxy);
    EXPECT_EQ(AccountCaptionHost(accounts, CreateGUID()), "ftp");
    // any non-zero number reads as true
    const TGUID id = CreateGUID();
    accounts.WriteString(GUIDToString(id), "Pasv", "7");
    accounts.WriteString(GUIDToString(id), "Prxy", "-1");
    EXPECT_TRUE(ReadFTPAccount(accounts, id).Passive);
    EXPECT_TRUE(ReadFTPAccount(accounts, id).UseProxy);
}

TEST_F(FTPAccountsTest, ProxySettingsRoundTripEnciphered)
{
    TIniFileEx settings(Dir.File("Zentupad.dat"));
    TFTPProxyConfig defaults = ReadFTPProxy(settings);
    EXPECT_EQ(defaults.ProxyType, 0);
    EXPECT_EQ(defaults.Port, 21);
    TFTPProxyConfig proxy{3, "proxy.test", "pu", "proxy-pass", 8021};
    WriteFTPProxy(settings, proxy);
    const std::string text = ReadWholeFile(Dir.File("Zentupad.dat"));
    EXPECT_NE(text.find("[FTP Client]"), std::string::npos);
    EXPECT_NE(text.find("ProxyUser=" + EncryptCredential("pu")), std::string::npos);
    EXPECT_EQ(text.find("proxy-pass"), std::string::npos);
    const TFTPProxyConfig back = ReadFTPProxy(settings);
    EXPECT_EQ(back.ProxyType, 3);
    EXPECT_EQ(back.Host, "proxy.test");
    EXPECT_EQ(back.User, "pu");
    EXPECT_EQ(back.Pass, "proxy-pass");
    EXPECT_EQ(back.Port, 8021);
    EXPECT_EQ(ProxyTypeNames[3], "Open (Send command OPEN)'");
}

mode_t ModeOf(const std::string& file)
{
    struct stat st {};
    return ::stat(file.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

TEST_F(FTPAccountsTest, AccountsFileIsTheOwnersAlone)
{
    // Made anew, and narrowed when it was readable by others; a save keeps the mode.
    MakeFilePrivate(AccountsFile());
    EXPECT_EQ(ModeOf(AccountsFile()), 0600u);
    EXPECT_EQ(ReadWholeFile(AccountsFile()), "");
    const std::string shared = Dir.Write("shared.dat", "[x]\r\nName=kept\r\n");
    ASSERT_EQ(::chmod(shared.c_str(), 0644), 0);
    MakeFilePrivate(shared);
    EXPECT_EQ(ModeOf(shared), 0600u);
    EXPECT_EQ(ReadWholeFile(shared), "[x]\r\nName=kept\r\n");
    TIniFileEx accounts(AccountsFile());
    WriteFTPAccount(accounts, CreateGUID(), TFTPAccount());
    EXPECT_EQ(ModeOf(AccountsFile()), 0600u);
    EXPECT_THROW(MakeFilePrivate(Dir.File("no/such/folder/ftp.dat")), EFCreateError);
}

} // namespace
