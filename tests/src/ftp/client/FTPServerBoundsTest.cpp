// The client against servers that do not stop: replies without end, in lines, in bytes or in
// time, endless "120" delays, listings without end; each ends in a clear error with the
// connection closed, long before the server would stop. The peers give up on their own after
// far more than the bounds, so a client without bounds fails these tests rather than hanging.

#include "src/ftp/ScriptedFtpPeer.h"

#include "ftp/client/zuFTPErrors.h"
#include "ftp/client/zuNetFTP.h"
#include "ftp/zuFTPTransferLog.h"

#include "support/WaitFor.h"

#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class FTPServerBoundsTest : public ::testing::Test {
protected:
    FTPServerBoundsTest()
    {
        Client.Host = "127.0.0.1";
        Client.Port = Peer.Port();
        Client.Username = "user";
        Client.Password = "secret";
    }
    ~FTPServerBoundsTest() override { Client.Intercept = TFTPIntercept(); }

    // The message of the error that `call` ends with ("" when it ends well).
    template <class F>
    std::string Failure(F call)
    {
        try {
            call();
        } catch (const ENetFTPError& e) {
            return e.what();
        }
        return "";
    }
    std::string ConnectFailure()
    {
        return Failure([this] { Client.Connect(); });
    }
    // The client closed the connection and is ready for the next call.
    void ExpectClosed()
    {
        EXPECT_FALSE(Client.Connected());
        EXPECT_FALSE(Client.Busy());
        EXPECT_TRUE(WaitFor([this] { return !Peer.ClientConnected(); }, 5000)) << "the client kept the connection";
    }

    TScriptedFtpPeer Peer;
    TNetFTP Client;
};

struct TEndlessReply {
    const char* Name;
    std::string Line;
    std::size_t Times;
    std::string Error;
};

TEST_F(FTPServerBoundsTest, GreetingThatNeverEndsIsRefusedAtTheBound)
{
    const TEndlessReply cases[] = {
        {"many short lines", "220-still greeting\r\n", 200000, "The FTP server's reply is longer than 10000 lines"},
        {"few long lines", "220-" + std::string(16000, 'x') + "\r\n", 400, "The FTP server's reply is longer than 1048576 bytes"},
    };
    for (const TEndlessReply& c : cases) {
        Peer.Greeting = {PeerRepeat(c.Line, c.Times), true};
        EXPECT_EQ(ConnectFailure(), c.Error) << c.Name;
        ExpectClosed();
        EXPECT_LT(Peer.ControlBytesSent, c.Line.size() * c.Times / 2) << c.Name << ": read on to the end";
    }
}

TEST_F(FTPServerBoundsTest, ReplyThatTricklesOnIsBoundedInTimeAsAWhole)
{
    // A line every 20 ms, each well within the silence allowed; the reply as a whole is not.
    Client.ReadTimeout = std::chrono::milliseconds(400);
    Peer.Pace = std::chrono::milliseconds(20);
    Peer.Greeting = {PeerRepeat("220-one more line\r\n", 250), true};
    QElapsedTimer timer;
    timer.start();
    EXPECT_EQ(ConnectFailure(), "The FTP server did not finish its reply in time");
    EXPECT_LT(timer.elapsed(), 3000);
    ExpectClosed();
}

TEST_F(FTPServerBoundsTest, ReplyAfterLoginThatNeverEndsClosesTheConnection)
{
    Peer.Replies["PWD"] = {PeerThen(PeerText("257-\"/\"\r\n"), PeerRepeat("257-more\r\n", 100000)), true};
    Client.Connect();
    int disconnected = 0;
    Client.OnDisconnected = [&] { ++disconnected; };
    TFTPTransferLog log;
    std::vector<std::string> lines;
    log.OnLine = [&](const std::string& line) { lines.push_back(line); };
    log.Attach(Client);
    try {
        Client.RetrieveCurrentDir();
        ADD_FAILURE() << "the endless reply was taken";
    } catch (const ENetFTPError& e) {
        log.LogException(e);
    }
    log.Detach(Client);
    Client.OnDisconnected = nullptr;
    EXPECT_EQ(disconnected, 1);
    ExpectClosed();
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[lines.size() - 2], "STATUS:> Disconnected.");
    EXPECT_EQ(lines.back(), "EXCEPTION:> The FTP server's reply is longer than 10000 lines");
}

