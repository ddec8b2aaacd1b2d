// The FTP client against pyftpdlib on 127.0.0.1: login, listing, transfers in both directions
// and both data connection modes byte for byte, the folder and file commands, resuming, and
// what happens when the server refuses, is not there, stops answering or drops the connection
// in the middle of a transfer; calls during a call, and Abort.

#include "src/ftp/FtpTestSupport.h"

#include "ftp/client/zuFTPErrors.h"

#include "Platform/files/Streams.h"

#include <QFileInfo>
#include <QTcpServer>
#include <QTcpSocket>

#include <gtest/gtest.h>

#include <algorithm>
#include <sys/stat.h>

namespace {

class NetFTPTest : public ::testing::Test {
protected:
    void SetUp() override { Server.SetUp(Client); }
    void TearDown() override
    {
        // The handlers of a test reach into its own variables, which are gone by now.
        Client.Intercept = TFTPIntercept();
        Client.OnWork = nullptr;
        Client.OnWorkBegin = nullptr;
        Client.OnWorkEnd = nullptr;
        Client.OnConnected = nullptr;
        Client.OnDisconnected = nullptr;
        Client.OnAfterClientLogin = nullptr;
        if (Client.Connected())
            Client.Disconnect();
    }

    std::string Download(const std::string& name)
    {
        TMemoryStream stream;
        Client.Get(name, stream);
        return std::string(stream.View());
    }
    void Upload(const std::string& name, const std::string& bytes)
    {
        TMemoryStream stream(bytes);
        Client.Put(stream, name);
    }
    std::vector<std::string> ListedNames()
    {
        Client.List();
        std::vector<std::string> names;
        for (const TFTPListItem& item : Client.DirectoryListing())
            names.push_back(item.FileName);
        std::sort(names.begin(), names.end());
        return names;
    }