struct TDelayCase {
    std::size_t Delays;
    std::string Error;
};

TEST_F(FTPServerBoundsTest, GreetingMayBePutOffSixteenTimesAndNoMore)
{
    const TDelayCase cases[] = {
        {1, ""},
        {16, ""},
        {17, "The FTP server sent more than 16 preliminary replies"},
        {100000, "The FTP server sent more than 16 preliminary replies"},
    };
    for (const TDelayCase& c : cases) {
        Peer.Greeting = {PeerThen(PeerRepeat("120 Ready in a minute.\r\n", c.Delays), PeerText("220 Ready.\r\n")), false};
        EXPECT_EQ(ConnectFailure(), c.Error) << c.Delays;
        EXPECT_EQ(Client.Connected(), c.Error.empty()) << c.Delays;
        if (c.Error.empty())
            Client.Disconnect();
        else
            ExpectClosed();
    }
}

struct TEndlessListing {
    const char* Name;
    std::string Line;
    std::size_t Times;
    std::string Error;
};

TEST_F(FTPServerBoundsTest, ListingThatNeverEndsIsRefusedAtTheBound)
{
    // Bounds smaller than the usual 64 MB and a million lines, to keep the test short.
    Client.ListingLimits = {4 * 1024 * 1024, 50000};
    const TEndlessListing cases[] = {
        {"many lines", "x\r\n", 3000000, "The directory listing has more than 50000 lines"},
        {"many bytes", std::string(4000, 'x') + "\r\n", 40000, "The directory listing is larger than 4194304 bytes"},
    };
    for (const TEndlessListing& c : cases) {
        Peer.ListingData = PeerRepeat(c.Line, c.Times);
        Client.Connect();

        EXPECT_EQ(Failure([this] { Client.List(); }), c.Error) << c.Name;
        ExpectClosed();
        EXPECT_LT(Peer.DataBytesSent, c.Line.size() * c.Times) << c.Name;
        Peer.DataBytesSent = 0;
    }
    // A listing within the bounds is read whole, its last line without a line break too.
    Peer.ListingData = PeerText("drwxr-xr-x 2 u g 4096 Jan 01 2020 sub\r\n-rw-r--r-- 1 u g 7 Jan 01 2020 last.php");
    Client.Connect();
    Client.List();
    ASSERT_EQ(Client.DirectoryListing().size(), 2u);
    EXPECT_EQ(Client.DirectoryListing()[1].FileName, "last.php");
    EXPECT_TRUE(Client.Connected());
}

TEST_F(FTPServerBoundsTest, LogShowsRepliesAsReceivedAndHidesOnlyThePassword)
{
    // A password that is also a word of the replies.
    Client.Password = "pass";
    TFTPTransferLog log;
    std::vector<std::string> lines;
    log.OnLine = [&](const std::string& line) { lines.push_back(line); };
    log.Attach(Client);
    Client.Connect();
    Client.List();
    log.Detach(Client);
    const std::vector<std::string> expected = {
        "COMMAND:> USER user", "331 Username ok, send password.", "COMMAND:> PASS *", "230 Login successful.",
        "COMMAND:> PASV",
    };
    for (const std::string& line : expected)
        EXPECT_NE(std::find(lines.begin(), lines.end(), line), lines.end()) << line;
    const auto passive = std::find_if(lines.begin(), lines.end(), [](const std::string& line) { return line.rfind("227 ", 0) == 0; });
    ASSERT_NE(passive, lines.end());
    EXPECT_EQ(passive->rfind("227 Entering passive mode (127,0,0,1,", 0), 0u) << *passive;
    EXPECT_EQ(Peer.Commands[1], "PASS pass");
}

} // namespace