    TFtpServerFixture Server;
    TNetFTP Client;
};

TEST_F(NetFTPTest, LogsInAndSaysWhoItIs)
{
    std::vector<std::string> sent;
    Client.Intercept.OnSent = [&](const std::string& line) { sent.push_back(line); };
    int connected = 0;
    int afterLogin = 0;
    Client.OnConnected = [&] { ++connected; };
    Client.OnAfterClientLogin = [&] {
        ++afterLogin;
        // the login is complete when the after-login step runs
        EXPECT_EQ(sent, (std::vector<std::string>{"USER user", "PASS secret"}));
    };
    Client.Connect();
    EXPECT_TRUE(Client.Connected());
    EXPECT_EQ(connected, 1);
    EXPECT_EQ(afterLogin, 1);
    EXPECT_EQ(sent, (std::vector<std::string>{"USER user", "PASS secret", "TYPE A", "SYST"}));
    EXPECT_EQ(Client.RetrieveCurrentDir(), "/");
    int disconnected = 0;
    Client.OnDisconnected = [&] { ++disconnected; };
    Client.Disconnect();
    EXPECT_FALSE(Client.Connected());
    EXPECT_EQ(disconnected, 1);
    EXPECT_EQ(sent.back(), "QUIT");
}

TEST_F(NetFTPTest, WrongPasswordIsRefusedWithoutShowingIt)
{
    Client.Password = "not-the-secret";
    try {
        Client.Connect();
        FAIL() << "the login was accepted";
    } catch (const ENetFTPReplyError& e) {
        EXPECT_EQ(e.Code(), 530);
        EXPECT_EQ(std::string(e.what()).find("not-the-secret"), std::string::npos) << e.what();
    }
    EXPECT_FALSE(Client.Connected());
    // The same client logs in once it has the right password.
    Client.Password = "secret";
    Client.Connect();
    EXPECT_TRUE(Client.Connected());
}

TEST_F(NetFTPTest, ServerThatIsNotThereFailsAtOnce)
{
    Client.Port = UnusedPort();
    EXPECT_THROW(Client.Connect(), ENetFTPError);
    EXPECT_FALSE(Client.Connected());
    EXPECT_FALSE(Client.Busy());
    Client.Host = "";
    EXPECT_THROW(Client.Connect(), ENetFTPError);
}

TEST_F(NetFTPTest, ListsFoldersFilesAndLinks)
{
    Server.WriteHome("index.php", "<?php echo 1;");
    Server.WriteHome("sub folder/inner.txt", "x");
    ASSERT_EQ(::symlink("index.php", Server.HomeFile("link.php").c_str()), 0);
    Client.Connect();
    Client.List();
    ASSERT_EQ(Client.DirectoryListing().size(), 3u) << Client.ListResult().size();
    for (const TFTPListItem& item : Client.DirectoryListing()) {
        if (item.FileName == "index.php") {
            EXPECT_EQ(item.ItemType, TFTPItemType::ditFile);
            EXPECT_EQ(item.Size, 13);
        } else if (item.FileName == "sub folder") {
            EXPECT_EQ(item.ItemType, TFTPItemType::ditDirectory);
        } else {
            EXPECT_EQ(item.FileName, "link.php");
            EXPECT_EQ(item.ItemType, TFTPItemType::ditSymbolicLink);
            EXPECT_EQ(item.LinkedItemName, "index.php");
        }
        EXPECT_NE(item.ModifiedDate, 0);
    }
    Client.ChangeDir("sub folder");
    EXPECT_EQ(Client.RetrieveCurrentDir(), "/sub folder");
    EXPECT_EQ(ListedNames(), std::vector<std::string>{"inner.txt"});
    Client.ChangeDirUp();
    EXPECT_EQ(Client.RetrieveCurrentDir(), "/");
    // The argument goes to the server as it is; pyftpdlib lists the one file it names.
    Client.List("index.php");
    ASSERT_EQ(Client.DirectoryListing().size(), 1u);
    EXPECT_EQ(Client.DirectoryListing()[0].FileName, "index.php");
}

struct TRoundTrip {
    const char* Name;
    std::string Bytes;
};

TEST_F(NetFTPTest, BinaryTransfersKeepEveryByteInBothModes)
{
    const TRoundTrip files[] = {
        {"binary.bin", BinaryBytes(3 * 1024 * 1024 + 17)},
        {"utf8.php", "<?php echo \"Grüße, 日本語, emoji \xF0\x9F\x98\x80\";\n"},
        {"crlf.txt", "one\r\ntwo\r\n\r\nlone cr\rend"},
        {"empty.txt", ""},
    };
    Client.SetTransferType(TFTPTransferType::ftBinary);
    for (const bool passive : {true, false}) {
        Client.Passive = passive;
        Client.Connect();
        for (const TRoundTrip& file : files) {
            const std::string name = std::string(passive ? "p-" : "a-") + file.Name;
            Upload(name, file.Bytes);
            EXPECT_EQ(Server.ReadHome(name), file.Bytes) << name;
            Server.WriteHome("server-" + name, file.Bytes);
            EXPECT_EQ(Download("server-" + name), file.Bytes) << name;
        }
        Client.Disconnect();
    }
}

TEST_F(NetFTPTest, AsciiTransfersUseLFHereAndCRLFOnTheWire)
{
    std::vector<std::string> sent;
    Client.Intercept.OnSent = [&](const std::string& line) { sent.push_back(line); };
    Client.Connect();
    ASSERT_EQ(Client.TransferType(), TFTPTransferType::ftASCII);
    // pyftpdlib stores ASCII uploads with its own LF line ends.
    Upload("text.php", "<?php\necho 'ä';\n");
    EXPECT_EQ(Server.ReadHome("text.php"), "<?php\necho 'ä';\n");
    EXPECT_EQ(Download("text.php"), "<?php\necho 'ä';\n");
    Server.WriteHome("dos.php", "a\r\nb\r\n");
    EXPECT_EQ(Download("dos.php"), "a\nb\n");
    // TYPE goes out only when the type changes.
    EXPECT_EQ(std::count(sent.begin(), sent.end(), "TYPE A"), 1);
    Client.SetTransferType(TFTPTransferType::ftBinary);
    EXPECT_EQ(Download("dos.php"), "a\r\nb\r\n");
    EXPECT_EQ(std::count(sent.begin(), sent.end(), "TYPE I"), 1);
}

TEST_F(NetFTPTest, FolderAndFileCommands)
{
    Server.WriteHome("old.php", "1");
    Server.WriteHome("gone.php", "2");
    Client.Connect();
    Client.MakeDir("new dir");
    EXPECT_TRUE(QFileInfo(QString::fromStdString(Server.HomeFile("new dir"))).isDir());
    Client.Rename("old.php", "new dir/renamed.php");
    EXPECT_EQ(Server.ReadHome("new dir/renamed.php"), "1");
    Client.Delete("gone.php");
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(Server.HomeFile("gone.php"))));
    Client.Site("CHMOD 640 new dir/renamed.php");
    struct stat st {};
    ASSERT_EQ(::stat(Server.HomeFile("new dir/renamed.php").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_THROW(Client.RemoveDir("new dir"), ENetFTPReplyError) << "a folder that is not empty stays";
    Client.Delete("new dir/renamed.php");
    Client.RemoveDir("new dir");
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(Server.HomeFile("new dir"))));
    Client.Noop();
    // Refusals leave the connection usable.
    EXPECT_THROW(Client.Delete("missing.php"), ENetFTPReplyError);
    EXPECT_THROW(Client.ChangeDir("missing"), ENetFTPReplyError);
    TMemoryStream stream;
    EXPECT_THROW(Client.Get("missing.php", stream), ENetFTPReplyError);
    EXPECT_TRUE(Client.Connected());
    EXPECT_EQ(Client.RetrieveCurrentDir(), "/");
}

TEST_F(NetFTPTest, SizeDateAndResumedDownload)
{
    const std::string bytes = BinaryBytes(200000);
    Server.WriteHome("big.bin", bytes);
    Client.Connect();
    // pyftpdlib refuses REST while the type is ASCII.
    EXPECT_FALSE(Client.ResumeSupported());
    EXPECT_EQ(Client.Size("big.bin"), 200000);
    EXPECT_EQ(Client.Size("missing.bin"), -1);
    TDateTime date = 0;
    EXPECT_TRUE(Client.FileDate("big.bin", date));
    EXPECT_GT(date, EncodeDate(2020, 1, 1));
    EXPECT_FALSE(Client.FileDate("missing.bin", date));
    Client.Disconnect();
    Client.SetTransferType(TFTPTransferType::ftBinary);
    Client.Connect();
    EXPECT_TRUE(Client.ResumeSupported());
    TMemoryStream part(bytes.substr(0, 70000));
    Client.Get("big.bin", part, true);
    EXPECT_EQ(std::string(part.View()), bytes);
}

TEST_F(NetFTPTest, WorkEventsCountTheBytes)
{
    const std::string bytes = BinaryBytes(2 * 1024 * 1024);
    Server.WriteHome("big.bin", bytes);
    Client.SetTransferType(TFTPTransferType::ftBinary);
    Client.Connect();
    std::vector<std::string> events;
    std::int64_t last = 0;
    Client.OnWorkBegin = [&](TWorkMode mode, std::int64_t expected) {
        events.push_back(mode == TWorkMode::wmRead ? "begin read" : "begin write " + std::to_string(expected));
    };
    Client.OnWork = [&](TWorkMode, std::int64_t count) {
        EXPECT_GT(count, last);
        last = count;
    };
    Client.OnWorkEnd = [&](TWorkMode mode) { events.push_back(mode == TWorkMode::wmRead ? "end read" : "end write"); };
    Download("big.bin");
    EXPECT_EQ(last, static_cast<std::int64_t>(bytes.size()));
    last = 0;
    Upload("up.bin", bytes);
    EXPECT_EQ(last, static_cast<std::int64_t>(bytes.size()));
    EXPECT_EQ(events, (std::vector<std::string>{"begin read", "end read", "begin write 2097152", "end write"}));
}

TEST_F(NetFTPTest, ServerDroppingTheConnectionInTheMiddleFailsTheTransfer)
{
    Server.WriteHome("big.bin", BinaryBytes(64 * 1024 * 1024));
    Client.SetTransferType(TFTPTransferType::ftBinary);
    Client.Connect();
    Client.OnWork = [&](TWorkMode, std::int64_t) { Server.Peer->Kill(); };
    TMemoryStream stream;
    EXPECT_THROW(Client.Get("big.bin", stream), ENetFTPError);
    EXPECT_LT(stream.Size(), 64 * 1024 * 1024);
    EXPECT_FALSE(Client.Connected());
    EXPECT_FALSE(Client.Busy());
}

TEST_F(NetFTPTest, ServerDroppingTheConnectionDuringAnUploadFailsIt)
{
    Client.SetTransferType(TFTPTransferType::ftBinary);
    Client.Connect();
    Client.OnWork = [&](TWorkMode, std::int64_t) { Server.Peer->Kill(); };
    TMemoryStream stream(BinaryBytes(64 * 1024 * 1024));
    EXPECT_THROW(Client.Put(stream, "up.bin"), ENetFTPError);
    EXPECT_FALSE(Client.Connected());
}

TEST_F(NetFTPTest, ServerThatStopsAnsweringTimesOut)
{
    // A server that takes the connection and never greets.
    QTcpServer silent;
    ASSERT_TRUE(silent.listen(QHostAddress::LocalHost, 0));
    Client.Port = silent.serverPort();
    Client.ReadTimeout = std::chrono::milliseconds(300);
    try {
        Client.Connect();
        FAIL() << "connected to a silent server";
    } catch (const ENetFTPError& e) {
        EXPECT_STREQ(e.what(), "The FTP server did not answer in time");
    }
    EXPECT_FALSE(Client.Busy());
}

TEST_F(NetFTPTest, CallDuringACallIsRefusedAndAbortEndsIt)
{
    Server.WriteHome("big.bin", BinaryBytes(16 * 1024 * 1024));
    Client.SetTransferType(TFTPTransferType::ftBinary);
    Client.Connect();
    bool refused = false;
    Client.OnWork = [&](TWorkMode, std::int64_t) {
        try {
            Client.Noop();
        } catch (const ENetFTPBusy&) {
            refused = true;
        }
        Client.Abort();
    };
    TMemoryStream stream;
    EXPECT_THROW(Client.Get("big.bin", stream), ENetFTPAborted);
    EXPECT_TRUE(refused);
    EXPECT_FALSE(Client.Connected());
    // An abort while idle is forgotten: the next call runs.
    Client.OnWork = nullptr;
    Client.Abort();
    Client.Connect();
    EXPECT_EQ(Download("big.bin").size(), 16u * 1024 * 1024);
}

TEST_F(NetFTPTest, ActiveModeTakesNoConnectionFromAnotherHost)
{
    // The data connection must come from the server's address; here the server is 127.0.0.1,
    // so a connection from 127.0.0.2 is turned away and the real one still arrives.
    Server.WriteHome("a.txt", "data");
    Client.Passive = false;
    Client.SetTransferType(TFTPTransferType::ftBinary);
    Client.Connect();
    std::unique_ptr<QTcpSocket> intruder;
    Client.Intercept.OnSent = [&](const std::string& line) {
        if (line.rfind("PORT ", 0) != 0)
            return;
        std::vector<int> parts;
        for (const QString& part : QString::fromStdString(line.substr(5)).split(QLatin1Char(',')))
            parts.push_back(part.toInt());
        intruder = std::make_unique<QTcpSocket>();
        intruder->bind(QHostAddress(QStringLiteral("127.0.0.2")));
        intruder->connectToHost(QHostAddress::LocalHost, static_cast<quint16>(parts[4] * 256 + parts[5]));
        intruder->waitForConnected(2000);
    };
    EXPECT_EQ(Download("a.txt"), "data");
}

} // namespace
